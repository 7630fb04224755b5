#pragma once
#include "framework/UniqueHandle.h"
#include "resource.h"
#include "ui/skin/CZendalButton.h"
#include "ui/skin/CZendalCheckBox.h"
#include "ui/skin/CZendalColorFrame.h"
#include "ui/skin/CZendalDialog.h"
#include "ui/treelist/CZendalTreeListCtrl.h"

// The disk hiding page: which drive letters the shell hides, and whether the
// hidden ones are unusable through it.
class CDlgDiskHide : public CZendalDialog {
public:
    static constexpr int kDriveCount = 26;

    CDlgDiskHide() : CZendalDialog(IDD_DISKHIDE) {}

    bool ProcessMessage(fw::Message& m) override;
    CZendalTreeListCtrl& DriveList() { return driveList_; }
    HTREEITEM DriveRow(int drive) const { return driveRows_[drive]; }

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    BOOL OnInitDialog() override;

private:
    void CreateDriveList();
    void ShowStoredPolicy();
    DWORD TickedDrives() const;
    void OnSave();

    CZendalCheckBox unusable_;
    CZendalButton save_;
    CZendalColorFrame listFrame_;
    CZendalTreeListCtrl driveList_;
    fw::ImageList images_;
    HTREEITEM driveRows_[kDriveCount] = {};
};
