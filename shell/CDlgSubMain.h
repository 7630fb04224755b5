#pragma once
#include "crypt/CDlgEncrypt.h"
#include "diskhide/CDlgDiskHide.h"
#include "framework/Dialog.h"
#include "protect/CDlgFileProtect.h"
#include "protect/CDlgFolderProtect.h"
#include "shell/CDlgFunction.h"
#include "shell/CDlgLogon.h"
#include "shred/CDlgCrush.h"
#include "split/CDlgSplit.h"

#include <windows.h>

#include <string>

// The working area over the main window's frame: navigation column, links
// and the pages, which it creates once and then only shows and hides.
class CDlgSubMain : public fw::Dialog {
public:
    CDlgSubMain();

    CDlgEncrypt& EncryptPage() { return encrypt_; }
    CDlgLogon& LogonPage() { return logon_; }
    // The protection device, INVALID_HANDLE_VALUE when the driver is unavailable.
    // Borrowed by the pages at each use; the page host never closes it.
    HANDLE ProtectDevice() const { return protectDevice_; }

protected:
    BOOL OnInitDialog() override;

private:
    void CreatePage(fw::Dialog& page, bool shown);
    void OpenProtection();

    CDlgEncrypt encrypt_;
    CDlgCrush crush_;
    CDlgSplit split_;
    CDlgFileProtect fileProtect_;
    CDlgFolderProtect folderProtect_;
    CDlgDiskHide diskHide_;
    CDlgFunction function_;
    CDlgLogon logon_;
    std::wstring driverFile_;
    // Open for the whole process: the driver keeps protecting after the program ends.
    HANDLE protectDevice_ = INVALID_HANDLE_VALUE;
};
