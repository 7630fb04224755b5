#include "ui/skin/CZendalDialog.h"

#include "framework/MessageMap.h"
#include "framework/PaintDC.h"
#include "ui/skin/SkinColors.h"

CZendalDialog::CZendalDialog(UINT templateId)
    : fw::Dialog(templateId), backgroundBrush_(::CreateSolidBrush(skin::kPageBackground))
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
        ::SetBkColor(dc, skin::kPageBackground);
        return backgroundBrush_.Get();
    }
    if (control == Handle() || kind == CTLCOLOR_DLG)
        return backgroundBrush_.Get();
    // Other controls keep the system's colours.
    return nullptr;
}

// A one-pixel grey frame around the client area; the background is the
// dialog's own erase through the brush above.
void CZendalDialog::OnPaint()
{
    fw::PaintDC dc(Handle());
    RECT rc = ClientRect();
    fw::Brush frame(::CreateSolidBrush(skin::kFrameGrey));
    ::FrameRect(dc, &rc, frame.Get());
}
