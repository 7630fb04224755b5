#pragma once
#include <windows.h>

// Draws a skinned button's icon and text around the centre of its item
// rectangle: the icon at x = 10, the text centred (moved right by half the
// icon when there is one). The offsets move them right and down.
struct ButtonLabel {
    HWND button;
    HICON icon;       // null: no icon
    int iconSize;
    int iconOffsetX;
    int iconOffsetY;
    int textOffset;
    bool disabledText;
};

void DrawButtonLabel(HDC dc, const RECT& item, const ButtonLabel& label);
