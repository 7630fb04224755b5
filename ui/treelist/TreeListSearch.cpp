// Incremental search: typed characters select the next row whose text in the
// caret column starts with them. The buffer is shared by all TreeList windows.
#include "ui/treelist/TreeListData.h"

#include <string.h>

#define TL_SEARCH_MAX 16

static SRWLOCK searchLock = SRWLOCK_INIT;
static WCHAR searchBuffer[TL_SEARCH_MAX + 1];
static int searchLength;
static DWORD lastKeyTime;
static volatile TreeListClock searchClock = GetTickCount;

void TreeListSetClock(TreeListClock clock)
{
    searchClock = clock ? clock : GetTickCount;
}

static WCHAR FoldCase(WCHAR ch)
{
    if ((ch >= 97 && ch <= 122) || (ch >= 224 && ch <= 254))
        return (WCHAR)(ch - 32);
    return ch;
}

// How long after the previous character the buffer still grows.
static DWORD RestartLimit(int length)
{
    if (length == 0)
        return 500;
    return length <= 2 ? 750 : 1000;
}

// Appends ch (folded); tells whether the search starts over. Repeating a
// single letter starts over, so that it cycles through the rows with it.
static BOOL AppendToBuffer(WCHAR ch, WCHAR* copy, int* copyLength)
{
    DWORD now = searchClock();
    AcquireSRWLockExclusive(&searchLock);
    BOOL restart = now - lastKeyTime > RestartLimit(searchLength) || searchLength >= TL_SEARCH_MAX
                || (searchLength == 1 && searchBuffer[0] == ch);
    if (restart)
        searchLength = 0;
    searchBuffer[searchLength++] = ch;
    searchBuffer[searchLength] = 0;
    lastKeyTime = now;
    memcpy(copy, searchBuffer, (searchLength + 1) * sizeof(WCHAR));
    *copyLength = searchLength;
    ReleaseSRWLockExclusive(&searchLock);
    return restart;
}

static BOOL StartsWith(const WCHAR* text, const WCHAR* prefix, int length)
{
    for (int i = 0; i < length; ++i) {
        if (!text[i] || FoldCase(text[i]) != prefix[i])
            return FALSE;
    }
    return TRUE;
}

static BOOL RowMatches(TreeListData* data, unsigned row, const WCHAR* prefix, int length)
{
    unsigned number = data->rows[row];
    unsigned column = data->caretColumn;
    const TreeListItem* item = data->items[number];
    const TreeListCell* cell = column ? TreeListGetCell(data, number, column) : NULL;
    BOOL callback = column ? (cell && (cell->callbacks & TLCB_TEXT)) : (item->callbacks & TLCB_TEXT) != 0;
    if (!callback)
        return StartsWith(TreeListTextOf(column ? (cell ? cell->text : NULL) : item->text), prefix, length);
    WCHAR buffer[TL_DISPINFO_CHARS];
    TreeListQueryText(data, number, column, buffer);
    return StartsWith(buffer, prefix, length);
}

static unsigned FindRow(TreeListData* data, const WCHAR* prefix, int length, BOOL afterCaret)
{
    const TreeListItem* caret = TreeListGetItem(data, data->caretItem);
    unsigned start = caret && caret->row ? caret->row - 1 : 0;
    if (afterCaret && caret && caret->row)
        ++start;
    for (unsigned i = 0; i < data->rowCount; ++i) {
        unsigned row = (start + i) % data->rowCount;
        unsigned number = data->rows[row];
        BOOL matches = RowMatches(data, row, prefix, length);
        if (data->destroyed)
            return 0;
        if (matches && TreeListGetLiveItem(data, number))
            return number;
        if (row >= data->rowCount)
            break;
    }
    return 0;
}

static void SelectFound(TreeListData* data, unsigned number)
{
    if (TreeListSelectCaret(data, number, data->caretColumn, TVC_BYKEYBOARD) && !data->destroyed)
        TreeListEnsureVisible(data, data->caretColumn, (LPARAM)number);
}

// Typing into a column edited in place edits it instead of searching.
static BOOL CharStartsEditing(const TreeListData* data)
{
    unsigned count = data->columnCount ? data->columnCount : 1;
    unsigned column = data->caretColumn;
    if (!(data->style & TVS_EDITLABELS) || column >= count || !TreeListGetLiveItem(data, data->caretItem))
        return FALSE;
    const TreeListColumn* record = &data->columns[column];
    BYTE mode = record->editMode;
    return (mode == 1 || mode == 2 || mode == 5 || mode == 7) && !(record->editFlags[0] & TLEF_NOCHARSTART);
}

void TreeListOnChar(TreeListData* data, WCHAR ch)
{
    if (ch < 32)
        return;
    if (CharStartsEditing(data)) {
        TreeListEditLabel(data, data->caretColumn, (LPARAM)data->caretItem, ch, FALSE);
        return;
    }
    if (data->rowCount == 0)
        return;
    WCHAR folded = FoldCase(ch);
    WCHAR prefix[TL_SEARCH_MAX + 1];
    int length = 0;
    BOOL restarted = AppendToBuffer(folded, prefix, &length);
    unsigned found = FindRow(data, prefix, length, restarted);
    if (!found && !restarted && !data->destroyed) {
        AcquireSRWLockExclusive(&searchLock);
        searchBuffer[0] = folded;
        searchBuffer[1] = 0;
        searchLength = 1;
        ReleaseSRWLockExclusive(&searchLock);
        prefix[0] = folded;
        found = FindRow(data, prefix, 1, TRUE);
    }
    if (found && !data->destroyed)
        SelectFound(data, found);
}

LRESULT TreeListGetSearchString(TreeListData*, WCHAR* buffer)
{
    DWORD now = searchClock();
    AcquireSRWLockExclusive(&searchLock);
    DWORD elapsed = now - lastKeyTime;
    LRESULT result;
    if (!buffer) {
        result = elapsed < 751 ? searchLength : 0;
    } else if (elapsed > 750) {
        buffer[0] = 0;
        result = 0;
    } else {
        memcpy(buffer, searchBuffer, (searchLength + 1) * sizeof(WCHAR));
        result = 1;
    }
    ReleaseSRWLockExclusive(&searchLock);
    return result;
}
