#include "ZdlEngine.h"

#include <string.h>

static unsigned ReadU16(const unsigned char* bytes)
{
    return (unsigned)bytes[0] | ((unsigned)bytes[1] << 8);
}

static unsigned ReadU32(const unsigned char* bytes)
{
    return (unsigned)bytes[0] | ((unsigned)bytes[1] << 8) | ((unsigned)bytes[2] << 16) | ((unsigned)bytes[3] << 24);
}

static void WriteU32(unsigned char* bytes, unsigned value)
{
    bytes[0] = (unsigned char)value;
    bytes[1] = (unsigned char)(value >> 8);
    bytes[2] = (unsigned char)(value >> 16);
    bytes[3] = (unsigned char)(value >> 24);
}

/* The length of a path that must end inside its ZDL_PATH_BYTES; -1 without a terminator there. */
static int PathLength(const unsigned char* path)
{
    int length;
    for (length = 0; length < ZDL_PATH_BYTES; ++length) {
        if (path[length] == 0)
            return length;
    }
    return -1;
}

/* Folded and without trailing backslashes, so that "C:\Data\" and "c:\data"
 * are one path and the root "C:\" is the prefix "C:" of everything on C:. */
static void MakeKey(const char* path, unsigned pathBytes, ZdlKey* key)
{
    key->length = pathBytes ? ZdlHostFoldPath(path, pathBytes, key->text, ZDL_KEY_CAPACITY) : 0;
    while (key->length > 0 && key->text[key->length - 1] == '\\')
        --key->length;
}

static int DriveOfKey(const ZdlKey* key)
{
    if (key->length < 2 || key->text[1] != ':' || key->text[0] < 'A' || key->text[0] > 'Z')
        return -1;
    return key->text[0] - 'A';
}

static int AnyListHolds(const ZdlEngine* engine, const ZdlKey* key)
{
    int i;
    for (i = 0; i < ZDL_LISTS; ++i) {
        if (ZdlListContains(&engine->lists[i], key->text, key->length))
            return 1;
    }
    return 0;
}

static int AnyListHoldsBelow(const ZdlEngine* engine, const ZdlKey* key)
{
    int i;
    for (i = 0; i < ZDL_LISTS; ++i) {
        if (ZdlListContainsDescendant(&engine->lists[i], key->text, key->length))
            return 1;
    }
    return 0;
}

/* What each mode denies, on a listed path ("the path") and around it:
 *
 *   operation            o      w             i      folder above a listed path
 *   read, copy, list     yes    no            no     no
 *   change content,
 *   size, attributes,
 *   times, security      yes    yes           no     no
 *   delete, rename,
 *   move                 yes    yes           yes    yes
 *   make a hard link     yes    yes           yes    no
 *
 * Below an o folder every operation is denied; below a w folder every
 * change, creating a file, deleting, renaming and hard links are. A copy
 * is a read of the data, so only o stops it. */
static int KeyDenies(const ZdlEngine* engine, unsigned operations, const ZdlKey* key)
{
    const ZdlPathList* lists = engine->lists;
    const unsigned takesAway = ZDL_OP_BIT(ZDL_OP_DELETE) | ZDL_OP_BIT(ZDL_OP_RENAME);
    const unsigned changes = ZDL_OP_BIT(ZDL_OP_MODIFY) | takesAway | ZDL_OP_BIT(ZDL_OP_LINK);
    const unsigned changesContents = changes | ZDL_OP_BIT(ZDL_OP_CREATE);
    /* A key that ends in a backslash names nothing listed itself. */
    int belowOnly = key->length > 0 && key->text[key->length - 1] == '\\';

    if (!belowOnly) {
        if (ZdlListContains(&lists[ZDL_FILE_O], key->text, key->length) ||
            ZdlListContains(&lists[ZDL_FOLDER_O], key->text, key->length))
            return 1;
        if ((operations & (takesAway | ZDL_OP_BIT(ZDL_OP_LINK))) && AnyListHolds(engine, key))
            return 1;
        if ((operations & changes) && (ZdlListContains(&lists[ZDL_FILE_W], key->text, key->length) ||
                                       ZdlListContains(&lists[ZDL_FOLDER_W], key->text, key->length)))
            return 1;
        if ((operations & takesAway) && AnyListHoldsBelow(engine, key))
            return 1;
    }
    if (ZdlListContainsAncestor(&lists[ZDL_FOLDER_O], key->text, key->length))
        return 1;
    return (operations & changesContents) && ZdlListContainsAncestor(&lists[ZDL_FOLDER_W], key->text, key->length);
}

int ZdlEngineChecksDrive(const ZdlEngine* engine, unsigned drive)
{
    return engine->protectOn && engine->driveWord != 0 && drive < ZDL_DRIVE_LETTERS &&
           (((engine->driveWord - ZDL_DRIVE_WORD_BASE) >> drive) & 1u);
}

int ZdlEngineDecide(const ZdlEngine* engine, unsigned operations, const ZdlKey* key)
{
    int drive = DriveOfKey(key);
    return drive >= 0 && ZdlEngineChecksDrive(engine, (unsigned)drive) && KeyDenies(engine, operations, key);
}

int ZdlEngineDenies(const ZdlEngine* engine, unsigned operation, const char* path)
{
    ZdlKey key;
    int length = PathLength((const unsigned char*)path);
    if (length < 0 || operation < ZDL_OP_READ || operation > ZDL_OP_LAST)
        return 0;
    MakeKey(path, (unsigned)length, &key);
    /* A copy is a read of the data as far as the file system can tell. */
    if (operation == ZDL_OP_COPY)
        operation = ZDL_OP_READ;
    return ZdlEngineDecide(engine, ZDL_OP_BIT(operation), &key);
}

static ZdlStatus SetFixedDrives(ZdlEngine* engine, unsigned char* buffer, unsigned long inBytes,
                                unsigned long outBytes, unsigned long* written)
{
    unsigned word;
    if (inBytes != 4 || outBytes != 4)
        return ZDL_STATUS_INVALID_PARAMETER;
    word = ReadU32(buffer);
    if (word != 0 && (word < ZDL_DRIVE_WORD_BASE || word - ZDL_DRIVE_WORD_BASE >= (1u << ZDL_DRIVE_LETTERS)))
        return ZDL_STATUS_INVALID_PARAMETER;
    engine->driveWord = word;
    WriteU32(buffer, word);
    *written = 4;
    return ZDL_STATUS_SUCCESS;
}

static ZdlStatus SetSwitch(ZdlEngine* engine, const unsigned char* buffer, unsigned long inBytes,
                           unsigned long outBytes)
{
    if (inBytes != 1 || outBytes != 0 || buffer[0] > 1)
        return ZDL_STATUS_INVALID_PARAMETER;
    engine->protectOn = buffer[0];
    return ZDL_STATUS_SUCCESS;
}

static ZdlStatus ChangeList(ZdlPathList* list, const unsigned char* buffer, unsigned long inBytes,
                            unsigned long outBytes)
{
    ZdlKey key;
    unsigned remove;
    int length;
    if (inBytes != ZDL_RECORD_BYTES || outBytes != 0)
        return ZDL_STATUS_INVALID_PARAMETER;
    length = PathLength(buffer);
    remove = ReadU16(buffer + ZDL_PATH_BYTES);
    if (length < 0 || remove > 1)
        return ZDL_STATUS_INVALID_PARAMETER;
    MakeKey((const char*)buffer, (unsigned)length, &key);
    if (key.length == 0)
        return ZDL_STATUS_INVALID_PARAMETER;
    if (remove) {
        ZdlListRemove(list, key.text, key.length);
        return ZDL_STATUS_SUCCESS;
    }
    if (!ZdlListAdd(list, key.text, key.length, (const char*)buffer, (unsigned)length))
        return ZDL_STATUS_INSUFFICIENT_RESOURCES;
    return ZDL_STATUS_SUCCESS;
}

static ZdlStatus ClearList(ZdlPathList* list, unsigned long inBytes, unsigned long outBytes)
{
    if (inBytes != 0 || outBytes != 0)
        return ZDL_STATUS_INVALID_PARAMETER;
    ZdlListClear(list);
    return ZDL_STATUS_SUCCESS;
}

static ZdlStatus QueryState(const ZdlEngine* engine, unsigned char* buffer, unsigned long inBytes,
                            unsigned long outBytes, unsigned long* written)
{
    unsigned long needed = ZDL_STATE_HEADER_BYTES;
    unsigned char* out;
    int i;
    unsigned j;
    if (inBytes != 0)
        return ZDL_STATUS_INVALID_PARAMETER;
    if (outBytes < ZDL_STATE_HEADER_BYTES)
        return ZDL_STATUS_BUFFER_TOO_SMALL;
    for (i = 0; i < ZDL_LISTS; ++i)
        needed += (unsigned long)engine->lists[i].count * ZDL_PATH_BYTES;

    WriteU32(buffer + 4 * ZDL_STATE_SWITCH, engine->protectOn);
    WriteU32(buffer + 4 * ZDL_STATE_DRIVE_WORD, engine->driveWord);
    for (i = 0; i < ZDL_LISTS; ++i)
        WriteU32(buffer + 4 * (ZDL_STATE_FILE_O_COUNT + i), engine->lists[i].count);
    WriteU32(buffer + 4 * ZDL_STATE_NEEDED_BYTES, (unsigned)needed);
    *written = ZDL_STATE_HEADER_BYTES;
    if (outBytes < needed)
        return ZDL_STATUS_BUFFER_OVERFLOW;

    out = buffer + ZDL_STATE_HEADER_BYTES;
    for (i = 0; i < ZDL_LISTS; ++i) {
        for (j = 0; j < engine->lists[i].count; ++j) {
            const ZdlEntry* entry = engine->lists[i].entries[j];
            memcpy(out, ZdlEntryPath(entry), entry->pathBytes);
            memset(out + entry->pathBytes, 0, ZDL_PATH_BYTES - entry->pathBytes);
            out += ZDL_PATH_BYTES;
        }
    }
    *written = needed;
    return ZDL_STATUS_SUCCESS;
}

static ZdlStatus CheckAccess(const ZdlEngine* engine, unsigned char* buffer, unsigned long inBytes,
                             unsigned long outBytes, unsigned long* written)
{
    unsigned operation;
    if (inBytes != ZDL_CHECK_INPUT_BYTES || outBytes < 4)
        return ZDL_STATUS_INVALID_PARAMETER;
    operation = ReadU32(buffer);
    if (operation < ZDL_OP_READ || operation > ZDL_OP_LAST || PathLength(buffer + 4) < 0)
        return ZDL_STATUS_INVALID_PARAMETER;
    WriteU32(buffer, (unsigned)ZdlEngineDenies(engine, operation, (const char*)buffer + 4));
    *written = 4;
    return ZDL_STATUS_SUCCESS;
}

static int ListOfCode(unsigned long code, unsigned long first)
{
    unsigned long index = (code - first) >> 2;
    if (code < first || ((code - first) & 3u) != 0 || index >= ZDL_LISTS)
        return -1;
    return (int)index;
}

void ZdlEngineInit(ZdlEngine* engine)
{
    int i;
    engine->protectOn = 0;
    engine->driveWord = 0;
    engine->memory.used = 0;
    engine->memory.limit = ZDL_MEMORY_LIMIT;
    for (i = 0; i < ZDL_LISTS; ++i)
        ZdlListInit(&engine->lists[i], &engine->memory);
}

void ZdlEngineRelease(ZdlEngine* engine)
{
    int i;
    for (i = 0; i < ZDL_LISTS; ++i)
        ZdlListClear(&engine->lists[i]);
}

static int IsEngineCode(unsigned long code)
{
    return code == IOCTL_SET_FIXED_DRIVES || code == IOCTL_SET_PROTECT_SWITCH || code == IOCTL_QUERY_STATE ||
           code == IOCTL_CHECK_ACCESS || ListOfCode(code, IOCTL_FILE_PROTECT_O) >= 0 ||
           ListOfCode(code, IOCTL_FILE_CLEAR_O) >= 0;
}

ZdlStatus ZdlEngineControl(ZdlEngine* engine, unsigned long code, void* buffer, unsigned long inBytes,
                           unsigned long outBytes, unsigned long* written)
{
    unsigned char* bytes = (unsigned char*)buffer;
    int list;
    *written = 0;
    if (!IsEngineCode(code))
        return ZDL_STATUS_INVALID_DEVICE_REQUEST;
    if (!bytes && (inBytes || outBytes))
        return ZDL_STATUS_INVALID_PARAMETER;
    switch (code) {
    case IOCTL_SET_FIXED_DRIVES:
        return SetFixedDrives(engine, bytes, inBytes, outBytes, written);
    case IOCTL_SET_PROTECT_SWITCH:
        return SetSwitch(engine, bytes, inBytes, outBytes);
    case IOCTL_QUERY_STATE:
        return QueryState(engine, bytes, inBytes, outBytes, written);
    case IOCTL_CHECK_ACCESS:
        return CheckAccess(engine, bytes, inBytes, outBytes, written);
    }
    list = ListOfCode(code, IOCTL_FILE_PROTECT_O);
    if (list >= 0)
        return ChangeList(&engine->lists[list], bytes, inBytes, outBytes);
    return ClearList(&engine->lists[ListOfCode(code, IOCTL_FILE_CLEAR_O)], inBytes, outBytes);
}
