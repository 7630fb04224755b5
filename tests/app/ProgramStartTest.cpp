#include "resource.h"
#include "support/PumpUntil.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

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
    if (pid == search->pid && std::wstring(title) == kMainTitle && ::IsWindowVisible(hwnd)) {
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

// The real program started from a fresh program folder, as a user starts it.
class RunningProgram {
public:
    explicit RunningProgram(const testkit::TempProgramFolder& folder)
    {
        STARTUPINFOW startup{sizeof(startup)};
        std::wstring exe = folder.File(L"ZendalFileSa.exe");
        std::wstring commandLine = L"\"" + exe + L"\"";
        started_ = ::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                    folder.Path().c_str(), &startup, &process_) != FALSE;
    }
    ~RunningProgram()
    {
        if (!started_)
            return;
        if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
            ::TerminateProcess(process_.hProcess, 1);
        ::WaitForSingleObject(process_.hProcess, INFINITE);
        ::CloseHandle(process_.hThread);
        ::CloseHandle(process_.hProcess);
    }

    bool Started() const { return started_; }
    DWORD Id() const { return process_.dwProcessId; }
    HWND WaitForMainWindow() const
    {
        Search search{process_.dwProcessId, nullptr};
        testkit::PumpUntil([&] {
            ::EnumWindows(&FindMainWindow, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        });
        return search.found;
    }
    bool WaitForExit(DWORD* code) const
    {
        bool ended = testkit::PumpUntil([&] { return ::WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; });
        ::GetExitCodeProcess(process_.hProcess, code);
        return ended;
    }

private:
    bool started_ = false;
    PROCESS_INFORMATION process_{};
};

} // namespace

TEST(ProgramStart, ShowsTheMainWindowThePageHostAndAllPagesWithTheLogonPageInFront)
{
    testkit::TempProgramFolder folder(true);
    RunningProgram program(folder);
    ASSERT_TRUE(program.Started());

    HWND main = program.WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    EXPECT_TRUE(::IsWindowVisible(main));
    EXPECT_TRUE(::GetDlgItem(main, IDC_MAIN_CLOSE));
    EXPECT_TRUE(::GetDlgItem(main, IDC_MAIN_MINIMIZE));

    // The page host appears once the main window has finished its initialisation.
    Search search{program.Id(), main};
    testkit::PumpUntil([&] {
        ::EnumWindows(&FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
        return search.found != main && ::IsWindowVisible(search.found);
    });
    HWND host = search.found;
    ASSERT_NE(main, host) << "no page host owned by the main window";
    EXPECT_TRUE(::IsWindowVisible(host));
    for (int id = IDC_NAV_ENCRYPT; id <= IDC_NAV_FUNCTION; ++id)
        EXPECT_TRUE(::GetDlgItem(host, id)) << id;

    std::vector<HWND> pages = ChildDialogs(host);
    ASSERT_EQ(8u, pages.size());
    HWND shown = nullptr;
    for (HWND page : pages) {
        RECT rc{};
        ::GetWindowRect(page, &rc);
        ::MapWindowPoints(HWND_DESKTOP, host, reinterpret_cast<POINT*>(&rc), 2);
        EXPECT_EQ(183, rc.left);
        EXPECT_EQ(113, rc.top);
        if (::IsWindowVisible(page)) {
            EXPECT_EQ(nullptr, shown) << "more than one page shown";
            shown = page;
        }
    }
    ASSERT_NE(nullptr, shown);
    wchar_t caption[16] = {};
    ::GetDlgItemTextW(shown, IDC_LOGON_BUTTON, caption, 16);
    EXPECT_STREQ(L"登录", caption);

    ::PostMessageW(main, WM_COMMAND, IDCANCEL, 0);
    DWORD code = 1;
    EXPECT_TRUE(program.WaitForExit(&code));
    EXPECT_EQ(0u, code);
}
