#pragma once
#include "framework/UniqueHandle.h"

#include <windows.h>

#include <string>

namespace drivertest {

// Drive letters defined for the length of a test through Wine's mount
// manager, each of a chosen drive type and mapped to a folder of the host.
// Only letters that were free are defined; each is removed again at the end.
class WineDrives {
public:
    WineDrives();
    ~WineDrives();
    WineDrives(const WineDrives&) = delete;
    WineDrives& operator=(const WineDrives&) = delete;

    // letter 'A'..'Z', type one of the DRIVE_* values. Fails for a letter in use.
    bool Define(wchar_t letter, UINT type);
    bool Remove(wchar_t letter);

private:
    bool Send(wchar_t letter, UINT type, const char* mountPoint);

    fw::FileHandle manager_;
    std::wstring defined_;
};

} // namespace drivertest
