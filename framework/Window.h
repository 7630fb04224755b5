#pragma once
#include <windows.h>
#include <string>

namespace fw {

// A borrowed window handle with the calls the program makes on windows. It
// never destroys the window; copying it copies the handle only.
class Window {
public:
    Window() = default;
    explicit Window(HWND hwnd) : hwnd_(hwnd) {}

    HWND Handle() const { return hwnd_; }
    operator HWND() const { return hwnd_; }
    bool IsWindow() const { return hwnd_ && ::IsWindow(hwnd_); }

    Window Parent() const { return Window(::GetParent(hwnd_)); }
    Window Item(int id) const { return Window(::GetDlgItem(hwnd_, id)); }
    int ControlId() const { return ::GetDlgCtrlID(hwnd_); }

    std::wstring Text() const;
    std::wstring ItemText(int id) const { return Item(id).Text(); }
    void SetText(const std::wstring& text) const { ::SetWindowTextW(hwnd_, text.c_str()); }
    void SetItemText(int id, const std::wstring& text) const { Item(id).SetText(text); }

    void Show(int command = SW_SHOW) const { ::ShowWindow(hwnd_, command); }
    void Hide() const { ::ShowWindow(hwnd_, SW_HIDE); }
    bool IsVisible() const { return ::IsWindowVisible(hwnd_) != FALSE; }
    void Enable(bool enable) const { ::EnableWindow(hwnd_, enable ? TRUE : FALSE); }
    bool IsEnabled() const { return ::IsWindowEnabled(hwnd_) != FALSE; }
    void Invalidate(bool erase = true) const { ::InvalidateRect(hwnd_, nullptr, erase ? TRUE : FALSE); }

    RECT WindowRect() const;
    RECT ClientRect() const;
    // The window's rectangle in the client coordinates of another window.
    RECT RectIn(HWND other) const;
    void SetPosition(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) const
    {
        ::SetWindowPos(hwnd_, insertAfter, x, y, cx, cy, flags);
    }

    DWORD Style() const { return static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE)); }
    DWORD ExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)); }
    void ModifyStyle(DWORD remove, DWORD add) const;
    void ModifyExStyle(DWORD remove, DWORD add) const;

    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(hwnd_, msg, wParam, lParam);
    }
    bool Post(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageW(hwnd_, msg, wParam, lParam) != FALSE;
    }

    // A modal OK box owned by this window.
    int MessageBox(const std::wstring& text, const std::wstring& caption, UINT type = MB_OK) const
    {
        return ::MessageBoxW(hwnd_, text.c_str(), caption.c_str(), type);
    }

protected:
    HWND hwnd_ = nullptr;
};

} // namespace fw
