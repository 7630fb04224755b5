#pragma once
#include <windows.h>

namespace fw {

// Device-context holders release their DC exactly once, the way it was
// obtained, and cannot be copied. Functions that only draw take a plain HDC:
// a borrowed DC, which the callee never releases.
class ClientDC {
public:
    explicit ClientDC(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    ~ClientDC() { if (dc_) ::ReleaseDC(hwnd_, dc_); }
    ClientDC(const ClientDC&) = delete;
    ClientDC& operator=(const ClientDC&) = delete;
    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

} // namespace fw
