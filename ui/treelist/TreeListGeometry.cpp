// Row metrics, scrolling, invalidation, item rectangles and hit testing.
#include "ui/treelist/TreeListData.h"

#include <stdlib.h>
#include <string.h>

int TreeListRowTop(const TreeListData* data, unsigned rowIndex)
{
    return data->headerHeight + ((int)rowIndex - (int)data->firstRow) * data->rowHeight;
}

void TreeListUpdatePageRows(TreeListData* data)
{
    int room = data->clientHeight - data->headerHeight;
    int height = data->rowHeight > 0 ? data->rowHeight : 1;
    if (room < 0)
        room = 0;
    data->pageRowsFully = (unsigned)(room / height);
    data->pageRowsPartly = (unsigned)((room + height - 1) / height);
}

long TreeListPageStep(const TreeListData* data)
{
    return data->pageRowsFully > 1 ? (long)data->pageRowsFully - 1 : 1;
}

static unsigned LastFirstRow(const TreeListData* data)
{
    return data->rowCount > data->pageRowsFully ? data->rowCount - data->pageRowsFully : 0;
}

static int ContentWidth(const TreeListData* data)
{
    return data->columnCount ? TreeListColumnsRight(data) : data->contentWidth;
}

static int LastHOffset(const TreeListData* data)
{
    int half = data->clientWidth / 2;
    int limit = data->columnCount ? ContentWidth(data) - half - half : ContentWidth(data) - half;
    return limit > 0 ? limit : 0;
}

// Setting a scroll bar can show or hide it, which resizes the client area and
// sends WM_SIZE back to this window: the semaphore is released meanwhile.
static void SetScrollBar(TreeListData* data, int bar, int maximum, unsigned page, int position)
{
    SCROLLINFO* shown = &data->shownScroll[bar == SB_VERT ? 1 : 0];
    if (shown->cbSize && shown->nMax == maximum && shown->nPage == page && shown->nPos == position)
        return;
    SCROLLINFO info;
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = maximum;
    info.nPage = page;
    info.nPos = position;
    *shown = info;
    TreeListUnlock(data);
    SetScrollInfo(data->hwnd, bar, &info, TRUE);
    TreeListLock(data);
}

void TreeListUpdateVScroll(TreeListData* data)
{
    if (data->firstRow > LastFirstRow(data))
        data->firstRow = LastFirstRow(data);
    if (data->style & TVS_NOSCROLL)
        return;
    // While every row fits, the bar stays hidden whatever the count.
    if (data->rowCount <= data->pageRowsFully)
        SetScrollBar(data, SB_VERT, 0, 0, 0);
    else
        SetScrollBar(data, SB_VERT, (int)data->rowCount - 1, data->pageRowsFully, (int)data->firstRow);
}

void TreeListUpdateHScroll(TreeListData* data)
{
    if (data->hOffset > LastHOffset(data))
        TreeListScrollHorizontally(data, LastHOffset(data));
    if (data->style & (TVS_NOSCROLL | TVS_NOHSCROLL))
        return;
    int content = ContentWidth(data);
    if (content <= data->clientWidth)
        SetScrollBar(data, SB_HORZ, 0, 0, 0);
    else
        SetScrollBar(data, SB_HORZ, content - 1, (unsigned)data->clientWidth, data->hOffset);
}

void TreeListUpdateScrollBars(TreeListData* data)
{
    TreeListUpdateVScroll(data);
    TreeListUpdateHScroll(data);
}

void TreeListScheduleScrollBars(TreeListData* data)
{
    if (data->firstRow > LastFirstRow(data))
        data->firstRow = LastFirstRow(data);
    if (data->scrollUpdatePending)
        return;
    data->scrollUpdatePending = SetTimer(data->hwnd, TL_SCROLLBAR_TIMER, TL_SCROLLBAR_DELAY, NULL) != 0;
    if (!data->scrollUpdatePending)
        TreeListUpdateScrollBars(data);
}

void TreeListScrollTo(TreeListData* data, long firstRow)
{
    long last = (long)LastFirstRow(data);
    if (firstRow > last)
        firstRow = last;
    if (firstRow < 0)
        firstRow = 0;
    if ((unsigned)firstRow == data->firstRow)
        return;
    data->firstRow = (unsigned)firstRow;
    RECT rows = {0, data->headerHeight, data->clientWidth, data->clientHeight};
    InvalidateRect(data->hwnd, &rows, TRUE);
    TreeListUpdateVScroll(data);
}

void TreeListScrollHorizontally(TreeListData* data, int offset)
{
    int last = LastHOffset(data);
    if (offset > last)
        offset = last;
    if (offset < 0)
        offset = 0;
    if (offset == data->hOffset)
        return;
    data->hOffset = offset;
    if (data->header)
        MoveWindow(data->header, -offset, 0, data->clientWidth + offset, data->headerHeight, TRUE);
    InvalidateRect(data->hwnd, NULL, TRUE);
    TreeListUpdateHScroll(data);
}

static BOOL RowOnPage(const TreeListData* data, unsigned rowIndex)
{
    return rowIndex >= data->firstRow && rowIndex < data->firstRow + data->pageRowsPartly;
}

void TreeListInvalidateRow(TreeListData* data, unsigned number)
{
    const TreeListItem* item = TreeListGetItem(data, number);
    if (!item || !item->row || !RowOnPage(data, item->row - 1))
        return;
    int top = TreeListRowTop(data, item->row - 1);
    RECT rect = {0, top, data->clientWidth, top + data->rowHeight};
    InvalidateRect(data->hwnd, &rect, TRUE);
}

void TreeListInvalidateCell(TreeListData* data, unsigned number, unsigned column)
{
    const TreeListItem* item = TreeListGetItem(data, number);
    if (!item || !item->row || !RowOnPage(data, item->row - 1))
        return;
    if (data->columnCount == 0 || (data->exStyle & TLS_EX_ROWREPAINT)) {
        TreeListInvalidateRow(data, number);
        return;
    }
    int top = TreeListRowTop(data, item->row - 1);
    int left = TreeListColumnLeft(data, column) - data->hOffset;
    RECT rect = {left, top, left + data->columns[column < data->columnCount ? column : 0].width, top + data->rowHeight};
    InvalidateRect(data->hwnd, &rect, TRUE);
}

void TreeListInvalidateFromRow(TreeListData* data, unsigned rowIndex)
{
    if (rowIndex >= data->firstRow + data->pageRowsPartly)
        return;
    int top = rowIndex < data->firstRow ? data->headerHeight : TreeListRowTop(data, rowIndex);
    RECT rect = {0, top, data->clientWidth, data->clientHeight};
    InvalidateRect(data->hwnd, &rect, TRUE);
}

static int MeasureText(TreeListData* data, const WCHAR* text, int length, BOOL bold)
{
    if (length <= 0)
        return 0;
    HDC dc = GetDC(data->hwnd);
    if (!dc)
        return 0;
    HGDIOBJ old = SelectObject(dc, bold ? data->boldFont : data->font);
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, text, length, &size);
    SelectObject(dc, old);
    ReleaseDC(data->hwnd, dc);
    return size.cx;
}

static unsigned short CacheWidth(int width)
{
    return (unsigned short)(width > 0xFFFF ? 0xFFFF : width);
}

int TreeListTextWidthOf(TreeListData* data, unsigned number, unsigned column, const WCHAR* text, int length)
{
    TreeListItem* item = TreeListGetItem(data, number);
    if (!item)
        return 0;
    BOOL bold = column == 0 && (item->state & TVIS_BOLD);
    TreeListCell* cell = column ? TreeListGetCell(data, number, column) : NULL;
    BOOL stored = column ? (cell && text == TreeListTextOf(cell->text)) : text == TreeListTextOf(item->text);
    if (!stored || length == 0)
        return MeasureText(data, text, length, bold);
    unsigned short* cache = column ? &cell->textWidth : &item->textWidth;
    if (!*cache)
        *cache = CacheWidth(MeasureText(data, text, length, bold));
    return *cache;
}

BOOL TreeListMeasureShownText(TreeListData* data, unsigned number, unsigned column, int* width)
{
    WCHAR buffer[TL_DISPINFO_CHARS];
    int length = 0;
    const WCHAR* text = TreeListShownText(data, number, column, buffer, &length);
    *width = text ? TreeListTextWidthOf(data, number, column, text, length) : 0;
    return text != NULL;
}

void TreeListLayoutTreeColumn(const TreeListData* data, unsigned number, int textWidth, TreeColumnLayout* layout)
{
    const TreeListItem* item = data->items[number];
    int levels = item->level + (data->linesAtRoot ? 1 : 0);
    int x = TreeListColumnLeft(data, 0) - data->hOffset + levels * data->indent;
    memset(layout, 0, sizeof *layout);
    layout->indentEnd = x;
    layout->buttonX = x - data->indent + data->buttonSize;
    layout->hasButton = (data->style & TVS_HASBUTTONS) && levels > 0 && TreeListShowsButton(item);
    layout->stateLeft = layout->stateRight = x;
    if (data->stateImages.list) {
        x += data->stateImages.width;
        layout->stateRight = x;
    }
    layout->iconLeft = layout->iconRight = x;
    int image = (item->state & TVIS_SELECTED) ? item->selectedImage : item->image;
    if (data->normalImages.list && image != TL_NO_IMAGE) {
        x += data->normalImages.width;
        layout->iconRight = x;
    }
    layout->textLeft = x;
    layout->labelRight = x + textWidth + 5;
}

// FALSE when the item went while its callback text was asked for.
static BOOL LayoutTreeColumn(TreeListData* data, unsigned number, TreeColumnLayout* layout)
{
    int width;
    if (!TreeListMeasureShownText(data, number, 0, &width))
        return FALSE;
    TreeListLayoutTreeColumn(data, number, width, layout);
    return TRUE;
}

void TreeListColumnSpan(const TreeListData* data, unsigned column, int* left, int* right)
{
    *left = TreeListColumnLeft(data, column) - data->hOffset;
    if (data->columnCount == 0)
        *right = 0x3FFFFFFF;
    else
        *right = *left + data->columns[column < data->columnCount ? column : 0].width;
}

void TreeListLayoutCell(const TreeListData* data, unsigned number, unsigned column, int textWidth, CellLayout* layout)
{
    const TreeListColumn* record = &data->columns[column];
    const TreeListCell* cell = TreeListGetCell(data, number, column);
    TreeListColumnSpan(data, column, &layout->left, &layout->right);
    int imageWidth = 0;
    if (TreeListIsCheckMode(record->editMode) && data->cellCheckImages.list)
        imageWidth = data->cellCheckImages.width;
    else if (cell && cell->image != TL_NO_IMAGE && data->normalImages.list)
        imageWidth = data->normalImages.width;
    layout->imageLeft = layout->left + 1;
    layout->imageRight = imageWidth ? layout->imageLeft + imageWidth : layout->imageLeft;
    switch (record->align) {
    case 1:
        layout->textLeft = layout->imageRight + (layout->right - layout->imageRight - 6 - textWidth) / 2;
        break;
    case 2:
        layout->textLeft = layout->right - 6 - textWidth;
        break;
    default:
        layout->textLeft = layout->imageRight + 4;
        break;
    }
    layout->textRight = layout->textLeft + textWidth;
}

static BOOL LayoutCell(TreeListData* data, unsigned number, unsigned column, CellLayout* layout)
{
    int textWidth;
    if (!TreeListMeasureShownText(data, number, column, &textWidth))
        return FALSE;
    TreeListLayoutCell(data, number, column, textWidth, layout);
    return TRUE;
}

void TreeListTextSpan(const TreeListData* data, unsigned number, unsigned column, int textWidth, int* x, int* limit)
{
    int left, right;
    TreeListColumnSpan(data, column, &left, &right);
    *limit = right - 2;
    if (column == 0) {
        TreeColumnLayout layout;
        TreeListLayoutTreeColumn(data, number, textWidth, &layout);
        *x = layout.textLeft + 2;
        return;
    }
    CellLayout layout;
    TreeListLayoutCell(data, number, column, textWidth, &layout);
    int first = layout.imageRight + 4;
    *x = layout.textLeft < first || layout.textLeft + textWidth > *limit ? first : layout.textLeft;
}

static BOOL ItemRectOf(TreeListData* data, unsigned number, WPARAM flags, RECT* rect)
{
    const TreeListItem* item = data->items[number];
    int top = TreeListRowTop(data, item->row - 1);
    rect->top = top;
    rect->bottom = top + data->rowHeight;
    BYTE kind = (BYTE)(flags & 0xFF);
    // Only bits 24-31 name the column, also in a 64-bit parameter.
    unsigned column = (kind == TLIR_COLUMN || kind == TLIR_COLUMNTEXT) ? (unsigned)((flags >> 24) & 0xFF) : 0;
    if (column != 0 && column >= data->columnCount)
        return FALSE;
    if (column != 0) {
        CellLayout layout;
        if (!LayoutCell(data, number, column, &layout))
            return FALSE;
        rect->left = kind == TLIR_COLUMNTEXT ? layout.textLeft - 2 : layout.left;
        rect->right = kind == TLIR_COLUMNTEXT ? layout.textRight + 2 : layout.right;
        return TRUE;
    }
    if (kind == TLIR_COLUMN) {
        rect->left = -data->hOffset;
        rect->right = rect->left + (data->columnCount ? data->columns[0].width : data->clientWidth + data->hOffset);
        return TRUE;
    }
    if (flags & 1) {
        TreeColumnLayout layout;
        if (!LayoutTreeColumn(data, number, &layout))
            return FALSE;
        rect->left = layout.textLeft;
        rect->right = layout.labelRight - 1;
        return TRUE;
    }
    rect->left = 0;
    rect->right = data->clientWidth;
    return TRUE;
}

LRESULT TreeListGetItemRect(TreeListData* data, WPARAM flags, RECT* rect)
{
    if (!rect)
        return 0;
    HTREEITEM handle;
    memcpy(&handle, rect, sizeof handle);
    unsigned number;
    const TreeListItem* item = TreeListIsHandle((LPARAM)handle, &number) ? TreeListGetLiveItem(data, number) : NULL;
    if (item && item->row && ItemRectOf(data, number, flags, rect))
        return 1;
    SetRectEmpty(rect);
    return 0;
}

static UINT HitTreeColumn(TreeListData* data, unsigned number, POINT point)
{
    TreeColumnLayout layout;
    if (!LayoutTreeColumn(data, number, &layout))
        return TVHT_NOWHERE;
    const TreeListItem* item = data->items[number];
    if (point.x < layout.indentEnd) {
        int middle = TreeListRowTop(data, item->row - 1) + data->rowHeight / 2;
        if (layout.hasButton && abs(point.x - layout.buttonX) < 7 && abs(point.y - middle) < 7)
            return TVHT_ONITEMBUTTON;
        return TVHT_ONITEMINDENT;
    }
    if (point.x < layout.stateRight)
        return TVHT_ONITEMSTATEICON;
    if (point.x < layout.iconRight)
        return TVHT_ONITEMICON;
    if (point.x < layout.labelRight)
        return TVHT_ONITEMLABEL;
    return TVHT_ONITEMRIGHT;
}

static UINT HitCell(TreeListData* data, unsigned number, unsigned column, POINT point)
{
    CellLayout layout;
    if (!LayoutCell(data, number, column, &layout))
        return TVHT_NOWHERE;
    UINT flags = (UINT)column << 24;
    if (point.x >= layout.imageLeft && point.x < layout.imageRight)
        return flags | TLHT_ONCELLICON;
    if (point.x >= layout.textLeft && point.x < layout.textRight)
        return flags | TLHT_ONCELLLABEL;
    return flags | TLHT_ONCELLRIGHT;
}

static BOOL ColumnAt(const TreeListData* data, int x, unsigned* column)
{
    if (data->columnCount == 0) {
        *column = 0;
        return TRUE;
    }
    int left = -data->hOffset;
    for (unsigned c = 0; c < data->columnCount; ++c) {
        int right = left + data->columns[c].width;
        if (x >= left && x < right) {
            *column = c;
            return TRUE;
        }
        left = right;
    }
    return FALSE;
}

LRESULT TreeListHitTest(TreeListData* data, TVHITTESTINFO* info)
{
    if (!info)
        return 0;
    POINT point = info->pt;
    UINT flags = 0;
    if (point.x < 0)
        flags |= TVHT_TOLEFT;
    else if (point.x >= data->clientWidth)
        flags |= TVHT_TORIGHT;
    if (point.y < 0)
        flags |= TVHT_ABOVE;
    else if (point.y >= data->clientHeight)
        flags |= TVHT_BELOW;
    info->hItem = NULL;
    if (flags) {
        info->flags = flags;
        return 0;
    }
    unsigned row = point.y < data->headerHeight ? data->rowCount
                                                : data->firstRow + (unsigned)((point.y - data->headerHeight) / data->rowHeight);
    if (row >= data->rowCount) {
        info->flags = TVHT_NOWHERE;
        return 0;
    }
    unsigned number = data->rows[row];
    unsigned column;
    if (!ColumnAt(data, point.x, &column))
        flags = TLHT_RIGHTOFCOLUMNS;
    else if (column == 0)
        flags = HitTreeColumn(data, number, point);
    else
        flags = HitCell(data, number, column, point);
    if (!TreeListStillHeld(data, number, 0) || flags == TVHT_NOWHERE) {
        info->flags = TVHT_NOWHERE;
        return 0;
    }
    info->flags = flags;
    info->hItem = (HTREEITEM)(ULONG_PTR)number;
    return (LRESULT)number;
}

void TreeListRecomputeRowHeight(TreeListData* data)
{
    if (data->fixedRowHeight)
        return;
    int height = 10;
    if (data->fontHeight + 2 > height)
        height = data->fontHeight + 2;
    if (data->stateImages.list && data->stateImages.height + 2 > height)
        height = data->stateImages.height + 2;
    if (data->normalImages.list && data->normalImages.height + 2 > height)
        height = data->normalImages.height + 2;
    if (data->cellCheckImages.list && data->cellCheckImages.height + 2 > height)
        height = data->cellCheckImages.height + 2;
    if (data->exStyle & TLS_EX_GRIDLINES)
        height += 1;
    if ((data->style & TVS_NONEVENHEIGHT) && (height & 1))
        height += 1;
    if (height == data->rowHeight)
        return;
    data->rowHeight = height;
    TreeListUpdatePageRows(data);
    TreeListUpdateScrollBars(data);
    InvalidateRect(data->hwnd, NULL, TRUE);
}
