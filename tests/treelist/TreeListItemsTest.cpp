// Items and cells: numbers, insertion places, reading and writing, deletion,
// expansion, sorting and searching.
#include "TreeListHost.h"
#include "ui/treelist/TreeListData.h"

#include <cstring>

using treelist_test::Notification;
using treelist_test::TreeListHost;

namespace {

HTREEITEM H(unsigned item)
{
    return reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(item));
}

const LPARAM kRoot = treelist_test::RootParam();

TEST(TreeListItems, NumbersStartAtOneAndAreReusedAfterDeletion)
{
    TreeListHost host;
    EXPECT_EQ(1u, host.Insert(L"a"));
    EXPECT_EQ(2u, host.Insert(L"b"));
    EXPECT_EQ(3u, host.Insert(L"c"));
    EXPECT_EQ(3, host.Send(TVM_GETCOUNT));

    // Numbers are handed out upwards; once the table's end is reached the
    // search wraps round and takes the free number 3.
    for (int i = 0; i < 60; ++i)
        host.Insert(L"filler");
    ASSERT_EQ(63, host.Send(TVM_GETCOUNT));
    EXPECT_TRUE(host.Delete(3));
    EXPECT_EQ(L"<invalid>", host.Text(3));
    EXPECT_EQ(3u, host.Insert(L"again"));
    EXPECT_EQ(L"again", host.Text(3));

    // After everything went, numbering starts over.
    EXPECT_EQ(1, host.Send(TVM_DELETEITEM, 0, kRoot));
    EXPECT_EQ(0, host.Send(TVM_GETCOUNT));
    EXPECT_EQ(1u, host.Insert(L"first again"));
}

TEST(TreeListItems, InsertionPlaces)
{
    TreeListHost host;
    unsigned b = host.Insert(L"b");
    unsigned d = host.Insert(L"d");
    unsigned a = host.Insert(L"a", 0, TVI_FIRST);
    unsigned c = host.Insert(L"c", 0, H(b));
    unsigned e = host.Insert(L"e", 0, TVI_ROOT);
    EXPECT_EQ((std::vector<unsigned>{a, b, c, d, e}), host.Rows());
    EXPECT_EQ((std::vector<unsigned>{a, b, c, d, e}), host.Children(0));

    // After an item that is not a sibling: at the end.
    unsigned child = host.Insert(L"child", a);
    unsigned f = host.Insert(L"f", 0, H(child));
    EXPECT_EQ(f, host.Next(kRoot, TLGN_LASTCHILD));
    EXPECT_EQ(e, host.Next(f, TVGN_PREVIOUS));

    // As the next sibling of hParent. The place is one of TVI_ROOT's family
    // and, like TVI_ROOT, pointer-sized: sign-extended on x86-64.
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(TVI_ROOT) + 5, reinterpret_cast<ULONG_PTR>(TLI_NEXTTOPARENT));
    TVINSERTSTRUCTW insert{};
    insert.hParent = H(b);
    insert.hInsertAfter = TLI_NEXTTOPARENT;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<LPWSTR>(L"after b");
    unsigned afterB = treelist_test::ItemNumberOf(host.Send(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    EXPECT_EQ(afterB, host.Next(b, TVGN_NEXT));
    EXPECT_EQ(0u, host.Next(afterB, TVGN_PARENT));

    // An invalid parent is refused.
    EXPECT_EQ(0u, host.Insert(L"orphan", 999));
}

TEST(TreeListItems, SortedInsertGoesBeforeAnEqualText)
{
    TreeListHost host;
    unsigned apple = host.Insert(L"apple", 0, TVI_SORT);
    unsigned cherry = host.Insert(L"Cherry", 0, TVI_SORT);
    unsigned banana = host.Insert(L"banana", 0, TVI_SORT);
    unsigned bananaUpper = host.Insert(L"BANANA", 0, TVI_SORT);
    unsigned zulu = host.Insert(L"zulu", 0, TVI_SORT);
    EXPECT_EQ((std::vector<unsigned>{apple, bananaUpper, banana, cherry, zulu}), host.Rows());
}

TEST(TreeListItems, SortedInsertAsksTheParentForCallbackTexts)
{
    TreeListHost host;
    unsigned callback = host.InsertCallback();
    host.onNotify = [&](NMHDR* header) -> LRESULT {
        if (header->code == TVN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMTVDISPINFOW*>(header);
            lstrcpynW(info->item.pszText, L"m", info->item.cchTextMax);
        }
        return 0;
    };
    unsigned a = host.Insert(L"a", 0, TVI_SORT);
    unsigned z = host.Insert(L"z", 0, TVI_SORT);
    EXPECT_EQ((std::vector<unsigned>{a, callback, z}), host.Rows());
    ASSERT_FALSE(host.Of(TVN_GETDISPINFOW).empty());
    EXPECT_EQ(callback, host.Of(TVN_GETDISPINFOW)[0].newItem);
    EXPECT_EQ(L"<callback>", host.Text(callback));
}

TEST(TreeListItems, ReadingAndWritingItemFields)
{
    TreeListHost host;
    TVINSERTSTRUCTW insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE;
    insert.item.pszText = const_cast<LPWSTR>(L"C:\\DATA\\报告.DOC");
    insert.item.iImage = 1;
    insert.item.iSelectedImage = 2;
    insert.item.lParam = 77;
    insert.item.state = TVIS_BOLD | 0x3000;
    insert.item.stateMask = 0xF000;
    unsigned item = treelist_test::ItemNumberOf(host.Send(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    ASSERT_NE(0u, item);

    wchar_t buffer[8];
    TVITEMW read{};
    read.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE | TVIF_CHILDREN;
    read.hItem = H(item);
    read.pszText = buffer;
    read.cchTextMax = 8;
    read.stateMask = 0xFFFF;
    ASSERT_EQ(1, host.Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&read)));
    EXPECT_STREQ(L"C:\\DATA", buffer); // at most cchTextMax - 1 characters
    EXPECT_EQ(1, read.iImage);
    EXPECT_EQ(2, read.iSelectedImage);
    EXPECT_EQ(77, read.lParam);
    EXPECT_EQ(0x3000u | TVIS_EXPANDEDONCE, read.state); // only the bits under the insert mask
    EXPECT_EQ(0, read.cChildren);

    // The pointer form hands out the stored text and its length + 1.
    TVITEMW pointer{};
    pointer.mask = TLIF_TEXTPTR | TVIF_TEXT;
    pointer.hItem = H(item);
    ASSERT_EQ(1, host.Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&pointer)));
    EXPECT_STREQ(L"C:\\DATA\\报告.DOC", pointer.pszText);
    EXPECT_EQ(15, pointer.cchTextMax);

    TVITEMW write{};
    write.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE;
    write.hItem = H(item);
    write.pszText = const_cast<LPWSTR>(L"short");
    write.lParam = 5;
    write.iImage = I_IMAGECALLBACK;
    EXPECT_EQ(0, host.Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&write)));
    EXPECT_EQ(L"short", host.Text(item));
    read.mask = TVIF_PARAM | TVIF_IMAGE;
    ASSERT_EQ(1, host.Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&read)));
    EXPECT_EQ(5, read.lParam);
    EXPECT_EQ(I_IMAGECALLBACK, read.iImage);

    write.hItem = H(item + 10);
    EXPECT_EQ(-1, host.Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&write)));
    read.hItem = H(item + 10);
    EXPECT_EQ(0, host.Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&read)));
    EXPECT_EQ(0, host.Send(TVM_GETITEMW, 0, 0));
}

TEST(TreeListItems, CellsAddressedByColumn)
{
    TreeListHost host;
    unsigned item = host.Insert(L"file");
    // Without columns, no cell can be addressed.
    EXPECT_FALSE(host.SetCell(item, 1, L"x"));
    EXPECT_EQ(L"<invalid>", host.Text(item, 1));

    ASSERT_EQ(0, host.AddColumn(L"准备操作的文件列表", 392));
    ASSERT_EQ(1, host.AddColumn(L"操作状态", 100));

    // A cell that was never set reads as empty: a pointer to "" and 0.
    TVITEMW read{};
    read.mask = TLIF_TEXTPTR | TLIF_COLUMN | TVIF_TEXT;
    read.hItem = H(item);
    read.cChildren = 1;
    read.cchTextMax = 99;
    ASSERT_NE(0, host.Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&read)));
    ASSERT_NE(nullptr, read.pszText);
    EXPECT_EQ(L'\0', read.pszText[0]);
    EXPECT_EQ(0, read.cchTextMax);

    EXPECT_TRUE(host.SetCell(item, 1, L"准备加密"));
    EXPECT_EQ(L"准备加密", host.Text(item, 1));
    EXPECT_EQ(L"file", host.Text(item, 0));
    EXPECT_TRUE(host.SetCell(item, 1, L"完成")); // shorter: the buffer is reused
    EXPECT_EQ(L"完成", host.Text(item, 1));
    EXPECT_TRUE(host.SetCell(item, 1, L"a much longer status text"));
    EXPECT_EQ(L"a much longer status text", host.Text(item, 1));

    // Text and image of a cell in one message; the image belongs to the cell.
    TVITEMW write{};
    write.mask = TLIF_COLUMN | TVIF_TEXT | TVIF_IMAGE;
    write.hItem = H(item);
    write.pszText = const_cast<LPWSTR>(L"失败");
    write.cchTextMax = 256;
    write.iImage = 2;
    write.iSelectedImage = 2;
    write.cChildren = 1;
    EXPECT_EQ(0, host.Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&write)));
    TVITEMW image{};
    image.mask = TLIF_COLUMN | TVIF_IMAGE;
    image.hItem = H(item);
    image.cChildren = 1;
    ASSERT_NE(0, host.Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&image)));
    EXPECT_EQ(2, image.iImage);
    image.cChildren = 0;
    image.mask = TLIF_COLUMN | TVIF_IMAGE;
    ASSERT_NE(0, host.Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&image)));
    EXPECT_EQ(0, image.iImage);

    // A column at or above the column count is refused.
    for (int column : {2, 3, 40}) {
        EXPECT_EQ(L"<invalid>", host.Text(item, column)) << column;
        EXPECT_FALSE(host.SetCell(item, column, L"x")) << column;
    }

    // Cell state keeps the item-only bits out.
    TVITEMW state{};
    state.mask = TLIF_COLUMN | TVIF_STATE;
    state.hItem = H(item);
    state.cChildren = 1;
    state.state = 0xFF;
    state.stateMask = 0xFF;
    EXPECT_EQ(0, host.Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&state)));
    state.state = 0;
    ASSERT_NE(0, host.Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&state)));
    EXPECT_EQ(0xFFu & ~0xE2u, state.state);
}

TEST(TreeListItems, CellColoursBelongToTheirCell)
{
    TreeListHost host;
    host.AddColumn(L"a", 100);
    host.AddColumn(L"b", 100);
    unsigned item = host.Insert(L"x");
    EXPECT_EQ(-1, host.Send(TLM_GETCELLTEXTCOLOR, item, 1));
    EXPECT_EQ(-1, host.Send(TLM_SETCELLTEXTCOLOR, TLCELL(item, 1), RGB(1, 2, 3)));
    EXPECT_EQ(static_cast<LRESULT>(RGB(1, 2, 3)), host.Send(TLM_GETCELLTEXTCOLOR, item, 1));
    EXPECT_EQ(-1, host.Send(TLM_GETCELLTEXTCOLOR, item, 0));
    EXPECT_EQ(-1, host.Send(TLM_SETCELLBKCOLOR, TLCELL(item, 0), RGB(9, 9, 9)));
    EXPECT_EQ(static_cast<LRESULT>(RGB(9, 9, 9)), host.Send(TLM_GETCELLBKCOLOR, item, 0));
    EXPECT_EQ(static_cast<LRESULT>(RGB(1, 2, 3)), host.Send(TLM_SETCELLTEXTCOLOR, TLCELL(item, 1), -1));
    EXPECT_EQ(-1, host.Send(TLM_GETCELLTEXTCOLOR, item, 1));
    EXPECT_EQ(-1, host.Send(TLM_SETCELLTEXTCOLOR, TLCELL(item, 5), RGB(1, 1, 1)));
}

TEST(TreeListItems, UserDataBlocksAreSizedOnlyWhileTheListIsEmpty)
{
    TreeListHost host;
    EXPECT_EQ(0, host.Send(TLM_GETUSERDATASIZE));
    unsigned plain = host.Insert(L"plain");
    EXPECT_EQ(0, host.Send(TLM_GETUSERDATA, 0, plain));
    EXPECT_EQ(0, host.Send(TLM_SETUSERDATASIZE, 0, 16));
    EXPECT_EQ(0, host.Send(TLM_GETUSERDATASIZE));
    host.Delete(plain);

    EXPECT_EQ(-1, host.Send(TLM_SETUSERDATASIZE, 0, 0x1000001));
    EXPECT_EQ(12, host.Send(TLM_SETUSERDATASIZE, 0, 12));
    unsigned a = host.Insert(L"a");
    unsigned b = host.Insert(L"b");
    auto* blockA = reinterpret_cast<unsigned char*>(host.Send(TLM_GETUSERDATA, 0, a));
    auto* blockB = reinterpret_cast<unsigned char*>(host.Send(TLM_GETUSERDATA, 0, b));
    ASSERT_NE(nullptr, blockA);
    ASSERT_NE(nullptr, blockB);
    EXPECT_NE(blockA, blockB);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(0, blockA[i]);
    std::memset(blockA, 0xAB, 12);
    EXPECT_EQ(L"a", host.Text(a));
    EXPECT_EQ(L"b", host.Text(b));

    EXPECT_EQ(0, host.Send(TLM_SETUSERDATASIZE, 0, 32));
    EXPECT_EQ(12, host.Send(TLM_GETUSERDATASIZE));
}

TEST(TreeListItems, DeletingASubtreeReportsChildrenFirst)
{
    TreeListHost host;
    unsigned parent = host.Insert(L"parent", 0, TVI_LAST, 100);
    unsigned first = host.Insert(L"first", parent, TVI_LAST, 101);
    unsigned grandchild = host.Insert(L"grandchild", first, TVI_LAST, 102);
    unsigned second = host.Insert(L"second", parent, TVI_LAST, 103);
    unsigned other = host.Insert(L"other", 0, TVI_LAST, 104);
    host.Send(TVM_EXPAND, TVE_EXPAND, parent);
    host.Send(TVM_EXPAND, TVE_EXPAND, first);
    EXPECT_EQ((std::vector<unsigned>{parent, first, grandchild, second, other}), host.Rows());
    host.notifications.clear();

    EXPECT_EQ(1, host.Send(TVM_DELETEITEM, 0, parent));
    std::vector<Notification> deleted = host.Of(TVN_DELETEITEMW);
    ASSERT_EQ(4u, deleted.size());
    EXPECT_EQ(grandchild, deleted[0].oldItem);
    EXPECT_EQ(102, deleted[0].oldParam);
    EXPECT_EQ(first, deleted[1].oldItem);
    EXPECT_EQ(second, deleted[2].oldItem);
    EXPECT_EQ(parent, deleted[3].oldItem);
    EXPECT_EQ(100, deleted[3].oldParam);
    for (const Notification& n : deleted) {
        EXPECT_EQ(static_cast<UINT_PTR>(treelist_test::kListId), n.id);
        EXPECT_EQ(host.List(), n.from);
    }
    EXPECT_EQ(1, host.Send(TVM_GETCOUNT));
    EXPECT_EQ((std::vector<unsigned>{other}), host.Rows());
    EXPECT_EQ(0, host.Send(TVM_DELETEITEM, 0, parent));
}

TEST(TreeListItems, DeletingAllOfAnEmptyListReturnsZeroAndSendsNothing)
{
    TreeListHost host;
    treelist_test::MessageRecorder recorder(host.List());
    host.notifications.clear();
    EXPECT_EQ(0, host.Send(TVM_DELETEITEM, 0, kRoot));
    EXPECT_EQ(0, host.Send(TVM_DELETEITEM, 0, 0));
    EXPECT_TRUE(host.notifications.empty());
    EXPECT_EQ((std::vector<UINT>{TVM_DELETEITEM, TVM_DELETEITEM}), recorder.messages);

    unsigned a = host.Insert(L"a");
    host.Insert(L"b");
    host.Send(TVM_SELECTITEM, TVGN_CARET, a);
    host.notifications.clear();
    EXPECT_EQ(1, host.Send(TVM_DELETEITEM, 0, kRoot));
    EXPECT_EQ((std::vector<UINT>{TVN_SELCHANGEDW, TVN_DELETEITEMW, TVN_DELETEITEMW}), host.Codes());
    EXPECT_EQ(0, host.Send(TVM_GETNEXTITEM, TVGN_CARET, 0));
    EXPECT_EQ(0, host.Send(TLM_ROWTOITEM, 0, 0));
    EXPECT_EQ(0, host.Send(TVM_DELETEITEM, 0, kRoot));
}

TEST(TreeListItems, ExpandAndCollapseAskTheParentAndMoveRows)
{
    TreeListHost host;
    unsigned folder = host.Insert(L"folder");
    unsigned child = host.Insert(L"child", folder);
    unsigned after = host.Insert(L"after");
    EXPECT_EQ((std::vector<unsigned>{folder, after}), host.Rows());
    EXPECT_EQ(-1, host.Send(TLM_ITEMTOROW, 0, child));

    // Has children: the indicator follows the real children.
    TVITEMW children{};
    children.mask = TVIF_CHILDREN;
    children.hItem = H(folder);
    host.Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&children));
    EXPECT_EQ(1, children.cChildren);

    host.notifications.clear();
    host.onNotify = [](NMHDR* header) -> LRESULT { return header->code == TVN_ITEMEXPANDINGW ? 1 : 0; };
    EXPECT_EQ(0, host.Send(TVM_EXPAND, TVE_EXPAND, folder));
    EXPECT_EQ((std::vector<unsigned>{folder, after}), host.Rows());
    host.onNotify = nullptr;

    EXPECT_EQ(1, host.Send(TVM_EXPAND, TVE_EXPAND, folder));
    EXPECT_EQ((std::vector<unsigned>{folder, child, after}), host.Rows());
    EXPECT_EQ(1, host.Send(TLM_ITEMTOROW, 0, child));
    EXPECT_NE(0u, host.Send(TVM_GETITEMSTATE, folder, TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_EQ(0, host.Send(TVM_EXPAND, TVE_EXPAND, folder)); // nothing to do

    EXPECT_EQ(1, host.Send(TVM_EXPAND, TVE_TOGGLE, folder));
    EXPECT_EQ((std::vector<unsigned>{folder, after}), host.Rows());
    EXPECT_EQ((std::vector<UINT>{TVN_ITEMEXPANDINGW, TVN_ITEMEXPANDINGW, TVN_ITEMEXPANDEDW, TVN_ITEMEXPANDINGW,
                                 TVN_ITEMEXPANDEDW}),
              host.Codes());
    EXPECT_EQ(static_cast<UINT>(TVE_COLLAPSE), host.notifications.back().action);
    EXPECT_EQ(folder, host.notifications.back().newItem);

    // Collapse-reset deletes the children, each reported.
    host.Send(TVM_EXPAND, TVE_EXPAND, folder);
    host.notifications.clear();
    EXPECT_EQ(1, host.Send(TVM_EXPAND, TVE_COLLAPSE | TVE_COLLAPSERESET, folder));
    ASSERT_EQ(1u, host.Of(TVN_DELETEITEMW).size());
    EXPECT_EQ(child, host.Of(TVN_DELETEITEMW)[0].oldItem);
    EXPECT_EQ(2, host.Send(TVM_GETCOUNT));

    // Setting the expanded bit through TVM_SETITEMW expands with consent.
    unsigned again = host.Insert(L"again", folder);
    TVITEMW state{};
    state.mask = TVIF_STATE;
    state.hItem = H(folder);
    state.state = TVIS_EXPANDED;
    state.stateMask = TVIS_EXPANDED;
    EXPECT_EQ(0, host.Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&state)));
    EXPECT_EQ((std::vector<unsigned>{folder, again, after}), host.Rows());
    state.state = 0;
    host.onNotify = [](NMHDR* header) -> LRESULT { return header->code == TVN_ITEMEXPANDINGW ? 1 : 0; };
    EXPECT_EQ(-1, host.Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&state)));
}

TEST(TreeListItems, EnsureVisibleExpandsTheParents)
{
    TreeListHost host;
    unsigned top = host.Insert(L"top");
    unsigned middle = host.Insert(L"middle", top);
    unsigned deep = host.Insert(L"deep", middle);
    EXPECT_EQ(1, host.Send(TVM_ENSUREVISIBLE, 0, deep));
    EXPECT_EQ((std::vector<unsigned>{top, middle, deep}), host.Rows());
}

TEST(TreeListItems, WalkingTheTree)
{
    TreeListHost host;
    unsigned a = host.Insert(L"a");
    unsigned a1 = host.Insert(L"a1", a);
    unsigned a2 = host.Insert(L"a2", a);
    unsigned b = host.Insert(L"b");
    EXPECT_EQ(a, host.Next(0, TVGN_ROOT));
    EXPECT_EQ(a, host.Next(kRoot, TVGN_CHILD));
    EXPECT_EQ(a1, host.Next(a, TVGN_CHILD));
    EXPECT_EQ(a2, host.Next(a, TLGN_LASTCHILD));
    EXPECT_EQ(b, host.Next(kRoot, TLGN_LASTCHILD));
    EXPECT_EQ(a2, host.Next(a1, TVGN_NEXT));
    EXPECT_EQ(a1, host.Next(a2, TVGN_PREVIOUS));
    EXPECT_EQ(a, host.Next(a2, TVGN_PARENT));
    EXPECT_EQ(0u, host.Next(a, TVGN_PARENT));
    EXPECT_EQ(b, host.Next(0, TVGN_LASTVISIBLE));
    EXPECT_EQ(a, host.Next(0, TVGN_FIRSTVISIBLE));
    EXPECT_EQ(b, host.Next(a, TVGN_NEXTVISIBLE));
    EXPECT_EQ(0u, host.Next(b, TVGN_NEXTVISIBLE));
    EXPECT_EQ(0u, host.Next(999, TVGN_NEXT));

    host.Send(TVM_SELECTITEM, TVGN_CARET, a2);
    EXPECT_EQ(a2, host.Next(kRoot, TLGN_NEXTSELECTED));
    EXPECT_EQ(a2, host.Next(a, TLGN_NEXTSELECTEDCHILD));
    EXPECT_EQ(0u, host.Next(a2, TLGN_NEXTSELECTED));
    EXPECT_EQ(0u, host.Next(b, TLGN_NEXTSELECTEDCHILD));
    EXPECT_EQ(a2, host.Next(0, TLGN_FOCUS));
}

TEST(TreeListItems, FindItemBySiblingsTextParamAndState)
{
    TreeListHost host;
    host.AddColumn(L"name", 200);
    host.AddColumn(L"state", 100);
    unsigned a = host.Insert(L"Alpha", 0, TVI_LAST, 1);
    unsigned b = host.Insert(L"beta", 0, TVI_LAST, 2);
    unsigned c = host.Insert(L"alpha", 0, TVI_LAST, 3);
    host.SetCell(b, 1, L"完成");
    unsigned child = host.Insert(L"alpha", a, TVI_LAST, 4);

    TLFINDITEM find{};
    find.uFlags = TLFIND_TEXT | TLFIND_FROMCHILD;
    find.pText = L"alpha";
    EXPECT_EQ(static_cast<LRESULT>(c), host.Send(TLM_FINDITEM, kRoot, reinterpret_cast<LPARAM>(&find)));
    find.uFlags |= TLFIND_NOCASE;
    EXPECT_EQ(static_cast<LRESULT>(a), host.Send(TLM_FINDITEM, kRoot, reinterpret_cast<LPARAM>(&find)));
    find.uFlags = TLFIND_TEXT | TLFIND_NOCASE | TLFIND_FROMNEXT;
    EXPECT_EQ(static_cast<LRESULT>(c), host.Send(TLM_FINDITEM, a, reinterpret_cast<LPARAM>(&find)));
    find.uFlags = TLFIND_TEXT | TLFIND_FROMCHILD;
    EXPECT_EQ(static_cast<LRESULT>(child), host.Send(TLM_FINDITEM, a, reinterpret_cast<LPARAM>(&find)));
    find.pText = L"alph";
    EXPECT_EQ(0, host.Send(TLM_FINDITEM, a, reinterpret_cast<LPARAM>(&find)));

    find.uFlags = TLFIND_TEXT | TLFIND_FROMCHILD;
    find.uColumn = 1;
    find.pText = L"完成";
    EXPECT_EQ(static_cast<LRESULT>(b), host.Send(TLM_FINDITEM, kRoot, reinterpret_cast<LPARAM>(&find)));
    find.pText = L"";
    EXPECT_EQ(static_cast<LRESULT>(a), host.Send(TLM_FINDITEM, kRoot, reinterpret_cast<LPARAM>(&find)));

    find = TLFINDITEM{};
    find.uFlags = TLFIND_PARAM;
    find.lParam = 3;
    EXPECT_EQ(static_cast<LRESULT>(c), host.Send(TLM_FINDITEM, a, reinterpret_cast<LPARAM>(&find)));
    find.uFlags = TLFIND_STATE | TLFIND_FROMCHILD;
    host.Send(TVM_SELECTITEM, TVGN_CARET, b);
    find.uState = TVIS_SELECTED;
    find.uStateMask = TVIS_SELECTED;
    EXPECT_EQ(static_cast<LRESULT>(b), host.Send(TLM_FINDITEM, kRoot, reinterpret_cast<LPARAM>(&find)));
}

int CALLBACK CompareParams(LPARAM a, LPARAM b, LPARAM direction)
{
    return static_cast<int>((a - b) * direction);
}

int CALLBACK CompareItems(HWND list, HTREEITEM first, HTREEITEM second, LPARAM lParam1, LPARAM lParam2, LPARAM extra)
{
    auto* seen = reinterpret_cast<std::vector<HWND>*>(extra);
    seen->push_back(list);
    // The list answers its own messages while the comparison runs.
    TVITEMW read{};
    read.mask = TLIF_TEXTPTR | TVIF_TEXT;
    read.hItem = first;
    ::SendMessageW(list, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&read));
    EXPECT_EQ(lParam1, static_cast<LPARAM>(read.pszText[0]));
    (void)second;
    return static_cast<int>(lParam2 - lParam1);
}

TEST(TreeListItems, SortingChildren)
{
    TreeListHost host;
    unsigned c = host.Insert(L"cherry", 0, TVI_LAST, L'c');
    unsigned a = host.Insert(L"Apple", 0, TVI_LAST, L'A');
    unsigned b = host.Insert(L"banana", 0, TVI_LAST, L'b');
    unsigned b2 = host.Insert(L"zz", b, TVI_LAST, L'z');
    unsigned b1 = host.Insert(L"aa", b, TVI_LAST, L'a');

    EXPECT_EQ(1, host.Send(TVM_SORTCHILDREN, 0, kRoot));
    EXPECT_EQ((std::vector<unsigned>{a, b, c}), host.Children(0));
    EXPECT_EQ((std::vector<unsigned>{b2, b1}), host.Children(b));
    EXPECT_EQ(1, host.Send(TVM_SORTCHILDREN, 1, kRoot));
    EXPECT_EQ((std::vector<unsigned>{b1, b2}), host.Children(b));

    TVSORTCB sort{};
    sort.hParent = TVI_ROOT;
    sort.lpfnCompare = CompareParams;
    sort.lParam = -1;
    EXPECT_EQ(1, host.Send(TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort)));
    EXPECT_EQ((std::vector<unsigned>{c, b, a}), host.Children(0));
    EXPECT_EQ((std::vector<unsigned>{c, b, a}), host.Rows());

    std::vector<HWND> seen;
    TLSORTITEM byItem{};
    byItem.hParent = TVI_ROOT;
    byItem.lpfnCompare = CompareItems;
    byItem.lParam = reinterpret_cast<LPARAM>(&seen);
    EXPECT_EQ(1, host.Send(TLM_SORTCHILDRENBYITEM, 1, reinterpret_cast<LPARAM>(&byItem)));
    EXPECT_EQ((std::vector<unsigned>{c, b, a}), host.Children(0)); // 'c' > 'b' > 'A'
    EXPECT_EQ((std::vector<unsigned>{b2, b1}), host.Children(b));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(host.List(), seen[0]);
}

TEST(TreeListItems, InsertMarkIsAnEmptyRowInSlotTen)
{
    TreeListHost host;
    host.AddColumn(L"a", 100);
    host.AddColumn(L"b", 100);
    unsigned a = host.Insert(L"a");
    unsigned b = host.Insert(L"b");
    host.Send(TVM_SETINSERTMARKCOLOR, 0, RGB(200, 100, 50));
    unsigned mark = treelist_test::ItemNumberOf(host.Send(TVM_SETINSERTMARK, 1, a));
    ASSERT_NE(0u, mark);
    EXPECT_EQ((std::vector<unsigned>{a, mark, b}), host.Rows());
    EXPECT_EQ(3, host.Send(TVM_GETCOUNT));
    EXPECT_EQ(mark, host.Next(0, TLGN_INSERTMARK));
    EXPECT_EQ(static_cast<LRESULT>(RGB(200, 100, 50)), host.Send(TLM_GETCELLBKCOLOR, mark, 0));
    EXPECT_EQ(static_cast<LRESULT>(RGB(200, 100, 50)), host.Send(TLM_GETCELLBKCOLOR, mark, 1));
    EXPECT_EQ(L"", host.Text(mark));

    host.notifications.clear();
    unsigned before = treelist_test::ItemNumberOf(host.Send(TVM_SETINSERTMARK, 0, a));
    EXPECT_EQ((std::vector<unsigned>{before, a, b}), host.Rows());
    EXPECT_EQ(0, host.Send(TVM_SETINSERTMARK, 0, 0));
    EXPECT_EQ((std::vector<unsigned>{a, b}), host.Rows());
    EXPECT_EQ(2, host.Send(TVM_GETCOUNT));
    EXPECT_TRUE(host.Of(TVN_DELETEITEMW).empty());
}

TEST(TreeListItems, CellMarkNeedsAnExistingCell)
{
    TreeListHost host;
    host.AddColumn(L"a", 100);
    host.AddColumn(L"b", 100);
    host.Send(TVM_SETEXTENDEDSTYLE, 0, TLS_EX_CELLSELECT);
    unsigned item = host.Insert(L"a");
    EXPECT_EQ(0, host.Send(TLM_SETCELLMARK, 1, item));
    host.SetCell(item, 1, L"x");
    EXPECT_EQ(1, host.Send(TLM_SETCELLMARK, 1, item));
    EXPECT_EQ(1, host.Send(TLM_SETCELLMARK, 0, 0));
    EXPECT_EQ(0, host.Send(TLM_SETCELLMARK, 0, 77));

    EXPECT_EQ(1, host.Send(TLM_SELECTCELL, 1, item));
    EXPECT_EQ(1, host.Send(TVM_GETNEXTITEM, TLGN_CARETCOLUMN, 0));
    EXPECT_EQ(1, host.Send(TVM_GETNEXTITEM, TLGN_FOCUSCOLUMN, 0));
    EXPECT_EQ(0, host.Send(TLM_SELECTCELL, 2, item));
    host.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_CELLSELECT, 0);
    EXPECT_EQ(0, host.Send(TVM_GETNEXTITEM, TLGN_CARETCOLUMN, 0));
}

TEST(TreeListItems, DeletingAllItemsGivesBackTheirTables)
{
    TreeListHost host;
    host.AddColumn(L"name", 200);
    host.AddColumn(L"state", 100);
    for (int i = 0; i < 1000; ++i)
        host.SetCell(host.Insert(L"row"), 1, L"cell");
    auto* record = reinterpret_cast<const TreeListData*>(::GetWindowLongPtrW(host.List(), 0));
    ASSERT_GE(record->itemCapacity, 1000u);
    ASSERT_GE(record->rowCapacity, 1000u);

    EXPECT_EQ(1, host.Send(TVM_DELETEITEM, 0, kRoot));
    EXPECT_EQ(0u, record->itemCapacity);
    EXPECT_EQ(0u, record->rowCapacity);
    EXPECT_EQ(nullptr, record->cellTables[1]);

    // The list fills again from nothing.
    unsigned item = host.Insert(L"again");
    EXPECT_TRUE(host.SetCell(item, 1, L"cell again"));
    EXPECT_EQ(L"cell again", host.Text(item, 1));
    EXPECT_EQ((std::vector<unsigned>{item}), host.Rows());
}

// Each item expanded and the next one its child: 65,537 levels, so the last
// item sits at level 65,536, beyond 16 bits.
TEST(TreeListItems, AChainDeeperThanSixteenBitsKeepsItsRowsRight)
{
    TreeListHost host(treelist_test::kPageStyle, 300, 200);
    host.checkEachNotification = false; // one check at the end instead of one per deleted item
    const unsigned depth = 65537;
    std::vector<unsigned> chain;
    for (unsigned level = 0, parent = 0; level < depth; ++level, parent = chain.back()) {
        chain.push_back(host.Insert(L"level", parent, TVI_LAST, 0, TVIS_EXPANDED));
        ASSERT_NE(0u, chain.back()) << level;
    }
    ASSERT_EQ(static_cast<LRESULT>(depth), host.Send(TLM_GETROWCOUNTSHOWN));

    // Deleting the item at level 65,535 takes its child at level 65,536 along.
    ASSERT_TRUE(host.Delete(chain[65535]));
    EXPECT_EQ(65535, host.Send(TVM_GETCOUNT));
    EXPECT_EQ(65535, host.Send(TLM_GETROWCOUNTSHOWN));
    EXPECT_EQ(chain[65534], treelist_test::ItemNumberOf(host.Send(TLM_ROWTOITEM, 0, 65534)));
    EXPECT_EQ(0, host.Send(TLM_ROWTOITEM, 0, 65535));
    std::string problem;
    EXPECT_TRUE(treelist_test::Consistent(host.List(), &problem)) << problem;

    // The last rows paint.
    EXPECT_EQ(1, host.Send(TVM_SELECTITEM, TVGN_FIRSTVISIBLE, chain[65534]));
    ::InvalidateRect(host.List(), nullptr, TRUE);
    ::UpdateWindow(host.List());
    EXPECT_EQ(65535, host.Send(TVM_GETCOUNT));
}

} // namespace
