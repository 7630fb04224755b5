#include "ui/skin/CZendalProgressCtrl.h"

#include "framework/SelectObjectScope.h"
#include "ui/skin/SkinColors.h"
#include "ui/skin/SkinDraw.h"

#include <algorithm>

CZendalProgressCtrl::CZendalProgressCtrl() : framePen_(::CreatePen(PS_SOLID, 1, skin::kFrameGrey)) {}

bool CZendalProgressCtrl::ProcessMessage(fw::Message& m)
{
    return fw::Dispatch(this, m, fw::OnMessage(WM_DESTROY, &CZendalProgressCtrl::OnDestroy))
        || SelfPaintedControl<fw::WindowObject>::ProcessMessage(m);
}

void CZendalProgressCtrl::PreSubclassWindow()
{
    window_ = hwnd_;
}

bool CZendalProgressCtrl::OnDestroy(fw::Message&)
{
    window_ = nullptr;
    return false;
}

void CZendalProgressCtrl::SetRange(double minimum, double maximum)
{
    minimum_ = minimum;
    maximum_ = maximum;
    Repaint();
}

void CZendalProgressCtrl::SetPos(double value)
{
    double clamped = Clamped(value);
    if (position_.exchange(clamped) != clamped)
        Repaint();
}

double CZendalProgressCtrl::Clamped(double value) const
{
    return std::max<double>(minimum_, std::min<double>(maximum_, value));
}

void CZendalProgressCtrl::Repaint() const
{
    if (HWND window = window_)
        ::InvalidateRect(window, nullptr, TRUE);
}

// Reads the position once; one that a range change left outside the range is
// clamped, and stored back unless a worker has moved it meanwhile.
double CZendalProgressCtrl::PositionForPainting()
{
    double stored = position_;
    double clamped = Clamped(stored);
    if (clamped != stored)
        position_.compare_exchange_strong(stored, clamped);
    return clamped;
}

void CZendalProgressCtrl::Paint(HDC dc)
{
    RECT client = ClientRect();
    DrawFrame(dc, client);
    RECT inner = skin::Shrunk(client, 1);
    double minimum = minimum_;
    int range = static_cast<int>(maximum_ - minimum) + 1;
    if (range <= 0)
        return;
    double position = PositionForPainting();
    if (position <= minimum)
        return;
    int width = inner.right - inner.left + 1;
    DrawBar(dc, inner, static_cast<int>(width * (position - minimum + 1) / range));
}

void CZendalProgressCtrl::DrawFrame(HDC dc, const RECT& client) const
{
    skin::FillSolid(dc, client, skin::kPageBackground);
    fw::SelectObjectScope pen(dc, framePen_.Get());
    fw::SelectObjectScope brush(dc, ::GetStockObject(WHITE_BRUSH));
    ::RoundRect(dc, client.left, client.top, client.right, client.bottom, 2, 2);
}

// A light blue that darkens by 3 per line downwards (each channel wraps as a byte).
void CZendalProgressCtrl::DrawBar(HDC dc, const RECT& inner, int end) const
{
    for (int y = inner.top; y < inner.bottom; ++y) {
        int shade = 3 * y;
        COLORREF colour = RGB(230 - shade, 240 - shade, 250 - shade);
        skin::FillSolid(dc, RECT{inner.left, y, end, y + 1}, colour);
    }
}
