#include "ui/skin/CZendalCheckBox.h"

#include "framework/MessageMap.h"
#include "framework/SelectObjectScope.h"
#include "ui/skin/SkinColors.h"
#include "ui/skin/SkinDraw.h"

#include <commctrl.h>

#include <string>

namespace {

const COLORREF kCheckMarkBlue = RGB(30, 155, 255);
const COLORREF kBoxInside = RGB(245, 245, 245);
const COLORREF kHotFrame = RGB(240, 230, 100);
const int kBoxSize = 13;
const int kLabelLeft = 17;

// Start rows of the check mark's seven 3-pixel strokes, left to right.
const int kStrokeStarts[] = {2, 3, 4, 3, 2, 1, 0};
const int kStrokeLength = 3;

} // namespace

CZendalCheckBox::CZendalCheckBox() : checkPen_(::CreatePen(PS_SOLID, 1, kCheckMarkBlue)) {}

bool CZendalCheckBox::ProcessMessage(fw::Message& m)
{
    using Self = CZendalCheckBox;
    return fw::Dispatch(this, m,
                        fw::OnMessage(BM_SETCHECK, &Self::OnSetCheck),
                        fw::OnMessage(BM_GETCHECK, &Self::OnGetCheck),
                        fw::OnReflectedCommand(BN_CLICKED, &Self::OnClicked),
                        fw::OnMessage(WM_MOUSEMOVE, &Self::OnMouseMove),
                        fw::OnMessage(WM_MOUSELEAVE, &Self::OnMouseLeave),
                        fw::OnDrawItem(&Self::DrawItem))
        || fw::Button::ProcessMessage(m);
}

void CZendalCheckBox::PreSubclassWindow()
{
    ModifyStyle(0x1F, BS_OWNERDRAW);
    SetPosition(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    style_ = Style();
}

LRESULT CZendalCheckBox::OnSetCheck(WPARAM state, LPARAM)
{
    checked_ = state == BST_CHECKED || state == BST_INDETERMINATE;
    Invalidate();
    return 0;
}

LRESULT CZendalCheckBox::OnGetCheck(WPARAM, LPARAM)
{
    return checked_ ? 1 : 0;
}

void CZendalCheckBox::OnClicked()
{
    checked_ = !checked_;
    Invalidate();
    Parent().Post(WM_COMMAND, static_cast<WPARAM>(ControlId()), 0);
}

bool CZendalCheckBox::OnMouseMove(fw::Message& m)
{
    if ((m.wParam & MK_LBUTTON) && !hot_) {
        m.result = 0;
        return true;
    }
    POINT cursor{};
    ::GetCursorPos(&cursor);
    HWND under = ::WindowFromPoint(cursor);
    if (under == hwnd_ && !hot_) {
        hot_ = true;
        Invalidate();
        TrackMouseLeave();
    } else if (under != hwnd_) {
        hot_ = false;
        Invalidate();
    }
    m.result = DefaultProcessing(m);
    return true;
}

void CZendalCheckBox::OnMouseLeave()
{
    hot_ = false;
    Invalidate();
}

void CZendalCheckBox::TrackMouseLeave() const
{
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = hwnd_;
    ::_TrackMouseEvent(&track);
}

void CZendalCheckBox::DrawItem(const DRAWITEMSTRUCT& item)
{
    selected_ = (item.itemState & ODS_SELECTED) != 0;
    focused_ = (item.itemState & ODS_FOCUS) != 0;
    disabled_ = (item.itemState & ODS_DISABLED) != 0;
    HDC dc = item.hDC;
    ::SetBkMode(dc, TRANSPARENT);
    skin::FillSolid(dc, item.rcItem, skin::kPageBackground);
    DrawBox(dc, (item.rcItem.top + item.rcItem.bottom) / 2);
    DrawLabel(dc, item.rcItem);
}

void CZendalCheckBox::DrawBox(HDC dc, int centre) const
{
    RECT box{0, centre - 6, kBoxSize, centre + 7};
    skin::FrameSolid(dc, box, skin::kFrameGrey);
    RECT inner = skin::Shrunk(box, 1);
    skin::FillSolid(dc, inner, kBoxInside);
    if (hot_)
        skin::FrameSolid(dc, inner, kHotFrame);
    inner = skin::Shrunk(inner, 1);
    if (hot_)
        skin::FrameSolid(dc, inner, kHotFrame);
    inner = skin::Shrunk(inner, 1);
    if (checked_)
        DrawCheckMark(dc, POINT{inner.left, inner.top});
}

void CZendalCheckBox::DrawCheckMark(HDC dc, POINT origin) const
{
    fw::SelectObjectScope pen(dc, checkPen_.Get());
    int x = origin.x;
    for (int start : kStrokeStarts) {
        ::MoveToEx(dc, x, origin.y + start, nullptr);
        ::LineTo(dc, x, origin.y + start + kStrokeLength);
        ++x;
    }
}

void CZendalCheckBox::DrawLabel(HDC dc, const RECT& item) const
{
    RECT text{kLabelLeft, 1, item.right - 3, item.bottom};
    if (focused_)
        ::DrawFocusRect(dc, &text);
    UINT format = DT_SINGLELINE | DT_VCENTER;
    if ((style_ & BS_CENTER) == BS_CENTER)
        format |= DT_CENTER;
    else if (style_ & BS_RIGHT)
        format |= DT_RIGHT;
    else
        format |= DT_LEFT;
    std::wstring label = Text();
    ::DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &text, format);
}
