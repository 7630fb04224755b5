#include "ProgramStartUp.h"

#include "driver/ZdlProtocol.h"

namespace drivertest {

fw::FileHandle OpenDeviceDirectly()
{
    return fw::FileHandle(::CreateFileW(ZDL_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
}

HWND WaitForStartUp(const testkit::RunningProgram& program)
{
    HWND main = program.WaitForMainWindow();
    if (!main)
        return nullptr;
    HWND host = program.WaitForPageHost(main);
    if (!host || testkit::ChildDialogs(host).size() != 8)
        return nullptr;
    return main;
}

} // namespace drivertest
