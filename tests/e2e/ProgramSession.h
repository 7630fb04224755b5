#pragma once
#include "support/MessageBoxCatcher.h"
#include "support/RunningProgram.h"

#include <windows.h>

#include <initializer_list>
#include <string>

namespace e2e {

// The real program started from a program folder and driven only from
// outside: its windows are found by their titles and template controls, its
// buttons pressed with posted clicks, its message boxes answered and read.
class ProgramSession {
public:
    explicit ProgramSession(const std::wstring& folderPath);
    ProgramSession(const ProgramSession&) = delete;
    ProgramSession& operator=(const ProgramSession&) = delete;

    // The main window and the page host with its eight pages are there.
    bool Ready() const { return host_ != nullptr; }
    HWND Main() const { return main_; }
    HWND Host() const { return host_; }
    const testkit::RunningProgram& Program() const { return program_; }

    // The page that holds every one of these template controls, or null.
    HWND PageWith(std::initializer_list<int> controls) const;
    HWND ShownPage() const;

    // Types the password on the logon page, presses "登录" and returns the box's text.
    std::wstring LogOn(const std::wstring& password);
    // Presses a navigation button and waits until the page holding the
    // controls is the one shown.
    HWND ShowPage(int navigationButton, std::initializer_list<int> pageControls);

    // Posts a click on a page's button and waits for the next message box;
    // returns its text (empty when none came).
    std::wstring PressForMessage(HWND page, int button);
    // The caption and the text of the last message box answered.
    std::wstring LastCaption() const;
    std::wstring LastText() const;
    size_t MessageCount() const { return boxes_.Count(); }

    bool Close();

private:
    testkit::RunningProgram program_;
    testkit::MessageBoxCatcher boxes_;
    HWND main_ = nullptr;
    HWND host_ = nullptr;
};

// A page control's text, read across the process boundary.
std::wstring ControlText(HWND page, int control);
void SetControlText(HWND page, int control, const std::wstring& text);
// Posts BM_CLICK to a page's button.
void Press(HWND page, int button);
// What the scenario checked, on stdout, so that a run shows it.
void Report(const char* format, ...);

} // namespace e2e
