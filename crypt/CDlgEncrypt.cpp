#include "crypt/CDlgEncrypt.h"

#include "crypt/ExclusiveFile.h"
#include "crypt/SystemFolderGuard.h"
#include "fileio/FileQueries.h"
#include "framework/App.h"
#include "framework/DataExchange.h"
#include "framework/MessageMap.h"
#include "framework/WorkerThread.h"
#include "settings/PasswordEntry.h"
#include "ui/skin/CZendalFileFolderDialog.h"

namespace {

const wchar_t kAllFilesFilter[] = L"所有文件 (*.*)\0*.*\0";

const wchar_t* ReadyStatus(int encryptMode)
{
    return encryptMode == 1 ? L"准备加密" : L"准备解密";
}

bool WorkerRunning()
{
    return EncryptBusy || SearchBusy;
}

} // namespace

CDlgEncrypt::CDlgEncrypt()
    : CZendalDialog(IDD_ENCRYPT),
      link_(*this,
            {IDC_ENCRYPT_OPERATION, IDC_ENCRYPT_BROWSE, IDC_ENCRYPT_PASSWORD, IDC_ENCRYPT_CONFIRM, IDC_ENCRYPT_START},
            progress_)
{
}

CDlgEncrypt::~CDlgEncrypt()
{
    if (IsWindow())
        ::DestroyWindow(hwnd_);
    fw::WaitWhileBusy(SearchBusy);
    fw::WaitWhileBusy(EncryptBusy);
}

bool CDlgEncrypt::ProcessMessage(fw::Message& m)
{
    using Self = CDlgEncrypt;
    return fw::Dispatch(this, m,
                        fw::OnCommand(IDC_ENCRYPT_OPERATION, CBN_SELCHANGE, &Self::OnOperationChange),
                        fw::OnCommand(IDC_ENCRYPT_BROWSE, BN_CLICKED, &Self::OnBrowse),
                        fw::OnCommand(IDC_ENCRYPT_START, BN_CLICKED, &Self::OnStart),
                        fw::OnMessage(WM_TIMER, &Self::OnTimer),
                        fw::OnMessage(WM_DESTROY, &Self::OnDestroy))
        || CZendalDialog::ProcessMessage(m);
}

void CDlgEncrypt::DoDataExchange(fw::DataExchange& dx)
{
    dx.Control(IDC_ENCRYPT_OPERATION, operation_);
    dx.Control(IDC_ENCRYPT_PASSWORD, passwordEdit_);
    dx.Control(IDC_ENCRYPT_CONFIRM, confirmEdit_);
    dx.Control(IDC_ENCRYPT_BROWSE, browse_);
    dx.Control(IDC_ENCRYPT_START, start_);
    dx.Control(IDC_ENCRYPT_PROGRESS, progress_);
    dx.Control(IDC_ENCRYPT_FRAME, listFrame_);
}

BOOL CDlgEncrypt::OnInitDialog()
{
    link_.Open();
    operation_.AddString(L"文件加密");
    operation_.AddString(L"文件解密");
    operation_.SetCurSel(0);
    progress_.SetRange(0, 100);
    CreateList();
    return TRUE;
}

void CDlgEncrypt::CreateList()
{
    list_.Create(Handle(), IDC_ENCRYPT_FRAME, CZendalTreeListCtrl::kListStyle,
                 {{L"准备操作的文件列表", 392}, {L"操作状态", 100}});
    images_ = CZendalTreeListCtrl::LoadImages(fw::App::ResourceInstance(),
                                              {IDB_LIST_DOCUMENT, IDB_LIST_TICK, IDB_LIST_CROSS});
    list_.SetImageList(images_.Get());
}

bool CDlgEncrypt::OnDestroy(fw::Message&)
{
    link_.Close();
    return false;
}

// The handlers below leave the fields and the list alone while a worker uses
// them; the workers disable their controls, so this only closes the gap
// between a worker enabling them and ending.
void CDlgEncrypt::OnOperationChange()
{
    if (WorkerRunning())
        return;
    list_.DeleteAllItems();
    ClearPasswords();
    start_.SetText(operation_.CurSel() == 0 ? L"开始加密" : L"开始解密");
}

void CDlgEncrypt::OnBrowse()
{
    if (WorkerRunning())
        return;
    list_.DeleteAllItems();
    const int mode = operation_.CurSel() == 0 ? 1 : 0;
    std::wstring picked = PickPath();
    // A virtual folder has no path; walking "" would walk the current drive.
    if (picked.empty())
        return;
    std::wstring path = ListedForm(picked);
    if (SystemFolderGuard().Covers(path)) {
        Tell(L"请不要对系统文件夹内的文件进行操作");
        return;
    }
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ListFolder(path, mode);
        return;
    }
    totalBytes_ = 0;
    listedMode_ = mode;
    ListPickedFile(path);
}

bool CDlgEncrypt::ListFolder(const std::wstring& folder, int encryptMode)
{
    if (WorkerRunning())
        return false;
    list_.DeleteAllItems();
    totalBytes_ = 0;
    listedMode_ = encryptMode;
    return search_.StartSearch(folder, link_, *this);
}

void CDlgEncrypt::OnStart()
{
    if (WorkerRunning())
        return;
    std::wstring entered = passwordEdit_.Text();
    PasswordProblem problem = CheckPasswordEntry(entered, confirmEdit_.Text());
    if (problem == PasswordProblem::TooLong)
        ClearPasswords();
    if (problem != PasswordProblem::None) {
        Tell(PasswordProblemText(problem));
        return;
    }
    if (list_.GetCount() == 0) {
        Tell(L"请选择要操作的文件");
        return;
    }
    encrypt_.StartEncrypt({CThreadEncrypt::KeyByte(entered), totalBytes_}, link_, *this);
}

std::wstring CDlgEncrypt::PickPath() const
{
    CZendalFileFolderDialog picker(CZendalFileFolderDialog::kFileOrFolderMode, L"");
    picker.Settings().lpstrFilter = kAllFilesFilter;
    if (picker.DoModal() != IDOK)
        return std::wstring();
    return picker.Choice();
}

// Upper case; a drive root loses its backslash, as the walk adds one.
std::wstring CDlgEncrypt::ListedForm(const std::wstring& picked)
{
    std::wstring path = SystemFolderGuard::AsciiUpper(picked);
    if (path.size() == 3)
        path.resize(2);
    return path;
}

// A file in use elsewhere could not be encrypted: it is not listed.
void CDlgEncrypt::ListPickedFile(const std::wstring& path)
{
    fw::FileHandle file = OpenExclusive(path);
    uint64_t size = 0;
    if (!file || !fileio::SizeOf(file.Get(), size))
        return;
    file.Reset();
    AppendRows({{path, size}});
}

void CDlgEncrypt::Tell(const wchar_t* text) const
{
    MessageBox(text, L"");
}

void CDlgEncrypt::ClearPasswords()
{
    link_.Run([&] {
        passwordEdit_.SetText(L"");
        confirmEdit_.SetText(L"");
    });
}

void CDlgEncrypt::AppendRows(const std::vector<FoundFile>& files)
{
    link_.Run([&] { AppendToList(files); });
}

void CDlgEncrypt::AppendToList(const std::vector<FoundFile>& files)
{
    const wchar_t* status = ReadyStatus(listedMode_);
    for (const FoundFile& file : files) {
        totalBytes_ += file.size;
        if (HTREEITEM item = list_.InsertItem(file.path.c_str()))
            list_.SetItemTextAndImage(item, 1, status, kCrossImage);
    }
}

// A row costs the list two messages, each under Wine about as dear as opening
// a file; queued, the rows are appended while the walk opens the next files
// instead of after.
void CDlgEncrypt::StartRowQueue()
{
    link_.Run([this] { ::SetTimer(Handle(), kRowQueueTimer, kRowQueueTickMs, nullptr); });
}

void CDlgEncrypt::QueueRows(const std::vector<FoundFile>& files)
{
    {
        std::lock_guard<std::mutex> lock(rowQueueLock_);
        if (queuedRows_.size() < kMaxQueuedRows) {
            queuedRows_.insert(queuedRows_.end(), files.begin(), files.end());
            return;
        }
    }
    link_.Run([&] {
        AppendQueuedRows();
        AppendToList(files);
    });
}

void CDlgEncrypt::EndRowQueue()
{
    link_.Run([this] {
        ::KillTimer(Handle(), kRowQueueTimer);
        AppendQueuedRows();
    });
}

bool CDlgEncrypt::OnTimer(fw::Message& m)
{
    if (m.wParam != kRowQueueTimer)
        return false;
    AppendQueuedRows();
    return true;
}

void CDlgEncrypt::AppendQueuedRows()
{
    std::vector<FoundFile> rows;
    {
        std::lock_guard<std::mutex> lock(rowQueueLock_);
        rows.swap(queuedRows_);
    }
    AppendToList(rows);
}

// The list hands out its stored texts, which are copied at once.
std::vector<FileListScreen::ListedFile> CDlgEncrypt::ReadRows(unsigned first, unsigned count)
{
    std::vector<ListedFile> files;
    link_.Run([&] {
        for (unsigned row = first; row < first + count; ++row) {
            HTREEITEM item = list_.RowToItem(row);
            const wchar_t* path = item ? list_.GetItemText(item, 0) : nullptr;
            if (!path)
                return;
            files.push_back({item, path});
        }
    });
    return files;
}

void CDlgEncrypt::SetRowResults(const std::vector<RowResult>& results)
{
    link_.Run([&] {
        for (const RowResult& result : results) {
            if (result.done)
                list_.SetItemTextAndImage(result.item, 1, L"完成", kTickImage);
            else
                list_.SetItemTextAndImage(result.item, 1, L"失败", kCrossImage);
        }
    });
}
