#pragma once
#include "app/PngImage.h"
#include "framework/Dialog.h"
#include "framework/UniqueHandle.h"
#include "shell/CDlgSubMain.h"
#include "ui/skin/CZendalButtonFrame.h"

// The main window: a caption-less layered frame drawn from PNG images, with
// invisible minimise and close buttons, and the page host kept over it.
class CZendalFileSaDlg : public fw::Dialog {
public:
    static constexpr UINT kCloseHighlight = WM_USER + 1;
    static constexpr UINT kMinimizeHighlight = WM_USER + 2;
    static constexpr int kPageHostLeft = 15;
    static constexpr int kPageHostTop = 35;

    CZendalFileSaDlg();

    bool ProcessMessage(fw::Message& m) override;

    CDlgSubMain& PageHost() { return pageHost_; }
    int FollowFlag() const { return follow_; }
    // Draws the frame and the two buttons into a 32-bit top-down-readable
    // bitmap of the frame's size, as it is pushed to the screen.
    fw::Bitmap ComposeBitmap(HDC compatibleWith) const;

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    BOOL OnInitDialog() override;

private:
    void AddAboutEntry();
    bool GuardSingleInstance();
    void LoadImages();
    void CentreAndShow(int* x, int* y);
    void Compose();
    bool PageHostCovered() const;
    void KeepPageHostAbove();

    bool OnSysCommand(fw::Message& m);
    bool OnPaint(fw::Message& m);
    LRESULT OnQueryDragIcon(WPARAM, LPARAM);
    void OnIgnore() {}
    void OnClose();
    void OnMinimize();
    LRESULT OnCloseHighlight(WPARAM highlighted, LPARAM);
    LRESULT OnMinimizeHighlight(WPARAM highlighted, LPARAM);
    bool OnMove(fw::Message& m);
    bool OnLeftButtonDown(fw::Message& m);
    bool OnTimer(fw::Message& m);
    bool OnSize(fw::Message& m);
    bool OnEnable(fw::Message& m);

    fw::Icon icon_;
    CZendalButtonFrame minimizeButton_;
    CZendalButtonFrame closeButton_;
    CDlgSubMain pageHost_;
    int follow_ = 0;
    int closeHighlight_ = 0;
    int minimizeHighlight_ = 0;
    // Whether the frame's own disabling disabled the page host too.
    bool pageHostDisabled_ = false;
    PngImage frame_;
    PngImage closeNormal_;
    PngImage closeHot_;
    PngImage minimizeNormal_;
    PngImage minimizeHot_;
};
