#include "ui/skin/CZendalButtonFrame.h"

void CZendalButtonFrame::DrawButton(const DRAWITEMSTRUCT& item)
{
    int state = UpdateVisualState(item.itemState);
    WPARAM highlighted = (state == Hot || state == Pressed || state == Disabled) ? 1 : 0;
    Parent().Send(notifyMessage, highlighted, 0);
}
