#pragma once
#include "framework/Edit.h"
#include "resource.h"
#include "ui/skin/CZendalButton.h"
#include "ui/skin/CZendalDialog.h"

#include <string>

// The page shown at start: compares the entered text with the stored password.
class CDlgLogon : public CZendalDialog {
public:
    CDlgLogon() : CZendalDialog(IDD_LOGON) {}

    bool ProcessMessage(fw::Message& m) override;

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    BOOL OnInitDialog() override;

private:
    void OnLogon();

    fw::Edit passwordEdit_;
    CZendalButton logonButton_;
    std::wstring settingsFile_;
};
