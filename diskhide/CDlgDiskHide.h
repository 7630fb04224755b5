#pragma once
#include "resource.h"
#include "ui/skin/CZendalDialog.h"

class CDlgDiskHide : public CZendalDialog {
public:
    CDlgDiskHide() : CZendalDialog(IDD_DISKHIDE) {}
};
