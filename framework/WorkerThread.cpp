#include "framework/WorkerThread.h"

#include "framework/UniqueHandle.h"

namespace fw {

bool StartWorker(std::atomic<int>& busy, LPTHREAD_START_ROUTINE entry, void* parameter)
{
    int idle = 0;
    if (!busy.compare_exchange_strong(idle, 1))
        return false;
    KernelHandle thread(::CreateThread(nullptr, 0, entry, parameter, 0, nullptr));
    if (!thread) {
        busy = 0;
        return false;
    }
    return true;
}

void WaitWhileBusy(const std::atomic<int>& busy)
{
    while (busy != 0) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

} // namespace fw
