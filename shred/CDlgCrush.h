#pragma once
#include "resource.h"
#include "shred/CThreadCrush.h"
#include "ui/skin/CZendalButton.h"
#include "ui/skin/CZendalDialog.h"
#include "ui/skin/CZendalEdit.h"
#include "ui/skin/CZendalProgressCtrl.h"
#include "ui/skin/PageLink.h"

#include <string>

// The "文件粉碎" page: the user picks one file, and the shredding worker
// overwrites it with zeros and deletes it.
class CDlgCrush : public CZendalDialog {
public:
    CDlgCrush();
    // Waits for a running shred, which uses this page until its end.
    ~CDlgCrush() override;

    bool ProcessMessage(fw::Message& m) override;

    CZendalProgressCtrl& Progress() { return progress_; }

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    BOOL OnInitDialog() override;

private:
    void OnBrowse();
    void OnStart();
    bool OnDestroy(fw::Message& m);
    void Say(const std::wstring& text) const;

    CZendalButton startButton_;
    CZendalButton browseButton_;
    CZendalEdit pathEdit_;
    CZendalProgressCtrl progress_;
    CThreadCrush crushThread_;
    PageLink link_;
};
