#pragma once
#include "framework/Dialog.h"
#include "resource.h"

class CDlgEncrypt : public fw::Dialog {
public:
    CDlgEncrypt() : fw::Dialog(IDD_ENCRYPT) {}
};
