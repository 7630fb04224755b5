#pragma once
#include "resource.h"
#include "ui/skin/CZendalDialog.h"

class CDlgFunction : public CZendalDialog {
public:
    CDlgFunction() : CZendalDialog(IDD_FUNCTION) {}
};
