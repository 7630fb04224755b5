#include "ProgramStartUp.h"
#include "support/DriverClient.h"
#include "protect/ProtectDriver.h"
#include "support/DriverService.h"
#include "support/RunningProgram.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using drivertest::OpenDeviceDirectly;
using drivertest::WaitForStartUp;
using testkit::DriverState;

struct VisibleDialogs {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectVisibleDialogs(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<VisibleDialogs*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    wchar_t className[16] = {};
    ::GetClassNameW(hwnd, className, 16);
    if (pid == search->pid && ::IsWindowVisible(hwnd) && std::wstring(className) == L"#32770")
        search->found.push_back(hwnd);
    return TRUE;
}

// The program's visible top-level dialogs: the main window and the page host,
// and any message box.
std::vector<HWND> TopLevelDialogs(DWORD pid)
{
    VisibleDialogs search{pid, {}};
    ::EnumWindows(&CollectVisibleDialogs, reinterpret_cast<LPARAM>(&search));
    return search.found;
}


TEST(ProtectionStartUp, AFreshStartInstallsStartsAndOpensTheDriverThenSwitchesItOn)
{
    testkit::TempProgramFolder folder(true);
    ASSERT_TRUE(folder.Valid());
    testkit::ServiceRestorer restore;
    ASSERT_TRUE(testkit::RemoveDriverService());

    testkit::RunningProgram program(folder);
    ASSERT_TRUE(program.Started());
    HWND main = WaitForStartUp(program);
    ASSERT_NE(nullptr, main);

    // The program holds its handle; another process opens the device all the same.
    fw::FileHandle device = OpenDeviceDirectly();
    ASSERT_TRUE(device.Valid());
    DriverState state;
    ASSERT_TRUE(testkit::QueryState(device.Get(), &state));
    EXPECT_EQ(1u, state.protectOn);
    EXPECT_EQ(ComputeFixedDriveWord(), state.driveWord);

    testkit::ServiceConfig config = testkit::ReadServiceConfig();
    ASSERT_TRUE(config.found);
    EXPECT_EQ(folder.File(L"sys\\ZDLFile.sys"), config.binaryPath);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_KERNEL_DRIVER), config.type);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_DEMAND_START), config.start);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_ERROR_NORMAL), config.errorControl);

    EXPECT_EQ(2u, TopLevelDialogs(program.Id()).size()) << "no message box";
    EXPECT_TRUE(program.Close(main));
}

TEST(ProtectionStartUp, AStartWhileTheDriverIsLoadedOpensItAtOnceAndLeavesTheServiceAlone)
{
    testkit::TempProgramFolder first(true);
    testkit::TempProgramFolder second(true);
    testkit::ServiceRestorer restore;
    ASSERT_TRUE(testkit::RemoveDriverService());
    {
        testkit::RunningProgram program(first);
        HWND main = WaitForStartUp(program);
        ASSERT_NE(nullptr, main);
        EXPECT_TRUE(program.Close(main));
    }
    testkit::ServiceConfig installed = testkit::ReadServiceConfig();
    ASSERT_TRUE(installed.found);

    // A reload would forget this entry and the paused state would stay paused
    // without step 4: both show what the second start did.
    fw::FileHandle device = OpenDeviceDirectly();
    ASSERT_TRUE(device.Valid());
    const std::string marker = "C:\\ZdlStartMarker" + std::to_string(::GetCurrentProcessId());
    ASSERT_TRUE(SendPathRecord(device.Get(), ProtectListKind::Folder, L"i", std::wstring(marker.begin(), marker.end()), false));
    ASSERT_TRUE(SetProtectSwitch(device.Get(), false));
    ASSERT_TRUE(SetFixedDrives(device.Get(), 0));

    testkit::RunningProgram program(second);
    HWND main = WaitForStartUp(program);
    ASSERT_NE(nullptr, main);
    DriverState state;
    ASSERT_TRUE(testkit::QueryState(device.Get(), &state));
    EXPECT_EQ(1u, state.protectOn);
    EXPECT_EQ(ComputeFixedDriveWord(), state.driveWord);
    const std::vector<std::string>& folderI = state.lists[ZDL_FOLDER_I];
    EXPECT_NE(folderI.end(), std::find(folderI.begin(), folderI.end(), testkit::Padded(marker)));

    testkit::ServiceConfig after = testkit::ReadServiceConfig();
    EXPECT_EQ(installed.binaryPath, after.binaryPath);
    EXPECT_EQ(first.File(L"sys\\ZDLFile.sys"), after.binaryPath);
    EXPECT_EQ(installed.start, after.start);
    EXPECT_TRUE(program.Close(main));
    SendPathRecord(device.Get(), ProtectListKind::Folder, L"i", std::wstring(marker.begin(), marker.end()), true);
}

TEST(ProtectionStartUp, AStartWithoutTheDriverFileGoesOnWithoutProtectionAndWithoutAMessage)
{
    testkit::TempProgramFolder folder(true);
    ASSERT_TRUE(::DeleteFileW(folder.File(L"sys\\ZDLFile.sys").c_str()));
    testkit::ServiceRestorer restore;
    ASSERT_TRUE(testkit::RemoveDriverService());

    testkit::RunningProgram program(folder);
    HWND main = WaitForStartUp(program);
    ASSERT_NE(nullptr, main) << "the pages must be created although the driver is missing";
    EXPECT_EQ(2u, TopLevelDialogs(program.Id()).size()) << "no message box";
    EXPECT_FALSE(OpenDeviceDirectly().Valid());
    DWORD code = 1;
    ::PostMessageW(main, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(program.WaitForExit(&code));
    EXPECT_EQ(0u, code);
}

TEST(ProtectionStartUp, AProgramFolderTheDriverWasInstalledFromIsRemovedWholeAndTheServiceHandedBack)
{
    testkit::ServiceRestorer restore;
    ASSERT_TRUE(testkit::RemoveDriverService());
    std::wstring path;
    {
        testkit::TempProgramFolder folder(true);
        path = folder.Path();
        testkit::RunningProgram program(folder);
        HWND main = WaitForStartUp(program);
        ASSERT_NE(nullptr, main);
        ASSERT_EQ(folder.File(L"sys\\ZDLFile.sys"), testkit::ReadServiceConfig().binaryPath);
        EXPECT_TRUE(program.Close(main));
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(path.c_str())) << "the loaded driver kept its folder";
    EXPECT_EQ(testkit::InstalledDriverFile(), testkit::ReadServiceConfig().binaryPath);
    EXPECT_TRUE(OpenDeviceDirectly().Valid());
}

} // namespace
