#pragma once
#include <windows.h>

namespace fw {

// Device-context holders release their DC exactly once, the way it was
// obtained, and cannot be copied. Functions that only draw take a plain HDC:
// a borrowed DC, which the callee never releases.
//
// A DC obtained for a window (GetDC or GetWindowDC) and handed back with ReleaseDC.
template <HDC(WINAPI* Acquire)(HWND)>
class ReleasedDC {
public:
    explicit ReleasedDC(HWND hwnd) : hwnd_(hwnd), dc_(Acquire(hwnd)) {}
    ~ReleasedDC() { if (dc_) ::ReleaseDC(hwnd_, dc_); }
    ReleasedDC(const ReleasedDC&) = delete;
    ReleasedDC& operator=(const ReleasedDC&) = delete;
    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

} // namespace fw
