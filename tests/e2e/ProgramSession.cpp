#include "ProgramSession.h"

#include "resource.h"
#include "support/PumpUntil.h"

#include <cstdarg>
#include <cstdio>

namespace e2e {

namespace {

// Eight pages: the seven function pages and the logon page.
constexpr size_t kPageCount = 8;

HWND FindPageHost(const testkit::RunningProgram& program, HWND main)
{
    if (!main || !program.WaitForFrameOnScreen(main))
        return nullptr;
    HWND host = program.WaitForPageHost(main);
    if (!host || !testkit::PumpUntil([&] { return testkit::ChildDialogs(host).size() == kPageCount; }))
        return nullptr;
    return host;
}

} // namespace

ProgramSession::ProgramSession(const std::wstring& folderPath)
    : program_(folderPath), boxes_(program_.Id())
{
    if (!program_.Started())
        return;
    main_ = program_.WaitForMainWindow();
    host_ = FindPageHost(program_, main_);
}

HWND ProgramSession::PageWith(std::initializer_list<int> controls) const
{
    for (HWND page : testkit::ChildDialogs(host_)) {
        bool holdsAll = true;
        for (int control : controls)
            holdsAll = holdsAll && ::GetDlgItem(page, control) != nullptr;
        if (holdsAll)
            return page;
    }
    return nullptr;
}

HWND ProgramSession::ShownPage() const
{
    for (HWND page : testkit::ChildDialogs(host_))
        if (::IsWindowVisible(page))
            return page;
    return nullptr;
}

std::wstring ProgramSession::LogOn(const std::wstring& password)
{
    HWND logon = PageWith({IDC_LOGON_PASSWORD, IDC_LOGON_BUTTON});
    if (!logon)
        return L"(no logon page)";
    SetControlText(logon, IDC_LOGON_PASSWORD, password);
    return PressForMessage(logon, IDC_LOGON_BUTTON);
}

HWND ProgramSession::ShowPage(int navigationButton, std::initializer_list<int> pageControls)
{
    HWND page = PageWith(pageControls);
    Press(host_, navigationButton);
    if (!page || !testkit::PumpUntil([&] { return ShownPage() == page; }))
        return nullptr;
    return page;
}

std::wstring ProgramSession::PressForMessage(HWND page, int button)
{
    size_t before = boxes_.Count();
    Press(page, button);
    return boxes_.WaitForCount(before + 1) ? LastText() : std::wstring();
}

std::wstring ProgramSession::LastCaption() const
{
    auto shown = boxes_.Boxes();
    return shown.empty() ? std::wstring() : shown.back().caption;
}

std::wstring ProgramSession::LastText() const
{
    auto shown = boxes_.Boxes();
    return shown.empty() ? std::wstring() : shown.back().text;
}

bool ProgramSession::Close()
{
    if (!main_)
        return false;
    ::PostMessageW(main_, WM_COMMAND, IDCANCEL, 0);
    DWORD code = 1;
    return program_.WaitForExit(&code) && code == 0;
}

std::wstring ControlText(HWND page, int control)
{
    wchar_t text[512] = {};
    ::SendMessageW(::GetDlgItem(page, control), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

void SetControlText(HWND page, int control, const std::wstring& text)
{
    ::SendMessageW(::GetDlgItem(page, control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Press(HWND page, int button)
{
    ::PostMessageW(::GetDlgItem(page, button), BM_CLICK, 0, 0);
}

void Report(const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    std::printf("[e2e] ");
    std::vprintf(format, args);
    std::printf("\n");
    std::fflush(stdout);
    va_end(args);
}

} // namespace e2e
