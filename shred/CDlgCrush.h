#pragma once
#include "framework/CrossThreadWindow.h"
#include "resource.h"
#include "shred/CThreadCrush.h"
#include "ui/skin/CZendalButton.h"
#include "ui/skin/CZendalDialog.h"
#include "ui/skin/CZendalEdit.h"
#include "ui/skin/CZendalProgressCtrl.h"

#include <string>

// The "文件粉碎" page: the user picks one file, and the shredding worker
// overwrites it with zeros and deletes it.
class CDlgCrush : public CZendalDialog {
public:
    CDlgCrush();
    // Waits for a running shred, which uses this page until its end.
    ~CDlgCrush() override;

    bool ProcessMessage(fw::Message& m) override;

    // For the worker, from its thread (synchronous messages): switches the
    // path edit, the browse button and the start button on or off; tells the
    // user that the file could not be shredded.
    void SetInputsEnabled(bool enabled) const;
    void ReportFailure() const;
    CZendalProgressCtrl& Progress() { return progress_; }

    // The file handed to the worker. Written only while no shred runs.
    std::wstring targetPath;

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    BOOL OnInitDialog() override;

private:
    static constexpr UINT kSetInputsEnabled = WM_APP + 1;
    static constexpr UINT kReportFailure = WM_APP + 2;

    void OnBrowse();
    void OnStart();
    LRESULT OnSetInputsEnabled(WPARAM enabled, LPARAM);
    LRESULT OnReportFailure(WPARAM, LPARAM);
    bool OnDestroy(fw::Message& m);
    void Say(const std::wstring& text) const;

    CZendalButton startButton_;
    CZendalButton browseButton_;
    CZendalEdit pathEdit_;
    CZendalProgressCtrl progress_;
    CThreadCrush crushThread_;
    fw::CrossThreadWindow window_;
};
