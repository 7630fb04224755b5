#pragma once
#include "protect/CDlgProtectPage.h"
#include "protect/ProtectPageTable.h"

// The file protection page.
class CDlgFileProtect : public CDlgProtectPage {
public:
    CDlgFileProtect() : CDlgProtectPage(kFileProtectTable) {}
};
