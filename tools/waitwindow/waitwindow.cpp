// waitwindow TITLE [SECONDS]: waits until a visible top-level window with
// this title exists and has painted, for scripts that show the program.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    DWORD limitMs = (argc > 2 ? static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)) : 60) * 1000;
    DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < limitMs) {
        HWND hwnd = ::FindWindowW(nullptr, argv[1]);
        if (hwnd && ::IsWindowVisible(hwnd)) {
            // A message sent to the window returns once its thread is idle
            // again, that is after its start-up has run.
            DWORD_PTR result = 0;
            ::SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, limitMs, &result);
            return 0;
        }
        ::Sleep(50);
    }
    return 1;
}
