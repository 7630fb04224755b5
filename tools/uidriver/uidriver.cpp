// uidriver: drives the running program from outside for the screenshot script.
//   uidriver wait            waits until the main window and the page host are up
//   uidriver logon           presses "登录" and answers the message box
//   uidriver page N          presses navigation button N (0–6)
// Exits 0 when the step is done, 1 when it did not happen in time.
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

const wchar_t kMainTitle[] = L"云杉工坊文件安全 v1.07";
const int kNavigationFirst = 1000;
const int kLogonButton = 1034;
const DWORD kLimitMs = 60000;

template <class Condition>
bool WaitFor(Condition condition)
{
    DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < kLimitMs) {
        if (condition())
            return true;
        ::Sleep(50);
    }
    return false;
}

HWND MainWindow()
{
    HWND main = ::FindWindowW(nullptr, kMainTitle);
    return main && ::IsWindowVisible(main) ? main : nullptr;
}

struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindPageHost(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<OwnedSearch*>(param);
    if (::GetWindow(hwnd, GW_OWNER) == search->owner && ::GetDlgItem(hwnd, kNavigationFirst) && ::IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND PageHost()
{
    OwnedSearch search{MainWindow(), nullptr};
    if (search.owner)
        ::EnumWindows(&FindPageHost, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ShownPage(HWND host)
{
    for (HWND child = ::GetWindow(host, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16] = {};
        ::GetClassNameW(child, className, 16);
        if (std::wstring(className) == L"#32770" && ::IsWindowVisible(child))
            return child;
    }
    return nullptr;
}

BOOL CALLBACK AnswerMessageBox(HWND hwnd, LPARAM param)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    wchar_t className[16] = {};
    ::GetClassNameW(hwnd, className, 16);
    if (pid == static_cast<DWORD>(param) && std::wstring(className) == L"#32770" && ::GetDlgItem(hwnd, 0xFFFF) &&
        ::IsWindowVisible(hwnd)) {
        ::PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
        return FALSE;
    }
    return TRUE;
}

// Waits until the main thread has handled everything posted before.
void Settle(HWND hwnd)
{
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, kLimitMs, &result);
}

bool Logon()
{
    HWND host = PageHost();
    HWND page = host ? ShownPage(host) : nullptr;
    HWND button = page ? ::GetDlgItem(page, kLogonButton) : nullptr;
    if (!button)
        return false;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(host, &pid);
    ::PostMessageW(button, BM_CLICK, 0, 0);
    bool answered = WaitFor([&] { return !::EnumWindows(&AnswerMessageBox, pid); });
    return answered && WaitFor([&] { return ::IsWindowEnabled(::GetDlgItem(host, kNavigationFirst)) != FALSE; });
}

bool ShowPage(int index)
{
    HWND host = PageHost();
    if (!host)
        return false;
    ::PostMessageW(::GetDlgItem(host, kNavigationFirst + index), BM_CLICK, 0, 0);
    Settle(host);
    return true;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    std::wstring command = argv[1];
    bool done = false;
    if (command == L"wait")
        done = WaitFor([] { return PageHost() != nullptr; });
    else if (command == L"logon")
        done = Logon();
    else if (command == L"page" && argc > 2)
        done = ShowPage(static_cast<int>(std::wcstol(argv[2], nullptr, 10)));
    if (HWND host = PageHost())
        Settle(host);
    return done ? 0 : 1;
}
