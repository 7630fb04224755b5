// Process-wide shared objects, colour slots, fonts and image lists.
#include "ui/treelist/TreeListData.h"

#include <string.h>

typedef HRESULT(WINAPI* SetWindowThemeProc)(HWND, LPCWSTR, LPCWSTR);

// Created by the first TreeList window, freed with the last; windows may
// live on different threads, so the count and the objects sit under a lock.
static SRWLOCK sharedLock = SRWLOCK_INIT;
static LONG sharedUsers;
static HPEN sharedDottedPen;
static HMODULE sharedUxTheme;
static SetWindowThemeProc sharedSetWindowTheme;
static HFONT sharedFonts[2];

static void FreeSharedObjects(void)
{
    if (sharedDottedPen)
        DeleteObject(sharedDottedPen);
    for (int i = 0; i < 2; ++i) {
        if (sharedFonts[i])
            DeleteObject(sharedFonts[i]);
        sharedFonts[i] = NULL;
    }
    if (sharedUxTheme)
        FreeLibrary(sharedUxTheme);
    sharedDottedPen = NULL;
    sharedUxTheme = NULL;
    sharedSetWindowTheme = NULL;
}

static BOOL CreateSharedObjects(void)
{
    LOGBRUSH brush = {BS_SOLID, GetSysColor(COLOR_BTNSHADOW), 0};
    sharedDottedPen = ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &brush, 0, NULL);
    if (!sharedDottedPen)
        sharedDottedPen = CreatePen(PS_DOT, 1, GetSysColor(COLOR_BTNSHADOW));
    sharedUxTheme = LoadLibraryW(L"UxTheme.dll");
    if (sharedUxTheme)
        sharedSetWindowTheme = (SetWindowThemeProc)(void*)GetProcAddress(sharedUxTheme, "SetWindowTheme");
    LOGFONTW font;
    memset(&font, 0, sizeof font);
    if (!SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof font, &font, 0))
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfWeight = FW_NORMAL;
    sharedFonts[0] = CreateFontIndirectW(&font);
    font.lfWeight = FW_BOLD;
    sharedFonts[1] = CreateFontIndirectW(&font);
    if (!sharedDottedPen || !sharedFonts[0] || !sharedFonts[1]) {
        FreeSharedObjects();
        return FALSE;
    }
    return TRUE;
}

BOOL TreeListAcquireShared(void)
{
    AcquireSRWLockExclusive(&sharedLock);
    BOOL ok = sharedUsers > 0 || CreateSharedObjects();
    if (ok)
        ++sharedUsers;
    ReleaseSRWLockExclusive(&sharedLock);
    return ok;
}

void TreeListReleaseShared(void)
{
    AcquireSRWLockExclusive(&sharedLock);
    if (sharedUsers > 0 && --sharedUsers == 0)
        FreeSharedObjects();
    ReleaseSRWLockExclusive(&sharedLock);
}

HFONT TreeListSharedFont(BOOL bold)
{
    return sharedFonts[bold ? 1 : 0];
}

HPEN TreeListSharedDottedPen(void)
{
    return sharedDottedPen;
}

void TreeListUnthemeWindow(HWND hwnd)
{
    if (sharedSetWindowTheme)
        sharedSetWindowTheme(hwnd, L"", L"");
}

// Colours ---------------------------------------------------------------

static int Channel(COLORREF colour, int shift)
{
    return (int)((colour >> shift) & 0xFF);
}

static int SquaredDistance(COLORREF a, COLORREF b)
{
    int sum = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int d = Channel(a, shift) - Channel(b, shift);
        sum += d * d;
    }
    return sum;
}

// Per channel (c >> 3) * 7 + (h >> 3): the row colour tinted towards the highlight.
static COLORREF TintTowards(COLORREF colour, COLORREF highlight)
{
    COLORREF result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int value = (Channel(colour, shift) >> 3) * 7 + (Channel(highlight, shift) >> 3);
        result |= (COLORREF)(value > 255 ? 255 : value) << shift;
    }
    return result;
}

void TreeListComputeDefaultColours(TreeListData* data)
{
    COLORREF defaults[TLC_COUNT];
    COLORREF window = GetSysColor(COLOR_WINDOW);
    COLORREF windowText = GetSysColor(COLOR_WINDOWTEXT);
    COLORREF info = GetSysColor(COLOR_INFOBK);
    defaults[TLC_BACKGROUND] = window;
    defaults[TLC_EVENROWS] = window;
    COLORREF even = data->colourSet[TLC_EVENROWS] ? data->colours[TLC_EVENROWS] : window;
    if (SquaredDistance(info, even) < 64) {
        int blue = Channel(even, 16) - 8;
        defaults[TLC_ODDROWS] = (even & 0x00FFFF) | ((COLORREF)(blue < 0 ? 0 : blue) << 16);
    } else {
        defaults[TLC_ODDROWS] = info;
    }
    COLORREF odd = data->colourSet[TLC_ODDROWS] ? data->colours[TLC_ODDROWS] : defaults[TLC_ODDROWS];
    COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    defaults[TLC_GRID] = GetSysColor(COLOR_BTNFACE);
    defaults[TLC_TEXT] = windowText;
    defaults[TLC_BUTTONSIGN] = windowText;
    defaults[TLC_BUTTONFRAME] = GetSysColor(COLOR_BTNSHADOW);
    defaults[TLC_MARKEDTEXT] = windowText ^ 0xFF0000;
    defaults[TLC_SELECTEDODD] = TintTowards(odd, highlight);
    defaults[TLC_SELECTEDEVEN] = TintTowards(even, highlight);
    defaults[TLC_INSERTMARK] = info;
    defaults[TLC_BUTTONINSIDE] = window;
    for (int slot = 0; slot < TLC_COUNT; ++slot) {
        if (!data->colourSet[slot])
            data->colours[slot] = defaults[slot];
    }
}

LRESULT TreeListSetColour(TreeListData* data, WPARAM slot, LPARAM colour)
{
    if (slot >= TLC_COUNT)
        return -1;
    COLORREF previous = data->colours[slot];
    if ((DWORD)colour == 0xFFFFFFFFu) {
        data->colourSet[slot] = 0;
    } else {
        data->colourSet[slot] = 1;
        data->colours[slot] = (COLORREF)colour;
    }
    TreeListComputeDefaultColours(data);
    if (data->colours[slot] != previous)
        InvalidateRect(data->hwnd, NULL, TRUE);
    return (LRESULT)previous;
}

LRESULT TreeListGetColour(const TreeListData* data, WPARAM slot)
{
    return slot < TLC_COUNT ? (LRESULT)data->colours[slot] : -1;
}

// Fonts -----------------------------------------------------------------

void TreeListReleaseFonts(TreeListData* data)
{
    if (data->boldFontOwned && data->boldFont)
        DeleteObject(data->boldFont);
    data->boldFontOwned = FALSE;
    data->boldFont = NULL;
}

static HFONT MakeBoldFont(HFONT font)
{
    LOGFONTW logFont;
    if (!GetObjectW(font, sizeof logFont, &logFont))
        return NULL;
    logFont.lfWeight = FW_BOLD;
    return CreateFontIndirectW(&logFont);
}

static int DotsWidth(HDC dc, HFONT font)
{
    SIZE size = {0, 0};
    HGDIOBJ old = SelectObject(dc, font);
    GetTextExtentPoint32W(dc, L"...", 3, &size);
    SelectObject(dc, old);
    return size.cx;
}

static void MeasureFont(TreeListData* data)
{
    HDC dc = GetDC(data->hwnd);
    if (!dc)
        return;
    HGDIOBJ old = SelectObject(dc, data->font);
    TEXTMETRICW metrics;
    if (GetTextMetricsW(dc, &metrics)) {
        data->fontHeight = metrics.tmHeight;
        data->fontAscent1 = metrics.tmAscent + 1;
    }
    SelectObject(dc, old);
    data->dotsWidth = DotsWidth(dc, data->font);
    data->boldDotsWidth = DotsWidth(dc, data->boldFont);
    ReleaseDC(data->hwnd, dc);
    data->measuredFont = data->font;
}

static void ForgetTextWidths(TreeListData* data)
{
    for (unsigned n = 1; n <= data->highestItem; ++n) {
        if (!data->items[n])
            continue;
        data->items[n]->textWidth = 0;
        for (unsigned column = 1; column < data->columnCount; ++column) {
            TreeListCell* cell = TreeListGetCell(data, n, column);
            if (cell)
                cell->textWidth = 0;
        }
    }
}

LRESULT TreeListApplyFont(TreeListData* data, HFONT font)
{
    HFONT wanted = font ? font : TreeListSharedFont(FALSE);
    if (wanted == data->font && data->measuredFont == wanted)
        return 0;
    HFONT bold = font ? MakeBoldFont(font) : NULL;
    TreeListReleaseFonts(data);
    data->font = wanted;
    data->boldFont = bold ? bold : (font ? wanted : TreeListSharedFont(TRUE));
    data->boldFontOwned = bold != NULL;
    MeasureFont(data);
    ForgetTextWidths(data);
    TreeListRecomputeRowHeight(data);
    InvalidateRect(data->hwnd, NULL, TRUE);
    return 0;
}

// Check-box images --------------------------------------------------------

static DWORD DibPixel(COLORREF colour)
{
    return ((DWORD)GetRValue(colour) << 16) | ((DWORD)GetGValue(colour) << 8) | GetBValue(colour);
}

// Three 16 x 16 images in one 48 x 16 bitmap: empty, unchecked, checked; the
// highlight colour is the transparent one.
static void PaintCheckImages(DWORD* bits, COLORREF transparent)
{
    static const int strokeTops[7] = {7, 8, 9, 8, 7, 6, 5};
    DWORD background = DibPixel(transparent);
    DWORD frame = DibPixel(RGB(150, 150, 150));
    DWORD tick = DibPixel(RGB(30, 155, 255));
    for (int i = 0; i < 48 * 16; ++i)
        bits[i] = background;
    for (int image = 1; image <= 2; ++image) {
        int x0 = image * 16;
        for (int x = x0 + 1; x < x0 + 14; ++x) {
            bits[2 * 48 + x] = frame;
            bits[14 * 48 + x] = frame;
        }
        for (int y = 2; y < 15; ++y) {
            bits[y * 48 + x0 + 1] = frame;
            bits[y * 48 + x0 + 13] = frame;
        }
    }
    for (int stroke = 0; stroke < 7; ++stroke) {
        for (int y = strokeTops[stroke]; y < strokeTops[stroke] + 3; ++y)
            bits[y * 48 + 32 + 4 + stroke] = tick;
    }
}

static HIMAGELIST BuildCheckImages(void)
{
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 48;
    info.bmiHeader.biHeight = -16;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = NULL;
    HBITMAP bitmap = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (!bitmap)
        return NULL;
    COLORREF transparent = GetSysColor(COLOR_HIGHLIGHT);
    PaintCheckImages((DWORD*)bits, transparent);
    GdiFlush();
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 3, 14);
    if (list && ImageList_AddMasked(list, bitmap, transparent) < 0) {
        ImageList_Destroy(list);
        list = NULL;
    }
    DeleteObject(bitmap);
    return list;
}

static void SetImages(TreeListImages* images, HIMAGELIST list, BOOL built)
{
    images->list = list;
    images->built = built && list;
    images->width = images->height = 0;
    if (list)
        ImageList_GetIconSize(list, &images->width, &images->height);
}

void TreeListEnsureCheckImages(TreeListImages* images)
{
    if (!images->list)
        SetImages(images, BuildCheckImages(), TRUE);
}

void TreeListDropBuiltImages(TreeListImages* images)
{
    if (!images->built)
        return;
    ImageList_Destroy(images->list);
    SetImages(images, NULL, FALSE);
}

// Hands in a list; returns the previous one, unless the window built it
// (then it is destroyed here and never handed out).
static HIMAGELIST ReplaceImages(TreeListImages* images, HIMAGELIST list)
{
    HIMAGELIST previous = images->built ? NULL : images->list;
    TreeListDropBuiltImages(images);
    SetImages(images, list, FALSE);
    return previous;
}

void TreeListDestroyBuiltImages(TreeListData* data)
{
    TreeListDropBuiltImages(&data->stateImages);
    TreeListDropBuiltImages(&data->cellCheckImages);
}

static BOOL AnyCheckColumn(const TreeListData* data)
{
    for (unsigned c = 0; c < data->columnCount; ++c)
        if (TreeListIsCheckMode(data->columns[c].editMode))
            return TRUE;
    return FALSE;
}

static void GiveHeaderImages(TreeListData* data)
{
    if (data->header)
        SendMessageW(data->header, HDM_SETIMAGELIST, 0,
                     (LPARAM)(data->headerImages ? data->headerImages : data->normalImages.list));
}

// Lists handed in stay owned by whoever made them; only the check-box lists
// this window built are destroyed here, and their handles are never returned.
LRESULT TreeListSetImageList(TreeListData* data, WPARAM kind, HIMAGELIST list)
{
    HIMAGELIST previous = NULL;
    switch (kind) {
    case TVSIL_NORMAL:
        previous = ReplaceImages(&data->normalImages, list);
        if (!data->headerImages)
            GiveHeaderImages(data);
        break;
    case TVSIL_STATE:
        previous = ReplaceImages(&data->stateImages, list);
        if (!list && (data->style & TVS_CHECKBOXES))
            TreeListEnsureCheckImages(&data->stateImages);
        break;
    case TLSIL_CELLCHECK:
        previous = ReplaceImages(&data->cellCheckImages, list);
        if (!list && AnyCheckColumn(data))
            TreeListEnsureCheckImages(&data->cellCheckImages);
        break;
    case TLSIL_HEADER:
        previous = data->headerImages;
        data->headerImages = list;
        GiveHeaderImages(data);
        break;
    default:
        return 0;
    }
    TreeListRecomputeRowHeight(data);
    InvalidateRect(data->hwnd, NULL, TRUE);
    return (LRESULT)previous;
}

LRESULT TreeListGetImageList(const TreeListData* data, WPARAM kind)
{
    switch (kind) {
    case TVSIL_NORMAL:
        return (LRESULT)data->normalImages.list;
    case TVSIL_STATE:
        return (LRESULT)data->stateImages.list;
    case TLSIL_CELLCHECK:
        return (LRESULT)data->cellCheckImages.list;
    case TLSIL_HEADER:
        return (LRESULT)data->headerImages;
    default:
        return 0;
    }
}
