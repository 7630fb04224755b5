#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace testkit {

class TempProgramFolder;

// The real program started from a program folder, as a user starts it.
// Ended (terminated if still running) when the object goes away.
class RunningProgram {
public:
    explicit RunningProgram(const TempProgramFolder& folder);
    // The program in any folder laid out as a user receives it (an unpacked release).
    explicit RunningProgram(const std::wstring& folderPath);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool Started() const { return started_; }
    DWORD Id() const { return process_.dwProcessId; }
    // The visible main window (found by its title), or null after the limit.
    HWND WaitForMainWindow() const;
    // Waits until the layered frame shows on screen: it takes the mouse only then.
    bool WaitForFrameOnScreen(HWND main) const;
    // The page host: the visible window owned by the main window that holds
    // the navigation column, once it lies above the frame.
    HWND WaitForPageHost(HWND main) const;
    bool WaitForExit(DWORD* exitCode) const;
    // Asks the main window to close (Escape) and waits for the process to end.
    bool Close(HWND main) const;
    bool Running() const;

private:
    bool started_ = false;
    PROCESS_INFORMATION process_{};
};

// The dialog windows among a window's children (the page host's pages).
std::vector<HWND> ChildDialogs(HWND parent);

} // namespace testkit
