/* One protection list of the driver: paths kept sorted by their folded key,
 * so that lookups, duplicates and "is anything above this path listed"
 * questions are binary searches. */
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

typedef struct ZdlEntry {
    char path[ZDL_PATH_BYTES]; /* as received, NUL-padded */
    unsigned short keyLength;
    ZdlChar key[];
} ZdlEntry;

typedef struct ZdlPathList {
    ZdlEntry** entries;
    unsigned count;
    unsigned capacity;
} ZdlPathList;

void ZdlListInit(ZdlPathList* list);
/* Frees every entry and the list's storage. */
void ZdlListClear(ZdlPathList* list);

int ZdlListContains(const ZdlPathList* list, const ZdlChar* key, unsigned keyLength);
/* Whether the list holds a folder that the key lies below. */
int ZdlListContainsAncestor(const ZdlPathList* list, const ZdlChar* key, unsigned keyLength);

/* Adds the path unless its key is already listed. Returns 0 when the list is
 * full or memory ran out, leaving the list unchanged; 1 otherwise. */
int ZdlListAdd(ZdlPathList* list, const ZdlChar* key, unsigned keyLength, const char* path, unsigned pathBytes);
/* Takes the key out if it is listed. */
void ZdlListRemove(ZdlPathList* list, const ZdlChar* key, unsigned keyLength);

#ifdef __cplusplus
}
#endif

#endif
