// Walking the tree, selection, marks, sorting and searching.
#include "ui/treelist/TreeListData.h"

#include <stdlib.h>
#include <string.h>

static TreeListItem* ItemOfHandle(const TreeListData* data, LPARAM handle, unsigned* number)
{
    return TreeListIsHandle(handle, number) ? TreeListGetLiveItem(data, *number) : NULL;
}

static unsigned NextSelected(const TreeListData* data, LPARAM start, BOOL withinSubtree)
{
    unsigned number = 0;
    unsigned root = 0;
    if (start == (LPARAM)TVI_ROOT || start == 0) {
        number = data->firstTop;
    } else {
        if (!ItemOfHandle(data, start, &number))
            return 0;
        root = withinSubtree ? number : 0;
        number = TreeListNextItem(data, number, root, FALSE);
    }
    for (; number; number = TreeListNextItem(data, number, root, FALSE)) {
        if (data->items[number]->state & TVIS_SELECTED)
            return number;
    }
    return 0;
}

static LRESULT VisibleNeighbour(const TreeListData* data, unsigned number, int step)
{
    const TreeListItem* item = TreeListGetLiveItem(data, number);
    if (!item || !item->row)
        return 0;
    long row = (long)item->row - 1 + step;
    long first = (long)data->firstRow;
    long pageEnd = first + (long)(data->pageRowsPartly ? data->pageRowsPartly : 1);
    if (row < 0 || row >= (long)data->rowCount || row < first || row >= pageEnd)
        return 0;
    return (LRESULT)data->rows[row];
}

LRESULT TreeListGetNextItem(TreeListData* data, WPARAM code, LPARAM handle)
{
    unsigned number = 0;
    BOOL isRoot = handle == (LPARAM)TVI_ROOT || handle == 0;
    const TreeListItem* item = isRoot ? NULL : ItemOfHandle(data, handle, &number);
    BOOL cellMode = (data->exStyle & TLS_EX_CELLSELECT) != 0;
    switch (code) {
    case TVGN_ROOT:
        return data->firstTop;
    case TVGN_NEXT:
        return item ? item->nextSibling : 0;
    case TVGN_PREVIOUS:
        return item ? item->prevSibling : 0;
    case TVGN_PARENT:
        return item ? item->parent : 0;
    case TVGN_CHILD:
        return isRoot ? data->firstTop : (item ? item->firstChild : 0);
    case TVGN_FIRSTVISIBLE:
        return data->firstRow < data->rowCount ? data->rows[data->firstRow] : 0;
    case TVGN_NEXTVISIBLE:
        return VisibleNeighbour(data, number, 1);
    case TVGN_PREVIOUSVISIBLE:
        return VisibleNeighbour(data, number, -1);
    case TVGN_DROPHILITE:
        return data->dropItem;
    case TVGN_CARET:
        return data->caretItem;
    case TVGN_LASTVISIBLE:
        return data->rowCount ? data->rows[data->rowCount - 1] : 0;
    case TLGN_NEXTSELECTED:
        return NextSelected(data, handle, FALSE);
    case TLGN_INSERTMARK:
        return data->insertMarkItem;
    case TLGN_CARETCOLUMN:
        return data->caretColumn;
    case TLGN_FOCUS:
        return cellMode ? data->focusItem : data->caretItem;
    case TLGN_FOCUSCOLUMN:
        return cellMode ? data->focusColumn : data->caretColumn;
    case TLGN_NEXTSELECTEDCHILD:
        return isRoot ? NextSelected(data, handle, FALSE) : NextSelected(data, handle, TRUE);
    case TLGN_LASTCHILD:
        return isRoot ? data->lastTop : (item ? item->lastChild : 0);
    default:
        return 0;
    }
}

void TreeListSetSelectedBit(TreeListData* data, TreeListItem* item, BOOL selected)
{
    BOOL was = (item->state & TVIS_SELECTED) != 0;
    if (was == selected)
        return;
    item->state ^= TVIS_SELECTED;
    if (selected)
        data->selectedCount++;
    else
        data->selectedCount--;
}

static void FillSelectionRecord(const TreeListData* data, NMTREEVIEWW* nm, unsigned oldItem, unsigned newItem,
                                UINT cause)
{
    memset(nm, 0, sizeof *nm);
    nm->action = cause;
    if (oldItem)
        TreeListFillNotifyItem(data, oldItem, &nm->itemOld);
    if (newItem)
        TreeListFillNotifyItem(data, newItem, &nm->itemNew);
}

BOOL TreeListSelectCaret(TreeListData* data, unsigned number, unsigned column, UINT cause)
{
    if (!(data->exStyle & TLS_EX_CELLSELECT))
        column = 0;
    if (number && !TreeListGetLiveItem(data, number))
        return FALSE;
    if (number == data->caretItem && column == data->caretColumn)
        return TRUE;
    NMTREEVIEWW nm;
    FillSelectionRecord(data, &nm, data->caretItem, number, cause);
    if (TreeListNotify(data, TVN_SELCHANGINGW, &nm.hdr))
        return FALSE;
    if (!TreeListStillHeld(data, number, 0))
        return FALSE;

    unsigned old = data->caretItem;
    TreeListItem* oldItem = TreeListGetItem(data, old);
    if (oldItem) {
        if (!data->keepSelection)
            TreeListSetSelectedBit(data, oldItem, FALSE);
        TreeListInvalidateRow(data, old);
    }
    data->caretItem = number;
    data->caretColumn = column;
    if (data->exStyle & TLS_EX_CELLSELECT) {
        data->focusItem = number;
        data->focusColumn = column;
    }
    if (number) {
        TreeListSetSelectedBit(data, data->items[number], TRUE);
        TreeListInvalidateRow(data, number);
    }

    FillSelectionRecord(data, &nm, old, number, cause);
    TreeListNotify(data, TVN_SELCHANGEDW, &nm.hdr);
    if (data->destroyed || data->caretItem != number || !number)
        return TRUE;
    if (data->style & TVS_SINGLEEXPAND) {
        FillSelectionRecord(data, &nm, old, number, cause);
        TreeListNotify(data, TVN_SINGLEEXPAND, &nm.hdr);
    } else if (data->style & TVS_SHOWSELALWAYS) {
        TreeListEnsureVisible(data, column, (LPARAM)number);
    }
    return TRUE;
}

static void SetDropHighlight(TreeListData* data, unsigned number)
{
    TreeListItem* old = TreeListGetItem(data, data->dropItem);
    if (old) {
        old->state &= ~(UINT)TVIS_DROPHILITED;
        TreeListInvalidateRow(data, data->dropItem);
    }
    data->dropItem = number;
    if (number) {
        data->items[number]->state |= TVIS_DROPHILITED;
        TreeListInvalidateRow(data, number);
    }
}

LRESULT TreeListSelectItem(TreeListData* data, WPARAM code, LPARAM handle)
{
    unsigned number = 0;
    if (handle != 0 && !ItemOfHandle(data, handle, &number))
        return 0;
    switch (code) {
    case TVGN_CARET:
        return TreeListSelectCaret(data, number, data->caretColumn, TVC_UNKNOWN);
    case TVGN_FIRSTVISIBLE:
        if (!number)
            return 0;
        if (!data->items[number]->row && !TreeListEnsureVisible(data, 0, (LPARAM)number))
            return 0;
        if (!TreeListStillHeld(data, number, 0) || !data->items[number]->row)
            return 0;
        TreeListScrollTo(data, (long)data->items[number]->row - 1);
        return 1;
    case TVGN_DROPHILITE:
        SetDropHighlight(data, number);
        return 1;
    default:
        return 0;
    }
}

LRESULT TreeListEnsureVisible(TreeListData* data, WPARAM column, LPARAM handle)
{
    unsigned number;
    if (!ItemOfHandle(data, handle, &number))
        return 0;
    // Expand from the top so that each expansion shows the next level.
    for (;;) {
        if (!TreeListStillHeld(data, number, 0))
            return 0;
        TreeListItem* item = data->items[number];
        unsigned collapsed = 0;
        for (unsigned p = item->parent; p; p = data->items[p]->parent) {
            if (!(data->items[p]->state & TVIS_EXPANDED) || !data->items[p]->row)
                collapsed = p;
        }
        if (!collapsed)
            break;
        if (!TreeListExpand(data, TVE_EXPAND, (LPARAM)collapsed))
            return 0;
    }
    TreeListItem* item = data->items[number];
    if (!item->row)
        return 0;
    unsigned row = item->row - 1;
    unsigned page = data->pageRowsFully ? data->pageRowsFully : 1; // rows fully visible, at least 1
    if (row < data->firstRow)
        TreeListScrollTo(data, (long)row);
    else if (row >= data->firstRow + page)
        TreeListScrollTo(data, (long)row - (long)page + 1);
    if (column < data->columnCount) {
        int left = TreeListColumnLeft(data, (unsigned)column);
        int right = left + data->columns[column].width;
        if (left < data->hOffset)
            TreeListScrollHorizontally(data, left);
        else if (right > data->hOffset + data->clientWidth)
            TreeListScrollHorizontally(data, right - data->clientWidth < left ? right - data->clientWidth : left);
    }
    return 1;
}

// Sorting ---------------------------------------------------------------

typedef struct SortEntry {
    unsigned number;
    LPARAM lParam;
    const WCHAR* text;
} SortEntry;

typedef int (*SortCompare)(const SortEntry* a, const SortEntry* b, void* context);

// Stable merge sort: equal entries keep their order.
static void MergeSort(SortEntry* entries, SortEntry* scratch, unsigned count, SortCompare compare, void* context)
{
    if (count < 2)
        return;
    unsigned half = count / 2;
    MergeSort(entries, scratch, half, compare, context);
    MergeSort(entries + half, scratch, count - half, compare, context);
    unsigned i = 0, j = half, k = 0;
    while (i < half && j < count)
        scratch[k++] = compare(&entries[j], &entries[i], context) < 0 ? entries[j++] : entries[i++];
    while (i < half)
        scratch[k++] = entries[i++];
    while (j < count)
        scratch[k++] = entries[j++];
    memcpy(entries, scratch, count * sizeof(SortEntry));
}

typedef struct SortJob {
    TreeListData* data;
    unsigned parent;
    unsigned count;
    SortEntry* entries;
    WCHAR** ownTexts;
} SortJob;

static unsigned CountChildren(const TreeListData* data, unsigned parent)
{
    unsigned count = 0;
    for (unsigned n = parent ? data->items[parent]->firstChild : data->firstTop; n; n = data->items[n]->nextSibling)
        ++count;
    return count;
}

static void FreeJobs(SortJob* jobs, unsigned count)
{
    for (unsigned j = 0; j < count; ++j) {
        if (jobs[j].ownTexts) {
            for (unsigned i = 0; i < jobs[j].count; ++i)
                free(jobs[j].ownTexts[i]);
            free(jobs[j].ownTexts);
        }
        free(jobs[j].entries);
    }
    free(jobs);
}

static BOOL AddJob(TreeListData* data, SortJob* job, unsigned parent, unsigned children)
{
    job->data = data;
    job->parent = parent;
    job->count = children;
    job->entries = (SortEntry*)calloc(children, sizeof(SortEntry));
    if (!job->entries)
        return FALSE;
    unsigned i = 0;
    for (unsigned n = parent ? data->items[parent]->firstChild : data->firstTop; n; n = data->items[n]->nextSibling) {
        job->entries[i].number = n;
        job->entries[i].lParam = data->items[n]->lParam;
        ++i;
    }
    return TRUE;
}

// One job per parent whose children are sorted: the parent itself and, when
// recursive, every item below it that has at least two children.
static SortJob* CollectJobs(TreeListData* data, unsigned parent, BOOL recursive, unsigned* jobCount)
{
    unsigned first = parent ? data->items[parent]->firstChild : data->firstTop;
    unsigned capacity = 1;
    if (recursive) {
        for (unsigned n = first; n; n = TreeListNextItem(data, n, parent, FALSE))
            if (data->items[n]->firstChild)
                ++capacity;
    }
    SortJob* jobs = (SortJob*)calloc(capacity, sizeof(SortJob));
    if (!jobs)
        return NULL;
    unsigned count = 0;
    unsigned children = CountChildren(data, parent);
    BOOL ok = children < 2 || AddJob(data, &jobs[count++], parent, children);
    for (unsigned n = recursive ? first : 0; n && ok; n = TreeListNextItem(data, n, parent, FALSE)) {
        children = CountChildren(data, n);
        if (children >= 2)
            ok = AddJob(data, &jobs[count++], n, children);
    }
    if (!ok) {
        FreeJobs(jobs, count);
        return NULL;
    }
    *jobCount = count;
    return jobs;
}

// The sort must not have changed the tree meanwhile; while busy nothing is
// inserted or deleted, but the parent may have destroyed the window.
static BOOL JobStillValid(const TreeListData* data, const SortJob* job)
{
    if (!TreeListStillHeld(data, job->parent, 0))
        return FALSE;
    if (CountChildren(data, job->parent) != job->count)
        return FALSE;
    for (unsigned i = 0; i < job->count; ++i) {
        const TreeListItem* item = TreeListGetLiveItem(data, job->entries[i].number);
        if (!item || item->parent != job->parent)
            return FALSE;
    }
    return TRUE;
}

static void RelinkChildren(TreeListData* data, const SortJob* job)
{
    unsigned previous = 0;
    for (unsigned i = 0; i < job->count; ++i) {
        unsigned n = job->entries[i].number;
        TreeListItem* item = data->items[n];
        item->prevSibling = previous;
        item->nextSibling = 0;
        if (previous)
            data->items[previous]->nextSibling = n;
        previous = n;
    }
    unsigned first = job->entries[0].number;
    if (job->parent) {
        data->items[job->parent]->firstChild = first;
        data->items[job->parent]->lastChild = previous;
    } else {
        data->firstTop = first;
        data->lastTop = previous;
    }
}

static void FinishSort(TreeListData* data, SortJob* jobs, unsigned jobCount, BOOL sorted)
{
    if (sorted && !data->destroyed) {
        for (unsigned j = 0; j < jobCount; ++j) {
            if (JobStillValid(data, &jobs[j]))
                RelinkChildren(data, &jobs[j]);
        }
        TreeListRebuildRows(data);
        TreeListScheduleScrollBars(data);
        InvalidateRect(data->hwnd, NULL, TRUE);
    }
    data->busy = FALSE;
    FreeJobs(jobs, jobCount);
}

static SortJob* StartSort(TreeListData* data, LPARAM parentHandle, BOOL recursive, unsigned* jobCount)
{
    if (data->busy)
        return NULL;
    unsigned parent = 0;
    if (parentHandle != 0 && parentHandle != (LPARAM)TVI_ROOT && !ItemOfHandle(data, parentHandle, &parent))
        return NULL;
    SortJob* jobs = CollectJobs(data, parent, recursive, jobCount);
    if (jobs)
        data->busy = TRUE;
    return jobs;
}

static int CompareEntryTexts(const SortEntry* a, const SortEntry* b, void*)
{
    return lstrcmpiW(a->text, b->text);
}

// Callback texts are asked first, each with the semaphore released; the
// stored texts are taken afterwards, when nothing can change them any more.
static BOOL GatherTexts(TreeListData* data, SortJob* job)
{
    WCHAR buffer[TL_DISPINFO_CHARS];
    int length;
    BOOL callback;
    for (unsigned i = 0; i < job->count; ++i) {
        unsigned number = job->entries[i].number;
        TreeListStoredText(data, number, 0, &length, &callback);
        if (!callback)
            continue;
        if (!job->ownTexts && !(job->ownTexts = (WCHAR**)calloc(job->count, sizeof(WCHAR*))))
            return FALSE;
        const WCHAR* text = TreeListShownText(data, number, 0, buffer, &length);
        if (!text || !(job->ownTexts[i] = _wcsdup(text)))
            return FALSE;
    }
    if (!JobStillValid(data, job))
        return FALSE;
    for (unsigned i = 0; i < job->count; ++i) {
        const WCHAR* own = job->ownTexts ? job->ownTexts[i] : NULL;
        job->entries[i].text = own ? own : TreeListStoredText(data, job->entries[i].number, 0, &length, &callback);
    }
    return TRUE;
}

static BOOL SortJobs(SortJob* jobs, unsigned jobCount, SortCompare compare, void* context)
{
    for (unsigned j = 0; j < jobCount; ++j) {
        SortEntry* scratch = (SortEntry*)malloc(jobs[j].count * sizeof(SortEntry));
        if (!scratch)
            return FALSE;
        MergeSort(jobs[j].entries, scratch, jobs[j].count, compare, context);
        free(scratch);
    }
    return TRUE;
}

LRESULT TreeListSortChildren(TreeListData* data, WPARAM recursive, LPARAM parent)
{
    unsigned jobCount = 0;
    SortJob* jobs = StartSort(data, parent, recursive != 0, &jobCount);
    if (!jobs)
        return 0;
    BOOL ok = TRUE;
    for (unsigned j = 0; j < jobCount && ok; ++j)
        ok = GatherTexts(data, &jobs[j]);
    ok = ok && SortJobs(jobs, jobCount, CompareEntryTexts, NULL);
    FinishSort(data, jobs, jobCount, ok);
    return ok;
}

static int CompareByCallback(const SortEntry* a, const SortEntry* b, void* context)
{
    const TVSORTCB* sort = (const TVSORTCB*)context;
    return sort->lpfnCompare(a->lParam, b->lParam, sort->lParam);
}

typedef struct ItemCompareContext {
    HWND hwnd;
    const TLSORTITEM* sort;
} ItemCompareContext;

static int CompareByItem(const SortEntry* a, const SortEntry* b, void* context)
{
    const ItemCompareContext* c = (const ItemCompareContext*)context;
    return c->sort->lpfnCompare(c->hwnd, (HTREEITEM)(ULONG_PTR)a->number, (HTREEITEM)(ULONG_PTR)b->number, a->lParam,
                                b->lParam, c->sort->lParam);
}

// The caller's comparison runs with the semaphore released.
static LRESULT SortWithCallback(TreeListData* data, BOOL recursive, LPARAM parent, SortCompare compare, void* context)
{
    unsigned jobCount = 0;
    SortJob* jobs = StartSort(data, parent, recursive, &jobCount);
    if (!jobs)
        return 0;
    TreeListUnlock(data);
    BOOL ok = SortJobs(jobs, jobCount, compare, context);
    TreeListLock(data);
    FinishSort(data, jobs, jobCount, ok);
    return ok;
}

LRESULT TreeListSortChildrenCB(TreeListData* data, WPARAM recursive, const TVSORTCB* sort)
{
    if (!sort || !sort->lpfnCompare)
        return 0;
    return SortWithCallback(data, recursive != 0, (LPARAM)sort->hParent, CompareByCallback, (void*)sort);
}

LRESULT TreeListSortChildrenByItem(TreeListData* data, WPARAM recursive, const TLSORTITEM* sort)
{
    if (!sort || !sort->lpfnCompare)
        return 0;
    ItemCompareContext context = {data->hwnd, sort};
    return SortWithCallback(data, recursive != 0, (LPARAM)sort->hParent, CompareByItem, &context);
}

// Searching -------------------------------------------------------------

static BOOL TextMatches(const WCHAR* text, const WCHAR* wanted, BOOL noCase)
{
    int length = lstrlenW(text);
    if (length != lstrlenW(wanted))
        return FALSE;
    if (!noCase)
        return memcmp(text, wanted, (size_t)length * sizeof(WCHAR)) == 0;
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text, length, wanted, length) == CSTR_EQUAL;
}

static unsigned FindStart(const TreeListData* data, WPARAM start, UINT flags)
{
    unsigned number = 0;
    BOOL isRoot = start == (WPARAM)TVI_ROOT || start == 0;
    if (flags & TLFIND_FROMCHILD) {
        if (isRoot)
            return data->firstTop;
        const TreeListItem* item = ItemOfHandle(data, (LPARAM)start, &number);
        return item ? item->firstChild : 0;
    }
    if (isRoot)
        return 0;
    const TreeListItem* item = ItemOfHandle(data, (LPARAM)start, &number);
    if (!item)
        return 0;
    return (flags & TLFIND_FROMNEXT) ? item->nextSibling : number;
}

LRESULT TreeListFindItem(TreeListData* data, WPARAM start, const TLFINDITEM* find)
{
    if (!find)
        return 0;
    UINT flags = find->uFlags;
    WCHAR buffer[TL_DISPINFO_CHARS];
    for (unsigned number = FindStart(data, start, flags); number;) {
        const TreeListItem* item = data->items[number];
        BOOL skip = ((flags & TLFIND_PARAM) && item->lParam != find->lParam)
                 || ((flags & TLFIND_STATE) && ((item->state ^ find->uState) & find->uStateMask));
        if (!skip && !(flags & TLFIND_TEXT))
            return number;
        if (!skip) {
            int length;
            const WCHAR* text = TreeListShownText(data, number, find->uColumn, buffer, &length);
            if (!text)
                return 0;
            if (TextMatches(text, find->pText ? find->pText : L"", (flags & TLFIND_NOCASE) != 0))
                return number;
            item = data->items[number];
        }
        number = item->nextSibling;
    }
    return 0;
}

// Marks -----------------------------------------------------------------

LRESULT TreeListSetInsertMark(TreeListData* data, WPARAM after, LPARAM handle)
{
    if (data->insertMarkItem) {
        if (data->busy)
            return 0;
        TreeListDeleteSilently(data, data->insertMarkItem);
        data->insertMarkItem = 0;
    }
    unsigned number;
    TreeListItem* target = handle ? ItemOfHandle(data, handle, &number) : NULL;
    if (!target)
        return 0;
    TVINSERTSTRUCTW insert;
    memset(&insert, 0, sizeof insert);
    insert.hParent = target->parent ? (HTREEITEM)(ULONG_PTR)target->parent : TVI_ROOT;
    if (after)
        insert.hInsertAfter = (HTREEITEM)(ULONG_PTR)number;
    else
        insert.hInsertAfter = target->prevSibling ? (HTREEITEM)(ULONG_PTR)target->prevSibling : TVI_FIRST;
    insert.item.mask = TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    insert.item.iImage = TL_NO_IMAGE;
    insert.item.iSelectedImage = TL_NO_IMAGE;
    unsigned mark = (unsigned)TreeListInsertItem(data, &insert);
    if (!mark)
        return 0;
    TreeListItem* item = data->items[mark];
    item->flags |= TLF_OWNBKCOLOUR;
    item->bkColour = data->colours[TLC_INSERTMARK];
    for (unsigned column = 1; column < data->columnCount; ++column) {
        TreeListCell* cell = TreeListMakeCell(data, mark, column);
        if (cell) {
            cell->flags |= TLF_OWNBKCOLOUR;
            cell->bkColour = data->colours[TLC_INSERTMARK];
        }
    }
    data->insertMarkItem = mark;
    return mark;
}

static void ClearCellMark(TreeListData* data)
{
    TreeListItem* item = TreeListGetItem(data, data->markItem);
    if (item) {
        if (data->markColumn == 0) {
            item->flags &= (BYTE)~TLF_MARKED;
        } else {
            TreeListCell* cell = TreeListGetCell(data, data->markItem, data->markColumn);
            if (cell)
                cell->flags &= (BYTE)~TLF_MARKED;
        }
        TreeListInvalidateCell(data, data->markItem, data->markColumn);
    }
    data->markItem = 0;
    data->markColumn = 0;
}

// The column of a cell message is used only in cell mode; it is checked
// against the columns at the parameter's whole width, so that high bits
// cannot fold it onto an existing column.
static BOOL CellColumnOf(const TreeListData* data, WPARAM columnParam, unsigned* column)
{
    WPARAM value = (data->exStyle & TLS_EX_CELLSELECT) ? columnParam : 0;
    if (value != 0 && value >= data->columnCount)
        return FALSE;
    *column = (unsigned)value;
    return TRUE;
}

LRESULT TreeListSetCellMark(TreeListData* data, WPARAM columnParam, LPARAM handle)
{
    ClearCellMark(data);
    if (handle == 0)
        return 1;
    unsigned column;
    unsigned number;
    TreeListItem* item = ItemOfHandle(data, handle, &number);
    if (!item || !CellColumnOf(data, columnParam, &column))
        return 0;
    if (column == 0) {
        item->flags |= TLF_MARKED;
    } else {
        TreeListCell* cell = TreeListGetCell(data, number, column);
        if (!cell)
            return 0;
        cell->flags |= TLF_MARKED;
    }
    data->markItem = number;
    data->markColumn = column;
    TreeListInvalidateCell(data, number, column);
    return 1;
}

LRESULT TreeListSelectCell(TreeListData* data, WPARAM columnParam, LPARAM handle)
{
    unsigned column;
    unsigned number;
    if (!CellColumnOf(data, columnParam, &column) || !ItemOfHandle(data, handle, &number))
        return 0;
    return TreeListSelectCaret(data, number, column, TVC_UNKNOWN);
}

void TreeListForgetItem(TreeListData* data, unsigned number)
{
    TreeListItem* item = data->items[number];
    if (item->state & TVIS_SELECTED)
        TreeListSetSelectedBit(data, item, FALSE);
    if (data->caretItem == number)
        data->caretColumn = 0;
    unsigned* naming[] = {&data->caretItem, &data->anchorItem, &data->focusItem, &data->dropItem,
                          &data->insertMarkItem, &data->markItem, &data->tipItem, &data->dragItem,
                          &data->keptPressItem, &data->editItem};
    for (unsigned i = 0; i < sizeof naming / sizeof naming[0]; ++i) {
        if (*naming[i] == number)
            *naming[i] = 0;
    }
}
