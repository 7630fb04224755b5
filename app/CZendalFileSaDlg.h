#pragma once
#include "framework/Dialog.h"
#include "shell/CDlgSubMain.h"

// The main window: the frame around the page host.
class CZendalFileSaDlg : public fw::Dialog {
public:
    CZendalFileSaDlg();

    bool ProcessMessage(fw::Message& m) override;
    CDlgSubMain& PageHost() { return pageHost_; }

protected:
    BOOL OnInitDialog() override;

private:
    void OnOk() {}
    void OnClose();
    LRESULT OnMove(WPARAM, LPARAM);

    CDlgSubMain pageHost_;
};
