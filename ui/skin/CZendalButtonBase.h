#pragma once
#include "framework/Button.h"

// What the three skinned push buttons share: they turn their control into an
// owner-drawn button, track the mouse for the hot state and work out their
// visual state from the owner-draw item state. Space presses a focused one,
// as it does any button; Enter does too unless the button says otherwise.
class CZendalButtonBase : public fw::Button {
public:
    enum VisualState { Normal = 0, Hot = 1, Pressed = 2, Emphasised = 3, Disabled = 4 };

    explicit CZendalButtonBase(bool pressedByEnter = true) : pressedByEnter_(pressedByEnter) {}

    bool ProcessMessage(fw::Message& m) override;

    int hover = 0;
    int tracking = 0;
    int focus = 0;
    int emphasised = 0;
    int visualState = Normal;

protected:
    void PreSubclassWindow() override;
    // Recomputes the flags and the visual state from an owner-draw item state.
    int UpdateVisualState(UINT itemState);
    virtual void DrawButton(const DRAWITEMSTRUCT& item) = 0;

private:
    bool OnGetDlgCode(fw::Message& m);
    bool OnKeyDown(fw::Message& m);
    bool OnMouseMove(fw::Message& m);
    void OnMouseHover();
    void OnMouseLeave();
    void OnDrawItem(const DRAWITEMSTRUCT& item) { DrawButton(item); }

    const bool pressedByEnter_;
};
