#pragma once
#include <windows.h>

// Colours every skinned page and control shares.
namespace skin {

constexpr COLORREF kPageBackground = RGB(245, 255, 255);
constexpr COLORREF kFrameGrey = RGB(150, 150, 150);
constexpr COLORREF kGreyText = RGB(100, 100, 100);

} // namespace skin
