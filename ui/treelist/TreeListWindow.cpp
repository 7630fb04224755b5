// The "TreeList" window class: registration, the window procedure and one
// handler per message.
#include "ui/treelist/TreeListData.h"

#include <stdlib.h>
#include <string.h>
#include <windowsx.h>

static LONG classRegistered;

// The semaphore is waited on only when another holder is inside: an
// uncontended lock is one interlocked operation, not a kernel call.
void TreeListLock(TreeListData* data)
{
    if (InterlockedIncrement(&data->lockCount) > 1)
        WaitForSingleObject(data->semaphore, INFINITE);
}

void TreeListUnlock(TreeListData* data)
{
    if (InterlockedDecrement(&data->lockCount) > 0)
        ReleaseSemaphore(data->semaphore, 1, NULL);
}

LRESULT TreeListNotify(TreeListData* data, UINT code, NMHDR* header)
{
    if (data->gone)
        return 0;
    HWND parent = GetParent(data->hwnd);
    if (!parent)
        return 0;
    header->hwndFrom = data->hwnd;
    header->idFrom = (UINT_PTR)GetDlgCtrlID(data->hwnd);
    header->code = code;
    TreeListUnlock(data);
    LRESULT result = SendMessageW(parent, WM_NOTIFY, header->idFrom, (LPARAM)header);
    TreeListLock(data);
    return result;
}

static void NotifyPlain(TreeListData* data, UINT code)
{
    NMHDR header;
    memset(&header, 0, sizeof header);
    TreeListNotify(data, code, &header);
}

static BOOL ComputeLinesAtRoot(DWORD style)
{
    return (style & (TVS_HASBUTTONS | TVS_HASLINES)) && (style & TVS_LINESATROOT);
}

static void FreeData(TreeListData* data)
{
    TreeListFreeTables(data);
    TreeListDestroyBuiltImages(data);
    TreeListReleaseFonts(data);
    if (data->semaphore)
        CloseHandle(data->semaphore);
    TreeListReleaseShared();
    free(data);
}

// Standard window messages ---------------------------------------------------

static LRESULT OnCreate(HWND hwnd, const CREATESTRUCTW* create)
{
    TreeListData* data = (TreeListData*)calloc(1, sizeof(TreeListData));
    if (!data)
        return -1;
    if (!TreeListAcquireShared()) {
        free(data);
        return -1;
    }
    // Count 0: the lock word holds the free state (see TreeListLock).
    data->semaphore = CreateSemaphoreW(NULL, 0, 0x70000000, NULL);
    if (!data->semaphore) {
        TreeListReleaseShared();
        free(data);
        return -1;
    }
    data->hwnd = hwnd;
    SetWindowLongPtrW(hwnd, 0, (LONG_PTR)data);
    TreeListLock(data);
    data->style = (DWORD)create->style;
    data->indent = TL_DEFAULT_INDENT;
    data->buttonSize = TL_DEFAULT_BUTTON;
    data->enabled = !(data->style & WS_DISABLED);
    data->linesAtRoot = ComputeLinesAtRoot(data->style);
    RECT client;
    GetClientRect(hwnd, &client);
    data->clientWidth = client.right;
    data->clientHeight = client.bottom;
    if (!(data->style & TVS_NOTOOLTIPS))
        TreeListCreateTooltip(data);
    TreeListComputeDefaultColours(data);
    if (data->style & TVS_CHECKBOXES)
        TreeListEnsureStateImages(data);
    TreeListApplyFont(data, NULL);
    TreeListUpdatePageRows(data);
    TreeListUpdateScrollBars(data);
    TreeListUnlock(data);
    return 0;
}

static LRESULT OnDestroy(TreeListData* data, WPARAM, LPARAM)
{
    TreeListDeleteAll(data, TRUE);
    if (data->edit)
        DestroyWindow(data->edit);
    if (data->spentEdit)
        DestroyWindow(data->spentEdit);
    data->edit = NULL;
    data->spentEdit = NULL;
    TreeListDestroyHeader(data);
    if (data->tooltip && data->tooltipBuilt)
        DestroyWindow(data->tooltip);
    data->tooltip = NULL;
    TreeListDestroyBuiltImages(data);
    data->destroyed = TRUE;
    return 0;
}

static void InvalidateExposed(TreeListData* data, int oldWidth, int oldHeight)
{
    if (data->clientWidth > oldWidth) {
        RECT strip = {oldWidth, 0, data->clientWidth, data->clientHeight};
        InvalidateRect(data->hwnd, &strip, TRUE);
    }
    if (data->clientHeight > oldHeight) {
        RECT strip = {0, oldHeight, data->clientWidth, data->clientHeight};
        InvalidateRect(data->hwnd, &strip, TRUE);
    }
}

static LRESULT OnSize(TreeListData* data, WPARAM, LPARAM)
{
    RECT client;
    GetClientRect(data->hwnd, &client);
    int oldWidth = data->clientWidth;
    int oldHeight = data->clientHeight;
    data->clientWidth = client.right;
    data->clientHeight = client.bottom;
    if (data->autoColumnCount && data->clientWidth != oldWidth) {
        TreeListResizeAutoColumns(data, data->clientWidth - oldWidth);
        InvalidateRect(data->hwnd, NULL, TRUE);
    }
    if (data->header)
        MoveWindow(data->header, -data->hOffset, 0, data->clientWidth + data->hOffset, data->headerHeight, TRUE);
    TreeListUpdatePageRows(data);
    TreeListUpdateScrollBars(data);
    InvalidateExposed(data, oldWidth, oldHeight);
    return 0;
}

static LRESULT OnSetFocus(TreeListData* data, WPARAM, LPARAM)
{
    data->focused = TRUE;
    TreeListInvalidateRow(data, data->caretItem);
    NotifyPlain(data, NM_SETFOCUS);
    return 0;
}

static LRESULT OnKillFocus(TreeListData* data, WPARAM, LPARAM)
{
    data->focused = FALSE;
    TreeListInvalidateRow(data, data->caretItem);
    NotifyPlain(data, NM_KILLFOCUS);
    return 0;
}

static LRESULT OnEnable(TreeListData* data, WPARAM enabled, LPARAM)
{
    data->enabled = enabled != 0;
    if (!data->enabled)
        TreeListHideTooltip(data);
    InvalidateRect(data->hwnd, NULL, TRUE);
    return 0;
}

static LRESULT OnPaint(TreeListData* data, WPARAM dc, LPARAM)
{
    if (dc) {
        RECT client = {0, 0, data->clientWidth, data->clientHeight};
        TreeListPaint(data, (HDC)dc, &client);
        return 0;
    }
    PAINTSTRUCT paint;
    HDC target = BeginPaint(data->hwnd, &paint);
    if (target)
        TreeListPaint(data, target, &paint.rcPaint);
    EndPaint(data->hwnd, &paint);
    return 0;
}

static LRESULT OnSysColorChange(TreeListData* data, WPARAM wParam, LPARAM lParam)
{
    if (data->header)
        SendMessageW(data->header, WM_SYSCOLORCHANGE, wParam, lParam);
    TreeListComputeDefaultColours(data);
    InvalidateRect(data->hwnd, NULL, TRUE);
    return 0;
}

static LRESULT OnSetFont(TreeListData* data, WPARAM font, LPARAM)
{
    TreeListApplyFont(data, (HFONT)font);
    return 0;
}

static BOOL IsHandledHeaderCode(UINT code)
{
    return code == HDN_DIVIDERDBLCLICKW || code == HDN_TRACKW || code == HDN_ENDTRACKW || code == HDN_ITEMCLICKW
        || code == HDN_ITEMDBLCLICKW;
}

static LRESULT OnNotify(TreeListData* data, WPARAM, LPARAM lParam)
{
    NMHDR* header = (NMHDR*)lParam;
    if (!header)
        return 0;
    BOOL fromHeader = data->header && header->hwndFrom == data->header && IsHandledHeaderCode(header->code);
    BOOL fromTooltip = data->tooltip && header->hwndFrom == data->tooltip && header->code == TTN_GETDISPINFOW;
    if (!fromHeader && !fromTooltip)
        return 0;
    TreeListLock(data);
    LRESULT result = 0;
    if (!data->destroyed)
        result = fromHeader ? TreeListOnHeaderNotify(data, header) : TreeListOnTooltipNotify(data, header);
    TreeListUnlock(data);
    return result;
}

static void ApplyCheckBoxStyle(TreeListData* data, DWORD changed)
{
    if (!(changed & TVS_CHECKBOXES))
        return;
    if (data->style & TVS_CHECKBOXES)
        TreeListEnsureStateImages(data);
    else
        TreeListDropBuiltStateImages(data);
}

static void ApplyScrollStyle(TreeListData* data)
{
    memset(data->shownScroll, 0, sizeof data->shownScroll);
    if (data->style & TVS_NOSCROLL) {
        TreeListUnlock(data);
        ShowScrollBar(data->hwnd, SB_BOTH, FALSE);
        TreeListLock(data);
    } else {
        TreeListUpdateScrollBars(data);
    }
}

static LRESULT OnStyleChanged(TreeListData* data, WPARAM which, LPARAM lParam)
{
    const STYLESTRUCT* styles = (const STYLESTRUCT*)lParam;
    if (which != (WPARAM)GWL_STYLE || !styles)
        return 0;
    DWORD changed = styles->styleOld ^ styles->styleNew;
    data->style = styles->styleNew;
    ApplyCheckBoxStyle(data, changed);
    if (changed & (TVS_CHECKBOXES | TVS_NONEVENHEIGHT)) {
        TreeListRecomputeRowHeight(data);
        TreeListUpdateScrollBars(data);
    }
    if (changed & 0x347) {
        data->linesAtRoot = ComputeLinesAtRoot(data->style);
        InvalidateRect(data->hwnd, NULL, TRUE);
    }
    if (changed & TVS_NOSCROLL)
        ApplyScrollStyle(data);
    if (changed & TVS_NOTOOLTIPS) {
        if (data->style & TVS_NOTOOLTIPS)
            TreeListHideTooltip(data);
        else
            TreeListCreateTooltip(data);
    }
    return 0;
}

static LRESULT OnGetDlgCode(const MSG* message)
{
    if (message && message->message == WM_KEYDOWN && message->wParam == VK_RETURN)
        return DLGC_WANTALLKEYS;
    return DLGC_WANTARROWS | DLGC_WANTCHARS;
}

static LRESULT OnChar(TreeListData* data, WPARAM ch, LPARAM flags)
{
    if (data->suppressChar || !data->enabled) {
        data->suppressChar = FALSE;
        return 0;
    }
    unsigned repeat = (unsigned)(flags & 0xFFFF);
    if (repeat == 0)
        repeat = 1;
    for (unsigned i = 0; i < repeat && !data->destroyed; ++i)
        TreeListOnChar(data, (WCHAR)ch);
    return 0;
}

static long ThumbPosition(TreeListData* data, int bar)
{
    SCROLLINFO info;
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(data->hwnd, bar, &info);
    return info.nTrackPos;
}

static LRESULT OnVScroll(TreeListData* data, WPARAM wParam, LPARAM)
{
    long page = data->pageRowsFully > 1 ? (long)data->pageRowsFully - 1 : 1;
    long first = (long)data->firstRow;
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
        first -= 1;
        break;
    case SB_LINEDOWN:
        first += 1;
        break;
    case SB_PAGEUP:
        first -= page;
        break;
    case SB_PAGEDOWN:
        first += page;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        first = ThumbPosition(data, SB_VERT);
        break;
    case SB_TOP:
        first = 0;
        break;
    case SB_BOTTOM:
        first = (long)data->rowCount;
        break;
    default:
        return 0;
    }
    TreeListScrollTo(data, first);
    return 0;
}

static LRESULT OnHScroll(TreeListData* data, WPARAM wParam, LPARAM)
{
    int offset = data->hOffset;
    switch (LOWORD(wParam)) {
    case SB_LINELEFT:
        offset -= 16;
        break;
    case SB_LINERIGHT:
        offset += 16;
        break;
    case SB_PAGELEFT:
        offset -= data->clientWidth;
        break;
    case SB_PAGERIGHT:
        offset += data->clientWidth;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        offset = (int)ThumbPosition(data, SB_HORZ);
        break;
    case SB_LEFT:
        offset = 0;
        break;
    case SB_RIGHT:
        offset = 0x7FFFFFFF;
        break;
    default:
        return 0;
    }
    TreeListScrollHorizontally(data, offset);
    return 0;
}

static LRESULT OnMouseWheel(TreeListData* data, WPARAM wParam, LPARAM)
{
    if (GET_KEYSTATE_WPARAM(wParam) & 0x1F)
        return 0;
    int rows = GET_WHEEL_DELTA_WPARAM(wParam) / 60;
    TreeListScrollTo(data, (long)data->firstRow - rows);
    return 1;
}

// Tree-view and own messages -------------------------------------------------

static LRESULT OnInsertItem(TreeListData* data, WPARAM, LPARAM insert)
{
    return TreeListInsertItem(data, (const TVINSERTSTRUCTW*)insert);
}

static LRESULT OnDeleteItem(TreeListData* data, WPARAM, LPARAM item)
{
    return TreeListDeleteItem(data, item);
}

static LRESULT OnExpand(TreeListData* data, WPARAM action, LPARAM item)
{
    unsigned number;
    return TreeListIsHandle(item, &number) ? TreeListExpand(data, (UINT)action, number) : 0;
}

static LRESULT OnGetItemRect(TreeListData* data, WPARAM flags, LPARAM rect)
{
    return TreeListGetItemRect(data, flags, (RECT*)rect);
}

static LRESULT OnSetIndent(TreeListData* data, WPARAM indent, LPARAM)
{
    int previous = data->indent;
    int value = (int)indent;
    data->indent = value < 5 ? 5 : (value > 64 ? 64 : value);
    if (data->indent != previous)
        InvalidateRect(data->hwnd, NULL, TRUE);
    return previous;
}

static LRESULT OnGetImageList(TreeListData* data, WPARAM kind, LPARAM)
{
    return TreeListGetImageList(data, kind);
}

static LRESULT OnSetImageList(TreeListData* data, WPARAM kind, LPARAM list)
{
    return TreeListSetImageList(data, kind, (HIMAGELIST)list);
}

static LRESULT OnGetNextItem(TreeListData* data, WPARAM code, LPARAM item)
{
    return TreeListGetNextItem(data, code, item);
}

static LRESULT OnSelectItem(TreeListData* data, WPARAM code, LPARAM item)
{
    return TreeListSelectItem(data, code, item);
}

static LRESULT OnHitTest(TreeListData* data, WPARAM, LPARAM info)
{
    return TreeListHitTest(data, (TVHITTESTINFO*)info);
}

static LRESULT OnSortChildren(TreeListData* data, WPARAM recursive, LPARAM parent)
{
    return TreeListSortChildren(data, recursive, parent);
}

static LRESULT OnSortChildrenCB(TreeListData* data, WPARAM recursive, LPARAM sort)
{
    return TreeListSortChildrenCB(data, recursive, (const TVSORTCB*)sort);
}

static LRESULT OnEnsureVisible(TreeListData* data, WPARAM column, LPARAM item)
{
    return TreeListEnsureVisible(data, column, item);
}

static LRESULT OnSetTooltips(TreeListData* data, WPARAM tooltip, LPARAM)
{
    HWND previous = data->tooltip;
    // The caller now holds the previous tooltip; it is still owned by this
    // window and goes with it.
    data->tooltip = (HWND)tooltip;
    data->tooltipBuilt = FALSE;
    return (LRESULT)previous;
}

static LRESULT OnSetInsertMark(TreeListData* data, WPARAM after, LPARAM item)
{
    return TreeListSetInsertMark(data, after, item);
}

static LRESULT OnSetItemHeight(TreeListData* data, WPARAM height, LPARAM)
{
    int previous = data->rowHeight;
    if ((int)height == -1) {
        data->fixedRowHeight = FALSE;
        data->rowHeight = 0;
        TreeListRecomputeRowHeight(data);
        return previous;
    }
    int value = (int)height;
    if ((value & 1) && !(data->exStyle & TLS_EX_ODDHEIGHTS))
        value -= 1;
    value = value < 1 ? 1 : (value > 256 ? 256 : value);
    data->fixedRowHeight = TRUE;
    if (value != data->rowHeight) {
        data->rowHeight = value;
        TreeListUpdatePageRows(data);
        TreeListUpdateScrollBars(data);
        InvalidateRect(data->hwnd, NULL, TRUE);
    }
    return previous;
}

static LRESULT OnSetBkColor(TreeListData* data, WPARAM slot, LPARAM colour)
{
    return TreeListSetColour(data, slot, colour);
}

static LRESULT OnSetTextColor(TreeListData* data, WPARAM, LPARAM colour)
{
    return TreeListSetColour(data, TLC_TEXT, colour);
}

static LRESULT OnSetLineColor(TreeListData* data, WPARAM, LPARAM colour)
{
    return TreeListSetColour(data, TLC_BUTTONSIGN, colour);
}

static LRESULT OnSetInsertMarkColor(TreeListData* data, WPARAM, LPARAM colour)
{
    return TreeListSetColour(data, TLC_INSERTMARK, colour);
}

static LRESULT OnGetItemState(TreeListData* data, WPARAM item, LPARAM mask)
{
    return TreeListGetItemState(data, item, mask);
}

static LRESULT OnSetExtendedStyle(TreeListData* data, WPARAM mask, LPARAM style)
{
    DWORD bits = mask ? (DWORD)mask : 0xFFFFFFFFu;
    DWORD old = data->exStyle;
    DWORD now = (old & ~bits) | ((DWORD)style & bits);
    if (now == old)
        return now;
    DWORD changed = old ^ now;
    data->exStyle = now;
    if (changed & TLS_EX_AUTOHSCROLL)
        TreeListUpdateHScroll(data);
    if (changed & TLS_EX_GRIDLINES) {
        TreeListRecomputeRowHeight(data);
        TreeListUpdateVScroll(data);
    }
    if (changed & 0xE0002)
        InvalidateRect(data->hwnd, NULL, TRUE);
    if ((old & TLS_EX_CELLSELECT) && !(now & TLS_EX_CELLSELECT)) {
        data->caretColumn = 0;
        data->focusItem = data->caretItem;
        data->focusColumn = 0;
        TreeListInvalidateRow(data, data->caretItem);
    }
    return now;
}

static LRESULT OnGetItem(TreeListData* data, WPARAM, LPARAM record)
{
    return TreeListGetItemRecord(data, (TVITEMW*)record);
}

static LRESULT OnSetItem(TreeListData* data, WPARAM, LPARAM record)
{
    return TreeListSetItemRecord(data, (const TVITEMW*)record);
}

static LRESULT OnGetSearchString(TreeListData* data, WPARAM, LPARAM buffer)
{
    return TreeListGetSearchString(data, (WCHAR*)buffer);
}

static LRESULT OnFindItem(TreeListData* data, WPARAM start, LPARAM find)
{
    return TreeListFindItem(data, start, (const TLFINDITEM*)find);
}

static LRESULT OnSetColumnEditData(TreeListData* data, WPARAM column, LPARAM value)
{
    return TreeListSetColumnEditData(data, column, value);
}

static LRESULT OnSetColumnEditMode(TreeListData* data, WPARAM wParam, LPARAM editData)
{
    return TreeListSetColumnEditMode(data, wParam, editData);
}

static LRESULT OnSortChildrenByItem(TreeListData* data, WPARAM recursive, LPARAM sort)
{
    return TreeListSortChildrenByItem(data, recursive, (const TLSORTITEM*)sort);
}

static LRESULT OnGetUserData(TreeListData* data, WPARAM, LPARAM item)
{
    return TreeListGetUserData(data, item);
}

static LRESULT OnSetUserDataSize(TreeListData* data, WPARAM, LPARAM size)
{
    return TreeListSetUserDataSize(data, size);
}

static LRESULT OnGetColumnWidth(TreeListData* data, WPARAM column, LPARAM)
{
    return TreeListGetColumnWidth(data, column);
}

static LRESULT OnSetColumnWidth(TreeListData* data, WPARAM column, LPARAM width)
{
    return TreeListSetColumnWidth(data, column, width);
}

static LRESULT OnGetColumn(TreeListData* data, WPARAM column, LPARAM record)
{
    return TreeListGetColumn(data, column, (LVCOLUMNW*)record);
}

static LRESULT OnSetColumn(TreeListData* data, WPARAM column, LPARAM record)
{
    return TreeListSetColumn(data, column, (const LVCOLUMNW*)record);
}

static LRESULT OnItemToRow(TreeListData* data, WPARAM, LPARAM item)
{
    unsigned number;
    const TreeListItem* record = TreeListIsHandle(item, &number) ? TreeListGetLiveItem(data, number) : NULL;
    return record && record->row ? (LRESULT)(record->row - 1) : -1;
}

static LRESULT OnRowToItem(TreeListData* data, WPARAM, LPARAM row)
{
    return (ULONG_PTR)row < data->rowCount ? (LRESULT)data->rows[row] : 0;
}

static LRESULT OnGetCellTextColor(TreeListData* data, WPARAM item, LPARAM column)
{
    return TreeListGetCellColour(data, item, column, FALSE);
}

static LRESULT OnSetCellTextColor(TreeListData* data, WPARAM cell, LPARAM colour)
{
    return TreeListSetCellColour(data, cell, colour, FALSE);
}

static LRESULT OnGetCellBkColor(TreeListData* data, WPARAM item, LPARAM column)
{
    return TreeListGetCellColour(data, item, column, TRUE);
}

static LRESULT OnSetCellBkColor(TreeListData* data, WPARAM cell, LPARAM colour)
{
    return TreeListSetCellColour(data, cell, colour, TRUE);
}

static LRESULT OnSetCellMark(TreeListData* data, WPARAM column, LPARAM item)
{
    return TreeListSetCellMark(data, column, item);
}

static LRESULT OnSelectCell(TreeListData* data, WPARAM column, LPARAM item)
{
    return TreeListSelectCell(data, column, item);
}

static LRESULT OnAddColumn(TreeListData* data, WPARAM index, LPARAM column)
{
    return TreeListAddColumn(data, index, (const LVCOLUMNW*)column);
}

static LRESULT OnRemoveColumn(TreeListData* data, WPARAM index, LPARAM)
{
    return TreeListRemoveColumn(data, index);
}

static LRESULT OnTimer(TreeListData* data, WPARAM id, LPARAM lParam)
{
    if (id == TL_TOOLTIP_TIMER) {
        TreeListOnTooltipTimer(data);
        return 0;
    }
    if (id != TL_SCROLLBAR_TIMER)
        return DefWindowProcW(data->hwnd, WM_TIMER, id, lParam);
    KillTimer(data->hwnd, TL_SCROLLBAR_TIMER);
    data->scrollUpdatePending = FALSE;
    TreeListUpdateScrollBars(data);
    return 0;
}

// Input ------------------------------------------------------------------

static POINT PointOf(LPARAM position)
{
    POINT point = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    return point;
}

static LRESULT OnLButtonDown(TreeListData* data, WPARAM keys, LPARAM position)
{
    return TreeListOnButtonDown(data, 1, FALSE, keys, PointOf(position));
}

static LRESULT OnLButtonDblClk(TreeListData* data, WPARAM keys, LPARAM position)
{
    return TreeListOnButtonDown(data, 1, TRUE, keys, PointOf(position));
}

static LRESULT OnRButtonDown(TreeListData* data, WPARAM keys, LPARAM position)
{
    return TreeListOnButtonDown(data, 2, FALSE, keys, PointOf(position));
}

static LRESULT OnRButtonDblClk(TreeListData* data, WPARAM keys, LPARAM position)
{
    return TreeListOnButtonDown(data, 2, TRUE, keys, PointOf(position));
}

static LRESULT OnLButtonUp(TreeListData* data, WPARAM keys, LPARAM position)
{
    return TreeListOnLeftButtonUp(data, keys, PointOf(position));
}

static LRESULT OnMouseMove(TreeListData* data, WPARAM keys, LPARAM position)
{
    return TreeListOnMouseMove(data, keys, PointOf(position));
}

static LRESULT OnKeyDown(TreeListData* data, WPARAM key, LPARAM flags)
{
    return TreeListOnKeyDown(data, key, flags);
}

static LRESULT OnCommand(TreeListData* data, WPARAM wParam, LPARAM child)
{
    if (LOWORD(wParam) != TL_EDIT_ID)
        return 0;
    return TreeListOnEditCommand(data, HIWORD(wParam), (HWND)child);
}

static LRESULT OnEditLabel(TreeListData* data, WPARAM how, LPARAM item)
{
    return TreeListEditLabel(data, how, item, 0, FALSE);
}

static LRESULT OnEndEditLabelNow(TreeListData* data, WPARAM cancel, LPARAM)
{
    return TreeListEndEdit(data, cancel == 0, FALSE);
}

static LRESULT OnCreateDragImage(TreeListData* data, WPARAM column, LPARAM item)
{
    return TreeListCreateDragImage(data, column, item);
}

// Dispatch ---------------------------------------------------------------

typedef LRESULT (*TreeListHandler)(TreeListData* data, WPARAM wParam, LPARAM lParam);

typedef struct LockedHandler {
    UINT message;
    TreeListHandler handler;
} LockedHandler;

// Handlers that read or change the record run with the semaphore held.
static const LockedHandler lockedHandlers[] = {
    {WM_DESTROY, OnDestroy},
    {WM_SIZE, OnSize},
    {WM_SETFOCUS, OnSetFocus},
    {WM_KILLFOCUS, OnKillFocus},
    {WM_ENABLE, OnEnable},
    {WM_PAINT, OnPaint},
    {WM_PRINTCLIENT, OnPaint},
    {WM_SYSCOLORCHANGE, OnSysColorChange},
    {WM_SETFONT, OnSetFont},
    {WM_STYLECHANGED, OnStyleChanged},
    {WM_CHAR, OnChar},
    {WM_VSCROLL, OnVScroll},
    {WM_HSCROLL, OnHScroll},
    {TVM_INSERTITEMW, OnInsertItem},
    {TVM_DELETEITEM, OnDeleteItem},
    {TVM_EXPAND, OnExpand},
    {TVM_GETITEMRECT, OnGetItemRect},
    {TVM_SETINDENT, OnSetIndent},
    {TVM_GETIMAGELIST, OnGetImageList},
    {TVM_SETIMAGELIST, OnSetImageList},
    {TVM_GETNEXTITEM, OnGetNextItem},
    {TVM_SELECTITEM, OnSelectItem},
    {TVM_HITTEST, OnHitTest},
    {TVM_SORTCHILDREN, OnSortChildren},
    {TVM_ENSUREVISIBLE, OnEnsureVisible},
    {TVM_SORTCHILDRENCB, OnSortChildrenCB},
    {TVM_SETTOOLTIPS, OnSetTooltips},
    {TVM_SETINSERTMARK, OnSetInsertMark},
    {TVM_SETITEMHEIGHT, OnSetItemHeight},
    {TVM_SETBKCOLOR, OnSetBkColor},
    {TVM_SETTEXTCOLOR, OnSetTextColor},
    {TVM_SETLINECOLOR, OnSetLineColor},
    {TVM_SETINSERTMARKCOLOR, OnSetInsertMarkColor},
    {TVM_GETITEMSTATE, OnGetItemState},
    {TVM_SETEXTENDEDSTYLE, OnSetExtendedStyle},
    {TVM_GETITEMW, OnGetItem},
    {TVM_SETITEMW, OnSetItem},
    {TVM_GETISEARCHSTRINGW, OnGetSearchString},
    {TLM_FINDITEM, OnFindItem},
    {TLM_SETCOLUMNEDITDATA, OnSetColumnEditData},
    {TLM_SETCOLUMNEDITMODE, OnSetColumnEditMode},
    {TLM_SORTCHILDRENBYITEM, OnSortChildrenByItem},
    {TLM_GETUSERDATA, OnGetUserData},
    {TLM_SETUSERDATASIZE, OnSetUserDataSize},
    {TLM_GETCOLUMNWIDTH, OnGetColumnWidth},
    {TLM_SETCOLUMNWIDTH, OnSetColumnWidth},
    {TLM_GETCOLUMN, OnGetColumn},
    {TLM_SETCOLUMN, OnSetColumn},
    {TLM_ITEMTOROW, OnItemToRow},
    {TLM_ROWTOITEM, OnRowToItem},
    {TLM_GETCELLTEXTCOLOR, OnGetCellTextColor},
    {TLM_SETCELLTEXTCOLOR, OnSetCellTextColor},
    {TLM_GETCELLBKCOLOR, OnGetCellBkColor},
    {TLM_SETCELLBKCOLOR, OnSetCellBkColor},
    {TLM_SETCELLMARK, OnSetCellMark},
    {TLM_SELECTCELL, OnSelectCell},
    {TLM_ADDCOLUMN, OnAddColumn},
    {TLM_REMOVECOLUMN, OnRemoveColumn},
    {WM_TIMER, OnTimer},
    {WM_LBUTTONDOWN, OnLButtonDown},
    {WM_LBUTTONDBLCLK, OnLButtonDblClk},
    {WM_RBUTTONDOWN, OnRButtonDown},
    {WM_RBUTTONDBLCLK, OnRButtonDblClk},
    {WM_LBUTTONUP, OnLButtonUp},
    {WM_MOUSEMOVE, OnMouseMove},
    {WM_KEYDOWN, OnKeyDown},
    {WM_COMMAND, OnCommand},
    {TVM_EDITLABELW, OnEditLabel},
    {TVM_ENDEDITLABELNOW, OnEndEditLabelNow},
    {TVM_CREATEDRAGIMAGE, OnCreateDragImage},
};

static BOOL RunLocked(TreeListData* data, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    for (size_t i = 0; i < sizeof lockedHandlers / sizeof lockedHandlers[0]; ++i) {
        if (lockedHandlers[i].message != message)
            continue;
        TreeListLock(data);
        *result = data->destroyed ? 0 : lockedHandlers[i].handler(data, wParam, lParam);
        TreeListUnlock(data);
        return TRUE;
    }
    return FALSE;
}

// Plain getters of single values read without the semaphore.
static BOOL RunGetter(TreeListData* data, UINT message, WPARAM wParam, LRESULT* result)
{
    switch (message) {
    case TVM_GETCOUNT:
        *result = data->itemCount;
        return TRUE;
    case TVM_GETINDENT:
        *result = data->indent;
        return TRUE;
    case TVM_GETITEMHEIGHT:
        *result = data->rowHeight;
        return TRUE;
    case TVM_GETEXTENDEDSTYLE:
        *result = data->exStyle;
        return TRUE;
    case TVM_GETVISIBLECOUNT:
        *result = data->rowHeight > 0 ? (data->clientHeight - data->headerHeight) / data->rowHeight : 0;
        return TRUE;
    case TLM_GETPAGEROWS:
        *result = data->pageRowsPartly;
        return TRUE;
    case TLM_GETUSERDATASIZE:
        *result = data->userDataSize;
        return TRUE;
    case TLM_GETHEADER:
        *result = (LRESULT)data->header;
        return TRUE;
    case TVM_GETTOOLTIPS:
        *result = (LRESULT)data->tooltip;
        return TRUE;
    case TLM_GETCOLUMNCOUNT:
        *result = data->columnCount;
        return TRUE;
    case TLM_GETROWCOUNTSHOWN:
        *result = data->rowCount;
        return TRUE;
    case TVM_GETEDITCONTROL:
        *result = (LRESULT)data->edit;
        return TRUE;
    case TVM_GETBKCOLOR:
        *result = TreeListGetColour(data, wParam);
        return TRUE;
    case TVM_GETTEXTCOLOR:
        *result = TreeListGetColour(data, TLC_TEXT);
        return TRUE;
    case TVM_GETLINECOLOR:
        *result = TreeListGetColour(data, TLC_BUTTONSIGN);
        return TRUE;
    case TVM_GETINSERTMARKCOLOR:
        *result = TreeListGetColour(data, TLC_INSERTMARK);
        return TRUE;
    default:
        return FALSE;
    }
}

static LRESULT Dispatch(TreeListData* data, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (RunGetter(data, message, wParam, &result) || RunLocked(data, message, wParam, lParam, &result))
        return result;
    switch (message) {
    case WM_NOTIFY:
        return OnNotify(data, wParam, lParam);
    case WM_GETDLGCODE:
        return OnGetDlgCode((const MSG*)lParam);
    case WM_KEYUP:
        DefWindowProcW(hwnd, message, wParam, lParam);
        return 1;
    case WM_MOUSEWHEEL:
        TreeListLock(data);
        result = data->destroyed ? 0 : OnMouseWheel(data, wParam, lParam);
        TreeListUnlock(data);
        return result;
    case WM_RBUTTONUP:
        if (data->dragButton == 2) {
            data->dragButton = 0;
            data->dragItem = 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
        if (data->edit) {
            PostMessageW(data->edit, message, wParam, lParam);
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    case 0x2006:
        return 1;
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, 0, 0);
        data->gone = TRUE;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

static LRESULT CALLBACK TreeListWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        return OnCreate(hwnd, (const CREATESTRUCTW*)lParam);
    TreeListData* data = (TreeListData*)GetWindowLongPtrW(hwnd, 0);
    if (!data)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    data->depth++;
    LRESULT result = Dispatch(data, hwnd, message, wParam, lParam);
    data->depth--;
    if (data->gone && data->depth == 0)
        FreeData(data);
    return result;
}

int TreeListRegister(HINSTANCE instance)
{
    if (InterlockedCompareExchange(&classRegistered, 0, 0))
        return 1;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = TreeListWindowProc;
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    windowClass.lpszClassName = TREELIST_CLASSNAME;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return 0;
    InterlockedExchange(&classRegistered, 1);
    return 1;
}
