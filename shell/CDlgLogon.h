#pragma once
#include "resource.h"
#include "ui/skin/CZendalButton.h"
#include "ui/skin/CZendalDialog.h"
#include "ui/skin/CZendalEdit.h"

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

    CZendalEdit passwordEdit_;
    CZendalButton logonButton_;
    std::wstring settingsFile_;
};
