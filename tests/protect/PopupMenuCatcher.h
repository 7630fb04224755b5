#pragma once
#include <windows.h>

#include <atomic>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace protecttest {

struct ShownMenu {
    std::vector<UINT> ids;
    std::vector<std::wstring> texts;
    RECT rect; // on screen
};

// While it exists, every popup menu this process shows is recorded (its
// items and where it opened) and then answered from the keyboard: with the
// item of the command set for it, or closed without a choice.
class PopupMenuCatcher {
public:
    PopupMenuCatcher();
    ~PopupMenuCatcher();
    PopupMenuCatcher(const PopupMenuCatcher&) = delete;
    PopupMenuCatcher& operator=(const PopupMenuCatcher&) = delete;

    // The command the next menus are answered with; 0 closes them.
    void Choose(UINT command) { command_ = command; }
    std::vector<ShownMenu> Menus() const;
    size_t Count() const;
    // Whether a popup menu of this process is on screen.
    static bool MenuOpen();

private:
    static DWORD WINAPI WatchThread(LPVOID self);
    static BOOL CALLBACK InspectWindow(HWND hwnd, LPARAM self);
    static HWND OpenMenuWindow();
    void Watch();
    void Answer(HWND menuWindow);

    mutable std::mutex mutex_;
    std::vector<ShownMenu> menus_;
    std::set<HWND> answered_;
    std::atomic<UINT> command_{0};
    std::atomic<bool> stop_{false};
    HANDLE thread_ = nullptr;
};

} // namespace protecttest
