#pragma once
#include "framework/Dialog.h"
#include "resource.h"

class CDlgFolderProtect : public fw::Dialog {
public:
    CDlgFolderProtect() : fw::Dialog(IDD_FOLDERPROTECT) {}
};
