#include "protect/CDlgProtectPage.h"

#include "framework/App.h"
#include "framework/DataExchange.h"
#include "framework/MessageMap.h"
#include "framework/UniqueHandle.h"
#include "settings/SettingsFile.h"
#include "ui/skin/CZendalFileFolderDialog.h"
#include "ui/skin/SkinColors.h"

#include <commctrl.h>

namespace {

const wchar_t kNoModeText[] = L"至少选择一个保护方式";
const wchar_t kModesColumnTitle[] = L"保护方式";
const int kPathColumnWidth = 392;
const int kModesColumnWidth = 100;

} // namespace

CDlgProtectPage::CDlgProtectPage(const ProtectPageTable& table, const ProtectDeviceSource& device)
    : CZendalDialog(table.templateId), table_(table), device_(device)
{
}

bool CDlgProtectPage::ProcessMessage(fw::Message& m)
{
    using Self = CDlgProtectPage;
    return fw::Dispatch(this, m,
                        fw::OnCommand(IDC_PROTECT_BROWSE, BN_CLICKED, &Self::OnBrowse),
                        fw::OnCommand(IDC_PROTECT_ADD, BN_CLICKED, &Self::OnAdd),
                        fw::OnCommand(ID_PROTECT_REMOVE, &Self::OnRemoveSelected),
                        fw::OnCommand(ID_PROTECT_REMOVEALL, &Self::OnRemoveAll),
                        fw::OnNotify(IDC_TREELIST, NM_RCLICK, &Self::OnListRightClick))
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
    CreateList();
    for (const ProtectEntry& entry : Store().LoadProtectList(device_.ProtectDevice()))
        AppendRow(entry);
    return TRUE;
}

void CDlgProtectPage::CreateList()
{
    list_.Create(Handle(), IDC_PROTECT_FRAME, CZendalTreeListCtrl::kListStyle,
                 {{table_.pathColumnTitle, kPathColumnWidth}, {kModesColumnTitle, kModesColumnWidth}});
    images_ = CZendalTreeListCtrl::LoadImages(fw::App::ResourceInstance(), {table_.rowBitmap});
    list_.SetImageList(images_.Get());
}

void CDlgProtectPage::AppendRow(const ProtectEntry& entry)
{
    if (HTREEITEM item = list_.InsertItem(entry.path.c_str()))
        list_.SetItemText(item, 1, entry.modes.c_str());
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
    if (!Store().AddProtectEntry(device_.ProtectDevice(), entry)) {
        Tell(kFailedText);
        return;
    }
    AppendRow(entry);
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

LRESULT CDlgProtectPage::OnListRightClick(NMHDR* header)
{
    if (reinterpret_cast<NMTREEVIEWW*>(header)->itemNew.hItem)
        ShowContextMenu();
    return 0;
}

void CDlgProtectPage::ShowContextMenu()
{
    POINT cursor{};
    ::GetCursorPos(&cursor);
    fw::Menu menu(::LoadMenuW(fw::App::ResourceInstance(), MAKEINTRESOURCEW(table_.contextMenu)));
    HMENU popup = menu ? ::GetSubMenu(menu.Get(), 0) : nullptr;
    if (!popup)
        return;
    ::SetForegroundWindow(Handle());
    ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_LEFTBUTTON, cursor.x, cursor.y, 0, Handle(), nullptr);
}

// The list mirrors the section: a row goes only when its key is gone from the file.
void CDlgProtectPage::OnRemoveSelected()
{
    HTREEITEM item = list_.GetSelectedItem();
    if (!item)
        return;
    const wchar_t* path = list_.GetItemText(item, 0);
    const wchar_t* modes = list_.GetItemText(item, 1);
    if (!path || !modes)
        return;
    if (!Store().RemoveProtectEntry(device_.ProtectDevice(), {path, modes})) {
        Tell(kFailedText);
        return;
    }
    list_.DeleteItem(item);
}

void CDlgProtectPage::OnRemoveAll()
{
    if (!Store().ClearProtectList(device_.ProtectDevice())) {
        Tell(kFailedText);
        return;
    }
    list_.DeleteAllItems();
}

ProtectListStore CDlgProtectPage::Store() const
{
    return ProtectListStore(table_.kind, settingsFile_);
}

void CDlgProtectPage::Tell(const wchar_t* text)
{
    MessageBox(text, fw::App::Name());
}
