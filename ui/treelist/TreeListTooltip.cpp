// Tooltips for texts that do not fit their cell: a tracking tooltip laid over
// the text under the mouse, checked from a timer until the mouse leaves it.
#include "ui/treelist/TreeListData.h"

#include <string.h>
#include <windowsx.h>

#define TL_TOOLTIP_ID 2
#define TL_TOOLTIP_TIP_WIDTH 10000
#define TL_TOOLTIP_SUBCLASS 0x3912
#define TL_TIP_CHARS 259

static void FillTool(const TreeListData* data, TTTOOLINFOW* tool)
{
    memset(tool, 0, sizeof *tool);
    tool->cbSize = sizeof *tool;
    tool->uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    tool->hwnd = data->hwnd;
    tool->uId = (UINT_PTR)data->hwnd;
    tool->lpszText = LPSTR_TEXTCALLBACKW;
}

static BOOL IsMouseMessage(UINT message)
{
    return message == WM_MOUSEMOVE || (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONDBLCLK);
}

// The tip lies over the list: its mouse input belongs to the list, and so
// does the focus.
static LRESULT CALLBACK TooltipProc(HWND tip, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR list)
{
    if (IsMouseMessage(message)) {
        POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        MapWindowPoints(tip, (HWND)list, &point, 1);
        return SendMessageW((HWND)list, message, wParam, MAKELPARAM(point.x, point.y));
    }
    if (message == WM_SETFOCUS) {
        SetFocus((HWND)list);
        return 0;
    }
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(tip, TooltipProc, TL_TOOLTIP_SUBCLASS);
    return DefSubclassProc(tip, message, wParam, lParam);
}

void TreeListCreateTooltip(TreeListData* data)
{
    if (data->tooltip)
        return;
    data->tooltip = CreateWindowExW(0, TOOLTIPS_CLASSW, NULL, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, data->hwnd, NULL,
                                    (HINSTANCE)GetWindowLongPtrW(data->hwnd, GWLP_HINSTANCE), NULL);
    data->tooltipBuilt = data->tooltip != NULL;
    if (!data->tooltip)
        return;
    SetWindowLongPtrW(data->tooltip, GWLP_ID, TL_TOOLTIP_ID);
    SendMessageW(data->tooltip, TTM_SETMAXTIPWIDTH, 0, TL_TOOLTIP_TIP_WIDTH);
    TTTOOLINFOW tool;
    FillTool(data, &tool);
    SendMessageW(data->tooltip, TTM_ADDTOOLW, 0, (LPARAM)&tool);
    SetWindowSubclass(data->tooltip, TooltipProc, TL_TOOLTIP_SUBCLASS, (DWORD_PTR)data->hwnd);
}

void TreeListDestroyTooltip(TreeListData* data)
{
    TreeListHideTooltip(data);
    HWND tip = data->tooltipBuilt ? data->tooltip : NULL;
    data->tooltip = NULL;
    data->tooltipBuilt = FALSE;
    if (!tip)
        return;
    TreeListUnlock(data);
    DestroyWindow(tip);
    TreeListLock(data);
}

LRESULT TreeListSetTooltips(TreeListData* data, HWND tooltip)
{
    HWND previous = data->tooltip;
    // The previous tooltip goes to the caller, who destroys it; otherwise
    // its owner, the list's top-level window, does when it goes.
    TreeListHideTooltip(data);
    data->tooltip = tooltip;
    data->tooltipBuilt = FALSE;
    return (LRESULT)previous;
}

static BOOL HasOwnTooltip(const TreeListData* data)
{
    return data->tooltip && data->tooltipBuilt && !(data->style & TVS_NOTOOLTIPS);
}

void TreeListHideTooltip(TreeListData* data)
{
    BOOL wasActive = data->tipShown || data->tipCountdown;
    data->tipItem = 0;
    data->tipColumn = 0;
    data->tipCountdown = 0;
    data->tipShown = FALSE;
    if (!wasActive)
        return;
    KillTimer(data->hwnd, TL_TOOLTIP_TIMER);
    if (!data->tooltip || !data->tooltipBuilt)
        return;
    HWND tip = data->tooltip;
    TTTOOLINFOW tool;
    FillTool(data, &tool);
    TreeListUnlock(data);
    SendMessageW(tip, TTM_TRACKACTIVATE, FALSE, (LPARAM)&tool);
    TreeListLock(data);
}

// Where the text of a cell is and whether it is cut: its width + 4 reaches
// the width available to it.
static BOOL PlaceText(TreeListData* data, unsigned number, unsigned column, RECT* place)
{
    int width;
    if (!TreeListMeasureShownText(data, number, column, &width))
        return FALSE;
    int x, limit, left, right;
    TreeListTextSpan(data, number, column, width, &x, &limit);
    TreeListColumnSpan(data, column, &left, &right);
    const TreeListItem* item = data->items[number];
    int top = TreeListRowTop(data, item->row - 1) + (data->rowHeight - data->fontHeight) / 2;
    SetRect(place, x, top, x + width, top + data->fontHeight);
    return width + 4 >= right - x;
}

// FALSE when the item went while its callback text was asked for.
static BOOL SetTipText(TreeListData* data, unsigned number, unsigned column)
{
    WCHAR buffer[TL_DISPINFO_CHARS];
    int length = 0;
    const WCHAR* text = TreeListShownText(data, number, column, buffer, &length);
    if (!text)
        return FALSE;
    if (length > TL_TIP_CHARS)
        length = TL_TIP_CHARS;
    memcpy(data->tipText, text, (size_t)length * sizeof(WCHAR));
    data->tipText[length] = 0;
    data->tipFont = column == 0 && (data->items[number]->state & TVIS_BOLD) ? data->boldFont : data->font;
    return TRUE;
}

// With parent tooltips the parent may replace the text and ask for a delay
// (in steps of 500 ms); FALSE when it wants no tip.
static BOOL AskParent(TreeListData* data, unsigned number, unsigned column, POINT point, unsigned* steps)
{
    NMTLTOOLTIPW nm;
    memset(&nm, 0, sizeof nm);
    const TreeListItem* item = data->items[number];
    nm.item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_STATE | TVIF_PARAM | (column ? TLIF_COLUMN : 0);
    nm.item.hItem = (HTREEITEM)(ULONG_PTR)number;
    nm.item.state = item->state;
    nm.item.stateMask = 0xFFFFFFFFu;
    nm.item.lParam = item->lParam;
    nm.item.pszText = data->tipText;
    nm.item.cchTextMax = TL_DISPINFO_CHARS;
    nm.item.cChildren = (int)column;
    nm.pt = point;
    if (!TreeListNotify(data, TLN_GETTOOLTIPTEXT, &nm.hdr) || !TreeListStillHeld(data, number, 0)
        || !nm.item.pszText)
        return FALSE;
    if (nm.item.pszText != data->tipText)
        lstrcpynW(data->tipText, nm.item.pszText, TL_TIP_CHARS + 1);
    data->tipText[TL_TIP_CHARS] = 0;
    *steps = (nm.item.mask & TLTIP_DELAY) ? (nm.uDelay + TL_TOOLTIP_STEP - 1) / TL_TOOLTIP_STEP : 0;
    return data->tipText[0] != 0;
}

static void ShowTip(TreeListData* data, const RECT* place)
{
    if (!TreeListGetLiveItem(data, data->tipItem))
        return;
    RECT rect = *place;
    MapWindowPoints(data->hwnd, NULL, (POINT*)&rect, 2);
    HWND tip = data->tooltip;
    TTTOOLINFOW tool;
    FillTool(data, &tool);
    data->tipShown = TRUE;
    data->tipCountdown = 0;
    SetTimer(data->hwnd, TL_TOOLTIP_TIMER, TL_TOOLTIP_CHECK, NULL);
    TreeListUnlock(data);
    SendMessageW(tip, WM_SETFONT, (WPARAM)data->tipFont, FALSE);
    SendMessageW(tip, TTM_ADJUSTRECT, TRUE, (LPARAM)&rect);
    SendMessageW(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(rect.left, rect.top));
    SendMessageW(tip, TTM_TRACKACTIVATE, TRUE, (LPARAM)&tool);
    TreeListLock(data);
}

static BOOL HitText(TreeListData* data, POINT point, unsigned* number, unsigned* column)
{
    TVHITTESTINFO info;
    memset(&info, 0, sizeof info);
    info.pt = point;
    *number = (unsigned)TreeListHitTest(data, &info);
    *column = TLHT_COLUMN(info.flags);
    if (!*number || data->destroyed)
        return FALSE;
    return *column ? (info.flags & (TLHT_ONCELLLABEL | TLHT_ONCELLRIGHT)) != 0 : (info.flags & TVHT_ONITEMLABEL) != 0;
}

void TreeListTrackTooltip(TreeListData* data, POINT point)
{
    if (!HasOwnTooltip(data) || !data->enabled || data->edit)
        return;
    unsigned number, column;
    BOOL onText = HitText(data, point, &number, &column);
    if (data->destroyed)
        return;
    if (onText && number == data->tipItem && column == data->tipColumn && (data->tipShown || data->tipCountdown))
        return;
    TreeListHideTooltip(data);
    if (!onText || data->destroyed)
        return;
    RECT place;
    BOOL clipped = PlaceText(data, number, column, &place);
    if (!TreeListStillHeld(data, number, 0) || !SetTipText(data, number, column))
        return;
    unsigned steps = 0;
    BOOL parentTip = (data->exStyle & TLS_EX_PARENTTOOLTIPS) && AskParent(data, number, column, point, &steps);
    if (!TreeListStillHeld(data, number, 0) || !(clipped || parentTip))
        return;
    data->tipItem = number;
    data->tipColumn = column;
    if (steps) {
        data->tipCountdown = steps;
        SetTimer(data->hwnd, TL_TOOLTIP_TIMER, TL_TOOLTIP_STEP, NULL);
        return;
    }
    ShowTip(data, &place);
}

static BOOL MouseStillOnTip(TreeListData* data)
{
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(data->hwnd, &cursor);
    unsigned number, column;
    BOOL onText = HitText(data, cursor, &number, &column);
    return onText && number == data->tipItem && column == data->tipColumn;
}

void TreeListOnTooltipTimer(TreeListData* data)
{
    if (!MouseStillOnTip(data)) {
        if (!data->destroyed)
            TreeListHideTooltip(data);
        return;
    }
    if (data->tipCountdown && --data->tipCountdown == 0) {
        RECT place;
        PlaceText(data, data->tipItem, data->tipColumn, &place);
        if (TreeListStillHeld(data, data->tipItem, 0))
            ShowTip(data, &place);
    }
}

LRESULT TreeListOnTooltipNotify(TreeListData* data, NMHDR* header)
{
    if (header->code != TTN_GETDISPINFOW)
        return 0;
    NMTTDISPINFOW* info = (NMTTDISPINFOW*)header;
    info->lpszText = data->tipText;
    info->hinst = NULL;
    SendMessageW(data->tooltip, WM_SETFONT, (WPARAM)data->tipFont, FALSE);
    return 0;
}
