#pragma once
#include "resource.h"
#include "ui/skin/CZendalButton.h"
#include "ui/skin/CZendalColorFrame.h"
#include "ui/skin/CZendalComboBox.h"
#include "ui/skin/CZendalDialog.h"
#include "ui/skin/CZendalEdit.h"
#include "ui/skin/CZendalProgressCtrl.h"

// The encryption page: encrypts or decrypts one file or every file of a folder.
class CDlgEncrypt : public CZendalDialog {
public:
    CDlgEncrypt() : CZendalDialog(IDD_ENCRYPT) {}

protected:
    void DoDataExchange(fw::DataExchange& dx) override;

private:
    CZendalComboBox operation_;
    CZendalEdit password_;
    CZendalEdit confirm_;
    CZendalButton browse_;
    CZendalButton start_;
    CZendalProgressCtrl progress_;
    CZendalColorFrame listFrame_;
};
