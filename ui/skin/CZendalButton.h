#pragma once
#include "framework/UniqueHandle.h"
#include "ui/skin/CZendalButtonBase.h"

// The command button of every page: rounded border, vertical gradient, hover highlight.
class CZendalButton : public CZendalButtonBase {
public:
    CZendalButton();

    // Gradient colour of line y (in button coordinates) for a visual state.
    static COLORREF GradientColor(int state, int y);

    fw::Pen normalBorderPen;
    fw::Pen innerBorderPen;
    fw::Pen hotBorderPen;
    fw::Pen disabledBorderPen;
    int iconFlag = 0;
    int iconSize = 0;
    HICON icon = nullptr;  // set and owned by the owner

protected:
    void DrawButton(const DRAWITEMSTRUCT& item) override;

private:
    HPEN BorderPen(int state) const;
};
