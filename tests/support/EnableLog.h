#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace testkit {

// Records every enabling and disabling a window goes through (WM_ENABLE),
// with the window's text at that moment, as long as the log exists. Lives on
// the window's own thread.
class EnableLog {
public:
    explicit EnableLog(HWND window);
    ~EnableLog();
    EnableLog(const EnableLog&) = delete;
    EnableLog& operator=(const EnableLog&) = delete;

    const std::vector<bool>& States() const { return states_; }
    const std::vector<std::wstring>& Texts() const { return texts_; }

private:
    static LRESULT CALLBACK Record(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);

    HWND window_;
    std::vector<bool> states_;
    std::vector<std::wstring> texts_;
};

} // namespace testkit
