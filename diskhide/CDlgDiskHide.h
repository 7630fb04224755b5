#pragma once
#include "framework/Dialog.h"
#include "resource.h"

class CDlgDiskHide : public fw::Dialog {
public:
    CDlgDiskHide() : fw::Dialog(IDD_DISKHIDE) {}
};
