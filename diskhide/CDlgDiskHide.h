#pragma once
#include "resource.h"
#include "ui/skin/CZendalButton.h"
#include "ui/skin/CZendalCheckBox.h"
#include "ui/skin/CZendalColorFrame.h"
#include "ui/skin/CZendalDialog.h"

// The disk hiding page: which drive letters the shell hides.
class CDlgDiskHide : public CZendalDialog {
public:
    CDlgDiskHide() : CZendalDialog(IDD_DISKHIDE) {}

protected:
    void DoDataExchange(fw::DataExchange& dx) override;

private:
    CZendalCheckBox unusable_;
    CZendalButton save_;
    CZendalColorFrame listFrame_;
};
