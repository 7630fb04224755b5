#pragma once
#include <windows.h>
#include <string>

namespace fw {

// The application object: one per process, constructed as a global. The
// entry point calls InitInstance; when it returns true the application runs
// a message loop of its own, when false the process ends with ExitCode().
class App {
public:
    App();
    virtual ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    static App* Current();
    // The module whose resources hold the dialog templates and pictures.
    static HINSTANCE ResourceInstance();
    // The executable's file name without folder and extension; the caption of
    // the program's message boxes.
    static std::wstring Name();

    virtual bool InitInstance() { return true; }
    int Start();

    HWND MainWindow() const { return mainWindow_; }
    void SetMainWindow(HWND hwnd) { mainWindow_ = hwnd; }

protected:
    virtual int Run();
    int exitCode_ = 0;

private:
    HWND mainWindow_ = nullptr;
};

} // namespace fw
