#include "ui/skin/CZendalComboBox.h"

#include "framework/ClientDC.h"
#include "framework/MessageMap.h"
#include "ui/skin/SkinColors.h"
#include "ui/skin/SkinDraw.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kDisabledGrey = RGB(235, 235, 235);
const COLORREF kButtonNormal = RGB(155, 225, 240);
const COLORREF kButtonHot = RGB(235, 170, 95);
const UINT kHoverPeriodMs = 10;
const DWORD kBorderExStyles = WS_EX_STATICEDGE | WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME;

} // namespace

bool CZendalComboBox::ProcessMessage(fw::Message& m)
{
    using Self = CZendalComboBox;
    return fw::Dispatch(this, m,
                        fw::OnMessage(WM_MOUSEMOVE, &Self::OnMouseMove),
                        fw::OnMessage(WM_LBUTTONDOWN, &Self::OnLeftButtonDown),
                        fw::OnMessage(WM_LBUTTONUP, &Self::OnLeftButtonUp),
                        fw::OnMessage(WM_TIMER, &Self::OnTimer),
                        fw::OnMessage(WM_PAINT, &Self::OnPaint),
                        fw::OnMessage(WM_SETFOCUS, &Self::OnSetFocus),
                        fw::OnMessage(WM_KILLFOCUS, &Self::OnKillFocus))
        || fw::ComboBox::ProcessMessage(m);
}

bool CZendalComboBox::OnMouseMove(fw::Message& m)
{
    ::SetTimer(hwnd_, kHoverTimer, kHoverPeriodMs, nullptr);
    m.result = DefaultProcessing(m);
    return true;
}

bool CZendalComboBox::OnLeftButtonDown(fw::Message& m)
{
    pressed_ = true;
    m.result = DefaultProcessing(m);
    return true;
}

bool CZendalComboBox::OnLeftButtonUp(fw::Message& m)
{
    pressed_ = false;
    Invalidate();
    m.result = DefaultProcessing(m);
    return true;
}

bool CZendalComboBox::OnTimer(fw::Message& m)
{
    if (m.wParam != kHoverTimer)
        return false;
    PollHover();
    m.result = 0;
    return true;
}

void CZendalComboBox::PollHover()
{
    if (pressed_) {
        StopHover();
        return;
    }
    POINT cursor{};
    ::GetCursorPos(&cursor);
    RECT window = WindowRect();
    if (!::PtInRect(&window, cursor)) {
        StopHover();
        return;
    }
    if (!hot_) {
        hot_ = true;
        DrawSkin(Look::Hot);
    }
}

void CZendalComboBox::StopHover()
{
    ::KillTimer(hwnd_, kHoverTimer);
    if (hot_) {
        DrawSkin(Look::Normal);
        hot_ = false;
    }
}

bool CZendalComboBox::OnPaint(fw::Message& m)
{
    RemoveBorderStyles();
    m.result = DefaultProcessing(m);
    DrawSkin(Look::Normal);
    return true;
}

// Changing the frame on every paint would queue another paint; only a
// border style that is actually there is removed.
void CZendalComboBox::RemoveBorderStyles() const
{
    if (!(ExStyle() & kBorderExStyles))
        return;
    ModifyExStyle(kBorderExStyles, 0);
    SetPosition(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool CZendalComboBox::OnSetFocus(fw::Message& m)
{
    m.result = DefaultProcessing(m);
    DrawSkin(Look::Hot);
    return true;
}

bool CZendalComboBox::OnKillFocus(fw::Message& m)
{
    m.result = DefaultProcessing(m);
    DrawSkin(Look::Normal);
    return true;
}

void CZendalComboBox::DrawSkin(Look look) const
{
    fw::ClientDC dc(hwnd_);
    RECT client = ClientRect();
    DrawFrames(dc, client);
    DrawButtonPart(dc, skin::Shrunk(client, 1), look);
}

void CZendalComboBox::DrawFrames(HDC dc, const RECT& client) const
{
    COLORREF inner = IsEnabled() ? kWhite : kDisabledGrey;
    skin::FrameSolid(dc, client, skin::kFrameGrey);
    skin::FrameSolid(dc, skin::Shrunk(client, 1), inner);
    skin::FrameSolid(dc, skin::Shrunk(client, 2), inner);
}

// The button part covers the control's own drop-down button: a white strip,
// a grey frame whose left line stays, a coloured face and a four-line arrow.
void CZendalComboBox::DrawButtonPart(HDC dc, const RECT& inner, Look look) const
{
    int thumb = ::GetSystemMetrics(SM_CXHTHUMB);
    skin::FillSolid(dc, RECT{inner.right - thumb - 2, inner.top, inner.right, inner.bottom}, kWhite);
    skin::FrameSolid(dc, RECT{inner.right - thumb, inner.top, inner.right, inner.bottom}, skin::kFrameGrey);
    int left = inner.right - thumb + 1;
    COLORREF face = !IsEnabled() ? kDisabledGrey : look == Look::Hot ? kButtonHot : kButtonNormal;
    skin::FillSolid(dc, RECT{left, inner.top, inner.right, inner.bottom}, face);
    for (int i = 0; i < 3; ++i) {
        ::MoveToEx(dc, left + 4 + i, inner.top + 7 + i, nullptr);
        ::LineTo(dc, inner.right - 4 - i, inner.top + 7 + i);
    }
    ::MoveToEx(dc, left + 7, inner.top + 10, nullptr);
    ::LineTo(dc, inner.right - 7, inner.top + 10);
}
