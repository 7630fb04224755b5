// The invariants of the record: the item table and its counts, the sibling
// links and levels, the row list and the items' row numbers, the selection
// count and the fields that name items or columns. Items being deleted (a
// detached subtree still being reported) are in the table but not in the
// tree, the rows or the caret.
#include "ui/treelist/TreeListData.h"

#include <stdio.h>

typedef struct Checker {
    const TreeListData* data;
    char* problem;
    size_t size;
} Checker;

static BOOL Broken(Checker* c, const char* what, unsigned first, unsigned second)
{
    snprintf(c->problem, c->size, "%s (%u, %u)", what, first, second);
    return FALSE;
}

static BOOL CheckTable(Checker* c)
{
    const TreeListData* data = c->data;
    if (data->highestItem && data->highestItem >= data->itemCapacity)
        return Broken(c, "highest item number beyond the table", data->highestItem, data->itemCapacity);
    if (data->highestItem && !data->items[data->highestItem])
        return Broken(c, "highest item number names no item", data->highestItem, 0);
    if (data->itemCapacity && data->items[0])
        return Broken(c, "entry 0 is used", 0, 0);
    unsigned count = 0;
    for (unsigned n = 1; n < data->itemCapacity; ++n) {
        if (!data->items[n])
            continue;
        if (n > data->highestItem)
            return Broken(c, "item above the highest number", n, data->highestItem);
        ++count;
    }
    if (count != data->itemCount)
        return Broken(c, "items in the table differ from the count", count, data->itemCount);
    return TRUE;
}

// Every live item is reached once from the root through sibling links that
// agree in both directions, with its parent and its level.
static BOOL CheckLinks(Checker* c)
{
    const TreeListData* data = c->data;
    unsigned reached = 0;
    unsigned parent = 0;
    unsigned number = data->firstTop;
    unsigned previous = 0;
    for (;;) {
        if (number) {
            const TreeListItem* item = TreeListGetLiveItem(data, number);
            if (!item)
                return Broken(c, "a sibling link names no live item", previous, number);
            if (++reached > data->itemCount)
                return Broken(c, "the sibling links go round", number, 0);
            const TreeListItem* parentItem = parent ? data->items[parent] : NULL;
            if (item->parent != parent || item->prevSibling != previous)
                return Broken(c, "parent or previous sibling link is wrong", number, item->parent);
            if (item->level != (parentItem ? parentItem->level + 1 : 0))
                return Broken(c, "level is not the parent's level + 1", number, item->level);
            if (item->firstChild) {
                parent = number;
                previous = 0;
                number = item->firstChild;
                continue;
            }
            if (item->lastChild)
                return Broken(c, "last child without a first child", number, item->lastChild);
            previous = number;
            number = item->nextSibling;
            continue;
        }
        // The end of a chain of siblings: it must be its parent's last child.
        unsigned last = parent ? data->items[parent]->lastChild : data->lastTop;
        if (last != previous)
            return Broken(c, "last child link is wrong", parent, last);
        if (!parent)
            break;
        previous = parent;
        number = data->items[parent]->nextSibling;
        parent = data->items[parent]->parent;
    }
    unsigned live = 0;
    for (unsigned n = 1; n <= data->highestItem; ++n)
        live += TreeListGetLiveItem(data, n) != NULL;
    if (live != reached)
        return Broken(c, "live items not reached from the root", live, reached);
    return TRUE;
}

// The rows are exactly the top-level items and the children of expanded
// rows, in tree order, and each item knows its row.
static BOOL CheckRows(Checker* c)
{
    const TreeListData* data = c->data;
    if (data->rowCount > data->rowCapacity)
        return Broken(c, "more rows than room", data->rowCount, data->rowCapacity);
    if (data->firstRow && data->firstRow >= data->rowCount)
        return Broken(c, "first visible row past the rows", data->firstRow, data->rowCount);
    unsigned index = 0;
    for (unsigned n = data->firstTop; n; n = TreeListNextItem(data, n, 0, TRUE), ++index) {
        if (index >= data->rowCount || data->rows[index] != n)
            return Broken(c, "row list differs from the expanded tree at row", index, n);
        if (data->items[n]->row != index + 1)
            return Broken(c, "item's row number differs from its row", n, data->items[n]->row);
    }
    if (index != data->rowCount)
        return Broken(c, "rows beyond the expanded tree", index, data->rowCount);
    unsigned numbered = 0;
    for (unsigned n = 1; n <= data->highestItem; ++n)
        numbered += data->items[n] && data->items[n]->row;
    if (numbered != data->rowCount)
        return Broken(c, "items with a row number not in the rows", numbered, data->rowCount);
    return TRUE;
}

static BOOL NamesItemOrNothing(const TreeListData* data, unsigned number)
{
    return number == 0 || TreeListGetItem(data, number) != NULL;
}

static BOOL CheckReferences(Checker* c)
{
    const TreeListData* data = c->data;
    unsigned selected = 0;
    for (unsigned n = 1; n <= data->highestItem; ++n)
        selected += data->items[n] && (data->items[n]->state & TVIS_SELECTED);
    if (selected != data->selectedCount)
        return Broken(c, "selected items differ from the count", selected, data->selectedCount);
    if (data->caretItem && !TreeListGetLiveItem(data, data->caretItem))
        return Broken(c, "caret names no live item", data->caretItem, 0);
    const unsigned named[] = {data->anchorItem, data->focusItem,  data->dropItem, data->insertMarkItem,
                              data->markItem,   data->tipItem,    data->dragItem, data->keptPressItem,
                              data->editItem};
    for (unsigned i = 0; i < sizeof named / sizeof named[0]; ++i) {
        if (!NamesItemOrNothing(data, named[i]))
            return Broken(c, "a field names a freed item", i, named[i]);
    }
    if (data->columnCount > TL_MAX_COLUMNS)
        return Broken(c, "too many columns", data->columnCount, TL_MAX_COLUMNS);
    if (data->caretColumn >= TreeListShownColumns(data))
        return Broken(c, "caret column past the columns", data->caretColumn, data->columnCount);
    return TRUE;
}

// Cells exist only for items, and only in the tables of existing columns.
static BOOL CheckCells(Checker* c)
{
    const TreeListData* data = c->data;
    for (unsigned column = 1; column < TL_MAX_COLUMNS; ++column) {
        TreeListCell* const* cells = data->cellTables[column];
        if (!cells)
            continue;
        if (column >= data->columnCount)
            return Broken(c, "cell table of a column that does not exist", column, data->columnCount);
        for (unsigned n = 0; n < data->itemCapacity; ++n) {
            if (cells[n] && !data->items[n])
                return Broken(c, "cell of no item", n, column);
        }
    }
    return TRUE;
}

BOOL TreeListCheckInvariants(const TreeListData* data, char* problem, size_t size)
{
    Checker c = {data, problem, size};
    if (size)
        problem[0] = 0;
    return CheckTable(&c) && CheckLinks(&c) && CheckRows(&c) && CheckReferences(&c) && CheckCells(&c);
}
