#pragma once
#include "protect/CDlgProtectPage.h"
#include "protect/ProtectPageTable.h"

// The folder protection page.
class CDlgFolderProtect : public CDlgProtectPage {
public:
    CDlgFolderProtect() : CDlgProtectPage(kFolderProtectTable) {}
};
