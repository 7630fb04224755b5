/* The driver's state and what each control request does to it: six
 * protection lists, the protection switch and the fixed-drive word, and the
 * access rules they add up to. Plain C without kernel headers, so that the
 * unit test runs the same code in user mode. Not locked: the caller
 * serialises every call on one engine. */
#ifndef ZDL_ENGINE_H
#define ZDL_ENGINE_H

#include "ZdlPathList.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The NT status values the engine answers with. */
typedef long ZdlStatus;
#define ZDL_STATUS_SUCCESS ((ZdlStatus)0x00000000L)
#define ZDL_STATUS_BUFFER_OVERFLOW ((ZdlStatus)0x80000005L)
#define ZDL_STATUS_INVALID_PARAMETER ((ZdlStatus)0xC000000DL)
#define ZDL_STATUS_INVALID_DEVICE_REQUEST ((ZdlStatus)0xC0000010L)
#define ZDL_STATUS_BUFFER_TOO_SMALL ((ZdlStatus)0xC0000023L)
#define ZDL_STATUS_INSUFFICIENT_RESOURCES ((ZdlStatus)0xC000009AL)

/* What all lists of an engine may take together. */
#define ZDL_MEMORY_LIMIT ((size_t)64 * 1024 * 1024)

typedef struct ZdlEngine {
    unsigned protectOn;
    unsigned driveWord;
    ZdlMemory memory;
    ZdlPathList lists[ZDL_LISTS];
} ZdlEngine;

/* A path as the rules compare it: UTF-16, upper-cased, drive letter first,
 * without trailing backslashes (a key that ends in one stands for "somewhere
 * below this folder"). */
typedef struct ZdlKey {
    unsigned length;
    ZdlChar text[ZDL_KEY_CAPACITY];
} ZdlKey;

/* The bit of an operation (enum ZdlOperation) in an operation mask. */
#define ZDL_OP_BIT(operation) (1u << (operation))

void ZdlEngineInit(ZdlEngine* engine);
/* Frees every list; the engine is empty afterwards. */
void ZdlEngineRelease(ZdlEngine* engine);

/* Carries out one buffered control request. The buffer holds inBytes of
 * input and has room for outBytes of output (it is at least as large as the
 * larger of the two, and may be NULL when both are 0). *written receives the
 * number of output bytes. A request that is not accepted changes nothing. */
ZdlStatus ZdlEngineControl(ZdlEngine* engine, unsigned long code, void* buffer, unsigned long inBytes,
                           unsigned long outBytes, unsigned long* written);

/* Whether operations on the drive (0 = A:) are checked at all: protection is
 * on and the drive is in a nonzero drive word. The filter asks for no name
 * when it is not. */
int ZdlEngineChecksDrive(const ZdlEngine* engine, unsigned drive);

/* The decision: whether the rules deny any of the operations in the mask
 * (ZDL_OP_BIT) on the key. IOCTL_CHECK_ACCESS and the file-system filter
 * both answer through it. */
int ZdlEngineDecide(const ZdlEngine* engine, unsigned operations, const ZdlKey* key);

/* ZdlEngineDecide for one operation (enum ZdlOperation) on a path given as a
 * NUL-terminated string in the ANSI code page of at most 255 bytes. */
int ZdlEngineDenies(const ZdlEngine* engine, unsigned operation, const char* path);

#ifdef __cplusplus
}
#endif

#endif
