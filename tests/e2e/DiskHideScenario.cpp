#include "ProgramSession.h"
#include "RemoteTreeList.h"

#include "resource.h"
#include "support/PolicyValues.h"
#include "support/PumpUntil.h"
#include "support/TempProgramFolder.h"
#include "ui/treelist/TreeList.h"

#include <gtest/gtest.h>

namespace {

constexpr DWORD kDrivesACZ = 0x2000005;
const int kHidden[] = {0, 2, 25};

HWND OpenDiskHidePage(e2e::ProgramSession& session)
{
    if (!session.Ready() || session.LogOn(L"") != L"成功登录")
        return nullptr;
    return session.ShowPage(IDC_NAV_DISKHIDE, {IDC_DISKHIDE_UNUSABLE, IDC_DISKHIDE_SAVE});
}

bool UnusableTicked(HWND page)
{
    return ::SendMessageW(::GetDlgItem(page, IDC_DISKHIDE_UNUSABLE), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

} // namespace

TEST(DiskHide, TickedDrivesAreWrittenToThePolicyValuesAndReadBackAtTheNextStart)
{
    testkit::PolicyValuesKeeper keep;
    testkit::WritePolicyValue(L"NoDrives", {false, 0});
    testkit::WritePolicyValue(L"NoViewOnDrive", {false, 0});
    testkit::TempProgramFolder folder(true);
    {
        e2e::ProgramSession session(folder.Path());
        HWND page = OpenDiskHidePage(session);
        ASSERT_NE(nullptr, page);
        e2e::RemoteTreeList list(::GetDlgItem(page, IDC_TREELIST));
        ASSERT_TRUE(list.Valid());
        std::vector<HTREEITEM> rows = list.RootRows();
        ASSERT_EQ(26u, rows.size());
        EXPECT_EQ(L"磁盘 A", list.CellText(rows[0], 0));
        EXPECT_EQ(L"磁盘 Z", list.CellText(rows[25], 0));
        for (HTREEITEM row : rows)
            EXPECT_EQ(0, list.Check(row));
        EXPECT_FALSE(UnusableTicked(page));
        e2e::Report("disk hiding: 26 rows 磁盘 A .. 磁盘 Z, none ticked with no policy values");

        for (int drive : kHidden)
            ASSERT_TRUE(list.SetCheck(rows[drive], true)) << drive;
        e2e::Press(page, IDC_DISKHIDE_UNUSABLE);
        ASSERT_TRUE(testkit::PumpUntil([&] { return UnusableTicked(page); }));
        EXPECT_EQ(L"设置成功重启生效", session.PressForMessage(page, IDC_DISKHIDE_SAVE));
        EXPECT_EQ(L"ZendalFileSa", session.LastCaption());
        testkit::PolicyValue drives = testkit::ReadPolicyValue(L"NoDrives");
        testkit::PolicyValue view = testkit::ReadPolicyValue(L"NoViewOnDrive");
        EXPECT_TRUE(drives.found && drives.value == kDrivesACZ) << std::hex << drives.value;
        EXPECT_TRUE(view.found && view.value == kDrivesACZ) << std::hex << view.value;
        e2e::Report("disk hiding: A, C, Z and \"unusable\" saved: NoDrives = NoViewOnDrive = 0x2000005 (设置成功重启生效)");
        EXPECT_TRUE(session.Close());
    }
    e2e::ProgramSession session(folder.Path());
    HWND page = OpenDiskHidePage(session);
    ASSERT_NE(nullptr, page);
    e2e::RemoteTreeList list(::GetDlgItem(page, IDC_TREELIST));
    std::vector<HTREEITEM> rows = list.RootRows();
    ASSERT_EQ(26u, rows.size());
    for (int drive = 0; drive < 26; ++drive) {
        bool hidden = drive == 0 || drive == 2 || drive == 25;
        EXPECT_EQ(hidden ? 1 : 0, list.Check(rows[drive])) << drive;
    }
    EXPECT_TRUE(UnusableTicked(page));
    e2e::Report("disk hiding: the next start ticks A, C, Z and \"unusable\" from the registry");

    // Unticking everything and saving is the page's own way back.
    for (int drive : kHidden)
        list.SetCheck(rows[drive], false);
    e2e::Press(page, IDC_DISKHIDE_UNUSABLE);
    ASSERT_TRUE(testkit::PumpUntil([&] { return !UnusableTicked(page); }));
    EXPECT_EQ(L"设置成功重启生效", session.PressForMessage(page, IDC_DISKHIDE_SAVE));
    testkit::PolicyValue drives = testkit::ReadPolicyValue(L"NoDrives");
    EXPECT_TRUE(drives.found && drives.value == 0) << std::hex << drives.value;
    EXPECT_FALSE(testkit::ReadPolicyValue(L"NoViewOnDrive").found);
    e2e::Report("disk hiding: unticked and saved: NoDrives = 0, NoViewOnDrive removed; the old values are put back after");
    EXPECT_TRUE(session.Close());
}
