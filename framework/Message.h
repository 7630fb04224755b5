#pragma once
#include <windows.h>

namespace fw {

// One window message on its way through a message map. Handlers that answer
// it leave their answer in result.
struct Message {
    UINT id;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
};

// A parent hands WM_CTLCOLOR*, WM_DRAWITEM and control WM_COMMAND messages to
// the control's own object first, under this offset, so that a skinned control
// can paint and click for itself.
constexpr UINT kReflectedBase = WM_USER + 0x1C00;

constexpr UINT Reflected(UINT msg) { return kReflectedBase + msg; }

} // namespace fw
