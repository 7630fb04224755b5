/* One protection list of the driver: paths kept sorted by their folded key,
 * so that lookups, duplicates and "is anything above or below this path
 * listed" questions are binary searches. */
#ifndef ZDL_PATH_LIST_H
#define ZDL_PATH_LIST_H

#include "ZdlHost.h"
#include "ZdlProtocol.h"

#ifdef __cplusplus
extern "C" {
#endif

#define ZDL_LIST_LIMIT 65536u
/* A path of at most 255 bytes never yields more UTF-16 units than bytes. */
#define ZDL_KEY_CAPACITY (ZDL_PATH_BYTES - 1)

/* The bytes all lists of one engine may hold together, entries and their
 * index arrays, so that no caller of the device can exhaust the pool. */
typedef struct ZdlMemory {
    size_t used;
    size_t limit;
} ZdlMemory;

/* Sized to its path: the folded key, then the path as received. */
typedef struct ZdlEntry {
    unsigned short keyLength;
    unsigned short pathBytes;
    ZdlChar key[];
} ZdlEntry;

typedef struct ZdlPathList {
    ZdlEntry** entries;
    unsigned count;
    unsigned capacity;
    ZdlMemory* memory;
} ZdlPathList;

/* The path bytes of an entry, not NUL-terminated. */
const char* ZdlEntryPath(const ZdlEntry* entry);

void ZdlListInit(ZdlPathList* list, ZdlMemory* memory);
/* Frees every entry and the list's storage. */
void ZdlListClear(ZdlPathList* list);

int ZdlListContains(const ZdlPathList* list, const ZdlChar* key, unsigned keyLength);
/* Whether the list holds a folder that the key lies below. */
int ZdlListContainsAncestor(const ZdlPathList* list, const ZdlChar* key, unsigned keyLength);
/* Whether the list holds a path that lies below the key. */
int ZdlListContainsDescendant(const ZdlPathList* list, const ZdlChar* key, unsigned keyLength);

/* Adds the path unless its key is already listed. Returns 0 when the list is
 * full or the memory limit or the pool ran out, leaving the list unchanged;
 * 1 otherwise. */
int ZdlListAdd(ZdlPathList* list, const ZdlChar* key, unsigned keyLength, const char* path, unsigned pathBytes);
/* Takes the key out if it is listed. */
void ZdlListRemove(ZdlPathList* list, const ZdlChar* key, unsigned keyLength);

#ifdef __cplusplus
}
#endif

#endif
