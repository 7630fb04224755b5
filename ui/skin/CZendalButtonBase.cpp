#include "ui/skin/CZendalButtonBase.h"

#include "framework/MessageMap.h"

#include <commctrl.h>

bool CZendalButtonBase::ProcessMessage(fw::Message& m)
{
    using Self = CZendalButtonBase;
    return fw::Dispatch(this, m,
                        fw::OnMessage(WM_GETDLGCODE, &Self::OnGetDlgCode),
                        fw::OnMessage(WM_KEYDOWN, &Self::OnKeyDown),
                        fw::OnMessage(WM_MOUSEMOVE, &Self::OnMouseMove),
                        fw::OnMessage(WM_MOUSEHOVER, &Self::OnMouseHover),
                        fw::OnMessage(WM_MOUSELEAVE, &Self::OnMouseLeave),
                        fw::OnDrawItem(&Self::OnDrawItem))
        || fw::Button::ProcessMessage(m);
}

void CZendalButtonBase::PreSubclassWindow()
{
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
}

// An owner-drawn button is no push button to the dialog manager, which would
// turn Enter into its dialog's default command (and, in a page, send it to
// the page host instead of the page). The button asks for the key itself.
bool CZendalButtonBase::OnGetDlgCode(fw::Message& m)
{
    const auto* key = reinterpret_cast<const MSG*>(m.lParam);
    if (!pressedByEnter_ || !key || key->message != WM_KEYDOWN || key->wParam != VK_RETURN)
        return false;
    m.result = DefaultProcessing(m) | DLGC_WANTMESSAGE;
    return true;
}

bool CZendalButtonBase::OnKeyDown(fw::Message& m)
{
    if (!pressedByEnter_ || m.wParam != VK_RETURN)
        return false;
    if (IsEnabled())
        Parent().Send(WM_COMMAND, MAKEWPARAM(ControlId(), BN_CLICKED), reinterpret_cast<LPARAM>(Handle()));
    m.result = 0;
    return true;
}

int CZendalButtonBase::UpdateVisualState(UINT itemState)
{
    focus = (itemState & ODS_FOCUS) ? 1 : 0;
    emphasised = (itemState & (ODS_FOCUS | ODS_SELECTED | ODS_DEFAULT)) ? 1 : 0;
    if (itemState & ODS_DISABLED)
        visualState = Disabled;
    else if (itemState & ODS_SELECTED)
        visualState = Pressed;
    else if (hover)
        visualState = Hot;
    else if (emphasised)
        visualState = Emphasised;
    else
        visualState = Normal;
    return visualState;
}

bool CZendalButtonBase::OnMouseMove(fw::Message&)
{
    if (!tracking) {
        TRACKMOUSEEVENT request{sizeof(request), TME_HOVER | TME_LEAVE, Handle(), 1};
        if (::_TrackMouseEvent(&request))
            tracking = 1;
    }
    return false;
}

void CZendalButtonBase::OnMouseHover()
{
    hover = 1;
    Invalidate(true);
}

void CZendalButtonBase::OnMouseLeave()
{
    hover = 0;
    tracking = 0;
    Invalidate(false);
}
