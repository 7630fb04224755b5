#pragma once
#include "framework/Message.h"
#include "framework/Window.h"

namespace fw {

// A window whose messages reach a C++ object: a dialog, or a control
// subclassed into its wrapper. The object does not own the window; when the
// window goes away first the object simply lets go of it, and when the object
// goes away first it removes itself from the window.
class WindowObject : public Window {
public:
    WindowObject() = default;
    virtual ~WindowObject();
    WindowObject(const WindowObject&) = delete;
    WindowObject& operator=(const WindowObject&) = delete;

    // The object attached to a window, or null.
    static WindowObject* FromHandle(HWND hwnd);

    // Subclasses an existing window (usually a dialog control) into this object.
    bool Subclass(HWND hwnd);
    bool SubclassItem(HWND dialog, int id) { return Subclass(::GetDlgItem(dialog, id)); }
    void Unsubclass();

    // Runs the message map; returns whether the message was handled.
    virtual bool ProcessMessage(Message& m);

protected:
    // Called just before the window is subclassed (its styles can still be changed).
    virtual void PreSubclassWindow() {}
    // The window's previous procedure for the message being handled now.
    LRESULT DefaultProcessing(const Message& m);

    // Hands the message to the map, reflecting control messages to their
    // controls first. Catches everything: exceptions never leave a window procedure.
    bool Route(Message& m);
    void Attach(HWND hwnd);
    void Detach();

private:
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM);
    static bool ReflectToControl(Message& m);

    bool subclassed_ = false;
};

} // namespace fw
