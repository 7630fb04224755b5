#pragma once
#include "framework/Static.h"
#include "ui/skin/SelfPaintedControl.h"

// A dotted separator: one grey dot every 4 pixels along the top row.
class CZendalSplitLine : public SelfPaintedControl<fw::Static> {
protected:
    void Paint(HDC dc) override;
};
