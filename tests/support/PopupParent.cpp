#include "support/PopupParent.h"

namespace testkit {

PopupParent::PopupParent()
    : hwnd_(::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 800, 640, nullptr, nullptr,
                              nullptr, nullptr))
{
}

PopupParent::~PopupParent()
{
    Destroy();
}

void PopupParent::Destroy()
{
    if (hwnd_ && ::IsWindow(hwnd_))
        ::DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

} // namespace testkit
