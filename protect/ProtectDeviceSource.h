#pragma once
#include <windows.h>

// Where the protection pages get the protection device: the page host opens
// it once for the whole process. A page asks at each use and never closes
// the handle; INVALID_HANDLE_VALUE when the driver is unavailable.
class ProtectDeviceSource {
public:
    virtual HANDLE ProtectDevice() const = 0;

protected:
    ~ProtectDeviceSource() = default;
};
