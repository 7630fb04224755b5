#pragma once
#include "framework/Edit.h"
#include "framework/UniqueHandle.h"

// An edit box with a two-line border (outer and inner colour) and its own
// text and background colours.
class CZendalEdit : public fw::Edit {
public:
    CZendalEdit();

    void SetColors(COLORREF text, COLORREF innerBorder, COLORREF outerBorder, COLORREF background);

    bool ProcessMessage(fw::Message& m) override;

private:
    bool OnNcPaint(fw::Message& m);
    HBRUSH OnCtlColor(HDC dc, HWND, UINT);
    void DrawBorder() const;

    COLORREF textColor_;
    COLORREF innerBorderColor_;
    COLORREF outerBorderColor_;
    COLORREF backgroundColor_;
    fw::Brush backgroundBrush_;
};
