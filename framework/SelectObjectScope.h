#pragma once
#include <windows.h>

namespace fw {

// Selects a GDI object into a DC for the scope and puts the previous one back.
// The object itself stays owned by whoever created it.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ obj) : dc_(dc), previous_(::SelectObject(dc, obj)) {}
    ~SelectObjectScope() { if (previous_ && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_); }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

} // namespace fw
