#include "TestHost.h"

#include "support/PumpUntil.h"

TestHost::TestHost(UINT templateId, std::function<void(fw::DataExchange&)> bind)
    : fw::Dialog(templateId), bind_(std::move(bind))
{
}

TestHost::~TestHost()
{
    if (hwnd_)
        ::DestroyWindow(hwnd_);
    if (popup_)
        ::DestroyWindow(popup_);
}

void TestHost::MoveCursorAway()
{
    ::SetCursorPos(1000, 700);
}

bool TestHost::Open()
{
    MoveCursorAway();
    popup_ = ::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 800, 640, nullptr, nullptr,
                               nullptr, nullptr);
    if (!popup_ || !Create(popup_))
        return false;
    SetPosition(HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    ::UpdateWindow(popup_);
    ::UpdateWindow(hwnd_);
    testkit::PumpPending();
    return true;
}

bool TestHost::ProcessMessage(fw::Message& m)
{
    if (m.id == WM_COMMAND) {
        Command command{m.wParam, m.lParam};
        commands.push_back(command);
        if (onCommand)
            onCommand(command);
    }
    return fw::Dialog::ProcessMessage(m);
}
