// Incremental search: typed characters select the next row whose text in the
// caret column starts with them. The buffer is shared by all TreeList windows.
#include "ui/treelist/TreeListData.h"

#include <stdlib.h>
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

// Restarts the buffer with ch alone, after a continued search found nothing.
static void RestartBuffer(WCHAR ch)
{
    AcquireSRWLockExclusive(&searchLock);
    searchBuffer[0] = ch;
    searchBuffer[1] = 0;
    searchLength = 1;
    ReleaseSRWLockExclusive(&searchLock);
}

static BOOL StartsWith(const WCHAR* text, const WCHAR* prefix, int length)
{
    for (int i = 0; i < length; ++i) {
        if (!text[i] || FoldCase(text[i]) != prefix[i])
            return FALSE;
    }
    return TRUE;
}

// FALSE also when the item went while its callback text was asked for.
static BOOL RowMatches(TreeListData* data, unsigned number, const WCHAR* prefix, int length)
{
    WCHAR buffer[TL_DISPINFO_CHARS];
    int shown;
    const WCHAR* text = TreeListShownText(data, number, data->caretColumn, buffer, &shown);
    return text && StartsWith(text, prefix, length);
}

// The nth row, counting the matches from 1 and cycling through them, whose
// text in the caret column starts with prefix: one scan through the rows
// from the caret row, or from the row after it. Callback texts are asked
// from the parent, which may change the rows meanwhile; the scan ends at the
// end of the rows there are.
static unsigned FindRow(TreeListData* data, const WCHAR* prefix, int length, BOOL afterCaret, unsigned nth)
{
    const TreeListItem* caret = TreeListGetLiveItem(data, data->caretItem);
    unsigned start = caret && caret->row ? caret->row - 1 : 0;
    if (afterCaret && caret && caret->row)
        ++start;
    unsigned* earlier = NULL; // the matches before the nth, kept for cycling
    unsigned count = 0;
    unsigned found = 0;
    for (unsigned i = 0; i < data->rowCount && !found && !data->destroyed; ++i) {
        unsigned number = data->rows[(start + i) % data->rowCount];
        if (!RowMatches(data, number, prefix, length))
            continue;
        if (++count == nth) {
            found = number;
        } else {
            unsigned* grown = (unsigned*)realloc(earlier, count * sizeof(unsigned));
            if (!grown)
                break;
            earlier = grown;
            earlier[count - 1] = number;
        }
    }
    if (!found && count && earlier && !data->destroyed)
        found = earlier[(nth - 1) % count];
    free(earlier);
    return TreeListStillHeld(data, found, 0) ? found : 0;
}

static void SelectFound(TreeListData* data, unsigned number)
{
    if (TreeListSelectCaret(data, number, data->caretColumn, TVC_BYKEYBOARD) && !data->destroyed)
        TreeListEnsureVisible(data, data->caretColumn, (LPARAM)number);
}

// Typing into a column edited in place edits it instead of searching.
static BOOL CharStartsEditing(const TreeListData* data)
{
    unsigned column = data->caretColumn;
    if (!(data->style & TVS_EDITLABELS) || column >= TreeListShownColumns(data)
        || !TreeListGetLiveItem(data, data->caretItem))
        return FALSE;
    const TreeListColumn* record = &data->columns[column];
    BYTE mode = record->editMode;
    return (mode == 1 || mode == 2 || mode == 5 || mode == TL_EDIT_MODE_CHECK_EDIT)
        && !(record->editFlags[0] & TLEF_NOCHARSTART);
}

// A character repeated n times types it n times: when the search starts
// over with it (the buffer held just this character, or had expired), each
// press steps on to the next row starting with it, so the nth such row is
// found in one scan. A press that extends a longer search string is taken
// once.
LRESULT TreeListOnChar(TreeListData* data, WCHAR ch, unsigned repeat)
{
    if (data->suppressChar || !data->enabled) {
        data->suppressChar = FALSE;
        return 0;
    }
    if (ch < 32)
        return 0;
    if (CharStartsEditing(data)) {
        TreeListEditLabel(data, data->caretColumn, (LPARAM)data->caretItem, ch, FALSE);
        return 0;
    }
    if (data->rowCount == 0)
        return 0;
    WCHAR folded = FoldCase(ch);
    WCHAR prefix[TL_SEARCH_MAX + 1];
    int length = 0;
    BOOL restarted = AppendToBuffer(folded, prefix, &length);
    unsigned found = 0;
    if (!restarted) {
        found = FindRow(data, prefix, length, FALSE, 1);
        if (!found && !data->destroyed) {
            RestartBuffer(folded);
            restarted = TRUE;
        }
    }
    if (restarted && !data->destroyed)
        found = FindRow(data, &folded, 1, TRUE, repeat ? repeat : 1);
    if (found)
        SelectFound(data, found);
    return 0;
}

LRESULT TreeListGetSearchString(WCHAR* buffer)
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
