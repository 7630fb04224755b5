#pragma once
#include "framework/Static.h"
#include "framework/UniqueHandle.h"

#include <shellapi.h>

#include <string>

// A static text that works as a link: underlined, a hand cursor, grey, blue
// under the mouse and red once visited. A click opens the target with the
// shell's "open" verb.
class CZendalHyperLink : public fw::Static {
public:
    // The shell call that opens the target; ShellExecuteW unless replaced.
    using OpenFunction = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);

    CZendalHyperLink();
    ~CZendalHyperLink() override;

    void SetTarget(const std::wstring& target) { target_ = target; }
    bool IsVisited() const { return visited_; }
    void SetOpenFunction(OpenFunction open) { open_ = open; }

    bool ProcessMessage(fw::Message& m) override;

protected:
    void PreSubclassWindow() override;

private:
    void OnClicked();
    bool OnMouseMove(fw::Message& m);
    HBRUSH OnCtlColor(HDC dc, HWND, UINT);
    LRESULT OnSetCursor(WPARAM, LPARAM);
    void UseUnderlinedFont();
    void RedrawNow() const;

    fw::Font underlinedFont_;
    HFONT originalFont_ = nullptr;
    bool hover_ = false;
    bool visited_ = false;
    std::wstring target_;
    HCURSOR handCursor_ = nullptr;
    COLORREF normalColor_;
    COLORREF hoverColor_;
    COLORREF visitedColor_;
    OpenFunction open_ = &::ShellExecuteW;
};
