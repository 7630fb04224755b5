#include "diskhide/CDlgDiskHide.h"

#include "diskhide/ShellDrivePolicy.h"
#include "framework/App.h"
#include "framework/DataExchange.h"
#include "framework/MessageMap.h"

#include <string>

namespace {

// Visible child with the list's row check boxes.
const DWORD kDriveListStyle = CZendalTreeListCtrl::kCheckBoxListStyle;
const int kDriveColumnWidth = 492;

} // namespace

bool CDlgDiskHide::ProcessMessage(fw::Message& m)
{
    return fw::Dispatch(this, m, fw::OnCommand(IDC_DISKHIDE_SAVE, BN_CLICKED, &CDlgDiskHide::OnSave))
        || CZendalDialog::ProcessMessage(m);
}

void CDlgDiskHide::DoDataExchange(fw::DataExchange& dx)
{
    dx.Control(IDC_DISKHIDE_UNUSABLE, unusable_);
    dx.Control(IDC_DISKHIDE_SAVE, save_);
    dx.Control(IDC_DISKHIDE_FRAME, listFrame_);
}

BOOL CDlgDiskHide::OnInitDialog()
{
    CreateDriveList();
    ShowStoredPolicy();
    return TRUE;
}

void CDlgDiskHide::CreateDriveList()
{
    driveList_.Create(Handle(), IDC_DISKHIDE_FRAME, kDriveListStyle, {{L"磁盘", kDriveColumnWidth}});
    images_ = CZendalTreeListCtrl::LoadImages(fw::App::ResourceInstance(), {IDB_LIST_DISK});
    driveList_.SetImageList(images_.Get());
    for (int drive = 0; drive < kDriveCount; ++drive) {
        std::wstring text = L"磁盘 ";
        text += static_cast<wchar_t>(L'A' + drive);
        driveRows_[drive] = driveList_.InsertItem(text.c_str());
    }
}

void CDlgDiskHide::ShowStoredPolicy()
{
    ShellDrivePolicy::Reading stored = ShellDrivePolicy::Read();
    for (int drive = 0; drive < kDriveCount; ++drive) {
        if (stored.hidden & (1u << drive))
            driveList_.SetCheck(driveRows_[drive], true);
    }
    if (stored.unusable) {
        unusable_.SetCheck(BST_CHECKED);
        unusable_.Invalidate();
    }
}

DWORD CDlgDiskHide::TickedDrives() const
{
    DWORD mask = 0;
    for (int drive = 0; drive < kDriveCount; ++drive) {
        if (driveList_.GetCheck(driveRows_[drive]) == 1)
            mask |= 1u << drive;
    }
    return mask;
}

void CDlgDiskHide::OnSave()
{
    bool saved = ShellDrivePolicy::Save(TickedDrives(), unusable_.Check() == BST_CHECKED);
    // A policy that did not reach the registry must not be reported as saved.
    MessageBox(saved ? L"设置成功重启生效" : kFailedText, fw::App::Name());
}
