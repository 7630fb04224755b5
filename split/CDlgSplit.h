#pragma once
#include "framework/Dialog.h"
#include "resource.h"

class CDlgSplit : public fw::Dialog {
public:
    CDlgSplit() : fw::Dialog(IDD_SPLIT) {}
};
