#pragma once
#include "framework/Window.h"

#include <windows.h>

#include <string>

namespace fw {

// The application object: one per process, constructed as a global. The
// entry point calls InitInstance, which runs the whole program (a modal main
// window has its own loop); the process ends when it returns.
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

    virtual void InitInstance() {}
    // The process's exit code: 0, or 1 when InitInstance threw.
    int Start();

    // The application's main window: the owner of windows that have no other
    // (the path picker). Registered as an object, since a modal main window
    // has its handle only while it runs; null when none is registered or its
    // window is not there.
    HWND MainWindow() const { return mainWindow_ ? mainWindow_->Handle() : nullptr; }
    void SetMainWindow(const Window* window) { mainWindow_ = window; }

private:
    const Window* mainWindow_ = nullptr;
};

} // namespace fw
