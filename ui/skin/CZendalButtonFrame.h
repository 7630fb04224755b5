#pragma once
#include "ui/skin/CZendalButtonBase.h"

// An invisible button that only reports to its parent whether it is hot, so
// that the parent paints the highlight itself. Enter on it does nothing, as
// Enter anywhere on the frame.
class CZendalButtonFrame : public CZendalButtonBase {
public:
    CZendalButtonFrame() : CZendalButtonBase(false) {}

    UINT notifyMessage = 0;

protected:
    void DrawButton(const DRAWITEMSTRUCT& item) override;
};
