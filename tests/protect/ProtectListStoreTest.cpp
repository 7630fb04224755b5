#include "ProtectTestKit.h"
#include "protect/ProtectListStore.h"
#include "support/DriverClient.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using protecttest::FileBytes;

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

    // Written as another program writes it, in the ANSI code page.
    void WriteSettings(const std::wstring& text) { protecttest::WriteFileBytes(Settings(), testkit::Ansi(text)); }

    std::wstring Listed(ProtectListKind kind, const std::wstring& path)
    {
        testkit::DriverState state;
        EXPECT_TRUE(testkit::QueryState(device.Get(), &state));
        return protecttest::ListedModes(state, kind, path);
    }

    testkit::TempProgramFolder folder;
    fw::FileHandle device;
    drivertest::DeviceCallRecorder recorder;
    std::vector<std::wstring> created;
};

} // namespace

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
    EXPECT_TRUE(protecttest::SentCodes(recorder.Calls()).empty());
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
