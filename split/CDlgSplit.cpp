#include "split/CDlgSplit.h"

#include "fileio/FileQueries.h"
#include "framework/DataExchange.h"
#include "framework/MessageMap.h"
#include "framework/WorkerThread.h"
#include "ui/skin/CZendalFileFolderDialog.h"
#include "ui/skin/SkinColors.h"

#include <cwchar>

namespace {

const wchar_t kAllFilesFilter[] = L"所有文件 (*.*)\0*.*\0";
// The pattern has a leading space and a trailing semicolon; the dialog copes with both.
const wchar_t kFirstPieceFilter[] = L"合并文件 (1_*.zdlsplit)\0 1_*.zdlsplit;\0";
const wchar_t kPieceSuffix[] = L".zdlsplit";
const int kSplitSelection = 0;

} // namespace

// The count edit keeps its state while a worker runs.
CDlgSplit::CDlgSplit()
    : CZendalDialog(IDD_SPLIT),
      link_(*this, {IDC_SPLIT_OPERATION, IDC_SPLIT_PATH, IDC_SPLIT_BROWSE, IDC_SPLIT_START}, progress_)
{
}

CDlgSplit::~CDlgSplit()
{
    if (IsWindow())
        ::DestroyWindow(hwnd_);
    fw::WaitWhileBusy(SplitBusy);
}

bool CDlgSplit::ProcessMessage(fw::Message& m)
{
    using Self = CDlgSplit;
    return fw::Dispatch(this, m,
                        fw::OnCommand(IDC_SPLIT_OPERATION, CBN_SELCHANGE, &Self::OnOperationChange),
                        fw::OnCommand(IDC_SPLIT_BROWSE, BN_CLICKED, &Self::OnBrowse),
                        fw::OnCommand(IDC_SPLIT_START, BN_CLICKED, &Self::OnStart),
                        fw::OnMessage(WM_DESTROY, &Self::OnDestroy))
        || CZendalDialog::ProcessMessage(m);
}

void CDlgSplit::DoDataExchange(fw::DataExchange& dx)
{
    dx.Control(IDC_SPLIT_OPERATION, operationCombo_);
    dx.Control(IDC_SPLIT_PATH, pathEdit_);
    dx.Control(IDC_SPLIT_COUNT, countEdit_);
    dx.Control(IDC_SPLIT_BROWSE, browseButton_);
    dx.Control(IDC_SPLIT_START, startButton_);
    dx.Control(IDC_SPLIT_PROGRESS, progress_);
}

BOOL CDlgSplit::OnInitDialog()
{
    link_.Open();
    for (CZendalEdit* edit : {&pathEdit_, &countEdit_})
        edit->SetColors(RGB(0, 0, 0), RGB(255, 255, 255), skin::kFrameGrey, RGB(255, 255, 255));
    operationCombo_.AddString(L"文件分割");
    operationCombo_.AddString(L"文件合并");
    operationCombo_.SetCurSel(kSplitSelection);
    progress_.SetRange(0, 100);
    return TRUE;
}

bool CDlgSplit::OnDestroy(fw::Message&)
{
    link_.Close();
    return false;
}

void CDlgSplit::OnOperationChange()
{
    pathEdit_.SetText(L"");
    bool splitting = operationCombo_.CurSel() == kSplitSelection;
    SetItemText(IDC_SPLIT_PATH_LABEL, splitting ? L"选择要分割的文件：" : L"选择要合并的文件：");
    startButton_.SetText(splitting ? L"开始分割" : L"开始合并");
    countEdit_.Enable(splitting);
}

void CDlgSplit::OnBrowse()
{
    CZendalFileFolderDialog picker(CZendalFileFolderDialog::kFileMode, L"");
    bool splitting = operationCombo_.CurSel() == kSplitSelection;
    picker.Settings().lpstrFilter = splitting ? kAllFilesFilter : kFirstPieceFilter;
    if (picker.DoModal() == IDOK)
        pathEdit_.SetText(picker.Choice());
}

void CDlgSplit::OnStart()
{
    bool splitting = operationCombo_.CurSel() == kSplitSelection;
    std::wstring path = pathEdit_.Text();
    if (path.empty()) {
        Say(splitting ? L"请选择要分割的文件" : L"请选择要合并的文件");
        return;
    }
    if (!fileio::MatchesAnything(path)) {
        Say(L"操作文件不存在");
        return;
    }
    uint32_t count = 0;
    if (splitting && !ReadPieceCount(count)) {
        Say(L"生成子文件的数目应该在 2 - 100 之间");
        return;
    }
    size_t slash = path.rfind(L'\\');
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    std::wstring directory = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
    if (splitting) {
        if (name.find(kPieceSuffix) != std::wstring::npos) {
            Say(L"该文件已经是一个分割文件不能再次进行分割");
            return;
        }
        name += kPieceSuffix;
    } else if (!NameForMerge(name)) {
        Say(L"请选择以\"1_\"开头 以\".zdlsplit\"为后缀的文件名进行分割");
        return;
    }
    SplitJob job;
    job.mode = splitting ? SplitJob::Mode::kSplit : SplitJob::Mode::kMerge;
    job.sourcePath = path;
    job.pieceName = name;
    job.folder = directory;
    job.pieceCount = count;
    splitThread_.StartSplit(job, link_);
}

// Read as the C library reads a decimal integer (leading blanks and a sign
// allowed, stopping at the first non-digit), then taken as unsigned.
bool CDlgSplit::ReadPieceCount(uint32_t& count) const
{
    std::wstring text = countEdit_.Text();
    if (text.empty())
        return false;
    auto value = static_cast<uint32_t>(std::wcstol(text.c_str(), nullptr, 10));
    if (value < kMinimumCount || value > kMaximumCount)
        return false;
    count = value;
    return true;
}

// The first piece's name is "1_" + N + ".zdlsplit" (anything may follow);
// N is what lies between "1_" and the first ".zdlsplit".
bool CDlgSplit::NameForMerge(std::wstring& name)
{
    if (name.compare(0, 2, L"1_") != 0)
        return false;
    size_t suffix = name.find(kPieceSuffix, 2);
    if (suffix == std::wstring::npos)
        return false;
    name = name.substr(2, suffix - 2);
    return true;
}

void CDlgSplit::Say(const std::wstring& text) const
{
    MessageBox(text, L"");
}
