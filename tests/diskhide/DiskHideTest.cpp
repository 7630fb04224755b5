#include "diskhide/CDlgDiskHide.h"
#include "framework/App.h"
#include "framework/UniqueHandle.h"
#include "resource.h"
#include "support/Input.h"
#include "support/MessageBoxCatcher.h"
#include "support/PolicyValues.h"
#include "support/PumpUntil.h"
#include "support/TempProgramFolder.h"
#include "ui/treelist/TreeList.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

using Stored = testkit::PolicyValue;
using testkit::kExplorerPolicyKey;

Stored ReadValue(const wchar_t* name) { return testkit::ReadPolicyValue(name); }
void WriteValue(const wchar_t* name, Stored stored) { testkit::WritePolicyValue(name, stored); }

// What the platform's own "reg query" prints for a value of the policy key.
std::string RegQuery(const wchar_t* name)
{
    testkit::TempProgramFolder scratch;
    std::wstring output = scratch.File(L"reg.txt");
    std::wstring command = std::wstring(L"cmd.exe /c reg.exe query \"HKCU\\") + kExplorerPolicyKey + L"\" /v " + name +
                           L" > \"" + output + L"\"";
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                          &process))
        return "cannot run reg.exe";
    fw::KernelHandle thread(process.hThread);
    fw::KernelHandle running(process.hProcess);
    if (!testkit::PumpUntil([&] { return ::WaitForSingleObject(running.Get(), 0) == WAIT_OBJECT_0; }))
        return "reg.exe did not end";
    std::string text;
    fw::FileHandle in(::CreateFileW(output.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    char buffer[4096];
    DWORD read = 0;
    while (in && ::ReadFile(in.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0)
        text.append(buffer, read);
    return text;
}

class DiskHideTest : public testing::Test {
protected:
    void SetUp() override
    {
        parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 600, 520, nullptr, nullptr,
                                   nullptr, nullptr);
    }
    void TearDown() override
    {
        page.reset();
        ::DestroyWindow(parent);
    }

    // A fresh page: it reads the policy when it is created.
    CDlgDiskHide& OpenPage()
    {
        page = std::make_unique<CDlgDiskHide>();
        EXPECT_TRUE(page->Create(parent));
        page->Show();
        return *page;
    }
    void Tick(int drive, bool ticked) { page->DriveList().SetCheck(page->DriveRow(drive), ticked); }
    bool Ticked(int drive) { return page->DriveList().GetCheck(page->DriveRow(drive)) == 1; }
    bool UnusableTicked() { return page->Item(IDC_DISKHIDE_UNUSABLE).Send(BM_GETCHECK) == BST_CHECKED; }
    void SetUnusable(bool ticked) { page->Item(IDC_DISKHIDE_UNUSABLE).Send(BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED); }

    std::wstring Save()
    {
        size_t before = boxes.Count();
        page->Item(IDC_DISKHIDE_SAVE).Post(BM_CLICK);
        EXPECT_TRUE(boxes.WaitForCount(before + 1));
        EXPECT_EQ(fw::App::Name(), boxes.Boxes().back().caption);
        return boxes.Boxes().back().text;
    }

    testkit::PolicyValuesKeeper policy;
    HWND parent = nullptr;
    std::unique_ptr<CDlgDiskHide> page;
    testkit::MessageBoxCatcher boxes;
};

} // namespace

TEST_F(DiskHideTest, ListsAllTwentySixDrivesWhateverTheMachineHas)
{
    WriteValue(L"NoDrives", {false, 0});
    WriteValue(L"NoViewOnDrive", {false, 0});
    OpenPage();
    EXPECT_EQ(26u, page->DriveList().GetCount());
    EXPECT_STREQ(L"磁盘 A", page->DriveList().GetItemText(page->DriveRow(0), 0));
    EXPECT_STREQ(L"磁盘 Z", page->DriveList().GetItemText(page->DriveRow(25), 0));
    for (int drive = 0; drive < CDlgDiskHide::kDriveCount; ++drive)
        EXPECT_FALSE(Ticked(drive)) << drive;
    EXPECT_FALSE(UnusableTicked());
}

TEST_F(DiskHideTest, SavingTicksWritesTheMaskAndTheUnusableValueFollowsTheCheckBox)
{
    OpenPage();
    for (int drive : {0, 2, 25})
        Tick(drive, true);
    SetUnusable(true);
    EXPECT_EQ(L"设置成功重启生效", Save());
    EXPECT_EQ(0x2000005u, ReadValue(L"NoDrives").value);
    EXPECT_EQ(0x2000005u, ReadValue(L"NoViewOnDrive").value);
    EXPECT_NE(std::string::npos, RegQuery(L"NoDrives").find("0x2000005")) << RegQuery(L"NoDrives");
    EXPECT_NE(std::string::npos, RegQuery(L"NoViewOnDrive").find("0x2000005"));

    SetUnusable(false);
    EXPECT_EQ(L"设置成功重启生效", Save());
    EXPECT_EQ(0x2000005u, ReadValue(L"NoDrives").value);
    EXPECT_FALSE(ReadValue(L"NoViewOnDrive").found);
    EXPECT_EQ(std::string::npos, RegQuery(L"NoViewOnDrive").find("REG_DWORD"));
}

TEST_F(DiskHideTest, SavingNothingTickedWritesZeroAndKeepsTheValues)
{
    WriteValue(L"NoDrives", {true, 0x10});
    OpenPage();
    EXPECT_TRUE(Ticked(4));
    Tick(4, false);
    SetUnusable(true);
    EXPECT_EQ(L"设置成功重启生效", Save());
    Stored drives = ReadValue(L"NoDrives");
    Stored view = ReadValue(L"NoViewOnDrive");
    EXPECT_TRUE(drives.found);
    EXPECT_EQ(0u, drives.value);
    EXPECT_TRUE(view.found);
    EXPECT_EQ(0u, view.value);
}

TEST_F(DiskHideTest, BitsAboveZTickNothingAndTheNextSaveClearsThem)
{
    WriteValue(L"NoDrives", {true, 0xFC000001});
    WriteValue(L"NoViewOnDrive", {false, 0});
    OpenPage();
    EXPECT_TRUE(Ticked(0));
    for (int drive = 1; drive < CDlgDiskHide::kDriveCount; ++drive)
        EXPECT_FALSE(Ticked(drive)) << drive;
    Save();
    EXPECT_EQ(1u, ReadValue(L"NoDrives").value);
}

TEST_F(DiskHideTest, AFreshPageReadsBackWhatTheLastSaveStoredCheckBoxIncluded)
{
    OpenPage();
    Tick(3, true);
    Tick(7, true);
    SetUnusable(false);
    Save();
    OpenPage();
    EXPECT_TRUE(Ticked(3));
    EXPECT_TRUE(Ticked(7));
    EXPECT_FALSE(Ticked(4));
    EXPECT_FALSE(UnusableTicked()) << "NoDrives set and NoViewOnDrive absent";

    SetUnusable(true);
    Save();
    OpenPage();
    EXPECT_TRUE(UnusableTicked());
    EXPECT_TRUE(Ticked(3));
}

TEST_F(DiskHideTest, ARowIsTickedByAClickOnItsCheckBoxAndBySpace)
{
    WriteValue(L"NoDrives", {false, 0});
    OpenPage();
    ::SetForegroundWindow(parent);
    CZendalTreeListCtrl& list = page->DriveList();

    // Find the check box of row C: the point the list itself reports as its state image.
    RECT row{};
    HTREEITEM rowC = page->DriveRow(2);
    std::memcpy(&row, &rowC, sizeof(rowC));
    ASSERT_TRUE(list.Send(TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&row)));
    POINT box{-1, (row.top + row.bottom) / 2};
    for (int x = 0; x < 60 && box.x < 0; ++x) {
        UINT flags = 0;
        if (list.HitTest(POINT{x, box.y}, &flags) == page->DriveRow(2) && (flags & TVHT_ONITEMSTATEICON))
            box.x = x;
    }
    ASSERT_GE(box.x, 0) << "no check box on the row";
    ::ClientToScreen(list.Handle(), &box);
    testkit::ClickAt(box);
    ASSERT_TRUE(testkit::PumpUntil([&] { return Ticked(2); }));

    // Space ticks the selected row.
    ::SetFocus(list.Handle());
    list.Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(page->DriveRow(5)));
    testkit::PressKey(VK_SPACE);
    ASSERT_TRUE(testkit::PumpUntil([&] { return Ticked(5); }));
    EXPECT_FALSE(Ticked(4));
}
