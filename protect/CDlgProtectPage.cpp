#include "protect/CDlgProtectPage.h"

#include "framework/DataExchange.h"

void CDlgProtectPage::DoDataExchange(fw::DataExchange& dx)
{
    dx.Control(IDC_PROTECT_BROWSE, browse_);
    dx.Control(IDC_PROTECT_PATH, path_);
    dx.Control(IDC_PROTECT_MODE_O, modeO_);
    dx.Control(IDC_PROTECT_MODE_W, modeW_);
    dx.Control(IDC_PROTECT_MODE_I, modeI_);
    dx.Control(IDC_PROTECT_ADD, add_);
    dx.Control(IDC_PROTECT_FRAME, listFrame_);
}
