#pragma once
#include "resource.h"
#include "ui/skin/CZendalDialog.h"

class CDlgFileProtect : public CZendalDialog {
public:
    CDlgFileProtect() : CZendalDialog(IDD_FILEPROTECT) {}
};
