#include "shell/CDlgLogon.h"

#include "framework/App.h"
#include "framework/DataExchange.h"
#include "framework/MessageMap.h"
#include "settings/SettingsFile.h"
#include "shell/CDlgSubMain.h"

bool CDlgLogon::ProcessMessage(fw::Message& m)
{
    return fw::Dispatch(this, m, fw::OnCommand(IDC_LOGON_BUTTON, BN_CLICKED, &CDlgLogon::OnLogon))
        || CZendalDialog::ProcessMessage(m);
}

void CDlgLogon::DoDataExchange(fw::DataExchange& dx)
{
    dx.Control(IDC_LOGON_PASSWORD, passwordEdit_);
    dx.Control(IDC_LOGON_BUTTON, logonButton_);
}

BOOL CDlgLogon::OnInitDialog()
{
    settingsFile_ = SettingsFilePath();
    return TRUE;
}

void CDlgLogon::OnLogon()
{
    std::wstring entered = passwordEdit_.Text();
    std::wstring stored = ReadPassword(settingsFile_);
    if (stored == kNoPasswordMarker || stored == entered) {
        MessageBox(L"成功登录", fw::App::Name());
        if (CDlgSubMain* host = CDlgSubMain::FromPage(Handle()))
            host->EnableNavigation(1);
        return;
    }
    passwordEdit_.SetText(L"");
    MessageBox(L"密码错误", fw::App::Name());
}
