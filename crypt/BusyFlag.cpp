#include "crypt/BusyFlag.h"

#include "framework/UniqueHandle.h"

void BusyFlag::Start(LPTHREAD_START_ROUTINE proc, void* parameter)
{
    if (busy_.exchange(true))
        return;
    stopRequested_ = false;
    fw::KernelHandle thread(::CreateThread(nullptr, 0, proc, parameter, 0, nullptr));
    // Without a thread nobody would clear the flag and the kind could never run again.
    if (!thread)
        busy_ = false;
}
