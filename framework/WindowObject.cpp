#include "framework/WindowObject.h"

#include <commctrl.h>

namespace fw {

namespace {

const wchar_t kObjectProperty[] = L"ZendalWindowObject";
const UINT_PTR kSubclassId = 0x5A44;

} // namespace

WindowObject::~WindowObject()
{
    Detach();
}

WindowObject* WindowObject::FromHandle(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    return static_cast<WindowObject*>(::GetPropW(hwnd, kObjectProperty));
}

void WindowObject::Attach(HWND hwnd)
{
    hwnd_ = hwnd;
    ::SetPropW(hwnd, kObjectProperty, this);
}

void WindowObject::Detach()
{
    if (!hwnd_)
        return;
    if (subclassed_) {
        ::RemoveWindowSubclass(hwnd_, &WindowObject::SubclassProc, kSubclassId);
        subclassed_ = false;
    }
    if (::IsWindow(hwnd_) && FromHandle(hwnd_) == this)
        ::RemovePropW(hwnd_, kObjectProperty);
    hwnd_ = nullptr;
}

bool WindowObject::Subclass(HWND hwnd)
{
    if (!hwnd || hwnd_ || FromHandle(hwnd))
        return false;
    hwnd_ = hwnd;
    PreSubclassWindow();
    if (!::SetWindowSubclass(hwnd, &WindowObject::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        hwnd_ = nullptr;
        return false;
    }
    subclassed_ = true;
    Attach(hwnd);
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
    return ::DefSubclassProc(hwnd_, m.id, m.wParam, m.lParam);
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
        return ReflectToControl(m) || ProcessMessage(m);
    } catch (...) {
        return false;
    }
}

LRESULT CALLBACK WindowObject::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    auto* self = reinterpret_cast<WindowObject*>(data);
    if (msg == WM_NCDESTROY) {
        LRESULT result = ::DefSubclassProc(hwnd, msg, wParam, lParam);
        self->Detach();
        return result;
    }
    Message m{msg, wParam, lParam, 0};
    if (self->Route(m))
        return m.result;
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

} // namespace fw
