#pragma once
#include <windows.h>

namespace fw {

class WindowObject;

// Binds the controls of a dialog template to their wrapper objects: each
// control is subclassed into its object, which then sees its messages first.
class DataExchange {
public:
    explicit DataExchange(HWND dialog) : dialog_(dialog) {}

    // Returns false when the template has no such control or it is bound already.
    bool Control(int id, WindowObject& control);

    HWND Dialog() const { return dialog_; }

private:
    HWND dialog_;
};

} // namespace fw
