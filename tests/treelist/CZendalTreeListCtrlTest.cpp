// The page-side wrapper on real page templates: creation in the placeholder,
// the exact records of its operations, and check-box propagation under
// real clicks.
#include "framework/Dialog.h"
#include "framework/Window.h"
#include "support/Input.h"
#include "support/PumpUntil.h"
#include "ui/treelist/CZendalTreeListCtrl.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr UINT kDiskHidePage = 160;
constexpr UINT kEncryptPage = 141;
constexpr int kPlaceholder = 1015;
constexpr UINT kDiskBitmap = 161;

// A page made from a real template that creates its list while it
// initialises, the way the pages do, and records the list's notifications.
class ListPage : public fw::Dialog {
public:
    ListPage(UINT templateId, DWORD style, std::vector<CZendalTreeListColumn> columns, std::vector<UINT> bitmaps)
        : fw::Dialog(templateId), style_(style), columns_(std::move(columns)), bitmaps_(std::move(bitmaps))
    {
    }
    ~ListPage() override
    {
        if (hwnd_)
            ::DestroyWindow(hwnd_);
        if (popup_)
            ::DestroyWindow(popup_);
    }

    bool Open()
    {
        popup_ = ::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 700, 640, nullptr,
                                   nullptr, nullptr, nullptr);
        if (!popup_ || !Create(popup_))
            return false;
        Show();
        ::SetForegroundWindow(popup_);
        ::UpdateWindow(hwnd_);
        testkit::PumpPending();
        return created;
    }

    bool ProcessMessage(fw::Message& m) override
    {
        if (m.id == WM_NOTIFY && reinterpret_cast<NMHDR*>(m.lParam)->idFrom == CZendalTreeListCtrl::kControlId)
            codes.push_back(reinterpret_cast<NMHDR*>(m.lParam)->code);
        return fw::Dialog::ProcessMessage(m);
    }

    CZendalTreeListCtrl list;
    fw::ImageList images;
    bool created = false;
    std::vector<UINT> codes;

protected:
    BOOL OnInitDialog() override
    {
        created = CreateList();
        return TRUE;
    }

private:
    bool CreateList()
    {
        bool made = list.Create(hwnd_, kPlaceholder, style_, columns_);
        images = CZendalTreeListCtrl::LoadImages(::GetModuleHandleW(nullptr), bitmaps_);
        list.SetImageList(images.Get());
        return made;
    }

    DWORD style_;
    std::vector<CZendalTreeListColumn> columns_;
    std::vector<UINT> bitmaps_;
    HWND popup_ = nullptr;
};

ListPage* DiskPage()
{
    return new ListPage(kDiskHidePage, CZendalTreeListCtrl::kCheckBoxListStyle, {{L"磁盘", 492}}, {kDiskBitmap});
}

ListPage* EncryptPage()
{
    return new ListPage(kEncryptPage, CZendalTreeListCtrl::kListStyle,
                        {{L"准备操作的文件列表", 392}, {L"操作状态", 100}}, {143, 145, 144});
}

std::wstring HeaderCaption(HWND list, int column)
{
    wchar_t text[64] = L"";
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    ::SendMessageW(reinterpret_cast<HWND>(::SendMessageW(list, TLM_GETHEADER, 0, 0)), HDM_GETITEMW, column,
                   reinterpret_cast<LPARAM>(&item));
    return text;
}

HTREEITEM InsertChild(HWND list, HTREEITEM parent, const wchar_t* text)
{
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<LPWSTR>(text);
    return reinterpret_cast<HTREEITEM>(::SendMessageW(list, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

// Every message that reaches the list window, with a copy of the records
// the operations hand over.
class RecordsSeen {
public:
    explicit RecordsSeen(HWND list) : list_(list)
    {
        current_ = this;
        previous_ = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordsSeen::Proc)));
    }
    ~RecordsSeen()
    {
        ::SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        current_ = nullptr;
    }

    struct Seen {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        TVITEMW item;
        TVINSERTSTRUCTW insert;
        std::wstring text;
    };
    std::vector<Seen> seen;

    // The last message of that number.
    const Seen& Last(UINT message) const
    {
        for (auto it = seen.rbegin(); it != seen.rend(); ++it)
            if (it->message == message)
                return *it;
        static Seen none{};
        return none;
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        RecordsSeen* self = current_;
        if (message >= TV_FIRST && message < TV_FIRST + 0x100) {
            Seen record{message, wParam, lParam, {}, {}, {}};
            if (message == TVM_INSERTITEMW) {
                record.insert = *reinterpret_cast<TVINSERTSTRUCTW*>(lParam);
                record.text = record.insert.item.pszText ? record.insert.item.pszText : L"";
            } else if (message == TVM_SETITEMW || message == TVM_GETITEMW) {
                record.item = *reinterpret_cast<TVITEMW*>(lParam);
                if (message == TVM_SETITEMW && record.item.pszText)
                    record.text = record.item.pszText;
            }
            self->seen.push_back(record);
        }
        return ::CallWindowProcW(self->previous_, hwnd, message, wParam, lParam);
    }

    static RecordsSeen* current_;
    HWND list_;
    WNDPROC previous_;
};

RecordsSeen* RecordsSeen::current_ = nullptr;

} // namespace

TEST(CZendalTreeListCtrl, ListFillsThePlaceholderOnePixelInsideWithThePagesConfiguration)
{
    std::unique_ptr<ListPage> page(DiskPage());
    ASSERT_TRUE(page->Open());
    fw::Window list(page->list.Handle());
    ASSERT_TRUE(list.IsWindow());
    EXPECT_EQ(page->list.Handle(), ::GetDlgItem(page->Handle(), CZendalTreeListCtrl::kControlId));
    EXPECT_EQ(&page->list, fw::WindowObject::FromHandle(list.Handle()));
    wchar_t className[32] = L"";
    ::GetClassNameW(list.Handle(), className, 32);
    EXPECT_STREQ(L"TreeList", className);
    EXPECT_EQ(0x50005104u, list.Style() & ~static_cast<DWORD>(WS_VSCROLL | WS_HSCROLL));

    RECT frame = fw::Window(::GetDlgItem(page->Handle(), kPlaceholder)).RectIn(page->Handle());
    RECT inside = list.RectIn(page->Handle());
    EXPECT_EQ(frame.left + 1, inside.left);
    EXPECT_EQ(frame.top + 1, inside.top);
    EXPECT_EQ(frame.right - 1, inside.right);
    EXPECT_EQ(frame.bottom - 1, inside.bottom);

    EXPECT_EQ(static_cast<LRESULT>(TLS_EX_ROWREPAINT), list.Send(TVM_GETEXTENDEDSTYLE));
    EXPECT_EQ(1, list.Send(TLM_GETCOLUMNCOUNT));
    EXPECT_EQ(492, list.Send(TLM_GETCOLUMNWIDTH, 0));
    EXPECT_EQ(L"磁盘", HeaderCaption(list.Handle(), 0));

    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(list.Send(TVM_GETIMAGELIST, TVSIL_NORMAL));
    EXPECT_EQ(page->images.Get(), images);
    EXPECT_EQ(1, ::ImageList_GetImageCount(images));
    int width = 0, height = 0;
    ::ImageList_GetIconSize(images, &width, &height);
    EXPECT_EQ(16, width);
    EXPECT_EQ(16, height);

    // The list goes with the page; the page's image list outlives it.
    HWND gone = list.Handle();
    ::DestroyWindow(page->Handle());
    EXPECT_FALSE(::IsWindow(gone));
    EXPECT_EQ(1, ::ImageList_GetImageCount(page->images.Get()));
}

TEST(CZendalTreeListCtrl, EncryptionPageHasTwoColumnsAndThreeImages)
{
    std::unique_ptr<ListPage> page(EncryptPage());
    ASSERT_TRUE(page->Open());
    fw::Window list(page->list.Handle());
    EXPECT_EQ(0x50005004u, list.Style() & ~static_cast<DWORD>(WS_VSCROLL | WS_HSCROLL));
    EXPECT_EQ(2, list.Send(TLM_GETCOLUMNCOUNT));
    EXPECT_EQ(392, list.Send(TLM_GETCOLUMNWIDTH, 0));
    EXPECT_EQ(100, list.Send(TLM_GETCOLUMNWIDTH, 1));
    EXPECT_EQ(L"准备操作的文件列表", HeaderCaption(list.Handle(), 0));
    EXPECT_EQ(L"操作状态", HeaderCaption(list.Handle(), 1));
    EXPECT_EQ(3, ::ImageList_GetImageCount(page->images.Get()));
    EXPECT_EQ(-1, page->list.GetCheck(page->list.InsertItem(L"C:\\A.TXT"))) << "no check boxes";
}

TEST(CZendalTreeListCtrl, OperationsSendTheirExactRecords)
{
    std::unique_ptr<ListPage> page(EncryptPage());
    ASSERT_TRUE(page->Open());
    CZendalTreeListCtrl& list = page->list;
    RecordsSeen records(list.Handle());

    HTREEITEM item = list.InsertItem(L"C:\\A.TXT");
    EXPECT_EQ(reinterpret_cast<HTREEITEM>(1), item);
    const auto& insert = records.Last(TVM_INSERTITEMW);
    EXPECT_EQ(0u, insert.wParam);
    EXPECT_EQ(TVI_ROOT, insert.insert.hParent);
    EXPECT_EQ(TVI_LAST, insert.insert.hInsertAfter);
    EXPECT_EQ(0x23u, insert.insert.item.mask);
    EXPECT_EQ(L"C:\\A.TXT", insert.text);
    EXPECT_EQ(0, insert.insert.item.iImage);
    EXPECT_EQ(0, insert.insert.item.iSelectedImage);
    EXPECT_EQ(0u, insert.insert.item.state);
    EXPECT_EQ(0u, insert.insert.item.stateMask);
    EXPECT_EQ(0, insert.insert.item.lParam);

    EXPECT_TRUE(list.SetItemText(item, 1, L"准备加密"));
    const auto& text = records.Last(TVM_SETITEMW);
    EXPECT_EQ(0x8001u, text.item.mask);
    EXPECT_EQ(item, text.item.hItem);
    EXPECT_EQ(256, text.item.cchTextMax);
    EXPECT_EQ(1, text.item.cChildren);
    EXPECT_EQ(0u, text.item.state);
    EXPECT_EQ(0u, text.item.stateMask);
    EXPECT_TRUE(list.SetItemText(item, 1, nullptr));
    EXPECT_EQ(0, records.Last(TVM_SETITEMW).item.cchTextMax);

    EXPECT_TRUE(list.SetItemTextAndImage(item, 1, L"完成", 1));
    const auto& both = records.Last(TVM_SETITEMW);
    EXPECT_EQ(0x8003u, both.item.mask);
    EXPECT_EQ(1, both.item.iImage);
    EXPECT_EQ(1, both.item.iSelectedImage);
    EXPECT_EQ(256, both.item.cchTextMax);
    EXPECT_EQ(0, both.item.lParam);

    const wchar_t* stored = list.GetItemText(item, 1);
    ASSERT_NE(nullptr, stored);
    EXPECT_STREQ(L"完成", stored);
    EXPECT_EQ(0x80008001u, records.Last(TVM_GETITEMW).item.mask);
    EXPECT_EQ(1, records.Last(TVM_GETITEMW).item.cChildren);
    EXPECT_EQ(stored, list.GetItemText(item, 1)) << "a pointer into the list, not a copy";

    list.GetSelectedItem();
    EXPECT_EQ(static_cast<WPARAM>(TVGN_CARET), records.Last(TVM_GETNEXTITEM).wParam);
    EXPECT_EQ(item, list.RowToItem(0));
    EXPECT_EQ(1u, list.GetCount());
    EXPECT_EQ(0, list.HasChildren(item));
    EXPECT_EQ(static_cast<UINT>(TVIF_CHILDREN), records.Last(TVM_GETITEMW).item.mask);
    list.GetCheck(item);
    EXPECT_EQ(0x18u, records.Last(TVM_GETITEMW).item.mask);
    EXPECT_EQ(0xF000u, records.Last(TVM_GETITEMW).item.stateMask);
    list.SetCheck(item, true);
    EXPECT_EQ(0x18u, records.Last(TVM_SETITEMW).item.mask);
    EXPECT_EQ(0x2000u, records.Last(TVM_SETITEMW).item.state);
    list.SetCheck(item, false);
    EXPECT_EQ(0x1000u, records.Last(TVM_SETITEMW).item.state);
    list.GetChildItem(item);
    EXPECT_EQ(static_cast<WPARAM>(TVGN_CHILD), records.Last(TVM_GETNEXTITEM).wParam);
    list.GetNextSiblingItem(item);
    EXPECT_EQ(static_cast<WPARAM>(TVGN_NEXT), records.Last(TVM_GETNEXTITEM).wParam);
    EXPECT_EQ(reinterpret_cast<LPARAM>(item), records.Last(TVM_GETNEXTITEM).lParam);
}

TEST(CZendalTreeListCtrl, CellsReadAndWrittenByPointer)
{
    std::unique_ptr<ListPage> page(EncryptPage());
    ASSERT_TRUE(page->Open());
    CZendalTreeListCtrl& list = page->list;
    HTREEITEM item = list.InsertItem(L"C:\\B.TXT");

    // A cell never set reads as an empty string, with success.
    const wchar_t* never = list.GetItemText(item, 1);
    ASSERT_NE(nullptr, never);
    EXPECT_STREQ(L"", never);
    EXPECT_STREQ(L"C:\\B.TXT", list.GetItemText(item, 0));
    // The first set of a column-1 text creates the cell.
    EXPECT_TRUE(list.SetItemTextAndImage(item, 1, L"失败", 2));
    EXPECT_STREQ(L"失败", list.GetItemText(item, 1));
    TVITEMW image{};
    image.mask = TLIF_COLUMN | TVIF_IMAGE;
    image.hItem = item;
    image.cChildren = 1;
    ASSERT_TRUE(list.Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&image)));
    EXPECT_EQ(2, image.iImage);

    EXPECT_EQ(nullptr, list.GetItemText(item, 2)) << "no such column";
    EXPECT_EQ(nullptr, list.GetItemText(reinterpret_cast<HTREEITEM>(99), 0));
    EXPECT_FALSE(list.SetItemText(reinterpret_cast<HTREEITEM>(99), 1, L"x"));
    EXPECT_FALSE(list.SetItemText(item, 2, L"x"));
}

TEST(CZendalTreeListCtrl, DeletingAllLeavesNoSelectionAndNoRows)
{
    std::unique_ptr<ListPage> page(EncryptPage());
    ASSERT_TRUE(page->Open());
    CZendalTreeListCtrl& list = page->list;
    HTREEITEM first = list.InsertItem(L"C:\\1.TXT");
    HTREEITEM second = list.InsertItem(L"C:\\2.TXT");
    list.Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(second));
    EXPECT_EQ(second, list.GetSelectedItem());

    EXPECT_TRUE(list.DeleteItem(first));
    EXPECT_FALSE(list.DeleteItem(first));
    EXPECT_EQ(second, list.RowToItem(0));
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(nullptr, list.GetSelectedItem());
    EXPECT_EQ(nullptr, list.RowToItem(0));
    EXPECT_EQ(0u, list.GetCount());
    EXPECT_FALSE(list.DeleteAllItems()) << "already empty";

    // Deleting repaints the whole list at once.
    ::ValidateRect(list.Handle(), nullptr);
    list.InsertItem(L"C:\\3.TXT");
    ::ValidateRect(list.Handle(), nullptr);
    list.DeleteAllItems();
    RECT dirty{};
    EXPECT_TRUE(::GetUpdateRect(list.Handle(), &dirty, FALSE));
    EXPECT_EQ(list.ClientRect().right, dirty.right);
    EXPECT_EQ(list.ClientRect().bottom, dirty.bottom);
}

TEST(CZendalTreeListCtrl, ChildrenAndHitTest)
{
    std::unique_ptr<ListPage> page(DiskPage());
    ASSERT_TRUE(page->Open());
    CZendalTreeListCtrl& list = page->list;
    HTREEITEM parent = list.InsertItem(L"C:");
    HTREEITEM a = InsertChild(list.Handle(), parent, L"a");
    HTREEITEM b = InsertChild(list.Handle(), parent, L"b");
    EXPECT_EQ(1, list.HasChildren(parent));
    EXPECT_EQ(a, list.GetChildItem(parent));
    EXPECT_EQ(b, list.GetNextSiblingItem(a));
    EXPECT_EQ(nullptr, list.GetNextSiblingItem(b));

    TVINSERTSTRUCTW insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_CHILDREN;
    insert.item.pszText = const_cast<LPWSTR>(L"D:");
    insert.item.cChildren = I_CHILDRENCALLBACK;
    HTREEITEM asked = reinterpret_cast<HTREEITEM>(list.Send(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    EXPECT_EQ(-1, list.HasChildren(asked));

    RECT rect{};
    std::memcpy(&rect, &parent, sizeof parent);
    list.Send(TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
    UINT flags = 0;
    EXPECT_EQ(parent, list.HitTest(POINT{rect.left + 2, (rect.top + rect.bottom) / 2}, &flags));
    EXPECT_EQ(static_cast<UINT>(TVHT_ONITEMLABEL), flags);
    EXPECT_EQ(parent, list.HitTest(POINT{4, (rect.top + rect.bottom) / 2}, &flags));
    EXPECT_EQ(static_cast<UINT>(TVHT_ONITEMSTATEICON), flags);
    EXPECT_EQ(nullptr, list.HitTest(POINT{4, list.ClientRect().bottom - 2}, &flags));
    EXPECT_EQ(static_cast<UINT>(TVHT_NOWHERE), flags);
}

TEST(CZendalTreeListCtrl, CheckBoxClickGivesTheDirectChildrenTheItemsNewState)
{
    std::unique_ptr<ListPage> page(DiskPage());
    ASSERT_TRUE(page->Open());
    CZendalTreeListCtrl& list = page->list;
    HTREEITEM parent = list.InsertItem(L"C:");
    HTREEITEM checkedChild = InsertChild(list.Handle(), parent, L"checked");
    HTREEITEM uncheckedChild = InsertChild(list.Handle(), parent, L"unchecked");
    HTREEITEM grandchild = InsertChild(list.Handle(), checkedChild, L"grandchild");
    HTREEITEM alone = list.InsertItem(L"D:");
    list.SetCheck(checkedChild, true);
    list.Send(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    auto screenAt = [&](HTREEITEM item, int x) {
        RECT rect{};
        std::memcpy(&rect, &item, sizeof item);
        list.Send(TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&rect));
        POINT point{x, (rect.top + rect.bottom) / 2};
        ::ClientToScreen(list.Handle(), &point);
        return point;
    };
    page->codes.clear();

    testkit::ClickAt(screenAt(parent, 4));
    EXPECT_EQ(1, list.GetCheck(parent));
    EXPECT_EQ(1, list.GetCheck(checkedChild));
    EXPECT_EQ(1, list.GetCheck(uncheckedChild));
    EXPECT_EQ(0, list.GetCheck(grandchild)) << "grandchildren are not touched";
    EXPECT_EQ(0, list.GetCheck(alone));
    EXPECT_EQ((std::vector<UINT>{NM_SETFOCUS, TLN_STATEIMAGECLICKED, TVN_SELCHANGINGW, TVN_SELCHANGEDW, NM_CLICK}),
              page->codes);

    testkit::ClickAt(screenAt(parent, 11));
    EXPECT_EQ(0, list.GetCheck(parent));
    EXPECT_EQ(0, list.GetCheck(checkedChild));
    EXPECT_EQ(0, list.GetCheck(uncheckedChild));

    // A click on the text changes no check state.
    RECT text{};
    std::memcpy(&text, &parent, sizeof parent);
    list.Send(TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text));
    testkit::ClickAt(screenAt(parent, text.left + 4));
    EXPECT_EQ(0, list.GetCheck(parent));
    EXPECT_EQ(0, list.GetCheck(checkedChild));

    // An item without children changes alone.
    testkit::ClickAt(screenAt(alone, 4));
    EXPECT_EQ(1, list.GetCheck(alone));
    EXPECT_EQ(0, list.GetCheck(parent));

    // A double click switches the box twice; the children end as the item does.
    testkit::DoubleClickAt(screenAt(parent, 8));
    EXPECT_EQ(0, list.GetCheck(parent));
    EXPECT_EQ(0, list.GetCheck(checkedChild));
    EXPECT_EQ(0, list.GetCheck(uncheckedChild));
}
