// Reading and writing the fields of items and cells.
#include "ui/treelist/TreeListData.h"

#include <string.h>
#include <wchar.h>

static int ChildrenValue(const TreeListItem* item)
{
    if (item->callbacks & TLCB_CHILDREN)
        return I_CHILDRENCALLBACK;
    return (item->firstChild || (item->flags & TLF_ALWAYSBUTTON)) ? 1 : 0;
}

static void CopyText(TVITEMW* record, const WCHAR* text, unsigned length, BOOL callback)
{
    if (record->mask & TLIF_TEXTPTR) {
        if (callback) {
            record->pszText = LPSTR_TEXTCALLBACKW;
            record->cchTextMax = 0;
        } else {
            record->pszText = (LPWSTR)TreeListTextOf(text);
            record->cchTextMax = text ? (int)length + 1 : 0;
        }
        return;
    }
    if (callback) {
        record->pszText = LPSTR_TEXTCALLBACKW;
        return;
    }
    if (!record->pszText || record->pszText == LPSTR_TEXTCALLBACKW || record->cchTextMax <= 0)
        return;
    unsigned count = length;
    if (count > (unsigned)record->cchTextMax - 1)
        count = (unsigned)record->cchTextMax - 1;
    if (count)
        memcpy(record->pszText, text, count * sizeof(WCHAR));
    record->pszText[count] = 0;
}

static LRESULT GetItemFields(const TreeListItem* item, TVITEMW* record, BOOL columnZero)
{
    UINT mask = record->mask;
    if (mask & TVIF_PARAM)
        record->lParam = item->lParam;
    if (mask & TVIF_IMAGE)
        record->iImage = (item->callbacks & TLCB_IMAGE) ? I_IMAGECALLBACK : item->image;
    if (mask & TVIF_SELECTEDIMAGE)
        record->iSelectedImage = (item->callbacks & TLCB_SELECTEDIMAGE) ? I_IMAGECALLBACK : item->selectedImage;
    if (columnZero || (mask & TVIF_CHILDREN))
        record->cChildren = ChildrenValue(item);
    if (mask & TVIF_STATE)
        record->state = item->state & record->stateMask;
    if (mask & TVIF_TEXT)
        CopyText(record, item->text, item->textLength, (item->callbacks & TLCB_TEXT) != 0);
    return 1;
}

// A missing cell reads as a fresh one would, without allocating it.
static LRESULT GetCellFields(const TreeListItem* item, const TreeListCell* cell, TVITEMW* record)
{
    UINT mask = record->mask;
    if (mask & TVIF_PARAM)
        record->lParam = item->lParam;
    if (mask & TVIF_IMAGE) {
        int image = cell ? cell->image : TL_NO_IMAGE;
        record->iImage = (cell && (cell->callbacks & TLCB_IMAGE)) ? I_IMAGECALLBACK : image;
    }
    if (mask & TVIF_STATE) {
        UINT state = cell ? cell->state : (item->state & TL_CELL_INITIAL_STATE);
        record->state = state & record->stateMask & ~TL_ITEM_ONLY_STATE;
    }
    if (mask & TVIF_TEXT) {
        if (cell)
            CopyText(record, cell->text, cell->textLength, (cell->callbacks & TLCB_TEXT) != 0);
        else
            CopyText(record, NULL, 0, FALSE);
    }
    return 1;
}

LRESULT TreeListGetItemRecord(TreeListData* data, TVITEMW* record)
{
    if (!record)
        return 0;
    unsigned number;
    const TreeListItem* item = TreeListIsHandle((LPARAM)record->hItem, &number) ? TreeListGetItem(data, number) : NULL;
    if (!item)
        return 0;
    if (!(record->mask & TLIF_COLUMN))
        return GetItemFields(item, record, FALSE);
    unsigned column = (unsigned)record->cChildren;
    if (column == 0)
        return GetItemFields(item, record, TRUE);
    if (column >= data->columnCount)
        return 0;
    return GetCellFields(item, TreeListGetCell(data, number, column), record);
}

static BOOL SetImage(int* image, BYTE* callbacks, BYTE flag, int value)
{
    if (value == I_IMAGECALLBACK)
        *callbacks |= flag;
    else
        *callbacks &= (BYTE)~flag;
    BOOL changed = *image != value;
    *image = value;
    return changed;
}

static LRESULT SetCellFields(TreeListData* data, unsigned number, unsigned column, const TVITEMW* record)
{
    TreeListCell* cell = TreeListMakeCell(data, number, column);
    if (!cell)
        return -1;
    UINT mask = record->mask;
    if (mask & TVIF_PARAM)
        data->items[number]->lParam = record->lParam;
    if (mask & TVIF_IMAGE)
        SetImage(&cell->image, &cell->callbacks, TLCB_IMAGE, record->iImage);
    if (mask & TVIF_TEXT) {
        if (!TreeListSetText(&cell->text, &cell->textLength, &cell->callbacks, record->pszText))
            return -1;
        cell->textWidth = 0;
    }
    if (mask & TVIF_STATE) {
        UINT stateMask = record->stateMask & ~TL_ITEM_ONLY_STATE;
        cell->state = (cell->state & ~stateMask) | (record->state & stateMask);
    }
    if (mask & (TVIF_IMAGE | TVIF_TEXT | TVIF_STATE))
        TreeListInvalidateCell(data, number, column);
    return 0;
}

void TreeListSetChildrenIndicator(TreeListItem* item, int children)
{
    item->callbacks &= (BYTE)~TLCB_CHILDREN;
    item->flags &= (BYTE)~(TLF_ALWAYSBUTTON | TLF_FOLLOWCHILDREN);
    if (children == I_CHILDRENCALLBACK)
        item->callbacks |= TLCB_CHILDREN;
    else if (children == 1)
        item->flags |= TLF_ALWAYSBUTTON;
    else if (children != 0)
        item->flags |= TLF_FOLLOWCHILDREN;
}

// Selection and expansion bits go through their operations (with the
// parent's consent); the others are stored. FALSE when refused.
static BOOL ApplyItemState(TreeListData* data, unsigned number, UINT state, UINT stateMask)
{
    TreeListItem* item = data->items[number];
    UINT plain = stateMask & ~(UINT)(TVIS_SELECTED | TVIS_EXPANDED);
    UINT before = item->state;
    item->state = (item->state & ~plain) | (state & plain);
    if ((before ^ item->state) & TVIS_BOLD)
        item->textWidth = 0;
    if (before != item->state)
        TreeListInvalidateRow(data, number);

    if ((stateMask & TVIS_SELECTED) && ((item->state ^ state) & TVIS_SELECTED)) {
        BOOL select = (state & TVIS_SELECTED) != 0;
        if (data->exStyle & TLS_EX_MULTISELECT) {
            TreeListSetSelectedBit(data, item, select);
            TreeListInvalidateRow(data, number);
        } else if (select || data->caretItem == number) {
            if (!TreeListSelectCaret(data, select ? number : 0, 0, TVC_UNKNOWN))
                return FALSE;
        } else {
            TreeListSetSelectedBit(data, item, FALSE);
            TreeListInvalidateRow(data, number);
        }
        if (!TreeListStillHeld(data, number, 0))
            return FALSE;
        item = data->items[number];
    }
    if ((stateMask & TVIS_EXPANDED) && ((item->state ^ state) & TVIS_EXPANDED)) {
        if (!TreeListExpand(data, (state & TVIS_EXPANDED) ? TVE_EXPAND : TVE_COLLAPSE, (LPARAM)number))
            return FALSE;
    }
    return TRUE;
}

LRESULT TreeListSetItemRecord(TreeListData* data, const TVITEMW* record)
{
    if (!record)
        return -1;
    unsigned number;
    TreeListItem* item = TreeListIsHandle((LPARAM)record->hItem, &number) ? TreeListGetItem(data, number) : NULL;
    if (!item)
        return -1;
    if (record->mask & TLIF_COLUMN) {
        unsigned column = (unsigned)record->cChildren;
        if (column != 0)
            return column < data->columnCount ? SetCellFields(data, number, column, record) : -1;
    }
    UINT mask = record->mask;
    BOOL repaint = FALSE;
    if (mask & TVIF_PARAM)
        item->lParam = record->lParam;
    if (mask & TVIF_IMAGE)
        repaint |= SetImage(&item->image, &item->callbacks, TLCB_IMAGE, record->iImage);
    if (mask & TVIF_SELECTEDIMAGE)
        repaint |= SetImage(&item->selectedImage, &item->callbacks, TLCB_SELECTEDIMAGE, record->iSelectedImage);
    if ((mask & TVIF_CHILDREN) && !(mask & TLIF_COLUMN)) {
        TreeListSetChildrenIndicator(item, record->cChildren);
        repaint = TRUE;
    }
    if (mask & TVIF_TEXT) {
        if (!TreeListSetText(&item->text, &item->textLength, &item->callbacks, record->pszText))
            return -1;
        item->textWidth = 0;
        repaint = TRUE;
    }
    if (repaint)
        TreeListInvalidateCell(data, number, 0);
    if ((mask & TVIF_STATE) && !ApplyItemState(data, number, record->state, record->stateMask))
        return -1;
    return 0;
}

LRESULT TreeListGetItemState(TreeListData* data, WPARAM handle)
{
    unsigned number;
    const TreeListItem* item = TreeListIsHandle((LPARAM)handle, &number) ? TreeListGetItem(data, number) : NULL;
    return item ? (LRESULT)item->state : 0;
}

LRESULT TreeListGetCellColour(TreeListData* data, WPARAM handle, LPARAM column, BOOL background)
{
    unsigned number;
    const TreeListItem* item = TreeListIsHandle((LPARAM)handle, &number) ? TreeListGetItem(data, number) : NULL;
    if (!item)
        return -1;
    BYTE flag = background ? TLF_OWNBKCOLOUR : TLF_OWNTEXTCOLOUR;
    if (column == 0) {
        if (!(item->flags & flag))
            return -1;
        return (LRESULT)(background ? item->bkColour : item->textColour);
    }
    // The column is checked at the parameter's whole width: its high bits
    // must not fold it onto an existing column.
    if ((ULONG_PTR)column >= data->columnCount)
        return -1;
    const TreeListCell* cell = TreeListGetCell(data, number, (unsigned)column);
    if (!cell || !(cell->flags & flag))
        return -1;
    return (LRESULT)(background ? cell->bkColour : cell->textColour);
}

static LRESULT SwapColour(BYTE* flags, COLORREF* slot, BYTE flag, LPARAM colour, BOOL* changed)
{
    LRESULT previous = (*flags & flag) ? (LRESULT)*slot : -1;
    if (colour == -1 || (DWORD)colour == CLR_NONE) {
        *flags &= (BYTE)~flag;
    } else {
        *flags |= flag;
        *slot = (COLORREF)colour;
    }
    LRESULT now = (*flags & flag) ? (LRESULT)*slot : -1;
    *changed = previous != now;
    return previous;
}

LRESULT TreeListSetCellColour(TreeListData* data, WPARAM cellHandle, LPARAM colour, BOOL background)
{
    unsigned number = (unsigned)(cellHandle & 0xFFFFFF);
    unsigned column = (unsigned)((cellHandle >> 24) & 0xFF);
    TreeListItem* item = TreeListGetItem(data, number);
    if (!item)
        return -1;
    BYTE flag = background ? TLF_OWNBKCOLOUR : TLF_OWNTEXTCOLOUR;
    BOOL changed = FALSE;
    LRESULT previous;
    if (column == 0) {
        previous = SwapColour(&item->flags, background ? &item->bkColour : &item->textColour, flag, colour, &changed);
    } else {
        if (column >= data->columnCount)
            return -1;
        TreeListCell* cell = TreeListMakeCell(data, number, column);
        if (!cell)
            return -1;
        previous = SwapColour(&cell->flags, background ? &cell->bkColour : &cell->textColour, flag, colour, &changed);
    }
    if (changed)
        TreeListInvalidateCell(data, number, column);
    return previous;
}

LRESULT TreeListGetUserData(TreeListData* data, LPARAM handle)
{
    unsigned number;
    TreeListItem* item = TreeListIsHandle(handle, &number) ? TreeListGetItem(data, number) : NULL;
    if (!item || data->userDataSize == 0)
        return 0;
    return (LRESULT)(item + 1);
}

LRESULT TreeListSetUserDataSize(TreeListData* data, LPARAM size)
{
    if ((ULONG_PTR)size > TL_MAX_USERDATA)
        return -1;
    if (data->itemCount != 0)
        return 0;
    data->userDataSize = (unsigned)size;
    return size;
}

LRESULT TreeListItemToRow(const TreeListData* data, LPARAM handle)
{
    unsigned number;
    const TreeListItem* item = TreeListIsHandle(handle, &number) ? TreeListGetLiveItem(data, number) : NULL;
    return item && item->row ? (LRESULT)(item->row - 1) : -1;
}

LRESULT TreeListRowToItem(const TreeListData* data, LPARAM row)
{
    return (ULONG_PTR)row < data->rowCount ? (LRESULT)data->rows[row] : 0;
}

const WCHAR* TreeListStoredText(const TreeListData* data, unsigned number, unsigned column, int* length,
                                BOOL* callback)
{
    const TreeListItem* item = TreeListGetItem(data, number);
    const TreeListCell* cell = column ? TreeListGetCell(data, number, column) : NULL;
    const WCHAR* text = NULL;
    *length = 0;
    *callback = FALSE;
    if (column == 0 && item) {
        text = item->text;
        *length = item->textLength;
        *callback = (item->callbacks & TLCB_TEXT) != 0;
    } else if (cell) {
        text = cell->text;
        *length = cell->textLength;
        *callback = (cell->callbacks & TLCB_TEXT) != 0;
    }
    return TreeListTextOf(text);
}

// Asks the parent for a callback text into buffer (TL_DISPINFO_CHARS); the
// semaphore is released meanwhile.
static void QueryText(TreeListData* data, unsigned number, unsigned column, WCHAR* buffer)
{
    NMTVDISPINFOW info;
    memset(&info, 0, sizeof info);
    buffer[0] = 0;
    const TreeListItem* item = data->items[number];
    info.item.mask = TVIF_HANDLE | TVIF_TEXT | (column ? TLIF_COLUMN : 0);
    info.item.hItem = (HTREEITEM)(ULONG_PTR)number;
    info.item.state = item->state;
    info.item.lParam = item->lParam;
    info.item.pszText = buffer;
    info.item.cchTextMax = TL_DISPINFO_CHARS;
    info.item.cChildren = (int)column;
    TreeListNotify(data, TVN_GETDISPINFOW, &info.hdr);
    if (info.item.pszText && info.item.pszText != buffer && info.item.pszText != LPSTR_TEXTCALLBACKW)
        lstrcpynW(buffer, info.item.pszText, TL_DISPINFO_CHARS);
    buffer[TL_DISPINFO_CHARS - 1] = 0;
}

const WCHAR* TreeListShownText(TreeListData* data, unsigned number, unsigned column, WCHAR* buffer, int* length)
{
    if (!TreeListStillHeld(data, number, 0))
        return NULL;
    BOOL callback;
    const WCHAR* text = TreeListStoredText(data, number, column, length, &callback);
    if (callback) {
        QueryText(data, number, column, buffer);
        if (!TreeListStillHeld(data, number, 0))
            return NULL;
        text = buffer;
        *length = lstrlenW(buffer);
    }
    if (column && *length > TL_CELL_SHOWN_CHARS)
        *length = TL_CELL_SHOWN_CHARS;
    return text;
}

int TreeListQueryImage(TreeListData* data, unsigned number, unsigned column, BOOL selected)
{
    NMTVDISPINFOW info;
    memset(&info, 0, sizeof info);
    const TreeListItem* item = TreeListGetItem(data, number);
    if (!item)
        return TL_NO_IMAGE;
    info.item.mask = TVIF_HANDLE | (selected ? TVIF_SELECTEDIMAGE : TVIF_IMAGE) | (column ? TLIF_COLUMN : 0);
    info.item.hItem = (HTREEITEM)(ULONG_PTR)number;
    info.item.state = item->state;
    info.item.lParam = item->lParam;
    info.item.iImage = info.item.iSelectedImage = TL_NO_IMAGE;
    info.item.cChildren = (int)column;
    TreeListNotify(data, TVN_GETDISPINFOW, &info.hdr);
    return selected ? info.item.iSelectedImage : info.item.iImage;
}
