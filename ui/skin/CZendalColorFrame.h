#pragma once
#include "framework/Static.h"
#include "ui/skin/SelfPaintedControl.h"
#include "ui/skin/SkinColors.h"

// A one-colour frame around a list; the list itself sits 1 pixel inside it.
class CZendalColorFrame : public SelfPaintedControl<fw::Static> {
public:
    void SetFrameColor(COLORREF colour);

protected:
    void Paint(HDC dc) override;

private:
    COLORREF frameColor_ = skin::kFrameGrey;
};
