// In-place editing with an edit or combo child (id 3) laid over the cell
// text. A key filter on the child turns Enter and Escape into commands to the
// list. An ended editor is only hidden: it may still be inside its own
// window procedure, so it is destroyed when the next edit starts or with the
// list.
#include "ui/treelist/TreeListData.h"

#include <string.h>

#define TL_EDIT_FILTER 0x3579
#define TL_EDIT_TEXT_CHARS 260
#define TL_COMBO_LIST_ROWS 8

// By editor kind: an edit box, an editable drop-down, a drop-down list; each
// a bordered child that scrolls its text sideways.
static const DWORD editorStyles[3] = {
    WS_CHILD | WS_BORDER | ES_AUTOHSCROLL,
    WS_CHILD | WS_BORDER | CBS_AUTOHSCROLL | CBS_DROPDOWN,
    WS_CHILD | WS_BORDER | CBS_AUTOHSCROLL | CBS_DROPDOWNLIST,
};

UINT TreeListColumnEditKind(const TreeListData* data, unsigned column)
{
    BYTE mode = column < TreeListShownColumns(data) ? data->columns[column].editMode : 0;
    // Mode 2 edits in an editable combo, modes 3 and 4 choose from a list;
    // every other mode edits in an edit box.
    switch (mode) {
    case 2:
        return TLEDIT_KIND_COMBO;
    case 3:
    case 4:
        return TLEDIT_KIND_DROPLIST;
    default:
        return TLEDIT_KIND_EDIT;
    }
}

static BOOL IsCombo(UINT kind)
{
    return kind == TLEDIT_KIND_COMBO || kind == TLEDIT_KIND_DROPLIST;
}

static BOOL EditorIsCombo(HWND editor)
{
    WCHAR name[16];
    return GetClassNameW(editor, name, 16) && lstrcmpiW(name, WC_COMBOBOXW) == 0;
}

static BOOL ComboDropped(HWND combo)
{
    return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

static void ScrollDroppedList(HWND combo, short delta)
{
    int top = (int)SendMessageW(combo, CB_GETTOPINDEX, 0, 0) - delta / WHEEL_DELTA;
    SendMessageW(combo, CB_SETTOPINDEX, (WPARAM)(top < 0 ? 0 : top), 0);
}

// On the editor and on a combo's own edit box; ref is the editor (id 3).
static LRESULT CALLBACK KeyFilter(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref)
{
    HWND editor = (HWND)ref;
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
            WORD code = wParam == VK_RETURN ? TL_EDIT_RETURN : TL_EDIT_ESCAPE;
            SendMessageW(GetParent(editor), WM_COMMAND, MAKEWPARAM(TL_EDIT_ID, code), (LPARAM)editor);
            return 0;
        }
        if (wParam == VK_DOWN && EditorIsCombo(editor) && !ComboDropped(editor)) {
            SendMessageW(editor, CB_SHOWDROPDOWN, TRUE, 0);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == L'\r' || wParam == 27)
            return 0;
        break;
    case WM_MOUSEWHEEL:
        if (EditorIsCombo(editor) && ComboDropped(editor)) {
            ScrollDroppedList(editor, GET_WHEEL_DELTA_WPARAM(wParam));
            return 0;
        }
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, KeyFilter, TL_EDIT_FILTER);
        break;
    default:
        break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

static void FilterKeys(HWND editor)
{
    SetWindowSubclass(editor, KeyFilter, TL_EDIT_FILTER, (DWORD_PTR)editor);
    for (HWND child = GetWindow(editor, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        SetWindowSubclass(child, KeyFilter, TL_EDIT_FILTER, (DWORD_PTR)editor);
}

// Starting ---------------------------------------------------------------

// Destroying an editor that has the focus sends its focus loss back to the
// list: the semaphore is released meanwhile.
static void DestroyEditor(TreeListData* data, HWND editor)
{
    if (!editor)
        return;
    TreeListUnlock(data);
    DestroyWindow(editor);
    TreeListLock(data);
}

static void DestroySpentEditor(TreeListData* data)
{
    HWND spent = data->spentEdit;
    data->spentEdit = NULL;
    DestroyEditor(data, spent);
}

void TreeListDestroyEditors(TreeListData* data)
{
    HWND editor = data->edit;
    data->edit = NULL;
    DestroySpentEditor(data);
    DestroyEditor(data, editor);
}

static HWND CreateEditor(TreeListData* data, UINT kind)
{
    HWND list = data->hwnd;
    HFONT font = data->font;
    TreeListUnlock(data);
    HWND editor = CreateWindowExW(0, IsCombo(kind) ? WC_COMBOBOXW : WC_EDITW, NULL, editorStyles[kind], 0, 0, 0, 0,
                                  list, (HMENU)(UINT_PTR)TL_EDIT_ID,
                                  (HINSTANCE)GetWindowLongPtrW(list, GWLP_HINSTANCE), NULL);
    if (editor) {
        TreeListUnthemeWindow(editor);
        SendMessageW(editor, WM_SETFONT, (WPARAM)font, FALSE);
        FilterKeys(editor);
    }
    TreeListLock(data);
    return editor;
}

static LRESULT NotifyEditStart(TreeListData* data, unsigned number, unsigned column, const WCHAR* text)
{
    NMTVDISPINFOW nm;
    memset(&nm, 0, sizeof nm);
    const TreeListItem* item = data->items[number];
    nm.item.mask = TLIF_COLUMN | TVIF_HANDLE | TVIF_TEXT | TVIF_STATE | TVIF_PARAM;
    nm.item.hItem = (HTREEITEM)(ULONG_PTR)number;
    nm.item.pszText = (LPWSTR)text;
    nm.item.cchTextMax = lstrlenW(text) + 1;
    nm.item.state = item->state;
    nm.item.stateMask = 0xFFFFFFFFu;
    nm.item.lParam = item->lParam;
    nm.item.cChildren = (int)column;
    return TreeListNotify(data, TVN_BEGINLABELEDITW, &nm.hdr);
}

// The entries of a combo come from the column's edit data: zero-terminated
// strings one after the other, ended by an empty one.
static void FillCombo(HWND combo, LPARAM editData)
{
    const WCHAR* entry = (const WCHAR*)editData;
    for (; entry && *entry; entry += lstrlenW(entry) + 1)
        SendMessageW(combo, CB_ADDSTRING, 0, (LPARAM)entry);
}

static void SetEditorText(HWND editor, UINT kind, const WCHAR* text)
{
    if (kind == TLEDIT_KIND_DROPLIST) {
        LRESULT index = SendMessageW(editor, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)text);
        SendMessageW(editor, CB_SETCURSEL, index == CB_ERR ? (WPARAM)-1 : (WPARAM)index, 0);
        return;
    }
    SetWindowTextW(editor, text);
    if (kind == TLEDIT_KIND_COMBO)
        SendMessageW(editor, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    else
        SendMessageW(editor, EM_SETSEL, 0, -1);
}

// Over the cell text, to the column's right edge; a combo also has room for
// its list. FALSE when the item went while its callback text was measured.
static BOOL EditorPlace(TreeListData* data, unsigned number, unsigned column, UINT kind, RECT* place)
{
    int width;
    if (!TreeListMeasureShownText(data, number, column, &width))
        return FALSE;
    int left, right, x, limit;
    TreeListColumnSpan(data, column, &left, &right);
    TreeListTextSpan(data, number, column, width, &x, &limit);
    if (right > data->clientWidth)
        right = data->clientWidth;
    const TreeListItem* item = data->items[number];
    int top = item->row ? TreeListRowTop(data, item->row - 1) : data->headerHeight;
    int height = data->rowHeight * (IsCombo(kind) ? 1 + TL_COMBO_LIST_ROWS : 1);
    SetRect(place, x - 2, top, right > x + 8 ? right : x + 8, top + height);
    return TRUE;
}

typedef struct EditorStart {
    HWND editor;
    UINT kind;
    unsigned number;
    unsigned column;
    WCHAR text[TL_DISPINFO_CHARS];
} EditorStart;

// FALSE when the item went before the editor could be placed over it.
static BOOL ShowEditor(TreeListData* data, const EditorStart* start, WCHAR firstChar, BOOL dropDown)
{
    RECT place;
    if (!EditorPlace(data, start->number, start->column, start->kind, &place))
        return FALSE;
    LPARAM editData = data->columns[start->column].editData;
    HWND editor = start->editor;
    TreeListUnlock(data);
    if (IsCombo(start->kind))
        FillCombo(editor, editData);
    SetEditorText(editor, start->kind, start->text);
    TreeListLock(data);
    if (!TreeListStillHeld(data, start->number, 0))
        return FALSE;
    data->edit = editor;
    data->editItem = start->number;
    data->editColumn = start->column;
    data->editKind = start->kind;
    data->textChanged = FALSE;
    TreeListUnlock(data);
    SetWindowPos(editor, HWND_TOP, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_SHOWWINDOW);
    SetFocus(editor);
    if (dropDown && IsCombo(start->kind))
        SendMessageW(editor, CB_SHOWDROPDOWN, TRUE, 0);
    if (firstChar)
        SendMessageW(editor, WM_CHAR, firstChar, 1);
    TreeListLock(data);
    return TRUE;
}

static BOOL PrepareEdit(TreeListData* data, EditorStart* start)
{
    if (data->edit)
        TreeListEndEdit(data, TRUE, FALSE);
    DestroySpentEditor(data);
    if (!TreeListStillHeld(data, start->number, 0)
        || !TreeListSelectCaret(data, start->number, start->column, TVC_UNKNOWN)
        || !TreeListStillHeld(data, start->number, 0))
        return FALSE;
    TreeListEnsureVisible(data, start->column, (LPARAM)start->number);
    int length = 0;
    const WCHAR* text = TreeListShownText(data, start->number, start->column, start->text, &length);
    if (text && text != start->text)
        lstrcpynW(start->text, text, TL_DISPINFO_CHARS);
    return text != NULL;
}

LRESULT TreeListEditLabel(TreeListData* data, WPARAM how, LPARAM handle, WCHAR firstChar, BOOL dropDown)
{
    EditorStart start;
    start.column = (unsigned)(how & TLEDIT_COLUMN_MASK);
    start.kind = (UINT)((how >> TLEDIT_KIND_SHIFT) & 7); // bits 29-31, also in a 64-bit parameter
    if (!(data->style & TVS_EDITLABELS) || !TreeListIsHandle(handle, &start.number)
        || start.column >= TreeListShownColumns(data))
        return 0;
    if (start.kind == 0)
        start.kind = TreeListColumnEditKind(data, start.column);
    if (start.kind > TLEDIT_KIND_DROPLIST)
        start.kind = TLEDIT_KIND_EDIT;
    if (!PrepareEdit(data, &start))
        return 0;
    // Creating the editor tells the ancestors (WM_PARENTNOTIFY), so the item
    // is checked again before the parent is asked.
    start.editor = CreateEditor(data, start.kind);
    if (!start.editor)
        return 0;
    if (!TreeListStillHeld(data, start.number, 0) || NotifyEditStart(data, start.number, start.column, start.text)
        || !TreeListStillHeld(data, start.number, 0)) {
        DestroyEditor(data, start.editor);
        return 0;
    }
    TreeListHideTooltip(data);
    if (!ShowEditor(data, &start, firstChar, dropDown)) {
        DestroyEditor(data, start.editor);
        return 0;
    }
    return data->edit == start.editor ? (LRESULT)start.editor : 0;
}

// Ending -----------------------------------------------------------------

static void NotifyEditEnd(TreeListData* data, unsigned number, unsigned column, WCHAR* text, UINT flags,
                          LRESULT* answer)
{
    NMTVDISPINFOW nm;
    memset(&nm, 0, sizeof nm);
    const TreeListItem* item = data->items[number];
    nm.item.mask = flags;
    nm.item.hItem = (HTREEITEM)(ULONG_PTR)number;
    nm.item.pszText = (flags & TVIF_TEXT) ? text : NULL;
    nm.item.cchTextMax = (flags & TVIF_TEXT) ? TL_EDIT_TEXT_CHARS : 0;
    nm.item.state = item->state;
    nm.item.stateMask = 0xFFFFFFFFu;
    nm.item.lParam = item->lParam;
    nm.item.cChildren = (int)column;
    *answer = TreeListNotify(data, TVN_ENDLABELEDITW, &nm.hdr);
}

static void StoreText(TreeListData* data, unsigned number, unsigned column, WCHAR* text)
{
    int length;
    BOOL callback;
    const WCHAR* stored = TreeListStoredText(data, number, column, &length, &callback);
    if (callback) {
        NMTVDISPINFOW nm;
        memset(&nm, 0, sizeof nm);
        nm.item.mask = TVIF_HANDLE | TVIF_TEXT | (column ? TLIF_COLUMN : 0);
        nm.item.hItem = (HTREEITEM)(ULONG_PTR)number;
        nm.item.pszText = text;
        nm.item.cchTextMax = TL_EDIT_TEXT_CHARS;
        nm.item.lParam = data->items[number]->lParam;
        nm.item.cChildren = (int)column;
        TreeListNotify(data, TVN_SETDISPINFOW, &nm.hdr);
        return;
    }
    if (lstrcmpW(stored, text) == 0)
        return;
    TVITEMW record;
    memset(&record, 0, sizeof record);
    record.mask = TLIF_COLUMN | TVIF_TEXT;
    record.hItem = (HTREEITEM)(ULONG_PTR)number;
    record.pszText = text;
    record.cChildren = (int)column;
    TreeListSetItemRecord(data, &record);
}

// Reads and hides the editor; the focus comes back to the list when the
// editor had it and editing ended by a key.
static int TakeEditorText(TreeListData* data, HWND editor, UINT kind, BOOL byKey, WCHAR* text)
{
    HWND list = data->hwnd;
    TreeListUnlock(data);
    GetWindowTextW(editor, text, TL_EDIT_TEXT_CHARS);
    int chosen = kind == TLEDIT_KIND_DROPLIST ? (int)SendMessageW(editor, CB_GETCURSEL, 0, 0) : -1;
    HWND focus = GetFocus();
    BOOL hadFocus = focus == editor || IsChild(editor, focus);
    ShowWindow(editor, SW_HIDE);
    if (hadFocus && byKey)
        SetFocus(list);
    TreeListLock(data);
    return chosen;
}

LRESULT TreeListEndEdit(TreeListData* data, BOOL keep, BOOL byReturn)
{
    HWND editor = data->edit;
    if (!editor)
        return 0;
    unsigned number = data->editItem;
    unsigned column = data->editColumn;
    UINT kind = data->editKind;
    UINT flags = TLIF_COLUMN | TVIF_HANDLE | TVIF_STATE | TVIF_PARAM | (keep ? TVIF_TEXT : 0);
    if (data->textChanged)
        flags |= TLIF_EDITCHANGED;
    if (byReturn)
        flags |= TLIF_EDITRETURN;
    // From here on the editor's own notifications are no longer about an edit.
    data->edit = NULL;
    data->spentEdit = editor;
    WCHAR text[TL_EDIT_TEXT_CHARS];
    int chosen = TakeEditorText(data, editor, kind, byReturn || !keep, text);
    if (!number || !TreeListStillHeld(data, number, 0))
        return 0;
    LRESULT answer = 0;
    NotifyEditEnd(data, number, column, text, flags, &answer);
    if (answer || !keep || !TreeListStillHeld(data, number, 0))
        return 0;
    // The editor holds at most 259 characters: an untouched longer text is
    // not cut by storing what the editor shows.
    if (flags & TLIF_EDITCHANGED)
        StoreText(data, number, column, text);
    if (kind == TLEDIT_KIND_DROPLIST && column < data->columnCount)
        data->columns[column].editValue = chosen;
    return 1;
}

LRESULT TreeListOnEditCommand(TreeListData* data, UINT code, HWND child)
{
    if (!data->edit || child != data->edit)
        return 0;
    switch (code) {
    case CBN_SELCHANGE:
    case CBN_EDITCHANGE:
    case EN_CHANGE:
        data->textChanged = TRUE;
        return 0;
    case CBN_KILLFOCUS:
    case EN_KILLFOCUS:
        return TreeListEndEdit(data, TRUE, FALSE);
    case TL_EDIT_RETURN:
        return TreeListEndEdit(data, TRUE, TRUE);
    case TL_EDIT_ESCAPE:
        return TreeListEndEdit(data, FALSE, FALSE);
    default:
        return 0;
    }
}
