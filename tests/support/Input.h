#pragma once
#include <windows.h>

#include <functional>

namespace testkit {

// Real input, as the user gives it: the cursor moves there and the left
// button goes down and up through the system's input queue, so disabled or
// covered windows get nothing, as on screen. Pumps this thread's messages after.
void ClickAt(POINT screen);
void ClickWindow(HWND hwnd);
void MoveCursorTo(POINT screen);
// Left button down at one point, moved to another, released there. When
// given, grabbed says whether the window under the press has taken the drag
// (for example entered its move loop); the move waits for it.
void Drag(POINT from, POINT to, const std::function<bool()>& grabbed = nullptr);
// Whether the thread that owns the window is in a window move or size loop.
bool InMoveLoop(HWND hwnd);

} // namespace testkit
