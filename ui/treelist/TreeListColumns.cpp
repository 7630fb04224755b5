// Columns: their records, cell tables and the "SysHeader32" child (id 1).
#include "ui/treelist/TreeListData.h"

#include <stdlib.h>
#include <string.h>

#define TL_HEADER_ID 1
#define TL_DEFAULT_MIN_WIDTH 16

int TreeListColumnLeft(const TreeListData* data, unsigned column)
{
    int left = 0;
    for (unsigned c = 0; c < column && c < data->columnCount; ++c)
        left += data->columns[c].width;
    return left;
}

int TreeListColumnsRight(const TreeListData* data)
{
    return TreeListColumnLeft(data, data->columnCount);
}

unsigned TreeListShownColumns(const TreeListData* data)
{
    return data->columnCount ? data->columnCount : 1;
}

static int ClampToMinimum(const TreeListColumn* column, int width)
{
    if (width < 0)
        width = 0;
    if (column->minEnforced && width < column->minWidth)
        width = column->minWidth;
    return width > 0xFFFF ? 0xFFFF : width;
}

static void PushHeaderWidth(TreeListData* data, unsigned column)
{
    if (!data->header)
        return;
    HDITEMW item;
    memset(&item, 0, sizeof item);
    item.mask = HDI_WIDTH;
    item.cxy = data->columns[column].width;
    SendMessageW(data->header, HDM_SETITEMW, column, (LPARAM)&item);
}

static void RecountWidths(TreeListData* data)
{
    data->autoWeightSum = 0;
    data->autoColumnCount = 0;
    data->fixedWidthTotal = 0;
    int autoTotal = 0;
    for (unsigned c = 0; c < data->columnCount; ++c) {
        const TreeListColumn* column = &data->columns[c];
        if (column->weight) {
            data->autoWeightSum += column->weight;
            data->autoColumnCount++;
            autoTotal += column->width;
        } else {
            data->fixedWidthTotal += column->width;
        }
    }
    data->autoWidthTotal = autoTotal;
}

// Shares the total width of the automatic columns by their weights; the last
// one takes what rounding leaves.
static void DistributeAutoWidths(TreeListData* data, int total)
{
    if (!data->autoColumnCount || !data->autoWeightSum)
        return;
    if (total < 0)
        total = 0;
    int left = total;
    unsigned remaining = data->autoColumnCount;
    for (unsigned c = 0; c < data->columnCount; ++c) {
        TreeListColumn* column = &data->columns[c];
        if (!column->weight)
            continue;
        int width = --remaining ? (int)((long long)total * column->weight / data->autoWeightSum) : left;
        left -= width;
        width = ClampToMinimum(column, width < column->minWidth ? column->minWidth : width);
        column->width = (unsigned short)width;
        PushHeaderWidth(data, c);
    }
    RecountWidths(data);
}

void TreeListResizeAutoColumns(TreeListData* data, int widthChange)
{
    if (!data->autoColumnCount || widthChange == 0)
        return;
    DistributeAutoWidths(data, data->autoWidthTotal + widthChange);
}

static void InvalidateFromColumn(TreeListData* data, unsigned column)
{
    RECT rect;
    GetClientRect(data->hwnd, &rect);
    rect.left = TreeListColumnLeft(data, column) - data->hOffset;
    if (rect.left < 0)
        rect.left = 0;
    InvalidateRect(data->hwnd, &rect, TRUE);
}

static BOOL CreateHeader(TreeListData* data)
{
    int height = GetSystemMetrics(SM_CYHSCROLL);
    data->header = CreateWindowExW(0, WC_HEADERW, NULL, WS_CHILD | WS_VISIBLE | HDS_BUTTONS, -data->hOffset, 0,
                                   data->clientWidth + data->hOffset, height, data->hwnd,
                                   (HMENU)(UINT_PTR)TL_HEADER_ID, (HINSTANCE)GetWindowLongPtrW(data->hwnd, GWLP_HINSTANCE),
                                   NULL);
    if (!data->header)
        return FALSE;
    SendMessageW(data->header, WM_SETFONT, (WPARAM)TreeListSharedFont(FALSE), 0);
    HIMAGELIST images = data->headerImages ? data->headerImages : data->normalImages.list;
    if (images)
        SendMessageW(data->header, HDM_SETIMAGELIST, 0, (LPARAM)images);
    data->headerHeight = height;
    data->fixedRowHeight = FALSE;
    TreeListRecomputeRowHeight(data);
    return TRUE;
}

void TreeListDestroyHeader(TreeListData* data)
{
    if (data->header)
        DestroyWindow(data->header);
    data->header = NULL;
    data->headerHeight = 0;
}

static int HeaderFormat(int listFormat, BOOL withImage)
{
    int format = HDF_STRING;
    switch (listFormat & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_RIGHT:
        format |= HDF_RIGHT;
        break;
    case LVCFMT_CENTER:
        format |= HDF_CENTER;
        break;
    default:
        format |= HDF_LEFT;
        break;
    }
    return withImage ? format | HDF_IMAGE : format;
}

static BYTE AlignmentOf(int listFormat)
{
    switch (listFormat & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_RIGHT:
        return 2;
    case LVCFMT_CENTER:
        return 1;
    default:
        return 0;
    }
}

// The caption and header image of a column record, for its header item.
static void HeaderTextAndImage(const LVCOLUMNW* column, HDITEMW* item)
{
    if ((column->mask & LVCF_TEXT) && column->pszText) {
        item->mask |= HDI_TEXT;
        item->pszText = column->pszText;
        item->cchTextMax = lstrlenW(column->pszText);
    }
    if (column->mask & LVCF_IMAGE) {
        item->mask |= HDI_IMAGE;
        item->iImage = column->iImage;
    }
}

static void FillColumnRecord(TreeListColumn* column, const LVCOLUMNW* source)
{
    memset(column, 0, sizeof *column);
    column->editValue = -1;
    column->minWidth = TL_DEFAULT_MIN_WIDTH;
    if (source->mask & LVCF_FMT)
        column->align = AlignmentOf(source->fmt);
    if (source->mask & LVCF_ORDER) {
        int minimum = source->iOrder;
        column->minEnforced = minimum >= 0;
        column->minWidth = (unsigned short)(minimum < 0 ? -minimum : minimum);
    }
    if (source->mask & LVCF_WIDTH) {
        column->width = (unsigned short)ClampToMinimum(column, source->cx);
        return;
    }
    int weight = (source->mask & LVCF_SUBITEM) ? source->iSubItem : 1;
    column->weight = (BYTE)(weight < 1 ? 1 : (weight > 255 ? 255 : weight));
}

static void ShiftColumnIndexes(unsigned* index, unsigned from, int by)
{
    if (*index >= from)
        *index = (unsigned)((int)*index + by);
}

LRESULT TreeListAddColumn(TreeListData* data, WPARAM index, const LVCOLUMNW* source)
{
    if (!source || data->columnCount >= TL_MAX_COLUMNS)
        return -1;
    if (!data->header && !CreateHeader(data))
        return -1;
    unsigned count = data->columnCount;
    unsigned at = index < count ? (unsigned)index : count;
    // Column 0 is the tree column: it holds the items themselves.
    if (count > 0 && at == 0)
        at = 1;
    if (count > 0) {
        TreeListCell** cells = (TreeListCell**)calloc(data->itemCapacity ? data->itemCapacity : 1, sizeof(TreeListCell*));
        if (!cells)
            return -1;
        memmove(&data->cellTables[at + 1], &data->cellTables[at], (count - at) * sizeof(data->cellTables[0]));
        data->cellTables[at] = cells;
    }
    memmove(&data->columns[at + 1], &data->columns[at], (count - at) * sizeof(TreeListColumn));
    TreeListColumn* column = &data->columns[at];
    FillColumnRecord(column, source);
    data->columnCount++;

    HDITEMW item;
    memset(&item, 0, sizeof item);
    item.mask = HDI_FORMAT | HDI_WIDTH;
    item.fmt = HeaderFormat((source->mask & LVCF_FMT) ? source->fmt : 0, (source->mask & LVCF_IMAGE) != 0);
    item.cxy = column->width;
    HeaderTextAndImage(source, &item);
    SendMessageW(data->header, HDM_INSERTITEMW, at, (LPARAM)&item);

    if (count > 0) {
        ShiftColumnIndexes(&data->caretColumn, at, 1);
        ShiftColumnIndexes(&data->focusColumn, at, 1);
        if (data->markColumn)
            ShiftColumnIndexes(&data->markColumn, at, 1);
    }
    BOOL firstAutomatic = column->weight && data->autoColumnCount == 0;
    RecountWidths(data);
    if (column->weight)
        DistributeAutoWidths(data, firstAutomatic ? data->clientWidth - data->fixedWidthTotal : data->autoWidthTotal);
    InvalidateFromColumn(data, at);
    TreeListUpdateHScroll(data);
    return at;
}

static void FreeCellTable(TreeListData* data, unsigned column)
{
    TreeListCell** cells = data->cellTables[column];
    if (!cells)
        return;
    for (unsigned n = 0; n < data->itemCapacity; ++n) {
        if (cells[n]) {
            free(cells[n]->text);
            free(cells[n]);
        }
    }
    free(cells);
    data->cellTables[column] = NULL;
}

static void DropColumnReferences(TreeListData* data, unsigned at)
{
    unsigned* columns[] = {&data->caretColumn, &data->focusColumn};
    for (unsigned i = 0; i < 2; ++i) {
        if (*columns[i] == at)
            *columns[i] = 0;
        else if (*columns[i] > at)
            --*columns[i];
    }
    if (data->markColumn == at) {
        data->markItem = 0;
        data->markColumn = 0;
    } else if (data->markColumn > at) {
        --data->markColumn;
    }
}

LRESULT TreeListRemoveColumn(TreeListData* data, WPARAM index)
{
    unsigned count = data->columnCount;
    if (index >= count || (index == 0 && count > 1))
        return 0;
    unsigned at = (unsigned)index;
    if (at > 0) {
        FreeCellTable(data, at);
        memmove(&data->cellTables[at], &data->cellTables[at + 1], (count - at - 1) * sizeof(data->cellTables[0]));
        data->cellTables[count - 1] = NULL;
    }
    memmove(&data->columns[at], &data->columns[at + 1], (count - at - 1) * sizeof(TreeListColumn));
    data->columnCount--;
    DropColumnReferences(data, at);
    if (data->header)
        SendMessageW(data->header, HDM_DELETEITEM, at, 0);
    RecountWidths(data);
    if (data->columnCount == 0) {
        TreeListDestroyHeader(data);
        TreeListRecomputeRowHeight(data);
        InvalidateRect(data->hwnd, NULL, TRUE);
    } else {
        InvalidateFromColumn(data, at);
    }
    TreeListUpdateScrollBars(data);
    return 1;
}

static void ApplyColumnWidth(TreeListData* data, unsigned index, int width)
{
    TreeListColumn* column = &data->columns[index];
    column->width = (unsigned short)ClampToMinimum(column, width);
    RecountWidths(data);
    PushHeaderWidth(data, index);
    InvalidateFromColumn(data, index);
    TreeListUpdateHScroll(data);
}

LRESULT TreeListGetColumnWidth(TreeListData* data, WPARAM index)
{
    if (!data->header || index >= data->columnCount)
        return 0;
    HDITEMW item;
    memset(&item, 0, sizeof item);
    item.mask = HDI_WIDTH;
    if (!SendMessageW(data->header, HDM_GETITEMW, index, (LPARAM)&item))
        return 0;
    return item.cxy;
}

LRESULT TreeListSetColumnWidth(TreeListData* data, WPARAM index, LPARAM width)
{
    if (!data->header || index >= data->columnCount)
        return 0;
    ApplyColumnWidth(data, (unsigned)index, (int)width);
    return 1;
}

LRESULT TreeListGetColumn(TreeListData* data, WPARAM index, LVCOLUMNW* column)
{
    if (!data->header || !column || index >= data->columnCount)
        return 0;
    HDITEMW item;
    memset(&item, 0, sizeof item);
    if (column->mask & LVCF_FMT)
        item.mask |= HDI_FORMAT;
    if (column->mask & LVCF_WIDTH)
        item.mask |= HDI_WIDTH;
    if ((column->mask & LVCF_TEXT) && column->pszText && column->cchTextMax > 0) {
        item.mask |= HDI_TEXT;
        item.pszText = column->pszText;
        item.cchTextMax = column->cchTextMax;
    }
    if (column->mask & LVCF_IMAGE)
        item.mask |= HDI_IMAGE;
    if (!SendMessageW(data->header, HDM_GETITEMW, index, (LPARAM)&item))
        return 0;
    if (column->mask & LVCF_FMT) {
        int justify = item.fmt & HDF_JUSTIFYMASK;
        column->fmt = justify == HDF_RIGHT ? LVCFMT_RIGHT : (justify == HDF_CENTER ? LVCFMT_CENTER : LVCFMT_LEFT);
    }
    if (column->mask & LVCF_WIDTH)
        column->cx = item.cxy;
    if (column->mask & LVCF_IMAGE)
        column->iImage = item.iImage;
    return 1;
}

LRESULT TreeListSetColumn(TreeListData* data, WPARAM index, const LVCOLUMNW* column)
{
    if (!data->header || !column || index >= data->columnCount)
        return 0;
    HDITEMW item;
    memset(&item, 0, sizeof item);
    if (column->mask & LVCF_FMT) {
        item.mask |= HDI_FORMAT;
        item.fmt = HeaderFormat(column->fmt, (column->mask & LVCF_IMAGE) != 0);
        data->columns[index].align = AlignmentOf(column->fmt);
    }
    HeaderTextAndImage(column, &item);
    LRESULT result = item.mask ? SendMessageW(data->header, HDM_SETITEMW, index, (LPARAM)&item) : 1;
    if (column->mask & LVCF_WIDTH)
        ApplyColumnWidth(data, (unsigned)index, column->cx);
    else if (column->mask & LVCF_FMT)
        InvalidateFromColumn(data, (unsigned)index);
    return result ? 1 : 0;
}

LRESULT TreeListSetColumnEditMode(TreeListData* data, WPARAM wParam, LPARAM editData)
{
    unsigned index = (unsigned)((wParam >> 10) & 0x3F);
    BYTE mode = (BYTE)((wParam >> 7) & 7);
    if (index >= data->columnCount || (index == 0 && TreeListIsCheckMode(mode)))
        return 0;
    TreeListColumn* column = &data->columns[index];
    BOOL checkLookBefore = TreeListIsCheckMode(column->editMode);
    column->editMode = mode;
    if (mode == 0) {
        memset(column->editFlags, 0, sizeof column->editFlags);
    } else {
        column->editFlags[0] = (BYTE)(wParam & 0xFF);
        column->editFlags[1] = (BYTE)((wParam >> 16) & 0xFF);
        column->editFlags[2] = (BYTE)((wParam >> 24) & 0xFF);
    }
    column->editData = editData;
    column->editValue = -1;
    if (TreeListIsCheckMode(mode)) {
        TreeListEnsureCheckImages(&data->cellCheckImages);
        TreeListRecomputeRowHeight(data);
    }
    if (checkLookBefore != TreeListIsCheckMode(mode))
        InvalidateFromColumn(data, index);
    return 1;
}

LRESULT TreeListSetColumnEditData(TreeListData* data, WPARAM index, LPARAM value)
{
    if (index >= data->columnCount || data->columns[index].editMode == 0)
        return 0;
    data->columns[index].editValue = (int)value;
    return 1;
}

// The widest text shown in a column, measured from the column's left edge.
static int WidestText(TreeListData* data, unsigned column)
{
    int widest = 0;
    for (unsigned row = 0; row < data->rowCount; ++row) {
        unsigned number = data->rows[row];
        RECT rect;
        HTREEITEM handle = (HTREEITEM)(ULONG_PTR)number;
        memcpy(&rect, &handle, sizeof handle);
        int width;
        if (column && TreeListMeasureShownText(data, number, column, &width))
            rect.right = width + 10;
        else if (!column && TreeListGetItemRect(data, TRUE, &rect))
            rect.right = rect.right + data->hOffset + 3;
        else if (data->destroyed)
            return widest;
        else
            continue;
        if (rect.right > widest)
            widest = rect.right;
    }
    return widest;
}

static void ForwardHeaderClick(TreeListData* data, NMHDR* header)
{
    NMHEADERW copy = *(NMHEADERW*)header;
    TreeListUnlock(data);
    if (GetFocus() != data->hwnd)
        SetFocus(data->hwnd);
    TreeListLock(data);
    if (!data->destroyed)
        TreeListNotify(data, header->code, &copy.hdr);
}

LRESULT TreeListOnHeaderNotify(TreeListData* data, NMHDR* header)
{
    NMHEADERW* nm = (NMHEADERW*)header;
    if (nm->iItem < 0 || (unsigned)nm->iItem >= data->columnCount)
        return 0;
    unsigned index = (unsigned)nm->iItem;
    switch (header->code) {
    case HDN_DIVIDERDBLCLICKW:
        ApplyColumnWidth(data, index, WidestText(data, index));
        return 0;
    case HDN_TRACKW:
    case HDN_ENDTRACKW:
        if (nm->pitem && (nm->pitem->mask & HDI_WIDTH))
            ApplyColumnWidth(data, index, nm->pitem->cxy);
        return 0;
    case HDN_ITEMCLICKW:
    case HDN_ITEMDBLCLICKW:
        ForwardHeaderClick(data, header);
        return 0;
    default:
        return 0;
    }
}
