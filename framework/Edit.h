#pragma once
#include "framework/WindowObject.h"

namespace fw {

class Edit : public WindowObject {
public:
    void SetLimitText(UINT characters) const { Send(EM_SETLIMITTEXT, characters); }
    void SetReadOnly(bool readOnly) const { Send(EM_SETREADONLY, readOnly ? TRUE : FALSE); }
    void SetSel(int start, int end) const { Send(EM_SETSEL, static_cast<WPARAM>(start), end); }
};

} // namespace fw
