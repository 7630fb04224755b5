#include "shell/CDlgSubMain.h"

#include "protect/ProtectDriver.h"
#include "resource.h"
#include "shell/ProgramFolder.h"

namespace {

// Every page sits at this point of the page host's client area.
const int kPageLeft = 183;
const int kPageTop = 113;

} // namespace

CDlgSubMain::CDlgSubMain() : fw::Dialog(IDD_SUBMAIN) {}

BOOL CDlgSubMain::OnInitDialog()
{
    OpenProtection();
    CreatePage(encrypt_, false);
    CreatePage(crush_, false);
    CreatePage(split_, false);
    CreatePage(fileProtect_, false);
    CreatePage(folderProtect_, false);
    CreatePage(diskHide_, false);
    CreatePage(function_, false);
    CreatePage(logon_, true);
    return TRUE;
}

void CDlgSubMain::OpenProtection()
{
    driverFile_ = GetProgramFolder() + L"\\sys\\ZDLFile.sys";
    protectDevice_ = OpenProtectDevice(driverFile_);
    if (protectDevice_ == INVALID_HANDLE_VALUE)
        return;
    SetProtectSwitch(protectDevice_, true);
    SetFixedDrives(protectDevice_, ComputeFixedDriveWord());
}

void CDlgSubMain::CreatePage(fw::Dialog& page, bool shown)
{
    page.Create(Handle());
    page.SetPosition(HWND_TOP, kPageLeft, kPageTop, 0, 0, SWP_NOSIZE | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}
