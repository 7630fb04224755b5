// The 32-bit program on 64-bit Windows: started from a folder that holds the
// 32-bit exe and library with the 64-bit driver, it installs that driver's
// service, and talks to the loaded driver through the same control codes.
// Built into the 64-bit tests only.
#include "ProgramStartUp.h"
#include "protect/ProtectDriver.h"
#include "support/DriverClient.h"
#include "support/DriverService.h"
#include "support/RunningProgram.h"
#include "support/ScratchFiles.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

bool IsWow64(DWORD processId)
{
    fw::KernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    BOOL wow64 = FALSE;
    return process.Valid() && ::IsWow64Process(process.Get(), &wow64) && wow64;
}

bool Holds(const std::vector<std::string>& list, const std::wstring& path)
{
    return std::find(list.begin(), list.end(), testkit::Padded(testkit::Ansi(path))) != list.end();
}

} // namespace

// The 32-bit program registers the service from its own folder as on any
// Windows. Wine marks a service that a 32-bit process creates for its 32-bit
// driver host, which cannot load a 64-bit driver (Windows keeps no such mark),
// so the load is then left to a registration made from the 64-bit side, and
// the program's second start opens the loaded driver and replays into it.
TEST(X86ProgramOnX64Driver, InstallsTheServiceThenOpensTheLoadedDriverAndReplaysTheStoredProtection)
{
    const std::wstring x86Program = testkit::WindowsPathOf(ZENDAL_X86_PROGRAM);
    testkit::TempProgramFolder folder;
    ASSERT_TRUE(folder.Valid());
    for (const wchar_t* name : {L"ZendalFileSa.exe", L"ZendalCommon.dll"})
        ASSERT_TRUE(::CopyFileW((x86Program + L"\\" + name).c_str(), folder.File(name).c_str(), FALSE)) << name;
    const std::wstring driverFile = folder.File(L"sys\\ZDLFile.sys");
    ASSERT_TRUE(::CopyFileW(testkit::InstalledDriverFile().c_str(), driverFile.c_str(), FALSE));

    testkit::ScratchFolder scratch;
    const std::wstring file = scratch.File(L"kept.txt");
    ASSERT_TRUE(testkit::WriteWholeFile(file, "keep"));
    ASSERT_TRUE(::WritePrivateProfileStringW(L"File Protect", file.c_str(), L"ow",
                                             folder.File(L"zdl\\ZendalFS.zdl").c_str()));

    testkit::ServiceRestorer restore;
    ASSERT_TRUE(testkit::RemoveDriverService());
    {
        testkit::RunningProgram program(folder);
        ASSERT_TRUE(program.Started());
        HWND main = drivertest::WaitForStartUp(program);
        ASSERT_NE(nullptr, main);
        EXPECT_TRUE(IsWow64(program.Id())) << "the program folder holds the 32-bit program";
        testkit::ServiceConfig config = testkit::ReadServiceConfig();
        ASSERT_TRUE(config.found);
        EXPECT_EQ(driverFile, config.binaryPath);
        EXPECT_EQ(static_cast<DWORD>(SERVICE_KERNEL_DRIVER), config.type);
        EXPECT_EQ(static_cast<DWORD>(SERVICE_DEMAND_START), config.start);
        EXPECT_TRUE(program.Close(main));
    }

    ASSERT_TRUE(testkit::RemoveDriverService());
    ASSERT_TRUE(InstallDriverService(driverFile));
    ASSERT_TRUE(StartDriverService());
    fw::FileHandle device = drivertest::OpenDeviceDirectly();
    ASSERT_TRUE(device.Valid());
    ASSERT_TRUE(SetProtectSwitch(device.Get(), false));
    ASSERT_TRUE(SetFixedDrives(device.Get(), 0));

    testkit::RunningProgram program(folder);
    HWND main = drivertest::WaitForStartUp(program);
    ASSERT_NE(nullptr, main);
    testkit::DriverState state;
    ASSERT_TRUE(testkit::QueryState(device.Get(), &state));
    EXPECT_EQ(1u, state.protectOn);
    EXPECT_EQ(ComputeFixedDriveWord(), state.driveWord);
    EXPECT_TRUE(Holds(state.lists[ZDL_FILE_O], file));
    EXPECT_TRUE(Holds(state.lists[ZDL_FILE_W], file));
    EXPECT_FALSE(Holds(state.lists[ZDL_FILE_I], file));
    EXPECT_EQ(1, testkit::CheckAccess(device.Get(), ZDL_OP_MODIFY, testkit::Ansi(file)));
    EXPECT_EQ(driverFile, testkit::ReadServiceConfig().binaryPath) << "the second start left the service alone";

    EXPECT_TRUE(program.Close(main));
    SendPathRecord(device.Get(), ProtectListKind::File, L"ow", file, true);
}
