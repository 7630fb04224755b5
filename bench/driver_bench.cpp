// Times the calls the program makes on the protection driver, through the
// real service manager and device: driver_bench <path of ZDLFile.sys>.
#include "BenchClock.h"
#include "companion/ZendalCommon.h"
#include "framework/UniqueHandle.h"
#include "protect/ProtectDriver.h"

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

namespace {

void Report(const char* what, int count, const std::function<void(int)>& step)
{
    double start = bench::Seconds();
    for (int i = 0; i < count; ++i)
        step(i);
    double elapsed = bench::Seconds() - start;
    std::printf("%-52s %8d  %9.1f us each  %8.3f s\n", what, count, elapsed * 1e6 / count, elapsed);
}

std::wstring BenchPath(int i)
{
    return L"C:\\ZdlBench\\" + std::to_wstring(i) + L"\\文件.txt";
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::printf("usage: driver_bench <path of ZDLFile.sys>\n");
        return 2;
    }
    const std::wstring driverFile = argv[1];

    Report("service: delete, install, start, open (cold start)", 5, [&](int) {
        DeleteDriverService();
        fw::FileHandle device(OpenProtectDevice(driverFile));
        if (!device)
            std::printf("  open failed\n");
    });

    fw::FileHandle device(OpenProtectDevice(driverFile));
    if (!device) {
        std::printf("the device cannot be opened\n");
        return 1;
    }
    Report("open the loaded device (warm start)", 200, [&](int) { fw::FileHandle again(OpenProtectDevice(driverFile)); });
    Report("SetProtectSwitch", 5000, [&](int i) { SetProtectSwitch(device.Get(), (i & 1) != 0); });
    SetProtectSwitch(device.Get(), true);
    DWORD word = ComputeFixedDriveWord();
    Report("ComputeFixedDriveWord + SetFixedDrives", 2000, [&](int) { SetFixedDrives(device.Get(), ComputeFixedDriveWord()); });
    SetFixedDrives(device.Get(), word);

    const int entries = 20000;
    Report("SendPathRecord \"owi\" (3 records), list growing to 20000", entries,
           [&](int i) { SendPathRecord(device.Get(), ProtectListKind::File, L"owi", BenchPath(i), false); });
    Report("SendPathRecord \"owi\" again (already listed)", entries,
           [&](int i) { SendPathRecord(device.Get(), ProtectListKind::File, L"owi", BenchPath(i), false); });
    Report("SendPathRecord \"owi\" remove", entries,
           [&](int i) { SendPathRecord(device.Get(), ProtectListKind::File, L"owi", BenchPath(i), true); });
    Report("ClearDriverLists (3 codes)", 2000, [&](int) { ClearDriverLists(device.Get(), ProtectListKind::Folder); });

    char ansi[256];
    std::wstring longPath = L"C:\\";
    while (longPath.size() < 300)
        longPath += L"保护文件夹\\";
    Report("ZendalUnicodeToAnsi, 300 characters cut to 256 bytes", 20000,
           [&](int) { ZendalUnicodeToAnsi(ansi, longPath.c_str(), sizeof(ansi)); });
    return 0;
}
