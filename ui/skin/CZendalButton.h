#pragma once
#include "framework/UniqueHandle.h"
#include "ui/skin/CZendalButtonBase.h"

// The command button of every page: rounded border, vertical gradient, hover highlight.
class CZendalButton : public CZendalButtonBase {
public:
    CZendalButton();

    // Gradient colour of line y (in button coordinates) for a visual state.
    static COLORREF GradientColor(int state, int y);

protected:
    void DrawButton(const DRAWITEMSTRUCT& item) override;

private:
    HPEN BorderPen(int state) const;

    fw::Pen normalBorderPen_;
    fw::Pen innerBorderPen_;
    fw::Pen hotBorderPen_;
    fw::Pen disabledBorderPen_;
};
