#include "ui/skin/CZendalFileFolderDialog.h"

#include "framework/App.h"
#include "framework/UniqueHandle.h"
#include "framework/Window.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstdlib>
#include <cwctype>

namespace {

// Asks an Explorer-style open dialog for its shell browser (not add-ref'd).
const UINT kGetShellBrowser = WM_USER + 7;
const UINT_PTR kPickerSubclassId = 0x5A46;

// Path queries use a buffer of this many characters and pass two less as its size.
const int kQueryBufferLength = 780;
const int kQueryBufferSize = 778;

const wchar_t* const kCaptions[] = {L"选择文件", L"选择文件夹", L"选择文件或文件夹"};

template <class Interface>
struct ComTraits {
    using Handle = Interface*;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { h->Release(); }
};

struct StgMediumTraits {
    using Handle = STGMEDIUM*;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::ReleaseStgMedium(h); }
};

struct GlobalLockTraits {
    using Handle = HGLOBAL;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::GlobalUnlock(h); }
};

struct PidlTraits {
    using Handle = PIDLIST_ABSOLUTE;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::ILFree(h); }
};

using DataObject = fw::UniqueHandle<ComTraits<IDataObject>>;

// The data object of the items selected in the dialog's file list, or none.
DataObject SelectionOf(HWND dialog)
{
    auto* browser = reinterpret_cast<IShellBrowser*>(::SendMessageW(dialog, kGetShellBrowser, 0, 0));
    IShellView* rawView = nullptr;
    if (!browser || FAILED(browser->QueryActiveShellView(&rawView)) || !rawView)
        return DataObject();
    fw::UniqueHandle<ComTraits<IShellView>> view(rawView);
    void* data = nullptr;
    if (FAILED(view.Get()->GetItemObject(SVGIO_SELECTION, IID_IDataObject, &data)))
        return DataObject();
    return DataObject(static_cast<IDataObject*>(data));
}

// The file-system path of the first item in a shell item list; empty for a
// virtual item. Returns false when the list holds no item.
bool FirstItemPath(IDataObject* items, std::wstring& path)
{
    FORMATETC format{static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(CFSTR_SHELLIDLIST)), nullptr,
                     DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (FAILED(items->GetData(&format, &medium)))
        return false;
    fw::UniqueHandle<StgMediumTraits> release(&medium);
    const auto* list = static_cast<const CIDA*>(::GlobalLock(medium.hGlobal));
    if (!list)
        return false;
    fw::UniqueHandle<GlobalLockTraits> unlock(medium.hGlobal);
    if (list->cidl == 0)
        return false;
    const auto* base = reinterpret_cast<const BYTE*>(list);
    fw::UniqueHandle<PidlTraits> item(::ILCombine(reinterpret_cast<PCIDLIST_ABSOLUTE>(base + list->aoffset[0]),
                                                  reinterpret_cast<PCUIDLIST_RELATIVE>(base + list->aoffset[1])));
    wchar_t buffer[kQueryBufferLength] = {};
    path = item && ::SHGetPathFromIDListW(item.Get(), buffer) ? buffer : L"";
    return true;
}

} // namespace

CZendalFileFolderDialog::CZendalFileFolderDialog(int mode, const std::wstring& filter)
    : mode_(mode), filter_(FilterList(filter))
{
    settings_.lStructSize = sizeof(settings_);
    settings_.lpstrFilter = filter_.empty() ? nullptr : filter_.c_str();
    settings_.lpstrFile = fileName_;
    settings_.nMaxFile = MAX_PATH;
    settings_.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLEHOOK;
    settings_.lpfnHook = &CZendalFileFolderDialog::HookProc;
    settings_.lCustData = reinterpret_cast<LPARAM>(this);
}

// "|" separates the strings; the list ends with an empty string even when
// the text does not end with "||".
std::wstring CZendalFileFolderDialog::FilterList(const std::wstring& filter)
{
    if (filter.empty())
        return std::wstring();
    std::wstring list = filter;
    for (wchar_t& c : list)
        if (c == L'|')
            c = L'\0';
    list.append(2, L'\0');
    return list;
}

// Owned by the main window, which it disables while it runs. Closing it
// activates that owner; the keyboard goes back to the window that opened the
// picker (the page host), where it was.
INT_PTR CZendalFileFolderDialog::DoModal()
{
    fw::App* app = fw::App::Current();
    settings_.hwndOwner = app ? app->MainWindow() : nullptr;
    HWND opener = ::GetActiveWindow();
    BOOL confirmed = ::GetOpenFileNameW(&settings_);
    if (opener && opener != settings_.hwndOwner && ::IsWindow(opener) && ::IsWindowEnabled(opener))
        ::SetActiveWindow(opener);
    return confirmed ? IDOK : IDCANCEL;
}

UINT_PTR CALLBACK CZendalFileFolderDialog::HookProc(HWND hook, UINT msg, WPARAM, LPARAM lParam)
{
    try {
        if (msg == WM_INITDIALOG) {
            auto* self = reinterpret_cast<CZendalFileFolderDialog*>(reinterpret_cast<OPENFILENAMEW*>(lParam)->lCustData);
            ::SetWindowLongPtrW(hook, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            self->OnInitDialog(::GetParent(hook));
            return TRUE;
        }
        auto* self = reinterpret_cast<CZendalFileFolderDialog*>(::GetWindowLongPtrW(hook, GWLP_USERDATA));
        if (self && msg == WM_NOTIFY)
            self->OnNotify(::GetParent(hook), reinterpret_cast<const NMHDR*>(lParam)->code);
    } catch (...) {
    }
    return 0;
}

void CZendalFileFolderDialog::OnInitDialog(HWND dialog)
{
    SetCaption(dialog);
    AdjustControls(dialog);
    MoveControls(dialog);
    if (mode_ != kFileMode)
        ::SetWindowSubclass(dialog, &CZendalFileFolderDialog::PickerProc, kPickerSubclassId,
                            reinterpret_cast<DWORD_PTR>(this));
}

void CZendalFileFolderDialog::SetCaption(HWND dialog) const
{
    if (mode_ >= kFileMode && mode_ <= kFileOrFolderMode)
        ::SetWindowTextW(dialog, kCaptions[mode_]);
}

void CZendalFileFolderDialog::AdjustControls(HWND dialog) const
{
    if (HWND label = ::GetDlgItem(dialog, kFileNameLabelId))
        ::SetWindowTextW(label, L"项目名：");
    for (int id : {kFileTypeLabelId, kFileTypeBoxId})
        if (HWND control = ::GetDlgItem(dialog, id))
            ::ShowWindow(control, SW_HIDE);
}

// Without the file-type row the open button moves beside the cancel button,
// and the list and the name row move down into the freed space.
void CZendalFileFolderDialog::MoveControls(HWND dialog) const
{
    fw::Window cancel(::GetDlgItem(dialog, IDCANCEL));
    fw::Window open(::GetDlgItem(dialog, IDOK));
    fw::Window list(::GetDlgItem(dialog, kFileListId));
    fw::Window label(::GetDlgItem(dialog, kFileNameLabelId));
    fw::Window box(::GetDlgItem(dialog, kFileNameBoxId));
    if (!cancel.Handle())
        return;
    const UINT keep = SWP_NOZORDER | SWP_NOACTIVATE;
    RECT cancelRect = cancel.RectIn(dialog);
    if (open.Handle()) {
        RECT r = open.RectIn(dialog);
        open.SetPosition(nullptr, cancelRect.left - (r.right - r.left) - 5, cancelRect.top, 0, 0, keep | SWP_NOSIZE);
    }
    if (!list.Handle())
        return;
    RECT listRect = list.RectIn(dialog);
    list.SetPosition(nullptr, 0, 0, listRect.right - listRect.left, std::abs(listRect.top - cancelRect.top + 5),
                     keep | SWP_NOMOVE);
    if (label.Handle())
        label.SetPosition(nullptr, listRect.left, cancelRect.top + 5, 0, 0, keep | SWP_NOSIZE);
    if (box.Handle()) {
        RECT r = box.RectIn(dialog);
        box.SetPosition(nullptr, listRect.left + 55, cancelRect.top, r.right - r.left - 15, r.bottom - r.top, keep);
    }
}

// Folder modes: the open button (or Enter) ends the dialog with the tracked
// path, so the dialog neither opens a selected folder nor checks a typed name.
LRESULT CALLBACK CZendalFileFolderDialog::PickerProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                     DWORD_PTR)
{
    if (msg == WM_COMMAND && HIWORD(wParam) == 0 && LOWORD(wParam) == IDOK) {
        ::EndDialog(dialog, IDOK);
        return 0;
    }
    if (msg == WM_NCDESTROY)
        ::RemoveWindowSubclass(dialog, &CZendalFileFolderDialog::PickerProc, kPickerSubclassId);
    return ::DefSubclassProc(dialog, msg, wParam, lParam);
}

void CZendalFileFolderDialog::OnNotify(HWND dialog, UINT code)
{
    if (code == CDN_SELCHANGE)
        OnSelectionChange(dialog);
    else if (code == CDN_FOLDERCHANGE)
        SetChoice(dialog, QueryPath(dialog, CDM_GETFOLDERPATH));
}

// The selection is read from the dialog's file list itself: CDM_GETFILEPATH
// only joins the folder with the name box's text on some systems, which names
// neither a selected folder nor, once the box holds a path, a sensible file.
// With nothing selected the choice is the folder shown.
void CZendalFileFolderDialog::OnSelectionChange(HWND dialog)
{
    DataObject selection = SelectionOf(dialog);
    std::wstring path;
    if (!selection || !FirstItemPath(selection.Get(), path))
        path = QueryPath(dialog, CDM_GETFOLDERPATH);
    SetChoice(dialog, path);
}

void CZendalFileFolderDialog::SetChoice(HWND dialog, const std::wstring& path)
{
    choice_ = path;
    if (!choice_.empty())
        ::SetDlgItemTextW(dialog, kFileNameBoxId, choice_.c_str());
}

// Empty when the dialog is gone or the query fails. A virtual folder has no
// path; some systems answer with its shell parsing name ("::{…}") instead of
// failing, which is no path either.
std::wstring CZendalFileFolderDialog::QueryPath(HWND dialog, UINT message)
{
    wchar_t buffer[kQueryBufferLength] = {};
    LRESULT length = 0;
    if (::IsWindow(dialog))
        length = ::SendMessageW(dialog, message, kQueryBufferSize, reinterpret_cast<LPARAM>(buffer));
    buffer[kQueryBufferLength - 1] = L'\0';
    if (length <= 0 || length > kQueryBufferSize || !IsFileSystemPath(buffer))
        return std::wstring();
    return buffer;
}

// A drive path ("C:\…") or a network path ("\\server\…").
bool CZendalFileFolderDialog::IsFileSystemPath(const std::wstring& path)
{
    bool drive = path.size() >= 2 && path[1] == L':' && std::iswalpha(path[0]);
    bool network = path.compare(0, 2, L"\\\\") == 0;
    return drive || network;
}
