#include "framework/App.h"

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
        InitInstance();
        return 0;
    } catch (...) {
        return 1;
    }
}

} // namespace fw
