#include "CryptFiles.h"

#include "crypt/ByteProgress.h"
#include "crypt/CThreadEncrypt.h"
#include "ui/skin/CZendalProgressCtrl.h"

#include <gtest/gtest.h>

using namespace crypt_test;

namespace {

// The whole per-file operation, as the worker applies it to one listed file.
class CipherTest : public testing::Test {
protected:
    bool Transform(const std::wstring& path, const std::wstring& password, uint64_t total = 0)
    {
        ByteProgress progress(bar, total);
        return CThreadEncrypt::TransformFile(path, CThreadEncrypt::KeyByte(password), progress);
    }

    DataFolder folder;
    CZendalProgressCtrl bar;
};

} // namespace

TEST(KeyTest, TheKeyBytesOfThesePasswordsArePartOfTheFileFormat)
{
    EXPECT_EQ(0x5A656E64616C46B3ull, CThreadEncrypt::DeriveKey(L"abc"));
    EXPECT_EQ(0xB3, CThreadEncrypt::KeyByte(L"abc"));
    EXPECT_EQ(0x54, CThreadEncrypt::KeyByte(L"123456"));
    EXPECT_EQ(0x14, CThreadEncrypt::KeyByte(L"密码"));
    EXPECT_EQ(0x5A656E64616C6514ull, CThreadEncrypt::DeriveKey(L"密码"));
}

TEST(KeyTest, OrderRepeatsInPairsAndTheHighBitsOfACharacterDoNotMatter)
{
    EXPECT_EQ(CThreadEncrypt::KeyByte(L"abc"), CThreadEncrypt::KeyByte(L"cab"));
    EXPECT_EQ(CThreadEncrypt::KeyByte(L"abc"), CThreadEncrypt::KeyByte(L"abxcx"));
    EXPECT_EQ(CThreadEncrypt::KeyByte(L"a"), CThreadEncrypt::KeyByte(L"\u0161"));
    EXPECT_EQ(CThreadEncrypt::KeyByte(L"a"), CThreadEncrypt::KeyByte(L"\u00E1"));
    EXPECT_NE(CThreadEncrypt::KeyByte(L"abc"), CThreadEncrypt::KeyByte(L"abd"));
}

TEST_F(CipherTest, EveryByteIsXoredWithTheKeyAndTheSamePasswordRestoresTheFile)
{
    // More than one block, with a tail that fills no whole block.
    const std::string plain = Pattern(3 * 1024 * 1024 + 17);
    std::wstring path = folder.Write(L"文档.bin", plain);

    ASSERT_TRUE(Transform(path, L"secret"));
    // Compared as a whole: a failure should not print megabytes.
    EXPECT_TRUE(XorEach(plain, CThreadEncrypt::KeyByte(L"secret")) == ReadBytes(path));
    EXPECT_TRUE(IsReadOnly(path));
    EXPECT_FALSE(Exists(CThreadEncrypt::TemporaryPath(path)));

    ASSERT_TRUE(Transform(path, L"cretse"));
    EXPECT_TRUE(plain == ReadBytes(path)) << "a rearranged password is the same key";
    EXPECT_TRUE(IsReadOnly(path));
}

TEST_F(CipherTest, AWrongPasswordSucceedsWithOtherBytesOfTheSameLength)
{
    const std::string plain = Pattern(5000);
    std::wstring path = folder.Write(L"a.txt", plain);
    ASSERT_TRUE(Transform(path, L"right"));
    ASSERT_TRUE(Transform(path, L"wrong"));
    std::string result = ReadBytes(path);
    EXPECT_EQ(plain.size(), result.size());
    EXPECT_NE(plain, result);
    EXPECT_TRUE(XorEach(plain, CThreadEncrypt::KeyByte(L"right") ^ CThreadEncrypt::KeyByte(L"wrong")) == result);
}

TEST_F(CipherTest, EmptyAndReadOnlyFilesAreProcessedAndEndReadOnly)
{
    std::wstring empty = folder.Write(L"empty", "");
    ASSERT_TRUE(Transform(empty, L"pw"));
    EXPECT_EQ("", ReadBytes(empty));
    EXPECT_TRUE(IsReadOnly(empty));

    std::wstring locked = folder.Write(L"ro.txt", "read only");
    ASSERT_TRUE(::SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(Transform(locked, L"pw"));
    EXPECT_EQ(XorEach("read only", CThreadEncrypt::KeyByte(L"pw")), ReadBytes(locked));
    EXPECT_TRUE(IsReadOnly(locked));
}

TEST_F(CipherTest, ALeftoverTemporaryFileIsTruncatedAndReused)
{
    std::wstring path = folder.Write(L"a.txt", "short");
    folder.Write(L"a.txt.zdltemp", Pattern(100000));
    ASSERT_TRUE(Transform(path, L"pw"));
    EXPECT_EQ(XorEach("short", CThreadEncrypt::KeyByte(L"pw")), ReadBytes(path));
    EXPECT_FALSE(Exists(folder.File(L"a.txt.zdltemp")));
}

TEST_F(CipherTest, APathWhoseTemporaryNameExceedsThePathLimitFails)
{
    // The temporary name adds 8 characters; 259 is the longest path.
    std::wstring prefix = folder.Path() + L"\\";
    std::wstring fits = prefix + std::wstring(251 - prefix.size(), L'f');
    std::wstring tooLong = prefix + std::wstring(252 - prefix.size(), L'l');
    folder.Write(fits.substr(prefix.size()), "fits");
    folder.Write(tooLong.substr(prefix.size()), "too long");

    EXPECT_TRUE(Transform(fits, L"pw"));
    EXPECT_FALSE(Transform(tooLong, L"pw"));
    EXPECT_EQ("too long", ReadBytes(tooLong));
    EXPECT_FALSE(IsReadOnly(tooLong));
}

TEST_F(CipherTest, AFileInUseElsewhereFailsAndStaysAsItWas)
{
    std::wstring path = folder.Write(L"busy.txt", "in use");
    OpenElsewhere other(path);
    ASSERT_TRUE(other.Valid());
    EXPECT_FALSE(Transform(path, L"pw"));
    EXPECT_EQ("in use", ReadBytes(path));
    EXPECT_FALSE(IsReadOnly(path));
    EXPECT_FALSE(Exists(CThreadEncrypt::TemporaryPath(path)));
}

TEST_F(CipherTest, WhenTheTemporaryFileCannotBeCreatedTheFileFailsAndNothingElseIsTouched)
{
    std::wstring blockedByFolder = folder.Write(L"a.txt", "plain a");
    folder.MakeFolder(L"a.txt.zdltemp");
    EXPECT_FALSE(Transform(blockedByFolder, L"pw"));
    EXPECT_EQ("plain a", ReadBytes(blockedByFolder));
    EXPECT_TRUE(Attributes(folder.File(L"a.txt.zdltemp")) & FILE_ATTRIBUTE_DIRECTORY);

    std::wstring blockedByOpenFile = folder.Write(L"b.txt", "plain b");
    std::wstring held = folder.Write(L"b.txt.zdltemp", "somebody's");
    OpenElsewhere other(held);
    EXPECT_FALSE(Transform(blockedByOpenFile, L"pw"));
    EXPECT_EQ("plain b", ReadBytes(blockedByOpenFile));
    EXPECT_EQ("somebody's", ReadBytes(held)) << "a file the worker did not create is not deleted";
}

TEST_F(CipherTest, AFailedReplacementLeavesTheFileAsItWasAndNoTemporaryFile)
{
    // A file mapped into memory can be read but not replaced.
    std::wstring path = folder.Write(L"mapped.txt", "mapped bytes");
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE mapping = ::CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    void* view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    ::CloseHandle(mapping);
    ::CloseHandle(file);
    ASSERT_NE(nullptr, view);

    EXPECT_FALSE(Transform(path, L"pw"));
    ::UnmapViewOfFile(view);
    EXPECT_EQ("mapped bytes", ReadBytes(path));
    EXPECT_TRUE(IsReadOnly(path)) << "the attribute cleared for the move comes back";
    EXPECT_FALSE(Exists(CThreadEncrypt::TemporaryPath(path)));
}

TEST_F(CipherTest, AReadThatFailsIsAFailureAndTheTargetIsDeleted)
{
    // Reading the process's own memory file from offset 0 fails with an I/O error.
    std::wstring target = folder.File(L"copy.zdltemp");
    ByteProgress progress(bar, 0);
    EXPECT_FALSE(CThreadEncrypt::XorCopyFile(L"Z:\\proc\\self\\mem", target, 0x55, progress));
    EXPECT_FALSE(Exists(target));
}

TEST_F(CipherTest, ProgressIsCountedInBytesOverTheWholeRun)
{
    bar.SetRange(0, 100);
    std::wstring first = folder.Write(L"1", Pattern(1000));
    std::wstring second = folder.Write(L"2", Pattern(3000));
    ByteProgress progress(bar, 8000);
    ASSERT_TRUE(CThreadEncrypt::TransformFile(first, 1, progress));
    EXPECT_EQ(12.0, bar.Pos());
    ASSERT_TRUE(CThreadEncrypt::TransformFile(second, 1, progress));
    EXPECT_EQ(50.0, bar.Pos());
    EXPECT_EQ(4000u, progress.Done());
}

TEST(ByteProgressTest, PercentagesAreWholeTruncatedAndLimited)
{
    const uint64_t GiB = 1024ull * 1024 * 1024;
    EXPECT_EQ(0, ByteProgress::Percent(0, 0));
    EXPECT_EQ(0, ByteProgress::Percent(500, 0)) << "nothing to show while the total is 0";
    EXPECT_EQ(33, ByteProgress::Percent(1, 3));
    EXPECT_EQ(99, ByteProgress::Percent(999, 1000));
    EXPECT_EQ(100, ByteProgress::Percent(1000, 1000));
    EXPECT_EQ(100, ByteProgress::Percent(1500, 1000)) << "a file that grew after listing";
    EXPECT_EQ(50, ByteProgress::Percent(3 * GiB, 6 * GiB)) << "totals of 4 GiB and more";
    EXPECT_EQ(20, ByteProgress::Percent(1 * GiB, 5 * GiB));
}
