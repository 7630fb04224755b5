// In-place editing: the editor child, the begin and end notifications, Enter,
// Escape and focus loss, combos, callback texts, and the ways editing starts.
#include "TreeListHost.h"

#include "support/Input.h"
#include "support/PumpUntil.h"

#include <string>
#include <vector>

using treelist_test::Notification;
using treelist_test::TreeListHost;

namespace {

constexpr UINT kBeginMask = TLIF_COLUMN | TVIF_HANDLE | TVIF_TEXT | TVIF_STATE | TVIF_PARAM;
constexpr UINT kDropMask = TLIF_COLUMN | TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;

std::wstring TextOf(HWND hwnd)
{
    wchar_t text[300] = L"";
    ::GetWindowTextW(hwnd, text, 300);
    return text;
}

std::wstring ClassOf(HWND hwnd)
{
    wchar_t name[64] = L"";
    ::GetClassNameW(hwnd, name, 64);
    return name;
}

class EditList {
public:
    explicit EditList(DWORD style = treelist_test::kPageStyle | TVS_EDITLABELS) : host(style, 400, 200)
    {
        ::SetForegroundWindow(host.Parent());
        host.AddColumn(L"name", 200);
        host.AddColumn(L"state", 150);
        item = host.Insert(L"report.txt", 0, TVI_LAST, 9);
        host.Insert(L"other.txt");
        ::SetFocus(host.List());
        testkit::PumpPending();
        host.notifications.clear();
    }

    HWND Edit(unsigned column = 0, UINT kind = 0) const
    {
        return reinterpret_cast<HWND>(host.Send(TVM_EDITLABELW, TLEDITLABEL(column, kind), item));
    }
    HWND Editor() const { return reinterpret_cast<HWND>(host.Send(TVM_GETEDITCONTROL)); }

    TreeListHost host;
    unsigned item = 0;
};

} // namespace

TEST(TreeListEditing, AListWithoutEditLabelsIgnoresTheRequest)
{
    EditList list(treelist_test::kPageStyle);
    list.host.Send(TLM_SETCOLUMNEDITMODE, TLEDIT_WPARAM(0, 1, TLEF_DOUBLECLICK), 0);
    EXPECT_EQ(0, list.host.Send(TVM_EDITLABELW, 0, list.item));
    EXPECT_EQ(nullptr, list.Editor());
    EXPECT_TRUE(list.host.Of(TVN_BEGINLABELEDITW).empty());
    EXPECT_EQ(nullptr, ::GetDlgItem(list.host.List(), 3));
}

TEST(TreeListEditing, EnterKeepsTheTypedText)
{
    EditList list;
    HWND editor = list.Edit();
    ASSERT_NE(nullptr, editor);
    EXPECT_EQ(editor, list.Editor());
    EXPECT_EQ(L"Edit", ClassOf(editor));
    EXPECT_EQ(3, ::GetDlgCtrlID(editor));
    EXPECT_TRUE(::IsWindowVisible(editor));
    EXPECT_EQ(editor, ::GetFocus());
    EXPECT_EQ(L"report.txt", TextOf(editor));
    EXPECT_EQ(list.item, list.host.Next(0, TVGN_CARET));
    std::vector<Notification> begins = list.host.Of(TVN_BEGINLABELEDITW);
    ASSERT_EQ(1u, begins.size());
    EXPECT_EQ(kBeginMask, begins[0].mask);
    EXPECT_EQ(list.item, begins[0].newItem);
    EXPECT_EQ(L"report.txt", begins[0].text);
    EXPECT_EQ(9, begins[0].newParam);
    EXPECT_EQ(0, begins[0].column);

    list.host.notifications.clear();
    testkit::TypeText(L"notes");
    testkit::PressKey(VK_RETURN);
    std::vector<Notification> ends = list.host.Of(TVN_ENDLABELEDITW);
    ASSERT_EQ(1u, ends.size());
    EXPECT_EQ(kBeginMask | TLIF_EDITCHANGED | TLIF_EDITRETURN, ends[0].mask);
    EXPECT_EQ(L"notes", ends[0].text);
    EXPECT_EQ(list.item, ends[0].newItem);
    EXPECT_EQ(L"notes", list.host.Text(list.item));
    EXPECT_EQ(nullptr, list.Editor());
    EXPECT_FALSE(::IsWindowVisible(editor));
    EXPECT_EQ(list.host.List(), ::GetFocus());
    EXPECT_TRUE(list.host.Of(NM_RETURN).empty()) << "the editor's Enter is not the list's";
}

TEST(TreeListEditing, EscapeDropsTheText)
{
    EditList list;
    ASSERT_NE(nullptr, list.Edit());
    testkit::TypeText(L"gone");
    testkit::PressKey(VK_ESCAPE);
    std::vector<Notification> ends = list.host.Of(TVN_ENDLABELEDITW);
    ASSERT_EQ(1u, ends.size());
    EXPECT_EQ(kDropMask | TLIF_EDITCHANGED, ends[0].mask);
    EXPECT_FALSE(ends[0].hasText);
    EXPECT_EQ(L"report.txt", list.host.Text(list.item));
    EXPECT_EQ(nullptr, list.Editor());
    EXPECT_EQ(list.host.List(), ::GetFocus());
}

TEST(TreeListEditing, FocusLossKeepsTheText)
{
    EditList list;
    ASSERT_NE(nullptr, list.Edit());
    testkit::TypeText(L"kept");
    ::SetFocus(list.host.Parent());
    testkit::PumpPending();
    std::vector<Notification> ends = list.host.Of(TVN_ENDLABELEDITW);
    ASSERT_EQ(1u, ends.size());
    EXPECT_EQ(kBeginMask | TLIF_EDITCHANGED, ends[0].mask);
    EXPECT_EQ(L"kept", list.host.Text(list.item));
    EXPECT_EQ(nullptr, list.Editor());
}

TEST(TreeListEditing, ParentMayRefuseTheStartOrTheResult)
{
    EditList list;
    list.host.onNotify = [](NMHDR* header) -> LRESULT { return header->code == TVN_BEGINLABELEDITW ? 1 : 0; };
    EXPECT_EQ(0, list.host.Send(TVM_EDITLABELW, 0, list.item));
    EXPECT_EQ(nullptr, list.Editor());
    EXPECT_TRUE(list.host.Of(TVN_ENDLABELEDITW).empty());

    list.host.onNotify = [](NMHDR* header) -> LRESULT { return header->code == TVN_ENDLABELEDITW ? 1 : 0; };
    ASSERT_NE(nullptr, list.Edit());
    testkit::TypeText(L"refused");
    testkit::PressKey(VK_RETURN);
    EXPECT_EQ(1u, list.host.Of(TVN_ENDLABELEDITW).size());
    EXPECT_EQ(L"report.txt", list.host.Text(list.item));
}

TEST(TreeListEditing, EndingNowKeepsOrCancels)
{
    EditList list;
    HWND editor = list.Edit();
    ::SetWindowTextW(editor, L"by message");
    EXPECT_EQ(1, list.host.Send(TVM_ENDEDITLABELNOW, FALSE));
    EXPECT_EQ(L"by message", list.host.Text(list.item));
    editor = list.Edit();
    ::SetWindowTextW(editor, L"cancelled");
    list.host.Send(TVM_ENDEDITLABELNOW, TRUE);
    EXPECT_EQ(L"by message", list.host.Text(list.item));
    EXPECT_EQ(nullptr, list.Editor());
    EXPECT_EQ(0, list.host.Send(TVM_ENDEDITLABELNOW, FALSE)) << "nothing to end";
}

TEST(TreeListEditing, CellsAreEditedInAComboFilledFromTheColumnData)
{
    EditList list;
    static const wchar_t entries[] = L"准备加密\0完成\0失败\0";
    list.host.Send(TLM_SETCOLUMNEDITMODE, TLEDIT_WPARAM(1, 2, 0), reinterpret_cast<LPARAM>(entries));
    HWND combo = list.Edit(1);
    ASSERT_NE(nullptr, combo);
    EXPECT_EQ(L"ComboBox", ClassOf(combo));
    // (The combo control takes WS_BORDER off its own style.)
    EXPECT_EQ(0x40000042, ::GetWindowLongW(combo, GWL_STYLE) & 0x40000043);
    EXPECT_EQ(3, ::SendMessageW(combo, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(1, list.host.Of(TVN_BEGINLABELEDITW)[0].column);
    EXPECT_EQ(L"", list.host.Of(TVN_BEGINLABELEDITW)[0].text) << "a cell never set reads empty";

    testkit::PressKey(VK_DOWN);
    EXPECT_TRUE(::SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    ::SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    testkit::TypeText(L"x");
    testkit::PressKey(VK_RETURN);
    EXPECT_EQ(L"x", list.host.Text(list.item, 1));
    EXPECT_EQ(L"report.txt", list.host.Text(list.item, 0));

    // A drop-down list shows the entry matching the cell and stores the one chosen.
    list.host.Send(TLM_SETCOLUMNEDITMODE, TLEDIT_WPARAM(1, 3, 0), reinterpret_cast<LPARAM>(entries));
    list.host.SetCell(list.item, 1, L"完成");
    HWND choice = list.Edit(1);
    ASSERT_NE(nullptr, choice);
    EXPECT_EQ(0x40000043, ::GetWindowLongW(choice, GWL_STYLE) & 0x40000043);
    EXPECT_EQ(1, ::SendMessageW(choice, CB_GETCURSEL, 0, 0));
    testkit::PressKey(VK_DOWN); // opens the list
    testkit::PressKey(VK_DOWN); // to the next entry
    testkit::PressKey(VK_RETURN);
    EXPECT_EQ(L"失败", list.host.Text(list.item, 1));
}

TEST(TreeListEditing, OnlyBits29To31OfTheRequestNameTheEditor)
{
    EditList list;
    static const wchar_t entries[] = L"准备加密\0完成\0";
    list.host.Send(TLM_SETCOLUMNEDITMODE, TLEDIT_WPARAM(1, 2, 0), reinterpret_cast<LPARAM>(entries));
    // Kind 0: the column's own (a combo); bit 32 of a 64-bit request is not part of it.
    auto editor = reinterpret_cast<HWND>(
        list.host.Send(TVM_EDITLABELW, treelist_test::kParamBit32 | TLEDITLABEL(1, 0), list.item));
    ASSERT_NE(nullptr, editor);
    EXPECT_EQ(L"ComboBox", ClassOf(editor));
    list.host.Send(TVM_ENDEDITLABELNOW, TRUE);
}

TEST(TreeListEditing, AnUntouchedTextLongerThanTheEditorHoldsIsKept)
{
    EditList list;
    std::wstring path = L"C:\\" + std::wstring(300, L'D') + L"\\FILE.DAT";
    list.host.SetCell(list.item, 1, path.c_str());
    ASSERT_NE(nullptr, list.Edit(1));
    testkit::PressKey(VK_RETURN);
    EXPECT_EQ(1u, list.host.Of(TVN_ENDLABELEDITW).size());
    EXPECT_EQ(path, list.host.Text(list.item, 1));
}

TEST(TreeListEditing, CallbackTextsGoBackToTheParent)
{
    EditList list;
    unsigned callback = list.host.InsertCallback();
    list.host.onNotify = [](NMHDR* header) -> LRESULT {
        if (header->code == TVN_GETDISPINFOW)
            ::lstrcpyW(reinterpret_cast<NMTVDISPINFOW*>(header)->item.pszText, L"asked");
        return 0;
    };
    HWND editor = reinterpret_cast<HWND>(list.host.Send(TVM_EDITLABELW, 0, callback));
    ASSERT_NE(nullptr, editor);
    EXPECT_EQ(L"asked", TextOf(editor));
    testkit::TypeText(L"told");
    testkit::PressKey(VK_RETURN);
    std::vector<Notification> set = list.host.Of(TVN_SETDISPINFOW);
    ASSERT_EQ(1u, set.size());
    EXPECT_EQ(callback, set[0].newItem);
    EXPECT_EQ(L"told", set[0].text);
    EXPECT_EQ(L"<callback>", list.host.Text(callback));
}

TEST(TreeListEditing, DoubleClickAndTypingStartEditingInEditableColumns)
{
    EditList list;
    list.host.Send(TLM_SETCOLUMNEDITMODE, TLEDIT_WPARAM(0, 1, TLEF_DOUBLECLICK), 0);
    RECT text = list.host.TextRect(list.item);
    testkit::DoubleClickAt(list.host.ScreenPoint(text.left + 5, (text.top + text.bottom) / 2));
    HWND editor = list.Editor();
    ASSERT_NE(nullptr, editor);
    EXPECT_EQ(L"report.txt", TextOf(editor));
    testkit::PressKey(VK_ESCAPE);

    // Typing in an editable column replaces the text with what is typed.
    list.host.Send(TVM_SELECTITEM, TVGN_CARET, list.item);
    ::SetFocus(list.host.List());
    testkit::TypeText(L"q");
    editor = list.Editor();
    ASSERT_NE(nullptr, editor);
    EXPECT_EQ(L"q", TextOf(editor));
    testkit::PressKey(VK_RETURN);
    EXPECT_EQ(L"q", list.host.Text(list.item));

    // With flag 0x10 typing searches instead.
    list.host.Send(TLM_SETCOLUMNEDITMODE, TLEDIT_WPARAM(0, 1, TLEF_NOCHARSTART), 0);
    ::SetFocus(list.host.List());
    testkit::TypeText(L"o");
    EXPECT_EQ(nullptr, list.Editor());
    EXPECT_EQ(list.item + 1, list.host.Next(0, TVGN_CARET));
}

// The editor has the focus: destroying it tells the list of the focus loss
// while the list is being destroyed, which must not wait for itself.
TEST(TreeListEditing, DestroyingTheListWhileEditingDoesNotWaitForItself)
{
    EditList list;
    HWND editor = list.Edit();
    ASSERT_NE(nullptr, editor);
    ASSERT_EQ(editor, ::GetFocus());
    ::DestroyWindow(list.host.List());
    EXPECT_FALSE(::IsWindow(editor));
}
