#pragma once
#include "protect/ProtectDeviceSource.h"
#include "resource.h"
#include "ui/skin/CZendalButton.h"
#include "ui/skin/CZendalDialog.h"
#include "ui/skin/CZendalEdit.h"
#include "ui/skin/CZendalSplitLine.h"

#include <string>

// The settings page: pause and resume protection, set the logon password.
// The device comes from the page host, which outlives the page.
class CDlgFunction : public CZendalDialog {
public:
    explicit CDlgFunction(const ProtectDeviceSource& device) : CZendalDialog(IDD_FUNCTION), device_(device) {}

    bool ProcessMessage(fw::Message& m) override;

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    BOOL OnInitDialog() override;

private:
    void OnStopProtection();
    void OnRestoreProtection();
    void OnSavePassword();
    // The first rule the three entries break, or null when the new password may be stored.
    const wchar_t* PasswordRefusal(const std::wstring& old, const std::wstring& entered,
                                   const std::wstring& confirmation) const;
    void ReportDriverResult(bool succeeded);
    void Tell(const wchar_t* text);

    const ProtectDeviceSource& device_;
    CZendalButton restore_;
    CZendalButton stop_;
    CZendalEdit oldPassword_;
    CZendalEdit newPassword_;
    CZendalEdit confirmPassword_;
    CZendalButton save_;
    CZendalSplitLine protectLine_;
    CZendalSplitLine passwordLine_;
    std::wstring settingsFile_;
};
