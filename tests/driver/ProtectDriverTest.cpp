#include "DeviceCallRecorder.h"
#include "support/DriverClient.h"
#include "WineDrives.h"
#include "protect/ProtectDriver.h"
#include "support/DriverService.h"
#include "support/PumpUntil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using drivertest::DeviceCall;
using testkit::DriverState;
using testkit::Padded;
using testkit::Record;

bool Listed(const DriverState& state, int list, const std::string& path)
{
    const std::vector<std::string>& entries = state.lists[list];
    return std::find(entries.begin(), entries.end(), Padded(path)) != entries.end();
}

std::wstring OwnPath(const std::wstring& name)
{
    return L"C:\\ZdlProgram" + std::to_wstring(::GetCurrentProcessId()) + L"\\" + name;
}

std::vector<DWORD> Codes(const std::vector<DeviceCall>& calls)
{
    std::vector<DWORD> codes;
    for (const DeviceCall& call : calls)
        codes.push_back(call.code);
    return codes;
}

class ProtectDriver : public testing::Test {
protected:
    void SetUp() override
    {
        device_ = testkit::OpenTestDevice();
        ASSERT_TRUE(device_.Valid());
        ASSERT_TRUE(recorder_.Hooked());
    }
    DriverState State()
    {
        DriverState state;
        EXPECT_TRUE(testkit::QueryState(device_.Get(), &state));
        return state;
    }
    // The calls made since the last look, without the test's own state queries.
    std::vector<DeviceCall> Sent()
    {
        std::vector<DeviceCall> calls;
        for (const DeviceCall& call : recorder_.Calls()) {
            if (call.code != IOCTL_QUERY_STATE)
                calls.push_back(call);
        }
        recorder_.Clear();
        return calls;
    }

    fw::FileHandle device_;
    drivertest::DeviceCallRecorder recorder_;
};

TEST_F(ProtectDriver, SendsOneIdenticalRecordPerModeInTheOrderOWI)
{
    const std::wstring path = OwnPath(L"all.txt");
    const std::string ansi = testkit::Ansi(path);
    recorder_.Clear();
    EXPECT_TRUE(SendPathRecord(device_.Get(), ProtectListKind::File, L"owi", path, false));
    std::vector<DeviceCall> calls = Sent();
    ASSERT_EQ((std::vector<DWORD>{IOCTL_FILE_PROTECT_O, IOCTL_FILE_PROTECT_W, IOCTL_FILE_PROTECT_I}), Codes(calls));
    for (const DeviceCall& call : calls) {
        EXPECT_EQ(Record(ansi, 0), call.input);
        EXPECT_EQ(0u, call.outputSize);
    }
    DriverState added = State();
    EXPECT_TRUE(Listed(added, ZDL_FILE_O, ansi));
    EXPECT_TRUE(Listed(added, ZDL_FILE_W, ansi));
    EXPECT_TRUE(Listed(added, ZDL_FILE_I, ansi));
    EXPECT_FALSE(Listed(added, ZDL_FOLDER_O, ansi));

    recorder_.Clear();
    EXPECT_TRUE(SendPathRecord(device_.Get(), ProtectListKind::File, L"owi", path, true));
    calls = Sent();
    ASSERT_EQ((std::vector<DWORD>{IOCTL_FILE_PROTECT_O, IOCTL_FILE_PROTECT_W, IOCTL_FILE_PROTECT_I}), Codes(calls));
    for (const DeviceCall& call : calls)
        EXPECT_EQ(Record(ansi, 1), call.input);
    DriverState removed = State();
    for (int list = 0; list < ZDL_LISTS; ++list)
        EXPECT_FALSE(Listed(removed, list, ansi)) << list;
}

TEST_F(ProtectDriver, SendsOnlyTheLowerCaseModeLettersPresentInFixedOrder)
{
    const std::wstring path = OwnPath(L"Folder");
    const std::string ansi = testkit::Ansi(path);
    recorder_.Clear();
    SendPathRecord(device_.Get(), ProtectListKind::Folder, L"iw", path, false);
    EXPECT_EQ((std::vector<DWORD>{IOCTL_FOLDER_PROTECT_W, IOCTL_FOLDER_PROTECT_I}), Codes(Sent()));
    DriverState state = State();
    EXPECT_FALSE(Listed(state, ZDL_FOLDER_O, ansi));
    EXPECT_TRUE(Listed(state, ZDL_FOLDER_W, ansi));
    EXPECT_TRUE(Listed(state, ZDL_FOLDER_I, ansi));

    SendPathRecord(device_.Get(), ProtectListKind::Folder, L"OWI x-z", path, false);
    SendPathRecord(device_.Get(), ProtectListKind::Folder, L"", path, false);
    EXPECT_TRUE(Sent().empty());
    SendPathRecord(device_.Get(), ProtectListKind::Folder, L"ioio", path, false);
    EXPECT_EQ((std::vector<DWORD>{IOCTL_FOLDER_PROTECT_O, IOCTL_FOLDER_PROTECT_I}), Codes(Sent()));

    SendPathRecord(device_.Get(), ProtectListKind::Folder, L"owi", path, true);
    DriverState removed = State();
    for (int list = 0; list < ZDL_LISTS; ++list)
        EXPECT_FALSE(Listed(removed, list, ansi)) << list;
}

TEST_F(ProtectDriver, AChinesePathArrivesInCodePage936)
{
    const std::wstring path = L"C:\\测试\\文件.txt";
    const std::string gbk = "C:\\\xB2\xE2\xCA\xD4\\\xCE\xC4\xBC\xFE.txt";
    recorder_.Clear();
    SendPathRecord(device_.Get(), ProtectListKind::File, L"i", path, false);
    std::vector<DeviceCall> calls = Sent();
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(Record(gbk, 0), calls[0].input);
    EXPECT_TRUE(Listed(State(), ZDL_FILE_I, gbk));
    SendPathRecord(device_.Get(), ProtectListKind::File, L"i", path, true);
    EXPECT_FALSE(Listed(State(), ZDL_FILE_I, gbk));
}

TEST_F(ProtectDriver, APathTooLongForTheRecordIsNotSentCutShort)
{
    // 123 two-byte characters fit in 255 bytes beside "C:\"; one more does not.
    const std::wstring fits = L"C:\\" + std::wstring(126, L'文');
    const std::wstring tooLong = fits + L"x";
    recorder_.Clear();
    EXPECT_FALSE(SendPathRecord(device_.Get(), ProtectListKind::Folder, L"o", tooLong, false));
    EXPECT_TRUE(Sent().empty());

    EXPECT_TRUE(SendPathRecord(device_.Get(), ProtectListKind::Folder, L"o", fits, false));
    std::vector<DeviceCall> calls = Sent();
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(Record(testkit::Ansi(fits), 0), calls[0].input);
    EXPECT_EQ(255u, testkit::Ansi(fits).size());
    SendPathRecord(device_.Get(), ProtectListKind::Folder, L"o", fits, true);
}

TEST_F(ProtectDriver, ClearingAKindEmptiesItsThreeListsAndLeavesTheOtherKind)
{
    const std::wstring path = OwnPath(L"both");
    const std::string ansi = testkit::Ansi(path);
    SendPathRecord(device_.Get(), ProtectListKind::File, L"owi", path, false);
    SendPathRecord(device_.Get(), ProtectListKind::Folder, L"owi", path, false);

    recorder_.Clear();
    EXPECT_TRUE(ClearDriverLists(device_.Get(), ProtectListKind::File));
    std::vector<DeviceCall> calls = Sent();
    ASSERT_EQ((std::vector<DWORD>{IOCTL_FILE_CLEAR_O, IOCTL_FILE_CLEAR_W, IOCTL_FILE_CLEAR_I}), Codes(calls));
    for (const DeviceCall& call : calls) {
        EXPECT_EQ("", call.input);
        EXPECT_EQ(0u, call.outputSize);
    }
    DriverState state = State();
    EXPECT_TRUE(state.lists[ZDL_FILE_O].empty());
    EXPECT_TRUE(state.lists[ZDL_FILE_W].empty());
    EXPECT_TRUE(state.lists[ZDL_FILE_I].empty());
    EXPECT_TRUE(Listed(state, ZDL_FOLDER_O, ansi));
    EXPECT_TRUE(Listed(state, ZDL_FOLDER_W, ansi));
    EXPECT_TRUE(Listed(state, ZDL_FOLDER_I, ansi));

    recorder_.Clear();
    EXPECT_TRUE(ClearDriverLists(device_.Get(), ProtectListKind::Folder));
    EXPECT_EQ((std::vector<DWORD>{IOCTL_FOLDER_CLEAR_O, IOCTL_FOLDER_CLEAR_W, IOCTL_FOLDER_CLEAR_I}), Codes(Sent()));
    for (const std::vector<std::string>& list : State().lists)
        EXPECT_TRUE(list.empty());
}

TEST_F(ProtectDriver, StopAndRestoreSendTheSwitchByteAndTheDriveWord)
{
    recorder_.Clear();
    SetProtectSwitch(device_.Get(), false);
    EXPECT_TRUE(SetFixedDrives(device_.Get(), 0));
    std::vector<DeviceCall> calls = Sent();
    ASSERT_EQ(2u, calls.size());
    EXPECT_EQ(IOCTL_SET_PROTECT_SWITCH, calls[0].code);
    EXPECT_EQ(std::string(1, '\0'), calls[0].input);
    EXPECT_EQ(0u, calls[0].outputSize);
    EXPECT_EQ(IOCTL_SET_FIXED_DRIVES, calls[1].code);
    EXPECT_EQ(std::string(4, '\0'), calls[1].input);
    EXPECT_EQ(4u, calls[1].outputSize);
    DriverState stopped = State();
    EXPECT_EQ(0u, stopped.protectOn);
    EXPECT_EQ(0u, stopped.driveWord);

    const DWORD word = ComputeFixedDriveWord();
    recorder_.Clear();
    EXPECT_TRUE(SetProtectSwitch(device_.Get(), true));
    EXPECT_TRUE(SetFixedDrives(device_.Get(), word));
    calls = Sent();
    ASSERT_EQ(2u, calls.size());
    EXPECT_EQ(std::string(1, '\1'), calls[0].input);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&word), 4), calls[1].input);
    DriverState restored = State();
    EXPECT_EQ(1u, restored.protectOn);
    EXPECT_EQ(word, restored.driveWord);

    EXPECT_FALSE(SetFixedDrives(INVALID_HANDLE_VALUE, word));
    EXPECT_FALSE(SetProtectSwitch(INVALID_HANDLE_VALUE, true));
    EXPECT_FALSE(SetFixedDrives(device_.Get(), 64)) << "the driver refuses a word it cannot decode";
    EXPECT_EQ(word, State().driveWord);
}

TEST(FixedDriveWord, IsSixtyFivePlusThePresentFixedDrivesOtherThanA)
{
    // Drives present before the test (C: and Z: of the prefix) keep their
    // types; the test adds A: a floppy, D: fixed, E: removable and F: a
    // CD-ROM around them and checks what each one contributes.
    DWORD before = ComputeFixedDriveWord();
    drivertest::WineDrives drives;
    ASSERT_TRUE(drives.Define(L'A', DRIVE_REMOVABLE)) << "A: must be free in the test prefix";
    ASSERT_TRUE(drives.Define(L'D', DRIVE_FIXED)) << "D: must be free in the test prefix";
    ASSERT_TRUE(drives.Define(L'E', DRIVE_REMOVABLE));
    ASSERT_TRUE(drives.Define(L'F', DRIVE_CDROM));
    ASSERT_EQ(static_cast<UINT>(DRIVE_FIXED), ::GetDriveTypeW(L"D:\\"));
    ASSERT_EQ(static_cast<UINT>(DRIVE_CDROM), ::GetDriveTypeW(L"F:\\"));
    EXPECT_EQ(before + (1u << 3), ComputeFixedDriveWord());

    // A: never counts, even as a fixed drive.
    ASSERT_TRUE(drives.Define(L'A', DRIVE_FIXED));
    ASSERT_EQ(static_cast<UINT>(DRIVE_FIXED), ::GetDriveTypeW(L"A:\\"));
    EXPECT_EQ(before + (1u << 3), ComputeFixedDriveWord());

    ASSERT_TRUE(drives.Remove(L'D'));
    ASSERT_TRUE(drives.Define(L'E', DRIVE_FIXED));
    EXPECT_EQ(before + (1u << 4), ComputeFixedDriveWord());
}

TEST(DriverServiceCalls, InstallStartStopAndDeleteTheDemandStartKernelService)
{
    testkit::ServiceRestorer restore;
    ASSERT_TRUE(testkit::RemoveDriverService());
    EXPECT_FALSE(StartDriverService()) << "no service to start";
    EXPECT_FALSE(DeleteDriverService());

    const std::wstring file = testkit::InstalledDriverFile();
    ASSERT_TRUE(InstallDriverService(file));
    testkit::ServiceConfig config = testkit::ReadServiceConfig();
    ASSERT_TRUE(config.found);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_KERNEL_DRIVER), config.type);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_DEMAND_START), config.start);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_ERROR_NORMAL), config.errorControl);
    EXPECT_EQ(file, config.binaryPath);
    EXPECT_EQ(L"ZDLFile", config.displayName);

    EXPECT_TRUE(StartDriverService());
    EXPECT_TRUE(StartDriverService()) << "already running counts as started";
    fw::FileHandle device(OpenProtectDevice(file));
    ASSERT_TRUE(device.Valid());
    device.Reset();

    EXPECT_TRUE(StopDriverService());
    EXPECT_TRUE(testkit::PumpUntil([] {
        fw::FileHandle probe(::CreateFileW(ZDL_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        return !probe.Valid();
    }));
    // Installing again over the stopped service replaces it.
    EXPECT_TRUE(InstallDriverService(file));
    EXPECT_TRUE(DeleteDriverService());
    EXPECT_FALSE(testkit::ReadServiceConfig().found);
}

} // namespace
