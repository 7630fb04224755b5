/* The same layouts from Wine's fltkernel.h (Debian's libwine-dev), an
 * independent declaration of the Filter Manager interface. Compiled with
 * Wine's header set alone. */
#include <stdarg.h>
#define WIN32_NO_STATUS
#include <windef.h>
#include <winternl.h>
#undef WIN32_NO_STATUS
#include <ntstatus.h>
#include <ddk/fltkernel.h>

#include "FltLayout.h"

FLT_LAYOUT_DEFINE(kWineFltLayout, kWineFltLayoutCount, FLT_LAYOUT_TABLE)
