#include "PageHostFixture.h"
#include "ProtectTestKit.h"
#include "protect/ProtectListStore.h"
#include "resource.h"
#include "support/PumpUntil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using protecttest::FileBytes;
using protecttest::ListedModes;
using protecttest::SentCodes;

// The page host started again over a settings file prepared meanwhile, as
// the program starts over the file of its last run.
class ProtectStartUpTest : public PageHostTest {
protected:
    void SetUp() override
    {
        device = testkit::OpenTestDevice();
        ASSERT_TRUE(device.Valid());
        ASSERT_TRUE(recorder.Hooked());
        PageHostTest::SetUp();
    }

    void TearDown() override
    {
        for (const std::wstring& path : created) {
            SendPathRecord(device.Get(), ProtectListKind::File, L"owi", path, true);
            SendPathRecord(device.Get(), ProtectListKind::Folder, L"owi", path, true);
        }
        PageHostTest::TearDown();
    }

    void Restart()
    {
        host.reset();
        const std::wstring counter = folder->File(L"zdl\\ZendalCommon.zdl");
        UINT launches = ::GetPrivateProfileIntW(L"Visit", L"count", 0, counter.c_str());
        recorder.Clear();
        host = std::make_unique<CDlgSubMain>();
        ASSERT_TRUE(host->Create(nullptr));
        host->Show();
        // Let the launch counter finish before the test removes the folder.
        ASSERT_TRUE(testkit::PumpUntil(
            [&] { return ::GetPrivateProfileIntW(L"Visit", L"count", 0, counter.c_str()) == launches + 1; }));
    }

    std::wstring Settings() const { return folder->File(L"zdl\\ZendalFS.zdl"); }

    std::wstring Existing(const std::wstring& name)
    {
        created.push_back(protecttest::CreateEmptyFile(folder->File(name)));
        return created.back();
    }
    std::wstring Missing(const std::wstring& name)
    {
        created.push_back(folder->File(name));
        return created.back();
    }

    std::wstring StoredModes(ProtectListKind kind, const std::wstring& path) const
    {
        return protecttest::StoredModes(Settings(), kind, path);
    }

    std::wstring Listed(ProtectListKind kind, const std::wstring& path)
    {
        return protecttest::ListedModes(device.Get(), kind, path);
    }

    fw::FileHandle device;
    drivertest::DeviceCallRecorder recorder;
    std::vector<std::wstring> created;
};

} // namespace

TEST_F(ProtectStartUpTest, BothListsAreReplayedBeforeAnyLogonFileListFirstWithoutTheStaleEntries)
{
    const std::wstring wi = Existing(L"wi.txt");
    const std::wstring gone = Missing(L"gone.txt");
    const std::wstring others = Existing(L"others.txt");
    const std::wstring folderO = Existing(L"folder-o");
    const std::wstring goneFolder = Missing(L"gone-folder");
    WriteSettings("[Password]\r\npassword=secret\r\n[Folder Protect]\r\n" + testkit::Ansi(folderO) + "=o\r\n" +
                  testkit::Ansi(goneFolder) + "=w\r\n[File Protect]\r\n" + testkit::Ansi(wi) + "=wi\r\n" +
                  testkit::Ansi(gone) + "=owi\r\n" + testkit::Ansi(others) + "=xyz\r\n");

    Restart();

    EXPECT_EQ((std::vector<DWORD>{IOCTL_SET_PROTECT_SWITCH, IOCTL_SET_FIXED_DRIVES, IOCTL_FILE_PROTECT_W,
                                  IOCTL_FILE_PROTECT_I, IOCTL_FOLDER_PROTECT_O}),
              SentCodes(recorder.Calls()));
    EXPECT_FALSE(NavigationEnabled(0)) << "nobody has logged on";
    EXPECT_EQ(L"wi", Listed(ProtectListKind::File, wi));
    EXPECT_EQ(L"", Listed(ProtectListKind::File, gone));
    EXPECT_EQ(L"", Listed(ProtectListKind::File, others));
    EXPECT_EQ(L"o", Listed(ProtectListKind::Folder, folderO));
    EXPECT_EQ(L"", Listed(ProtectListKind::Folder, goneFolder));

    EXPECT_EQ(L"", StoredModes(ProtectListKind::File, gone));
    EXPECT_EQ(L"", StoredModes(ProtectListKind::Folder, goneFolder));
    EXPECT_EQ(L"xyz", StoredModes(ProtectListKind::File, others));
    EXPECT_EQ(std::string::npos, FileBytes(Settings()).find("gone"));

    std::vector<protecttest::ListRow> files = protecttest::ListRows(host->Page(3).Item(IDC_TREELIST));
    ASSERT_EQ(2u, files.size());
    EXPECT_EQ(wi, files[0].path);
    EXPECT_EQ(L"wi", files[0].modes);
    EXPECT_EQ(others, files[1].path);
    EXPECT_EQ(L"xyz", files[1].modes) << "listed as read, though it sends nothing";
    std::vector<protecttest::ListRow> folders = protecttest::ListRows(host->Page(4).Item(IDC_TREELIST));
    ASSERT_EQ(1u, folders.size());
    EXPECT_EQ(folderO, folders[0].path);
    EXPECT_EQ(L"o", folders[0].modes);
}

TEST_F(ProtectStartUpTest, AnEntryAddedOnThePageIsReplayedAtTheNextStartWithTheSameBytes)
{
    const std::wstring path = Existing(L"机密文件.doc");
    LogOn(L"");
    fw::Window page(host->Page(3).Handle());
    page.SetItemText(IDC_PROTECT_PATH, path);
    page.Item(IDC_PROTECT_MODE_W).Send(BM_SETCHECK, BST_CHECKED);
    page.Item(IDC_PROTECT_ADD).Send(BM_CLICK);
    ASSERT_EQ(L"w", StoredModes(ProtectListKind::File, path));
    SendPathRecord(device.Get(), ProtectListKind::File, L"w", path, true);
    ASSERT_EQ(L"", Listed(ProtectListKind::File, path));

    Restart();

    std::vector<drivertest::DeviceCall> calls = recorder.Calls();
    ASSERT_EQ(3u, calls.size());
    EXPECT_EQ(static_cast<DWORD>(IOCTL_FILE_PROTECT_W), calls[2].code);
    EXPECT_EQ(testkit::Record(testkit::Ansi(path), 0), calls[2].input);
    EXPECT_EQ(L"w", Listed(ProtectListKind::File, path));
}
