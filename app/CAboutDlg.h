#pragma once
#include "resource.h"
#include "ui/skin/CZendalButton.h"
#include "ui/skin/CZendalDialog.h"
#include "ui/skin/CZendalSplitLine.h"

class CAboutDlg : public CZendalDialog {
public:
    CAboutDlg() : CZendalDialog(IDD_ABOUTBOX) {}

protected:
    void DoDataExchange(fw::DataExchange& dx) override;

private:
    CZendalSplitLine splitLine_;
    CZendalButton okButton_;
};
