#pragma once
#include "protect/CDlgProtectPage.h"

// The file protection page.
class CDlgFileProtect : public CDlgProtectPage {
public:
    CDlgFileProtect() : CDlgProtectPage(IDD_FILEPROTECT) {}
};
