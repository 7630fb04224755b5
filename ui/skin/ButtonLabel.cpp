#include "ui/skin/ButtonLabel.h"

#include "framework/SelectObjectScope.h"

void DrawButtonLabel(HDC dc, const RECT& item, const ButtonLabel& label)
{
    wchar_t text[261] = {};
    int length = ::GetWindowTextW(label.button, text, 261);
    auto font = reinterpret_cast<HFONT>(::SendMessageW(label.button, WM_GETFONT, 0, 0));
    fw::SelectObjectScope selectFont(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(SYSTEM_FONT));
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, text, length, &extent);

    int centreX = (item.left + item.right) / 2;
    int centreY = (item.top + item.bottom) / 2;
    int textX = centreX - extent.cx / 2;
    if (label.icon) {
        ::DrawIconEx(dc, 10 + label.iconOffsetX, centreY - label.iconSize / 2 + label.iconOffsetY, label.icon, label.iconSize,
                     label.iconSize, 0, nullptr, DI_NORMAL);
        textX += label.iconSize / 2;
    }
    UINT flags = DST_TEXT | (label.disabledText ? DSS_DISABLED : DSS_NORMAL);
    ::DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(text), static_cast<WPARAM>(length),
                 textX + label.textOffset, centreY - extent.cy / 2 + label.textOffset, 0, 0, flags);
}
