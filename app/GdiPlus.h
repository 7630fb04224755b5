#pragma once
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out, and
// min/max, which NOMINMAX keeps out of the global namespace.
#include <windows.h>
#include <objidl.h>
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
} // namespace Gdiplus
#include <gdiplus.h>
