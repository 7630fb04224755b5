#include "framework/CrossThreadWindow.h"

namespace fw {

// A registered message cannot collide with any control's own messages.
UINT CrossThreadWindow::RunMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"ZendalRunOnWindowThread");
    return message;
}

void CrossThreadWindow::Run(const std::function<void()>& work) const
{
    if (HWND hwnd = hwnd_)
        ::SendMessageW(hwnd, RunMessage(), 0, reinterpret_cast<LPARAM>(&work));
}

bool CrossThreadWindow::RunCarriedWork(Message& m)
{
    if (m.id != RunMessage() || m.lParam == 0)
        return false;
    (*reinterpret_cast<const std::function<void()>*>(m.lParam))();
    m.result = 0;
    return true;
}

} // namespace fw
