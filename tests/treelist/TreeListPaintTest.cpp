// What the list shows on screen: texts cut with "...", highlighting, check
// boxes, row backgrounds, buttons, cells, marks; and that a paint only asks
// about the rows on the page.
#include "TreeListHost.h"

#include "framework/ClientDC.h"
#include "framework/MemoryDC.h"
#include "framework/SelectObjectScope.h"
#include "support/Pixels.h"
#include "support/PumpUntil.h"

#include <string>

using treelist_test::RenderText;
using treelist_test::SamePixels;
using treelist_test::TreeListHost;

namespace {

HTREEITEM H(unsigned item)
{
    return reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(item));
}

void AddSolidImage(HIMAGELIST images, COLORREF colour)
{
    fw::ClientDC screen(nullptr);
    fw::Bitmap bitmap(::CreateCompatibleBitmap(screen, 16, 16));
    {
        fw::MemoryDC memory(screen);
        fw::SelectObjectScope select(memory, bitmap.Get());
        RECT all{0, 0, 16, 16};
        ::SetBkColor(memory, colour);
        ::ExtTextOutW(memory, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    }
    ::ImageList_AddMasked(images, bitmap.Get(), RGB(255, 255, 255));
}

testkit::Pixels Shot(const TreeListHost& host)
{
    ::InvalidateRect(host.List(), nullptr, TRUE);
    return testkit::Pixels::FromScreen(host.List());
}

// A page-style list in the prefix's crisp dialog font, with fixed colours.
class PaintedList {
public:
    explicit PaintedList(DWORD style = treelist_test::kPageStyle, int width = 400, int height = 200)
        : host(style, width, height), font(treelist_test::SongFont())
    {
        host.Send(WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), 0);
        host.Send(TVM_SETBKCOLOR, TLC_BACKGROUND, kBack);
        host.Send(TVM_SETTEXTCOLOR, 0, kText);
        fontHeight = treelist_test::TextHeight(font.Get());
    }

    int RowHeight() const { return static_cast<int>(host.Send(TVM_GETITEMHEIGHT)); }
    // Where a plain text of the item is drawn: 2 pixels after its text part,
    // vertically centred in the row.
    POINT TextOrigin(unsigned item, int extra = 2) const
    {
        RECT text = host.TextRect(item);
        return POINT{text.left + extra, text.top + (RowHeight() - fontHeight) / 2};
    }
    bool ShowsText(const testkit::Pixels& shot, const std::wstring& text, POINT origin, int width,
                   COLORREF background, COLORREF colour, std::string* where) const
    {
        testkit::Pixels expected =
            RenderText(font.Get(), text, 0, 0, width, fontHeight, background, colour);
        return SamePixels(shot, origin.x, origin.y, expected, where);
    }

    static constexpr COLORREF kBack = RGB(250, 250, 240);
    static constexpr COLORREF kText = RGB(20, 40, 160);
    TreeListHost host;
    fw::Font font;
    int fontHeight = 0;
};

} // namespace

TEST(TreeListPainting, TextWiderThanItsColumnShowsItsLeadingCharactersAndDots)
{
    PaintedList list;
    const int columnWidth = 80;
    list.host.AddColumn(L"name", columnWidth);
    list.host.AddColumn(L"state", 100);
    const std::wstring text = L"ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    unsigned item = list.host.Insert(text.c_str());
    testkit::Pixels shot = Shot(list.host);
    POINT origin = list.TextOrigin(item);

    // As many whole characters as fit before the dots, 2 pixels short of the edge.
    int room = columnWidth - 2 - origin.x - treelist_test::TextWidth(list.font.Get(), L"...");
    size_t shown = 0;
    while (shown < text.size() && treelist_test::TextWidth(list.font.Get(), text.substr(0, shown + 1)) <= room)
        ++shown;
    ASSERT_GT(shown, 3u);
    ASSERT_LT(shown, text.size());
    std::string where;
    EXPECT_TRUE(list.ShowsText(shot, text.substr(0, shown) + L"...", origin, columnWidth - origin.x,
                               PaintedList::kBack, PaintedList::kText, &where))
        << where;

    // A text that fits is drawn whole.
    unsigned fits = list.host.Insert(L"ABC");
    shot = Shot(list.host);
    EXPECT_TRUE(list.ShowsText(shot, L"ABC", list.TextOrigin(fits), columnWidth - origin.x, PaintedList::kBack,
                               PaintedList::kText, &where))
        << where;
}

TEST(TreeListPainting, ColumnTooNarrowForACharacterShowsOnlyDots)
{
    PaintedList list;
    int dots = treelist_test::TextWidth(list.font.Get(), L"...");
    // Less than 3 pixels left for characters once the dots are placed.
    const int columnWidth = 2 + dots + 2 + 2;
    list.host.AddColumn(L"n", columnWidth);
    list.host.AddColumn(L"state", 100);
    unsigned item = list.host.Insert(L"WWWWWWWW");
    testkit::Pixels shot = Shot(list.host);
    POINT origin = list.TextOrigin(item);
    std::string where;
    EXPECT_TRUE(list.ShowsText(shot, L"...", origin, columnWidth - origin.x, PaintedList::kBack, PaintedList::kText,
                               &where))
        << where;
}

TEST(TreeListPainting, CellTextsFollowTheirColumnAlignment)
{
    PaintedList list;
    list.host.AddColumn(L"name", 100);
    list.host.AddColumn(L"right", 120, 32, LVCFMT_RIGHT);
    list.host.AddColumn(L"long", 60);
    unsigned item = list.host.Insert(L"row");
    list.host.SetCell(item, 1, L"1234");
    list.host.SetCell(item, 2, L"status text too long");
    testkit::Pixels shot = Shot(list.host);
    int top = list.TextOrigin(item).y;
    int width = treelist_test::TextWidth(list.font.Get(), L"1234");
    std::string where;
    // Right aligned: 6 pixels from the column's right edge.
    EXPECT_TRUE(list.ShowsText(shot, L"1234", POINT{100 + 120 - 6 - width, top}, width + 6, PaintedList::kBack,
                               PaintedList::kText, &where))
        << where;
    // A cell too narrow for its text is cut with "..." 4 pixels after its (empty) image place.
    std::wstring cut = L"status text too long";
    int room = 60 - 2 - 5 - treelist_test::TextWidth(list.font.Get(), L"...");
    size_t shown = 0;
    while (treelist_test::TextWidth(list.font.Get(), cut.substr(0, shown + 1)) <= room)
        ++shown;
    EXPECT_TRUE(list.ShowsText(shot, cut.substr(0, shown) + L"...", POINT{220 + 5, top}, 60 - 5, PaintedList::kBack,
                               PaintedList::kText, &where))
        << where;
}

TEST(TreeListPainting, SelectedTextIsHighlightedWhenFocusedAndPlainWithRowRepaintWhenNot)
{
    PaintedList list;
    list.host.AddColumn(L"name", 200);
    list.host.AddColumn(L"state", 100);
    list.host.Insert(L"first");
    unsigned item = list.host.Insert(L"Selected");
    list.host.Send(TVM_SELECTITEM, TVGN_CARET, item);
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF menu = ::GetSysColor(COLOR_MENU);
    ASSERT_NE(menu, PaintedList::kBack);
    int width = treelist_test::TextWidth(list.font.Get(), L"Selected");
    std::string where;

    // Unfocused, without row repaint: the text on a box of the menu colour.
    ::SetFocus(list.host.Parent());
    testkit::Pixels shot = Shot(list.host);
    POINT boxed = list.TextOrigin(item, 4);
    EXPECT_EQ(menu, shot.At(boxed.x - 2, boxed.y - 1));
    EXPECT_TRUE(list.ShowsText(shot, L"Selected", boxed, width, menu, PaintedList::kText, &where)) << where;

    // Focused: highlight colours, a dotted focus frame around the box.
    ::SetFocus(list.host.List());
    shot = Shot(list.host);
    EXPECT_TRUE(list.ShowsText(shot, L"Selected", boxed, width, highlight, ::GetSysColor(COLOR_HIGHLIGHTTEXT),
                               &where))
        << where;
    EXPECT_EQ(highlight, shot.At(boxed.x - 1, boxed.y));

    // Unfocused with row repaint: the row in slot 8, the text plain on it, no box.
    list.host.Send(TVM_SETEXTENDEDSTYLE, 0, TLS_EX_ROWREPAINT);
    ::SetFocus(list.host.Parent());
    shot = Shot(list.host);
    COLORREF row = static_cast<COLORREF>(list.host.Send(TVM_GETBKCOLOR, TLC_SELECTEDODD));
    POINT plain = list.TextOrigin(item);
    EXPECT_TRUE(list.ShowsText(shot, L"Selected", plain, width, row, PaintedList::kText, &where)) << where;
    EXPECT_EQ(row, shot.At(plain.x - 2, plain.y - 1));
    EXPECT_EQ(row, shot.At(350, plain.y));
    // The unselected row keeps the window background.
    EXPECT_EQ(PaintedList::kBack, shot.At(350, plain.y - list.RowHeight()));
}

TEST(TreeListPainting, CheckBoxImagesAndTheCheckMark)
{
    PaintedList list(treelist_test::kPageStyle | TVS_CHECKBOXES);
    list.host.AddColumn(L"disk", 300);
    unsigned unchecked = list.host.Insert(L"C:");
    unsigned checked = list.host.Insert(L"D:");
    list.host.SetState(checked, INDEXTOSTATEIMAGEMASK(2), TVIS_STATEIMAGEMASK);
    testkit::Pixels shot = Shot(list.host);
    const COLORREF frame = RGB(150, 150, 150);
    const COLORREF tick = RGB(30, 155, 255);
    const int rowHeight = list.RowHeight();
    auto imageTop = [&](unsigned item) { return list.host.RowRect(item).top + (rowHeight - 16) / 2; };

    for (unsigned item : {unchecked, checked}) {
        int top = imageTop(item);
        for (int i = 1; i <= 13; ++i) {
            EXPECT_EQ(frame, shot.At(i, top + 2)) << item << " top " << i;
            EXPECT_EQ(frame, shot.At(i, top + 14)) << item << " bottom " << i;
            EXPECT_EQ(frame, shot.At(1, top + 1 + i)) << item << " left " << i;
            EXPECT_EQ(frame, shot.At(13, top + 1 + i)) << item << " right " << i;
        }
        EXPECT_EQ(PaintedList::kBack, shot.At(0, top + 8));
        EXPECT_EQ(PaintedList::kBack, shot.At(14, top + 8));
        EXPECT_EQ(PaintedList::kBack, shot.At(7, top + 1));
    }
    // The inside lets the row show through, and only image 2 carries the mark.
    EXPECT_EQ(PaintedList::kBack, shot.At(7, imageTop(unchecked) + 8));
    const int strokeTops[7] = {7, 8, 9, 8, 7, 6, 5};
    int top = imageTop(checked);
    for (int i = 0; i < 7; ++i) {
        for (int y = strokeTops[i]; y < strokeTops[i] + 3; ++y)
            EXPECT_EQ(tick, shot.At(4 + i, top + y)) << "stroke " << i << " y " << y;
        EXPECT_EQ(PaintedList::kBack, shot.At(4 + i, top + strokeTops[i] - 1)) << "above stroke " << i;
        EXPECT_EQ(PaintedList::kBack, shot.At(4 + i, top + strokeTops[i] + 3)) << "below stroke " << i;
    }
    EXPECT_EQ(PaintedList::kBack, shot.At(3, top + 8));
    EXPECT_EQ(PaintedList::kBack, shot.At(11, top + 6));
}

TEST(TreeListPainting, RowBackgroundsAlternateAndGridLinesSeparateRowsAndColumns)
{
    PaintedList list;
    list.host.AddColumn(L"name", 150);
    list.host.AddColumn(L"state", 100);
    unsigned rows[3] = {list.host.Insert(L"zero"), list.host.Insert(L"one"), list.host.Insert(L"two")};
    const COLORREF odd = RGB(255, 240, 200), even = RGB(210, 255, 210), grid = RGB(90, 90, 250);
    list.host.Send(TVM_SETBKCOLOR, TLC_ODDROWS, odd);
    list.host.Send(TVM_SETBKCOLOR, TLC_EVENROWS, even);
    list.host.Send(TVM_SETBKCOLOR, TLC_GRID, grid);
    int plainHeight = list.RowHeight();

    list.host.Send(TVM_SETEXTENDEDSTYLE, 0, TLS_EX_ALTERNATEROWS);
    testkit::Pixels shot = Shot(list.host);
    for (int i = 0; i < 3; ++i) {
        RECT row = list.host.RowRect(rows[i]);
        COLORREF want = (i & 1) ? odd : even;
        EXPECT_EQ(want, shot.At(140, row.top + 1)) << "row " << i;
        EXPECT_EQ(want, shot.At(200, row.bottom - 1)) << "cell of row " << i;
        EXPECT_EQ(want, shot.At(380, row.top + 3)) << "right of the columns, row " << i;
    }
    int below = list.host.RowRect(rows[2]).bottom;
    EXPECT_EQ(PaintedList::kBack, shot.At(200, below + 2));

    // A selected row with row repaint: slot 8 on odd rows, 9 on even rows.
    const COLORREF selectedOdd = RGB(0, 120, 120), selectedEven = RGB(120, 0, 120);
    list.host.Send(TVM_SETBKCOLOR, TLC_SELECTEDODD, selectedOdd);
    list.host.Send(TVM_SETBKCOLOR, TLC_SELECTEDEVEN, selectedEven);
    list.host.Send(TVM_SETEXTENDEDSTYLE, 0, TLS_EX_ALTERNATEROWS | TLS_EX_ROWREPAINT);
    list.host.Send(TVM_SELECTITEM, TVGN_CARET, rows[1]);
    shot = Shot(list.host);
    EXPECT_EQ(selectedOdd, shot.At(380, list.host.RowRect(rows[1]).top + 3));
    list.host.Send(TVM_SELECTITEM, TVGN_CARET, rows[2]);
    shot = Shot(list.host);
    EXPECT_EQ(selectedEven, shot.At(380, list.host.RowRect(rows[2]).top + 3));
    EXPECT_EQ(odd, shot.At(380, list.host.RowRect(rows[1]).top + 3));
    list.host.Send(TVM_SELECTITEM, TVGN_CARET, 0);

    // Grid lines: one more pixel per row (kept even by the page style), rows
    // in slot 2, lines in slot 3.
    list.host.Send(TVM_SETEXTENDEDSTYLE, 0, TLS_EX_GRIDLINES);
    EXPECT_EQ((plainHeight + 2) & ~1, list.RowHeight());
    shot = Shot(list.host);
    for (int i = 0; i < 3; ++i) {
        RECT row = list.host.RowRect(rows[i]);
        EXPECT_EQ(even, shot.At(140, row.top + 1)) << "row " << i;
        EXPECT_EQ(grid, shot.At(140, row.bottom - 1)) << "line under row " << i;
        EXPECT_EQ(grid, shot.At(380, row.bottom - 1)) << "line under row " << i;
        EXPECT_EQ(grid, shot.At(150, row.top + 2)) << "column line in row " << i;
        EXPECT_EQ(even, shot.At(151, row.top + 2)) << "cell of row " << i;
    }
}

TEST(TreeListPainting, DisabledListUsesTheScrollBarColours)
{
    PaintedList list;
    list.host.AddColumn(L"name", 150);
    unsigned item = list.host.Insert(L"one");
    ::EnableWindow(list.host.List(), FALSE);
    testkit::Pixels shot = Shot(list.host);
    const COLORREF scroll = ::GetSysColor(COLOR_SCROLLBAR);
    EXPECT_EQ(scroll, shot.At(140, list.host.RowRect(item).top + 1));
    EXPECT_EQ(scroll, shot.At(200, list.host.RowRect(item).bottom + 5));
    ::EnableWindow(list.host.List(), TRUE);
    shot = Shot(list.host);
    EXPECT_EQ(PaintedList::kBack, shot.At(140, list.host.RowRect(item).top + 1));
}

TEST(TreeListPainting, ExpandButtonsShowPlusWhileCollapsedAndMinusWhenExpanded)
{
    PaintedList list(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT);
    const COLORREF sign = RGB(200, 0, 0), frame = RGB(0, 0, 200), inside = RGB(0, 200, 0);
    list.host.Send(TVM_SETLINECOLOR, 0, sign);
    list.host.Send(TVM_SETBKCOLOR, TLC_BUTTONFRAME, frame);
    list.host.Send(TVM_SETBKCOLOR, TLC_BUTTONINSIDE, inside);
    unsigned folder = list.host.Insert(L"folder");
    list.host.Insert(L"child", folder);
    unsigned plain = list.host.Insert(L"plain");

    auto check = [&](bool expanded) {
        testkit::Pixels shot = Shot(list.host);
        RECT row = list.host.RowRect(folder);
        int x = 7; // one indent from the left: the button sits at indent start + button size
        int middle = row.top + list.RowHeight() / 2;
        EXPECT_EQ(frame, shot.At(x - 4, middle - 4));
        EXPECT_EQ(frame, shot.At(x + 4, middle + 4));
        EXPECT_EQ(PaintedList::kBack, shot.At(x - 5, middle));
        EXPECT_EQ(inside, shot.At(x - 3, middle - 3));
        EXPECT_EQ(inside, shot.At(x + 3, middle + 3));
        for (int dx = -2; dx <= 2; ++dx)
            EXPECT_EQ(sign, shot.At(x + dx, middle)) << dx;
        EXPECT_EQ(inside, shot.At(x - 3, middle));
        for (int dy : {-2, -1, 1, 2})
            EXPECT_EQ(expanded ? inside : sign, shot.At(x, middle + dy)) << dy;
        // An item without children shows no button.
        EXPECT_EQ(PaintedList::kBack, shot.At(x - 4, list.host.RowRect(plain).top + list.RowHeight() / 2));
    };
    check(false);
    list.host.Send(TVM_EXPAND, TVE_EXPAND, folder);
    check(true);
    // Partly expanded still shows the plus.
    list.host.Send(TVM_EXPAND, TVE_EXPAND | TVE_EXPANDPARTIAL, folder);
    check(false);
}

TEST(TreeListPainting, TreeLinesAreDottedInTheShadowColour)
{
    PaintedList list(WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_LINESATROOT);
    unsigned first = list.host.Insert(L"first");
    unsigned last = list.host.Insert(L"last");
    testkit::Pixels shot = Shot(list.host);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    RECT row = list.host.RowRect(first);
    int middle = row.top + list.RowHeight() / 2;
    int lineX = 7;
    // Down the whole first row (it has a next sibling), dots on odd rows only.
    int dotted = 0;
    for (int y = row.top; y < row.bottom; ++y) {
        if (shot.At(lineX, y) == shadow) {
            EXPECT_EQ(1, y & 1) << y;
            ++dotted;
        }
    }
    EXPECT_GE(dotted, (row.bottom - row.top) / 2 - 1);
    // Across to the end of the indent at the middle.
    EXPECT_TRUE(shot.At(15, middle) == shadow || shot.At(16, middle) == shadow);
    // The last item's line ends at the middle of its row.
    RECT lastRow = list.host.RowRect(last);
    for (int y = lastRow.top + list.RowHeight() / 2 + 2; y < lastRow.bottom; ++y)
        EXPECT_EQ(PaintedList::kBack, shot.At(lineX, y)) << y;
}

TEST(TreeListPainting, IconsInsertMarkAndOwnColours)
{
    PaintedList list;
    list.host.AddColumn(L"name", 200);
    list.host.AddColumn(L"state", 100);
    fw::ImageList images(::ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 1));
    AddSolidImage(images.Get(), RGB(255, 0, 0));
    AddSolidImage(images.Get(), RGB(0, 0, 255));
    list.host.Send(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images.Get()));
    TVINSERTSTRUCTW insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<LPWSTR>(L"file");
    insert.item.iImage = 0;
    insert.item.iSelectedImage = 1;
    unsigned item = treelist_test::ItemNumberOf(list.host.Send(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    unsigned other = list.host.Insert(L"other");

    TVITEMW cell{};
    cell.mask = TLIF_COLUMN | TVIF_TEXT | TVIF_IMAGE;
    cell.hItem = H(item);
    cell.pszText = const_cast<LPWSTR>(L"ok");
    cell.iImage = 1;
    cell.cChildren = 1;
    list.host.Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&cell));

    testkit::Pixels shot = Shot(list.host);
    RECT row = list.host.RowRect(item);
    int middle = row.top + list.RowHeight() / 2;
    EXPECT_EQ(RGB(255, 0, 0), shot.At(8, middle));
    EXPECT_EQ(RGB(0, 0, 255), shot.At(200 + 1 + 8, middle)) << "cell image 1 pixel from the column's edge";
    EXPECT_EQ(16, list.host.TextRect(item).left);

    // The selected image while selected.
    list.host.Send(TVM_SELECTITEM, TVGN_CARET, item);
    shot = Shot(list.host);
    EXPECT_EQ(RGB(0, 0, 255), shot.At(8, middle));

    // Own background colours of item and cell.
    list.host.Send(TLM_SETCELLBKCOLOR, TLCELL(other, 0), RGB(1, 2, 3));
    list.host.Send(TLM_SETCELLBKCOLOR, TLCELL(other, 1), RGB(4, 5, 6));
    // The insert mark is an empty row in slot 10 across the columns.
    const COLORREF mark = RGB(255, 128, 0);
    list.host.Send(TVM_SETINSERTMARKCOLOR, 0, mark);
    unsigned inserted = treelist_test::ItemNumberOf(list.host.Send(TVM_SETINSERTMARK, TRUE, item));
    ASSERT_NE(0u, inserted);
    shot = Shot(list.host);
    RECT markRow = list.host.RowRect(inserted);
    EXPECT_EQ(mark, shot.At(100, markRow.top + 2));
    EXPECT_EQ(mark, shot.At(250, markRow.top + 2));
    RECT otherRow = list.host.RowRect(other);
    EXPECT_EQ(RGB(1, 2, 3), shot.At(180, otherRow.top + 2));
    EXPECT_EQ(RGB(4, 5, 6), shot.At(280, otherRow.top + 2));
    list.host.Send(TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
}

TEST(TreeListPainting, APaintAsksOnlyAboutTheRowsOnThePage)
{
    TreeListHost host(treelist_test::kPageStyle, 300, 200);
    const unsigned count = 5000;
    for (unsigned i = 0; i < count; ++i)
        host.InsertCallback();
    host.onNotify = [](NMHDR* header) -> LRESULT {
        if (header->code == TVN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMTVDISPINFOW*>(header);
            ::wsprintfW(info->item.pszText, L"row %u", treelist_test::ItemNumber(info->item.hItem));
        }
        return 0;
    };
    unsigned middle = treelist_test::ItemNumberOf(host.Send(TLM_ROWTOITEM, 0, count / 2));
    host.Send(TVM_SELECTITEM, TVGN_FIRSTVISIBLE, middle);
    testkit::PumpPending();
    host.notifications.clear();
    ::InvalidateRect(host.List(), nullptr, TRUE);
    ::UpdateWindow(host.List());
    unsigned pageRows = static_cast<unsigned>(host.Send(TLM_GETPAGEROWS));
    std::vector<treelist_test::Notification> asked = host.Of(TVN_GETDISPINFOW);
    ASSERT_FALSE(asked.empty());
    EXPECT_LE(asked.size(), pageRows);
    for (const auto& n : asked) {
        LRESULT row = host.Send(TLM_ITEMTOROW, 0, n.newItem);
        EXPECT_GE(row, static_cast<LRESULT>(count / 2));
        EXPECT_LT(row, static_cast<LRESULT>(count / 2 + pageRows));
    }
}

TEST(TreeListPainting, ParentDeletingRowsWhileTheyArePaintedGetsAFreshPaint)
{
    TreeListHost host(treelist_test::kPageStyle, 300, 200);
    unsigned first = host.InsertCallback();
    unsigned second = host.InsertCallback();
    unsigned third = host.Insert(L"plain");
    bool deleted = false;
    host.onNotify = [&](NMHDR* header) -> LRESULT {
        if (header->code != TVN_GETDISPINFOW)
            return 0;
        auto* info = reinterpret_cast<NMTVDISPINFOW*>(header);
        ::lstrcpyW(info->item.pszText, L"asked");
        if (!deleted) {
            // The very item being asked about goes.
            deleted = true;
            host.Delete(treelist_test::ItemNumber(info->item.hItem));
        }
        return 0;
    };
    ::InvalidateRect(host.List(), nullptr, TRUE);
    ::UpdateWindow(host.List());
    ASSERT_TRUE(deleted);
    EXPECT_EQ((std::vector<unsigned>{second, third}), host.Rows());
    EXPECT_EQ(0, host.Send(TVM_GETITEMSTATE, first, 0xFFFF)) << "gone";
    // The interrupted paint asked for another, which shows the rows left.
    RECT dirty{};
    EXPECT_TRUE(::GetUpdateRect(host.List(), &dirty, FALSE));
    ::UpdateWindow(host.List());
    EXPECT_FALSE(::GetUpdateRect(host.List(), &dirty, FALSE));
}

TEST(TreeListPainting, DragImageShowsTheItemOrAMissingCell)
{
    PaintedList list;
    list.host.AddColumn(L"name", 200);
    list.host.AddColumn(L"state", 100);
    unsigned item = list.host.Insert(L"drag me");
    HIMAGELIST picture = reinterpret_cast<HIMAGELIST>(list.host.Send(TVM_CREATEDRAGIMAGE, 0, item));
    ASSERT_NE(nullptr, picture);
    int width = 0, height = 0;
    ::ImageList_GetIconSize(picture, &width, &height);
    EXPECT_EQ(1, ::ImageList_GetImageCount(picture));
    EXPECT_EQ(2 + treelist_test::TextWidth(list.font.Get(), L"drag me") + 2, width);
    EXPECT_EQ(list.RowHeight(), height);
    ::ImageList_Destroy(picture);

    picture = reinterpret_cast<HIMAGELIST>(list.host.Send(TVM_CREATEDRAGIMAGE, 1, item));
    ASSERT_NE(nullptr, picture);
    ::ImageList_GetIconSize(picture, &width, &height);
    EXPECT_EQ(2 + treelist_test::TextWidth(list.font.Get(), L"????") + 2, width);
    ::ImageList_Destroy(picture);

    std::wstring wide(200, L'W');
    list.host.SetCell(item, 1, wide.c_str());
    picture = reinterpret_cast<HIMAGELIST>(list.host.Send(TVM_CREATEDRAGIMAGE, 1, item));
    ::ImageList_GetIconSize(picture, &width, &height);
    EXPECT_EQ(240, width);
    ::ImageList_Destroy(picture);
    EXPECT_EQ(0, list.host.Send(TVM_CREATEDRAGIMAGE, 2, item));
    EXPECT_EQ(0, list.host.Send(TVM_CREATEDRAGIMAGE, 0, 999));
}
