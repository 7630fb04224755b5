#include "support/Input.h"

#include "support/PumpUntil.h"

namespace testkit {

namespace {

void SendMouse(DWORD flags)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof(input));
}

} // namespace

void MoveCursorTo(POINT screen)
{
    ::SetCursorPos(screen.x, screen.y);
    PumpPending();
}

void ClickAt(POINT screen)
{
    MoveCursorTo(screen);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    PumpPending();
    SendMouse(MOUSEEVENTF_LEFTUP);
    PumpPending();
}

void ClickWindow(HWND hwnd)
{
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    ClickAt(POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
}

void Drag(POINT from, POINT to)
{
    MoveCursorTo(from);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    PumpPending();
    MoveCursorTo(POINT{(from.x + to.x) / 2, (from.y + to.y) / 2});
    MoveCursorTo(to);
    SendMouse(MOUSEEVENTF_LEFTUP);
    PumpPending();
}

} // namespace testkit
