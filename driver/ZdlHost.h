/* What the rule engine needs from the code around it: the kernel in the
 * driver, Win32 in the engine's unit test. */
#ifndef ZDL_HOST_H
#define ZDL_HOST_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One UTF-16 code unit. */
typedef unsigned short ZdlChar;

/* NULL when no memory is left. */
void* ZdlHostAllocate(size_t bytes);
void ZdlHostFree(void* block);

/* Converts pathBytes bytes of a path in the system ANSI code page to UTF-16
 * and upper-cases it, so that paths compare regardless of letter case.
 * Returns the number of units written, at most capacity; 0 on failure. */
unsigned ZdlHostFoldPath(const char* path, unsigned pathBytes, ZdlChar* key, unsigned capacity);

/* Upper-cases one UTF-16 unit the way ZdlHostFoldPath does. */
ZdlChar ZdlHostUpcase(ZdlChar unit);

/* The lock that guards the engine: the filter reads under it shared, the
 * control requests change the engine under it exclusively. */
void ZdlHostLockShared(void);
void ZdlHostUnlockShared(void);

#ifdef __cplusplus
}
#endif

#endif
