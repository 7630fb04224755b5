#include "shred/CDlgCrush.h"

#include "fileio/FileQueries.h"
#include "framework/DataExchange.h"
#include "framework/MessageMap.h"
#include "framework/WorkerThread.h"
#include "ui/skin/CZendalFileFolderDialog.h"
#include "ui/skin/SkinColors.h"

namespace {

const wchar_t kAllFilesFilter[] = L"所有文件 (*.*)\0*.*\0";

} // namespace

CDlgCrush::CDlgCrush()
    : CZendalDialog(IDD_CRUSH), link_(*this, {IDC_CRUSH_PATH, IDC_CRUSH_BROWSE, IDC_CRUSH_START}, progress_)
{
}

CDlgCrush::~CDlgCrush()
{
    if (IsWindow())
        ::DestroyWindow(hwnd_);
    fw::WaitWhileBusy(CrushBusy);
}

bool CDlgCrush::ProcessMessage(fw::Message& m)
{
    using Self = CDlgCrush;
    return fw::Dispatch(this, m,
                        fw::OnCommand(IDC_CRUSH_BROWSE, BN_CLICKED, &Self::OnBrowse),
                        fw::OnCommand(IDC_CRUSH_START, BN_CLICKED, &Self::OnStart),
                        fw::OnMessage(WM_DESTROY, &Self::OnDestroy))
        || CZendalDialog::ProcessMessage(m);
}

void CDlgCrush::DoDataExchange(fw::DataExchange& dx)
{
    dx.Control(IDC_CRUSH_START, startButton_);
    dx.Control(IDC_CRUSH_BROWSE, browseButton_);
    dx.Control(IDC_CRUSH_PATH, pathEdit_);
    dx.Control(IDC_CRUSH_PROGRESS, progress_);
}

BOOL CDlgCrush::OnInitDialog()
{
    link_.Open();
    pathEdit_.SetColors(RGB(0, 0, 0), RGB(255, 255, 255), skin::kFrameGrey, RGB(255, 255, 255));
    progress_.SetRange(0, 100);
    return TRUE;
}

bool CDlgCrush::OnDestroy(fw::Message&)
{
    link_.Close();
    return false;
}

void CDlgCrush::OnBrowse()
{
    CZendalFileFolderDialog picker(CZendalFileFolderDialog::kFileMode, L"");
    picker.Settings().lpstrFilter = kAllFilesFilter;
    if (picker.DoModal() == IDOK)
        pathEdit_.SetText(picker.Choice());
}

void CDlgCrush::OnStart()
{
    std::wstring path = pathEdit_.Text();
    if (path.empty()) {
        Say(L"请选择要粉碎的文件");
        return;
    }
    if (!fileio::MatchesAnything(path)) {
        Say(L"操作文件不存在");
        return;
    }
    crushThread_.StartCrush({path}, link_);
}

void CDlgCrush::Say(const std::wstring& text) const
{
    MessageBox(text, L"");
}
