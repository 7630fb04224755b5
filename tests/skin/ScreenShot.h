#pragma once
#include "support/Pixels.h"

#include <windows.h>

// What a control shows on screen, its non-client area included, copied from
// the screen through its parent window once pending paints are done.
class ScreenShot {
public:
    explicit ScreenShot(HWND control);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // (x, y) in the control's window coordinates.
    COLORREF At(int x, int y) const { return parent_.At(origin_.x + x, origin_.y + y); }

private:
    testkit::Pixels parent_;
    POINT origin_{};
    int width_ = 0;
    int height_ = 0;
};
