#pragma once
#include "support/TempProgramFolder.h"

#include <windows.h>

#include <vector>

namespace testkit {

// The real program started from a program folder, as a user starts it;
// ended (if still running) when the object goes away.
class RunningProgram {
public:
    explicit RunningProgram(const TempProgramFolder& folder);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool Started() const { return started_; }
    DWORD Id() const { return process_.dwProcessId; }
    // The main window, once the program shows it; null after the limit.
    HWND WaitForMainWindow() const;
    // The page host owned by the main window, once it is visible; null after the limit.
    HWND WaitForPageHost(HWND main) const;
    bool WaitForExit(DWORD* code) const;
    // Asks the main window to close and waits for the process to end.
    bool Close(HWND main) const;

private:
    bool started_ = false;
    PROCESS_INFORMATION process_{};
};

// The dialog windows among a window's children (the page host's pages).
std::vector<HWND> ChildDialogs(HWND parent);

} // namespace testkit
