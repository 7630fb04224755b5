/* The layouts of the driver's own Filter Manager declarations. */
#include <ntifs.h>

#include "driver/ZdlFltKernel.h"
#include "FltLayout.h"

FLT_LAYOUT_DEFINE(kOwnFltLayout, kOwnFltLayoutCount, FLT_LAYOUT_TABLE)
FLT_LAYOUT_DEFINE(kOwnOnlyFltLayout, kOwnOnlyFltLayoutCount, FLT_LAYOUT_TABLE_OWN_ONLY)
