#pragma once
#include "framework/Message.h"

#include <windows.h>

#include <atomic>
#include <functional>

namespace fw {

// A window handle that worker threads use to reach a window of the
// user-interface thread through synchronous messages. The owner clears it when
// the window is destroyed; from then on calls do nothing.
class CrossThreadWindow {
public:
    CrossThreadWindow() = default;
    CrossThreadWindow(const CrossThreadWindow&) = delete;
    CrossThreadWindow& operator=(const CrossThreadWindow&) = delete;

    void Set(HWND hwnd) { hwnd_ = hwnd; }
    void Clear() { hwnd_ = nullptr; }
    // Whether calls still reach the window.
    bool Valid() const { return hwnd_ != nullptr; }

    // Runs work on the window's thread and returns once it has run. Every
    // window with a framework object answers this (WindowObject::Route).
    void Run(const std::function<void()>& work) const;

    // Runs the work a message from Run carries; false for any other message.
    static bool RunCarriedWork(Message& m);

private:
    static UINT RunMessage();

    std::atomic<HWND> hwnd_{nullptr};
};

} // namespace fw
