#pragma once
#include "framework/WindowObject.h"

#include <string>

namespace fw {

class ComboBox : public WindowObject {
public:
    int AddString(const std::wstring& text) const
    {
        return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    int CurSel() const { return static_cast<int>(Send(CB_GETCURSEL)); }
    void SetCurSel(int index) const { Send(CB_SETCURSEL, static_cast<WPARAM>(index)); }
    int Count() const { return static_cast<int>(Send(CB_GETCOUNT)); }
    void ResetContent() const { Send(CB_RESETCONTENT); }
};

} // namespace fw
