#pragma once
#include "framework/ReleasedDC.h"

namespace fw {

// The DC of the whole window, non-client area included.
using WindowDC = ReleasedDC<::GetWindowDC>;

} // namespace fw
