#pragma once
#include "framework/WindowObject.h"

namespace fw {

class DataExchange;

// A dialog made from a dialog template of the program's resources, run
// modally or created as a modeless window (a child page).
class Dialog : public WindowObject {
public:
    explicit Dialog(UINT templateId) : templateId_(templateId) {}
    ~Dialog() override;

    UINT TemplateId() const { return templateId_; }

    INT_PTR DoModal(HWND owner);
    bool Create(HWND parent);
    void EndDialog(INT_PTR result);
    bool IsModal() const { return modal_; }

    bool ProcessMessage(Message& m) override;

protected:
    // Binds the template's controls to their wrapper objects.
    virtual void DoDataExchange(DataExchange&) {}
    // Runs after data exchange; returns whether the system should set the focus.
    virtual BOOL OnInitDialog() { return TRUE; }

private:
    static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
    static bool ReturnsResultDirectly(UINT msg);
    BOOL InitDialog(HWND hwnd);

    UINT templateId_;
    bool modal_ = false;
};

} // namespace fw
