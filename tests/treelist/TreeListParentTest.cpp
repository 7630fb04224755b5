// A parent that deletes items while it answers the list's questions about
// them (callback texts): whichever question it does it in, the list goes on
// without touching the deleted item.
#include "TreeListHost.h"

#include "support/PumpUntil.h"

using treelist_test::TreeListHost;

namespace {

// Answers every callback text with `text` and deletes `victim` when asked for
// the nth time (counting from 1).
struct DeletingParent {
    TreeListHost& host;
    const wchar_t* text;
    unsigned victim = 0;
    int nth = 0;
    int asked = 0;

    LRESULT operator()(NMHDR* header)
    {
        if (header->code != TVN_GETDISPINFOW)
            return 0;
        ::lstrcpynW(reinterpret_cast<NMTVDISPINFOW*>(header)->item.pszText, text, 100);
        if (++asked == nth) {
            EXPECT_TRUE(host.Delete(victim)) << "question " << nth;
        }
        return 0;
    }
};

TEST(TreeListParent, SortedInsertSurvivesTheParentDeletingTheSiblingItWouldFollow)
{
    TreeListHost host;
    unsigned a = host.Insert(L"a");
    unsigned z = host.InsertCallback();
    // The new item "m" would follow "a"; asked for the callback text "z",
    // the parent deletes "a".
    host.onNotify = DeletingParent{host, L"z", a, 1};
    unsigned m = host.Insert(L"m", 0, TVI_SORT);
    host.onNotify = nullptr;
    ASSERT_NE(0u, m);
    EXPECT_EQ((std::vector<unsigned>{m, z}), host.Children(0));
    EXPECT_EQ((std::vector<unsigned>{m, z}), host.Rows());
}

TEST(TreeListParent, StartingAnEditSurvivesTheParentDeletingTheItemAtAnyQuestion)
{
    for (int nth = 1;; ++nth) {
        TreeListHost host(treelist_test::kPageStyle | TVS_EDITLABELS);
        ::SetForegroundWindow(host.Parent());
        unsigned item = host.InsertCallback();
        DeletingParent parent{host, L"a callback text", item, nth};
        host.onNotify = [&parent](NMHDR* header) { return parent(header); };
        LRESULT editor = host.Send(TVM_EDITLABELW, 0, static_cast<LPARAM>(item));
        host.onNotify = nullptr;
        if (parent.asked < nth) {
            // Every question has had its deletion: left alone, the edit starts.
            EXPECT_GT(nth, 1);
            EXPECT_NE(0, editor);
            break;
        }
        EXPECT_EQ(0, editor) << "deleted at question " << nth;
        EXPECT_EQ(0, host.Send(TVM_GETEDITCONTROL));
        EXPECT_EQ(0, host.Send(TVM_GETCOUNT));
        EXPECT_TRUE(host.Of(TVN_ENDLABELEDITW).empty());
    }
}

TEST(TreeListParent, TooltipSurvivesTheParentDeletingTheItemAtAnyQuestion)
{
    for (int nth = 1;; ++nth) {
        TreeListHost host(treelist_test::kPageStyle, 200, 100);
        host.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_PARENTTOOLTIPS, TLS_EX_PARENTTOOLTIPS);
        unsigned item = host.InsertCallback();
        DeletingParent parent{host, L"a callback text far too long for the list", item, 0};
        host.onNotify = [&parent](NMHDR* header) -> LRESULT {
            return header->code == TLN_GETTOOLTIPTEXT ? 1 : parent(header);
        };
        RECT text = host.TextRect(item);
        parent.nth = nth;
        parent.asked = 0;
        host.notifications.clear();
        host.Send(WM_MOUSEMOVE, 0, MAKELPARAM(text.left + 2, (text.top + text.bottom) / 2));
        host.onNotify = nullptr;
        if (parent.asked < nth) {
            EXPECT_GT(nth, 1);
            EXPECT_EQ(1u, host.Of(TLN_GETTOOLTIPTEXT).size());
            break;
        }
        EXPECT_EQ(0, host.Send(TVM_GETCOUNT));
        EXPECT_TRUE(host.Of(TLN_GETTOOLTIPTEXT).empty()) << "deleted at question " << nth;
    }
}

} // namespace
