#include "framework/Dialog.h"

#include "framework/App.h"
#include "framework/DataExchange.h"

namespace fw {

Dialog::~Dialog()
{
    if (!modal_ && hwnd_ && ::IsWindow(hwnd_))
        ::DestroyWindow(hwnd_);
}

INT_PTR Dialog::DoModal(HWND owner)
{
    modal_ = true;
    return ::DialogBoxParamW(App::ResourceInstance(), MAKEINTRESOURCEW(templateId_), owner,
                             &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

bool Dialog::Create(HWND parent)
{
    modal_ = false;
    HWND hwnd = ::CreateDialogParamW(App::ResourceInstance(), MAKEINTRESOURCEW(templateId_), parent,
                                     &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
    return hwnd != nullptr;
}

void Dialog::EndDialog(INT_PTR result)
{
    if (modal_)
        ::EndDialog(hwnd_, result);
    else
        ::DestroyWindow(hwnd_);
}

bool Dialog::ProcessMessage(Message& m)
{
    // Enter and Escape end a modal dialog; modeless pages ignore them.
    if (m.id != WM_COMMAND || HIWORD(m.wParam) != BN_CLICKED)
        return false;
    UINT id = LOWORD(m.wParam);
    if (id != IDOK && id != IDCANCEL)
        return false;
    if (modal_)
        EndDialog(id);
    m.result = 0;
    return true;
}

BOOL Dialog::InitDialog(HWND hwnd)
{
    Attach(hwnd);
    try {
        DataExchange dx(hwnd);
        DoDataExchange(dx);
        return OnInitDialog();
    } catch (...) {
        return TRUE;
    }
}

bool Dialog::ReturnsResultDirectly(UINT msg)
{
    return (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) || msg == WM_COMPAREITEM ||
           msg == WM_VKEYTOITEM || msg == WM_CHARTOITEM || msg == WM_QUERYDRAGICON || msg == WM_INITDIALOG;
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG)
        return reinterpret_cast<Dialog*>(lParam)->InitDialog(hwnd);

    auto* self = static_cast<Dialog*>(FromHandle(hwnd));
    if (!self)
        return FALSE;
    if (msg == WM_NCDESTROY) {
        self->Detach();
        return FALSE;
    }
    Message m{msg, wParam, lParam, 0};
    if (!self->Route(m))
        return FALSE;
    if (ReturnsResultDirectly(msg))
        return static_cast<INT_PTR>(m.result);
    ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, m.result);
    return TRUE;
}

} // namespace fw
