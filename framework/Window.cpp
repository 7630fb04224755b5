#include "framework/Window.h"

namespace fw {

std::wstring Window::Text() const
{
    int length = ::GetWindowTextLengthW(hwnd_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = ::GetWindowTextW(hwnd_, &text[0], length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

RECT Window::WindowRect() const
{
    RECT rc{};
    ::GetWindowRect(hwnd_, &rc);
    return rc;
}

RECT Window::ClientRect() const
{
    RECT rc{};
    ::GetClientRect(hwnd_, &rc);
    return rc;
}

RECT Window::RectIn(HWND other) const
{
    RECT rc = WindowRect();
    ::MapWindowPoints(HWND_DESKTOP, other, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

void Window::ModifyStyle(DWORD remove, DWORD add) const
{
    DWORD style = (Style() & ~remove) | add;
    ::SetWindowLongPtrW(hwnd_, GWL_STYLE, static_cast<LONG_PTR>(style));
}

void Window::ModifyExStyle(DWORD remove, DWORD add) const
{
    DWORD style = (ExStyle() & ~remove) | add;
    ::SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, static_cast<LONG_PTR>(style));
}

} // namespace fw
