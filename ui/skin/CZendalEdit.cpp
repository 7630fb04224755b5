#include "ui/skin/CZendalEdit.h"

#include "framework/MessageMap.h"
#include "framework/WindowDC.h"
#include "ui/skin/SkinColors.h"
#include "ui/skin/SkinDraw.h"

namespace {

const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kWhite = RGB(255, 255, 255);

} // namespace

CZendalEdit::CZendalEdit()
{
    SetColors(kBlack, kWhite, skin::kFrameGrey, kWhite);
}

void CZendalEdit::SetColors(COLORREF text, COLORREF innerBorder, COLORREF outerBorder, COLORREF background)
{
    textColor_ = text;
    innerBorderColor_ = innerBorder;
    outerBorderColor_ = outerBorder;
    backgroundColor_ = background;
    backgroundBrush_.Reset(::CreateSolidBrush(background));
    if (IsWindow())
        ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

bool CZendalEdit::ProcessMessage(fw::Message& m)
{
    using Self = CZendalEdit;
    return fw::Dispatch(this, m,
                        fw::OnMessage(WM_NCPAINT, &Self::OnNcPaint),
                        fw::OnReflectedCtlColor(&Self::OnCtlColor))
        || fw::Edit::ProcessMessage(m);
}

bool CZendalEdit::OnNcPaint(fw::Message& m)
{
    m.result = DefaultProcessing(m);
    DrawBorder();
    return true;
}

void CZendalEdit::DrawBorder() const
{
    fw::WindowDC dc(hwnd_);
    RECT window = WindowRect();
    ::OffsetRect(&window, -window.left, -window.top);
    skin::FrameSolid(dc, window, outerBorderColor_);
    skin::FrameSolid(dc, skin::Shrunk(window, 1), innerBorderColor_);
}

// The text cells get the background colour too, so that text does not sit on
// white boxes when the background is not white.
HBRUSH CZendalEdit::OnCtlColor(HDC dc, HWND, UINT)
{
    ::SetTextColor(dc, textColor_);
    ::SetBkColor(dc, backgroundColor_);
    return backgroundBrush_.Get();
}
