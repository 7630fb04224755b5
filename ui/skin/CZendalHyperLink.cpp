#include "ui/skin/CZendalHyperLink.h"

#include "framework/MessageMap.h"
#include "ui/skin/SkinColors.h"

#include <windowsx.h>

namespace {

const COLORREF kHoverBlue = RGB(0, 0, 200);
const COLORREF kVisitedRed = RGB(200, 0, 0);

} // namespace

CZendalHyperLink::CZendalHyperLink()
    : normalColor_(skin::kGreyText), hoverColor_(kHoverBlue), visitedColor_(kVisitedRed)
{
}

// The control keeps using the font it was given; hand it its own font back
// before the underlined copy goes.
CZendalHyperLink::~CZendalHyperLink()
{
    if (IsWindow() && reinterpret_cast<HFONT>(Send(WM_GETFONT)) == underlinedFont_.Get())
        Send(WM_SETFONT, reinterpret_cast<WPARAM>(originalFont_), FALSE);
}

bool CZendalHyperLink::ProcessMessage(fw::Message& m)
{
    using Self = CZendalHyperLink;
    return fw::Dispatch(this, m,
                        fw::OnReflectedCommand(STN_CLICKED, &Self::OnClicked),
                        fw::OnMessage(WM_MOUSEMOVE, &Self::OnMouseMove),
                        fw::OnReflectedCtlColor(&Self::OnCtlColor),
                        fw::OnMessage(WM_SETCURSOR, &Self::OnSetCursor))
        || fw::Static::ProcessMessage(m);
}

void CZendalHyperLink::PreSubclassWindow()
{
    ModifyStyle(0, SS_NOTIFY);
    UseUnderlinedFont();
    handCursor_ = ::LoadCursorW(nullptr, IDC_HAND);
}

void CZendalHyperLink::UseUnderlinedFont()
{
    originalFont_ = reinterpret_cast<HFONT>(Send(WM_GETFONT));
    HGDIOBJ source = originalFont_ ? static_cast<HGDIOBJ>(originalFont_) : ::GetStockObject(SYSTEM_FONT);
    LOGFONTW font{};
    if (!::GetObjectW(source, sizeof(font), &font))
        return;
    font.lfUnderline = TRUE;
    underlinedFont_.Reset(::CreateFontIndirectW(&font));
    if (underlinedFont_)
        Send(WM_SETFONT, reinterpret_cast<WPARAM>(underlinedFont_.Get()), TRUE);
}

// An empty target would make the shell open whatever folder is current.
void CZendalHyperLink::OnClicked()
{
    visited_ = true;
    if (!target_.empty())
        open_(nullptr, L"open", target_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    Invalidate();
}

bool CZendalHyperLink::OnMouseMove(fw::Message& m)
{
    m.result = DefaultProcessing(m);
    if (!hover_) {
        hover_ = true;
        RedrawNow();
        ::SetCapture(hwnd_);
        return true;
    }
    POINT point{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
    RECT client = ClientRect();
    if (!::PtInRect(&client, point)) {
        hover_ = false;
        ::ReleaseCapture();
        RedrawNow();
    }
    return true;
}

void CZendalHyperLink::RedrawNow() const
{
    ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

HBRUSH CZendalHyperLink::OnCtlColor(HDC dc, HWND, UINT)
{
    ::SetTextColor(dc, visited_ ? visitedColor_ : hover_ ? hoverColor_ : normalColor_);
    ::SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

LRESULT CZendalHyperLink::OnSetCursor(WPARAM, LPARAM)
{
    ::SetCursor(handCursor_);
    return TRUE;
}
