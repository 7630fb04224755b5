#include "ui/skin/CZendalColorFrame.h"

#include "ui/skin/SkinDraw.h"

void CZendalColorFrame::SetFrameColor(COLORREF colour)
{
    frameColor_ = colour;
    if (IsWindow())
        Invalidate();
}

void CZendalColorFrame::Paint(HDC dc)
{
    skin::FrameSolid(dc, ClientRect(), frameColor_);
}
