#include "support/Input.h"

#include "support/PumpUntil.h"

namespace testkit {

namespace {

bool CursorAt(POINT screen)
{
    POINT now{};
    ::GetCursorPos(&now);
    return now.x == screen.x && now.y == screen.y;
}

// Every mouse event carries its absolute position, so that a button goes
// down and up where the test put the cursor.
void SendMouse(DWORD flags, POINT screen)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((screen.x * 65535 + ::GetSystemMetrics(SM_CXSCREEN) / 2) / (::GetSystemMetrics(SM_CXSCREEN) - 1));
    input.mi.dy = static_cast<LONG>((screen.y * 65535 + ::GetSystemMetrics(SM_CYSCREEN) / 2) / (::GetSystemMetrics(SM_CYSCREEN) - 1));
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof(input));
}

} // namespace

void MoveCursorTo(POINT screen)
{
    // Wine's virtual desktop (a window of another process) reports each warp
    // of the X pointer back as a move of its own, at times only after the
    // next move: a round trip to it lets it catch up, and the move is sent
    // again until the cursor stays where it was sent.
    for (int attempt = 0; attempt < 5; ++attempt) {
        SendMouse(0, screen);
        PumpUntil([&] { return CursorAt(screen); }, 2000);
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(::GetDesktopWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 1000, &ignored);
        PumpPending();
        if (CursorAt(screen))
            return;
    }
}

void ClickAt(POINT screen)
{
    MoveCursorTo(screen);
    SendMouse(MOUSEEVENTF_LEFTDOWN, screen);
    PumpPending();
    SendMouse(MOUSEEVENTF_LEFTUP, screen);
    PumpPending();
}

void ClickWith(WORD modifier, POINT screen)
{
    MoveCursorTo(screen);
    KeyDown(modifier);
    SendMouse(MOUSEEVENTF_LEFTDOWN, screen);
    PumpPending();
    SendMouse(MOUSEEVENTF_LEFTUP, screen);
    PumpPending();
    KeyUp(modifier);
}

void RightClickAt(POINT screen)
{
    MoveCursorTo(screen);
    SendMouse(MOUSEEVENTF_RIGHTDOWN, screen);
    PumpPending();
    SendMouse(MOUSEEVENTF_RIGHTUP, screen);
    PumpPending();
}

void DoubleClickAt(POINT screen)
{
    MoveCursorTo(screen);
    SendMouse(MOUSEEVENTF_LEFTDOWN, screen);
    SendMouse(MOUSEEVENTF_LEFTUP, screen);
    SendMouse(MOUSEEVENTF_LEFTDOWN, screen);
    SendMouse(MOUSEEVENTF_LEFTUP, screen);
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
    SendMouse(MOUSEEVENTF_LEFTDOWN, from);
    PumpPending();
    if (grabbed)
        PumpUntil(grabbed, 10000);
    MoveCursorTo(POINT{(from.x + to.x) / 2, (from.y + to.y) / 2});
    MoveCursorTo(to);
    SendMouse(MOUSEEVENTF_LEFTUP, to);
    PumpPending();
}

namespace {

void SendKey(WORD vk, DWORD flags)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags;
    ::SendInput(1, &input, sizeof(input));
}

} // namespace

void KeyDown(WORD vk)
{
    SendKey(vk, 0);
    PumpPending();
}

void KeyUp(WORD vk)
{
    SendKey(vk, KEYEVENTF_KEYUP);
    PumpPending();
}

void PressKey(WORD vk)
{
    KeyDown(vk);
    KeyUp(vk);
}

void PressKeyWith(WORD modifier, WORD vk)
{
    KeyDown(modifier);
    PressKey(vk);
    KeyUp(modifier);
}

void TypeText(const wchar_t* text)
{
    for (; *text; ++text) {
        SHORT key = ::VkKeyScanW(*text);
        WORD vk = LOBYTE(key);
        if (HIBYTE(key) & 1)
            PressKeyWith(VK_SHIFT, vk);
        else
            PressKey(vk);
    }
}

} // namespace testkit
