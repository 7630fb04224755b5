#pragma once
#include "framework/Message.h"

// Message maps: a window class lists its handlers once, in its ProcessMessage
// override, as typed entries:
//
//   bool CMyPage::ProcessMessage(fw::Message& m)
//   {
//       return fw::Dispatch(this, m,
//                  fw::OnMessage(WM_PAINT, &CMyPage::OnPaint),
//                  fw::OnCommand(IDOK, &CMyPage::OnIgnore),
//                  fw::OnNotify(IDC_TREELIST, NM_RCLICK, &CMyPage::OnListRightClick))
//           || Base::ProcessMessage(m);
//   }
//
// The first entry that matches handles the message.
namespace fw {

namespace detail {

template <class T>
bool Call(T* self, bool (T::*fn)(Message&), Message& m) { return (self->*fn)(m); }

template <class T>
bool Call(T* self, LRESULT (T::*fn)(WPARAM, LPARAM), Message& m)
{
    m.result = (self->*fn)(m.wParam, m.lParam);
    return true;
}

template <class T>
bool Call(T* self, void (T::*fn)(), Message& m)
{
    (self->*fn)();
    m.result = 0;
    return true;
}

} // namespace detail

// A message, handled by one of three signatures:
//   void Handler()                      — handled, result 0;
//   LRESULT Handler(WPARAM, LPARAM)      — handled, with that result;
//   bool Handler(fw::Message&)          — returns whether it handled it.
template <class T, class Fn>
struct MessageEntry {
    UINT msg;
    Fn T::*fn;
    bool Handle(T* self, Message& m) const { return m.id == msg && detail::Call(self, fn, m); }
};

template <class T, class Fn>
MessageEntry<T, Fn> OnMessage(UINT msg, Fn T::*fn) { return {msg, fn}; }

// WM_COMMAND from a control or menu item: the id and, optionally, one
// notification code (any code when omitted).
template <class T>
struct CommandEntry {
    UINT id;
    int code;
    void (T::*fn)();
    bool Handle(T* self, Message& m) const
    {
        if (m.id != WM_COMMAND || LOWORD(m.wParam) != id)
            return false;
        if (code >= 0 && HIWORD(m.wParam) != static_cast<UINT>(code))
            return false;
        (self->*fn)();
        m.result = 0;
        return true;
    }
};

template <class T>
CommandEntry<T> OnCommand(UINT id, void (T::*fn)()) { return {id, -1, fn}; }

template <class T>
CommandEntry<T> OnCommand(UINT id, UINT code, void (T::*fn)()) { return {id, static_cast<int>(code), fn}; }

// WM_NOTIFY from the control with this id and this notification code.
template <class T>
struct NotifyEntry {
    UINT_PTR id;
    UINT code;
    LRESULT (T::*fn)(NMHDR*);
    bool Handle(T* self, Message& m) const
    {
        if (m.id != WM_NOTIFY)
            return false;
        auto* header = reinterpret_cast<NMHDR*>(m.lParam);
        if (header->idFrom != id || header->code != code)
            return false;
        m.result = (self->*fn)(header);
        return true;
    }
};

template <class T>
NotifyEntry<T> OnNotify(UINT_PTR id, UINT code, LRESULT (T::*fn)(NMHDR*)) { return {id, code, fn}; }

// WM_CTLCOLORMSGBOX … WM_CTLCOLORSTATIC, as HBRUSH Handler(HDC, HWND control, UINT kind)
// with kind one of the CTLCOLOR_* values; a null brush leaves the request to
// default processing. OnReflectedCtlColor matches the form reflected to a control.
template <class T>
struct CtlColorEntry {
    UINT base;
    HBRUSH (T::*fn)(HDC, HWND, UINT);
    bool Handle(T* self, Message& m) const
    {
        if (m.id < base + WM_CTLCOLORMSGBOX || m.id > base + WM_CTLCOLORSTATIC)
            return false;
        UINT kind = m.id - base - WM_CTLCOLORMSGBOX;
        HBRUSH brush = (self->*fn)(reinterpret_cast<HDC>(m.wParam), reinterpret_cast<HWND>(m.lParam), kind);
        m.result = reinterpret_cast<LRESULT>(brush);
        return brush != nullptr;
    }
};

template <class T>
CtlColorEntry<T> OnCtlColor(HBRUSH (T::*fn)(HDC, HWND, UINT)) { return {0, fn}; }

template <class T>
CtlColorEntry<T> OnReflectedCtlColor(HBRUSH (T::*fn)(HDC, HWND, UINT)) { return {kReflectedBase, fn}; }

// The owner-draw request a parent reflects to the button or static it is about.
template <class T>
struct DrawItemEntry {
    void (T::*fn)(const DRAWITEMSTRUCT&);
    bool Handle(T* self, Message& m) const
    {
        if (m.id != Reflected(WM_DRAWITEM))
            return false;
        (self->*fn)(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.lParam));
        m.result = TRUE;
        return true;
    }
};

template <class T>
DrawItemEntry<T> OnDrawItem(void (T::*fn)(const DRAWITEMSTRUCT&)) { return {fn}; }

// A control's own WM_COMMAND notification (BN_CLICKED, STN_CLICKED, …),
// reflected back to it by its parent. The parent then does not see it.
template <class T>
struct ReflectedCommandEntry {
    UINT code;
    void (T::*fn)();
    bool Handle(T* self, Message& m) const
    {
        if (m.id != Reflected(WM_COMMAND) || HIWORD(m.wParam) != code)
            return false;
        (self->*fn)();
        m.result = 0;
        return true;
    }
};

template <class T>
ReflectedCommandEntry<T> OnReflectedCommand(UINT code, void (T::*fn)()) { return {code, fn}; }

template <class T, class... Entries>
bool Dispatch(T* self, Message& m, const Entries&... entries)
{
    return (entries.Handle(self, m) || ...);
}

} // namespace fw
