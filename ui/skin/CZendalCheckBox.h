#pragma once
#include "framework/Button.h"
#include "framework/UniqueHandle.h"

// A check box drawn in the program's own style. The checked state is the
// control's own flag: pages read it with BM_GETCHECK after the command the
// control posts them for each click.
class CZendalCheckBox : public fw::Button {
public:
    CZendalCheckBox();

    bool ProcessMessage(fw::Message& m) override;

protected:
    void PreSubclassWindow() override;

private:
    LRESULT OnSetCheck(WPARAM state, LPARAM);
    LRESULT OnGetCheck(WPARAM, LPARAM);
    void OnClicked();
    bool OnMouseMove(fw::Message& m);
    void OnMouseLeave();
    void DrawItem(const DRAWITEMSTRUCT& item);
    void DrawBox(HDC dc, int centre) const;
    void DrawCheckMark(HDC dc, POINT origin) const;
    void DrawLabel(HDC dc, const RECT& item) const;
    void TrackMouseLeave() const;

    DWORD style_ = 0;
    bool hot_ = false;
    bool checked_ = false;
    bool disabled_ = false;
    bool focused_ = false;
    bool selected_ = false;
    fw::Pen checkPen_;
};
