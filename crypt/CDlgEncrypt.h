#pragma once
#include "resource.h"
#include "ui/skin/CZendalDialog.h"

class CDlgEncrypt : public CZendalDialog {
public:
    CDlgEncrypt() : CZendalDialog(IDD_ENCRYPT) {}
};
