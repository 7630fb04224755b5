#pragma once
#include "framework/WorkerThread.h"

#include <atomic>
#include <string>

// 1 while a shredding run is active: set by StartCrush, cleared by the
// worker as its last step.
extern std::atomic<int> CrushBusy;

// What a shredding run works on, taken from the page when it starts.
struct CrushJob {
    std::wstring path;
};

// The shredding worker: overwrites the job's file with zero bytes over its
// whole length and deletes it, showing the progress on the screen. A file
// that cannot be opened, overwritten or deleted stays, and the screen says
// that the operation failed.
class CThreadCrush {
public:
    CThreadCrush() = default;
    virtual ~CThreadCrush() = default;
    CThreadCrush(const CThreadCrush&) = delete;
    CThreadCrush& operator=(const CThreadCrush&) = delete;

    // Starts the worker unless a run is active; returns whether it started.
    // The caller does not wait.
    bool StartCrush(const CrushJob& job, fw::WorkerScreen& screen);

private:
    static fw::WorkerEnd Crush(const CrushJob& job, fw::WorkerScreen& screen);
    // 1 when the file was opened and every zero byte written and flushed, 0 otherwise.
    static int OverwriteFile(const std::wstring& path, fw::WorkerScreen& screen);
};
