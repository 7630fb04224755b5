#pragma once
#include "crypt/CDlgEncrypt.h"
#include "diskhide/CDlgDiskHide.h"
#include "framework/Dialog.h"
#include "framework/UniqueHandle.h"
#include "protect/CDlgFileProtect.h"
#include "protect/CDlgFolderProtect.h"
#include "protect/ProtectDeviceSource.h"
#include "shell/CDlgFunction.h"
#include "shell/CDlgLogon.h"
#include "shell/CZendalWebVisit.h"
#include "shred/CDlgCrush.h"
#include "split/CDlgSplit.h"
#include "ui/skin/CZendalButtonBitmap.h"
#include "ui/skin/CZendalHyperLink.h"

#include <windows.h>

#include <string>

// The working area over the main window's frame: the navigation column, the
// links and the pages, which it creates once and then only shows and hides.
// Its initialisation is the start-up sequence of the whole program.
class CDlgSubMain : public fw::Dialog, public ProtectDeviceSource {
public:
    static constexpr int kPageCount = 7;

    CDlgSubMain();
    ~CDlgSubMain() override;

    // The page host that a page lives in (its parent window), or null.
    static CDlgSubMain* FromPage(HWND page);

    // Enables or disables the seven navigation buttons; enabling shows the
    // encryption page.
    void EnableNavigation(int flag);

    bool ProcessMessage(fw::Message& m) override;

    CZendalButtonBitmap& NavigationButton(int index) { return navButtons_[index]; }
    fw::Dialog& Page(int index);
    CDlgLogon& LogonPage() { return logon_; }
    fw::Dialog* CurrentPage() const { return currentPage_; }
    CZendalButtonBitmap* SelectedButton() const { return selectedButton_; }
    CZendalHyperLink& SiteLink() { return siteLink_; }
    CZendalHyperLink& ForumLink() { return forumLink_; }
    // The protection device, INVALID_HANDLE_VALUE when the driver is unavailable.
    // Borrowed by the pages at each use; the page host never closes it.
    HANDLE ProtectDevice() const override { return protectDevice_; }

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    BOOL OnInitDialog() override;

private:
    bool OnNavigationCommand(fw::Message& m);
    bool OnEraseBackground(fw::Message& m);
    void OnCloseRequest();
    void SwitchTo(int index);
    void PrepareNavigationButtons();
    void CreatePage(fw::Dialog& page, bool shown);
    void OpenProtection();

    CZendalButtonBitmap navButtons_[kPageCount];
    CZendalHyperLink siteLink_;
    CZendalHyperLink forumLink_;
    CZendalButtonBitmap* selectedButton_ = nullptr;
    fw::Dialog* currentPage_ = nullptr;
    CDlgEncrypt encrypt_;
    CDlgCrush crush_;
    CDlgSplit split_;
    CDlgFileProtect fileProtect_;
    CDlgFolderProtect folderProtect_;
    CDlgDiskHide diskHide_;
    CDlgFunction function_;
    CDlgLogon logon_;
    fw::Bitmap background_;
    CZendalWebVisit webVisit_;
    std::wstring driverFile_;
    // Open for the whole process: the driver keeps protecting after the program ends.
    HANDLE protectDevice_ = INVALID_HANDLE_VALUE;
};
