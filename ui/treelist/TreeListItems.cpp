// Item table, row list, insertion, deletion and expansion.
#include "ui/treelist/TreeListData.h"

#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#define TL_MAX_ITEMS 0x1000000u

static const WCHAR emptyText[1] = {0};

TreeListItem* TreeListGetItem(const TreeListData* data, unsigned number)
{
    if (number == 0 || number > data->highestItem)
        return NULL;
    return data->items[number];
}

TreeListItem* TreeListGetLiveItem(const TreeListData* data, unsigned number)
{
    TreeListItem* item = TreeListGetItem(data, number);
    return item && !(item->flags & TLF_DELETING) ? item : NULL;
}

BOOL TreeListIsHandle(LPARAM handle, unsigned* number)
{
    ULONG_PTR value = (ULONG_PTR)handle;
    if (value == 0 || value >= TL_MAX_ITEMS)
        return FALSE;
    *number = (unsigned)value;
    return TRUE;
}

const WCHAR* TreeListTextOf(const WCHAR* text)
{
    return text ? text : emptyText;
}

TreeListCell* TreeListGetCell(const TreeListData* data, unsigned number, unsigned column)
{
    if (column == 0 || column >= data->columnCount || !data->cellTables[column] || number >= data->itemCapacity)
        return NULL;
    return data->cellTables[column][number];
}

TreeListCell* TreeListMakeCell(TreeListData* data, unsigned number, unsigned column)
{
    TreeListItem* item = TreeListGetItem(data, number);
    if (!item || column == 0 || column >= data->columnCount || !data->cellTables[column])
        return NULL;
    TreeListCell* cell = data->cellTables[column][number];
    if (cell)
        return cell;
    cell = (TreeListCell*)calloc(1, sizeof(TreeListCell));
    if (!cell)
        return NULL;
    cell->state = item->state & TL_CELL_INITIAL_STATE;
    cell->image = TL_NO_IMAGE;
    data->cellTables[column][number] = cell;
    return cell;
}

BOOL TreeListSetText(WCHAR** text, unsigned short* length, BYTE* callbacks, const WCHAR* value)
{
    if (value == LPSTR_TEXTCALLBACKW) {
        free(*text);
        *text = NULL;
        *length = 0;
        *callbacks |= TLCB_TEXT;
        return TRUE;
    }
    size_t count = value ? wcslen(value) : 0;
    if (count > TL_MAX_TEXT)
        count = TL_MAX_TEXT;
    if (count == 0) {
        free(*text);
        *text = NULL;
    } else if (*text && count <= *length) {
        memmove(*text, value, count * sizeof(WCHAR));
        (*text)[count] = 0;
    } else {
        WCHAR* copy = (WCHAR*)malloc((count + 1) * sizeof(WCHAR));
        if (!copy)
            return FALSE;
        memcpy(copy, value, count * sizeof(WCHAR));
        copy[count] = 0;
        free(*text);
        *text = copy;
    }
    *length = (unsigned short)count;
    *callbacks &= (BYTE)~TLCB_TEXT;
    return TRUE;
}

void TreeListFillNotifyItem(const TreeListData* data, unsigned number, TVITEMW* record)
{
    const TreeListItem* item = TreeListGetItem(data, number);
    record->mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
    record->hItem = (HTREEITEM)(ULONG_PTR)(item ? number : 0);
    record->state = item ? item->state : 0;
    record->stateMask = 0xFFFFFFFFu;
    record->lParam = item ? item->lParam : 0;
}

BOOL TreeListShowsButton(const TreeListItem* item)
{
    if (item->callbacks & TLCB_CHILDREN)
        return TRUE;
    if (item->flags & TLF_ALWAYSBUTTON)
        return TRUE;
    return (item->flags & TLF_FOLLOWCHILDREN) && item->firstChild;
}

// Item and cell tables grow geometrically so that appending stays cheap.
static BOOL GrowItemTables(TreeListData* data)
{
    unsigned old = data->itemCapacity;
    unsigned capacity = old + old / 2 + 64;
    if (capacity > TL_MAX_ITEMS)
        capacity = TL_MAX_ITEMS;
    if (capacity <= old)
        return FALSE;
    TreeListItem** items = (TreeListItem**)realloc(data->items, capacity * sizeof(TreeListItem*));
    if (!items)
        return FALSE;
    data->items = items;
    memset(items + old, 0, (capacity - old) * sizeof(TreeListItem*));
    for (unsigned column = 1; column < data->columnCount; ++column) {
        TreeListCell** cells = (TreeListCell**)realloc(data->cellTables[column], capacity * sizeof(TreeListCell*));
        if (!cells)
            return FALSE; // tables already grown stay valid for the old capacity
        data->cellTables[column] = cells;
        memset(cells + old, 0, (capacity - old) * sizeof(TreeListCell*));
    }
    data->itemCapacity = capacity;
    return TRUE;
}

static BOOL EnsureRowCapacity(TreeListData* data, unsigned needed)
{
    if (needed <= data->rowCapacity)
        return TRUE;
    unsigned capacity = data->rowCapacity + data->rowCapacity / 2 + 64;
    if (capacity < needed)
        capacity = needed;
    unsigned* rows = (unsigned*)realloc(data->rows, capacity * sizeof(unsigned));
    if (!rows)
        return FALSE;
    data->rows = rows;
    data->rowCapacity = capacity;
    return TRUE;
}

static unsigned FindFreeNumber(const TreeListData* data)
{
    unsigned number = data->lastHandedOut + 1;
    for (;;) {
        if (number >= data->itemCapacity)
            number = 1;
        if (!data->items[number])
            return number;
        ++number;
    }
}

static void RenumberRows(TreeListData* data, unsigned from)
{
    for (unsigned index = from; index < data->rowCount; ++index)
        data->items[data->rows[index]]->row = index + 1;
}

// The caller has reserved the room.
static void InsertRows(TreeListData* data, unsigned at, const unsigned* numbers, unsigned count)
{
    memmove(data->rows + at + count, data->rows + at, (data->rowCount - at) * sizeof(unsigned));
    memcpy(data->rows + at, numbers, count * sizeof(unsigned));
    data->rowCount += count;
    RenumberRows(data, at);
    if (at < data->firstRow && data->firstRow + count < data->rowCount)
        data->firstRow += count;
}

static void RemoveRows(TreeListData* data, unsigned at, unsigned count)
{
    for (unsigned index = at; index < at + count; ++index)
        data->items[data->rows[index]]->row = 0;
    memmove(data->rows + at, data->rows + at + count, (data->rowCount - at - count) * sizeof(unsigned));
    data->rowCount -= count;
    RenumberRows(data, at);
    if (data->firstRow >= at + count)
        data->firstRow -= count;
    else if (data->firstRow > at)
        data->firstRow = at;
}

unsigned TreeListSubtreeRowEnd(const TreeListData* data, unsigned rowIndex)
{
    unsigned level = data->items[data->rows[rowIndex]]->level;
    unsigned index = rowIndex + 1;
    while (index < data->rowCount && data->items[data->rows[index]]->level > level)
        ++index;
    return index;
}

unsigned TreeListNextItem(const TreeListData* data, unsigned number, unsigned root, BOOL shownOnly)
{
    const TreeListItem* item = data->items[number];
    if (item->firstChild && (!shownOnly || (item->state & TVIS_EXPANDED)))
        return item->firstChild;
    while (number && number != root) {
        item = data->items[number];
        if (item->nextSibling)
            return item->nextSibling;
        number = item->parent;
    }
    return 0;
}

static unsigned CountShownBelow(const TreeListData* data, unsigned root, unsigned first)
{
    unsigned count = 0;
    for (unsigned n = first; n; n = TreeListNextItem(data, n, root, TRUE))
        ++count;
    return count;
}

static void CollectShownBelow(const TreeListData* data, unsigned root, unsigned first, unsigned* out)
{
    for (unsigned n = first; n; n = TreeListNextItem(data, n, root, TRUE))
        *out++ = n;
}

static void ShowChildren(TreeListData* data, unsigned number)
{
    TreeListItem* item = data->items[number];
    if (!item->row || !item->firstChild || TreeListSubtreeRowEnd(data, item->row - 1) > item->row)
        return;
    unsigned count = CountShownBelow(data, number, item->firstChild);
    if (!EnsureRowCapacity(data, data->rowCount + count))
        return;
    unsigned* numbers = (unsigned*)malloc(count * sizeof(unsigned));
    if (!numbers)
        return;
    CollectShownBelow(data, number, item->firstChild, numbers);
    InsertRows(data, item->row, numbers, count);
    free(numbers);
}

static void HideChildren(TreeListData* data, unsigned number)
{
    TreeListItem* item = data->items[number];
    if (!item->row)
        return;
    unsigned end = TreeListSubtreeRowEnd(data, item->row - 1);
    if (end > item->row)
        RemoveRows(data, item->row, end - item->row);
}

void TreeListRebuildRows(TreeListData* data)
{
    for (unsigned index = 0; index < data->rowCount; ++index)
        data->items[data->rows[index]]->row = 0;
    data->rowCount = 0;
    unsigned count = CountShownBelow(data, 0, data->firstTop);
    if (!EnsureRowCapacity(data, count))
        return;
    CollectShownBelow(data, 0, data->firstTop, data->rows);
    data->rowCount = count;
    RenumberRows(data, 0);
    if (data->firstRow >= data->rowCount)
        data->firstRow = data->rowCount ? data->rowCount - 1 : 0;
}

static BOOL IsChildOf(const TreeListData* data, unsigned number, unsigned parent)
{
    const TreeListItem* item = TreeListGetLiveItem(data, number);
    return item && item->parent == parent;
}

// The sibling after which a TVI_SORT insert goes: before the first sibling
// whose text is not below the new one. Callback texts are asked from the
// parent, so the walk starts over when the sibling asked about or the one
// the new item would follow went meanwhile.
static BOOL FindSortedPlace(TreeListData* data, unsigned parent, const WCHAR* text, unsigned* previous)
{
    WCHAR buffer[TL_DISPINFO_CHARS];
    for (int attempt = 0; attempt < 16; ++attempt) {
        BOOL changed = FALSE;
        unsigned prev = 0;
        unsigned sibling = parent ? data->items[parent]->firstChild : data->firstTop;
        while (sibling) {
            int length;
            const WCHAR* siblingText = TreeListShownText(data, sibling, 0, buffer, &length);
            if (!TreeListStillHeld(data, parent, 0))
                return FALSE;
            if (!siblingText || !IsChildOf(data, sibling, parent) || (prev && !IsChildOf(data, prev, parent))) {
                changed = TRUE;
                break;
            }
            if (lstrcmpiW(siblingText, text) >= 0)
                break;
            prev = sibling;
            sibling = data->items[sibling]->nextSibling;
        }
        if (!changed) {
            *previous = prev;
            return TRUE;
        }
    }
    return FALSE;
}

static void LinkItem(TreeListData* data, unsigned number, unsigned parent, unsigned prev)
{
    TreeListItem* item = data->items[number];
    TreeListItem* parentItem = parent ? data->items[parent] : NULL;
    unsigned* first = parentItem ? &parentItem->firstChild : &data->firstTop;
    unsigned* last = parentItem ? &parentItem->lastChild : &data->lastTop;
    item->parent = parent;
    item->level = parentItem ? parentItem->level + 1 : 0;
    item->prevSibling = prev;
    item->nextSibling = prev ? data->items[prev]->nextSibling : *first;
    if (prev)
        data->items[prev]->nextSibling = number;
    else
        *first = number;
    if (item->nextSibling)
        data->items[item->nextSibling]->prevSibling = number;
    else
        *last = number;
}

static void UnlinkItem(TreeListData* data, unsigned number)
{
    TreeListItem* item = data->items[number];
    TreeListItem* parentItem = item->parent ? data->items[item->parent] : NULL;
    unsigned* first = parentItem ? &parentItem->firstChild : &data->firstTop;
    unsigned* last = parentItem ? &parentItem->lastChild : &data->lastTop;
    if (item->prevSibling)
        data->items[item->prevSibling]->nextSibling = item->nextSibling;
    else
        *first = item->nextSibling;
    if (item->nextSibling)
        data->items[item->nextSibling]->prevSibling = item->prevSibling;
    else
        *last = item->prevSibling;
    item->prevSibling = item->nextSibling = 0;
    item->parent = 0;
}

static void FillNewItem(const TreeListData* data, TreeListItem* item, const TVITEMW* source)
{
    UINT mask = source->mask;
    if (mask & TVIF_STATE)
        item->state = source->state & source->stateMask;
    else if (data->style & TVS_CHECKBOXES)
        item->state = INDEXTOSTATEIMAGEMASK(1);
    item->state &= ~(UINT)TVIS_SELECTED;
    if (data->style & TVS_SINGLEEXPAND)
        item->state &= ~(UINT)TVIS_EXPANDED;
    item->state |= TVIS_EXPANDEDONCE;
    if (mask & TVIF_PARAM)
        item->lParam = source->lParam;
    item->image = (mask & TVIF_IMAGE) ? source->iImage : 0;
    item->selectedImage = (mask & TVIF_SELECTEDIMAGE) ? source->iSelectedImage : 0;
    if (item->image == I_IMAGECALLBACK)
        item->callbacks |= TLCB_IMAGE;
    if (item->selectedImage == I_IMAGECALLBACK)
        item->callbacks |= TLCB_SELECTEDIMAGE;
    TreeListSetChildrenIndicator(item, (mask & TVIF_CHILDREN) ? source->cChildren : TL_CHILDREN_FOLLOW);
}

// The row index a new item takes, or -1 when it is not shown.
static long NewItemRow(const TreeListData* data, unsigned parent, unsigned prev)
{
    if (parent) {
        const TreeListItem* parentItem = data->items[parent];
        if (!parentItem->row || !(parentItem->state & TVIS_EXPANDED))
            return -1;
    }
    if (prev)
        return (long)TreeListSubtreeRowEnd(data, data->items[prev]->row - 1);
    return parent ? (long)data->items[parent]->row : 0;
}

LRESULT TreeListInsertItem(TreeListData* data, const TVINSERTSTRUCTW* insert)
{
    if (data->busy || !insert)
        return 0;
    ULONG_PTR parentHandle = (ULONG_PTR)insert->hParent;
    ULONG_PTR after = (ULONG_PTR)insert->hInsertAfter;
    unsigned parent = 0;
    if (parentHandle != 0 && parentHandle != (ULONG_PTR)TVI_ROOT) {
        if (!TreeListIsHandle((LPARAM)parentHandle, &parent) || !TreeListGetLiveItem(data, parent))
            return 0;
    }
    if (after == (ULONG_PTR)TLI_NEXTTOPARENT) {
        if (parent) {
            after = parent;
            parent = data->items[parent]->parent;
        } else {
            after = (ULONG_PTR)TVI_LAST;
        }
    }

    TreeListItem pending;
    memset(&pending, 0, sizeof pending);
    FillNewItem(data, &pending, &insert->item);
    if ((insert->item.mask & TVIF_TEXT) && !TreeListSetText(&pending.text, &pending.textLength, &pending.callbacks,
                                                            insert->item.pszText))
        return 0;

    unsigned prev;
    if (after == (ULONG_PTR)TVI_FIRST) {
        prev = 0;
    } else if (after == (ULONG_PTR)TVI_SORT) {
        const WCHAR* text = (pending.callbacks & TLCB_TEXT) ? L"" : TreeListTextOf(pending.text);
        if (!FindSortedPlace(data, parent, text, &prev) || data->busy) {
            free(pending.text);
            return 0;
        }
    } else {
        unsigned sibling = 0;
        const TreeListItem* siblingItem = TreeListIsHandle((LPARAM)after, &sibling) ? TreeListGetLiveItem(data, sibling)
                                                                                    : NULL;
        if (siblingItem && siblingItem->parent == parent)
            prev = sibling;
        else
            prev = parent ? data->items[parent]->lastChild : data->lastTop;
    }

    TreeListItem* item = NULL;
    if ((data->itemCount + 1 >= data->itemCapacity && !GrowItemTables(data))
        || !EnsureRowCapacity(data, data->rowCount + 1)
        || !(item = (TreeListItem*)calloc(1, sizeof(TreeListItem) + data->userDataSize))) {
        free(pending.text);
        return 0;
    }
    *item = pending;
    unsigned number = FindFreeNumber(data);
    data->items[number] = item;
    data->itemCount++;
    if (number > data->highestItem)
        data->highestItem = number;
    data->lastHandedOut = number;

    BOOL parentGainsButton = parent && !data->items[parent]->firstChild;
    LinkItem(data, number, parent, prev);
    long row = NewItemRow(data, parent, prev);
    if (row >= 0) {
        InsertRows(data, (unsigned)row, &number, 1);
        TreeListScheduleScrollBars(data);
        TreeListInvalidateFromRow(data, (unsigned)row);
    } else if (parentGainsButton) {
        TreeListInvalidateRow(data, parent);
    }
    return (LRESULT)number;
}

static void FreeItem(TreeListData* data, unsigned number)
{
    TreeListItem* item = data->items[number];
    TreeListForgetItem(data, number);
    for (unsigned column = 1; column < data->columnCount; ++column) {
        TreeListCell** cells = data->cellTables[column];
        if (cells && cells[number]) {
            free(cells[number]->text);
            free(cells[number]);
            cells[number] = NULL;
        }
    }
    free(item->text);
    free(item);
    data->items[number] = NULL;
    data->itemCount--;
    while (data->highestItem && !data->items[data->highestItem])
        data->highestItem--;
    if (data->itemCount == 0)
        data->lastHandedOut = 0;
}

static void MarkSubtreeDeleting(TreeListData* data, unsigned number)
{
    for (unsigned n = number; n; n = TreeListNextItem(data, n, number, FALSE))
        data->items[n]->flags |= TLF_DELETING;
}

static void ClearDeletedCaret(TreeListData* data)
{
    TreeListItem* caret = TreeListGetItem(data, data->caretItem);
    if (!caret || !(caret->flags & TLF_DELETING))
        return;
    NMTREEVIEWW nm;
    memset(&nm, 0, sizeof nm);
    nm.action = TVC_UNKNOWN;
    TreeListFillNotifyItem(data, data->caretItem, &nm.itemOld);
    TreeListSetSelectedBit(data, caret, FALSE);
    data->caretItem = 0;
    TreeListNotify(data, TVN_SELCHANGEDW, &nm.hdr);
}

// Once the last item is gone the tables go too: a list emptied keeps no
// room for the items it once had.
static void ReleaseTables(TreeListData* data)
{
    for (unsigned column = 0; column < TL_MAX_COLUMNS; ++column) {
        free(data->cellTables[column]);
        data->cellTables[column] = NULL;
    }
    free(data->items);
    free(data->rows);
    data->items = NULL;
    data->rows = NULL;
    data->itemCapacity = data->rowCapacity = data->rowCount = 0;
    data->firstTop = data->lastTop = 0;
}

// Frees a chain of detached subtrees (linked as siblings without parent),
// children first, reporting each item before it goes. Items of the chain are
// marked deleting: nobody else frees them, and nothing is inserted below them.
static void DestroyDetached(TreeListData* data, unsigned head, BOOL notify)
{
    unsigned start = head;
    while (head) {
        unsigned number = start;
        while (data->items[number]->firstChild)
            number = data->items[number]->firstChild;
        if (notify) {
            NMTREEVIEWW nm;
            memset(&nm, 0, sizeof nm);
            nm.itemOld.mask = TVIF_HANDLE | TVIF_PARAM;
            nm.itemOld.hItem = (HTREEITEM)(ULONG_PTR)number;
            nm.itemOld.lParam = data->items[number]->lParam;
            TreeListNotify(data, TVN_DELETEITEMW, &nm.hdr);
        }
        TreeListItem* item = data->items[number];
        unsigned parent = item->parent;
        if (parent) {
            TreeListItem* parentItem = data->items[parent];
            parentItem->firstChild = item->nextSibling;
            if (item->nextSibling)
                data->items[item->nextSibling]->prevSibling = 0;
            else
                parentItem->lastChild = 0;
        } else {
            head = item->nextSibling;
            if (head)
                data->items[head]->prevSibling = 0;
        }
        FreeItem(data, number);
        start = parent ? parent : head;
    }
    // No items left means no chain is being destroyed further out either.
    if (data->itemCount == 0)
        ReleaseTables(data);
}

static void AfterRowsRemoved(TreeListData* data, unsigned fromRow)
{
    TreeListScheduleScrollBars(data);
    TreeListInvalidateFromRow(data, fromRow);
}

static void DeleteSubtree(TreeListData* data, unsigned number, BOOL notify)
{
    TreeListItem* item = data->items[number];
    unsigned parent = item->parent;
    unsigned firstRow = data->rowCount;
    if (item->row) {
        firstRow = item->row - 1;
        RemoveRows(data, firstRow, TreeListSubtreeRowEnd(data, firstRow) - firstRow);
    }
    UnlinkItem(data, number);
    MarkSubtreeDeleting(data, number);
    AfterRowsRemoved(data, firstRow);
    if (parent && !data->items[parent]->firstChild)
        TreeListInvalidateRow(data, parent);
    ClearDeletedCaret(data);
    DestroyDetached(data, number, notify);
}

BOOL TreeListDeleteSilently(TreeListData* data, unsigned number)
{
    if (!TreeListGetLiveItem(data, number))
        return FALSE;
    DeleteSubtree(data, number, FALSE);
    return TRUE;
}

void TreeListDeleteAll(TreeListData* data, BOOL notify)
{
    if (!data->firstTop)
        return;
    for (unsigned index = 0; index < data->rowCount; ++index)
        data->items[data->rows[index]]->row = 0;
    data->rowCount = 0;
    data->firstRow = 0;
    for (unsigned n = 1; n <= data->highestItem; ++n)
        if (data->items[n])
            data->items[n]->flags |= TLF_DELETING;
    unsigned head = data->firstTop;
    data->firstTop = data->lastTop = 0;
    AfterRowsRemoved(data, 0);
    ClearDeletedCaret(data);
    DestroyDetached(data, head, notify);
}

LRESULT TreeListDeleteItem(TreeListData* data, LPARAM handle)
{
    if (data->busy)
        return 0;
    if (handle == 0 || handle == (LPARAM)TVI_ROOT) {
        if (!data->firstTop)
            return 0;
        TreeListDeleteAll(data, TRUE);
        return 1;
    }
    unsigned number;
    if (!TreeListIsHandle(handle, &number) || !TreeListGetLiveItem(data, number))
        return 0;
    DeleteSubtree(data, number, TRUE);
    return 1;
}

void TreeListFreeTables(TreeListData* data)
{
    for (unsigned n = 1; n <= data->highestItem; ++n) {
        if (data->items[n])
            FreeItem(data, n);
    }
    ReleaseTables(data);
}

static LRESULT NotifyExpand(TreeListData* data, UINT code, UINT action, unsigned number)
{
    NMTREEVIEWW nm;
    memset(&nm, 0, sizeof nm);
    nm.action = action;
    TreeListFillNotifyItem(data, number, &nm.itemNew);
    return TreeListNotify(data, code, &nm.hdr);
}

static void AfterExpansionChange(TreeListData* data, unsigned number)
{
    TreeListItem* item = data->items[number];
    TreeListScheduleScrollBars(data);
    if (item->row)
        TreeListInvalidateFromRow(data, item->row - 1);
}

static LRESULT ExpandItem(TreeListData* data, unsigned number, BOOL partial)
{
    TreeListItem* item = data->items[number];
    if (item->state & TVIS_EXPANDED) {
        BOOL isPartial = (item->state & TVIS_EXPANDPARTIAL) != 0;
        if (partial == isPartial)
            return 0;
        item->state ^= TVIS_EXPANDPARTIAL;
        TreeListInvalidateRow(data, number);
        return 1;
    }
    if (!item->firstChild && !TreeListShowsButton(item))
        return 0;
    if (NotifyExpand(data, TVN_ITEMEXPANDINGW, TVE_EXPAND, number) || !TreeListStillHeld(data, number, 0))
        return 0;
    item = data->items[number];
    if (item->state & TVIS_EXPANDED)
        return 0;
    item->state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
    if (partial)
        item->state |= TVIS_EXPANDPARTIAL;
    ShowChildren(data, number);
    AfterExpansionChange(data, number);
    NotifyExpand(data, TVN_ITEMEXPANDEDW, TVE_EXPAND, number);
    return 1;
}

static LRESULT CollapseItem(TreeListData* data, unsigned number, BOOL reset)
{
    TreeListItem* item = data->items[number];
    if (!(item->state & TVIS_EXPANDED) && !reset)
        return 0;
    if (reset && data->busy)
        return 0;
    if (NotifyExpand(data, TVN_ITEMEXPANDINGW, TVE_COLLAPSE, number) || !TreeListStillHeld(data, number, 0))
        return 0;
    item = data->items[number];
    HideChildren(data, number);
    item->state &= ~(UINT)(TVIS_EXPANDED | TVIS_EXPANDPARTIAL);
    if (reset && !data->busy) {
        while (TreeListStillHeld(data, number, 0) && data->items[number]->firstChild)
            DeleteSubtree(data, data->items[number]->firstChild, TRUE);
        if (!TreeListStillHeld(data, number, 0))
            return 0;
        data->items[number]->state &= ~(UINT)TVIS_EXPANDEDONCE;
    }
    AfterExpansionChange(data, number);
    NotifyExpand(data, TVN_ITEMEXPANDEDW, TVE_COLLAPSE, number);
    return 1;
}

LRESULT TreeListExpand(TreeListData* data, UINT action, LPARAM handle)
{
    unsigned number;
    TreeListItem* item = TreeListIsHandle(handle, &number) ? TreeListGetLiveItem(data, number) : NULL;
    if (!item)
        return 0;
    UINT code = action & 3;
    if (code == TVE_TOGGLE)
        code = (item->state & TVIS_EXPANDED) ? TVE_COLLAPSE : TVE_EXPAND;
    if (code == TVE_EXPAND)
        return ExpandItem(data, number, (action & TVE_EXPANDPARTIAL) != 0);
    if (code == TVE_COLLAPSE)
        return CollapseItem(data, number, (action & TVE_COLLAPSERESET) != 0);
    return 0;
}
