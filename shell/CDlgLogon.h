#pragma once
#include "framework/Dialog.h"
#include "resource.h"

class CDlgLogon : public fw::Dialog {
public:
    CDlgLogon() : fw::Dialog(IDD_LOGON) {}
};
