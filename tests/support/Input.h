#pragma once
#include <windows.h>

#include <functional>

namespace testkit {

// Real input, as the user gives it: the cursor moves there and the left
// button goes down and up through the system's input queue, so disabled or
// covered windows get nothing, as on screen. Pumps this thread's messages after.
void ClickAt(POINT screen);
// A click with a modifier key (VK_CONTROL, VK_SHIFT) held. Wine releases
// modifiers that the X server does not hold whenever the cursor moves, so
// the key goes down once the cursor is in place.
void ClickWith(WORD modifier, POINT screen);
void RightClickAt(POINT screen);
// Two left clicks in a row, as the system counts a double click.
void DoubleClickAt(POINT screen);
void ClickWindow(HWND hwnd);
void MoveCursorTo(POINT screen);
// Left button down at one point, moved to another, released there. When
// given, grabbed says whether the window under the press has taken the drag
// (for example entered its move loop); the move waits for it.
void Drag(POINT from, POINT to, const std::function<bool()>& grabbed = nullptr);
// Whether the thread that owns the window is in a window move or size loop.
bool InMoveLoop(HWND hwnd);

// Real keys through the system's input queue, to the window with the focus;
// pumps this thread's messages after each.
void KeyDown(WORD vk);
void KeyUp(WORD vk);
void PressKey(WORD vk);
// A key pressed while another (VK_CONTROL, VK_SHIFT) is held.
void PressKeyWith(WORD modifier, WORD vk);
// Each character as the key (with Shift when needed) that types it.
void TypeText(const wchar_t* text);

} // namespace testkit
