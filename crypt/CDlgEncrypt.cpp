#include "crypt/CDlgEncrypt.h"

#include "crypt/ExclusiveFile.h"
#include "crypt/SystemFolderGuard.h"
#include "framework/App.h"
#include "framework/DataExchange.h"
#include "framework/MessageMap.h"
#include "shell/PasswordEntry.h"
#include "ui/skin/CZendalFileFolderDialog.h"
#include "ui/treelist/TreeList.h"

namespace {

// A worker's request to run a piece of work on the page's thread; lParam
// points to the std::function, which lives in the sender's frame.
const UINT kRunOnPageThread = WM_APP + 1;

const int kOperationControls[] = {IDC_ENCRYPT_OPERATION, IDC_ENCRYPT_BROWSE, IDC_ENCRYPT_PASSWORD,
                                  IDC_ENCRYPT_CONFIRM, IDC_ENCRYPT_START};

const wchar_t* ReadyStatus(int encryptMode)
{
    return encryptMode == 1 ? L"准备加密" : L"准备解密";
}

} // namespace

CDlgEncrypt::CDlgEncrypt() : CZendalDialog(IDD_ENCRYPT) {}

// The workers use this object until their last step.
CDlgEncrypt::~CDlgEncrypt()
{
    StopWorkers();
}

bool CDlgEncrypt::ProcessMessage(fw::Message& m)
{
    using Self = CDlgEncrypt;
    return fw::Dispatch(this, m,
                        fw::OnCommand(IDC_ENCRYPT_OPERATION, CBN_SELCHANGE, &Self::OnOperationChange),
                        fw::OnCommand(IDC_ENCRYPT_BROWSE, BN_CLICKED, &Self::OnBrowse),
                        fw::OnCommand(IDC_ENCRYPT_START, BN_CLICKED, &Self::OnStart),
                        fw::OnMessage(kRunOnPageThread, &Self::OnRunOnPageThread),
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
    operation_.AddString(L"文件加密");
    operation_.AddString(L"文件解密");
    operation_.SetCurSel(0);
    progress_.SetRange(0, 100);
    CreateList();
    return TRUE;
}

bool CDlgEncrypt::OnDestroy(fw::Message&)
{
    StopWorkers();
    return false;
}

void CDlgEncrypt::OnOperationChange()
{
    ClearList();
    ClearPasswords();
    start_.SetText(operation_.CurSel() == 0 ? L"开始加密" : L"开始解密");
}

void CDlgEncrypt::OnBrowse()
{
    ClearList();
    int selection = operation_.CurSel();
    std::wstring picked = PickPath();
    // A virtual folder has no path; walking "" would walk the current drive.
    if (picked.empty())
        return;
    std::wstring path = ListedForm(picked);
    if (SystemFolderGuard().Covers(path)) {
        Tell(L"请不要对系统文件夹内的文件进行操作");
        return;
    }
    totalBytes = 0;
    encryptMode = selection == 0 ? 1 : 0;
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        folderPath = path;
        search_.StartSearch(*this);
        return;
    }
    ListPickedFile(path);
}

void CDlgEncrypt::OnStart()
{
    int selection = operation_.CurSel();
    std::wstring entered = passwordEdit_.Text();
    PasswordProblem problem = CheckPasswordEntry(entered, confirmEdit_.Text());
    if (problem == PasswordProblem::TooLong)
        ClearPasswords();
    if (problem != PasswordProblem::None) {
        Tell(PasswordProblemText(problem));
        return;
    }
    if (::SendMessageW(list_, TVM_GETCOUNT, 0, 0) == 0) {
        Tell(L"请选择要操作的文件");
        return;
    }
    password = entered;
    encryptMode = selection == 0 ? 1 : 0;
    encrypt_.StartEncrypt(*this);
}

std::wstring CDlgEncrypt::PickPath() const
{
    CZendalFileFolderDialog picker(CZendalFileFolderDialog::kFileOrFolderMode, L"所有文件 (*.*)|*.*");
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
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.Get(), &size))
        return;
    file.Reset();
    totalBytes = static_cast<uint64_t>(size.QuadPart);
    AppendRows({path});
}

void CDlgEncrypt::Tell(const wchar_t* text) const
{
    MessageBox(text, L"");
}

void CDlgEncrypt::RunOnPageThread(const std::function<void()>& work)
{
    if (::GetWindowThreadProcessId(Handle(), nullptr) == ::GetCurrentThreadId())
        work();
    else
        Send(kRunOnPageThread, 0, reinterpret_cast<LPARAM>(&work));
}

LRESULT CDlgEncrypt::OnRunOnPageThread(WPARAM, LPARAM work)
{
    (*reinterpret_cast<const std::function<void()>*>(work))();
    return 0;
}

// Asks running workers to end and answers their messages until they have.
void CDlgEncrypt::StopWorkers()
{
    BusyFlag* flags[] = {&CThreadEncrypt::EncryptBusy, &CThreadEncryptSerach::SearchBusy};
    for (BusyFlag* flag : flags)
        flag->RequestStop();
    while (flags[0]->IsSet() || flags[1]->IsSet()) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void CDlgEncrypt::EnableEncryptControls(bool enable)
{
    RunOnPageThread([&] {
        for (int id : kOperationControls)
            Item(id).Enable(enable);
    });
}

void CDlgEncrypt::ClearPasswords()
{
    RunOnPageThread([&] {
        passwordEdit_.SetText(L"");
        confirmEdit_.SetText(L"");
    });
}

void CDlgEncrypt::AppendRows(const std::vector<std::wstring>& paths)
{
    RunOnPageThread([&] {
        const wchar_t* status = ReadyStatus(encryptMode);
        for (const std::wstring& path : paths) {
            TVINSERTSTRUCTW insert{};
            insert.hParent = TVI_ROOT;
            insert.hInsertAfter = TVI_LAST;
            insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
            insert.item.pszText = const_cast<LPWSTR>(path.c_str());
            auto item = reinterpret_cast<HTREEITEM>(
                ::SendMessageW(list_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
            if (item)
                SetStatus(item, status, kCrossImage);
        }
    });
}

std::vector<CDlgEncrypt::ListedFile> CDlgEncrypt::ReadRows(int first, int count)
{
    std::vector<ListedFile> files;
    RunOnPageThread([&] {
        for (int row = first; row < first + count; ++row) {
            auto item = reinterpret_cast<HTREEITEM>(::SendMessageW(list_, TLM_ROWTOITEM, 0, row));
            if (!item)
                return;
            TVITEMW cell{};
            cell.mask = TVIF_TEXT | TLIF_COLUMN | TLIF_TEXTPTR;
            cell.hItem = item;
            ::SendMessageW(list_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&cell));
            files.push_back({item, cell.pszText ? cell.pszText : L""});
        }
    });
    return files;
}

void CDlgEncrypt::SetRowResult(HTREEITEM item, bool done)
{
    RunOnPageThread([&] {
        if (done)
            SetStatus(item, L"完成", kTickImage);
        else
            SetStatus(item, L"失败", kCrossImage);
    });
}

void CDlgEncrypt::SetStatus(HTREEITEM item, const wchar_t* text, int image) const
{
    TVITEMW cell{};
    cell.mask = TVIF_TEXT | TVIF_IMAGE | TLIF_COLUMN;
    cell.hItem = item;
    cell.pszText = const_cast<LPWSTR>(text);
    cell.cchTextMax = 256;
    cell.iImage = image;
    cell.iSelectedImage = image;
    cell.cChildren = 1;
    ::SendMessageW(list_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&cell));
}

void CDlgEncrypt::ClearList()
{
    ::SendMessageW(list_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    ::InvalidateRect(list_, nullptr, TRUE);
}

void CDlgEncrypt::CreateList()
{
    TreeListRegister(fw::App::ResourceInstance());
    RECT r = listFrame_.RectIn(Handle());
    ::InflateRect(&r, -1, -1);
    list_ = ::CreateWindowExW(0, TREELIST_CLASSNAME, L"", WS_CHILD | WS_VISIBLE | 0x5004, r.left, r.top,
                              r.right - r.left, r.bottom - r.top, Handle(), reinterpret_cast<HMENU>(kListId),
                              fw::App::ResourceInstance(), nullptr);
    ::SendMessageW(list_, TVM_SETEXTENDEDSTYLE, 0, TLS_EX_ROWREPAINT);
    const struct {
        const wchar_t* caption;
        int width;
    } columns[] = {{L"准备操作的文件列表", 392}, {L"操作状态", 100}};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.cx = columns[i].width;
        column.pszText = const_cast<LPWSTR>(columns[i].caption);
        column.cchTextMax = 256;
        ::SendMessageW(list_, TLM_ADDCOLUMN, i, reinterpret_cast<LPARAM>(&column));
    }
    images_.Reset(::ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1));
    for (int id : {IDB_LIST_DOCUMENT, IDB_LIST_TICK, IDB_LIST_CROSS}) {
        fw::Bitmap bitmap(::LoadBitmapW(fw::App::ResourceInstance(), MAKEINTRESOURCEW(id)));
        ::ImageList_AddMasked(images_.Get(), bitmap.Get(), RGB(255, 255, 255));
    }
    ::SendMessageW(list_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_.Get()));
}
