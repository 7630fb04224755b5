#pragma once
#include "protect/ProtectDeviceSource.h"
#include "protect/ProtectListStore.h"
#include "protect/ProtectPageTable.h"
#include "framework/UniqueHandle.h"
#include "resource.h"
#include "ui/skin/CZendalButton.h"
#include "ui/skin/CZendalCheckBox.h"
#include "ui/skin/CZendalColorFrame.h"
#include "ui/skin/CZendalDialog.h"
#include "ui/skin/CZendalEdit.h"
#include "ui/treelist/CZendalTreeListCtrl.h"

#include <string>

// The file and the folder protection page: a path, its protection modes and
// the list of protected paths, kept in the settings file and in the driver.
// The two pages differ only by their table; their templates carry the same
// controls under the same ids. The device comes from the page host, which
// outlives the page.
class CDlgProtectPage : public CZendalDialog {
public:
    CDlgProtectPage(const ProtectPageTable& table, const ProtectDeviceSource& device);

    bool ProcessMessage(fw::Message& m) override;

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    BOOL OnInitDialog() override;

private:
    void OnBrowse();
    void OnAdd();
    LRESULT OnListRightClick(NMHDR* header);
    void OnRemoveSelected();
    void OnRemoveAll();
    void CreateList();
    void AppendRow(const ProtectEntry& entry);
    // The first add check the path and modes fail, or null when they may be added.
    const wchar_t* AddRefusal(const std::wstring& path, const std::wstring& modes) const;
    std::wstring CheckedModes() const;
    void ShowContextMenu();
    ProtectListStore Store() const;
    void Tell(const wchar_t* text);

    const ProtectPageTable& table_;
    const ProtectDeviceSource& device_;
    CZendalButton browse_;
    CZendalEdit path_;
    CZendalCheckBox modeO_;
    CZendalCheckBox modeW_;
    CZendalCheckBox modeI_;
    CZendalButton add_;
    CZendalColorFrame listFrame_;
    CZendalTreeListCtrl list_;
    fw::ImageList images_;
    std::wstring settingsFile_;
};
