#pragma once
#include "framework/Dialog.h"
#include "framework/UniqueHandle.h"

// Every page tells the user about an operation that failed in these words.
inline constexpr wchar_t kFailedText[] = L"操作失败";

// The dialog base of every page and of the About box: light cyan background,
// a one-pixel frame around the client area, static texts on the background.
class CZendalDialog : public fw::Dialog {
public:
    explicit CZendalDialog(UINT templateId);

    bool ProcessMessage(fw::Message& m) override;

    COLORREF backgroundColor = RGB(245, 255, 255);
    COLORREF frameColor = RGB(150, 150, 150);
    COLORREF outerFrameColor = RGB(255, 255, 255);
    COLORREF innerFrameColor = RGB(29, 45, 61);
    // 1 = single grey frame, 2 = double frame, anything else = no frame.
    int frameStyle = 1;
    fw::Brush backgroundBrush;
    int transparentStatics = 0;

private:
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);
    void OnPaint();
};
