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

private:
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);
    void OnPaint();

    fw::Brush backgroundBrush_;
};
