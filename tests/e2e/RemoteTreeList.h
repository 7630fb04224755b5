#pragma once
#include "framework/UniqueHandle.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace e2e {

// A TreeList window of another process, read and changed through its
// messages. The records those messages point to must lie in the list's own
// process, so one block is reserved there and copied in and out.
class RemoteTreeList {
public:
    explicit RemoteTreeList(HWND list);
    ~RemoteTreeList();
    RemoteTreeList(const RemoteTreeList&) = delete;
    RemoteTreeList& operator=(const RemoteTreeList&) = delete;

    bool Valid() const { return block_ != nullptr; }
    std::vector<HTREEITEM> RootRows() const;
    // The text of one cell (column 0 is the row's own text).
    std::wstring CellText(HTREEITEM item, int column) const;
    // 1 ticked, 0 not ticked, -1 without a check box.
    int Check(HTREEITEM item) const;
    bool SetCheck(HTREEITEM item, bool ticked) const;

private:
    // Sends a message whose parameter is the record, with the record and
    // the text buffer behind it copied to the list's process and back.
    bool Exchange(UINT message, TVITEMW* record, std::wstring* text) const;

    HWND list_;
    fw::KernelHandle process_;
    void* block_ = nullptr;
};

} // namespace e2e
