#pragma once
#include "resource.h"
#include "ui/skin/CZendalDialog.h"

class CDlgCrush : public CZendalDialog {
public:
    CDlgCrush() : CZendalDialog(IDD_CRUSH) {}
};
