#pragma once
#include <windows.h>

namespace testkit {

// Real input, as the user gives it: the cursor moves there and the left
// button goes down and up through the system's input queue, so disabled or
// covered windows get nothing, as on screen. Pumps this thread's messages after.
void ClickAt(POINT screen);
void ClickWindow(HWND hwnd);
void MoveCursorTo(POINT screen);
// Left button down at one point, moved to another, released there.
void Drag(POINT from, POINT to);

} // namespace testkit
