// Mouse input: expand buttons, check boxes, selection (single and multiple),
// editing by double click, drag start, hot tracking and the click
// notifications that close every press.
#include "ui/treelist/TreeListData.h"

#include <stdlib.h>
#include <string.h>
#include <windowsx.h>

BOOL TreeListTakeFocus(TreeListData* data)
{
    if (data->focused || GetFocus() == data->hwnd)
        return !data->destroyed;
    TreeListUnlock(data);
    SetFocus(data->hwnd);
    TreeListLock(data);
    return !data->destroyed;
}

UINT TreeListToggleCheck(TreeListData* data, unsigned number)
{
    TreeListItem* item = data->items[number];
    UINT state = item->state;
    if (data->exStyle & TLS_EX_CHECKCYCLE)
        state ^= INDEXTOSTATEIMAGEMASK(1);
    else
        state = (state & ~TVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(TL_STATE_IMAGE(state) == 1 ? 2 : 1);
    item->state = state;
    TreeListInvalidateRow(data, number);
    return state;
}

static void NotifyCheckClicked(TreeListData* data, unsigned number, UINT state, POINT point)
{
    NMTREEVIEWW nm;
    memset(&nm, 0, sizeof nm);
    const TreeListItem* item = data->items[number];
    int length;
    BOOL callback;
    const WCHAR* text = TreeListStoredText(data, number, 0, &length, &callback);
    nm.action = TVC_BYMOUSE;
    nm.itemNew.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_STATE | TVIF_PARAM;
    nm.itemNew.hItem = (HTREEITEM)(ULONG_PTR)number;
    nm.itemNew.pszText = callback ? LPSTR_TEXTCALLBACKW : (LPWSTR)text;
    nm.itemNew.cchTextMax = length + 1;
    nm.itemNew.state = state;
    nm.itemNew.stateMask = TVIS_STATEIMAGEMASK;
    nm.itemNew.lParam = item->lParam;
    nm.ptDrag = point;
    TreeListNotify(data, TLN_STATEIMAGECLICKED, &nm.hdr);
}

static void FillMouseRecord(const TreeListData* data, NMTREEVIEWW* nm, unsigned number, unsigned column, POINT point)
{
    memset(nm, 0, sizeof *nm);
    const TreeListItem* item = TreeListGetLiveItem(data, number);
    nm->itemNew.mask = TLIF_SUBCOLUMN | TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
    nm->itemNew.hItem = (HTREEITEM)(ULONG_PTR)(item ? number : 0);
    nm->itemNew.state = item ? item->state : 0;
    nm->itemNew.stateMask = 0xFFFFFFFFu;
    nm->itemNew.lParam = item ? item->lParam : 0;
    nm->itemNew.cChildren = (int)column;
    nm->ptDrag = point;
}

static void NotifyClick(TreeListData* data, UINT button, BOOL doubleClick, unsigned number, unsigned column,
                        POINT point)
{
    UINT code = button == TL_LEFT ? (doubleClick ? NM_DBLCLK : NM_CLICK) : (doubleClick ? NM_RDBLCLK : NM_RCLICK);
    NMTREEVIEWW nm;
    FillMouseRecord(data, &nm, number, column, point);
    TreeListNotify(data, code, &nm.hdr);
}

// Multiple selection ----------------------------------------------------

static void SetAnchor(TreeListData* data, unsigned number)
{
    TreeListItem* old = TreeListGetItem(data, data->anchorItem);
    if (old) {
        old->flags &= (BYTE)~TLF_ANCHOR;
        TreeListInvalidateRow(data, data->anchorItem);
    }
    data->anchorItem = number;
    if (number)
        data->items[number]->flags |= TLF_ANCHOR;
}

static void SelectOnly(TreeListData* data, unsigned keep)
{
    for (unsigned n = 1; n <= data->highestItem && data->selectedCount > (keep ? 1u : 0u); ++n) {
        TreeListItem* item = data->items[n];
        if (n != keep && item && (item->state & TVIS_SELECTED)) {
            TreeListSetSelectedBit(data, item, FALSE);
            TreeListInvalidateRow(data, n);
        }
    }
}

static void SelectRows(TreeListData* data, unsigned from, unsigned to)
{
    unsigned first = from < to ? from : to;
    unsigned last = from < to ? to : from;
    for (unsigned row = first; row <= last && row < data->rowCount; ++row) {
        unsigned n = data->rows[row];
        TreeListSetSelectedBit(data, data->items[n], TRUE);
        TreeListInvalidateRow(data, n);
    }
}

// Moves the caret without unselecting the other selected items.
static BOOL MoveCaretKeeping(TreeListData* data, unsigned number, unsigned column, UINT cause)
{
    data->keepSelection = TRUE;
    BOOL moved = TreeListSelectCaret(data, number, column, cause);
    data->keepSelection = FALSE;
    return moved && TreeListStillHeld(data, number, 0);
}

void TreeListSelectWithKeys(TreeListData* data, unsigned number, unsigned column, UINT cause, WPARAM keys)
{
    if (!(data->exStyle & TLS_EX_MULTISELECT)) {
        TreeListSelectCaret(data, number, column, cause);
        return;
    }
    if (keys & MK_CONTROL) {
        BOOL wasSelected = (data->items[number]->state & TVIS_SELECTED) != 0;
        if (!MoveCaretKeeping(data, number, column, cause))
            return;
        TreeListSetSelectedBit(data, data->items[number], !wasSelected);
        TreeListInvalidateRow(data, number);
        SetAnchor(data, number);
        return;
    }
    if (keys & MK_SHIFT) {
        unsigned anchor = TreeListGetLiveItem(data, data->anchorItem) ? data->anchorItem : data->caretItem;
        if (!MoveCaretKeeping(data, number, column, cause))
            return;
        const TreeListItem* anchorItem = TreeListGetLiveItem(data, anchor);
        SelectOnly(data, number);
        if (anchorItem && anchorItem->row)
            SelectRows(data, anchorItem->row - 1, data->items[number]->row - 1);
        return;
    }
    if (!TreeListSelectCaret(data, number, column, cause) || !TreeListStillHeld(data, number, 0))
        return;
    SelectOnly(data, number);
    SetAnchor(data, number);
}

// Pressing ---------------------------------------------------------------

static BOOL SelectsItem(const TreeListData* data, UINT flags, unsigned column)
{
    if (column > 0)
        return (flags & (TLHT_ONCELLICON | TLHT_ONCELLLABEL | TLHT_ONCELLRIGHT)) != 0;
    if (flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON))
        return TRUE;
    return (data->style & TVS_FULLROWSELECT)
        && (flags & (TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT | TLHT_RIGHTOFCOLUMNS)) != 0;
}

static void RememberDrag(TreeListData* data, UINT button, unsigned number, unsigned column, POINT point)
{
    if (data->style & TVS_DISABLEDRAGDROP)
        return;
    data->dragButton = button;
    data->dragItem = number;
    data->dragColumn = column;
    data->dragStart = point;
}

// A press on a member of a multiple selection keeps it until the release,
// so that the selection can still be dragged.
static void SelectByMouse(TreeListData* data, UINT button, unsigned number, unsigned column, WPARAM keys)
{
    const TreeListItem* item = data->items[number];
    BOOL inMultiple = (data->exStyle & TLS_EX_MULTISELECT) && data->selectedCount > 1
                   && (item->state & TVIS_SELECTED) && !(keys & (MK_CONTROL | MK_SHIFT));
    if (inMultiple) {
        data->keptPressItem = button == TL_LEFT ? number : 0;
        MoveCaretKeeping(data, number, column, TVC_BYMOUSE);
    } else {
        TreeListSelectWithKeys(data, number, column, TVC_BYMOUSE, keys);
    }
    if (TreeListStillHeld(data, number, 0))
        TreeListEnsureVisible(data, column, (LPARAM)number);
}

static BOOL ColumnEditFlag(const TreeListData* data, unsigned column, BYTE flag)
{
    if (column >= TreeListShownColumns(data) || !(data->style & TVS_EDITLABELS))
        return FALSE;
    const TreeListColumn* record = &data->columns[column];
    return record->editMode != 0 && (record->editFlags[0] & flag);
}

static void OnDoubleClick(TreeListData* data, unsigned number, unsigned column)
{
    if (ColumnEditFlag(data, column, TLEF_DOUBLECLICK))
        TreeListEditLabel(data, column, (LPARAM)number, 0, FALSE);
    else
        TreeListExpand(data, TVE_TOGGLE, (LPARAM)number);
}

static void OnExpandButton(TreeListData* data, unsigned number)
{
    TreeListItem* item = data->items[number];
    if ((item->state & TVIS_EXPANDED) && (item->state & TVIS_EXPANDPARTIAL)) {
        item->state &= ~(UINT)TVIS_EXPANDPARTIAL;
        TreeListInvalidateRow(data, number);
        return;
    }
    TreeListExpand(data, TVE_TOGGLE, (LPARAM)number);
}

static unsigned HitItem(TreeListData* data, POINT point, UINT* flags, unsigned* column)
{
    TVHITTESTINFO info;
    memset(&info, 0, sizeof info);
    info.pt = point;
    unsigned number = (unsigned)TreeListHitTest(data, &info);
    *flags = info.flags;
    *column = TLHT_COLUMN(info.flags);
    return number;
}

// What a press does besides selecting: the button, the check box, a double
// click and a click on an editable cell's icon.
static void HandlePress(TreeListData* data, UINT button, BOOL doubleClick, WPARAM keys, POINT point,
                        unsigned number, UINT flags, unsigned column)
{
    BOOL left = button == TL_LEFT;
    if (left && (flags & TVHT_ONITEMBUTTON) && column == 0) {
        OnExpandButton(data, number);
        return;
    }
    if (left && (flags & TVHT_ONITEMSTATEICON) && column == 0 && (data->style & TVS_CHECKBOXES)) {
        UINT state = TreeListToggleCheck(data, number);
        NotifyCheckClicked(data, number, state, point);
        if (!TreeListStillHeld(data, number, 0))
            return;
    }
    if (!SelectsItem(data, flags, column))
        return;
    RememberDrag(data, button, number, column, point);
    SelectByMouse(data, button, number, column, keys);
    if (!TreeListStillHeld(data, number, 0) || !left)
        return;
    if (doubleClick && !(flags & TVHT_ONITEMSTATEICON))
        OnDoubleClick(data, number, column);
    else if (!doubleClick && (flags & TLHT_ONCELLICON) && ColumnEditFlag(data, column, TLEF_ICONCLICK))
        TreeListEditLabel(data, column, (LPARAM)number, 0, FALSE);
}

static POINT PointOf(LPARAM position)
{
    POINT point = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    return point;
}

LRESULT TreeListOnButtonDown(TreeListData* data, UINT button, BOOL doubleClick, WPARAM keys, LPARAM position)
{
    POINT point = PointOf(position);
    if (!data->enabled || !TreeListTakeFocus(data))
        return 0;
    UINT flags;
    unsigned column;
    unsigned number = HitItem(data, point, &flags, &column);
    if (data->destroyed)
        return 0;
    if (number)
        HandlePress(data, button, doubleClick, keys, point, number, flags, column);
    if (!data->destroyed)
        NotifyClick(data, button, doubleClick, number, column, point);
    return 0;
}

// A release ends the drag candidate of its button; the left one also
// completes a press kept for a multiple selection.
LRESULT TreeListOnButtonUp(TreeListData* data, UINT button)
{
    if (data->dragButton == button) {
        data->dragButton = 0;
        data->dragItem = 0;
    }
    if (button != TL_LEFT)
        return 0;
    unsigned kept = data->keptPressItem;
    data->keptPressItem = 0;
    if (kept && TreeListGetLiveItem(data, kept) && kept == data->caretItem) {
        SelectOnly(data, kept);
        SetAnchor(data, kept);
    }
    return 0;
}

// Moving -----------------------------------------------------------------

static BOOL MovedFarEnough(const TreeListData* data, POINT point)
{
    return abs(point.x - data->dragStart.x) > GetSystemMetrics(SM_CXDRAG)
        || abs(point.y - data->dragStart.y) > GetSystemMetrics(SM_CYDRAG);
}

// Sent once per press, when the mouse has moved beyond the drag distance
// with the pressing button still held.
static void StartDrag(TreeListData* data, WPARAM keys, POINT point)
{
    UINT held = data->dragButton == TL_LEFT ? MK_LBUTTON : MK_RBUTTON;
    if (!(keys & held) || !MovedFarEnough(data, point))
        return;
    unsigned number = data->dragItem;
    unsigned column = data->dragColumn;
    UINT code = data->dragButton == TL_LEFT ? TVN_BEGINDRAGW : TVN_BEGINRDRAGW;
    data->dragButton = 0;
    data->dragItem = 0;
    data->keptPressItem = 0;
    if (!TreeListGetLiveItem(data, number))
        return;
    NMTREEVIEWW nm;
    FillMouseRecord(data, &nm, number, column, point);
    TreeListNotify(data, code, &nm.hdr);
}

static void TrackHotCell(TreeListData* data, POINT point)
{
    UINT flags;
    unsigned column;
    unsigned number = HitItem(data, point, &flags, &column);
    if (data->destroyed)
        return;
    BOOL onCell = number && (flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TLHT_ONCELLICON | TLHT_ONCELLLABEL));
    if (!(data->exStyle & TLS_EX_CELLSELECT))
        column = 0;
    if (!onCell || (column && !TreeListGetCell(data, number, column)))
        number = 0;
    if (number == data->markItem && (!number || column == data->markColumn))
        return;
    TreeListSetCellMark(data, column, (LPARAM)number);
}

LRESULT TreeListOnMouseMove(TreeListData* data, WPARAM keys, LPARAM position)
{
    POINT point = PointOf(position);
    if (data->dragButton && data->dragItem)
        StartDrag(data, keys, point);
    if (!data->destroyed && (data->style & TVS_TRACKSELECT))
        TrackHotCell(data, point);
    if (!data->destroyed)
        TreeListTrackTooltip(data, point);
    return 0;
}
