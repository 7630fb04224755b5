#include "app/CZendalFileSaApp.h"

#include "app/CZendalFileSaDlg.h"

#include "app/GdiPlus.h"

#include <commctrl.h>

void CZendalFileSaApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
    ::InitCommonControlsEx(&controls);

    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    {
        CZendalFileSaDlg dlg;
        SetMainWindow(&dlg);
        dlg.DoModal(nullptr);
        SetMainWindow(nullptr);
    }
    Gdiplus::GdiplusShutdown(token);
}
