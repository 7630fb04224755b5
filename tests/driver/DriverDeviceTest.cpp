#include "support/DriverClient.h"
#include "driver/ZdlProtocol.h"
#include "protect/ProtectDriver.h"
#include "support/DriverService.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using testkit::CheckAccess;
using testkit::Control;
using testkit::DriverState;
using testkit::QueryState;
using testkit::Record;

const DWORD kAllDrivesWord = ZDL_DRIVE_WORD_BASE + (1u << ZDL_DRIVE_LETTERS) - 1;

// A path of this test process only, so that other entries are left alone.
std::string OwnPath(const std::string& name)
{
    return "C:\\ZdlTest" + std::to_string(::GetCurrentProcessId()) + "\\" + name;
}

bool Send(HANDLE device, DWORD code, const std::string& path, WORD remove)
{
    return Control(device, code, Record(path, remove), 0).ok;
}

TEST(DriverDevice, AnswersAccessQuestionsFromItsListsSwitchAndDriveWord)
{
    fw::FileHandle device = testkit::OpenTestDevice();
    ASSERT_TRUE(device.Valid());
    const std::string folder = OwnPath("Folder");
    ASSERT_TRUE(SetProtectSwitch(device.Get(), true));
    ASSERT_TRUE(SetFixedDrives(device.Get(), kAllDrivesWord));
    ASSERT_TRUE(Send(device.Get(), IOCTL_FOLDER_PROTECT_W, folder, 0));

    EXPECT_EQ(1, CheckAccess(device.Get(), ZDL_OP_MODIFY, folder + "\\a.txt"));
    EXPECT_EQ(1, CheckAccess(device.Get(), ZDL_OP_CREATE, folder + "\\New\\b.txt"));
    EXPECT_EQ(0, CheckAccess(device.Get(), ZDL_OP_READ, folder + "\\a.txt"));
    EXPECT_EQ(0, CheckAccess(device.Get(), ZDL_OP_MODIFY, folder + "2\\a.txt"));

    ASSERT_TRUE(SetProtectSwitch(device.Get(), false));
    EXPECT_EQ(0, CheckAccess(device.Get(), ZDL_OP_MODIFY, folder + "\\a.txt"));
    ASSERT_TRUE(SetProtectSwitch(device.Get(), true));
    ASSERT_TRUE(SetFixedDrives(device.Get(), ZDL_DRIVE_WORD_BASE + (1u << 3)));
    EXPECT_EQ(0, CheckAccess(device.Get(), ZDL_OP_MODIFY, folder + "\\a.txt")) << "C: not in the mask";
    ASSERT_TRUE(SetFixedDrives(device.Get(), ComputeFixedDriveWord()));
    EXPECT_EQ(1, CheckAccess(device.Get(), ZDL_OP_MODIFY, folder + "\\a.txt"));
    EXPECT_EQ(-1, CheckAccess(device.Get(), 9, folder));

    Send(device.Get(), IOCTL_FOLDER_PROTECT_W, folder, 1);
}

TEST(DriverService, LoadsAgainOverAStaleDeviceLinkAndStartsEmpty)
{
    testkit::ServiceRestorer restore;
    ASSERT_TRUE(testkit::RemoveDriverService());
    // What a crashed driver host leaves behind: the link, pointing nowhere useful.
    ASSERT_TRUE(testkit::LeaveStaleDeviceLink());
    {
        fw::FileHandle stale(::CreateFileW(ZDL_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        DriverState state;
        EXPECT_FALSE(stale.Valid() && QueryState(stale.Get(), &state)) << "the stale link should not reach a driver";
    }

    ASSERT_TRUE(InstallDriverService(testkit::InstalledDriverFile()));
    ASSERT_TRUE(StartDriverService());
    fw::FileHandle device(::CreateFileW(ZDL_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(device.Valid()) << ::GetLastError();
    DriverState state;
    ASSERT_TRUE(QueryState(device.Get(), &state));
    EXPECT_EQ(0u, state.protectOn);
    EXPECT_EQ(0u, state.driveWord);
    for (const std::vector<std::string>& list : state.lists)
        EXPECT_TRUE(list.empty());
}

} // namespace
