#pragma once
#include "protect/CDlgProtectPage.h"

// The folder protection page.
class CDlgFolderProtect : public CDlgProtectPage {
public:
    CDlgFolderProtect() : CDlgProtectPage(IDD_FOLDERPROTECT) {}
};
