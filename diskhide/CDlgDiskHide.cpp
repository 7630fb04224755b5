#include "diskhide/CDlgDiskHide.h"

#include "framework/DataExchange.h"

void CDlgDiskHide::DoDataExchange(fw::DataExchange& dx)
{
    dx.Control(IDC_DISKHIDE_UNUSABLE, unusable_);
    dx.Control(IDC_DISKHIDE_SAVE, save_);
    dx.Control(IDC_DISKHIDE_FRAME, listFrame_);
}
