#pragma once
#include "protect/CDlgProtectPage.h"
#include "protect/ProtectPageTable.h"

// The file protection page.
class CDlgFileProtect : public CDlgProtectPage {
public:
    explicit CDlgFileProtect(const ProtectDeviceSource& device) : CDlgProtectPage(kFileProtectTable, device) {}
};
