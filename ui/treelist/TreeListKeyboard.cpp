// Keyboard input: caret movement, scrolling, expansion, check boxes and the
// start of editing. Every key but Enter is reported to the parent, which may
// take the character that follows it away from the incremental search.
#include "ui/treelist/TreeListData.h"

#include <string.h>

#define TL_NO_ROW (-1L)
// GetKeyState's bit for a key held down.
#define TL_KEY_HELD 0x8000

static BOOL KeyHeld(int key)
{
    return (GetKeyState(key) & TL_KEY_HELD) != 0;
}

static long RowOf(const TreeListData* data, unsigned number)
{
    const TreeListItem* item = TreeListGetLiveItem(data, number);
    return item && item->row ? (long)item->row - 1 : TL_NO_ROW;
}

static void NotifyKey(TreeListData* data, UINT code, WPARAM key, LPARAM flags, LRESULT* answer)
{
    NMTVKEYDOWN nm;
    memset(&nm, 0, sizeof nm);
    nm.wVKey = (WORD)key;
    nm.flags = (UINT)flags;
    *answer = TreeListNotify(data, code, &nm.hdr);
}

// Left collapses an expanded item that shows a button, else goes to the parent.
static long LeftTarget(TreeListData* data, unsigned number)
{
    TreeListItem* item = data->items[number];
    if ((item->state & TVIS_EXPANDED) && item->firstChild) {
        if (TreeListShowsButton(item))
            TreeListExpand(data, TVE_COLLAPSE, (LPARAM)number);
        return TL_NO_ROW;
    }
    return item->parent ? RowOf(data, item->parent) : TL_NO_ROW;
}

// Right steps into an expanded item, or expands a collapsed one with a button.
static long RightTarget(TreeListData* data, unsigned number, long row)
{
    TreeListItem* item = data->items[number];
    if (item->state & TVIS_EXPANDED)
        return row + 1;
    if (TreeListShowsButton(item))
        TreeListExpand(data, TVE_EXPAND, (LPARAM)number);
    return TL_NO_ROW;
}

static void MoveCaretColumn(TreeListData* data, int step)
{
    long column = (long)data->caretColumn + step;
    if (column < 0 || column >= (long)data->columnCount || !TreeListGetLiveItem(data, data->caretItem))
        return;
    unsigned number = data->caretItem;
    if (TreeListSelectCaret(data, number, (unsigned)column, TVC_BYKEYBOARD) && !data->destroyed)
        TreeListEnsureVisible(data, (WPARAM)column, (LPARAM)number);
}

// The row a key moves the caret to, TL_NO_ROW when it moves nothing.
static long TargetRow(TreeListData* data, WPARAM key)
{
    long row = RowOf(data, data->caretItem);
    unsigned number = row == TL_NO_ROW ? 0 : data->caretItem;
    switch (key) {
    case VK_UP:
        return row - 1;
    case VK_DOWN:
        return row + 1;
    case VK_PRIOR:
        return row - TreeListPageStep(data);
    case VK_NEXT:
        return row + TreeListPageStep(data);
    case VK_HOME:
        return 0;
    case VK_END:
        return (long)data->rowCount - 1;
    case VK_BACK:
        return number && data->items[number]->parent ? RowOf(data, data->items[number]->parent) : 0;
    case VK_LEFT:
        return number ? LeftTarget(data, number) : TL_NO_ROW;
    case VK_RIGHT:
        return number ? RightTarget(data, number, row) : TL_NO_ROW;
    default:
        return TL_NO_ROW;
    }
}

static BOOL MovesCaretColumn(const TreeListData* data, WPARAM key)
{
    return (key == VK_LEFT || key == VK_RIGHT) && (data->exStyle & TLS_EX_CELLSELECT) && data->columnCount > 1;
}

static void MoveCaret(TreeListData* data, WPARAM key, BOOL shift)
{
    if (MovesCaretColumn(data, key)) {
        MoveCaretColumn(data, key == VK_LEFT ? -1 : 1);
        return;
    }
    if (key == VK_SPACE) {
        if ((data->style & TVS_CHECKBOXES) && TreeListGetLiveItem(data, data->caretItem))
            TreeListToggleCheck(data, data->caretItem);
        return;
    }
    long row = TargetRow(data, key);
    if (row == TL_NO_ROW || data->destroyed || data->rowCount == 0)
        return;
    if (row < 0)
        row = 0;
    if (row >= (long)data->rowCount)
        row = (long)data->rowCount - 1;
    unsigned number = data->rows[row];
    unsigned column = data->caretColumn;
    TreeListSelectWithKeys(data, number, column, TVC_BYKEYBOARD, shift ? MK_SHIFT : 0);
    if (TreeListStillHeld(data, number, 0))
        TreeListEnsureVisible(data, column, (LPARAM)number);
}

static void ScrollByKey(TreeListData* data, WPARAM key)
{
    long first = (long)data->firstRow;
    switch (key) {
    case VK_UP:
        TreeListScrollTo(data, first - 1);
        break;
    case VK_DOWN:
        TreeListScrollTo(data, first + 1);
        break;
    case VK_PRIOR:
        TreeListScrollTo(data, first - TreeListPageStep(data));
        break;
    case VK_NEXT:
        TreeListScrollTo(data, first + TreeListPageStep(data));
        break;
    case VK_HOME:
        TreeListScrollTo(data, 0);
        break;
    case VK_END:
        TreeListScrollTo(data, (long)data->rowCount);
        break;
    case VK_LEFT:
        TreeListScrollHorizontally(data, data->hOffset - TL_HSCROLL_LINE);
        break;
    case VK_RIGHT:
        TreeListScrollHorizontally(data, data->hOffset + TL_HSCROLL_LINE);
        break;
    case VK_SPACE:
        if (TreeListGetLiveItem(data, data->caretItem))
            TreeListExpand(data, TVE_TOGGLE, (LPARAM)data->caretItem);
        break;
    default:
        break;
    }
}

static void OnReturn(TreeListData* data, LPARAM flags, BOOL control)
{
    LRESULT answer;
    NotifyKey(data, NM_RETURN, VK_RETURN, flags, &answer);
    unsigned column = data->caretColumn;
    if (!data->caretItem || !TreeListStillHeld(data, data->caretItem, 0))
        return;
    if (column < TreeListShownColumns(data) && data->columns[column].editMode != 0)
        TreeListEditLabel(data, TLEDITLABEL(column, 0), (LPARAM)data->caretItem, 0, control);
}

LRESULT TreeListOnKeyDown(TreeListData* data, WPARAM key, LPARAM flags)
{
    if (!data->enabled || !TreeListTakeFocus(data))
        return 0;
    BOOL control = KeyHeld(VK_CONTROL);
    BOOL shift = KeyHeld(VK_SHIFT);
    if (key == VK_RETURN) {
        OnReturn(data, flags, control);
        return 0;
    }
    if (control && !shift)
        ScrollByKey(data, key);
    else
        MoveCaret(data, key, shift);
    if (data->destroyed)
        return 0;
    LRESULT answer = 0;
    NotifyKey(data, TVN_KEYDOWN, key, flags, &answer);
    data->suppressChar = answer != 0;
    return 0;
}
