#include "support/RunningProgram.h"

#include "resource.h"
#include "support/PumpUntil.h"

#include <string>

namespace testkit {

namespace {

const wchar_t kMainTitle[] = L"云杉工坊文件安全 v1.07";

struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindMainWindow(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    wchar_t title[64] = {};
    ::GetWindowTextW(hwnd, title, 64);
    if (pid == search->pid && std::wstring(title) == kMainTitle) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindOwnedDialog(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    if (::GetWindow(hwnd, GW_OWNER) == search->found && ::GetDlgItem(hwnd, IDC_NAV_ENCRYPT)) {
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

RunningProgram::RunningProgram(const TempProgramFolder& folder)
{
    STARTUPINFOW startup{sizeof(startup)};
    std::wstring exe = folder.File(L"ZendalFileSa.exe");
    std::wstring commandLine = L"\"" + exe + L"\"";
    started_ = ::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                folder.Path().c_str(), &startup, &process_) != FALSE;
}

RunningProgram::~RunningProgram()
{
    if (!started_)
        return;
    if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
        ::TerminateProcess(process_.hProcess, 1);
    ::WaitForSingleObject(process_.hProcess, INFINITE);
    ::CloseHandle(process_.hThread);
    ::CloseHandle(process_.hProcess);
}

HWND RunningProgram::WaitForMainWindow() const
{
    Search search{process_.dwProcessId, nullptr};
    PumpUntil([&] {
        ::EnumWindows(&FindMainWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    return search.found;
}

HWND RunningProgram::WaitForPageHost(HWND main) const
{
    Search search{process_.dwProcessId, main};
    bool shown = PumpUntil([&] {
        ::EnumWindows(&FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
        return search.found != main && ::IsWindowVisible(search.found);
    });
    return shown ? search.found : nullptr;
}

bool RunningProgram::WaitForExit(DWORD* code) const
{
    bool ended = PumpUntil([&] { return ::WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; });
    ::GetExitCodeProcess(process_.hProcess, code);
    return ended;
}

bool RunningProgram::Close(HWND main) const
{
    ::PostMessageW(main, WM_COMMAND, IDCANCEL, 0);
    DWORD code = 0;
    return WaitForExit(&code);
}

} // namespace testkit
