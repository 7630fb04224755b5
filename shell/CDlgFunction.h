#pragma once
#include "framework/Dialog.h"
#include "resource.h"

class CDlgFunction : public fw::Dialog {
public:
    CDlgFunction() : fw::Dialog(IDD_FUNCTION) {}
};
