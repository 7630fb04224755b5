#pragma once
#include "resource.h"
#include "ui/skin/CZendalButton.h"
#include "ui/skin/CZendalCheckBox.h"
#include "ui/skin/CZendalColorFrame.h"
#include "ui/skin/CZendalDialog.h"
#include "ui/skin/CZendalEdit.h"

// What the file and the folder protection pages share: their templates carry
// the same controls under the same ids.
class CDlgProtectPage : public CZendalDialog {
public:
    explicit CDlgProtectPage(UINT templateId) : CZendalDialog(templateId) {}

protected:
    void DoDataExchange(fw::DataExchange& dx) override;

private:
    CZendalButton browse_;
    CZendalEdit path_;
    CZendalCheckBox modeO_;
    CZendalCheckBox modeW_;
    CZendalCheckBox modeI_;
    CZendalButton add_;
    CZendalColorFrame listFrame_;
};
