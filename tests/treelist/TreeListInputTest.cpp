// Real mouse and key input on a list and the exact notifications its parent
// receives: check boxes, selection, buttons, drag start, keyboard
// navigation, incremental search, tooltips and multiple selection.
#include "TreeListHost.h"

#include "framework/ClientDC.h"
#include "framework/SelectObjectScope.h"
#include "support/Input.h"
#include "support/PumpUntil.h"

#include <string>
#include <vector>

using treelist_test::Notification;
using treelist_test::TreeListHost;

namespace {

// A list in the prefix's dialog font, its window in front and ready for input.
class InputList {
public:
    explicit InputList(DWORD style = treelist_test::kPageStyle, int width = 400, int height = 200)
        : host(style, width, height), font(treelist_test::SongFont())
    {
        host.Send(WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), 0);
        ::SetForegroundWindow(host.Parent());
        ::SetFocus(host.Parent());
        testkit::PumpPending();
    }

    int Middle(unsigned item) const
    {
        RECT row = host.RowRect(item);
        return (row.top + row.bottom) / 2;
    }
    POINT OnLabel(unsigned item) const { return host.ScreenPoint(host.TextRect(item).left + 4, Middle(item)); }
    void FocusList() const
    {
        ::SetFocus(host.List());
        testkit::PumpPending();
    }
    unsigned Caret() const { return host.Next(0, TVGN_CARET); }

    TreeListHost host;
    fw::Font font;
};

} // namespace

TEST(TreeListInput, CheckBoxClickTogglesTheImageAndNotifiesBeforeTheClick)
{
    InputList list(treelist_test::kPageStyle | TVS_CHECKBOXES);
    list.host.AddColumn(L"磁盘", 300);
    unsigned c = list.host.Insert(L"C:", 0, TVI_LAST, 7);
    unsigned d = list.host.Insert(L"D:");
    list.host.notifications.clear();

    int middle = list.Middle(c);
    testkit::ClickAt(list.host.ScreenPoint(4, middle));
    EXPECT_EQ(0x2000u, list.host.State(c) & TVIS_STATEIMAGEMASK);
    EXPECT_EQ(0x1000u, list.host.State(d) & TVIS_STATEIMAGEMASK);
    ASSERT_EQ((std::vector<UINT>{NM_SETFOCUS, TLN_STATEIMAGECLICKED, TVN_SELCHANGINGW, TVN_SELCHANGEDW, NM_CLICK}),
              list.host.Codes());
    const Notification& toggled = list.host.notifications[1];
    EXPECT_EQ(c, toggled.newItem);
    EXPECT_EQ(static_cast<UINT>(TVIF_HANDLE | TVIF_TEXT | TVIF_STATE | TVIF_PARAM), toggled.mask);
    EXPECT_EQ(0x2000u, toggled.state & TVIS_STATEIMAGEMASK);
    EXPECT_EQ(L"C:", toggled.text);
    EXPECT_EQ(7, toggled.newParam);
    EXPECT_EQ(0, toggled.column);
    const Notification& click = list.host.notifications[4];
    EXPECT_EQ(c, click.newItem);
    EXPECT_EQ(0x401Cu, click.mask);
    EXPECT_EQ(0, click.column);
    EXPECT_EQ(4, click.pt.x);
    EXPECT_EQ(middle, click.pt.y);
    EXPECT_EQ(static_cast<UINT>(TVC_BYMOUSE), list.host.Of(TVN_SELCHANGEDW)[0].action);

    // Again, a few pixels aside (not a double click): back to image 1.
    list.host.notifications.clear();
    testkit::ClickAt(list.host.ScreenPoint(11, middle));
    EXPECT_EQ(0x1000u, list.host.State(c) & TVIS_STATEIMAGEMASK);
    ASSERT_EQ((std::vector<UINT>{TLN_STATEIMAGECLICKED, NM_CLICK}), list.host.Codes());
    EXPECT_EQ(0x1000u, list.host.notifications[0].state & TVIS_STATEIMAGEMASK);

    // A click on the text selects but changes no check state.
    list.host.notifications.clear();
    testkit::ClickAt(list.OnLabel(d));
    EXPECT_EQ(0x1000u, list.host.State(d) & TVIS_STATEIMAGEMASK);
    EXPECT_EQ((std::vector<UINT>{TVN_SELCHANGINGW, TVN_SELCHANGEDW, NM_CLICK}), list.host.Codes());
}

TEST(TreeListInput, CheckCycleStyleSwitchesTheLowStateBit)
{
    InputList list(treelist_test::kPageStyle | TVS_CHECKBOXES);
    list.host.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_CHECKCYCLE, TLS_EX_CHECKCYCLE);
    unsigned item = list.host.Insert(L"C:");
    list.host.SetState(item, INDEXTOSTATEIMAGEMASK(3), TVIS_STATEIMAGEMASK);
    testkit::ClickAt(list.host.ScreenPoint(4, list.Middle(item)));
    EXPECT_EQ(0x2000u, list.host.State(item) & TVIS_STATEIMAGEMASK);
}

TEST(TreeListInput, RightPressSelectsTheItemBeforeTheRightClickArrives)
{
    InputList list;
    list.host.AddColumn(L"保护文件", 300);
    list.host.AddColumn(L"保护方式", 100);
    list.host.Insert(L"C:\\ONE.TXT");
    unsigned two = list.host.Insert(L"C:\\TWO.TXT", 0, TVI_LAST, 22);
    list.host.notifications.clear();

    testkit::RightClickAt(list.host.ScreenPoint(320, list.Middle(two)));
    ASSERT_EQ((std::vector<UINT>{NM_SETFOCUS, TVN_SELCHANGINGW, TVN_SELCHANGEDW, NM_RCLICK}), list.host.Codes());
    const Notification& click = list.host.notifications.back();
    EXPECT_EQ(two, click.newItem);
    EXPECT_EQ(two, click.caret);
    EXPECT_EQ(22, click.newParam);
    EXPECT_EQ(1, click.column);

    // Below the rows: no item, the selection stays.
    list.host.notifications.clear();
    testkit::RightClickAt(list.host.ScreenPoint(100, 150));
    ASSERT_EQ((std::vector<UINT>{NM_RCLICK}), list.host.Codes());
    EXPECT_EQ(0u, list.host.notifications[0].newItem);
    EXPECT_EQ(two, list.Caret());
}

TEST(TreeListInput, ExpandButtonsAndDoubleClicksToggleTheBranch)
{
    InputList list(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT);
    unsigned folder = list.host.Insert(L"folder");
    unsigned child = list.host.Insert(L"child", folder);
    list.host.Insert(L"other");
    list.host.notifications.clear();

    testkit::ClickAt(list.host.ScreenPoint(7, list.Middle(folder)));
    EXPECT_EQ((std::vector<unsigned>{folder, child, 3}), list.host.Rows());
    EXPECT_EQ((std::vector<UINT>{NM_SETFOCUS, TVN_ITEMEXPANDINGW, TVN_ITEMEXPANDEDW, NM_CLICK}), list.host.Codes());
    EXPECT_EQ(0u, list.Caret()) << "the button does not select";

    list.host.notifications.clear();
    testkit::DoubleClickAt(list.OnLabel(folder));
    EXPECT_EQ((std::vector<unsigned>{folder, 3}), list.host.Rows());
    EXPECT_EQ((std::vector<UINT>{TVN_SELCHANGINGW, TVN_SELCHANGEDW, NM_CLICK, TVN_ITEMEXPANDINGW,
                                 TVN_ITEMEXPANDEDW, NM_DBLCLK}),
              list.host.Codes());
}

TEST(TreeListInput, KeyboardMovesTheCaretExpandsAndScrolls)
{
    InputList list(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_CHECKBOXES, 300, 120);
    unsigned a = list.host.Insert(L"a");
    unsigned a1 = list.host.Insert(L"a1", a);
    list.host.Insert(L"a2", a);
    std::vector<unsigned> top{a};
    for (int i = 0; i < 20; ++i)
        top.push_back(list.host.Insert((L"item" + std::to_wstring(i)).c_str()));
    list.FocusList();
    list.host.notifications.clear();

    testkit::PressKey(VK_DOWN);
    EXPECT_EQ(a, list.Caret());
    ASSERT_EQ((std::vector<UINT>{TVN_SELCHANGINGW, TVN_SELCHANGEDW, TVN_KEYDOWN}), list.host.Codes());
    EXPECT_EQ(static_cast<UINT>(TVC_BYKEYBOARD), list.host.notifications[1].action);
    EXPECT_EQ(VK_DOWN, list.host.notifications[2].key);

    testkit::PressKey(VK_RIGHT); // expands
    EXPECT_EQ(a, list.Caret());
    EXPECT_EQ(a1, list.host.Send(TLM_ROWTOITEM, 0, 1));
    testkit::PressKey(VK_RIGHT); // into the first child
    EXPECT_EQ(a1, list.Caret());
    testkit::PressKey(VK_LEFT); // to the parent
    EXPECT_EQ(a, list.Caret());
    testkit::PressKey(VK_LEFT); // collapses
    EXPECT_EQ(a, list.Caret());
    EXPECT_EQ(top[1], list.host.Send(TLM_ROWTOITEM, 0, 1));

    testkit::PressKey(VK_END);
    EXPECT_EQ(top.back(), list.Caret());
    EXPECT_GT(list.host.Send(TLM_ITEMTOROW, 0, top.back()), 0);
    testkit::PressKey(VK_HOME);
    EXPECT_EQ(a, list.Caret());
    EXPECT_EQ(a, list.host.Next(0, TVGN_FIRSTVISIBLE));
    LRESULT page = list.host.Send(TVM_GETVISIBLECOUNT);
    testkit::PressKey(VK_NEXT);
    EXPECT_EQ(page - 1, list.host.Send(TLM_ITEMTOROW, 0, list.Caret()));
    testkit::PressKey(VK_UP);
    EXPECT_EQ(page - 2, list.host.Send(TLM_ITEMTOROW, 0, list.Caret()));

    // Ctrl scrolls without moving the caret.
    unsigned caret = list.Caret();
    testkit::PressKeyWith(VK_CONTROL, VK_END);
    EXPECT_EQ(caret, list.Caret());
    EXPECT_EQ(list.host.Send(TLM_GETROWCOUNTSHOWN) - page,
              list.host.Send(TLM_ITEMTOROW, 0, list.host.Next(0, TVGN_FIRSTVISIBLE)));
    testkit::PressKeyWith(VK_CONTROL, VK_HOME);
    EXPECT_EQ(a, list.host.Next(0, TVGN_FIRSTVISIBLE));
    EXPECT_EQ(caret, list.Caret());

    // Space switches the check box without a click notification; Enter is
    // reported as NM_RETURN only.
    list.host.notifications.clear();
    testkit::PressKey(VK_SPACE);
    EXPECT_EQ(0x2000u, list.host.State(caret) & TVIS_STATEIMAGEMASK);
    testkit::PressKey(VK_RETURN);
    ASSERT_EQ((std::vector<UINT>{TVN_KEYDOWN, NM_RETURN}), list.host.Codes());
    EXPECT_EQ(VK_SPACE, list.host.notifications[0].key);
    EXPECT_EQ(VK_RETURN, list.host.notifications[1].key);

    // Backspace goes to the parent's row.
    list.host.Send(TVM_EXPAND, TVE_EXPAND, a);
    list.host.Send(TVM_SELECTITEM, TVGN_CARET, a1);
    testkit::PressKey(VK_BACK);
    EXPECT_EQ(a, list.Caret());
}

TEST(TreeListInput, TypingSelectsRowsByTheirFirstLetters)
{
    treelist_test::FakeClock clock;
    InputList list;
    unsigned zero = list.host.Insert(L"zero");
    unsigned apple = list.host.Insert(L"apple");
    unsigned about = list.host.Insert(L"About");
    unsigned avocado = list.host.Insert(L"avocado");
    unsigned abacus = list.host.Insert(L"ABACUS");
    unsigned banana = list.host.Insert(L"banana");
    list.FocusList();

    testkit::TypeText(L"a");
    EXPECT_EQ(apple, list.Caret());
    clock.now += 740;
    testkit::TypeText(L"b"); // "AB" goes on from the caret row
    EXPECT_EQ(about, list.Caret());
    EXPECT_EQ(static_cast<UINT>(TVC_BYKEYBOARD), list.host.Of(TVN_SELCHANGEDW).back().action);

    // The same letter again cycles through the rows starting with it.
    clock.now += 2000;
    testkit::TypeText(L"a");
    EXPECT_EQ(avocado, list.Caret());
    clock.now += 100;
    testkit::TypeText(L"a");
    EXPECT_EQ(abacus, list.Caret());
    clock.now += 100;
    testkit::TypeText(L"a");
    EXPECT_EQ(apple, list.Caret()) << "wraps around";

    // More than 750 ms after one character the buffer starts over.
    clock.now += 2000;
    testkit::TypeText(L"a");
    clock.now += 760;
    testkit::TypeText(L"b");
    EXPECT_EQ(banana, list.Caret());

    // Three characters or more keep the buffer for a whole second.
    clock.now += 2000;
    testkit::TypeText(L"a");
    clock.now += 700;
    testkit::TypeText(L"b");
    clock.now += 700;
    testkit::TypeText(L"a");
    EXPECT_EQ(abacus, list.Caret());
    clock.now += 990;
    testkit::TypeText(L"c");
    EXPECT_EQ(abacus, list.Caret());
    wchar_t buffer[32] = L"";
    EXPECT_EQ(1, list.host.Send(TVM_GETISEARCHSTRINGW, 0, reinterpret_cast<LPARAM>(buffer)));
    EXPECT_STREQ(L"ABAC", buffer);
    clock.now += 1001;
    testkit::TypeText(L"z");
    EXPECT_EQ(zero, list.Caret());
    clock.now += 751;
    EXPECT_EQ(0, list.host.Send(TVM_GETISEARCHSTRINGW, 0, 0));

    // A parent that takes the key away from the search.
    list.host.onNotify = [](NMHDR* header) -> LRESULT { return header->code == TVN_KEYDOWN ? 1 : 0; };
    clock.now += 2000;
    testkit::TypeText(L"b");
    EXPECT_EQ(zero, list.Caret());
}

TEST(TreeListInput, ContinuedSearchWithoutAMatchStartsOverWithTheNewCharacter)
{
    treelist_test::FakeClock clock;
    InputList list;
    list.host.Insert(L"alpha");
    unsigned beta = list.host.Insert(L"beta");
    list.FocusList();
    testkit::TypeText(L"a");
    clock.now += 200;
    testkit::TypeText(L"b"); // no row starts with "AB": searched again for "B"
    EXPECT_EQ(beta, list.Caret());
    wchar_t buffer[32] = L"";
    list.host.Send(TVM_GETISEARCHSTRINGW, 0, reinterpret_cast<LPARAM>(buffer));
    EXPECT_STREQ(L"B", buffer);
}

// A WM_CHAR with a repeat count types its character that many times; each
// press cycles on through the rows starting with it, in one scan of them.
TEST(TreeListInput, ARepeatedCharacterIsSearchedForInOneScan)
{
    treelist_test::FakeClock clock;
    TreeListHost host;
    unsigned apple1 = host.InsertCallback();
    host.InsertCallback();
    unsigned apple2 = host.InsertCallback();
    unsigned apple3 = host.InsertCallback();
    const wchar_t* texts[] = {L"apple 1", L"banana", L"apple 2", L"apple 3"};
    host.onNotify = [&](NMHDR* header) -> LRESULT {
        if (header->code == TVN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMTVDISPINFOW*>(header);
            ::lstrcpyW(info->item.pszText, texts[treelist_test::ItemNumber(info->item.hItem) - apple1]);
        }
        return 0;
    };
    const size_t rows = 4;

    // 65,535 presses from no caret: the matches go round 21,845 times and
    // the last press lands on the third.
    host.notifications.clear();
    host.Send(WM_CHAR, L'a', 0xFFFF);
    EXPECT_EQ(apple3, host.Next(0, TVGN_CARET));
    EXPECT_LE(host.Of(TVN_GETDISPINFOW).size(), rows);

    // Two more presses go on from the caret: round to the first, then the second.
    clock.now += 100;
    host.notifications.clear();
    host.Send(WM_CHAR, L'a', 2);
    EXPECT_EQ(apple2, host.Next(0, TVGN_CARET));
    EXPECT_LE(host.Of(TVN_GETDISPINFOW).size(), rows);
    host.onNotify = nullptr;
}

TEST(TreeListInput, DraggingAnItemStartsADragOnce)
{
    InputList list;
    list.host.AddColumn(L"name", 200);
    list.host.AddColumn(L"state", 100);
    unsigned item = list.host.Insert(L"drag me", 0, TVI_LAST, 5);
    list.host.Insert(L"other");
    list.host.notifications.clear();

    POINT from = list.OnLabel(item);
    testkit::Drag(from, POINT{from.x + 40, from.y + 40});
    std::vector<Notification> drags = list.host.Of(TVN_BEGINDRAGW);
    ASSERT_EQ(1u, drags.size());
    EXPECT_EQ(item, drags[0].newItem);
    EXPECT_EQ(5, drags[0].newParam);
    EXPECT_EQ(0, drags[0].column);
    EXPECT_EQ(0x401Cu, drags[0].mask);
    EXPECT_EQ((std::vector<UINT>{NM_SETFOCUS, TVN_SELCHANGINGW, TVN_SELCHANGEDW, NM_CLICK, TVN_BEGINDRAGW}),
              list.host.Codes());

    // A plain click starts nothing.
    list.host.notifications.clear();
    testkit::ClickAt(list.OnLabel(item));
    EXPECT_TRUE(list.host.Of(TVN_BEGINDRAGW).empty());
}

TEST(TreeListInput, ClippedTextsGetATooltipWhileTheMouseRestsOnThem)
{
    InputList list;
    list.host.AddColumn(L"name", 90);
    list.host.AddColumn(L"state", 100);
    const wchar_t longText[] = L"C:\\DOCUMENTS\\PROJECTS\\ARCHIVE\\FILE.DAT";
    unsigned clipped = list.host.Insert(longText);
    unsigned fits = list.host.Insert(L"short");
    HWND tip = reinterpret_cast<HWND>(list.host.Send(TVM_GETTOOLTIPS));
    ASSERT_NE(nullptr, tip);

    testkit::MoveCursorTo(list.OnLabel(fits));
    EXPECT_FALSE(::IsWindowVisible(tip));

    testkit::MoveCursorTo(list.OnLabel(clipped));
    ASSERT_TRUE(testkit::PumpUntil([&] { return ::IsWindowVisible(tip) != FALSE; }));
    wchar_t text[128] = L"";
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = list.host.List();
    tool.uId = reinterpret_cast<UINT_PTR>(list.host.List());
    tool.lpszText = text;
    ::SendMessageW(tip, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(longText, text);

    // The tip lies over the text; a click on it is the list's.
    RECT tipRect{};
    ::GetWindowRect(tip, &tipRect);
    list.host.notifications.clear();
    testkit::ClickAt(POINT{(tipRect.left + tipRect.right) / 2, (tipRect.top + tipRect.bottom) / 2});
    std::vector<Notification> clicks = list.host.Of(NM_CLICK);
    ASSERT_EQ(1u, clicks.size());
    EXPECT_EQ(clipped, clicks[0].newItem);
    EXPECT_EQ(clipped, list.Caret());
    EXPECT_EQ(list.host.List(), ::GetFocus());

    // Out of the list the list sees no more mouse moves: the check of the
    // timer hides the tip.
    testkit::MoveCursorTo(list.host.ScreenPoint(-5, list.Middle(clipped)));
    EXPECT_TRUE(testkit::PumpUntil([&] { return !::IsWindowVisible(tip); }, 10000));
}

TEST(TreeListInput, ControlAndShiftClicksBuildAMultipleSelection)
{
    InputList list;
    list.host.Send(TVM_SETEXTENDEDSTYLE, 0, TLS_EX_MULTISELECT);
    std::vector<unsigned> items;
    for (const wchar_t* text : {L"a", L"b", L"c", L"d", L"e"})
        items.push_back(list.host.Insert(text));
    auto selected = [&] {
        std::vector<unsigned> found;
        for (unsigned n = list.host.Next(0, TLGN_NEXTSELECTED); n; n = list.host.Next(n, TLGN_NEXTSELECTED))
            found.push_back(n);
        return found;
    };

    testkit::ClickAt(list.OnLabel(items[0]));
    testkit::ClickWith(VK_CONTROL, list.OnLabel(items[2]));
    EXPECT_EQ((std::vector<unsigned>{items[0], items[2]}), selected());
    EXPECT_EQ(items[2], list.Caret());

    testkit::ClickWith(VK_SHIFT, list.OnLabel(items[4]));
    EXPECT_EQ((std::vector<unsigned>{items[2], items[3], items[4]}), selected());

    testkit::ClickWith(VK_CONTROL, list.host.ScreenPoint(list.host.TextRect(items[3]).left + 10, list.Middle(items[3])));
    EXPECT_EQ((std::vector<unsigned>{items[2], items[4]}), selected());
    testkit::ClickWith(VK_CONTROL, list.host.ScreenPoint(list.host.TextRect(items[3]).left + 3, list.Middle(items[3])));
    EXPECT_EQ((std::vector<unsigned>{items[2], items[3], items[4]}), selected());
    testkit::ClickWith(VK_CONTROL, list.host.ScreenPoint(list.host.TextRect(items[3]).left + 10, list.Middle(items[3])));
    EXPECT_EQ((std::vector<unsigned>{items[2], items[4]}), selected()) << "the caret item leaves the selection too";

    // A plain click on a member keeps the selection until the button is released.
    testkit::ClickAt(list.OnLabel(items[2]));
    EXPECT_EQ((std::vector<unsigned>{items[2]}), selected());
    testkit::ClickAt(list.OnLabel(items[1]));
    EXPECT_EQ((std::vector<unsigned>{items[1]}), selected());
}

TEST(TreeListInput, TrackSelectUnderlinesTheTextUnderTheMouse)
{
    InputList list(treelist_test::kPageStyle | TVS_TRACKSELECT);
    unsigned item = list.host.Insert(L"HHHH");
    unsigned other = list.host.Insert(L"HHHH");
    testkit::MoveCursorTo(list.OnLabel(item));
    ::UpdateWindow(list.host.List());
    testkit::Pixels shot = testkit::Pixels::FromScreen(list.host.List());
    COLORREF marked = static_cast<COLORREF>(list.host.Send(TVM_GETBKCOLOR, TLC_MARKEDTEXT));
    RECT text = list.host.TextRect(item);
    int rowHeight = static_cast<int>(list.host.Send(TVM_GETITEMHEIGHT));
    int fontHeight = treelist_test::TextHeight(list.font.Get());
    TEXTMETRICW metrics{};
    {
        fw::ClientDC screen(nullptr);
        fw::SelectObjectScope select(screen, list.font.Get());
        ::GetTextMetricsW(screen, &metrics);
    }
    int line = (rowHeight - fontHeight) / 2 + metrics.tmAscent + 1;
    EXPECT_EQ(marked, shot.At(text.left + 3, text.top + line));
    RECT otherText = list.host.TextRect(other);
    EXPECT_NE(marked, shot.At(otherText.left + 3, otherText.top + line));
}
