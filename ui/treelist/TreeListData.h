#pragma once
// Records of the TreeList window and the functions its message handlers share.
// All state of one window lives in its TreeListData; items, cells and columns
// are plain records addressed by item number and column index.
#include "ui/treelist/TreeList.h"

#define TL_MAX_COLUMNS 32
#define TL_DEFAULT_INDENT 19
#define TL_DEFAULT_BUTTON 7
#define TL_MAX_TEXT 0xFFFE
#define TL_DISPINFO_CHARS 260
#define TL_MAX_USERDATA 0x1000000u
#define TL_NO_IMAGE (-2)
// Cells of extra columns show and measure at most this many characters.
#define TL_CELL_SHOWN_CHARS 253

// Mouse buttons of presses and drags.
#define TL_LEFT 1
#define TL_RIGHT 2

// Style bits that change how the tree column is drawn: buttons, lines,
// lines at the root, reading order, check boxes, hot tracking.
#define TL_TREE_LOOK_STYLES \
    (TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_RTLREADING | TVS_CHECKBOXES | TVS_TRACKSELECT)
// Extended style bits that change what every row looks like.
#define TL_EX_LOOK_STYLES (TLS_EX_MULTISELECT | TLS_EX_ALTERNATEROWS | TLS_EX_CELLSELECT | TLS_EX_ROWREPAINT)

// The wheel scrolls only while no mouse button, Shift or Ctrl is held, two
// rows per notch.
#define TL_WHEEL_BLOCKING_KEYS (MK_LBUTTON | MK_RBUTTON | MK_SHIFT | MK_CONTROL | MK_MBUTTON)
#define TL_WHEEL_ROWS_PER_NOTCH 2
// Scrolling sideways by a line moves this many pixels.
#define TL_HSCROLL_LINE 16

// TreeListItem / TreeListCell callback flags.
#define TLCB_TEXT 0x01
#define TLCB_IMAGE 0x02
#define TLCB_SELECTEDIMAGE 0x20
#define TLCB_CHILDREN 0x40

// TreeListItem / TreeListCell flags.
#define TLF_FOLLOWCHILDREN 0x01
#define TLF_ALWAYSBUTTON 0x02
#define TLF_MARKED 0x08
#define TLF_OWNTEXTCOLOUR 0x10
#define TLF_OWNBKCOLOUR 0x20
#define TLF_ANCHOR 0x40
// The item is being deleted: its subtree is detached and only the frame that
// detached it frees it.
#define TLF_DELETING 0x80

// State bit 0x1 underlines the text of an item or cell.
#define TL_STATE_UNDERLINED 0x1u

// Cell state bits that always belong to the item, and those a new cell copies.
#define TL_ITEM_ONLY_STATE 0xE2u
#define TL_CELL_INITIAL_STATE 0x11u

struct TreeListItem {
    LPARAM lParam;
    WCHAR* text;
    UINT state;
    int image;
    int selectedImage;
    unsigned row; // row number + 1, 0 when not in the row list
    unsigned firstChild;
    unsigned lastChild;
    unsigned prevSibling;
    unsigned nextSibling;
    unsigned parent;
    unsigned level; // as wide as an item number: any chain of items has a level
    unsigned short textWidth;
    unsigned short textLength;
    BYTE callbacks;
    BYTE flags;
    COLORREF textColour;
    COLORREF bkColour;
};

struct TreeListCell {
    WCHAR* text;
    UINT state;
    int image;
    unsigned short textWidth;
    unsigned short textLength;
    BYTE callbacks;
    BYTE flags;
    COLORREF textColour;
    COLORREF bkColour;
};

struct TreeListColumn {
    LPARAM editData;
    int editValue;
    unsigned short width;
    unsigned short minWidth;
    BYTE minEnforced;
    BYTE weight; // 0 for fixed-width columns
    BYTE align;  // 0 left, 1 centre, 2 right
    BYTE editMode;
    BYTE editFlags[3];
};

// Column edit modes 6 and 7 show check boxes in the cells instead of text
// editing; the others edit in place.
#define TL_EDIT_MODE_CHECK 6
#define TL_EDIT_MODE_CHECK_EDIT 7
static inline BOOL TreeListIsCheckMode(BYTE editMode)
{
    return editMode >= TL_EDIT_MODE_CHECK;
}

// Item changes update the scroll bars from this timer, at most every 50 ms.
#define TL_SCROLLBAR_TIMER 0x3913
#define TL_SCROLLBAR_DELAY 50
// The tooltip is checked (and a delayed one counted down) from this timer.
#define TL_TOOLTIP_TIMER 0x3912
#define TL_TOOLTIP_CHECK 1500
#define TL_TOOLTIP_STEP 500

#define TL_EDIT_ID 3
// Codes the editor's key filter sends the list with WM_COMMAND.
#define TL_EDIT_RETURN 0x1578
#define TL_EDIT_ESCAPE 0x1579

// An image list the window draws from, its image size, and whether the
// window built it (and so destroys it); lists handed in stay their owners'.
struct TreeListImages {
    HIMAGELIST list;
    int width, height;
    BOOL built;
};

struct TreeListData {
    HWND hwnd;
    HANDLE semaphore;
    volatile LONG lockCount; // holder plus waiters; the semaphore is used only when contended
    volatile DWORD lockOwner; // thread that holds it, 0 when free

    TreeListImages stateImages;     // check boxes
    TreeListImages normalImages;
    TreeListImages cellCheckImages; // check boxes of columns in check mode
    HIMAGELIST headerImages;

    HFONT font;
    HFONT boldFont;
    HFONT measuredFont;
    BOOL boldFontOwned;
    int fontHeight;
    int fontAscent1;
    int dotsWidth;
    int boldDotsWidth;

    COLORREF colours[TLC_COUNT];
    BYTE colourSet[TLC_COUNT];

    HWND header;
    HWND tooltip;
    HWND edit;
    BOOL tooltipBuilt;

    int rowHeight;
    int indent;
    int buttonSize;

    unsigned autoWeightSum;
    int autoWidthTotal;
    int fixedWidthTotal;

    TreeListItem** items;
    TreeListCell** cellTables[TL_MAX_COLUMNS]; // index = column; 0 unused
    unsigned highestItem;
    unsigned itemCount;
    unsigned lastHandedOut;
    unsigned itemCapacity;
    unsigned userDataSize;

    unsigned firstTop;
    unsigned lastTop;

    unsigned rowCount;
    unsigned rowCapacity;
    unsigned* rows;

    unsigned firstRow;
    int hOffset;
    int clientWidth;
    int clientHeight;
    int headerHeight;
    unsigned pageRowsPartly;
    unsigned pageRowsFully;
    int contentWidth; // widest tree-column extent, for lists without columns
    SCROLLINFO shownScroll[2]; // what the scroll bars were last given (SB_HORZ, SB_VERT)
    BOOL scrollUpdatePending;

    DWORD style;
    DWORD exStyle;

    unsigned selectedCount;
    unsigned anchorItem;
    unsigned caretItem;
    unsigned caretColumn;
    unsigned focusItem;
    unsigned focusColumn;
    unsigned dropItem;
    unsigned insertMarkItem;
    unsigned markItem;
    unsigned markColumn;

    TreeListColumn columns[TL_MAX_COLUMNS];
    unsigned columnCount;
    unsigned autoColumnCount;

    unsigned tipItem, tipColumn, tipCountdown;
    BOOL tipShown;
    HFONT tipFont;
    WCHAR tipText[TL_DISPINFO_CHARS];
    unsigned dragButton, dragItem, dragColumn;
    POINT dragStart;
    unsigned keptPressItem; // a press on a member of a multiple selection, completed on release
    BOOL keepSelection;     // moving the caret leaves the other selected items selected
    BOOL suppressChar;      // the parent took the last key: its WM_CHAR does not search

    unsigned editItem, editColumn;
    UINT editKind;
    HWND spentEdit; // the editor of the last edit, hidden; destroyed by the next one or with the list

    BOOL fixedRowHeight;
    BOOL busy;
    BOOL enabled;
    BOOL focused;
    BOOL linesAtRoot;
    BOOL textChanged;
    BOOL destroyed; // WM_DESTROY ran: handlers further out stop after their notification
    BOOL gone;      // WM_NCDESTROY ran: the record is freed when the outermost handler returns
    int depth;      // nesting of handlers on the window's thread
};

// Locking: every handler that touches the record holds the semaphore; it is
// released around every call that can come back into the window (a
// notification, a sort callback, a focus change, a child that may notify).
// All handlers run on the window's thread, so the thread that holds the
// semaphore must never wait for it: such a wait would never end. It is
// refused instead (FALSE), reported to the debugger and counted.
BOOL TreeListLock(TreeListData* data);
void TreeListUnlock(TreeListData* data);
// How many waits of a holder on its own semaphore were refused in this process.
LONG TreeListLockFaults(void);

// Sends a WM_NOTIFY to the parent with the semaphore released. Fills
// hwndFrom, idFrom and code.
LRESULT TreeListNotify(TreeListData* data, UINT code, NMHDR* header);
// After every call that can reach the parent (notifications, callback texts
// and images, focus changes) the parent may have deleted items or destroyed
// the window: each item number held across the call is checked here before
// it is used again. TRUE when the window lives on and every nonzero number
// still names a live item.
BOOL TreeListStillHeld(const TreeListData* data, unsigned number, unsigned other);
// Handle, state and lParam of an item for a notification record.
void TreeListFillNotifyItem(const TreeListData* data, unsigned number, TVITEMW* record);

// Items (TreeListItems.cpp).
TreeListItem* TreeListGetItem(const TreeListData* data, unsigned number);
TreeListItem* TreeListGetLiveItem(const TreeListData* data, unsigned number);
BOOL TreeListIsHandle(LPARAM handle, unsigned* number);
TreeListCell* TreeListGetCell(const TreeListData* data, unsigned number, unsigned column);
TreeListCell* TreeListMakeCell(TreeListData* data, unsigned number, unsigned column);
BOOL TreeListSetText(WCHAR** text, unsigned short* length, BYTE* callbacks, const WCHAR* value);
const WCHAR* TreeListTextOf(const WCHAR* text);
LRESULT TreeListInsertItem(TreeListData* data, const TVINSERTSTRUCTW* insert);
LRESULT TreeListDeleteItem(TreeListData* data, LPARAM handle);
BOOL TreeListDeleteSilently(TreeListData* data, unsigned number);
void TreeListDeleteAll(TreeListData* data, BOOL notify);
BOOL TreeListShowsButton(const TreeListItem* item);
unsigned TreeListSubtreeRowEnd(const TreeListData* data, unsigned rowIndex);
void TreeListRebuildRows(TreeListData* data);
LRESULT TreeListExpand(TreeListData* data, UINT action, LPARAM handle);
void TreeListFreeTables(TreeListData* data);
// The next item after number in tree order below root (0 = the whole tree);
// shownOnly steps into expanded items only, which is the display order.
unsigned TreeListNextItem(const TreeListData* data, unsigned number, unsigned root, BOOL shownOnly);

// Item fields and texts (TreeListAccess.cpp).
LRESULT TreeListGetItemRecord(TreeListData* data, TVITEMW* record);
LRESULT TreeListSetItemRecord(TreeListData* data, const TVITEMW* record);
LRESULT TreeListGetItemState(TreeListData* data, WPARAM item);
LRESULT TreeListGetCellColour(TreeListData* data, WPARAM item, LPARAM column, BOOL background);
LRESULT TreeListSetCellColour(TreeListData* data, WPARAM cell, LPARAM colour, BOOL background);
LRESULT TreeListGetUserData(TreeListData* data, LPARAM item);
LRESULT TreeListSetUserDataSize(TreeListData* data, LPARAM size);
LRESULT TreeListItemToRow(const TreeListData* data, LPARAM item);
// The children indicator of TVIF_CHILDREN: I_CHILDRENCALLBACK asks the
// parent, 1 always shows a button, 0 never, any other value follows the
// real children (TL_CHILDREN_FOLLOW).
#define TL_CHILDREN_FOLLOW 2
void TreeListSetChildrenIndicator(TreeListItem* item, int children);
LRESULT TreeListRowToItem(const TreeListData* data, LPARAM row);
// The text stored for an item (column 0) or cell ("" when none), with its
// length; *callback tells that the parent supplies the text instead.
const WCHAR* TreeListStoredText(const TreeListData* data, unsigned number, unsigned column, int* length,
                                BOOL* callback);
// The text an item or cell shows: the stored one, or the parent's answer to
// TVN_GETDISPINFOW copied into buffer (TL_DISPINFO_CHARS). Asking releases
// the semaphore: NULL when the item is not live, or when after asking the
// window is gone or the item was deleted meanwhile. length counts what is
// shown (cells at most TL_CELL_SHOWN_CHARS).
const WCHAR* TreeListShownText(TreeListData* data, unsigned number, unsigned column, WCHAR* buffer, int* length);
// Asks the parent for a callback image (or selected image) of an item or cell.
int TreeListQueryImage(TreeListData* data, unsigned number, unsigned column, BOOL selected);

// Navigation, selection, sorting, search records (TreeListNavigation.cpp).
LRESULT TreeListGetNextItem(TreeListData* data, WPARAM code, LPARAM item);
LRESULT TreeListSelectItem(TreeListData* data, WPARAM code, LPARAM item);
BOOL TreeListSelectCaret(TreeListData* data, unsigned number, unsigned column, UINT cause);
void TreeListSetSelectedBit(TreeListData* data, TreeListItem* item, BOOL selected);
LRESULT TreeListEnsureVisible(TreeListData* data, WPARAM column, LPARAM item);
LRESULT TreeListSortChildren(TreeListData* data, WPARAM recursive, LPARAM parent);
LRESULT TreeListSortChildrenCB(TreeListData* data, WPARAM recursive, const TVSORTCB* sort);
LRESULT TreeListSortChildrenByItem(TreeListData* data, WPARAM recursive, const TLSORTITEM* sort);
LRESULT TreeListFindItem(TreeListData* data, WPARAM start, const TLFINDITEM* find);
LRESULT TreeListSetInsertMark(TreeListData* data, WPARAM after, LPARAM item);
LRESULT TreeListSetCellMark(TreeListData* data, WPARAM column, LPARAM item);
LRESULT TreeListSelectCell(TreeListData* data, WPARAM column, LPARAM item);
void TreeListForgetItem(TreeListData* data, unsigned number);

// Columns and header (TreeListColumns.cpp).
LRESULT TreeListAddColumn(TreeListData* data, WPARAM index, const LVCOLUMNW* column);
LRESULT TreeListRemoveColumn(TreeListData* data, WPARAM index);
LRESULT TreeListGetColumnWidth(TreeListData* data, WPARAM index);
LRESULT TreeListSetColumnWidth(TreeListData* data, WPARAM index, LPARAM width);
LRESULT TreeListGetColumn(TreeListData* data, WPARAM index, LVCOLUMNW* column);
LRESULT TreeListSetColumn(TreeListData* data, WPARAM index, const LVCOLUMNW* column);
LRESULT TreeListSetColumnEditMode(TreeListData* data, WPARAM wParam, LPARAM editData);
LRESULT TreeListSetColumnEditData(TreeListData* data, WPARAM index, LPARAM value);
LRESULT TreeListOnHeaderNotify(TreeListData* data, NMHDR* header);
void TreeListResizeAutoColumns(TreeListData* data, int widthChange);
int TreeListColumnLeft(const TreeListData* data, unsigned column);
int TreeListColumnsRight(const TreeListData* data);
// The columns a row shows: a list without columns still shows the tree column.
unsigned TreeListShownColumns(const TreeListData* data);
void TreeListDestroyHeader(TreeListData* data);

// Geometry: rows that fit, scroll bars, rectangles, hit test (TreeListGeometry.cpp).
void TreeListUpdatePageRows(TreeListData* data);
// Rows one page step moves: the rows fully visible but one, at least 1.
long TreeListPageStep(const TreeListData* data);
void TreeListUpdateScrollBars(TreeListData* data);
// Setting a scroll bar costs far more than changing an item (milliseconds
// under Wine): after item changes the bars are updated once, from a timer.
void TreeListScheduleScrollBars(TreeListData* data);
void TreeListUpdateVScroll(TreeListData* data);
void TreeListUpdateHScroll(TreeListData* data);
void TreeListScrollTo(TreeListData* data, long firstRow);
void TreeListScrollHorizontally(TreeListData* data, int offset);
void TreeListInvalidateRow(TreeListData* data, unsigned number);
void TreeListInvalidateCell(TreeListData* data, unsigned number, unsigned column);
void TreeListInvalidateFromRow(TreeListData* data, unsigned rowIndex);
int TreeListRowTop(const TreeListData* data, unsigned rowIndex);
// Width of a text an item or cell shows, from the item's or cell's cache
// when it is the stored one.
int TreeListTextWidthOf(TreeListData* data, unsigned number, unsigned column, const WCHAR* text, int length);
// Width of the text an item or cell shows; a callback text is asked from
// the parent: FALSE when afterwards the window or the item is gone.
BOOL TreeListMeasureShownText(TreeListData* data, unsigned number, unsigned column, int* width);
LRESULT TreeListGetItemRect(TreeListData* data, WPARAM flags, RECT* rect);

// Horizontal places of the parts of the tree column of one item, in client
// coordinates.
typedef struct TreeColumnLayout {
    int indentEnd;
    int buttonX;
    BOOL hasButton;
    int stateLeft, stateRight;
    int iconLeft, iconRight;
    int textLeft;
    int labelRight;
} TreeColumnLayout;

// Horizontal places of the image and text of a cell in an extra column.
typedef struct CellLayout {
    int left, right;
    int imageLeft, imageRight;
    int textLeft, textRight;
} CellLayout;

void TreeListLayoutTreeColumn(const TreeListData* data, unsigned number, int textWidth, TreeColumnLayout* layout);
void TreeListLayoutCell(const TreeListData* data, unsigned number, unsigned column, int textWidth, CellLayout* layout);
// Left and right edges of a column in client coordinates; without columns
// the tree column reaches as far as the content.
void TreeListColumnSpan(const TreeListData* data, unsigned column, int* left, int* right);
// Where a text of that width is drawn in a cell (plain, 2 pixels after the
// tree column's icon) and the x it must end before; beyond it the text is
// clipped with "...".
void TreeListTextSpan(const TreeListData* data, unsigned number, unsigned column, int textWidth, int* x, int* limit);
LRESULT TreeListHitTest(TreeListData* data, TVHITTESTINFO* info);
void TreeListRecomputeRowHeight(TreeListData* data);

// Colours, fonts, shared objects, images (TreeListResources.cpp).
BOOL TreeListAcquireShared(void);
void TreeListReleaseShared(void);
HFONT TreeListSharedFont(BOOL bold);
void TreeListComputeDefaultColours(TreeListData* data);
// The slot is a whole message parameter: a slot beyond the table is refused
// with -1 however high its bits.
LRESULT TreeListSetColour(TreeListData* data, WPARAM slot, LPARAM colour);
LRESULT TreeListGetColour(const TreeListData* data, WPARAM slot);
// The font of WM_SETFONT (0 = the default font); answers 0.
LRESULT TreeListApplyFont(TreeListData* data, HFONT font);
void TreeListReleaseFonts(TreeListData* data);
HPEN TreeListSharedDottedPen(void);
// Removes the system theme from a child (no-op without UxTheme).
void TreeListUnthemeWindow(HWND hwnd);
LRESULT TreeListSetImageList(TreeListData* data, WPARAM kind, HIMAGELIST list);
LRESULT TreeListGetImageList(const TreeListData* data, WPARAM kind);
// Builds the check-box images when the window has none of that kind.
void TreeListEnsureCheckImages(TreeListImages* images);
void TreeListDropBuiltImages(TreeListImages* images);
void TreeListDestroyBuiltImages(TreeListData* data);

// Incremental search (TreeListSearch.cpp). Its time comes from a clock that
// tests may replace (GetTickCount by default; NULL restores it).
typedef DWORD(WINAPI* TreeListClock)(void);
void TreeListSetClock(TreeListClock clock);
// A character typed repeat times (the repeat count of WM_CHAR).
LRESULT TreeListOnChar(TreeListData* data, WCHAR ch, unsigned repeat);
LRESULT TreeListGetSearchString(WCHAR* buffer);

// Painting (TreeListPaint.cpp).
LRESULT TreeListOnPaint(TreeListData* data, HDC dc);
// A picture of an item or cell in an image list the caller owns.
LRESULT TreeListCreateDragImage(TreeListData* data, WPARAM column, LPARAM item);

// Mouse (TreeListMouse.cpp). Positions come as the mouse messages' lParam.
LRESULT TreeListOnButtonDown(TreeListData* data, UINT button, BOOL doubleClick, WPARAM keys, LPARAM position);
LRESULT TreeListOnButtonUp(TreeListData* data, UINT button);
LRESULT TreeListOnMouseMove(TreeListData* data, WPARAM keys, LPARAM position);
// Gives the list the focus (semaphore released meanwhile); FALSE when the
// window went away.
BOOL TreeListTakeFocus(TreeListData* data);
// Toggles the check box of an item as a click does; the new state.
UINT TreeListToggleCheck(TreeListData* data, unsigned number);
// Changes the selection as the mouse or keyboard asks: keys carry MK_SHIFT
// and MK_CONTROL for a multiple selection.
void TreeListSelectWithKeys(TreeListData* data, unsigned number, unsigned column, UINT cause, WPARAM keys);

// Tooltips (TreeListTooltip.cpp).
void TreeListCreateTooltip(TreeListData* data);
void TreeListHideTooltip(TreeListData* data);
// Destroys the tooltip the window built, with the semaphore released.
void TreeListDestroyTooltip(TreeListData* data);
LRESULT TreeListSetTooltips(TreeListData* data, HWND tooltip);
void TreeListTrackTooltip(TreeListData* data, POINT point);
void TreeListOnTooltipTimer(TreeListData* data);
LRESULT TreeListOnTooltipNotify(TreeListData* data, NMHDR* header);

// Keyboard (TreeListKeyboard.cpp).
LRESULT TreeListOnKeyDown(TreeListData* data, WPARAM key, LPARAM flags);

// In-place editing (TreeListEdit.cpp).
// A typed first character is passed on to the editor; dropDown opens a
// combo's list at once (the alternate start of Ctrl+Enter).
LRESULT TreeListEditLabel(TreeListData* data, WPARAM how, LPARAM item, WCHAR firstChar, BOOL dropDown);
// The editor kind a column's edit mode asks for.
UINT TreeListColumnEditKind(const TreeListData* data, unsigned column);
LRESULT TreeListEndEdit(TreeListData* data, BOOL keep, BOOL byReturn);
LRESULT TreeListOnEditCommand(TreeListData* data, UINT code, HWND child);
// Destroys the editors, with the semaphore released.
void TreeListDestroyEditors(TreeListData* data);

// Invariants (TreeListCheck.cpp): what every handler keeps whenever the
// semaphore is free, between messages and around every notification. Tests
// check them after each step; a debug build after every message. Returns
// FALSE and describes the first one broken in problem.
BOOL TreeListCheckInvariants(const TreeListData* data, char* problem, size_t size);
