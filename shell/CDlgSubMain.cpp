#include "shell/CDlgSubMain.h"

#include "framework/App.h"
#include "framework/DataExchange.h"
#include "framework/MemoryDC.h"
#include "framework/MessageMap.h"
#include "framework/SelectObjectScope.h"
#include "protect/ProtectDriver.h"
#include "resource.h"
#include "settings/ProgramFolder.h"

namespace {

// Every page sits at this point of the page host's client area.
const int kPageLeft = 183;
const int kPageTop = 113;
const int kNavigationIconSize = 24;

// The icon of each navigation button, in the order of the buttons 1000–1006.
const int kNavigationIcons[CDlgSubMain::kPageCount] = {
    IDI_NAV_ENCRYPT, IDI_NAV_CRUSH, IDI_NAV_SPLIT, IDI_NAV_FILEPROTECT,
    IDI_NAV_FOLDERPROTECT, IDI_NAV_DISKHIDE, IDI_NAV_FUNCTION,
};

const wchar_t kSiteAddress[] = L"http://example.com/";
const wchar_t kForumAddress[] = L"http://bbs.example.org/";

} // namespace

CDlgSubMain::CDlgSubMain()
    : fw::Dialog(IDD_SUBMAIN), fileProtect_(*this), folderProtect_(*this), function_(*this)
{
}

CDlgSubMain::~CDlgSubMain()
{
    CZendalWebVisit::ClearRunning();
}

CDlgSubMain* CDlgSubMain::FromPage(HWND page)
{
    return dynamic_cast<CDlgSubMain*>(fw::WindowObject::FromHandle(::GetParent(page)));
}

fw::Dialog& CDlgSubMain::Page(int index)
{
    fw::Dialog* pages[kPageCount] = {&encrypt_, &crush_, &split_, &fileProtect_, &folderProtect_, &diskHide_, &function_};
    return *pages[index];
}

bool CDlgSubMain::ProcessMessage(fw::Message& m)
{
    using Self = CDlgSubMain;
    return fw::Dispatch(this, m,
                        fw::OnMessage(WM_COMMAND, &Self::OnNavigationCommand),
                        fw::OnMessage(WM_ERASEBKGND, &Self::OnEraseBackground),
                        fw::OnMessage(WM_CLOSE, &Self::OnCloseRequest))
        || fw::Dialog::ProcessMessage(m);
}

void CDlgSubMain::DoDataExchange(fw::DataExchange& dx)
{
    for (int i = 0; i < kPageCount; ++i)
        dx.Control(IDC_NAV_ENCRYPT + i, navButtons_[i]);
    dx.Control(IDC_LINK_SITE, siteLink_);
    dx.Control(IDC_LINK_FORUM, forumLink_);
}

BOOL CDlgSubMain::OnInitDialog()
{
    webVisit_.Start(Handle());
    OpenProtection();

    siteLink_.SetTarget(kSiteAddress);
    forumLink_.SetTarget(kForumAddress);

    PrepareNavigationButtons();
    currentPage_ = &logon_;

    for (int i = 0; i < kPageCount; ++i)
        CreatePage(Page(i), false);
    CreatePage(logon_, true);

    EnableNavigation(0);
    return TRUE;
}

void CDlgSubMain::PrepareNavigationButtons()
{
    selectedButton_ = &navButtons_[0];
    selectedButton_->current = 1;
    for (int i = 0; i < kPageCount; ++i) {
        navButtons_[i].LoadBitmaps();
        auto icon = static_cast<HICON>(::LoadImageW(fw::App::ResourceInstance(), MAKEINTRESOURCEW(kNavigationIcons[i]),
                                                    IMAGE_ICON, kNavigationIconSize, kNavigationIconSize, 0));
        navButtons_[i].SetIcon(icon, kNavigationIconSize);
    }
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

void CDlgSubMain::EnableNavigation(int flag)
{
    for (auto& button : navButtons_)
        button.Enable(flag == 1);
    if (flag == 1)
        SwitchTo(0);
}

bool CDlgSubMain::OnNavigationCommand(fw::Message& m)
{
    int index = static_cast<int>(LOWORD(m.wParam)) - IDC_NAV_ENCRYPT;
    if (index < 0 || index >= kPageCount || HIWORD(m.wParam) != BN_CLICKED)
        return false;
    SwitchTo(index);
    return true;
}

void CDlgSubMain::SwitchTo(int index)
{
    CZendalButtonBitmap& button = navButtons_[index];
    if (selectedButton_ != &button) {
        if (selectedButton_) {
            selectedButton_->current = 0;
            selectedButton_->Invalidate(true);
        }
        selectedButton_ = &button;
        button.current = 1;
        // The click's own repaint came before this; show the current face now.
        button.Invalidate(true);
    }
    fw::Dialog& page = Page(index);
    if (currentPage_ != &page) {
        bool focusInPage = currentPage_ && ::IsChild(currentPage_->Handle(), ::GetFocus());
        if (currentPage_)
            currentPage_->Hide();
        currentPage_ = &page;
        page.Show(SW_SHOWNORMAL);
        // A hidden page keeps no keyboard focus (after a logon by Enter, a
        // second Enter would log on again): it moves on to the page shown.
        if (focusInPage)
            Send(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetNextDlgTabItem(page.Handle(), nullptr, FALSE)), TRUE);
    }
}

// To the user the page host and the frame below it are one window: Alt+F4 or
// Close from the system menu here closes the program as the frame's close
// button does, although the page host itself ignores IDCANCEL.
void CDlgSubMain::OnCloseRequest()
{
    if (HWND frame = ::GetWindow(Handle(), GW_OWNER))
        ::PostMessageW(frame, WM_CLOSE, 0, 0);
}

bool CDlgSubMain::OnEraseBackground(fw::Message& m)
{
    if (!background_)
        background_.Reset(::LoadBitmapW(fw::App::ResourceInstance(), MAKEINTRESOURCEW(IDB_SUBMAIN_BG)));
    BITMAP info{};
    if (!background_ || !::GetObjectW(background_.Get(), sizeof(info), &info))
        return false;
    auto dc = reinterpret_cast<HDC>(m.wParam);
    fw::MemoryDC memory(dc);
    fw::SelectObjectScope select(memory, background_.Get());
    ::BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    m.result = TRUE;
    return true;
}
