#pragma once
#include "resource.h"
#include "ui/skin/CZendalButton.h"
#include "ui/skin/CZendalDialog.h"
#include "ui/skin/CZendalEdit.h"
#include "ui/skin/CZendalSplitLine.h"

// The settings page: pause and resume protection, set the logon password.
class CDlgFunction : public CZendalDialog {
public:
    CDlgFunction() : CZendalDialog(IDD_FUNCTION) {}

protected:
    void DoDataExchange(fw::DataExchange& dx) override;

private:
    CZendalButton restore_;
    CZendalButton stop_;
    CZendalEdit oldPassword_;
    CZendalEdit newPassword_;
    CZendalEdit confirmPassword_;
    CZendalButton save_;
    CZendalSplitLine protectLine_;
    CZendalSplitLine passwordLine_;
};
