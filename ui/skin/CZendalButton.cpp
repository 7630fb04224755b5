#include "ui/skin/CZendalButton.h"

#include "framework/SelectObjectScope.h"
#include "ui/skin/ButtonLabel.h"

namespace {

fw::Pen SolidPen(COLORREF color)
{
    return fw::Pen(::CreatePen(PS_SOLID, 1, color));
}

// Channel arithmetic wraps around in 8 bits, as the skin's colours were tuned with it.
BYTE Wrap(int value)
{
    return static_cast<BYTE>(value & 0xFF);
}

} // namespace

CZendalButton::CZendalButton()
    : normalBorderPen_(SolidPen(RGB(55, 215, 230))),
      innerBorderPen_(SolidPen(RGB(255, 255, 255))),
      hotBorderPen_(SolidPen(RGB(190, 165, 5))),
      disabledBorderPen_(SolidPen(RGB(150, 150, 150)))
{
}

COLORREF CZendalButton::GradientColor(int state, int y)
{
    switch (state) {
    case Emphasised:
        return RGB(Wrap(225 - 3 * y), Wrap(255 - y), Wrap(255 - y));
    case Hot:
    case Pressed:
        return RGB(Wrap(245 - y / 3), Wrap(240 - y / 2), Wrap(180 - 5 * y));
    case Disabled:
        return RGB(Wrap(230 - 2 * y), Wrap(230 - 2 * y), Wrap(230 - 2 * y));
    default:
        return RGB(Wrap(225 - 3 * y), Wrap(255 - y / 3), Wrap(255 - y / 3));
    }
}

HPEN CZendalButton::BorderPen(int state) const
{
    if (state == Hot || state == Pressed)
        return hotBorderPen_.Get();
    if (state == Disabled)
        return disabledBorderPen_.Get();
    return normalBorderPen_.Get();
}

void CZendalButton::DrawButton(const DRAWITEMSTRUCT& item)
{
    HDC dc = item.hDC;
    int previousMode = ::SetBkMode(dc, TRANSPARENT);
    int state = UpdateVisualState(item.itemState);

    RECT r = item.rcItem;
    fw::Brush background(::CreateSolidBrush(RGB(245, 255, 255)));
    ::FillRect(dc, &r, background.Get());
    {
        fw::SelectObjectScope pen(dc, BorderPen(state));
        ::RoundRect(dc, r.left, r.top, r.right, r.bottom, 5, 5);
    }
    ::InflateRect(&r, -1, -1);
    {
        fw::SelectObjectScope pen(dc, innerBorderPen_.Get());
        ::RoundRect(dc, r.left, r.top, r.right, r.bottom, 3, 3);
    }
    ::InflateRect(&r, -1, -1);
    for (int y = r.top; y <= r.bottom - r.top + 1; ++y) {
        RECT line{r.left, y, r.right - r.left + 2, y + 1};
        fw::Brush brush(::CreateSolidBrush(GradientColor(state, y)));
        ::FillRect(dc, &line, brush.Get());
    }

    int pressed = (state == Pressed) ? 1 : 0;
    ButtonLabel label{Handle(), nullptr, 0, pressed, pressed, pressed, state == Disabled};
    DrawButtonLabel(dc, item.rcItem, label);
    ::SetBkMode(dc, previousMode);
}
