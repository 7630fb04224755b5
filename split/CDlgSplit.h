#pragma once
#include "resource.h"
#include "split/CThreadSplit.h"
#include "ui/skin/CZendalButton.h"
#include "ui/skin/CZendalComboBox.h"
#include "ui/skin/CZendalDialog.h"
#include "ui/skin/CZendalEdit.h"
#include "ui/skin/CZendalProgressCtrl.h"
#include "ui/skin/PageLink.h"

#include <cstdint>
#include <string>

// The "文件分割" page: splits a file into numbered pieces or merges such
// pieces back. It derives the folder and the names the worker needs from the
// chosen path and refuses unsuitable choices.
class CDlgSplit : public CZendalDialog {
public:
    CDlgSplit();
    // Waits for a running split or merge, which uses this page until its end.
    ~CDlgSplit() override;

    bool ProcessMessage(fw::Message& m) override;

    CZendalProgressCtrl& Progress() { return progress_; }

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    BOOL OnInitDialog() override;

private:
    static constexpr uint32_t kMinimumCount = 2;
    static constexpr uint32_t kMaximumCount = 100;

    void OnOperationChange();
    void OnBrowse();
    void OnStart();
    bool OnDestroy(fw::Message& m);
    bool ReadPieceCount(uint32_t& count) const;
    static bool NameForMerge(std::wstring& name);
    void Say(const std::wstring& text) const;

    CZendalComboBox operationCombo_;
    CZendalEdit pathEdit_;
    CZendalEdit countEdit_;
    CZendalButton browseButton_;
    CZendalButton startButton_;
    CZendalProgressCtrl progress_;
    CThreadSplit splitThread_;
    PageLink link_;
};
