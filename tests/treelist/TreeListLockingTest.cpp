// Selection and its notifications, and a parent that calls back into the list
// from inside notifications and sort comparisons: the list must release its
// semaphore around each of them and re-validate what it holds afterwards.
#include "TreeListHost.h"
#include "support/PumpUntil.h"

using treelist_test::Notification;
using treelist_test::TreeListHost;

namespace {

const LPARAM kRoot = treelist_test::RootParam();

TEST(TreeListSelection, SelectingSendsChangingThenChanged)
{
    TreeListHost host;
    unsigned a = host.Insert(L"a", 0, TVI_LAST, 10);
    unsigned b = host.Insert(L"b", 0, TVI_LAST, 20);
    host.notifications.clear();

    EXPECT_EQ(1, host.Send(TVM_SELECTITEM, TVGN_CARET, a));
    EXPECT_EQ(1, host.Send(TVM_SELECTITEM, TVGN_CARET, b));
    EXPECT_EQ(1, host.Send(TVM_SELECTITEM, TVGN_CARET, b)); // already selected: no notification
    ASSERT_EQ((std::vector<UINT>{TVN_SELCHANGINGW, TVN_SELCHANGEDW, TVN_SELCHANGINGW, TVN_SELCHANGEDW}), host.Codes());
    const Notification& changed = host.notifications[3];
    EXPECT_EQ(a, changed.oldItem);
    EXPECT_EQ(b, changed.newItem);
    EXPECT_EQ(10, changed.oldParam);
    EXPECT_EQ(20, changed.newParam);
    EXPECT_EQ(static_cast<UINT>(TVC_UNKNOWN), changed.action);
    EXPECT_EQ(b, host.Next(0, TVGN_CARET));
    EXPECT_EQ(0u, host.Send(TVM_GETITEMSTATE, a, TVIS_SELECTED) & TVIS_SELECTED);
    EXPECT_NE(0u, host.Send(TVM_GETITEMSTATE, b, TVIS_SELECTED) & TVIS_SELECTED);

    // A nonzero answer to the first notification cancels.
    host.notifications.clear();
    host.onNotify = [](NMHDR* header) -> LRESULT { return header->code == TVN_SELCHANGINGW; };
    EXPECT_EQ(0, host.Send(TVM_SELECTITEM, TVGN_CARET, a));
    EXPECT_EQ((std::vector<UINT>{TVN_SELCHANGINGW}), host.Codes());
    EXPECT_EQ(b, host.Next(0, TVGN_CARET));

    // The selected bit through TVM_SETITEMW goes the same way.
    TVITEMW state{};
    state.mask = TVIF_STATE;
    state.hItem = reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(a));
    state.state = TVIS_SELECTED;
    state.stateMask = TVIS_SELECTED;
    EXPECT_EQ(-1, host.Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&state)));
    host.onNotify = nullptr;
    EXPECT_EQ(0, host.Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&state)));
    EXPECT_EQ(a, host.Next(0, TVGN_CARET));
}

TEST(TreeListSelection, SingleExpandStyleFollowsEverySelectionChange)
{
    TreeListHost host(treelist_test::kPageStyle | TVS_SINGLEEXPAND);
    unsigned a = host.Insert(L"a");
    host.notifications.clear();
    host.Send(TVM_SELECTITEM, TVGN_CARET, a);
    EXPECT_EQ((std::vector<UINT>{TVN_SELCHANGINGW, TVN_SELCHANGEDW, TVN_SINGLEEXPAND}), host.Codes());
}

TEST(TreeListSelection, DeletingTheSelectedItemClearsTheCaretFirst)
{
    TreeListHost host;
    unsigned parent = host.Insert(L"parent");
    unsigned child = host.Insert(L"child", parent);
    host.Send(TVM_EXPAND, TVE_EXPAND, parent);
    host.Send(TVM_SELECTITEM, TVGN_CARET, child);
    host.notifications.clear();
    host.Delete(parent);
    ASSERT_EQ((std::vector<UINT>{TVN_SELCHANGEDW, TVN_DELETEITEMW, TVN_DELETEITEMW}), host.Codes());
    EXPECT_EQ(child, host.notifications[0].oldItem);
    EXPECT_EQ(0u, host.notifications[0].newItem);
    EXPECT_EQ(0u, host.Next(0, TVGN_CARET));
}

TEST(TreeListSelection, IncrementalSearchAndItsStringExpire)
{
    treelist_test::FakeClock clock;
    TreeListHost host;
    host.Insert(L"zero");
    unsigned apple = host.Insert(L"apple");
    unsigned about = host.Insert(L"About");
    unsigned avocado = host.Insert(L"avocado");
    host.notifications.clear();

    host.Send(WM_CHAR, L'a', 1);
    host.Send(WM_CHAR, L'b', 1);
    EXPECT_EQ(about, host.Next(0, TVGN_CARET));
    EXPECT_EQ(2, host.Send(TVM_GETISEARCHSTRINGW, 0, 0));
    wchar_t buffer[32] = L"junk";
    EXPECT_EQ(1, host.Send(TVM_GETISEARCHSTRINGW, 0, reinterpret_cast<LPARAM>(buffer)));
    EXPECT_STREQ(L"AB", buffer);
    ASSERT_FALSE(host.Of(TVN_SELCHANGEDW).empty());
    EXPECT_EQ(static_cast<UINT>(TVC_BYKEYBOARD), host.Of(TVN_SELCHANGEDW).back().action);

    clock.now += 800;
    EXPECT_EQ(0, host.Send(TVM_GETISEARCHSTRINGW, 0, 0));
    EXPECT_EQ(0, host.Send(TVM_GETISEARCHSTRINGW, 0, reinterpret_cast<LPARAM>(buffer)));
    EXPECT_STREQ(L"", buffer);

    // Repeating one letter cycles through the rows starting with it.
    clock.now += 100;
    host.Send(WM_CHAR, L'a', 1);
    EXPECT_EQ(avocado, host.Next(0, TVGN_CARET));
    host.Send(WM_CHAR, L'a', 1);
    EXPECT_EQ(apple, host.Next(0, TVGN_CARET));
}

TEST(TreeListLocking, ParentDeletesOtherItemsWhileOneIsReported)
{
    TreeListHost host;
    unsigned a = host.Insert(L"a");
    unsigned b = host.Insert(L"b");
    unsigned c = host.Insert(L"c");
    unsigned d = host.Insert(L"d");
    host.onNotify = [&](NMHDR* header) -> LRESULT {
        auto* nm = reinterpret_cast<NMTREEVIEWW*>(header);
        if (header->code == TVN_DELETEITEMW && nm->itemOld.hItem == reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(a))) {
            // The item being reported is still readable, and deleting it
            // again is refused rather than freeing it twice.
            EXPECT_EQ(L"a", host.Text(a));
            EXPECT_EQ(0, host.Send(TVM_DELETEITEM, 0, a));
            EXPECT_EQ(1, host.Send(TVM_DELETEITEM, 0, c));
        }
        return 0;
    };
    host.notifications.clear();
    EXPECT_TRUE(host.Delete(a));
    host.onNotify = nullptr;
    std::vector<Notification> deleted = host.Of(TVN_DELETEITEMW);
    ASSERT_EQ(2u, deleted.size());
    EXPECT_EQ(a, deleted[0].oldItem);
    EXPECT_EQ(c, deleted[1].oldItem);
    EXPECT_EQ((std::vector<unsigned>{b, d}), host.Rows());
    EXPECT_EQ(2, host.Send(TVM_GETCOUNT));
}

TEST(TreeListLocking, ParentDeletesEverythingFromInsideASubtreeDeletion)
{
    TreeListHost host;
    unsigned parent = host.Insert(L"parent");
    unsigned child1 = host.Insert(L"c1", parent);
    unsigned child2 = host.Insert(L"c2", parent);
    unsigned other = host.Insert(L"other");
    unsigned other2 = host.Insert(L"other2");
    int reentered = 0;
    host.onNotify = [&](NMHDR* header) -> LRESULT {
        if (header->code == TVN_DELETEITEMW && reentered++ == 0) {
            EXPECT_EQ(1, host.Send(TVM_DELETEITEM, 0, kRoot));
        }
        return 0;
    };
    host.notifications.clear();
    EXPECT_TRUE(host.Delete(parent));
    host.onNotify = nullptr;
    std::vector<Notification> deleted = host.Of(TVN_DELETEITEMW);
    ASSERT_EQ(5u, deleted.size());
    // First child reported, then the nested delete-all, then the rest of the subtree.
    EXPECT_EQ(child1, deleted[0].oldItem);
    EXPECT_EQ(other, deleted[1].oldItem);
    EXPECT_EQ(other2, deleted[2].oldItem);
    EXPECT_EQ(child2, deleted[3].oldItem);
    EXPECT_EQ(parent, deleted[4].oldItem);
    EXPECT_EQ(0, host.Send(TVM_GETCOUNT));
    EXPECT_TRUE(host.Rows().empty());
    EXPECT_EQ(1u, host.Insert(L"fresh"));
}

TEST(TreeListLocking, ParentInsertsAndDeletesDuringDeleteAll)
{
    TreeListHost host;
    for (int i = 0; i < 20; ++i)
        host.Insert(L"row");
    std::vector<unsigned> added;
    host.onNotify = [&](NMHDR* header) -> LRESULT {
        auto* nm = reinterpret_cast<NMTREEVIEWW*>(header);
        unsigned item = treelist_test::ItemNumber(nm->itemOld.hItem);
        if (header->code == TVN_DELETEITEMW && item % 5 == 0) {
            // Items already on their way are refused; new ones survive.
            if (item < 20) {
                EXPECT_EQ(0, host.Send(TVM_DELETEITEM, 0, item + 1));
            }
            added.push_back(host.Insert(L"added during"));
        }
        return 0;
    };
    host.notifications.clear();
    EXPECT_EQ(1, host.Send(TVM_DELETEITEM, 0, kRoot));
    host.onNotify = nullptr;
    EXPECT_EQ(20u, host.Of(TVN_DELETEITEMW).size());
    ASSERT_EQ(4u, added.size());
    EXPECT_EQ(4, host.Send(TVM_GETCOUNT));
    EXPECT_EQ(added, host.Rows());
    for (unsigned item : added)
        EXPECT_EQ(L"added during", host.Text(item));
}

TEST(TreeListLocking, ParentDeletesTheNewSelectionWhenTold)
{
    TreeListHost host;
    unsigned a = host.Insert(L"a");
    unsigned b = host.Insert(L"b");
    host.onNotify = [&](NMHDR* header) -> LRESULT {
        if (header->code == TVN_SELCHANGEDW && reinterpret_cast<NMTREEVIEWW*>(header)->itemNew.hItem)
            host.Delete(b);
        return 0;
    };
    EXPECT_EQ(1, host.Send(TVM_SELECTITEM, TVGN_CARET, b));
    host.onNotify = nullptr;
    EXPECT_EQ(0u, host.Next(0, TVGN_CARET));
    EXPECT_EQ((std::vector<unsigned>{a}), host.Rows());

    // Deleting the item about to be selected from SELCHANGING refuses the change.
    unsigned c = host.Insert(L"c");
    host.onNotify = [&](NMHDR* header) -> LRESULT {
        if (header->code == TVN_SELCHANGINGW)
            host.Delete(c);
        return 0;
    };
    EXPECT_EQ(0, host.Send(TVM_SELECTITEM, TVGN_CARET, c));
    host.onNotify = nullptr;
    EXPECT_EQ(0u, host.Next(0, TVGN_CARET));
    EXPECT_EQ(1, host.Send(TVM_GETCOUNT));
}

TEST(TreeListLocking, ParentDeletesTheItemBeingExpanded)
{
    TreeListHost host;
    unsigned folder = host.Insert(L"folder");
    host.Insert(L"child", folder);
    host.onNotify = [&](NMHDR* header) -> LRESULT {
        if (header->code == TVN_ITEMEXPANDINGW)
            host.Delete(folder);
        return 0;
    };
    EXPECT_EQ(0, host.Send(TVM_EXPAND, TVE_EXPAND, folder));
    host.onNotify = nullptr;
    EXPECT_EQ(0, host.Send(TVM_GETCOUNT));
    EXPECT_TRUE(host.Rows().empty());
}

struct SortProbe {
    HWND list;
    int calls = 0;
};

int CALLBACK CompareAndPoke(LPARAM a, LPARAM b, LPARAM context)
{
    auto* probe = reinterpret_cast<SortProbe*>(context);
    ++probe->calls;
    // While a callback sort runs, inserts and deletes are refused but
    // reading works.
    EXPECT_EQ(0, ::SendMessageW(probe->list, TVM_DELETEITEM, 0, 1));
    TVINSERTSTRUCTW insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    EXPECT_EQ(0, ::SendMessageW(probe->list, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    EXPECT_EQ(3, ::SendMessageW(probe->list, TVM_GETCOUNT, 0, 0));
    TVSORTCB nested{};
    nested.hParent = TVI_ROOT;
    nested.lpfnCompare = CompareAndPoke;
    EXPECT_EQ(0, ::SendMessageW(probe->list, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&nested)));
    return static_cast<int>(a - b);
}

TEST(TreeListLocking, SortCallbacksRunUnlockedWhileTheListIsBusy)
{
    TreeListHost host;
    unsigned c = host.Insert(L"c", 0, TVI_LAST, 3);
    unsigned a = host.Insert(L"a", 0, TVI_LAST, 1);
    unsigned b = host.Insert(L"b", 0, TVI_LAST, 2);
    SortProbe probe{host.List()};
    TVSORTCB sort{};
    sort.hParent = TVI_ROOT;
    sort.lpfnCompare = CompareAndPoke;
    sort.lParam = reinterpret_cast<LPARAM>(&probe);
    EXPECT_EQ(1, host.Send(TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort)));
    EXPECT_GT(probe.calls, 0);
    EXPECT_EQ((std::vector<unsigned>{a, b, c}), host.Rows());
    // Busy is over.
    EXPECT_NE(0u, host.Insert(L"d"));
    EXPECT_TRUE(host.Delete(a));
}

TEST(TreeListLocking, ParentDestroysTheListFromANotification)
{
    TreeListHost host;
    unsigned a = host.Insert(L"a");
    host.Insert(L"b");
    HWND list = host.List();
    host.onNotify = [&](NMHDR* header) -> LRESULT {
        if (header->code == TVN_SELCHANGINGW)
            ::DestroyWindow(list);
        return 0;
    };
    host.notifications.clear();
    EXPECT_EQ(0, ::SendMessageW(list, TVM_SELECTITEM, TVGN_CARET, a));
    host.onNotify = nullptr;
    EXPECT_FALSE(::IsWindow(list));
    // Destruction still reported every item.
    EXPECT_EQ(2u, host.Of(TVN_DELETEITEMW).size());
}

TEST(TreeListLocking, DestroyingTheListReportsEveryItem)
{
    TreeListHost host;
    unsigned parent = host.Insert(L"p", 0, TVI_LAST, 1);
    host.Insert(L"c", parent, TVI_LAST, 2);
    host.Insert(L"q", 0, TVI_LAST, 3);
    host.notifications.clear();
    ::DestroyWindow(host.List());
    std::vector<Notification> deleted = host.Of(TVN_DELETEITEMW);
    ASSERT_EQ(3u, deleted.size());
    EXPECT_EQ(2, deleted[0].oldParam);
    EXPECT_EQ(1, deleted[1].oldParam);
    EXPECT_EQ(3, deleted[2].oldParam);
}

} // namespace
