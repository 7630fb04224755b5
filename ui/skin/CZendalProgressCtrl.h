#pragma once
#include "framework/UniqueHandle.h"
#include "framework/WindowObject.h"
#include "ui/skin/SelfPaintedControl.h"

#include <atomic>

// A gradient progress bar over a standard progress control. Workers move it
// from their own threads: range and position are atomics, and a change only
// invalidates the window, which the user-interface thread then paints.
class CZendalProgressCtrl : public SelfPaintedControl<fw::WindowObject> {
public:
    CZendalProgressCtrl();

    // Any thread. The position is clamped into the range; the bar is
    // repainted only when the stored position changes.
    void SetRange(double minimum, double maximum);
    void SetPos(double value);
    double Minimum() const { return minimum_; }
    double Maximum() const { return maximum_; }
    double Pos() const { return position_; }

    bool ProcessMessage(fw::Message& m) override;

protected:
    void PreSubclassWindow() override;
    void Paint(HDC dc) override;

private:
    bool OnDestroy(fw::Message&);
    double Clamped(double value) const;
    double PositionForPainting();
    void DrawFrame(HDC dc, const RECT& client) const;
    void DrawBar(HDC dc, const RECT& inner, int end) const;
    void Repaint() const;

    std::atomic<double> minimum_{0.0};
    std::atomic<double> maximum_{1.0};
    std::atomic<double> position_{0.0};
    // The window as workers see it; cleared when the window goes away.
    std::atomic<HWND> window_{nullptr};
    fw::Pen framePen_;
};
