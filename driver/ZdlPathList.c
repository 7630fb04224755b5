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

static size_t EntryBytes(unsigned keyLength, unsigned pathBytes)
{
    return offsetof(ZdlEntry, key) + keyLength * sizeof(ZdlChar) + pathBytes;
}

static void* Allocate(ZdlMemory* memory, size_t bytes)
{
    void* block;
    if (bytes > memory->limit - memory->used)
        return NULL;
    block = ZdlHostAllocate(bytes);
    if (block)
        memory->used += bytes;
    return block;
}

static void Release(ZdlMemory* memory, void* block, size_t bytes)
{
    ZdlHostFree(block);
    memory->used -= bytes;
}

static void ReleaseEntry(ZdlMemory* memory, ZdlEntry* entry)
{
    Release(memory, entry, EntryBytes(entry->keyLength, entry->pathBytes));
}

static int Grow(ZdlPathList* list)
{
    unsigned capacity = list->capacity ? list->capacity * 2 : 16;
    ZdlEntry** entries;
    if (capacity > ZDL_LIST_LIMIT)
        capacity = ZDL_LIST_LIMIT;
    entries = (ZdlEntry**)Allocate(list->memory, capacity * sizeof(ZdlEntry*));
    if (!entries)
        return 0;
    if (list->count)
        memcpy(entries, list->entries, list->count * sizeof(ZdlEntry*));
    if (list->entries)
        Release(list->memory, list->entries, list->capacity * sizeof(ZdlEntry*));
    list->entries = entries;
    list->capacity = capacity;
    return 1;
}

static ZdlEntry* NewEntry(ZdlMemory* memory, const ZdlChar* key, unsigned keyLength, const char* path,
                          unsigned pathBytes)
{
    ZdlEntry* entry = (ZdlEntry*)Allocate(memory, EntryBytes(keyLength, pathBytes));
    if (!entry)
        return NULL;
    entry->keyLength = (unsigned short)keyLength;
    entry->pathBytes = (unsigned short)pathBytes;
    memcpy(entry->key, key, keyLength * sizeof(ZdlChar));
    memcpy(entry->key + keyLength, path, pathBytes);
    return entry;
}

const char* ZdlEntryPath(const ZdlEntry* entry)
{
    return (const char*)(entry->key + entry->keyLength);
}

void ZdlListInit(ZdlPathList* list, ZdlMemory* memory)
{
    list->entries = NULL;
    list->count = 0;
    list->capacity = 0;
    list->memory = memory;
}

void ZdlListClear(ZdlPathList* list)
{
    unsigned i;
    for (i = 0; i < list->count; ++i)
        ReleaseEntry(list->memory, list->entries[i]);
    if (list->entries)
        Release(list->memory, list->entries, list->capacity * sizeof(ZdlEntry*));
    ZdlListInit(list, list->memory);
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

/* Orders an entry against the key followed by a backslash. */
static int CompareWithFolder(const ZdlEntry* entry, const ZdlChar* key, unsigned keyLength)
{
    unsigned probeLength = keyLength + 1;
    unsigned shorter = entry->keyLength < probeLength ? entry->keyLength : probeLength;
    unsigned i;
    for (i = 0; i < shorter; ++i) {
        ZdlChar probe = i < keyLength ? key[i] : (ZdlChar)'\\';
        if (entry->key[i] != probe)
            return entry->key[i] < probe ? -1 : 1;
    }
    if (entry->keyLength == probeLength)
        return 0;
    return entry->keyLength < probeLength ? -1 : 1;
}

/* Every key below this one starts with it and a backslash; such keys sort
 * together, so the first key not before "key\" decides. */
int ZdlListContainsDescendant(const ZdlPathList* list, const ZdlChar* key, unsigned keyLength)
{
    unsigned low = 0;
    unsigned high = list->count;
    const ZdlEntry* next;
    while (low < high) {
        unsigned middle = low + (high - low) / 2;
        if (CompareWithFolder(list->entries[middle], key, keyLength) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    if (low >= list->count)
        return 0;
    next = list->entries[low];
    return next->keyLength > keyLength + 1 && next->key[keyLength] == '\\' &&
           CompareKeys(next->key, keyLength, key, keyLength) == 0;
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
    entry = NewEntry(list->memory, key, keyLength, path, pathBytes);
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
    ReleaseEntry(list->memory, list->entries[position]);
    --list->count;
    memmove(&list->entries[position], &list->entries[position + 1], (list->count - position) * sizeof(ZdlEntry*));
}
