#include "support/EnableLog.h"

#include <commctrl.h>

namespace testkit {

namespace {

const UINT_PTR kSubclassId = 0x454C;

} // namespace

EnableLog::EnableLog(HWND window) : window_(window)
{
    ::SetWindowSubclass(window_, &EnableLog::Record, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

EnableLog::~EnableLog()
{
    if (::IsWindow(window_))
        ::RemoveWindowSubclass(window_, &EnableLog::Record, kSubclassId);
}

LRESULT CALLBACK EnableLog::Record(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self)
{
    if (msg == WM_ENABLE) {
        auto* log = reinterpret_cast<EnableLog*>(self);
        log->states_.push_back(wParam != FALSE);
        std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
        text.resize(static_cast<size_t>(::GetWindowTextW(hwnd, &text[0], static_cast<int>(text.size()))));
        log->texts_.push_back(text);
    }
    if (msg == WM_NCDESTROY)
        ::RemoveWindowSubclass(hwnd, &EnableLog::Record, kSubclassId);
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

} // namespace testkit
