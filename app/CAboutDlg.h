#pragma once
#include "framework/Static.h"
#include "resource.h"
#include "ui/skin/CZendalButton.h"
#include "ui/skin/CZendalDialog.h"

class CAboutDlg : public CZendalDialog {
public:
    CAboutDlg() : CZendalDialog(IDD_ABOUTBOX) {}

protected:
    void DoDataExchange(fw::DataExchange& dx) override;

private:
    fw::Static splitLine_;
    CZendalButton okButton_;
};
