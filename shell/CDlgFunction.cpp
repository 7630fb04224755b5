#include "shell/CDlgFunction.h"

#include "framework/App.h"
#include "framework/DataExchange.h"
#include "framework/MessageMap.h"
#include "protect/ProtectDriver.h"
#include "settings/PasswordEntry.h"
#include "settings/SettingsFile.h"

bool CDlgFunction::ProcessMessage(fw::Message& m)
{
    using Self = CDlgFunction;
    return fw::Dispatch(this, m,
                        fw::OnCommand(IDC_FUNCTION_STOP, BN_CLICKED, &Self::OnStopProtection),
                        fw::OnCommand(IDC_FUNCTION_RESTORE, BN_CLICKED, &Self::OnRestoreProtection),
                        fw::OnCommand(IDC_FUNCTION_SAVE, BN_CLICKED, &Self::OnSavePassword))
        || CZendalDialog::ProcessMessage(m);
}

void CDlgFunction::DoDataExchange(fw::DataExchange& dx)
{
    dx.Control(IDC_FUNCTION_RESTORE, restore_);
    dx.Control(IDC_FUNCTION_STOP, stop_);
    dx.Control(IDC_FUNCTION_OLD_PASSWORD, oldPassword_);
    dx.Control(IDC_FUNCTION_NEW_PASSWORD, newPassword_);
    dx.Control(IDC_FUNCTION_CONFIRM_PASSWORD, confirmPassword_);
    dx.Control(IDC_FUNCTION_SAVE, save_);
    dx.Control(IDC_FUNCTION_SPLITLINE_PROTECT, protectLine_);
    dx.Control(IDC_FUNCTION_SPLITLINE_PASSWORD, passwordLine_);
}

BOOL CDlgFunction::OnInitDialog()
{
    settingsFile_ = SettingsFilePath();
    return TRUE;
}

void CDlgFunction::Tell(const wchar_t* text)
{
    MessageBox(text, fw::App::Name());
}

void CDlgFunction::ReportDriverResult(bool succeeded)
{
    Tell(succeeded ? L"操作成功" : kFailedText);
}

void CDlgFunction::OnStopProtection()
{
    HANDLE device = device_.ProtectDevice();
    SetProtectSwitch(device, false);
    ReportDriverResult(SetFixedDrives(device, 0));
}

void CDlgFunction::OnRestoreProtection()
{
    HANDLE device = device_.ProtectDevice();
    SetProtectSwitch(device, true);
    ReportDriverResult(SetFixedDrives(device, ComputeFixedDriveWord()));
}

const wchar_t* CDlgFunction::PasswordRefusal(const std::wstring& old, const std::wstring& entered,
                                             const std::wstring& confirmation) const
{
    std::wstring stored = ReadPassword(settingsFile_);
    if (stored != kNoPasswordMarker && old != stored)
        return L"旧密码填写不正确";
    return PasswordProblemText(CheckPasswordEntry(entered, confirmation));
}

void CDlgFunction::OnSavePassword()
{
    std::wstring old = oldPassword_.Text();
    std::wstring entered = newPassword_.Text();
    std::wstring confirmation = confirmPassword_.Text();
    const wchar_t* refusal = PasswordRefusal(old, entered, confirmation);
    // A password that did not reach the file must not be reported as set:
    // the user would find no password at the next start.
    bool stored = !refusal && WritePassword(settingsFile_, entered);
    oldPassword_.SetText(L"");
    newPassword_.SetText(L"");
    confirmPassword_.SetText(L"");
    Tell(refusal ? refusal : stored ? L"密码设置成功" : kFailedText);
}
