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
    ended_ = false;
    result_ = IDCANCEL;
    HWND hwnd = ::CreateDialogParamW(App::ResourceInstance(), MAKEINTRESOURCEW(templateId_), owner,
                                     &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (!hwnd)
        return -1;
    HWND ownerRoot = owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
    // EnableWindow answers whether the window was disabled already.
    bool disabledOwner = ownerRoot && !::EnableWindow(ownerRoot, FALSE);
    if (!ended_ && !::IsWindowVisible(hwnd))
        ::ShowWindow(hwnd, SW_SHOWNORMAL);
    RunModalLoop();
    // The owner comes back first, so that it is the window activated when this one goes.
    if (disabledOwner)
        ::EnableWindow(ownerRoot, TRUE);
    if (::IsWindow(hwnd))
        ::DestroyWindow(hwnd);
    return result_;
}

void Dialog::RunModalLoop()
{
    MSG msg;
    while (!ended_ && IsWindow()) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // WM_QUIT belongs to the loop outside this one.
            if (got == 0)
                ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (!TranslateDialogKeys(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

bool Dialog::TranslateDialogKeys(MSG& msg)
{
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || !msg.hwnd)
        return false;
    HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
    if (!dynamic_cast<Dialog*>(FromHandle(root)))
        return false;
    return ::IsDialogMessageW(root, &msg) != FALSE;
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
    if (!modal_) {
        ::DestroyWindow(hwnd_);
        return;
    }
    // The loop notices after the message being handled now; the posted
    // message wakes it when the call came from a message sent by another thread.
    result_ = result;
    ended_ = true;
    Post(WM_NULL);
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
    if (Style() & WS_CHILD)
        ModifyExStyle(0, WS_EX_CONTROLPARENT);
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
