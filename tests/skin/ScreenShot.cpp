#include "ScreenShot.h"

#include "framework/Window.h"

ScreenShot::ScreenShot(HWND control)
{
    fw::Window window(control);
    RECT rect = window.RectIn(::GetParent(control));
    origin_ = POINT{rect.left, rect.top};
    width_ = rect.right - rect.left;
    height_ = rect.bottom - rect.top;
    parent_ = testkit::Pixels::FromScreen(::GetParent(control));
}
