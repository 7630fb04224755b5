#pragma once
#include <windows.h>

namespace testkit {

// A visible top-level window for a page under test to live in, as the page
// host would hold it. Destroyed, with the page window in it, at the end.
class PopupParent {
public:
    PopupParent();
    ~PopupParent();
    PopupParent(const PopupParent&) = delete;
    PopupParent& operator=(const PopupParent&) = delete;

    HWND Handle() const { return hwnd_; }
    void Destroy();

private:
    HWND hwnd_;
};

} // namespace testkit
