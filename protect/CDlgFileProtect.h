#pragma once
#include "framework/Dialog.h"
#include "resource.h"

class CDlgFileProtect : public fw::Dialog {
public:
    CDlgFileProtect() : fw::Dialog(IDD_FILEPROTECT) {}
};
