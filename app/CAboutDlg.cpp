#include "app/CAboutDlg.h"

#include "framework/DataExchange.h"

void CAboutDlg::DoDataExchange(fw::DataExchange& dx)
{
    dx.Control(IDC_ABOUT_SPLITLINE, splitLine_);
    dx.Control(IDOK, okButton_);
}
