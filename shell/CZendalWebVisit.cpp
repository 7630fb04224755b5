#include "shell/CZendalWebVisit.h"

#include "framework/UniqueHandle.h"
#include "settings/SettingsFile.h"

#include <string>

std::atomic<int> CZendalWebVisit::running{0};

void CZendalWebVisit::Start(HWND)
{
    int expected = 0;
    if (!running.compare_exchange_strong(expected, 1))
        return;
    fw::KernelHandle thread(::CreateThread(nullptr, 0, &CZendalWebVisit::ThreadProc, nullptr, 0, nullptr));
    if (!thread)
        running = 0;
}

DWORD WINAPI CZendalWebVisit::ThreadProc(LPVOID)
{
    try {
        CountLaunch();
    } catch (...) {
    }
    return 0;
}

void CZendalWebVisit::CountLaunch()
{
    std::wstring file = GetProgramFolder() + L"\\zdl\\ZendalCommon.zdl";
    UINT count = ::GetPrivateProfileIntW(L"Visit", L"count", 0, file.c_str());
    ::WritePrivateProfileStringW(L"Visit", L"count", std::to_wstring(count + 1).c_str(), file.c_str());
}
