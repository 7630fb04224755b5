// The "TreeList" window class: registration, the semaphore, and the window
// procedure, which hands each message to its handler in one switch.
#include "ui/treelist/TreeListData.h"

#include <limits.h>
#include <stdlib.h>
#include <string.h>

static LONG classRegistered;
static volatile LONG lockFaults;

// The semaphore is waited on only when another holder is inside: an
// uncontended lock is one interlocked operation, not a kernel call.
BOOL TreeListLock(TreeListData* data)
{
    DWORD self = GetCurrentThreadId();
    if (data->lockOwner == self) {
        InterlockedIncrement(&lockFaults);
        OutputDebugStringW(L"TreeList: a handler waited for the semaphore its own thread holds; refused\n");
        return FALSE;
    }
    if (InterlockedIncrement(&data->lockCount) > 1)
        WaitForSingleObject(data->semaphore, INFINITE);
    data->lockOwner = self;
    return TRUE;
}

void TreeListUnlock(TreeListData* data)
{
    data->lockOwner = 0;
    if (InterlockedDecrement(&data->lockCount) > 0)
        ReleaseSemaphore(data->semaphore, 1, NULL);
}

LONG TreeListLockFaults(void)
{
    return InterlockedCompareExchange(&lockFaults, 0, 0);
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

BOOL TreeListStillHeld(const TreeListData* data, unsigned number, unsigned other)
{
    if (data->destroyed)
        return FALSE;
    return (!number || TreeListGetLiveItem(data, number)) && (!other || TreeListGetLiveItem(data, other));
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
        TreeListEnsureCheckImages(&data->stateImages);
    TreeListApplyFont(data, NULL);
    TreeListUpdatePageRows(data);
    TreeListUpdateScrollBars(data);
    TreeListUnlock(data);
    return 0;
}

static LRESULT OnDestroy(TreeListData* data)
{
    TreeListDeleteAll(data, TRUE);
    TreeListDestroyEditors(data);
    TreeListDestroyHeader(data);
    TreeListDestroyTooltip(data);
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

static LRESULT OnSize(TreeListData* data)
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

static LRESULT OnFocus(TreeListData* data, BOOL focused)
{
    data->focused = focused;
    TreeListInvalidateRow(data, data->caretItem);
    NotifyPlain(data, focused ? NM_SETFOCUS : NM_KILLFOCUS);
    return 0;
}

static LRESULT OnEnable(TreeListData* data, BOOL enabled)
{
    data->enabled = enabled;
    if (!enabled)
        TreeListHideTooltip(data);
    InvalidateRect(data->hwnd, NULL, TRUE);
    return 0;
}

static LRESULT OnSysColorChange(TreeListData* data, WPARAM wParam, LPARAM lParam)
{
    HWND header = data->header;
    if (header) {
        TreeListUnlock(data);
        SendMessageW(header, WM_SYSCOLORCHANGE, wParam, lParam);
        TreeListLock(data);
    }
    TreeListComputeDefaultColours(data);
    InvalidateRect(data->hwnd, NULL, TRUE);
    return 0;
}

static BOOL IsHandledHeaderCode(UINT code)
{
    return code == HDN_DIVIDERDBLCLICKW || code == HDN_TRACKW || code == HDN_ENDTRACKW || code == HDN_ITEMCLICKW
        || code == HDN_ITEMDBLCLICKW;
}

// Children notify while the list may be talking to them: only the codes the
// list handles take the semaphore.
static LRESULT OnNotify(TreeListData* data, NMHDR* header)
{
    if (!header)
        return 0;
    BOOL fromHeader = data->header && header->hwndFrom == data->header && IsHandledHeaderCode(header->code);
    BOOL fromTooltip = data->tooltip && header->hwndFrom == data->tooltip && header->code == TTN_GETDISPINFOW;
    if ((!fromHeader && !fromTooltip) || !TreeListLock(data))
        return 0;
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
        TreeListEnsureCheckImages(&data->stateImages);
    else
        TreeListDropBuiltImages(&data->stateImages);
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

static LRESULT OnStyleChanged(TreeListData* data, WPARAM which, const STYLESTRUCT* styles)
{
    if (which != (WPARAM)GWL_STYLE || !styles)
        return 0;
    DWORD changed = styles->styleOld ^ styles->styleNew;
    data->style = styles->styleNew;
    ApplyCheckBoxStyle(data, changed);
    if (changed & (TVS_CHECKBOXES | TVS_NONEVENHEIGHT)) {
        TreeListRecomputeRowHeight(data);
        TreeListUpdateScrollBars(data);
    }
    if (changed & TL_TREE_LOOK_STYLES) {
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

static LRESULT DialogCode(const MSG* message)
{
    if (message && message->message == WM_KEYDOWN && message->wParam == VK_RETURN)
        return DLGC_WANTALLKEYS;
    return DLGC_WANTARROWS | DLGC_WANTCHARS;
}

// Where a scroll bar request moves a position: by a line or a page, to the
// thumb, to either end. FALSE for requests that move nothing.
static BOOL ScrollTarget(TreeListData* data, int bar, WORD request, long line, long page, long end, long* position)
{
    switch (request) {
    case SB_LINEUP: // SB_LINELEFT
        *position -= line;
        return TRUE;
    case SB_LINEDOWN: // SB_LINERIGHT
        *position += line;
        return TRUE;
    case SB_PAGEUP: // SB_PAGELEFT
        *position -= page;
        return TRUE;
    case SB_PAGEDOWN: // SB_PAGERIGHT
        *position += page;
        return TRUE;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info;
        memset(&info, 0, sizeof info);
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(data->hwnd, bar, &info);
        *position = info.nTrackPos;
        return TRUE;
    }
    case SB_TOP: // SB_LEFT
        *position = 0;
        return TRUE;
    case SB_BOTTOM: // SB_RIGHT
        *position = end;
        return TRUE;
    default:
        return FALSE;
    }
}

// A line is one row; the ends are clamped by the scrolling itself.
static LRESULT OnVScroll(TreeListData* data, WORD request)
{
    long first = (long)data->firstRow;
    if (ScrollTarget(data, SB_VERT, request, 1, TreeListPageStep(data), (long)data->rowCount, &first))
        TreeListScrollTo(data, first);
    return 0;
}

// A page is the client width.
static LRESULT OnHScroll(TreeListData* data, WORD request)
{
    long offset = data->hOffset;
    if (ScrollTarget(data, SB_HORZ, request, TL_HSCROLL_LINE, data->clientWidth, INT_MAX, &offset))
        TreeListScrollHorizontally(data, (int)offset);
    return 0;
}

static LRESULT OnMouseWheel(TreeListData* data, WPARAM wParam)
{
    if (GET_KEYSTATE_WPARAM(wParam) & TL_WHEEL_BLOCKING_KEYS)
        return 0;
    int rows = GET_WHEEL_DELTA_WPARAM(wParam) / (WHEEL_DELTA / TL_WHEEL_ROWS_PER_NOTCH);
    TreeListScrollTo(data, (long)data->firstRow - rows);
    return 1;
}

static LRESULT OnSetIndent(TreeListData* data, WPARAM indent)
{
    int previous = data->indent;
    int value = (int)indent;
    data->indent = value < 5 ? 5 : (value > 64 ? 64 : value);
    if (data->indent != previous)
        InvalidateRect(data->hwnd, NULL, TRUE);
    return previous;
}

static LRESULT OnSetItemHeight(TreeListData* data, WPARAM height)
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
    if (changed & TL_EX_LOOK_STYLES)
        InvalidateRect(data->hwnd, NULL, TRUE);
    if ((old & TLS_EX_CELLSELECT) && !(now & TLS_EX_CELLSELECT)) {
        data->caretColumn = 0;
        data->focusItem = data->caretItem;
        data->focusColumn = 0;
        TreeListInvalidateRow(data, data->caretItem);
    }
    return now;
}

static LRESULT OnTimer(TreeListData* data, WPARAM id)
{
    if (id == TL_TOOLTIP_TIMER) {
        TreeListOnTooltipTimer(data);
        return 0;
    }
    KillTimer(data->hwnd, TL_SCROLLBAR_TIMER);
    data->scrollUpdatePending = FALSE;
    TreeListUpdateScrollBars(data);
    return 0;
}

static BOOL IsOwnTimer(WPARAM id)
{
    return id == TL_TOOLTIP_TIMER || id == TL_SCROLLBAR_TIMER;
}

// Dispatch ---------------------------------------------------------------

// A handler runs with the semaphore held. Once the window is destroyed, or
// when the wait was refused as a fault, the message is answered with 0.
static BOOL Enter(TreeListData* data)
{
    if (!TreeListLock(data))
        return FALSE;
    if (!data->destroyed)
        return TRUE;
    TreeListUnlock(data);
    return FALSE;
}

static LRESULT Leave(TreeListData* data, LRESULT result)
{
    TreeListUnlock(data);
    return result;
}

#define LOCKED(handler) (Enter(data) ? Leave(data, (handler)) : 0)

static LRESULT Dispatch(TreeListData* data, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    // Messages that read one value, or nothing of the record, go without
    // the semaphore.
    case TVM_GETCOUNT:
        return data->itemCount;
    case TVM_GETINDENT:
        return data->indent;
    case TVM_GETITEMHEIGHT:
        return data->rowHeight;
    case TVM_GETEXTENDEDSTYLE:
        return data->exStyle;
    case TVM_GETVISIBLECOUNT:
        return data->rowHeight > 0 ? (data->clientHeight - data->headerHeight) / data->rowHeight : 0;
    case TLM_GETPAGEROWS:
        return data->pageRowsPartly;
    case TLM_GETUSERDATASIZE:
        return data->userDataSize;
    case TLM_GETHEADER:
        return (LRESULT)data->header;
    case TVM_GETTOOLTIPS:
        return (LRESULT)data->tooltip;
    case TLM_GETCOLUMNCOUNT:
        return data->columnCount;
    case TLM_GETROWCOUNTSHOWN:
        return data->rowCount;
    case TVM_GETEDITCONTROL:
        return (LRESULT)data->edit;
    case TVM_GETBKCOLOR:
        return TreeListGetColour(data, wParam);
    case TVM_GETTEXTCOLOR:
        return TreeListGetColour(data, TLC_TEXT);
    case TVM_GETLINECOLOR:
        return TreeListGetColour(data, TLC_BUTTONSIGN);
    case TVM_GETINSERTMARKCOLOR:
        return TreeListGetColour(data, TLC_INSERTMARK);
    case TVM_GETISEARCHSTRINGW:
        return TreeListGetSearchString((WCHAR*)lParam);
    case WM_GETDLGCODE:
        return DialogCode((const MSG*)lParam);
    case WM_NOTIFY:
        return OnNotify(data, (NMHDR*)lParam);
    case WM_KEYUP:
        DefWindowProcW(data->hwnd, message, wParam, lParam);
        return 1;
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
        if (!data->edit)
            break;
        PostMessageW(data->edit, message, wParam, lParam);
        return 0;
    case TLM_ACKNOWLEDGE:
        return 1;
    case WM_NCDESTROY:
        SetWindowLongPtrW(data->hwnd, 0, 0);
        data->gone = TRUE;
        break;

    // Window messages.
    case WM_DESTROY:
        return LOCKED(OnDestroy(data));
    case WM_SIZE:
        return LOCKED(OnSize(data));
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        return LOCKED(OnFocus(data, message == WM_SETFOCUS));
    case WM_ENABLE:
        return LOCKED(OnEnable(data, wParam != 0));
    case WM_PAINT:
    case WM_PRINTCLIENT:
        return LOCKED(TreeListOnPaint(data, (HDC)wParam));
    case WM_SYSCOLORCHANGE:
        return LOCKED(OnSysColorChange(data, wParam, lParam));
    case WM_SETFONT:
        return LOCKED(TreeListApplyFont(data, (HFONT)wParam));
    case WM_STYLECHANGED:
        return LOCKED(OnStyleChanged(data, wParam, (const STYLESTRUCT*)lParam));
    case WM_TIMER:
        if (!IsOwnTimer(wParam))
            break;
        return LOCKED(OnTimer(data, wParam));
    case WM_VSCROLL:
        return LOCKED(OnVScroll(data, LOWORD(wParam)));
    case WM_HSCROLL:
        return LOCKED(OnHScroll(data, LOWORD(wParam)));
    case WM_MOUSEWHEEL:
        return LOCKED(OnMouseWheel(data, wParam));
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return LOCKED(TreeListOnButtonDown(data, TL_LEFT, message == WM_LBUTTONDBLCLK, wParam, lParam));
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        return LOCKED(TreeListOnButtonDown(data, TL_RIGHT, message == WM_RBUTTONDBLCLK, wParam, lParam));
    case WM_LBUTTONUP:
        return LOCKED(TreeListOnButtonUp(data, TL_LEFT));
    case WM_RBUTTONUP:
        (void)LOCKED(TreeListOnButtonUp(data, TL_RIGHT));
        break;
    case WM_MOUSEMOVE:
        return LOCKED(TreeListOnMouseMove(data, wParam, lParam));
    case WM_KEYDOWN:
        return LOCKED(TreeListOnKeyDown(data, wParam, lParam));
    case WM_CHAR:
        return LOCKED(TreeListOnChar(data, (WCHAR)wParam, LOWORD(lParam)));
    case WM_COMMAND:
        if (LOWORD(wParam) != TL_EDIT_ID)
            return 0;
        return LOCKED(TreeListOnEditCommand(data, HIWORD(wParam), (HWND)lParam));

    // Tree-view messages.
    case TVM_INSERTITEMW:
        return LOCKED(TreeListInsertItem(data, (const TVINSERTSTRUCTW*)lParam));
    case TVM_DELETEITEM:
        return LOCKED(TreeListDeleteItem(data, lParam));
    case TVM_EXPAND:
        return LOCKED(TreeListExpand(data, (UINT)wParam, lParam));
    case TVM_GETITEMRECT:
        return LOCKED(TreeListGetItemRect(data, wParam, (RECT*)lParam));
    case TVM_SETINDENT:
        return LOCKED(OnSetIndent(data, wParam));
    case TVM_GETIMAGELIST:
        return LOCKED(TreeListGetImageList(data, wParam));
    case TVM_SETIMAGELIST:
        return LOCKED(TreeListSetImageList(data, wParam, (HIMAGELIST)lParam));
    case TVM_GETNEXTITEM:
        return LOCKED(TreeListGetNextItem(data, wParam, lParam));
    case TVM_SELECTITEM:
        return LOCKED(TreeListSelectItem(data, wParam, lParam));
    case TVM_HITTEST:
        return LOCKED(TreeListHitTest(data, (TVHITTESTINFO*)lParam));
    case TVM_CREATEDRAGIMAGE:
        return LOCKED(TreeListCreateDragImage(data, wParam, lParam));
    case TVM_SORTCHILDREN:
        return LOCKED(TreeListSortChildren(data, wParam, lParam));
    case TVM_ENSUREVISIBLE:
        return LOCKED(TreeListEnsureVisible(data, wParam, lParam));
    case TVM_SORTCHILDRENCB:
        return LOCKED(TreeListSortChildrenCB(data, wParam, (const TVSORTCB*)lParam));
    case TVM_ENDEDITLABELNOW:
        return LOCKED(TreeListEndEdit(data, wParam == 0, FALSE));
    case TVM_SETTOOLTIPS:
        return LOCKED(TreeListSetTooltips(data, (HWND)wParam));
    case TVM_SETINSERTMARK:
        return LOCKED(TreeListSetInsertMark(data, wParam, lParam));
    case TVM_SETITEMHEIGHT:
        return LOCKED(OnSetItemHeight(data, wParam));
    case TVM_SETBKCOLOR:
        return LOCKED(TreeListSetColour(data, wParam, lParam));
    case TVM_SETTEXTCOLOR:
        return LOCKED(TreeListSetColour(data, TLC_TEXT, lParam));
    case TVM_SETLINECOLOR:
        return LOCKED(TreeListSetColour(data, TLC_BUTTONSIGN, lParam));
    case TVM_SETINSERTMARKCOLOR:
        return LOCKED(TreeListSetColour(data, TLC_INSERTMARK, lParam));
    case TVM_GETITEMSTATE:
        return LOCKED(TreeListGetItemState(data, wParam));
    case TVM_SETEXTENDEDSTYLE:
        return LOCKED(OnSetExtendedStyle(data, wParam, lParam));
    case TVM_GETITEMW:
        return LOCKED(TreeListGetItemRecord(data, (TVITEMW*)lParam));
    case TVM_SETITEMW:
        return LOCKED(TreeListSetItemRecord(data, (const TVITEMW*)lParam));
    case TVM_EDITLABELW:
        return LOCKED(TreeListEditLabel(data, wParam, lParam, 0, FALSE));

    // Own messages.
    case TLM_FINDITEM:
        return LOCKED(TreeListFindItem(data, wParam, (const TLFINDITEM*)lParam));
    case TLM_SETCOLUMNEDITDATA:
        return LOCKED(TreeListSetColumnEditData(data, wParam, lParam));
    case TLM_SETCOLUMNEDITMODE:
        return LOCKED(TreeListSetColumnEditMode(data, wParam, lParam));
    case TLM_SORTCHILDRENBYITEM:
        return LOCKED(TreeListSortChildrenByItem(data, wParam, (const TLSORTITEM*)lParam));
    case TLM_GETUSERDATA:
        return LOCKED(TreeListGetUserData(data, lParam));
    case TLM_SETUSERDATASIZE:
        return LOCKED(TreeListSetUserDataSize(data, lParam));
    case TLM_GETCOLUMNWIDTH:
        return LOCKED(TreeListGetColumnWidth(data, wParam));
    case TLM_SETCOLUMNWIDTH:
        return LOCKED(TreeListSetColumnWidth(data, wParam, lParam));
    case TLM_GETCOLUMN:
        return LOCKED(TreeListGetColumn(data, wParam, (LVCOLUMNW*)lParam));
    case TLM_SETCOLUMN:
        return LOCKED(TreeListSetColumn(data, wParam, (const LVCOLUMNW*)lParam));
    case TLM_ITEMTOROW:
        return LOCKED(TreeListItemToRow(data, lParam));
    case TLM_ROWTOITEM:
        return LOCKED(TreeListRowToItem(data, lParam));
    case TLM_GETCELLTEXTCOLOR:
    case TLM_GETCELLBKCOLOR:
        return LOCKED(TreeListGetCellColour(data, wParam, lParam, message == TLM_GETCELLBKCOLOR));
    case TLM_SETCELLTEXTCOLOR:
    case TLM_SETCELLBKCOLOR:
        return LOCKED(TreeListSetCellColour(data, wParam, lParam, message == TLM_SETCELLBKCOLOR));
    case TLM_SETCELLMARK:
        return LOCKED(TreeListSetCellMark(data, wParam, lParam));
    case TLM_SELECTCELL:
        return LOCKED(TreeListSelectCell(data, wParam, lParam));
    case TLM_ADDCOLUMN:
        return LOCKED(TreeListAddColumn(data, wParam, (const LVCOLUMNW*)lParam));
    case TLM_REMOVECOLUMN:
        return LOCKED(TreeListRemoveColumn(data, wParam));
    default:
        break;
    }
    return DefWindowProcW(data->hwnd, message, wParam, lParam);
}

#ifndef NDEBUG
// A debug build checks the record after every message that leaves the
// semaphore free: a message that came in while a handler held it (from a
// child the handler talked to) may find the handler halfway.
static void CheckAfterMessage(const TreeListData* data, UINT message)
{
    char problem[256];
    if (data->gone || data->lockCount != 0 || TreeListCheckInvariants(data, problem, sizeof problem))
        return;
    char line[320];
    wsprintfA(line, "TreeList: after message 0x%x: %s\n", message, problem);
    OutputDebugStringA(line);
    DebugBreak();
}
#endif

static LRESULT CALLBACK TreeListWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        return OnCreate(hwnd, (const CREATESTRUCTW*)lParam);
    TreeListData* data = (TreeListData*)GetWindowLongPtrW(hwnd, 0);
    if (!data)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    data->depth++;
    LRESULT result = Dispatch(data, message, wParam, lParam);
    data->depth--;
#ifndef NDEBUG
    CheckAfterMessage(data, message);
#endif
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
