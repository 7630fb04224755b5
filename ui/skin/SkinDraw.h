#pragma once
#include <windows.h>

// Plain-GDI drawing steps the skinned controls have in common. Each creates
// and releases its own brush; the DC is borrowed.
namespace skin {

void FillSolid(HDC dc, const RECT& rect, COLORREF colour);
// A one-pixel frame just inside the rectangle.
void FrameSolid(HDC dc, const RECT& rect, COLORREF colour);
RECT Shrunk(const RECT& rect, int by);

} // namespace skin
