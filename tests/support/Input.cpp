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
    // An absolute move through the input queue, so the window under the
    // cursor gets its mouse-move message as from a real mouse.
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((screen.x * 65535 + ::GetSystemMetrics(SM_CXSCREEN) / 2) / (::GetSystemMetrics(SM_CXSCREEN) - 1));
    input.mi.dy = static_cast<LONG>((screen.y * 65535 + ::GetSystemMetrics(SM_CYSCREEN) / 2) / (::GetSystemMetrics(SM_CYSCREEN) - 1));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof(input));
    PumpUntil([&] {
        POINT now{};
        ::GetCursorPos(&now);
        return now.x == screen.x && now.y == screen.y;
    }, 2000);
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

bool InMoveLoop(HWND hwnd)
{
    GUITHREADINFO info{sizeof(info)};
    return ::GetGUIThreadInfo(::GetWindowThreadProcessId(hwnd, nullptr), &info) && (info.flags & GUI_INMOVESIZE);
}

void Drag(POINT from, POINT to, const std::function<bool()>& grabbed)
{
    MoveCursorTo(from);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    PumpPending();
    if (grabbed)
        PumpUntil(grabbed, 10000);
    MoveCursorTo(POINT{(from.x + to.x) / 2, (from.y + to.y) / 2});
    MoveCursorTo(to);
    SendMouse(MOUSEEVENTF_LEFTUP);
    PumpPending();
}

} // namespace testkit
