#pragma once
#include "framework/ReleasedDC.h"

namespace fw {

// The DC of a window's client area (or of the screen, for a null window).
using ClientDC = ReleasedDC<::GetDC>;

} // namespace fw
