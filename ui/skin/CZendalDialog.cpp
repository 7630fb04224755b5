#include "ui/skin/CZendalDialog.h"

#include "framework/MessageMap.h"
#include "framework/PaintDC.h"

CZendalDialog::CZendalDialog(UINT templateId)
    : fw::Dialog(templateId), backgroundBrush(::CreateSolidBrush(RGB(245, 255, 255)))
{
}

bool CZendalDialog::ProcessMessage(fw::Message& m)
{
    using Self = CZendalDialog;
    return fw::Dispatch(this, m,
                        fw::OnCtlColor(&Self::OnCtlColor),
                        fw::OnMessage(WM_PAINT, &Self::OnPaint))
        || fw::Dialog::ProcessMessage(m);
}

HBRUSH CZendalDialog::OnCtlColor(HDC dc, HWND control, UINT kind)
{
    if (kind == CTLCOLOR_STATIC) {
        if (transparentStatics == 1) {
            ::SetBkMode(dc, TRANSPARENT);
            return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
        }
        ::SetBkColor(dc, backgroundColor);
        return backgroundBrush.Get();
    }
    if (control == Handle() || kind == CTLCOLOR_DLG)
        return backgroundBrush.Get();
    // Other controls keep the system's colours.
    return nullptr;
}

void CZendalDialog::OnPaint()
{
    fw::PaintDC dc(Handle());
    RECT rc = ClientRect();
    if (frameStyle == 1) {
        fw::Brush frame(::CreateSolidBrush(frameColor));
        ::FrameRect(dc, &rc, frame.Get());
    } else if (frameStyle == 2) {
        fw::Brush outer(::CreateSolidBrush(outerFrameColor));
        ::FrameRect(dc, &rc, outer.Get());
        ::InflateRect(&rc, -1, -1);
        fw::Brush inner(::CreateSolidBrush(innerFrameColor));
        ::FrameRect(dc, &rc, inner.Get());
    }
}
