#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

namespace fw {

// What a worker may do to the page it works for, from its own thread. Each
// call is carried out on the page's thread before it returns; once the page
// window is gone the calls do nothing.
class WorkerScreen {
public:
    // The page's inputs that could start a run or change what it works on.
    virtual void EnableInputs(bool enabled) = 0;
    // A whole percentage, 0–100.
    virtual void ShowProgress(int percent) = 0;
    virtual void Say(const std::wstring& text, const std::wstring& caption) = 0;
    // Tells the user that the run failed.
    virtual void ReportFailure() = 0;
    virtual bool IsOpen() const = 0;

protected:
    ~WorkerScreen() = default;
};

enum class WorkerEnd { kDone, kFailed };

// A worker that shows its progress starts the page's bar at 0 and leaves it
// at 100; one that does not leaves the bar alone.
enum class WorkerProgress { kShown, kLeftAlone };

// Each kind of background work has one process-wide busy flag: 1 from the
// start until the worker's last step clears it.

// Unless busy is set already: sets it and, on a new thread, disables the
// screen's inputs, runs work (a failed run, or one that throws, is reported
// on the screen), enables the inputs again and clears busy as its last step.
// Returns whether a worker started; the caller does not wait. The screen must
// outlive the run (its page waits with WaitWhileBusy).
bool StartWorker(std::atomic<int>& busy, WorkerScreen& screen, WorkerProgress progress,
                 std::function<WorkerEnd()> work);

// Waits until busy is clear. Messages that other threads send to this
// thread's windows are answered meanwhile, since a worker may be waiting for one.
void WaitWhileBusy(const std::atomic<int>& busy);

} // namespace fw
