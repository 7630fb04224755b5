#pragma once
#include "framework/Message.h"
#include "framework/MessageMap.h"
#include "framework/PaintDC.h"

// A control wrapper that paints the whole control itself, on screen and when
// it is printed (WM_PRINTCLIENT), from one Paint function.
template <class Base>
class SelfPaintedControl : public Base {
public:
    bool ProcessMessage(fw::Message& m) override
    {
        using Self = SelfPaintedControl;
        return fw::Dispatch(this, m,
                            fw::OnMessage(WM_PAINT, &Self::OnPaint),
                            fw::OnMessage(WM_PRINTCLIENT, &Self::OnPrintClient))
            || Base::ProcessMessage(m);
    }

protected:
    virtual void Paint(HDC dc) = 0;

private:
    void OnPaint()
    {
        fw::PaintDC dc(this->Handle());
        Paint(dc);
    }

    LRESULT OnPrintClient(WPARAM dc, LPARAM)
    {
        Paint(reinterpret_cast<HDC>(dc));
        return 0;
    }
};
