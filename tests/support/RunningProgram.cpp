#include "support/RunningProgram.h"

#include "resource.h"
#include "support/PumpUntil.h"
#include "support/TempProgramFolder.h"

namespace testkit {

namespace {

const wchar_t kMainTitle[] = L"云杉工坊文件安全 v1.07";

struct Search {
    DWORD pid;
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindMainWindow(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    wchar_t title[64] = {};
    ::GetWindowTextW(hwnd, title, 64);
    if (pid == search->pid && std::wstring(title) == kMainTitle && ::IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindPageHost(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    if (::GetWindow(hwnd, GW_OWNER) == search->owner && ::GetDlgItem(hwnd, IDC_NAV_ENCRYPT) &&
        ::IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

std::vector<HWND> ChildDialogs(HWND parent)
{
    std::vector<HWND> dialogs;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16] = {};
        ::GetClassNameW(child, className, 16);
        if (std::wstring(className) == L"#32770")
            dialogs.push_back(child);
    }
    return dialogs;
}

RunningProgram::RunningProgram(const TempProgramFolder& folder) : RunningProgram(folder.Path()) {}

RunningProgram::RunningProgram(const std::wstring& folderPath)
{
    STARTUPINFOW startup{sizeof(startup)};
    std::wstring exe = folderPath + L"\\ZendalFileSa.exe";
    std::wstring commandLine = L"\"" + exe + L"\"";
    started_ = ::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                folderPath.c_str(), &startup, &process_) != FALSE;
}

RunningProgram::~RunningProgram()
{
    if (!started_)
        return;
    if (Running())
        ::TerminateProcess(process_.hProcess, 1);
    ::WaitForSingleObject(process_.hProcess, INFINITE);
    ::CloseHandle(process_.hThread);
    ::CloseHandle(process_.hProcess);
}

bool RunningProgram::Running() const
{
    return started_ && ::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND RunningProgram::WaitForMainWindow() const
{
    Search search{process_.dwProcessId, nullptr, nullptr};
    PumpUntil([&] {
        ::EnumWindows(&FindMainWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    return search.found;
}

HWND RunningProgram::WaitForPageHost(HWND main) const
{
    Search search{process_.dwProcessId, main, nullptr};
    PumpUntil([&] {
        search.found = nullptr;
        ::EnumWindows(&FindPageHost, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            return false;
        // Only once it is above the frame does it take the mouse.
        RECT rc{};
        ::GetWindowRect(search.found, &rc);
        HWND under = ::WindowFromPoint(POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
        return under == search.found || ::IsChild(search.found, under);
    });
    return search.found;
}

bool RunningProgram::WaitForFrameOnScreen(HWND main) const
{
    return PumpUntil([&] {
        RECT rc{};
        ::GetWindowRect(main, &rc);
        HDC screen = ::GetDC(nullptr);
        // The title band against a point of the bare desktop in the screen's corner.
        COLORREF band = ::GetPixel(screen, rc.left + 300, rc.top + 15);
        COLORREF desktop = ::GetPixel(screen, 1, 1);
        ::ReleaseDC(nullptr, screen);
        return rc.left > 1 && band != desktop && band != CLR_INVALID;
    });
}

bool RunningProgram::WaitForExit(DWORD* exitCode) const
{
    bool ended = PumpUntil([&] { return !Running(); });
    ::GetExitCodeProcess(process_.hProcess, exitCode);
    return ended;
}

bool RunningProgram::Close(HWND main) const
{
    ::PostMessageW(main, WM_COMMAND, IDCANCEL, 0);
    DWORD code = 0;
    return WaitForExit(&code);
}

} // namespace testkit
