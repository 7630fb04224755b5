#pragma once
#include "framework/WindowObject.h"

namespace fw {

class Button : public WindowObject {
public:
    int Check() const { return static_cast<int>(Send(BM_GETCHECK)); }
    void SetCheck(int state) const { Send(BM_SETCHECK, static_cast<WPARAM>(state)); }
    UINT ButtonStyle() const { return Style() & 0xFFFF; }
    void SetButtonStyle(UINT style, bool redraw = true) const { Send(BM_SETSTYLE, style, redraw ? TRUE : FALSE); }
};

} // namespace fw
