#pragma once
#include "resource.h"
#include "ui/skin/CZendalDialog.h"

class CDlgSplit : public CZendalDialog {
public:
    CDlgSplit() : CZendalDialog(IDD_SPLIT) {}
};
