#include "ProgramSession.h"

#include "protect/ProtectDriver.h"
#include "resource.h"
#include "support/DriverClient.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>

namespace {

// The driver's switch and drive word as the query code reports them.
testkit::DriverState StateOf(HANDLE device)
{
    testkit::DriverState state;
    EXPECT_TRUE(testkit::QueryState(device, &state));
    return state;
}

} // namespace

TEST(Protection, StopAndRestoreOnTheSettingsPageReachTheDriverAndAStartSwitchesItOnAgain)
{
    // Loaded from the build's program folder, so the program opens it at once.
    fw::FileHandle device = testkit::OpenTestDevice();
    ASSERT_TRUE(device.Valid());
    const DWORD fixedDrives = ComputeFixedDriveWord();
    testkit::TempProgramFolder folder(true);
    {
        e2e::ProgramSession session(folder.Path());
        ASSERT_TRUE(session.Ready());
        testkit::DriverState state = StateOf(device.Get());
        EXPECT_EQ(1u, state.protectOn);
        EXPECT_EQ(fixedDrives, state.driveWord);
        e2e::Report("protection: at start-up the driver is on with drive word 0x%lx", fixedDrives);

        ASSERT_EQ(L"成功登录", session.LogOn(L""));
        HWND page = session.ShowPage(IDC_NAV_FUNCTION, {IDC_FUNCTION_STOP, IDC_FUNCTION_RESTORE});
        ASSERT_NE(nullptr, page);
        EXPECT_EQ(L"操作成功", session.PressForMessage(page, IDC_FUNCTION_STOP));
        EXPECT_EQ(L"ZendalFileSa", session.LastCaption());
        state = StateOf(device.Get());
        EXPECT_EQ(0u, state.protectOn);
        EXPECT_EQ(0u, state.driveWord);
        e2e::Report("protection: 停止保护 says 操作成功; driver switch 0, drive word 0");

        EXPECT_EQ(L"操作成功", session.PressForMessage(page, IDC_FUNCTION_RESTORE));
        state = StateOf(device.Get());
        EXPECT_EQ(1u, state.protectOn);
        EXPECT_EQ(fixedDrives, state.driveWord);
        e2e::Report("protection: 还原保护 says 操作成功; driver switch 1, fixed-drive word again");

        // Paused when the program ends: the pause lasts only for this run.
        EXPECT_EQ(L"操作成功", session.PressForMessage(page, IDC_FUNCTION_STOP));
        EXPECT_TRUE(session.Close());
        EXPECT_EQ(0u, StateOf(device.Get()).protectOn) << "closing the program leaves the driver as it was";
    }
    e2e::ProgramSession session(folder.Path());
    ASSERT_TRUE(session.Ready());
    testkit::DriverState state = StateOf(device.Get());
    EXPECT_EQ(1u, state.protectOn);
    EXPECT_EQ(fixedDrives, state.driveWord);
    e2e::Report("protection: stopped, closed and started again: the start switched the driver on");
    EXPECT_TRUE(session.Close());
}
