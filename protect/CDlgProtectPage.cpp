#include "protect/CDlgProtectPage.h"

#include "framework/App.h"
#include "framework/DataExchange.h"
#include "framework/MessageMap.h"
#include "framework/UniqueHandle.h"
#include "shell/CDlgSubMain.h"
#include "shell/SettingsFile.h"
#include "ui/skin/CZendalFileFolderDialog.h"
#include "ui/skin/SkinColors.h"

namespace {

const wchar_t kNoModeText[] = L"至少选择一个保护方式";
const wchar_t kFailedText[] = L"操作失败";

} // namespace

CDlgProtectPage::CDlgProtectPage(const ProtectPageTable& table) : CZendalDialog(table.templateId), table_(table) {}

bool CDlgProtectPage::ProcessMessage(fw::Message& m)
{
    using Self = CDlgProtectPage;
    return fw::Dispatch(this, m,
                        fw::OnCommand(IDC_PROTECT_BROWSE, BN_CLICKED, &Self::OnBrowse),
                        fw::OnCommand(IDC_PROTECT_ADD, BN_CLICKED, &Self::OnAdd))
        || CZendalDialog::ProcessMessage(m);
}

void CDlgProtectPage::DoDataExchange(fw::DataExchange& dx)
{
    dx.Control(IDC_PROTECT_BROWSE, browse_);
    dx.Control(IDC_PROTECT_PATH, path_);
    dx.Control(IDC_PROTECT_MODE_O, modeO_);
    dx.Control(IDC_PROTECT_MODE_W, modeW_);
    dx.Control(IDC_PROTECT_MODE_I, modeI_);
    dx.Control(IDC_PROTECT_ADD, add_);
    dx.Control(IDC_PROTECT_FRAME, listFrame_);
}

BOOL CDlgProtectPage::OnInitDialog()
{
    settingsFile_ = SettingsFilePath();
    listFrame_.SetFrameColor(skin::kFrameGrey);
    Store().LoadProtectList(ProtectDevice());
    return TRUE;
}

void CDlgProtectPage::OnBrowse()
{
    CZendalFileFolderDialog picker(table_.pickerMode, table_.pickerFilter);
    if (picker.DoModal() == IDOK)
        path_.SetText(picker.Choice());
}

void CDlgProtectPage::OnAdd()
{
    std::wstring path = path_.Text();
    std::wstring modes = CheckedModes();
    if (const wchar_t* refusal = AddRefusal(path, modes)) {
        Tell(refusal);
        return;
    }
    ProtectEntry entry{path, modes};
    // An entry that did not reach the settings file would vanish at the next start.
    if (!Store().AddProtectEntry(ProtectDevice(), entry))
        Tell(kFailedText);
}

const wchar_t* CDlgProtectPage::AddRefusal(const std::wstring& path, const std::wstring& modes) const
{
    if (path.empty())
        return table_.noPathText;
    if (!ProtectListStore::PathExists(path))
        return table_.missingPathText;
    if (modes.empty())
        return kNoModeText;
    if (Store().IsProtected(path))
        return table_.alreadyProtectedText;
    return nullptr;
}

std::wstring CDlgProtectPage::CheckedModes() const
{
    std::wstring modes;
    if (modeO_.Check())
        modes += L'o';
    if (modeW_.Check())
        modes += L'w';
    if (modeI_.Check())
        modes += L'i';
    return modes;
}

ProtectListStore CDlgProtectPage::Store() const
{
    return ProtectListStore(table_.kind, settingsFile_);
}

HANDLE CDlgProtectPage::ProtectDevice() const
{
    CDlgSubMain* host = CDlgSubMain::FromPage(Handle());
    return host ? host->ProtectDevice() : INVALID_HANDLE_VALUE;
}

void CDlgProtectPage::Tell(const wchar_t* text)
{
    MessageBox(text, fw::App::Name());
}
