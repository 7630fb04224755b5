#include "framework/App.h"

#include "framework/Dialog.h"

namespace fw {

namespace {

App* g_app = nullptr;

} // namespace

App::App()
{
    g_app = this;
}

App::~App()
{
    if (g_app == this)
        g_app = nullptr;
}

App* App::Current()
{
    return g_app;
}

HINSTANCE App::ResourceInstance()
{
    return ::GetModuleHandleW(nullptr);
}

std::wstring App::Name()
{
    wchar_t path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, length);
    size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos)
        name.erase(0, slash + 1);
    size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos)
        name.erase(dot);
    return name;
}

int App::Start()
{
    try {
        if (!InitInstance())
            return exitCode_;
        return Run();
    } catch (...) {
        return 1;
    }
}

int App::Run()
{
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (Dialog::TranslateDialogKeys(msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

} // namespace fw
