#pragma once
#include "framework/UniqueHandle.h"
#include "ui/skin/CZendalButtonBase.h"

// A navigation button: one of three 138×30 faces, grey text and an icon.
class CZendalButtonBitmap : public CZendalButtonBase {
public:
    // Replaces the faces with bitmaps 131 (normal), 133 (hot) and 132 (current).
    void LoadBitmaps();
    // Takes ownership of the icon, releasing the one held before.
    void SetIcon(HICON newIcon, int size);

    // 1 while this button's page is shown; the owner sets it and repaints.
    int current = 0;
    fw::Bitmap normalFace;
    fw::Bitmap hotFace;
    fw::Bitmap currentFace;
    int iconFlag = 0;
    int iconSize = 0;
    fw::Icon icon;

protected:
    void DrawButton(const DRAWITEMSTRUCT& item) override;

private:
    HBITMAP Face(int state) const;
};
