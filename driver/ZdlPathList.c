#include "ZdlPathList.h"

#include <string.h>

static int CompareKeys(const ZdlChar* a, unsigned aLength, const ZdlChar* b, unsigned bLength)
{
    unsigned shorter = aLength < bLength ? aLength : bLength;
    unsigned i;
    for (i = 0; i < shorter; ++i) {
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    }
    if (aLength == bLength)
        return 0;
    return aLength < bLength ? -1 : 1;
}

/* Returns whether the key is listed; *position is where it is or would go. */
static int FindKey(const ZdlPathList* list, const ZdlChar* key, unsigned keyLength, unsigned* position)
{
    unsigned low = 0;
    unsigned high = list->count;
    while (low < high) {
        unsigned middle = low + (high - low) / 2;
        const ZdlEntry* entry = list->entries[middle];
        int order = CompareKeys(entry->key, entry->keyLength, key, keyLength);
        if (order == 0) {
            *position = middle;
            return 1;
        }
        if (order < 0)
            low = middle + 1;
        else
            high = middle;
    }
    *position = low;
    return 0;
}

static int Grow(ZdlPathList* list)
{
    unsigned capacity = list->capacity ? list->capacity * 2 : 16;
    ZdlEntry** entries;
    if (capacity > ZDL_LIST_LIMIT)
        capacity = ZDL_LIST_LIMIT;
    entries = (ZdlEntry**)ZdlHostAllocate(capacity * sizeof(ZdlEntry*));
    if (!entries)
        return 0;
    if (list->count)
        memcpy(entries, list->entries, list->count * sizeof(ZdlEntry*));
    if (list->entries)
        ZdlHostFree(list->entries);
    list->entries = entries;
    list->capacity = capacity;
    return 1;
}

static ZdlEntry* NewEntry(const ZdlChar* key, unsigned keyLength, const char* path, unsigned pathBytes)
{
    ZdlEntry* entry = (ZdlEntry*)ZdlHostAllocate(offsetof(ZdlEntry, key) + keyLength * sizeof(ZdlChar));
    if (!entry)
        return NULL;
    memset(entry->path, 0, sizeof(entry->path));
    memcpy(entry->path, path, pathBytes);
    entry->keyLength = (unsigned short)keyLength;
    memcpy(entry->key, key, keyLength * sizeof(ZdlChar));
    return entry;
}

void ZdlListInit(ZdlPathList* list)
{
    list->entries = NULL;
    list->count = 0;
    list->capacity = 0;
}

void ZdlListClear(ZdlPathList* list)
{
    unsigned i;
    for (i = 0; i < list->count; ++i)
        ZdlHostFree(list->entries[i]);
    if (list->entries)
        ZdlHostFree(list->entries);
    ZdlListInit(list);
}

int ZdlListContains(const ZdlPathList* list, const ZdlChar* key, unsigned keyLength)
{
    unsigned position;
    return FindKey(list, key, keyLength, &position);
}

int ZdlListContainsAncestor(const ZdlPathList* list, const ZdlChar* key, unsigned keyLength)
{
    unsigned end;
    for (end = 1; end < keyLength; ++end) {
        if (key[end] == '\\' && ZdlListContains(list, key, end))
            return 1;
    }
    return 0;
}

int ZdlListAdd(ZdlPathList* list, const ZdlChar* key, unsigned keyLength, const char* path, unsigned pathBytes)
{
    unsigned position;
    ZdlEntry* entry;
    if (FindKey(list, key, keyLength, &position))
        return 1;
    if (list->count >= ZDL_LIST_LIMIT)
        return 0;
    if (list->count == list->capacity && !Grow(list))
        return 0;
    entry = NewEntry(key, keyLength, path, pathBytes);
    if (!entry)
        return 0;
    memmove(&list->entries[position + 1], &list->entries[position], (list->count - position) * sizeof(ZdlEntry*));
    list->entries[position] = entry;
    ++list->count;
    return 1;
}

void ZdlListRemove(ZdlPathList* list, const ZdlChar* key, unsigned keyLength)
{
    unsigned position;
    if (!FindKey(list, key, keyLength, &position))
        return;
    ZdlHostFree(list->entries[position]);
    --list->count;
    memmove(&list->entries[position], &list->entries[position + 1], (list->count - position) * sizeof(ZdlEntry*));
}
