#pragma once
#include "framework/CrossThreadWindow.h"
#include "resource.h"
#include "split/CThreadSplit.h"
#include "ui/skin/CZendalButton.h"
#include "ui/skin/CZendalComboBox.h"
#include "ui/skin/CZendalDialog.h"
#include "ui/skin/CZendalEdit.h"
#include "ui/skin/CZendalProgressCtrl.h"

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

    // For the worker, from its thread (synchronous messages): switches the
    // operation combo, the path edit and the browse and start buttons on or
    // off; shows an application message box; tells the user that the split
    // or merge failed.
    void SetInputsEnabled(bool enabled) const;
    void ShowWorkerMessage(const std::wstring& text) const;
    void ReportFailure() const;
    CZendalProgressCtrl& Progress() { return progress_; }

    // Handed to the worker; written only while no split or merge runs.
    std::wstring sourcePath;
    // Split: the file name + ".zdlsplit"; merge: the name derived from the first piece.
    std::wstring pieceName;
    // Up to and including the last backslash of the chosen path.
    std::wstring folder;
    uint32_t pieceCount = 0;
    // 1 split, 0 merge.
    int splitMode = 1;

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    BOOL OnInitDialog() override;

private:
    static constexpr UINT kSetInputsEnabled = WM_APP + 1;
    static constexpr UINT kShowWorkerMessage = WM_APP + 2;
    static constexpr UINT kReportFailure = WM_APP + 3;
    static constexpr uint32_t kMinimumCount = 2;
    static constexpr uint32_t kMaximumCount = 100;

    void OnOperationChange();
    void OnBrowse();
    void OnStart();
    LRESULT OnSetInputsEnabled(WPARAM enabled, LPARAM);
    LRESULT OnShowWorkerMessage(WPARAM, LPARAM text);
    LRESULT OnReportFailure(WPARAM, LPARAM);
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
    fw::CrossThreadWindow window_;
};
