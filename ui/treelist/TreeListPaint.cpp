// Painting: the rows from the first visible one to the last that fits, each
// column clipped to itself, then the empty area below the rows. Only rows on
// the page are touched, so the cost does not grow with the list.
#include "ui/treelist/TreeListData.h"

#include <string.h>

static const WCHAR dots[] = L"...";
static const WCHAR missingCell[] = L"????";

typedef struct PaintContext {
    TreeListData* data;
    HDC dc;
    RECT area;
    int widest; // widest painted extent of the tree column, in content coordinates
} PaintContext;

// How a text is drawn: its font and colour, the box behind it and its marks.
typedef struct TextLook {
    HFONT font;
    int dotsWidth;
    COLORREF colour;
    BOOL boxed;
    COLORREF box;
    BOOL dottedFrame;
    BOOL underline;
} TextLook;

// What a cell shows, resolved before anything is drawn: callbacks ask the
// parent, and after that the row is checked again.
typedef struct CellContent {
    const WCHAR* text;
    int length;
    int width;
    int image;
    WCHAR buffer[TL_DISPINFO_CHARS];
} CellContent;

static void FillColour(HDC dc, const RECT* rect, COLORREF colour)
{
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, rect, NULL, 0, NULL);
}

// Per channel (a * wa + b * wb) / divisor.
static COLORREF Blend(COLORREF a, int wa, COLORREF b, int wb, int divisor)
{
    COLORREF result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int value = ((int)((a >> shift) & 0xFF) * wa + (int)((b >> shift) & 0xFF) * wb) / divisor;
        result |= (COLORREF)(value > 255 ? 255 : value) << shift;
    }
    return result;
}

static COLORREF DisabledGrid(void)
{
    return Blend(GetSysColor(COLOR_WINDOW), 1, GetSysColor(COLOR_SCROLLBAR), 2, 3);
}

// Half of the scroll-bar colour plus a sixth of (window + 2 x scroll bar);
// each channel stays below 256, so the two add without carries.
static COLORREF DisabledOddRow(void)
{
    COLORREF scroll = GetSysColor(COLOR_SCROLLBAR);
    COLORREF sixth = Blend(GetSysColor(COLOR_WINDOW), 1, scroll, 2, 6);
    return Blend(scroll, 1, 0, 0, 2) + sixth;
}

static COLORREF GridColour(const TreeListData* data)
{
    return data->enabled ? data->colours[TLC_GRID] : DisabledGrid();
}

static COLORREF EmptyColour(const TreeListData* data)
{
    return data->enabled ? data->colours[TLC_BACKGROUND] : GetSysColor(COLOR_SCROLLBAR);
}

static COLORREF RowColour(const TreeListData* data, unsigned row, const TreeListItem* item)
{
    BOOL alternate = (data->exStyle & TLS_EX_ALTERNATEROWS) != 0;
    BOOL odd = (row & 1) != 0;
    if (!data->enabled)
        return alternate && odd ? DisabledOddRow() : GetSysColor(COLOR_SCROLLBAR);
    if ((data->exStyle & TLS_EX_ROWREPAINT) && (item->state & TVIS_SELECTED))
        return data->colours[alternate && !odd ? TLC_SELECTEDEVEN : TLC_SELECTEDODD];
    if (alternate)
        return data->colours[odd ? TLC_ODDROWS : TLC_EVENROWS];
    if (data->exStyle & TLS_EX_GRIDLINES)
        return data->colours[TLC_EVENROWS];
    return data->colours[TLC_BACKGROUND];
}

// The row height without the grid line at its bottom.
static int ContentHeight(const TreeListData* data)
{
    return data->rowHeight - ((data->exStyle & TLS_EX_GRIDLINES) ? 1 : 0);
}

static void DrawImage(HDC dc, HIMAGELIST list, int index, int x, int top, int rowHeight, int imageHeight, UINT style)
{
    ImageList_DrawEx(list, index, dc, x, top + (rowHeight - imageHeight) / 2, 0, 0, CLR_NONE, CLR_DEFAULT,
                     ILD_TRANSPARENT | style);
}

static void DottedFrame(HDC dc, const RECT* rect)
{
    HGDIOBJ oldPen = SelectObject(dc, TreeListSharedDottedPen());
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, rect->left, rect->top, rect->right, rect->bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
}

static int FittingCharacters(HDC dc, const WCHAR* text, int length, int room, int* extent)
{
    int fit = 0;
    SIZE size = {0, 0};
    if (!GetTextExtentExPointW(dc, text, length, room, &fit, NULL, &size))
        fit = 0;
    size.cx = 0;
    if (fit > 0)
        GetTextExtentPoint32W(dc, text, fit, &size);
    *extent = size.cx;
    return fit;
}

// Draws the text from x, clipped with "..." when it would reach limit; only
// "..." when fewer than 3 pixels would be left for characters. Returns the
// right end of what was drawn.
static int PaintText(PaintContext* pc, const CellContent* content, int x, int limit, int top, const TextLook* look)
{
    HDC dc = pc->dc;
    const TreeListData* data = pc->data;
    SelectObject(dc, look->font);
    int shown = content->length;
    int drawn = content->width;
    BOOL clipped = x + content->width > limit;
    if (clipped) {
        int room = limit - x - look->dotsWidth;
        int extent = 0;
        shown = room >= 3 ? FittingCharacters(dc, content->text, content->length, room, &extent) : 0;
        drawn = extent + look->dotsWidth;
    }
    int textTop = top + (ContentHeight(data) - data->fontHeight) / 2;
    RECT box = {x - 2, textTop - 1, x + drawn + 2, textTop + data->fontHeight + 1};
    if (look->boxed)
        FillColour(dc, &box, look->box);
    SetTextColor(dc, look->colour);
    if (shown > 0)
        ExtTextOutW(dc, x, textTop, 0, NULL, content->text, (UINT)shown, NULL);
    if (clipped)
        ExtTextOutW(dc, x + drawn - look->dotsWidth, textTop, 0, NULL, dots, 3, NULL);
    if (look->underline) {
        RECT line = {x, textTop + data->fontAscent1, x + drawn, textTop + data->fontAscent1 + 1};
        FillColour(dc, &line, look->colour);
    }
    if (look->dottedFrame)
        DottedFrame(dc, &box);
    return x + drawn;
}

// Whether a cell shows its row's selection: the tree column, every column
// with full-row selection, or in cell mode the caret column.
static BOOL ShowsSelection(const TreeListData* data, unsigned column)
{
    if (data->exStyle & TLS_EX_CELLSELECT)
        return column == data->caretColumn;
    return column == 0 || (data->style & TVS_FULLROWSELECT);
}

// The highlighting cases, first match wins.
static void ChooseLook(const TreeListData* data, const TreeListItem* item, unsigned number, unsigned column,
                       COLORREF plainColour, TextLook* look)
{
    BOOL shows = ShowsSelection(data, column);
    BOOL selected = shows && (item->state & TVIS_SELECTED);
    BOOL caret = number == data->caretItem && column == data->caretColumn;
    look->boxed = FALSE;
    look->dottedFrame = FALSE;
    look->colour = plainColour;
    if ((caret && selected && data->focused) || (shows && (item->state & TVIS_DROPHILITED))
        || (selected && data->focused)) {
        look->boxed = TRUE;
        look->box = GetSysColor(COLOR_HIGHLIGHT);
        look->colour = GetSysColor(COLOR_HIGHLIGHTTEXT);
        look->dottedFrame = caret && selected && data->focused;
    } else if (selected) {
        look->colour = data->colours[TLC_TEXT];
        look->boxed = !(data->exStyle & TLS_EX_ROWREPAINT);
        look->box = GetSysColor(COLOR_MENU);
    }
}

static void ItemLook(const TreeListData* data, const TreeListItem* item, unsigned number, TextLook* look)
{
    BOOL bold = (item->state & TVIS_BOLD) != 0;
    COLORREF plain = data->colours[TLC_TEXT];
    if (item->flags & TLF_MARKED)
        plain = data->colours[TLC_MARKEDTEXT];
    else if (item->flags & TLF_OWNTEXTCOLOUR)
        plain = item->textColour;
    look->font = bold ? data->boldFont : data->font;
    look->dotsWidth = bold ? data->boldDotsWidth : data->dotsWidth;
    look->underline = (item->flags & TLF_MARKED) || (item->state & TL_STATE_UNDERLINED);
    ChooseLook(data, item, number, 0, plain, look);
    if (number == data->anchorItem && (item->flags & TLF_ANCHOR) && data->selectedCount > 1)
        look->dottedFrame = TRUE;
}

static void CellLook(const TreeListData* data, const TreeListItem* item, const TreeListCell* cell, unsigned number,
                     unsigned column, TextLook* look)
{
    BYTE flags = cell ? cell->flags : 0;
    UINT state = cell ? cell->state : (item->state & TL_CELL_INITIAL_STATE);
    COLORREF plain = data->colours[TLC_TEXT];
    if (flags & TLF_MARKED)
        plain = data->colours[TLC_MARKEDTEXT];
    else if (flags & TLF_OWNTEXTCOLOUR)
        plain = cell->textColour;
    look->font = data->font;
    look->dotsWidth = data->dotsWidth;
    look->underline = (flags & TLF_MARKED) || (state & TL_STATE_UNDERLINED);
    ChooseLook(data, item, number, column, plain, look);
}

static void VerticalDots(HDC dc, int x, int from, int to)
{
    MoveToEx(dc, x, from | 1, NULL);
    LineTo(dc, x, to);
}

static void HorizontalDots(HDC dc, int from, int to, int y)
{
    MoveToEx(dc, from | 1, y, NULL);
    LineTo(dc, to, y);
}

// Lines of the ancestors that continue below this row, and the item's own
// connector: down to the next sibling or to the middle, then across.
static void PaintTreeLines(PaintContext* pc, unsigned number, const TreeColumnLayout* layout, int top, int middle)
{
    const TreeListData* data = pc->data;
    const TreeListItem* item = data->items[number];
    int own = item->level + (data->linesAtRoot ? 1 : 0) - 1;
    if (own < 0)
        return;
    int bottom = top + data->rowHeight;
    int columnLeft = TreeListColumnLeft(data, 0) - data->hOffset;
    HGDIOBJ old = SelectObject(pc->dc, TreeListSharedDottedPen());
    unsigned ancestor = item->parent;
    for (int cellIndex = own - 1; ancestor && cellIndex >= 0; --cellIndex) {
        if (data->items[ancestor]->nextSibling)
            VerticalDots(pc->dc, columnLeft + cellIndex * data->indent + data->buttonSize, top, bottom);
        ancestor = data->items[ancestor]->parent;
    }
    VerticalDots(pc->dc, layout->buttonX, top, item->nextSibling ? bottom : middle + 1);
    HorizontalDots(pc->dc, layout->buttonX, layout->indentEnd, middle);
    SelectObject(pc->dc, old);
}

// A 9 x 9 box with a plus, or a minus once the item is fully expanded.
static void PaintButton(HDC dc, const TreeListData* data, const TreeListItem* item, int x, int middle)
{
    RECT outer = {x - 4, middle - 4, x + 5, middle + 5};
    RECT inner = {x - 3, middle - 3, x + 4, middle + 4};
    RECT across = {x - 2, middle, x + 3, middle + 1};
    FillColour(dc, &outer, data->colours[TLC_BUTTONFRAME]);
    FillColour(dc, &inner, data->colours[TLC_BUTTONINSIDE]);
    FillColour(dc, &across, data->colours[TLC_BUTTONSIGN]);
    BOOL fully = (item->state & TVIS_EXPANDED) && !(item->state & TVIS_EXPANDPARTIAL);
    if (!fully) {
        RECT down = {x, middle - 2, x + 1, middle + 3};
        FillColour(dc, &down, data->colours[TLC_BUTTONSIGN]);
    }
}

static void PaintTreeCell(PaintContext* pc, unsigned number, const RECT* cell, COLORREF background,
                          const CellContent* content)
{
    TreeListData* data = pc->data;
    HDC dc = pc->dc;
    const TreeListItem* item = data->items[number];
    int top = cell->top;
    FillColour(dc, cell, (item->flags & TLF_OWNBKCOLOUR) ? item->bkColour : background);
    TreeColumnLayout layout;
    TreeListLayoutTreeColumn(data, number, content->width, &layout);
    int middle = top + ContentHeight(data) / 2;
    if (data->style & TVS_HASLINES)
        PaintTreeLines(pc, number, &layout, top, middle);
    if (layout.hasButton)
        PaintButton(dc, data, item, layout.buttonX, middle);
    if (data->exStyle & TLS_EX_GRIDLINES) {
        RECT line = {layout.indentEnd - 1, top, layout.indentEnd, cell->bottom};
        FillColour(dc, &line, GridColour(data));
    }
    if (data->stateImages.list)
        DrawImage(dc, data->stateImages.list, TL_STATE_IMAGE(item->state), layout.stateLeft, top, ContentHeight(data),
                  data->stateImages.height, 0);
    if (data->normalImages.list && content->image != TL_NO_IMAGE)
        DrawImage(dc, data->normalImages.list, content->image, layout.iconLeft, top, ContentHeight(data),
                  data->normalImages.height, (item->state & TVIS_OVERLAYMASK) | (item->state & TVIS_CUT));
    TextLook look;
    ItemLook(data, item, number, &look);
    int x, limit;
    TreeListTextSpan(data, number, 0, content->width, &x, &limit);
    if (look.boxed)
        x += 2;
    int extent = PaintText(pc, content, x, limit, top, &look) + data->hOffset + 5;
    if (extent > pc->widest)
        pc->widest = extent;
}

static void PaintExtraCell(PaintContext* pc, unsigned number, unsigned column, const RECT* rect, COLORREF background,
                           const CellContent* content)
{
    TreeListData* data = pc->data;
    HDC dc = pc->dc;
    const TreeListItem* item = data->items[number];
    const TreeListCell* cell = TreeListGetCell(data, number, column);
    FillColour(dc, rect, cell && (cell->flags & TLF_OWNBKCOLOUR) ? cell->bkColour : background);
    if (data->exStyle & TLS_EX_GRIDLINES) {
        RECT line = {rect->left, rect->top, rect->left + 1, rect->bottom};
        FillColour(dc, &line, GridColour(data));
    }
    CellLayout layout;
    TreeListLayoutCell(data, number, column, content->width, &layout);
    if (TreeListIsCheckMode(data->columns[column].editMode) && data->cellCheckImages.list)
        DrawImage(dc, data->cellCheckImages.list, TL_STATE_IMAGE(cell ? cell->state : 0), layout.imageLeft, rect->top,
                  ContentHeight(data), data->cellCheckImages.height, 0);
    else if (cell && content->image != TL_NO_IMAGE && data->normalImages.list)
        DrawImage(dc, data->normalImages.list, content->image, layout.imageLeft, rect->top, ContentHeight(data),
                  data->normalImages.height, 0);
    TextLook look;
    CellLook(data, item, cell, number, column, &look);
    int x, limit;
    TreeListTextSpan(data, number, column, content->width, &x, &limit);
    PaintText(pc, content, x, limit, rect->top, &look);
}

static int ResolveImage(TreeListData* data, unsigned number, unsigned column)
{
    const TreeListItem* item = data->items[number];
    if (column) {
        const TreeListCell* cell = TreeListGetCell(data, number, column);
        if (!cell)
            return TL_NO_IMAGE;
        return (cell->callbacks & TLCB_IMAGE) ? TreeListQueryImage(data, number, column, FALSE) : cell->image;
    }
    BOOL selected = (item->state & TVIS_SELECTED) != 0;
    int image = selected ? item->selectedImage : item->image;
    if (item->callbacks & (selected ? TLCB_SELECTEDIMAGE : TLCB_IMAGE)) {
        image = TreeListQueryImage(data, number, 0, selected);
        if (!TreeListStillHeld(data, number, 0))
            return TL_NO_IMAGE;
        item = data->items[number];
    }
    if ((data->exStyle & TLS_EX_EXPANDEDIMAGE) && image >= 0 && (item->state & TVIS_EXPANDED) && item->firstChild)
        ++image;
    return image;
}

// The image first and the text last: a stored text pointer stays valid only
// while no notification intervenes. FALSE when the item went meanwhile.
static BOOL ResolveContent(TreeListData* data, unsigned number, unsigned column, CellContent* content)
{
    content->image = ResolveImage(data, number, column);
    content->length = 0;
    content->text = TreeListShownText(data, number, column, content->buffer, &content->length);
    content->width = 0;
    return content->text != NULL;
}

static BOOL RowStillShows(const TreeListData* data, unsigned row, unsigned number)
{
    return !data->destroyed && row < data->rowCount && data->rows[row] == number;
}

static BOOL PaintCell(PaintContext* pc, unsigned row, unsigned number, unsigned column, int top, COLORREF background)
{
    TreeListData* data = pc->data;
    int left, right;
    TreeListColumnSpan(data, column, &left, &right);
    if (right > data->clientWidth)
        right = data->clientWidth;
    if (left >= right || right <= pc->area.left || left >= pc->area.right)
        return TRUE;
    CellContent content;
    if (!ResolveContent(data, number, column, &content) || !RowStillShows(data, row, number))
        return FALSE;
    content.width = TreeListTextWidthOf(data, number, column, content.text, content.length);
    RECT cell = {left, top, right, top + data->rowHeight};
    int saved = SaveDC(pc->dc);
    IntersectClipRect(pc->dc, cell.left, cell.top, cell.right, cell.bottom);
    if (column == 0)
        PaintTreeCell(pc, number, &cell, background, &content);
    else
        PaintExtraCell(pc, number, column, &cell, background, &content);
    RestoreDC(pc->dc, saved);
    return TRUE;
}

// Right of the last column the row keeps its background; with grid lines
// the row's last pixel line is the grid.
static void PaintRowEnd(PaintContext* pc, int top, COLORREF background)
{
    TreeListData* data = pc->data;
    if (data->columnCount) {
        RECT rest = {TreeListColumnsRight(data) - data->hOffset, top, data->clientWidth, top + data->rowHeight};
        if (rest.left < rest.right)
            FillColour(pc->dc, &rest, background);
    }
    if (data->exStyle & TLS_EX_GRIDLINES) {
        RECT line = {0, top + data->rowHeight - 1, data->clientWidth, top + data->rowHeight};
        FillColour(pc->dc, &line, GridColour(data));
    }
}

static BOOL PaintRow(PaintContext* pc, unsigned row, int top)
{
    TreeListData* data = pc->data;
    unsigned number = data->rows[row];
    COLORREF background = RowColour(data, row, data->items[number]);
    unsigned columns = TreeListShownColumns(data);
    for (unsigned column = 0; column < columns; ++column) {
        if (!PaintCell(pc, row, number, column, top, background))
            return FALSE;
    }
    PaintRowEnd(pc, top, background);
    return TRUE;
}

// Without columns the horizontal scroll range follows the widest text seen:
// a paint of the whole window sets it, a partial paint can only widen it.
static void UpdateContentWidth(PaintContext* pc, BOOL wholeWindow)
{
    TreeListData* data = pc->data;
    if (data->columnCount || pc->widest == data->contentWidth)
        return;
    if (pc->widest < data->contentWidth && !wholeWindow)
        return;
    data->contentWidth = pc->widest;
    TreeListScheduleScrollBars(data);
}

// FALSE when the rows changed under a notification on the way.
static BOOL PaintRows(PaintContext* pc)
{
    TreeListData* data = pc->data;
    int top = data->headerHeight;
    for (unsigned row = data->firstRow; row < data->rowCount && top < data->clientHeight && top < pc->area.bottom;
         ++row, top += data->rowHeight) {
        if (top + data->rowHeight > pc->area.top && !PaintRow(pc, row, top))
            return FALSE;
    }
    return TRUE;
}

static void PaintBelowRows(PaintContext* pc)
{
    TreeListData* data = pc->data;
    unsigned shown = data->rowCount > data->firstRow ? data->rowCount - data->firstRow : 0;
    if (shown > data->pageRowsPartly)
        shown = data->pageRowsPartly;
    RECT below = {0, data->headerHeight + (int)shown * data->rowHeight, data->clientWidth, data->clientHeight};
    if (below.top < below.bottom)
        FillColour(pc->dc, &below, EmptyColour(data));
}

static void Paint(TreeListData* data, HDC dc, const RECT* area)
{
    PaintContext pc = {data, dc, *area, 0};
    BOOL wholeWindow = area->left <= 0 && area->top <= data->headerHeight && area->right >= data->clientWidth
                    && area->bottom >= data->clientHeight;
    if (!wholeWindow)
        pc.widest = data->contentWidth;
    int saved = SaveDC(dc);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    BOOL complete = PaintRows(&pc);
    if (complete && !data->destroyed) {
        PaintBelowRows(&pc);
        UpdateContentWidth(&pc, wholeWindow);
    }
    RestoreDC(dc, saved);
    // The parent changed the rows while they were asked about: paint again.
    if (!complete && !data->destroyed)
        InvalidateRect(data->hwnd, NULL, FALSE);
}

// WM_PAINT paints into the given device context when wParam has one (as
// WM_PRINTCLIENT does), else between BeginPaint and EndPaint.
LRESULT TreeListOnPaint(TreeListData* data, HDC dc)
{
    if (dc) {
        RECT client = {0, 0, data->clientWidth, data->clientHeight};
        Paint(data, dc, &client);
        return 0;
    }
    PAINTSTRUCT paint;
    HDC target = BeginPaint(data->hwnd, &paint);
    if (target)
        Paint(data, target, &paint.rcPaint);
    EndPaint(data->hwnd, &paint);
    return 0;
}

// Drag images ------------------------------------------------------------

static int DragImageIndex(TreeListData* data, unsigned number, unsigned column)
{
    if (!data->normalImages.list)
        return TL_NO_IMAGE;
    return ResolveImage(data, number, column);
}

static void DrawPicture(const TreeListData* data, HDC dc, int width, int height, int image, const WCHAR* text,
                        int length)
{
    RECT all = {0, 0, width, height};
    FillColour(dc, &all, data->colours[TLC_BACKGROUND]);
    int imageWidth = image != TL_NO_IMAGE ? data->normalImages.width : 0;
    if (imageWidth)
        DrawImage(dc, data->normalImages.list, image, 0, 0, height, data->normalImages.height, 0);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, data->colours[TLC_TEXT]);
    ExtTextOutW(dc, imageWidth + 2, (height - data->fontHeight) / 2, ETO_CLIPPED, &all, text, (UINT)length, NULL);
}

// Icon and text on the window background, at most 240 x 32 pixels.
static HIMAGELIST PictureOf(const TreeListData* data, HDC screen, int image, const WCHAR* text, int length)
{
    HDC memory = CreateCompatibleDC(screen);
    if (!memory)
        return NULL;
    HGDIOBJ oldFont = SelectObject(memory, data->font);
    SIZE size = {0, 0};
    GetTextExtentPoint32W(memory, text, length, &size);
    int width = (image != TL_NO_IMAGE ? data->normalImages.width : 0) + 2 + size.cx + 2;
    int height = data->rowHeight;
    width = width > 240 ? 240 : width;
    height = height > 32 ? 32 : height;
    HIMAGELIST list = NULL;
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    if (bitmap) {
        HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
        DrawPicture(data, memory, width, height, image, text, length);
        SelectObject(memory, oldBitmap);
        list = ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 1, 1);
        if (list && ImageList_AddMasked(list, bitmap, data->colours[TLC_BACKGROUND]) < 0) {
            ImageList_Destroy(list);
            list = NULL;
        }
        DeleteObject(bitmap);
    }
    SelectObject(memory, oldFont);
    DeleteDC(memory);
    return list;
}

LRESULT TreeListCreateDragImage(TreeListData* data, WPARAM columnParam, LPARAM handle)
{
    unsigned number;
    if (!TreeListIsHandle(handle, &number) || !TreeListGetLiveItem(data, number))
        return 0;
    if (columnParam != 0 && columnParam >= data->columnCount)
        return 0;
    unsigned column = (unsigned)columnParam;
    int image = DragImageIndex(data, number, column);
    if (!TreeListStillHeld(data, number, 0))
        return 0;
    WCHAR buffer[TL_DISPINFO_CHARS];
    int length = 0;
    const WCHAR* text = TreeListShownText(data, number, column, buffer, &length);
    if (!text)
        return 0;
    if (column && !TreeListGetCell(data, number, column)) {
        text = missingCell;
        length = 4;
    }
    HDC screen = GetDC(NULL);
    if (!screen)
        return 0;
    HIMAGELIST list = PictureOf(data, screen, image, text, length);
    ReleaseDC(NULL, screen);
    return (LRESULT)list;
}
