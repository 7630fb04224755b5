#include "ui/skin/CZendalSplitLine.h"

#include "ui/skin/SkinColors.h"

namespace {

const int kDotSpacing = 4;

} // namespace

void CZendalSplitLine::Paint(HDC dc)
{
    LONG width = ClientRect().right;
    for (int x = 0; x < width; x += kDotSpacing)
        ::SetPixel(dc, x, 0, skin::kGreyText);
}
