#pragma once
#include <windows.h>

#include <vector>

namespace testkit {

// Records every enabling and disabling a window goes through (WM_ENABLE),
// as long as the log exists. Lives on the window's own thread.
class EnableLog {
public:
    explicit EnableLog(HWND window);
    ~EnableLog();
    EnableLog(const EnableLog&) = delete;
    EnableLog& operator=(const EnableLog&) = delete;

    const std::vector<bool>& States() const { return states_; }

private:
    static LRESULT CALLBACK Record(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);

    HWND window_;
    std::vector<bool> states_;
};

} // namespace testkit
