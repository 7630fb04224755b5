#pragma once
#include "framework/UniqueHandle.h"
#include "support/RunningProgram.h"

#include <windows.h>

namespace drivertest {

// The protection device opened by name, as any other process would.
fw::FileHandle OpenDeviceDirectly();

// Start-up opens the driver before the page host creates its pages, so a
// visible page host with its eight pages means the driver steps are done.
// Returns the main window, or null.
HWND WaitForStartUp(const testkit::RunningProgram& program);

} // namespace drivertest
