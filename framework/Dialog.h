#pragma once
#include "framework/WindowObject.h"

namespace fw {

class DataExchange;

// A dialog made from a dialog template of the program's resources, run
// modally or created as a modeless window (a popup or a child page). A child
// dialog's controls belong to its parent dialog's keyboard navigation.
class Dialog : public WindowObject {
public:
    explicit Dialog(UINT templateId) : templateId_(templateId) {}
    ~Dialog() override;

    UINT TemplateId() const { return templateId_; }

    // Runs the dialog in a message loop of its own, with its owner disabled,
    // until EndDialog; returns the result given to EndDialog.
    INT_PTR DoModal(HWND owner);
    bool Create(HWND parent);
    void EndDialog(INT_PTR result);
    bool IsModal() const { return modal_; }

    // Hands a keyboard message to the dialog manager of the top-level dialog
    // that holds its window, modal or not (Tab, arrows, Enter, Escape,
    // mnemonics); returns whether the message has been dealt with. Without
    // it, keys in a modeless popup dialog would reach its controls only raw.
    static bool TranslateDialogKeys(MSG& msg);

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
    void RunModalLoop();

    UINT templateId_;
    bool modal_ = false;
    bool ended_ = false;
    INT_PTR result_ = IDCANCEL;
};

} // namespace fw
