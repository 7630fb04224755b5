#pragma once
#include <windows.h>

#include <atomic>
#include <string>

class CDlgCrush;

// 1 while a shredding run is active: set by StartCrush, cleared by the
// worker as its last step.
extern std::atomic<int> CrushBusy;

// The shredding worker: overwrites the page's target file with zero bytes
// over its whole length and deletes it, showing the progress on the page. A
// file that cannot be opened, overwritten or deleted stays, and the page says
// that the operation failed.
class CThreadCrush {
public:
    CThreadCrush() = default;
    virtual ~CThreadCrush() = default;
    CThreadCrush(const CThreadCrush&) = delete;
    CThreadCrush& operator=(const CThreadCrush&) = delete;

    // Starts the worker on the page's targetPath unless a run is active;
    // returns whether it started. The caller does not wait.
    bool StartCrush(CDlgCrush& page);

    // The worker thread's body; the parameter is the page. Returns 1.
    static DWORD WINAPI CrushThreadProc(LPVOID page);

    // 1 when the file was opened and every zero byte written and flushed, 0 otherwise.
    static int OverwriteFile(CDlgCrush& page, const std::wstring& path);

private:
    static bool Crush(CDlgCrush& page);
};
