#include "framework/WindowObject.h"

#include "framework/CrossThreadWindow.h"

#include <mutex>
#include <unordered_map>

namespace fw {

namespace {

// Which object each window belongs to, and the procedure a subclassed window
// had before. Kept in the process rather than in window properties or the
// common controls' subclass chain: under Wine each of those lookups is a
// round trip to the server (about 30 us), paid by every message of every
// wrapped control, where a native Windows pays almost nothing.
struct Binding {
    WindowObject* object = nullptr;
    WNDPROC previous = nullptr; // null for a window that was not subclassed
};

std::mutex& BindingsLock()
{
    static std::mutex lock;
    return lock;
}

std::unordered_map<HWND, Binding>& Bindings()
{
    static std::unordered_map<HWND, Binding> bindings;
    return bindings;
}

Binding Lookup(HWND hwnd)
{
    std::lock_guard<std::mutex> hold(BindingsLock());
    auto found = Bindings().find(hwnd);
    return found == Bindings().end() ? Binding{} : found->second;
}

} // namespace

WindowObject::~WindowObject()
{
    Detach();
}

WindowObject* WindowObject::FromHandle(HWND hwnd)
{
    return hwnd ? Lookup(hwnd).object : nullptr;
}

void WindowObject::Attach(HWND hwnd)
{
    hwnd_ = hwnd;
    std::lock_guard<std::mutex> hold(BindingsLock());
    Bindings()[hwnd].object = this;
}

// A window subclassed again by someone else after us keeps our procedure in
// its chain: the binding then stays, without its object, so that messages
// still reach the procedure before ours.
void WindowObject::Detach()
{
    if (!hwnd_)
        return;
    std::lock_guard<std::mutex> hold(BindingsLock());
    auto found = Bindings().find(hwnd_);
    if (found != Bindings().end() && found->second.object == this) {
        bool ours = ::GetWindowLongPtrW(hwnd_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&SubclassProc);
        if (!subclassed_ || !::IsWindow(hwnd_))
            Bindings().erase(found);
        else if (ours) {
            ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(found->second.previous));
            Bindings().erase(found);
        } else
            found->second.object = nullptr;
    }
    subclassed_ = false;
    hwnd_ = nullptr;
}

bool WindowObject::Subclass(HWND hwnd)
{
    if (!hwnd || hwnd_ || FromHandle(hwnd))
        return false;
    hwnd_ = hwnd;
    PreSubclassWindow();
    {
        std::lock_guard<std::mutex> hold(BindingsLock());
        Binding& binding = Bindings()[hwnd];
        binding.object = this;
        if (binding.previous) {
            // Our procedure is still in the window's chain: it serves again.
            subclassed_ = true;
            return true;
        }
        binding.previous = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    }
    if (!::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc))) {
        std::lock_guard<std::mutex> hold(BindingsLock());
        Bindings().erase(hwnd);
        hwnd_ = nullptr;
        return false;
    }
    subclassed_ = true;
    return true;
}

void WindowObject::Unsubclass()
{
    Detach();
}

bool WindowObject::ProcessMessage(Message&)
{
    return false;
}

LRESULT WindowObject::DefaultProcessing(const Message& m)
{
    WNDPROC previous = Lookup(hwnd_).previous;
    if (!previous)
        return ::DefWindowProcW(hwnd_, m.id, m.wParam, m.lParam);
    return ::CallWindowProcW(previous, hwnd_, m.id, m.wParam, m.lParam);
}

bool WindowObject::ReflectToControl(Message& m)
{
    HWND control = nullptr;
    if (m.id >= WM_CTLCOLORMSGBOX && m.id <= WM_CTLCOLORSTATIC)
        control = reinterpret_cast<HWND>(m.lParam);
    else if (m.id == WM_DRAWITEM)
        control = reinterpret_cast<const DRAWITEMSTRUCT*>(m.lParam)->hwndItem;
    else if (m.id == WM_COMMAND && m.lParam != 0)
        control = reinterpret_cast<HWND>(m.lParam);
    WindowObject* target = FromHandle(control);
    if (!target)
        return false;
    Message reflected{Reflected(m.id), m.wParam, m.lParam, 0};
    if (!target->ProcessMessage(reflected))
        return false;
    m.result = reflected.result;
    return true;
}

bool WindowObject::Route(Message& m)
{
    try {
        return CrossThreadWindow::RunCarriedWork(m) || ReflectToControl(m) || ProcessMessage(m);
    } catch (...) {
        return false;
    }
}

LRESULT CALLBACK WindowObject::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Binding binding = Lookup(hwnd);
    if (!binding.previous)
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        LRESULT result = ::CallWindowProcW(binding.previous, hwnd, msg, wParam, lParam);
        std::lock_guard<std::mutex> hold(BindingsLock());
        auto found = Bindings().find(hwnd);
        if (found != Bindings().end()) {
            if (WindowObject* self = found->second.object) {
                self->subclassed_ = false;
                self->hwnd_ = nullptr;
            }
            Bindings().erase(found);
        }
        return result;
    }
    Message m{msg, wParam, lParam, 0};
    if (binding.object && binding.object->Route(m))
        return m.result;
    return ::CallWindowProcW(binding.previous, hwnd, msg, wParam, lParam);
}

} // namespace fw
