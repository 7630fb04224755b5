#pragma once
#include <windows.h>

#include <atomic>

namespace fw {

// Each kind of background work has one process-wide busy flag: 1 from the
// start until the worker's last step clears it.

// Sets busy and runs entry(parameter) on a new thread, unless busy is set
// already. Returns whether a worker started.
bool StartWorker(std::atomic<int>& busy, LPTHREAD_START_ROUTINE entry, void* parameter);

// Waits until busy is clear. Messages that other threads send to this
// thread's windows are answered meanwhile, since a worker may be waiting for one.
void WaitWhileBusy(const std::atomic<int>& busy);

} // namespace fw
