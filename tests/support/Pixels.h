#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

namespace testkit {

// A 32-bit top-down copy of what a window shows, for checking exact colours.
class Pixels {
public:
    // What the window shows on screen now (its client area), copied from its DC.
    static Pixels FromScreen(HWND hwnd);
    // The window drawn into a memory bitmap through WM_PRINT / WM_PRINTCLIENT;
    // works for hidden windows too.
    static Pixels Printed(HWND hwnd);
    // A copy of a bitmap selected into nothing.
    static Pixels FromBitmap(HBITMAP bitmap);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return bits_.empty(); }
    // The colour at (x, y) as a COLORREF (0x00BBGGRR), alpha dropped.
    COLORREF At(int x, int y) const;
    // The alpha byte at (x, y) (meaningful for 32-bit sources only).
    BYTE AlphaAt(int x, int y) const;

private:
    static Pixels FromDC(HDC source, int width, int height);
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> bits_;
};

} // namespace testkit
