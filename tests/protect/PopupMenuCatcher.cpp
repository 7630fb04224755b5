#include "PopupMenuCatcher.h"

namespace protecttest {

namespace {

#ifndef MN_GETHMENU
#define MN_GETHMENU 0x01E1
#endif

void PostKey(HWND window, UINT key)
{
    ::PostMessageW(window, WM_KEYDOWN, key, 1);
    ::PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

} // namespace

PopupMenuCatcher::PopupMenuCatcher()
{
    thread_ = ::CreateThread(nullptr, 0, &PopupMenuCatcher::WatchThread, this, 0, nullptr);
}

PopupMenuCatcher::~PopupMenuCatcher()
{
    stop_ = true;
    if (thread_) {
        ::WaitForSingleObject(thread_, INFINITE);
        ::CloseHandle(thread_);
    }
}

DWORD WINAPI PopupMenuCatcher::WatchThread(LPVOID self)
{
    static_cast<PopupMenuCatcher*>(self)->Watch();
    return 0;
}

bool PopupMenuCatcher::MenuOpen()
{
    return OpenMenuWindow() != nullptr;
}

HWND PopupMenuCatcher::OpenMenuWindow()
{
    HWND found = nullptr;
    ::EnumWindows(&PopupMenuCatcher::InspectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

void PopupMenuCatcher::Watch()
{
    while (!stop_) {
        if (HWND menuWindow = OpenMenuWindow())
            Answer(menuWindow);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            for (auto it = answered_.begin(); it != answered_.end();)
                it = ::IsWindow(*it) && ::IsWindowVisible(*it) ? std::next(it) : answered_.erase(it);
        }
        ::Sleep(5);
    }
}

BOOL CALLBACK PopupMenuCatcher::InspectWindow(HWND hwnd, LPARAM param)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    wchar_t className[16] = {};
    ::GetClassNameW(hwnd, className, 16);
    if (pid != ::GetCurrentProcessId() || !::IsWindowVisible(hwnd) || std::wstring(className) != L"#32768")
        return TRUE;
    *reinterpret_cast<HWND*>(param) = hwnd;
    return FALSE;
}

void PopupMenuCatcher::Answer(HWND menuWindow)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (answered_.count(menuWindow))
            return;
    }
    auto menu = reinterpret_cast<HMENU>(::SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    if (!menu)
        return;
    ShownMenu shown{};
    ::GetWindowRect(menuWindow, &shown.rect);
    int chosen = -1;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
        shown.ids.push_back(::GetMenuItemID(menu, i));
        shown.texts.push_back(text);
        if (command_ != 0 && shown.ids.back() == command_)
            chosen = i;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        answered_.insert(menuWindow);
        menus_.push_back(shown);
    }
    // The menu starts with no item highlighted: each arrow moves one item down.
    for (int i = 0; i <= chosen; ++i)
        PostKey(menuWindow, VK_DOWN);
    PostKey(menuWindow, chosen >= 0 ? VK_RETURN : VK_ESCAPE);
}

std::vector<ShownMenu> PopupMenuCatcher::Menus() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return menus_;
}

size_t PopupMenuCatcher::Count() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return menus_.size();
}

} // namespace protecttest
