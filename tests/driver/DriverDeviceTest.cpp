#include "DriverClient.h"
#include "driver/ZdlProtocol.h"
#include "protect/ProtectDriver.h"
#include "support/DriverService.h"
#include "support/PumpUntil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

using drivertest::CheckAccess;
using drivertest::Control;
using drivertest::DriverState;
using drivertest::Padded;
using drivertest::QueryState;
using drivertest::Record;

const DWORD kAllDrivesWord = ZDL_DRIVE_WORD_BASE + (1u << ZDL_DRIVE_LETTERS) - 1;

bool Listed(HANDLE device, int list, const std::string& path)
{
    DriverState state;
    if (!QueryState(device, &state))
        return false;
    const std::vector<std::string>& entries = state.lists[list];
    return std::find(entries.begin(), entries.end(), Padded(path)) != entries.end();
}

size_t ListSize(HANDLE device, int list)
{
    DriverState state;
    return QueryState(device, &state) ? state.lists[list].size() : 0;
}

// A path of this test process only, so that other entries are left alone.
std::string OwnPath(const std::string& name)
{
    return "C:\\ZdlTest" + std::to_string(::GetCurrentProcessId()) + "\\" + name;
}

bool Send(HANDLE device, DWORD code, const std::string& path, WORD remove)
{
    return Control(device, code, Record(path, remove), 0).ok;
}

TEST(DriverDevice, OpensForSeveralHandlesAtOnce)
{
    fw::FileHandle first = drivertest::OpenTestDevice();
    ASSERT_TRUE(first.Valid());
    fw::FileHandle second(::CreateFileW(ZDL_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(second.Valid()) << ::GetLastError();
    DriverState viaFirst;
    DriverState viaSecond;
    ASSERT_TRUE(QueryState(first.Get(), &viaFirst));
    ASSERT_TRUE(QueryState(second.Get(), &viaSecond));
    EXPECT_EQ(viaFirst.driveWord, viaSecond.driveWord);
}

TEST(DriverDevice, KeepsOnePathPerListWhateverItsLetterCaseButKeepsDoubleByteCharactersApart)
{
    fw::FileHandle device = drivertest::OpenTestDevice();
    ASSERT_TRUE(device.Valid());
    const std::string path = OwnPath("Case.txt");
    std::string upper = path;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return static_cast<char>(::toupper(c)); });
    size_t before = ListSize(device.Get(), ZDL_FILE_W);

    ASSERT_TRUE(Send(device.Get(), IOCTL_FILE_PROTECT_W, path, 0));
    ASSERT_TRUE(Send(device.Get(), IOCTL_FILE_PROTECT_W, upper, 0));
    EXPECT_EQ(before + 1, ListSize(device.Get(), ZDL_FILE_W));
    EXPECT_TRUE(Listed(device.Get(), ZDL_FILE_W, path)) << "kept as first sent";

    // GBK 0x81 0x41 and 0x81 0x61 are two characters, not one in two cases.
    const std::string first = OwnPath("\x81\x41");
    const std::string second = OwnPath("\x81\x61");
    ASSERT_TRUE(Send(device.Get(), IOCTL_FILE_PROTECT_W, first, 0));
    ASSERT_TRUE(Send(device.Get(), IOCTL_FILE_PROTECT_W, second, 0));
    EXPECT_EQ(before + 3, ListSize(device.Get(), ZDL_FILE_W));

    ASSERT_TRUE(Send(device.Get(), IOCTL_FILE_PROTECT_W, upper, 1));
    EXPECT_FALSE(Listed(device.Get(), ZDL_FILE_W, path));
    Send(device.Get(), IOCTL_FILE_PROTECT_W, first, 1);
    Send(device.Get(), IOCTL_FILE_PROTECT_W, second, 1);
    EXPECT_EQ(before, ListSize(device.Get(), ZDL_FILE_W));
}

TEST(DriverDevice, QueryStateGivesTheHeaderAloneToABufferTooSmallForTheEntries)
{
    fw::FileHandle device = drivertest::OpenTestDevice();
    ASSERT_TRUE(device.Valid());
    const std::string path = OwnPath("Query");
    ASSERT_TRUE(Send(device.Get(), IOCTL_FOLDER_PROTECT_I, path, 0));

    drivertest::ControlResult header = Control(device.Get(), IOCTL_QUERY_STATE, std::string(), ZDL_STATE_HEADER_BYTES);
    EXPECT_FALSE(header.ok);
    EXPECT_EQ(static_cast<DWORD>(ERROR_MORE_DATA), header.error);
    ASSERT_EQ(ZDL_STATE_HEADER_BYTES, header.output.size());
    DWORD needed = 0;
    std::memcpy(&needed, header.output.data() + 4 * ZDL_STATE_NEEDED_BYTES, 4);
    DWORD entries = 0;
    for (int list = 0; list < ZDL_LISTS; ++list) {
        DWORD count = 0;
        std::memcpy(&count, header.output.data() + 4 * (ZDL_STATE_FILE_O_COUNT + list), 4);
        entries += count;
    }
    EXPECT_EQ(ZDL_STATE_HEADER_BYTES + entries * ZDL_PATH_BYTES, needed);

    drivertest::ControlResult tooSmall = Control(device.Get(), IOCTL_QUERY_STATE, std::string(), ZDL_STATE_HEADER_BYTES - 1);
    EXPECT_FALSE(tooSmall.ok);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), tooSmall.error);

    drivertest::ControlResult whole = Control(device.Get(), IOCTL_QUERY_STATE, std::string(), needed + 1000);
    ASSERT_TRUE(whole.ok);
    EXPECT_EQ(needed, whole.output.size());
    EXPECT_EQ(header.output, whole.output.substr(0, ZDL_STATE_HEADER_BYTES));
    Send(device.Get(), IOCTL_FOLDER_PROTECT_I, path, 1);
}

TEST(DriverDevice, AnswersAccessQuestionsFromItsListsSwitchAndDriveWord)
{
    fw::FileHandle device = drivertest::OpenTestDevice();
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
    ASSERT_TRUE(drivertest::LeaveStaleDeviceLink());
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
