#pragma once
#include "framework/Dialog.h"
#include "resource.h"

class CDlgCrush : public fw::Dialog {
public:
    CDlgCrush() : fw::Dialog(IDD_CRUSH) {}
};
