#include "ProtectTestKit.h"
#include "protect/ProtectListStore.h"
#include "support/DriverClient.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using protecttest::FileBytes;
using protecttest::ListedModes;
using protecttest::SentCodes;
using protecttest::WriteFileBytes;

std::string Utf8(const std::wstring& text)
{
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    return bytes;
}

// A store over a fresh settings file, with the real driver. Every path the
// test creates is taken out of the driver's lists afterwards.
class ProtectListStoreTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.Valid());
        device = testkit::OpenTestDevice();
        ASSERT_TRUE(device.Valid());
        ASSERT_TRUE(recorder.Hooked());
    }

    void TearDown() override
    {
        for (const std::wstring& path : created) {
            SendPathRecord(device.Get(), ProtectListKind::File, L"owi", path, true);
            SendPathRecord(device.Get(), ProtectListKind::Folder, L"owi", path, true);
        }
    }

    std::wstring Settings() const { return folder.File(L"zdl\\ZendalFS.zdl"); }
    ProtectListStore Store(ProtectListKind kind) const { return ProtectListStore(kind, Settings()); }

    std::wstring Existing(const std::wstring& name)
    {
        created.push_back(protecttest::CreateEmptyFile(folder.File(name)));
        return created.back();
    }
    std::wstring Missing(const std::wstring& name)
    {
        created.push_back(folder.File(name));
        return created.back();
    }

    void WriteSettings(const std::wstring& text) { WriteFileBytes(Settings(), Utf8(text)); }

    std::wstring StoredModes(ProtectListKind kind, const std::wstring& path) const
    {
        wchar_t value[256] = {};
        ::GetPrivateProfileStringW(ProtectListStore::SectionName(kind), path.c_str(), nullptr, value, 256,
                                   Settings().c_str());
        return value;
    }

    testkit::DriverState State()
    {
        testkit::DriverState state;
        EXPECT_TRUE(testkit::QueryState(device.Get(), &state));
        return state;
    }

    std::wstring Listed(ProtectListKind kind, const std::wstring& path) { return ListedModes(State(), kind, path); }

    // The calls made since the last look.
    std::vector<drivertest::DeviceCall> Calls()
    {
        std::vector<drivertest::DeviceCall> calls;
        for (const drivertest::DeviceCall& call : recorder.Calls()) {
            if (call.code != IOCTL_QUERY_STATE)
                calls.push_back(call);
        }
        recorder.Clear();
        return calls;
    }

    testkit::TempProgramFolder folder;
    fw::FileHandle device;
    drivertest::DeviceCallRecorder recorder;
    std::vector<std::wstring> created;
};

} // namespace

TEST_F(ProtectListStoreTest, LoadingDropsPathsThatAreGoneAndSendsTheOthersByTheirLetters)
{
    const std::wstring both = Existing(L"both.txt");
    const std::wstring gone = Missing(L"gone.txt");
    const std::wstring others = Existing(L"others.txt");
    const std::wstring all = Existing(L"all.txt");
    WriteSettings(L"[Password]\r\npassword=pw\r\n[File Protect]\r\n" + both + L"=wi\r\n" + gone + L"=o\r\n" + others +
                  L"=OWI xz\r\n" + all + L"=iwo\r\n");
    recorder.Clear();

    std::vector<ProtectEntry> entries = Store(ProtectListKind::File).LoadProtectList(device.Get());

    ASSERT_EQ(3u, entries.size());
    EXPECT_EQ(both, entries[0].path);
    EXPECT_EQ(L"wi", entries[0].modes);
    EXPECT_EQ(others, entries[1].path);
    EXPECT_EQ(L"OWI xz", entries[1].modes) << "any value is listed as read";
    EXPECT_EQ(all, entries[2].path);
    EXPECT_EQ(L"iwo", entries[2].modes);

    std::vector<drivertest::DeviceCall> calls = Calls();
    EXPECT_EQ((std::vector<DWORD>{IOCTL_FILE_PROTECT_W, IOCTL_FILE_PROTECT_I, IOCTL_FILE_PROTECT_O,
                                  IOCTL_FILE_PROTECT_W, IOCTL_FILE_PROTECT_I}),
              SentCodes(calls));
    ASSERT_EQ(5u, calls.size());
    EXPECT_EQ(testkit::Record(testkit::Ansi(both), 0), calls[0].input);
    EXPECT_EQ(testkit::Record(testkit::Ansi(both), 0), calls[1].input);
    EXPECT_EQ(testkit::Record(testkit::Ansi(all), 0), calls[2].input);
    EXPECT_EQ(L"wi", Listed(ProtectListKind::File, both));
    EXPECT_EQ(L"", Listed(ProtectListKind::File, gone));
    EXPECT_EQ(L"", Listed(ProtectListKind::File, others));

    EXPECT_EQ(L"", StoredModes(ProtectListKind::File, gone)) << "the stale key is deleted";
    EXPECT_EQ(std::string::npos, FileBytes(Settings()).find(Utf8(gone)));
    EXPECT_EQ(L"wi", StoredModes(ProtectListKind::File, both));
    EXPECT_EQ(L"OWI xz", StoredModes(ProtectListKind::File, others));
    EXPECT_EQ(L"pw", [&] {
        wchar_t value[16] = {};
        ::GetPrivateProfileStringW(L"Password", L"password", nullptr, value, 16, Settings().c_str());
        return std::wstring(value);
    }());
}

TEST_F(ProtectListStoreTest, ASectionOfStaleEntriesOnlyLoadsEmptyAndIsEmptiedOfThem)
{
    const std::wstring gone = Missing(L"gone");
    const std::wstring root = L"C:\\";
    const std::wstring trailing = folder.File(L"zdl\\");
    WriteSettings(L"[Folder Protect]\r\n" + gone + L"=owi\r\n" + root + L"=o\r\n" + trailing + L"=w\r\n");
    recorder.Clear();

    EXPECT_TRUE(Store(ProtectListKind::Folder).LoadProtectList(device.Get()).empty());
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ("[Folder Protect]\r\n", FileBytes(Settings())) << "a drive root and a trailing backslash count as absent";
}

TEST_F(ProtectListStoreTest, EachKindReadsItsOwnSectionAndSendsWithItsOwnCodes)
{
    const std::wstring path = Existing(L"shared");
    WriteSettings(L"[File Protect]\r\n" + path + L"=o\r\n[Folder Protect]\r\n" + path + L"=wi\r\n");
    recorder.Clear();

    std::vector<ProtectEntry> folders = Store(ProtectListKind::Folder).LoadProtectList(device.Get());
    ASSERT_EQ(1u, folders.size());
    EXPECT_EQ(L"wi", folders[0].modes);
    EXPECT_EQ((std::vector<DWORD>{IOCTL_FOLDER_PROTECT_W, IOCTL_FOLDER_PROTECT_I}), SentCodes(Calls()));
    EXPECT_EQ(L"wi", Listed(ProtectListKind::Folder, path));
    EXPECT_EQ(L"", Listed(ProtectListKind::File, path));
}

TEST_F(ProtectListStoreTest, AMissingFileOrSectionIsAnEmptyList)
{
    EXPECT_TRUE(Store(ProtectListKind::File).LoadProtectList(device.Get()).empty());
    WriteSettings(L"[Password]\r\npassword=x\r\n");
    EXPECT_TRUE(Store(ProtectListKind::File).LoadProtectList(device.Get()).empty());
    EXPECT_TRUE(Calls().empty());
}

// Key names are read in one piece of 100000 characters; the name the system
// cuts at the end of that piece is not taken for a path, even when the cut
// text names an existing file.
TEST_F(ProtectListStoreTest, KeyNamesBeyondTheReadBufferAreNeitherListedNorTouched)
{
    const std::wstring target = Existing(L"a.txt");
    const std::wstring toTarget = L"\\..\\a.txt";
    // The names read end with the cut name and two terminators at 99998 and
    // 99999; the cut name's first characters spell the target's path.
    const size_t cutStart = 100000 - 2 - target.size();
    std::wstring text = L"[File Protect]\r\n";
    size_t used = 0;
    size_t count = 0;
    // Distinct keys that all find the same file; their value sends nothing.
    for (; cutStart - used - 1 > 250; ++count) {
        std::wstring key = folder.File(L"d" + std::to_wstring(count) + toTarget);
        text += key + L"=x\r\n";
        used += key.size() + 1;
    }
    const size_t fillerLength = cutStart - used - 1;
    const std::wstring filler =
        folder.File(std::wstring(fillerLength - folder.Path().size() - 1 - toTarget.size(), L'p') + toTarget);
    ASSERT_EQ(fillerLength, filler.size());
    text += filler + L"=x\r\n" + target + L"-and-more=o\r\n";
    WriteSettings(text);
    const std::string before = FileBytes(Settings());
    recorder.Clear();

    std::vector<ProtectEntry> entries = Store(ProtectListKind::File).LoadProtectList(device.Get());

    ASSERT_EQ(count + 1, entries.size());
    EXPECT_EQ(filler, entries.back().path);
    for (const ProtectEntry& entry : entries)
        EXPECT_NE(target, entry.path);
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(before, FileBytes(Settings())) << "the entry beyond the buffer stays";
}

TEST_F(ProtectListStoreTest, APathIsProtectedWhenItsKeyHasAValueInAnyLetterCase)
{
    const std::wstring path = L"C:\\Docs\\Plan.doc";
    WriteSettings(L"[file protect]\r\nc:\\docs\\plan.DOC=ow\r\nC:\\empty.txt=\r\n[Folder Protect]\r\nC:\\Other=o\r\n");
    ProtectListStore files = Store(ProtectListKind::File);
    EXPECT_TRUE(files.IsProtected(path));
    EXPECT_TRUE(files.IsProtected(L"C:\\DOCS\\PLAN.DOC"));
    EXPECT_FALSE(files.IsProtected(L"C:\\empty.txt")) << "an empty value protects nothing";
    EXPECT_FALSE(files.IsProtected(L"C:\\Other")) << "the other section";
    EXPECT_TRUE(Store(ProtectListKind::Folder).IsProtected(L"c:\\other"));
    EXPECT_FALSE(Store(ProtectListKind::Folder).IsProtected(path));
}

TEST_F(ProtectListStoreTest, AddingStoresTheKeyAndSendsOneRecordPerMode)
{
    const std::wstring path = Existing(L"plan.doc");
    recorder.Clear();
    ASSERT_TRUE(Store(ProtectListKind::File).AddProtectEntry(device.Get(), {path, L"oi"}));

    std::vector<drivertest::DeviceCall> calls = Calls();
    EXPECT_EQ((std::vector<DWORD>{IOCTL_FILE_PROTECT_O, IOCTL_FILE_PROTECT_I}), SentCodes(calls));
    EXPECT_TRUE(protecttest::AllRecordsAre(calls, path, 0));
    EXPECT_EQ(L"oi", Listed(ProtectListKind::File, path));
    EXPECT_EQ("[File Protect]\r\n" + Utf8(path) + "=oi\r\n", FileBytes(Settings()));
    EXPECT_TRUE(Store(ProtectListKind::File).IsProtected(path));
    EXPECT_FALSE(Store(ProtectListKind::Folder).IsProtected(path));
}

TEST_F(ProtectListStoreTest, AnEntryThatCannotBeStoredIsNeitherStoredNorSent)
{
    const std::wstring path = Existing(L"x.txt");
    const std::wstring withEquals = Existing(L"a=b.txt");
    const std::wstring tooLong = folder.File(std::wstring(250, L'l'));
    created.push_back(tooLong);
    ASSERT_FALSE(FitsPathRecord(tooLong));
    recorder.Clear();

    ProtectListStore store = Store(ProtectListKind::File);
    EXPECT_FALSE(store.AddProtectEntry(device.Get(), {withEquals, L"o"})) << "the file would split the key at the =";
    EXPECT_FALSE(store.AddProtectEntry(device.Get(), {tooLong, L"o"})) << "the driver's record cannot hold it";
    EXPECT_EQ("", FileBytes(Settings()));

    ASSERT_TRUE(testkit::RemoveTree(folder.File(L"zdl")));
    EXPECT_FALSE(store.AddProtectEntry(device.Get(), {path, L"ow"}));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(folder.File(L"zdl").c_str())) << "never created";

    ASSERT_TRUE(::CreateDirectoryW(folder.File(L"zdl").c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(Settings().c_str(), nullptr));
    EXPECT_FALSE(store.AddProtectEntry(device.Get(), {path, L"ow"}));

    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(L"", Listed(ProtectListKind::File, path));
    EXPECT_EQ(L"", Listed(ProtectListKind::File, withEquals));
}

TEST_F(ProtectListStoreTest, RemovingDeletesTheKeyAndTakesThePathOutOfItsModesLists)
{
    const std::wstring path = Existing(L"ow.txt");
    const std::wstring other = Existing(L"other.txt");
    ProtectListStore store = Store(ProtectListKind::File);
    ASSERT_TRUE(store.AddProtectEntry(device.Get(), {path, L"ow"}));
    ASSERT_TRUE(store.AddProtectEntry(device.Get(), {other, L"owi"}));
    recorder.Clear();

    ASSERT_TRUE(store.RemoveProtectEntry(device.Get(), {path, L"ow"}));

    std::vector<drivertest::DeviceCall> calls = Calls();
    EXPECT_EQ((std::vector<DWORD>{IOCTL_FILE_PROTECT_O, IOCTL_FILE_PROTECT_W}), SentCodes(calls));
    EXPECT_TRUE(protecttest::AllRecordsAre(calls, path, 1));
    EXPECT_EQ(L"", Listed(ProtectListKind::File, path));
    EXPECT_EQ(L"owi", Listed(ProtectListKind::File, other));
    EXPECT_EQ("[File Protect]\r\n" + Utf8(other) + "=owi\r\n", FileBytes(Settings()));
}

// What is not in the file any more counts as removed from it, even when the
// file or its folder is gone.
TEST_F(ProtectListStoreTest, EntriesAnotherProgramRemovedCountAsRemoved)
{
    const std::wstring path = Existing(L"w.txt");
    ProtectListStore store = Store(ProtectListKind::Folder);
    ASSERT_TRUE(store.AddProtectEntry(device.Get(), {path, L"w"}));
    ASSERT_TRUE(::DeleteFileW(Settings().c_str()));
    EXPECT_TRUE(store.RemoveProtectEntry(device.Get(), {path, L"w"}));
    EXPECT_EQ(L"", Listed(ProtectListKind::Folder, path));

    ASSERT_TRUE(store.AddProtectEntry(device.Get(), {path, L"o"}));
    ASSERT_TRUE(::DeleteFileW(Settings().c_str()));
    EXPECT_TRUE(store.ClearProtectList(device.Get()));
    EXPECT_EQ(L"", Listed(ProtectListKind::Folder, path));
    EXPECT_EQ("[Folder Protect]\r\n", FileBytes(Settings()));

    ASSERT_TRUE(store.AddProtectEntry(device.Get(), {path, L"i"}));
    ASSERT_TRUE(testkit::RemoveTree(folder.File(L"zdl")));
    EXPECT_TRUE(store.RemoveProtectEntry(device.Get(), {path, L"i"}));
    EXPECT_EQ(L"", Listed(ProtectListKind::Folder, path));

    ASSERT_TRUE(::CreateDirectoryW(folder.File(L"zdl").c_str(), nullptr));
    ASSERT_TRUE(store.AddProtectEntry(device.Get(), {path, L"oi"}));
    ASSERT_TRUE(testkit::RemoveTree(folder.File(L"zdl")));
    EXPECT_TRUE(store.ClearProtectList(device.Get()));
    EXPECT_EQ(L"", Listed(ProtectListKind::Folder, path));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(folder.File(L"zdl").c_str())) << "never created";
}

TEST_F(ProtectListStoreTest, ARemovalTheFileRefusesLeavesTheKeyAndTheDriverAlone)
{
    const std::wstring path = Existing(L"kept.txt");
    ProtectListStore store = Store(ProtectListKind::File);
    ASSERT_TRUE(store.AddProtectEntry(device.Get(), {path, L"wi"}));
    const std::string before = FileBytes(Settings());
    recorder.Clear();
    {
        protecttest::WriteLock lock(Settings());
        ASSERT_TRUE(lock.Held());
        EXPECT_FALSE(store.RemoveProtectEntry(device.Get(), {path, L"wi"}));
        EXPECT_FALSE(store.ClearProtectList(device.Get()));
    }
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(before, FileBytes(Settings()));
    EXPECT_EQ(L"wi", Listed(ProtectListKind::File, path));
}

TEST_F(ProtectListStoreTest, ClearingLeavesTheBareSectionHeaderAndEmptiesTheKindsDriverLists)
{
    const std::wstring a = Existing(L"a"), b = Existing(L"b"), c = Existing(L"c"), kept = Existing(L"kept");
    WriteSettings(L"[Password]\r\npassword=pw\r\n");
    ProtectListStore files = Store(ProtectListKind::File);
    ASSERT_TRUE(files.AddProtectEntry(device.Get(), {a, L"o"}));
    ASSERT_TRUE(files.AddProtectEntry(device.Get(), {b, L"w"}));
    ASSERT_TRUE(files.AddProtectEntry(device.Get(), {c, L"owi"}));
    ASSERT_TRUE(Store(ProtectListKind::Folder).AddProtectEntry(device.Get(), {kept, L"owi"}));
    testkit::DriverState before = State();
    recorder.Clear();

    ASSERT_TRUE(files.ClearProtectList(device.Get()));

    EXPECT_EQ((std::vector<DWORD>{IOCTL_FILE_CLEAR_O, IOCTL_FILE_CLEAR_W, IOCTL_FILE_CLEAR_I}), SentCodes(Calls()));
    testkit::DriverState after = State();
    for (int list : {ZDL_FILE_O, ZDL_FILE_W, ZDL_FILE_I})
        EXPECT_TRUE(after.lists[list].empty());
    for (int list : {ZDL_FOLDER_O, ZDL_FOLDER_W, ZDL_FOLDER_I})
        EXPECT_EQ(before.lists[list], after.lists[list]);
    EXPECT_EQ("[Password]\r\npassword=pw\r\n[Folder Protect]\r\n" + Utf8(kept) + "=owi\r\n[File Protect]\r\n",
              FileBytes(Settings()));

    ASSERT_TRUE(files.ClearProtectList(device.Get())) << "an empty list clears again";
    EXPECT_EQ("[Password]\r\npassword=pw\r\n[Folder Protect]\r\n" + Utf8(kept) + "=owi\r\n[File Protect]\r\n",
              FileBytes(Settings()));
}
