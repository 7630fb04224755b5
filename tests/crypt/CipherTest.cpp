#include "CryptFiles.h"

#include "crypt/CThreadEncrypt.h"
#include "crypt/ExclusiveFile.h"
#include "crypt/FileCipher.h"
#include "fileio/ByteProgress.h"

#include <gtest/gtest.h>

#include <sddl.h>

#include <vector>

using namespace crypt_test;
using testkit::FileExists;
using testkit::PatternBytes;
using testkit::ReadWholeFile;

namespace {

const SECURITY_INFORMATION kOwnerAndAccess = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;

// The file's owner and access list, spelled as text.
std::wstring SecurityText(const std::wstring& path)
{
    DWORD needed = 0;
    ::GetFileSecurityW(path.c_str(), kOwnerAndAccess, nullptr, 0, &needed);
    std::vector<BYTE> descriptor(needed);
    wchar_t* text = nullptr;
    if (needed == 0 || !::GetFileSecurityW(path.c_str(), kOwnerAndAccess, descriptor.data(), needed, &needed) ||
        !::ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor.data(), SDDL_REVISION_1, kOwnerAndAccess,
                                                                &text, nullptr))
        return L"unreadable";
    std::wstring result = text;
    ::LocalFree(text);
    return result;
}

// Lets only the file's owner and the system in, whatever the folder passes on.
bool MakePrivate(const std::wstring& path)
{
    const std::wstring security = SecurityText(path);
    const size_t access = security.find(L"D:");
    if (security.compare(0, 2, L"O:") != 0 || access == std::wstring::npos)
        return false;
    std::wstring text = L"D:P(A;;FA;;;SY)(A;;FA;;;" + security.substr(2, access - 2) + L")";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(text.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    bool set = ::SetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, descriptor);
    ::LocalFree(descriptor);
    return set;
}

// The whole per-file operation, as the worker applies it to one listed file.
class CipherTest : public testing::Test {
protected:
    bool Transform(const std::wstring& path, const std::wstring& password, uint64_t total = 0)
    {
        ByteProgress progress(Record(), total);
        return FileCipher(EncryptBusy, CThreadEncrypt::KeyByte(password), progress).TransformFile(path);
    }

    ByteProgress::Show Record()
    {
        return [this](int percent) { shown = percent; };
    }

    testkit::ScratchFolder folder;
    // The last percentage the cipher showed.
    int shown = -1;
    ActiveRun run;
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
    // More than one buffer, with a tail that fills no whole block, and a
    // stretch of the key byte that comes out as zeros.
    std::string plain = PatternBytes(3 * 1024 * 1024 + 17, 1);
    plain.replace(1024 * 1024, 2 * 1024 * 1024, 2 * 1024 * 1024, static_cast<char>(CThreadEncrypt::KeyByte(L"secret")));
    std::wstring path = Write(folder, L"文档.bin", plain);

    ASSERT_TRUE(Transform(path, L"secret"));
    // Compared as a whole: a failure should not print megabytes.
    EXPECT_TRUE(XorEach(plain, CThreadEncrypt::KeyByte(L"secret")) == ReadWholeFile(path));
    EXPECT_TRUE(IsReadOnly(path));
    EXPECT_FALSE(FileExists(FileCipher::TemporaryPath(path)));

    ASSERT_TRUE(Transform(path, L"cretse"));
    EXPECT_TRUE(plain == ReadWholeFile(path)) << "a rearranged password is the same key";
    EXPECT_TRUE(IsReadOnly(path));
}

TEST_F(CipherTest, AWrongPasswordSucceedsWithOtherBytesOfTheSameLength)
{
    const std::string plain = PatternBytes(5000, 2);
    std::wstring path = Write(folder, L"a.txt", plain);
    ASSERT_TRUE(Transform(path, L"right"));
    ASSERT_TRUE(Transform(path, L"wrong"));
    std::string result = ReadWholeFile(path);
    EXPECT_EQ(plain.size(), result.size());
    EXPECT_NE(plain, result);
    EXPECT_TRUE(XorEach(plain, CThreadEncrypt::KeyByte(L"right") ^ CThreadEncrypt::KeyByte(L"wrong")) == result);
}

TEST_F(CipherTest, EmptyAndReadOnlyFilesAreProcessedAndEndReadOnly)
{
    std::wstring empty = Write(folder, L"empty", "");
    ASSERT_TRUE(Transform(empty, L"pw"));
    EXPECT_EQ(0, testkit::SizeOfFile(empty));
    EXPECT_TRUE(IsReadOnly(empty));

    std::wstring locked = Write(folder, L"ro.txt", "read only");
    ASSERT_TRUE(::SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(Transform(locked, L"pw"));
    EXPECT_EQ(XorEach("read only", CThreadEncrypt::KeyByte(L"pw")), ReadWholeFile(locked));
    EXPECT_TRUE(IsReadOnly(locked));
}

// The copy that replaces the file is a new file in the folder; it must not
// come with the folder's permissions (everybody may read here) nor without
// the file's attributes. Wine keeps no creation time of its own and has no
// named streams; what it keeps is checked.
TEST_F(CipherTest, AHiddenPrivateFileKeepsItsAttributesAndAccessListEncryptedAndDecrypted)
{
    const std::string plain = PatternBytes(3000, 8);
    std::wstring path = Write(folder, L"private.txt", plain);
    ASSERT_TRUE(MakePrivate(path));
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    const std::wstring security = SecurityText(path);
    ASSERT_EQ(std::wstring::npos, security.find(L";;;WD)")) << testing::PrintToString(security);
    ASSERT_NE(security, SecurityText(Write(folder, L"new.txt", "new"))) << "a new file gets the folder's permissions";

    ASSERT_TRUE(Transform(path, L"pw"));
    EXPECT_EQ(attributes | FILE_ATTRIBUTE_READONLY, ::GetFileAttributesW(path.c_str()));
    EXPECT_EQ(std::wstring::npos, SecurityText(path).find(L";;;WD)")) << testing::PrintToString(SecurityText(path));
    ASSERT_TRUE(Transform(path, L"pw"));
    EXPECT_EQ(plain, ReadWholeFile(path));
    EXPECT_EQ(attributes | FILE_ATTRIBUTE_READONLY, ::GetFileAttributesW(path.c_str()));
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), attributes));
    EXPECT_EQ(security, SecurityText(path));
}

TEST_F(CipherTest, ALeftoverTemporaryFileIsTruncatedAndReused)
{
    std::wstring path = Write(folder, L"a.txt", "short");
    Write(folder, L"a.txt.zdltemp", PatternBytes(100000, 3));
    ASSERT_TRUE(Transform(path, L"pw"));
    EXPECT_EQ(XorEach("short", CThreadEncrypt::KeyByte(L"pw")), ReadWholeFile(path));
    EXPECT_FALSE(FileExists(folder.File(L"a.txt.zdltemp")));

    // A run killed right before its replacement leaves the temporary file read-only.
    std::wstring other = Write(folder, L"b.txt", "other");
    std::wstring leftover = Write(folder, L"b.txt.zdltemp", PatternBytes(100000, 4));
    ASSERT_TRUE(::SetFileAttributesW(leftover.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(Transform(other, L"pw"));
    EXPECT_EQ(XorEach("other", CThreadEncrypt::KeyByte(L"pw")), ReadWholeFile(other));
    EXPECT_TRUE(IsReadOnly(other));
    EXPECT_FALSE(FileExists(leftover));
}

TEST_F(CipherTest, APathWhoseTemporaryNameExceedsThePathLimitFails)
{
    // The temporary name adds 8 characters; 259 is the longest path.
    size_t prefix = folder.Path().size() + 1;
    std::wstring fits = Write(folder, std::wstring(251 - prefix, L'f'), "fits");
    std::wstring tooLong = Write(folder, std::wstring(252 - prefix, L'l'), "too long");
    ASSERT_EQ(252u, tooLong.size());

    EXPECT_TRUE(Transform(fits, L"pw"));
    EXPECT_FALSE(Transform(tooLong, L"pw"));
    EXPECT_EQ("too long", ReadWholeFile(tooLong));
    EXPECT_FALSE(IsReadOnly(tooLong));
}

TEST_F(CipherTest, AFileInUseElsewhereFailsAndStaysAsItWas)
{
    std::wstring path = Write(folder, L"busy.txt", "in use");
    OpenElsewhere other(path);
    ASSERT_TRUE(other.Valid());
    EXPECT_FALSE(Transform(path, L"pw"));
    EXPECT_EQ("in use", ReadWholeFile(path));
    EXPECT_FALSE(IsReadOnly(path));
    EXPECT_FALSE(FileExists(FileCipher::TemporaryPath(path)));
}

TEST_F(CipherTest, WhenTheTemporaryFileCannotBeCreatedTheFileFailsAndNothingElseIsTouched)
{
    std::wstring blockedByFolder = Write(folder, L"a.txt", "plain a");
    MakeFolder(folder, L"a.txt.zdltemp");
    EXPECT_FALSE(Transform(blockedByFolder, L"pw"));
    EXPECT_EQ("plain a", ReadWholeFile(blockedByFolder));
    EXPECT_TRUE(::GetFileAttributesW(folder.File(L"a.txt.zdltemp").c_str()) & FILE_ATTRIBUTE_DIRECTORY);

    std::wstring blockedByOpenFile = Write(folder, L"b.txt", "plain b");
    std::wstring held = Write(folder, L"b.txt.zdltemp", "somebody's");
    OpenElsewhere other(held);
    EXPECT_FALSE(Transform(blockedByOpenFile, L"pw"));
    EXPECT_EQ("plain b", ReadWholeFile(blockedByOpenFile));
    EXPECT_EQ("somebody's", ReadWholeFile(held)) << "a file the worker did not create is not deleted";
}

TEST_F(CipherTest, AFailedReplacementLeavesTheFileAsItWasAndNoTemporaryFile)
{
    // A file mapped into memory can be read but not replaced.
    std::wstring path = Write(folder, L"mapped.txt", "mapped bytes");
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE mapping = ::CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    void* view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    ::CloseHandle(mapping);
    ::CloseHandle(file);
    ASSERT_NE(nullptr, view);

    EXPECT_FALSE(Transform(path, L"pw"));
    ::UnmapViewOfFile(view);
    EXPECT_EQ("mapped bytes", ReadWholeFile(path));
    EXPECT_TRUE(IsReadOnly(path)) << "the attribute cleared for the move comes back";
    EXPECT_FALSE(FileExists(FileCipher::TemporaryPath(path)));
}

TEST_F(CipherTest, AReadThatFailsIsAFailureAndTheTargetIsDeleted)
{
    // The process's own memory file opens as the cipher opens its sources,
    // and reading it from offset 0 fails with an I/O error.
    const wchar_t source[] = L"Z:\\proc\\self\\mem";
    {
        fw::FileHandle opened = OpenExclusive(source);
        ASSERT_TRUE(opened.Valid());
        char byte = 0;
        DWORD read = 0;
        ASSERT_FALSE(::ReadFile(opened.Get(), &byte, 1, &read, nullptr));
    }
    std::wstring target = folder.File(L"copy.zdltemp");
    ByteProgress progress(Record(), 0);
    EXPECT_FALSE(FileCipher(EncryptBusy, 0x55, progress).XorCopyFile(source, target));
    EXPECT_FALSE(FileExists(target));
}

// One cipher serves a whole run: each file gets exactly its own bytes back,
// whatever the files before it left in the buffer.
TEST_F(CipherTest, ARunOfFilesCountsProgressInBytesAndLeavesEachFileItsOwnBytes)
{
    const std::string one = PatternBytes(1000, 4), two = PatternBytes(3000, 5), three = PatternBytes(7, 6);
    std::wstring first = Write(folder, L"1", one);
    std::wstring second = Write(folder, L"2", two);
    std::wstring third = Write(folder, L"3", three);
    ByteProgress progress(Record(), 8000);
    FileCipher cipher(EncryptBusy, 1, progress);
    ASSERT_TRUE(cipher.TransformFile(first));
    EXPECT_EQ(12, shown);
    ASSERT_TRUE(cipher.TransformFile(second));
    EXPECT_EQ(50, shown);
    ASSERT_TRUE(cipher.TransformFile(third));
    EXPECT_EQ(XorEach(one, 1), ReadWholeFile(first));
    EXPECT_EQ(XorEach(two, 1), ReadWholeFile(second));
    EXPECT_EQ(XorEach(three, 1), ReadWholeFile(third));
}
