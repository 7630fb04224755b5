#pragma once
#include "resource.h"
#include "ui/skin/CZendalDialog.h"

class CDlgFolderProtect : public CZendalDialog {
public:
    CDlgFolderProtect() : CZendalDialog(IDD_FOLDERPROTECT) {}
};
