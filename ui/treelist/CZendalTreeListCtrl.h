#pragma once
#include "framework/UniqueHandle.h"
#include "framework/WindowObject.h"
#include "ui/treelist/TreeList.h"

#include <vector>

// One column of a page's list.
struct CZendalTreeListColumn {
    const wchar_t* caption;
    int width; // pixels
};

// The wrapper through which a page drives its "TreeList" child (id 12321).
// Every operation is one message to the list; the wrapper's only behaviour
// of its own is that a click on an item's check box first gives the item's
// direct children the state the item is about to take.
class CZendalTreeListCtrl : public fw::WindowObject {
public:
    static constexpr int kControlId = 12321;
    // Lines at the root, selection across the whole row, automatic row
    // heights made even.
    static constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | TVS_LINESATROOT | TVS_FULLROWSELECT | TVS_NONEVENHEIGHT;
    static constexpr DWORD kCheckBoxListStyle = kListStyle | TVS_CHECKBOXES;

    // Creates the list 1 pixel inside the page's placeholder control (the
    // colour frame drawn around it), with row repaint and the columns in
    // order; false when the list could not be made.
    bool Create(HWND page, int placeholderId, DWORD style, const std::vector<CZendalTreeListColumn>& columns);
    // 16 x 16 images from bitmap resources, white transparent, in the order
    // given. The page keeps the list alive as long as its list window.
    static fw::ImageList LoadImages(HINSTANCE module, const std::vector<UINT>& bitmapIds);
    void SetImageList(HIMAGELIST images) const;

    // A top-level item at the end of the list: its handle, or null.
    HTREEITEM InsertItem(const wchar_t* text) const;
    bool SetItemText(HTREEITEM item, int column, const wchar_t* text) const;
    bool SetItemTextAndImage(HTREEITEM item, int column, const wchar_t* text, int image) const;
    // The text stored inside the list, not a copy: valid until the cell
    // changes. "" for a cell never set; null for an invalid item or column.
    const wchar_t* GetItemText(HTREEITEM item, int column) const;
    HTREEITEM GetSelectedItem() const;
    HTREEITEM RowToItem(unsigned row) const;
    unsigned GetCount() const;
    // Deleting repaints the whole list at once.
    bool DeleteItem(HTREEITEM item) const;
    bool DeleteAllItems() const;
    // 1 checked, 0 unchecked, -1 no check box.
    int GetCheck(HTREEITEM item) const;
    bool SetCheck(HTREEITEM item, bool checked) const;
    // 1 with children, 0 without, -1 when the parent is asked each time.
    int HasChildren(HTREEITEM item) const;
    HTREEITEM HitTest(POINT client, UINT* flags) const;
    HTREEITEM GetChildItem(HTREEITEM item) const;
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const;

    bool ProcessMessage(fw::Message& m) override;

private:
    bool OnCheckBoxClick(fw::Message& m);
    void SetChildrenChecks(HTREEITEM item, bool checked) const;
    void AddColumn(int index, const CZendalTreeListColumn& column) const;
};
