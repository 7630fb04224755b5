#pragma once
#include <windows.h>

#include <atomic>

// The background worker the page host starts once per run. It makes no
// network request; it only counts the program's launches in
// "\zdl\ZendalCommon.zdl".
class CZendalWebVisit {
public:
    // Starts the worker on its own thread unless one is running already.
    void Start(HWND pageHost);
    // Called when the page host goes away.
    static void ClearRunning() { running = 0; }

    static std::atomic<int> running;

private:
    static DWORD WINAPI ThreadProc(LPVOID param);
    static void CountLaunch();
};
