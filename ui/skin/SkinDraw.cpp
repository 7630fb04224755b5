#include "ui/skin/SkinDraw.h"

#include "framework/UniqueHandle.h"

namespace skin {

void FillSolid(HDC dc, const RECT& rect, COLORREF colour)
{
    fw::Brush brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &rect, brush.Get());
}

void FrameSolid(HDC dc, const RECT& rect, COLORREF colour)
{
    fw::Brush brush(::CreateSolidBrush(colour));
    ::FrameRect(dc, &rect, brush.Get());
}

RECT Shrunk(const RECT& rect, int by)
{
    return RECT{rect.left + by, rect.top + by, rect.right - by, rect.bottom - by};
}

} // namespace skin
