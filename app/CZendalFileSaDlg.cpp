#include "app/CZendalFileSaDlg.h"

#include "framework/MessageMap.h"
#include "resource.h"

namespace {

const int kPageHostLeft = 15;
const int kPageHostTop = 35;

} // namespace

CZendalFileSaDlg::CZendalFileSaDlg() : fw::Dialog(IDD_ZENDALFILESA_DIALOG) {}

bool CZendalFileSaDlg::ProcessMessage(fw::Message& m)
{
    using Self = CZendalFileSaDlg;
    return fw::Dispatch(this, m,
                        fw::OnCommand(IDOK, &Self::OnOk),
                        fw::OnCommand(IDCANCEL, &Self::OnClose),
                        fw::OnCommand(IDC_MAIN_CLOSE, &Self::OnClose),
                        fw::OnMessage(WM_MOVE, &Self::OnMove))
        || fw::Dialog::ProcessMessage(m);
}

BOOL CZendalFileSaDlg::OnInitDialog()
{
    SetText(L"云杉工坊文件安全 v1.07");

    RECT client = ClientRect();
    int x = (::GetSystemMetrics(SM_CXSCREEN) - (client.right - client.left)) / 2;
    int y = (::GetSystemMetrics(SM_CYSCREEN) - (client.bottom - client.top)) / 2;
    SetPosition(HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);

    pageHost_.Create(Handle());
    pageHost_.SetPosition(HWND_TOP, x + kPageHostLeft, y + kPageHostTop, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    return TRUE;
}

void CZendalFileSaDlg::OnClose()
{
    EndDialog(IDCANCEL);
}

LRESULT CZendalFileSaDlg::OnMove(WPARAM, LPARAM)
{
    if (pageHost_.IsWindow()) {
        RECT rc = WindowRect();
        pageHost_.SetPosition(HWND_TOP, rc.left + kPageHostLeft, rc.top + kPageHostTop, 0, 0,
                              SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    return 0;
}
