#pragma once
#include <windows.h>

#include <atomic>

// The process-wide flag of one worker kind: set while its one thread runs,
// so that a second start is ignored. It also carries a stop request, which
// only the page makes when its window goes away; a run otherwise always goes
// to its end.
class BusyFlag {
public:
    BusyFlag() = default;
    BusyFlag(const BusyFlag&) = delete;
    BusyFlag& operator=(const BusyFlag&) = delete;

    // Sets the flag and starts proc(parameter) on a thread of its own, unless
    // the flag is set already. The caller does not wait for the thread.
    void Start(LPTHREAD_START_ROUTINE proc, void* parameter);
    bool IsSet() const { return busy_; }
    // The worker's last step: after it the worker touches nothing of the page.
    void Clear()
    {
        stopRequested_ = false;
        busy_ = false;
    }

    // Asks the running worker, if any, to end early.
    void RequestStop()
    {
        if (busy_)
            stopRequested_ = true;
    }
    bool StopRequested() const { return stopRequested_; }

private:
    std::atomic<bool> busy_{false};
    std::atomic<bool> stopRequested_{false};
};
