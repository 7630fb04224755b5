/* The file-system filter's decisions: pre-operation callbacks that turn each
 * operation into the rule engine's operations on a drive-letter path and
 * complete the denied ones with STATUS_ACCESS_DENIED. Include after
 * <ntifs.h> and ZdlFltKernel.h. The unit test compiles this in user mode
 * with stand-ins for the Filter Manager's name functions. */
#ifndef ZDL_FILTER_H
#define ZDL_FILTER_H

#include "ZdlEngine.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The operations the filter registers for, ended by IRP_MJ_OPERATION_END. */
extern const FLT_OPERATION_REGISTRATION ZdlFilterOperations[];

/* Points the callbacks at the engine they decide with and forgets every
 * volume. Called before filtering starts. */
void ZdlFilterStart(const ZdlEngine* engine);

/* The drive letter of each attached volume, looked up by its instance. Both
 * are called under the engine lock held exclusively. */
void ZdlFilterAddVolume(PFLT_INSTANCE instance, WCHAR letter);
void ZdlFilterRemoveVolume(PFLT_INSTANCE instance);

#ifdef __cplusplus
}
#endif

#endif
