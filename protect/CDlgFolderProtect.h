#pragma once
#include "protect/CDlgProtectPage.h"
#include "protect/ProtectPageTable.h"

// The folder protection page.
class CDlgFolderProtect : public CDlgProtectPage {
public:
    explicit CDlgFolderProtect(const ProtectDeviceSource& device) : CDlgProtectPage(kFolderProtectTable, device) {}
};
