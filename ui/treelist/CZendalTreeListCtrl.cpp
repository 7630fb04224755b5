#include "ui/treelist/CZendalTreeListCtrl.h"

#include "framework/MessageMap.h"

#include <windowsx.h>

namespace {

const UINT kCellText = TLIF_COLUMN | TVIF_TEXT;
const int kTextMax = 256;
const COLORREF kTransparentWhite = RGB(255, 255, 255);
const int kImageSize = 16;

HTREEITEM ToItem(LRESULT result)
{
    return reinterpret_cast<HTREEITEM>(result);
}

} // namespace

bool CZendalTreeListCtrl::Create(HWND page, int placeholderId, DWORD style,
                                 const std::vector<CZendalTreeListColumn>& columns)
{
    auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(page, GWLP_HINSTANCE));
    fw::Window placeholder(::GetDlgItem(page, placeholderId));
    if (!TreeListRegister(instance) || !placeholder.Handle())
        return false;
    RECT rect = placeholder.RectIn(page);
    ::InflateRect(&rect, -1, -1);
    HWND list = ::CreateWindowExW(0, TREELIST_CLASSNAME, L"", style, rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, page,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kControlId)), instance, nullptr);
    if (!list)
        return false;
    if (!Subclass(list)) {
        ::DestroyWindow(list);
        return false;
    }
    Send(TVM_SETEXTENDEDSTYLE, 0, TLS_EX_ROWREPAINT);
    int index = 0;
    for (const CZendalTreeListColumn& column : columns)
        AddColumn(index++, column);
    return true;
}

void CZendalTreeListCtrl::AddColumn(int index, const CZendalTreeListColumn& column) const
{
    LVCOLUMNW record{};
    record.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    record.fmt = LVCFMT_LEFT;
    record.cx = column.width;
    record.pszText = const_cast<LPWSTR>(column.caption);
    record.cchTextMax = kTextMax;
    Send(TLM_ADDCOLUMN, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&record));
}

fw::ImageList CZendalTreeListCtrl::LoadImages(HINSTANCE module, const std::vector<UINT>& bitmapIds)
{
    fw::ImageList images(::ImageList_Create(kImageSize, kImageSize, ILC_COLOR32 | ILC_MASK, 1, 1));
    if (!images)
        return images;
    for (UINT id : bitmapIds) {
        fw::Bitmap bitmap(::LoadBitmapW(module, MAKEINTRESOURCEW(id)));
        if (bitmap)
            ::ImageList_AddMasked(images.Get(), bitmap.Get(), kTransparentWhite);
    }
    return images;
}

void CZendalTreeListCtrl::SetImageList(HIMAGELIST images) const
{
    Send(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
}

HTREEITEM CZendalTreeListCtrl::InsertItem(const wchar_t* text) const
{
    TVINSERTSTRUCTW insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<LPWSTR>(text);
    insert.item.iImage = 0;
    insert.item.iSelectedImage = 0;
    return ToItem(Send(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

bool CZendalTreeListCtrl::SetItemText(HTREEITEM item, int column, const wchar_t* text) const
{
    TVITEMW record{};
    record.mask = kCellText;
    record.hItem = item;
    record.pszText = const_cast<LPWSTR>(text);
    record.cchTextMax = text ? kTextMax : 0;
    record.cChildren = column;
    return Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&record)) == 0;
}

bool CZendalTreeListCtrl::SetItemTextAndImage(HTREEITEM item, int column, const wchar_t* text, int image) const
{
    TVITEMW record{};
    record.mask = kCellText | TVIF_IMAGE;
    record.hItem = item;
    record.pszText = const_cast<LPWSTR>(text);
    record.cchTextMax = text ? kTextMax : 0;
    record.iImage = image;
    record.iSelectedImage = image;
    record.cChildren = column;
    return Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&record)) == 0;
}

const wchar_t* CZendalTreeListCtrl::GetItemText(HTREEITEM item, int column) const
{
    TVITEMW record{};
    record.mask = TLIF_TEXTPTR | kCellText;
    record.hItem = item;
    record.cChildren = column;
    if (!Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&record)))
        return nullptr;
    return record.pszText;
}

HTREEITEM CZendalTreeListCtrl::GetSelectedItem() const
{
    return ToItem(Send(TVM_GETNEXTITEM, TVGN_CARET, 0));
}

HTREEITEM CZendalTreeListCtrl::RowToItem(unsigned row) const
{
    return ToItem(Send(TLM_ROWTOITEM, 0, static_cast<LPARAM>(row)));
}

unsigned CZendalTreeListCtrl::GetCount() const
{
    return static_cast<unsigned>(Send(TVM_GETCOUNT));
}

bool CZendalTreeListCtrl::DeleteItem(HTREEITEM item) const
{
    bool deleted = Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)) != 0;
    Invalidate(true);
    return deleted;
}

bool CZendalTreeListCtrl::DeleteAllItems() const
{
    return DeleteItem(TVI_ROOT);
}

int CZendalTreeListCtrl::GetCheck(HTREEITEM item) const
{
    TVITEMW record{};
    record.mask = TVIF_HANDLE | TVIF_STATE;
    record.hItem = item;
    record.stateMask = TVIS_STATEIMAGEMASK;
    Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&record));
    return TL_STATE_IMAGE(record.state) - 1;
}

bool CZendalTreeListCtrl::SetCheck(HTREEITEM item, bool checked) const
{
    TVITEMW record{};
    record.mask = TVIF_HANDLE | TVIF_STATE;
    record.hItem = item;
    record.stateMask = TVIS_STATEIMAGEMASK;
    record.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    return Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&record)) == 0;
}

int CZendalTreeListCtrl::HasChildren(HTREEITEM item) const
{
    TVITEMW record{};
    record.mask = TVIF_CHILDREN;
    record.hItem = item;
    Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&record));
    return record.cChildren;
}

HTREEITEM CZendalTreeListCtrl::HitTest(POINT client, UINT* flags) const
{
    TVHITTESTINFO info{};
    info.pt = client;
    HTREEITEM item = ToItem(Send(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    if (flags)
        *flags = info.flags;
    return item;
}

HTREEITEM CZendalTreeListCtrl::GetChildItem(HTREEITEM item) const
{
    return ToItem(Send(TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
}

HTREEITEM CZendalTreeListCtrl::GetNextSiblingItem(HTREEITEM item) const
{
    return ToItem(Send(TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
}

bool CZendalTreeListCtrl::ProcessMessage(fw::Message& m)
{
    using Self = CZendalTreeListCtrl;
    return fw::Dispatch(this, m,
                        fw::OnMessage(WM_LBUTTONDOWN, &Self::OnCheckBoxClick),
                        fw::OnMessage(WM_LBUTTONDBLCLK, &Self::OnCheckBoxClick))
        || fw::WindowObject::ProcessMessage(m);
}

// The list switches a check box on a press and again on a double click; the
// children follow each switch, so that they always end in the item's state.
bool CZendalTreeListCtrl::OnCheckBoxClick(fw::Message& m)
{
    UINT flags = 0;
    HTREEITEM item = HitTest(POINT{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)}, &flags);
    // The list turns an unchecked box (image 1) into a checked one and any
    // other into an unchecked one.
    if (item && (flags & TVHT_ONITEMSTATEICON) && HasChildren(item) != 0)
        SetChildrenChecks(item, GetCheck(item) == 0);
    m.result = DefaultProcessing(m);
    return true;
}

void CZendalTreeListCtrl::SetChildrenChecks(HTREEITEM item, bool checked) const
{
    for (HTREEITEM child = GetChildItem(item); child; child = GetNextSiblingItem(child))
        SetCheck(child, checked);
}
