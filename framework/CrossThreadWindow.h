#pragma once
#include <windows.h>

#include <atomic>

namespace fw {

// A window handle that worker threads use to send synchronous messages to a
// window of the user-interface thread. The owner clears it when the window is
// destroyed; from then on sends do nothing and answer 0.
class CrossThreadWindow {
public:
    CrossThreadWindow() = default;
    CrossThreadWindow(const CrossThreadWindow&) = delete;
    CrossThreadWindow& operator=(const CrossThreadWindow&) = delete;

    void Set(HWND hwnd) { hwnd_ = hwnd; }
    void Clear() { hwnd_ = nullptr; }
    // Whether sends still reach the window.
    bool Valid() const { return hwnd_ != nullptr; }

    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        HWND hwnd = hwnd_;
        return hwnd ? ::SendMessageW(hwnd, msg, wParam, lParam) : 0;
    }

private:
    std::atomic<HWND> hwnd_{nullptr};
};

} // namespace fw
