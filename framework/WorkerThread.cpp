#include "framework/WorkerThread.h"

#include "framework/UniqueHandle.h"

#include <memory>

namespace fw {

namespace {

const int kProgressStart = 0;
const int kProgressEnd = 100;
const DWORD kBusyPollMs = 10;

// Everything a worker thread needs, owned by the thread once it runs.
struct WorkerRun {
    std::atomic<int>& busy;
    WorkerScreen& screen;
    WorkerProgress progress;
    std::function<WorkerEnd()> work;
};

WorkerEnd RunGuarded(const std::function<WorkerEnd()>& work)
{
    try {
        return work();
    } catch (...) {
        // Nothing leaves the thread; the page is given back in any case.
        return WorkerEnd::kFailed;
    }
}

DWORD WINAPI WorkerMain(LPVOID parameter)
{
    std::unique_ptr<WorkerRun> run(static_cast<WorkerRun*>(parameter));
    std::atomic<int>& busy = run->busy;
    WorkerScreen& screen = run->screen;
    const bool shown = run->progress == WorkerProgress::kShown;
    screen.EnableInputs(false);
    if (shown)
        screen.ShowProgress(kProgressStart);
    if (RunGuarded(run->work) == WorkerEnd::kFailed)
        screen.ReportFailure();
    screen.EnableInputs(true);
    if (shown)
        screen.ShowProgress(kProgressEnd);
    // The job goes before the flag: a page waiting for the flag may go next.
    run.reset();
    busy = 0;
    return 1;
}

} // namespace

bool StartWorker(std::atomic<int>& busy, WorkerScreen& screen, WorkerProgress progress,
                 std::function<WorkerEnd()> work)
{
    int idle = 0;
    if (!busy.compare_exchange_strong(idle, 1))
        return false;
    auto run = std::make_unique<WorkerRun>(WorkerRun{busy, screen, progress, std::move(work)});
    KernelHandle thread(::CreateThread(nullptr, 0, &WorkerMain, run.get(), 0, nullptr));
    if (!thread) {
        busy = 0;
        return false;
    }
    run.release();
    return true;
}

void WaitWhileBusy(const std::atomic<int>& busy)
{
    while (busy != 0) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kBusyPollMs, QS_SENDMESSAGE);
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

} // namespace fw
