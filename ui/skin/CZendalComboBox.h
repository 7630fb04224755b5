#pragma once
#include "framework/ComboBox.h"

// A drop-down list with a flat grey border and a coloured button part that
// lights up while the mouse is over it. A timer polls the cursor from the
// first mouse move on, so the control notices the cursor leaving it.
class CZendalComboBox : public fw::ComboBox {
public:
    static constexpr UINT_PTR kHoverTimer = 520;

    bool ProcessMessage(fw::Message& m) override;

private:
    enum class Look { Normal, Hot };

    bool OnMouseMove(fw::Message& m);
    bool OnLeftButtonDown(fw::Message& m);
    bool OnLeftButtonUp(fw::Message& m);
    bool OnTimer(fw::Message& m);
    bool OnPaint(fw::Message& m);
    bool OnSetFocus(fw::Message& m);
    bool OnKillFocus(fw::Message& m);
    void PollHover();
    void StopHover();
    void RemoveBorderStyles() const;
    void DrawSkin(Look look) const;
    void DrawFrames(HDC dc, const RECT& client) const;
    void DrawButtonPart(HDC dc, const RECT& inner, Look look) const;

    bool pressed_ = false;
    bool hot_ = false;
};
