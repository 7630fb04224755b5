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

// TreeListItem / TreeListCell callback flags.
#define TLCB_TEXT 0x01
#define TLCB_IMAGE 0x02
#define TLCB_SELECTEDIMAGE 0x20
#define TLCB_CHILDREN 0x40

// TreeListItem / TreeListCell flags.
#define TLF_FOLLOWCHILDREN 0x01
#define TLF_ALWAYSBUTTON 0x02
#define TLF_SHOWSIMAGE 0x04
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
    unsigned short level;
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
    unsigned short headerWidth;
    unsigned short minWidth;
    BYTE minEnforced;
    BYTE weight; // 0 for fixed-width columns
    BYTE align;  // 0 left, 1 centre, 2 right
    BYTE editMode;
    BYTE editFlags[3];
};

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

struct TreeListData {
    HWND hwnd;
    HANDLE semaphore;
    volatile LONG lockCount; // holder plus waiters; the semaphore is used only when contended

    HIMAGELIST stateImages;
    HIMAGELIST normalImages;
    HIMAGELIST cellCheckImages;
    HIMAGELIST headerImages;
    int stateImageWidth, stateImageHeight;
    int normalImageWidth, normalImageHeight;
    int cellCheckImageWidth, cellCheckImageHeight;
    int headerImageWidth, headerImageHeight;
    BOOL stateImagesBuilt;
    BOOL cellCheckImagesBuilt;

    HFONT font;
    HFONT boldFont;
    HFONT measuredFont;
    BOOL boldFontOwned;
    int fontHeight;
    int fontAscent1;
    BOOL proportionalFont;
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
    BOOL insertMarkAfter;
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
// released around each notification and each sort callback.
void TreeListLock(TreeListData* data);
void TreeListUnlock(TreeListData* data);
// Sends a WM_NOTIFY to the parent with the semaphore released; afterwards
// the caller re-validates whatever it holds. Fills hwndFrom, idFrom, code.
LRESULT TreeListNotify(TreeListData* data, UINT code, NMHDR* header);
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
BOOL TreeListIsShown(const TreeListData* data, unsigned number);
unsigned TreeListSubtreeRowEnd(const TreeListData* data, unsigned rowIndex);
void TreeListShowChildren(TreeListData* data, unsigned number);
void TreeListHideChildren(TreeListData* data, unsigned number);
void TreeListRebuildRows(TreeListData* data);
LRESULT TreeListExpand(TreeListData* data, UINT action, unsigned number);
void TreeListFreeTables(TreeListData* data);

// Item fields (TreeListAccess.cpp).
LRESULT TreeListGetItemRecord(TreeListData* data, TVITEMW* record);
LRESULT TreeListSetItemRecord(TreeListData* data, const TVITEMW* record);
LRESULT TreeListGetItemState(TreeListData* data, WPARAM item, LPARAM mask);
LRESULT TreeListGetCellColour(TreeListData* data, WPARAM item, LPARAM column, BOOL background);
LRESULT TreeListSetCellColour(TreeListData* data, WPARAM cell, LPARAM colour, BOOL background);
LRESULT TreeListGetUserData(TreeListData* data, LPARAM item);
LRESULT TreeListSetUserDataSize(TreeListData* data, LPARAM size);
// Asks the parent for a callback text into buffer (TL_DISPINFO_CHARS); the
// semaphore is released meanwhile.
void TreeListQueryText(TreeListData* data, unsigned number, unsigned column, WCHAR* buffer);
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
void TreeListDestroyHeader(TreeListData* data);

// Geometry: rows that fit, scroll bars, rectangles, hit test (TreeListGeometry.cpp).
void TreeListUpdatePageRows(TreeListData* data);
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
// The text a cell shows: the stored one, or a callback text asked from the
// parent into buffer (TL_DISPINFO_CHARS; semaphore released meanwhile).
const WCHAR* TreeListDisplayText(TreeListData* data, unsigned number, unsigned column, WCHAR* buffer, int* length);
// Width of that text, from the item's or cell's cache when it is stored.
int TreeListTextWidthOf(TreeListData* data, unsigned number, unsigned column, const WCHAR* text, int length);
int TreeListItemTextWidth(TreeListData* data, unsigned number, unsigned column);
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
void TreeListApplyFont(TreeListData* data, HFONT font);
void TreeListReleaseFonts(TreeListData* data);
HIMAGELIST TreeListBuildCheckImages(void);
HPEN TreeListSharedDottedPen(void);
// Removes the system theme from a child (no-op without UxTheme).
void TreeListUnthemeWindow(HWND hwnd);
LRESULT TreeListSetImageList(TreeListData* data, WPARAM kind, HIMAGELIST list);
LRESULT TreeListGetImageList(const TreeListData* data, WPARAM kind);
void TreeListEnsureStateImages(TreeListData* data);
void TreeListDropBuiltStateImages(TreeListData* data);
void TreeListEnsureCellCheckImages(TreeListData* data);
void TreeListDestroyBuiltImages(TreeListData* data);

// Incremental search (TreeListSearch.cpp). Its time comes from a clock that
// tests may replace (GetTickCount by default; NULL restores it).
typedef DWORD(WINAPI* TreeListClock)(void);
void TreeListSetClock(TreeListClock clock);
void TreeListOnChar(TreeListData* data, WCHAR ch);
LRESULT TreeListGetSearchString(TreeListData* data, WCHAR* buffer);

// Painting (TreeListPaint.cpp).
void TreeListPaint(TreeListData* data, HDC dc, const RECT* area);
// A picture of an item or cell in an image list the caller owns.
LRESULT TreeListCreateDragImage(TreeListData* data, WPARAM column, LPARAM item);

// Mouse (TreeListMouse.cpp).
LRESULT TreeListOnButtonDown(TreeListData* data, UINT button, BOOL doubleClick, WPARAM keys, POINT point);
LRESULT TreeListOnLeftButtonUp(TreeListData* data, WPARAM keys, POINT point);
LRESULT TreeListOnMouseMove(TreeListData* data, WPARAM keys, POINT point);
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
