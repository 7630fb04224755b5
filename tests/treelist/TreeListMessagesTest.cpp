// The window class, its settings messages, columns, image lists, colours,
// geometry and painting.
#include "TreeListHost.h"
#include "support/Pixels.h"
#include "support/PumpUntil.h"
#include "ui/treelist/TreeListData.h"

#include <cstring>

using treelist_test::TreeListHost;

namespace {

HTREEITEM H(unsigned item)
{
    return reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(item));
}

TEST(TreeListClass, RegistersOnceWithItsClassRecord)
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    EXPECT_EQ(1, TreeListRegister(instance));
    EXPECT_EQ(1, TreeListRegister(instance));
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(::GetClassInfoExW(instance, L"TreeList", &info));
    EXPECT_EQ(static_cast<UINT>(CS_DBLCLKS), info.style);
    EXPECT_EQ(0, info.cbClsExtra);
    // Room for the address of the instance record: 4 bytes on x86, 8 on x86-64.
    EXPECT_EQ(static_cast<int>(sizeof(void*)), info.cbWndExtra);
    EXPECT_EQ(nullptr, info.hbrBackground);
    EXPECT_EQ(nullptr, info.hIcon);

    // A window keeps the whole address there.
    TreeListHost host;
    auto* record = reinterpret_cast<const TreeListData*>(::GetWindowLongPtrW(host.List(), 0));
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(host.List(), record->hwnd);
}

TEST(TreeListClass, CreationDefaults)
{
    TreeListHost host;
    EXPECT_EQ(0, host.Send(TVM_GETCOUNT));
    EXPECT_EQ(19, host.Send(TVM_GETINDENT));
    EXPECT_EQ(0, host.Send(TVM_GETEXTENDEDSTYLE));
    EXPECT_EQ(0, host.Send(TLM_GETCOLUMNCOUNT));
    EXPECT_EQ(0, host.Send(TLM_GETHEADER));
    EXPECT_NE(0, host.Send(TVM_GETTOOLTIPS));
    EXPECT_EQ(0, host.Send(TVM_GETEDITCONTROL));
    EXPECT_EQ(0, host.Send(TVM_GETIMAGELIST, TVSIL_NORMAL));
    EXPECT_EQ(0, host.Send(TVM_GETIMAGELIST, TVSIL_STATE));

    // Automatic row height: font height + 2, at least 10, made even by style 0x4000.
    LRESULT height = host.Send(TVM_GETITEMHEIGHT);
    EXPECT_GE(height, 10);
    EXPECT_EQ(0, height % 2);
    RECT client;
    ::GetClientRect(host.List(), &client);
    EXPECT_EQ(client.bottom / height, host.Send(TVM_GETVISIBLECOUNT));
    EXPECT_EQ((client.bottom + height - 1) / height, host.Send(TLM_GETPAGEROWS));

    TreeListHost noTips(WS_CHILD | WS_VISIBLE | TVS_NOTOOLTIPS);
    EXPECT_EQ(0, noTips.Send(TVM_GETTOOLTIPS));
}

TEST(TreeListClass, DialogCodes)
{
    TreeListHost host;
    MSG enter{};
    enter.message = WM_KEYDOWN;
    enter.wParam = VK_RETURN;
    EXPECT_EQ(DLGC_WANTALLKEYS, host.Send(WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)));
    MSG other = enter;
    other.wParam = VK_DOWN;
    EXPECT_EQ(DLGC_WANTARROWS | DLGC_WANTCHARS, host.Send(WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(&other)));
    EXPECT_EQ(DLGC_WANTARROWS | DLGC_WANTCHARS, host.Send(WM_GETDLGCODE, 0, 0));
    EXPECT_EQ(1, host.Send(TLM_ACKNOWLEDGE));
    EXPECT_EQ(1, host.Send(WM_KEYUP, VK_DOWN, 0));
}

TEST(TreeListClass, FocusChangesAreReported)
{
    TreeListHost host;
    HWND other = ::CreateWindowExW(0, L"BUTTON", L"x", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, host.Parent(), nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
    ::SetFocus(other);
    host.notifications.clear();
    ::SetFocus(host.List());
    ::SetFocus(other);
    EXPECT_EQ((std::vector<UINT>{static_cast<UINT>(NM_SETFOCUS), static_cast<UINT>(NM_KILLFOCUS)}), host.Codes());
}

TEST(TreeListSettings, IndentIsClamped)
{
    TreeListHost host;
    EXPECT_EQ(19, host.Send(TVM_SETINDENT, 2));
    EXPECT_EQ(5, host.Send(TVM_GETINDENT));
    EXPECT_EQ(5, host.Send(TVM_SETINDENT, 100));
    EXPECT_EQ(64, host.Send(TVM_GETINDENT));
    host.Send(TVM_SETINDENT, 30);
    EXPECT_EQ(30, host.Send(TVM_GETINDENT));
}

TEST(TreeListSettings, ItemHeightIsEvenAndClampedUnlessOddHeightsAreAllowed)
{
    TreeListHost host;
    LRESULT automatic = host.Send(TVM_GETITEMHEIGHT);
    EXPECT_EQ(automatic, host.Send(TVM_SETITEMHEIGHT, 17));
    EXPECT_EQ(16, host.Send(TVM_GETITEMHEIGHT));
    host.Send(TVM_SETITEMHEIGHT, 0);
    EXPECT_EQ(1, host.Send(TVM_GETITEMHEIGHT));
    host.Send(TVM_SETITEMHEIGHT, 300);
    EXPECT_EQ(256, host.Send(TVM_GETITEMHEIGHT));
    host.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_ODDHEIGHTS, TLS_EX_ODDHEIGHTS);
    host.Send(TVM_SETITEMHEIGHT, 17);
    EXPECT_EQ(17, host.Send(TVM_GETITEMHEIGHT));
    EXPECT_EQ(17, host.Send(TVM_SETITEMHEIGHT, static_cast<WPARAM>(-1)));
    EXPECT_EQ(automatic, host.Send(TVM_GETITEMHEIGHT));

    // Grid lines add one pixel before the window style makes the height even.
    host.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_GRIDLINES, TLS_EX_GRIDLINES);
    LRESULT gridded = host.Send(TVM_GETITEMHEIGHT);
    EXPECT_EQ(0, gridded % 2);
    EXPECT_GE(gridded, automatic);
    EXPECT_LE(gridded, automatic + 2);
    TreeListHost oddAllowed(WS_CHILD | WS_VISIBLE);
    LRESULT plain = oddAllowed.Send(TVM_GETITEMHEIGHT);
    oddAllowed.Send(TVM_SETEXTENDEDSTYLE, 0, TLS_EX_GRIDLINES);
    EXPECT_EQ(plain + 1, oddAllowed.Send(TVM_GETITEMHEIGHT));
}

TEST(TreeListSettings, ExtendedStyleMask)
{
    TreeListHost host;
    EXPECT_EQ(TLS_EX_ROWREPAINT, static_cast<DWORD>(host.Send(TVM_SETEXTENDEDSTYLE, 0, TLS_EX_ROWREPAINT)));
    EXPECT_EQ(TLS_EX_ROWREPAINT | TLS_EX_CHECKCYCLE,
              static_cast<DWORD>(host.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_CHECKCYCLE, 0xFFFFFFFF)));
    EXPECT_EQ(TLS_EX_CHECKCYCLE, static_cast<DWORD>(host.Send(TVM_SETEXTENDEDSTYLE, TLS_EX_ROWREPAINT, 0)));
    EXPECT_EQ(0u, static_cast<DWORD>(host.Send(TVM_SETEXTENDEDSTYLE, 0, 0)));
}

COLORREF Tint(COLORREF colour, COLORREF highlight)
{
    auto channel = [&](int shift) {
        return ((((colour >> shift) & 0xFF) >> 3) * 7 + (((highlight >> shift) & 0xFF) >> 3)) << shift;
    };
    return channel(0) | channel(8) | channel(16);
}

TEST(TreeListColours, DefaultsFollowTheSystemColours)
{
    TreeListHost host;
    COLORREF window = ::GetSysColor(COLOR_WINDOW);
    COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT);
    COLORREF info = ::GetSysColor(COLOR_INFOBK);
    auto slot = [&](int i) { return static_cast<COLORREF>(host.Send(TVM_GETBKCOLOR, i)); };
    EXPECT_EQ(window, slot(0));
    EXPECT_EQ(window, slot(2));
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), slot(3));
    EXPECT_EQ(text, slot(4));
    EXPECT_EQ(text, slot(5));
    EXPECT_EQ(::GetSysColor(COLOR_BTNSHADOW), slot(6));
    EXPECT_EQ(text ^ 0xFF0000, slot(7));
    EXPECT_EQ(Tint(slot(1), ::GetSysColor(COLOR_HIGHLIGHT)), slot(8));
    EXPECT_EQ(Tint(slot(2), ::GetSysColor(COLOR_HIGHLIGHT)), slot(9));
    EXPECT_EQ(info, slot(10));
    EXPECT_EQ(window, slot(11));
    EXPECT_EQ(static_cast<LRESULT>(text), host.Send(TVM_GETTEXTCOLOR));
    EXPECT_EQ(static_cast<LRESULT>(text), host.Send(TVM_GETLINECOLOR));
    EXPECT_EQ(static_cast<LRESULT>(info), host.Send(TVM_GETINSERTMARKCOLOR));

    // Odd rows: the info colour, unless it is too close to the even rows.
    host.Send(TVM_SETBKCOLOR, 2, static_cast<LPARAM>(info ^ 0x000002));
    COLORREF even = slot(2);
    int blue = static_cast<int>((even >> 16) & 0xFF) - 8;
    EXPECT_EQ((even & 0xFFFF) | (static_cast<COLORREF>(blue < 0 ? 0 : blue) << 16), slot(1));
    EXPECT_EQ(Tint(slot(1), ::GetSysColor(COLOR_HIGHLIGHT)), slot(8));
}

TEST(TreeListColours, SettingReturnsThePreviousAndMinusOneRestoresTheDefault)
{
    TreeListHost host;
    COLORREF window = ::GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(static_cast<LRESULT>(window), host.Send(TVM_SETBKCOLOR, 0, RGB(1, 2, 3)));
    EXPECT_EQ(static_cast<LRESULT>(RGB(1, 2, 3)), host.Send(TVM_GETBKCOLOR, 0));
    EXPECT_EQ(static_cast<LRESULT>(RGB(1, 2, 3)), host.Send(TVM_SETBKCOLOR, 0, -1));
    EXPECT_EQ(static_cast<LRESULT>(window), host.Send(TVM_GETBKCOLOR, 0));

    host.Send(TVM_SETTEXTCOLOR, 0, RGB(4, 5, 6));
    EXPECT_EQ(static_cast<LRESULT>(RGB(4, 5, 6)), host.Send(TVM_GETBKCOLOR, 4));
    host.Send(TVM_SETLINECOLOR, 0, RGB(7, 8, 9));
    EXPECT_EQ(static_cast<LRESULT>(RGB(7, 8, 9)), host.Send(TVM_GETBKCOLOR, 5));

    // Slot 12 does not exist: -1 and nothing changes.
    std::vector<LRESULT> before;
    for (int i = 0; i < 12; ++i)
        before.push_back(host.Send(TVM_GETBKCOLOR, i));
    EXPECT_EQ(-1, host.Send(TVM_SETBKCOLOR, 12, RGB(9, 9, 9)));
    EXPECT_EQ(-1, host.Send(TVM_GETBKCOLOR, 12));
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(before[i], host.Send(TVM_GETBKCOLOR, i)) << i;

    // A user colour survives a system colour change; defaults are recomputed.
    host.Send(WM_SYSCOLORCHANGE);
    EXPECT_EQ(static_cast<LRESULT>(RGB(4, 5, 6)), host.Send(TVM_GETTEXTCOLOR));
    EXPECT_EQ(static_cast<LRESULT>(window), host.Send(TVM_GETBKCOLOR, 0));
}

// A slot or column in a pointer-sized parameter is checked at the parameter's
// whole width: with its top bit set it names nothing, on x86-64 too, where
// cutting it to 32 bits would leave a slot or column that exists.
TEST(TreeListColours, SlotsAndColumnsAreCheckedAtTheWholeWidthOfTheParameter)
{
    const WPARAM top = treelist_test::kTopParamBit;
    TreeListHost host;
    host.AddColumn(L"name", 200);
    host.AddColumn(L"state", 100);
    unsigned item = host.Insert(L"item");
    host.SetCell(item, 1, L"ok");

    LRESULT background = host.Send(TVM_GETBKCOLOR, 0);
    EXPECT_EQ(-1, host.Send(TVM_SETBKCOLOR, top, RGB(9, 9, 9)));
    EXPECT_EQ(-1, host.Send(TVM_GETBKCOLOR, top));
    EXPECT_EQ(background, host.Send(TVM_GETBKCOLOR, 0));

    host.Send(TLM_SETCELLTEXTCOLOR, TLCELL(item, 1), RGB(1, 2, 3));
    EXPECT_EQ(-1, host.Send(TLM_GETCELLTEXTCOLOR, item, static_cast<LPARAM>(top | 1)));
    EXPECT_EQ(0, host.Send(TVM_CREATEDRAGIMAGE, top | 1, item));

    host.Send(TVM_SETEXTENDEDSTYLE, 0, TLS_EX_CELLSELECT);
    EXPECT_EQ(0, host.Send(TLM_SETCELLMARK, top | 1, item));
    EXPECT_EQ(0, host.Send(TLM_SELECTCELL, top | 1, item));
    EXPECT_EQ(0u, host.Next(0, TVGN_CARET));
    EXPECT_EQ(1, host.Send(TLM_SELECTCELL, 1, item));
    EXPECT_EQ(1, host.Send(TVM_GETNEXTITEM, TLGN_CARETCOLUMN, 0));
}

TEST(TreeListPainting, BackgroundIsPaintedInSlotZero)
{
    TreeListHost host;
    host.Send(TVM_SETBKCOLOR, 0, RGB(200, 10, 30));
    ::UpdateWindow(host.List());
    testkit::Pixels pixels = testkit::Pixels::FromScreen(host.List());
    ASSERT_FALSE(pixels.Empty());
    EXPECT_EQ(RGB(200, 10, 30), pixels.At(5, 5));
    EXPECT_EQ(RGB(200, 10, 30), pixels.At(pixels.Width() - 3, pixels.Height() - 3));
}

TEST(TreeListColumns, HeaderComesWithTheFirstColumnAndTheThirtyThirdIsRefused)
{
    TreeListHost host;
    ASSERT_EQ(0, host.AddColumn(L"准备操作的文件列表", 392));
    HWND header = reinterpret_cast<HWND>(host.Send(TLM_GETHEADER));
    ASSERT_NE(nullptr, header);
    wchar_t className[32] = {};
    ::GetClassNameW(header, className, 32);
    EXPECT_STREQ(L"SysHeader32", className);
    EXPECT_EQ(1, ::GetDlgCtrlID(header));
    RECT rect;
    ::GetWindowRect(header, &rect);
    EXPECT_EQ(::GetSystemMetrics(SM_CYHSCROLL), rect.bottom - rect.top);

    ASSERT_EQ(1, host.AddColumn(L"操作状态", 100));
    EXPECT_EQ(392, host.Send(TLM_GETCOLUMNWIDTH, 0));
    EXPECT_EQ(100, host.Send(TLM_GETCOLUMNWIDTH, 1));
    wchar_t caption[64] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.pszText = caption;
    column.cchTextMax = 64;
    ASSERT_EQ(1, host.Send(TLM_GETCOLUMN, 1, reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ(L"操作状态", caption);
    EXPECT_EQ(100, column.cx);
    EXPECT_EQ(LVCFMT_LEFT, column.fmt);

    for (int i = 2; i < 32; ++i)
        ASSERT_EQ(i, host.AddColumn(L"more", 20)) << i;
    EXPECT_EQ(-1, host.AddColumn(L"33rd", 20));
    EXPECT_EQ(32, host.Send(TLM_GETCOLUMNCOUNT));
    EXPECT_EQ(32, ::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));

    unsigned item = host.Insert(L"x");
    EXPECT_TRUE(host.SetCell(item, 31, L"last"));
    EXPECT_EQ(1, host.Send(TLM_REMOVECOLUMN, 5));
    EXPECT_EQ(L"last", host.Text(item, 30));
    EXPECT_EQ(31, ::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(0, host.Send(TLM_REMOVECOLUMN, 0));
    EXPECT_EQ(0, host.Send(TLM_REMOVECOLUMN, 31));
}

TEST(TreeListColumns, InsertingAColumnShiftsTheCellsRight)
{
    TreeListHost host;
    host.AddColumn(L"tree", 100);
    host.AddColumn(L"second", 100);
    unsigned item = host.Insert(L"item");
    host.SetCell(item, 1, L"was one");
    EXPECT_EQ(1, host.AddColumn(L"new", 50, 1));
    EXPECT_EQ(L"", host.Text(item, 1));
    EXPECT_EQ(L"was one", host.Text(item, 2));
    EXPECT_EQ(L"item", host.Text(item, 0));
}

TEST(TreeListColumns, AutomaticColumnsShareTheRestOfTheWidth)
{
    TreeListHost host(treelist_test::kPageStyle, 400, 200);
    RECT client;
    ::GetClientRect(host.List(), &client);
    host.AddColumn(L"fixed", 100);
    LVCOLUMNW automatic{};
    automatic.mask = LVCF_TEXT;
    automatic.pszText = const_cast<LPWSTR>(L"auto");
    ASSERT_EQ(1, host.Send(TLM_ADDCOLUMN, 1, reinterpret_cast<LPARAM>(&automatic)));
    EXPECT_EQ(client.right - 100, host.Send(TLM_GETCOLUMNWIDTH, 1));

    automatic.mask = LVCF_TEXT | LVCF_SUBITEM;
    automatic.iSubItem = 3;
    ASSERT_EQ(2, host.Send(TLM_ADDCOLUMN, 2, reinterpret_cast<LPARAM>(&automatic)));
    LRESULT one = host.Send(TLM_GETCOLUMNWIDTH, 1);
    LRESULT three = host.Send(TLM_GETCOLUMNWIDTH, 2);
    EXPECT_EQ(client.right - 100, one + three);
    EXPECT_NEAR(three, one * 3, 3);

    ::SetWindowPos(host.List(), nullptr, 0, 0, 480, 200, SWP_NOMOVE | SWP_NOZORDER);
    ::GetClientRect(host.List(), &client);
    EXPECT_EQ(client.right - 100, host.Send(TLM_GETCOLUMNWIDTH, 1) + host.Send(TLM_GETCOLUMNWIDTH, 2));
    EXPECT_EQ(100, host.Send(TLM_GETCOLUMNWIDTH, 0));

    // Minimum width from LVCF_ORDER is enforced on a set width.
    LVCOLUMNW minimum{};
    minimum.mask = LVCF_WIDTH | LVCF_ORDER;
    minimum.cx = 10;
    minimum.iOrder = 40;
    ASSERT_EQ(3, host.Send(TLM_ADDCOLUMN, 3, reinterpret_cast<LPARAM>(&minimum)));
    EXPECT_EQ(40, host.Send(TLM_GETCOLUMNWIDTH, 3));
    host.Send(TLM_SETCOLUMNWIDTH, 3, 5);
    EXPECT_EQ(40, host.Send(TLM_GETCOLUMNWIDTH, 3));
    host.Send(TLM_SETCOLUMNWIDTH, 3, 70);
    EXPECT_EQ(70, host.Send(TLM_GETCOLUMNWIDTH, 3));
}

TEST(TreeListColumns, EditModesAndEditData)
{
    TreeListHost host;
    host.AddColumn(L"a", 100);
    host.AddColumn(L"b", 100);
    EXPECT_EQ(0, host.Send(TLM_SETCOLUMNEDITDATA, 1, 5));
    EXPECT_EQ(1, host.Send(TLM_SETCOLUMNEDITMODE, TLEDIT_WPARAM(1, 1, 0), 0));
    EXPECT_EQ(1, host.Send(TLM_SETCOLUMNEDITDATA, 1, 5));
    EXPECT_EQ(0, host.Send(TLM_SETCOLUMNEDITMODE, TLEDIT_WPARAM(0, 6, 0), 0));
    EXPECT_EQ(0, host.Send(TLM_SETCOLUMNEDITMODE, TLEDIT_WPARAM(2, 1, 0), 0));
    EXPECT_EQ(0, host.Send(TVM_GETIMAGELIST, TLSIL_CELLCHECK));
    EXPECT_EQ(1, host.Send(TLM_SETCOLUMNEDITMODE, TLEDIT_WPARAM(1, 6, 0), 0));
    EXPECT_NE(0, host.Send(TVM_GETIMAGELIST, TLSIL_CELLCHECK));
    EXPECT_EQ(1, host.Send(TLM_SETCOLUMNEDITMODE, TLEDIT_WPARAM(1, 0, 0), 0));
    EXPECT_EQ(0, host.Send(TLM_SETCOLUMNEDITDATA, 1, 5));
}

// What an image of a list looks like drawn on a known background.
testkit::Pixels DrawImage(HIMAGELIST list, int index, COLORREF background)
{
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    HBRUSH brush = ::CreateSolidBrush(background);
    RECT all = {0, 0, 16, 16};
    ::FillRect(memory, &all, brush);
    ::DeleteObject(brush);
    ::ImageList_Draw(list, index, memory, 0, 0, ILD_TRANSPARENT);
    ::SelectObject(memory, old);
    testkit::Pixels pixels = testkit::Pixels::FromBitmap(bitmap);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

TEST(TreeListImages, CheckBoxStyleBuildsItsOwnStateImages)
{
    TreeListHost host(treelist_test::kPageStyle | TVS_CHECKBOXES);
    HIMAGELIST states = reinterpret_cast<HIMAGELIST>(host.Send(TVM_GETIMAGELIST, TVSIL_STATE));
    ASSERT_NE(nullptr, states);
    EXPECT_EQ(3, ::ImageList_GetImageCount(states));
    int width = 0, height = 0;
    ::ImageList_GetIconSize(states, &width, &height);
    EXPECT_EQ(16, width);
    EXPECT_EQ(16, height);
    EXPECT_GE(host.Send(TVM_GETITEMHEIGHT), 18);

    const COLORREF back = RGB(0, 128, 0);
    const COLORREF frame = RGB(150, 150, 150);
    const COLORREF tick = RGB(30, 155, 255);
    testkit::Pixels empty = DrawImage(states, 0, back);
    testkit::Pixels unchecked = DrawImage(states, 1, back);
    testkit::Pixels checked = DrawImage(states, 2, back);
    EXPECT_EQ(back, empty.At(7, 7));
    EXPECT_EQ(frame, unchecked.At(1, 2));
    EXPECT_EQ(frame, unchecked.At(13, 14));
    EXPECT_EQ(back, unchecked.At(7, 7)); // the inside is transparent
    EXPECT_EQ(back, unchecked.At(0, 0));
    EXPECT_EQ(frame, checked.At(1, 8));
    const int tops[7] = {7, 8, 9, 8, 7, 6, 5};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(tick, checked.At(4 + i, tops[i])) << i;
        EXPECT_EQ(tick, checked.At(4 + i, tops[i] + 2)) << i;
        EXPECT_EQ(back, checked.At(4 + i, tops[i] + 3)) << i;
    }

    // New items start unchecked; the check state reads as the state image - 1.
    unsigned item = host.Insert(L"C:");
    TVITEMW state{};
    state.mask = TVIF_HANDLE | TVIF_STATE;
    state.hItem = H(item);
    state.stateMask = TVIS_STATEIMAGEMASK;
    host.Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(0, TL_STATE_IMAGE(state.state) - 1);
    state.state = INDEXTOSTATEIMAGEMASK(2);
    EXPECT_EQ(0, host.Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&state)));
    state.state = 0;
    host.Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(1, TL_STATE_IMAGE(state.state) - 1);
}

TEST(TreeListImages, ListsHandedInStayTheirOwnersAfterTheWindowGoes)
{
    HIMAGELIST normal = ::ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    HIMAGELIST mine = ::ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    ASSERT_NE(nullptr, normal);
    {
        TreeListHost host(treelist_test::kPageStyle | TVS_CHECKBOXES);
        host.AddColumn(L"a", 100);
        EXPECT_EQ(0, host.Send(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(normal)));
        EXPECT_EQ(reinterpret_cast<LRESULT>(normal), host.Send(TVM_GETIMAGELIST, TVSIL_NORMAL));
        HWND header = reinterpret_cast<HWND>(host.Send(TLM_GETHEADER));
        EXPECT_EQ(reinterpret_cast<LRESULT>(normal), ::SendMessageW(header, HDM_GETIMAGELIST, 0, 0));

        // Replacing the built check-box list never hands out its (destroyed) handle.
        EXPECT_EQ(0, host.Send(TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(mine)));
        EXPECT_EQ(reinterpret_cast<LRESULT>(mine), host.Send(TVM_SETIMAGELIST, TVSIL_STATE, 0));
        // Clearing it with check boxes brings back a built one.
        HIMAGELIST rebuilt = reinterpret_cast<HIMAGELIST>(host.Send(TVM_GETIMAGELIST, TVSIL_STATE));
        EXPECT_NE(nullptr, rebuilt);
        EXPECT_NE(mine, rebuilt);
        EXPECT_EQ(0, host.Send(TVM_SETIMAGELIST, 1, reinterpret_cast<LPARAM>(mine)));
        EXPECT_EQ(0, host.Send(TVM_SETIMAGELIST, 5, reinterpret_cast<LPARAM>(mine)));
        host.Send(TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(mine));
    }
    // Both lists outlived the window and still work.
    EXPECT_EQ(0, ::ImageList_GetImageCount(normal));
    EXPECT_EQ(0, ::ImageList_GetImageCount(mine));
    EXPECT_TRUE(::ImageList_Destroy(normal));
    EXPECT_TRUE(::ImageList_Destroy(mine));
}

TEST(TreeListGeometry, ItemRectanglesAndHitTesting)
{
    TreeListHost host(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT, 400, 200);
    host.AddColumn(L"name", 200);
    host.AddColumn(L"state", 100);
    LRESULT headerHeight = ::GetSystemMetrics(SM_CYHSCROLL);
    LRESULT rowHeight = host.Send(TVM_GETITEMHEIGHT);
    unsigned folder = host.Insert(L"folder");
    unsigned child = host.Insert(L"child", folder);
    unsigned plain = host.Insert(L"plain");
    host.SetCell(plain, 1, L"ok");

    // The item goes in where the rectangle comes back: the whole handle.
    HTREEITEM plainHandle = H(plain);
    RECT rect{};
    std::memcpy(&rect, &plainHandle, sizeof plainHandle);
    ASSERT_EQ(1, host.Send(TVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rect)));
    EXPECT_EQ(headerHeight + rowHeight, rect.top);
    EXPECT_EQ(headerHeight + 2 * rowHeight, rect.bottom);

    RECT text{};
    std::memcpy(&text, &plainHandle, sizeof plainHandle);
    ASSERT_EQ(1, host.Send(TVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&text)));
    EXPECT_EQ(19, text.left); // one indent for lines at root, no images
    EXPECT_GT(text.right, text.left);

    RECT cell{};
    std::memcpy(&cell, &plainHandle, sizeof plainHandle);
    ASSERT_EQ(1, host.Send(TVM_GETITEMRECT, TLIR_CELL(TLIR_COLUMN, 1), reinterpret_cast<LPARAM>(&cell)));
    EXPECT_EQ(200, cell.left);
    EXPECT_EQ(300, cell.right);
    // Only bits 24-31 name the column, also in a 64-bit parameter.
    RECT wide{};
    std::memcpy(&wide, &plainHandle, sizeof plainHandle);
    ASSERT_EQ(1, host.Send(TVM_GETITEMRECT, treelist_test::kParamBit32 | TLIR_CELL(TLIR_COLUMN, 1),
                           reinterpret_cast<LPARAM>(&wide)));
    EXPECT_EQ(200, wide.left);

    RECT hidden{};
    HTREEITEM childHandle = H(child);
    std::memcpy(&hidden, &childHandle, sizeof childHandle);
    EXPECT_EQ(0, host.Send(TVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&hidden)));
    EXPECT_TRUE(::IsRectEmpty(&hidden));

    auto hit = [&](int x, int y, UINT* flags) {
        TVHITTESTINFO info{};
        info.pt = {x, y};
        unsigned item = treelist_test::ItemNumberOf(host.Send(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
        *flags = info.flags;
        EXPECT_EQ(item, treelist_test::ItemNumber(info.hItem));
        return item;
    };
    UINT flags = 0;
    int folderMiddle = static_cast<int>(headerHeight + rowHeight / 2);
    int plainMiddle = static_cast<int>(headerHeight + rowHeight + rowHeight / 2);
    EXPECT_EQ(folder, hit(7, folderMiddle, &flags));
    EXPECT_EQ(static_cast<UINT>(TVHT_ONITEMBUTTON), flags);
    EXPECT_EQ(plain, hit(7, plainMiddle, &flags));
    EXPECT_EQ(static_cast<UINT>(TVHT_ONITEMINDENT), flags);
    EXPECT_EQ(plain, hit(text.left + 3, plainMiddle, &flags));
    EXPECT_EQ(static_cast<UINT>(TVHT_ONITEMLABEL), flags);
    EXPECT_EQ(plain, hit(190, plainMiddle, &flags));
    EXPECT_EQ(static_cast<UINT>(TVHT_ONITEMRIGHT), flags);
    EXPECT_EQ(plain, hit(205, plainMiddle, &flags));
    EXPECT_EQ(1u, TLHT_COLUMN(flags));
    EXPECT_EQ(TLHT_ONCELLLABEL, flags & 0xFFFFFF);
    EXPECT_EQ(plain, hit(290, plainMiddle, &flags));
    EXPECT_EQ(TLHT_ONCELLRIGHT | (1u << 24), flags);
    EXPECT_EQ(plain, hit(350, plainMiddle, &flags));
    EXPECT_EQ(TLHT_RIGHTOFCOLUMNS, flags);
    EXPECT_EQ(0u, hit(50, static_cast<int>(headerHeight + 5 * rowHeight), &flags));
    EXPECT_EQ(static_cast<UINT>(TVHT_NOWHERE), flags);
    EXPECT_EQ(0u, hit(-5, 30, &flags));
    EXPECT_EQ(static_cast<UINT>(TVHT_TOLEFT), flags);
    EXPECT_EQ(0u, hit(5, -30, &flags));
    EXPECT_EQ(static_cast<UINT>(TVHT_ABOVE), flags);
}

TEST(TreeListGeometry, ScrollingByWheelAndScrollBar)
{
    TreeListHost host(treelist_test::kPageStyle, 300, 200);
    for (int i = 0; i < 100; ++i)
        host.Insert(L"row");
    EXPECT_EQ(1u, host.Next(0, TVGN_FIRSTVISIBLE));
    EXPECT_EQ(1, host.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0));
    EXPECT_EQ(3u, host.Next(0, TVGN_FIRSTVISIBLE));
    EXPECT_EQ(0, host.Send(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-120)), 0));
    EXPECT_EQ(3u, host.Next(0, TVGN_FIRSTVISIBLE));
    host.Send(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(4u, host.Next(0, TVGN_FIRSTVISIBLE));
    host.Send(WM_VSCROLL, SB_BOTTOM);
    LRESULT fully = host.Send(TVM_GETVISIBLECOUNT);
    EXPECT_EQ(static_cast<unsigned>(100 - fully + 1), host.Next(0, TVGN_FIRSTVISIBLE));
    EXPECT_EQ(0u, host.Next(5, TVGN_NEXTVISIBLE)); // off the page
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(::GetScrollInfo(host.List(), SB_VERT, &info));
    EXPECT_EQ(99, info.nMax);
    EXPECT_EQ(static_cast<UINT>(fully), info.nPage);
    EXPECT_EQ(100 - fully, info.nPos);

    EXPECT_EQ(1, host.Send(TVM_SELECTITEM, TVGN_FIRSTVISIBLE, 10));
    EXPECT_EQ(10u, host.Next(0, TVGN_FIRSTVISIBLE));
    EXPECT_EQ(11u, host.Next(10, TVGN_NEXTVISIBLE));
    EXPECT_EQ(1, host.Send(TVM_ENSUREVISIBLE, 0, 2));
    EXPECT_EQ(2u, host.Next(0, TVGN_FIRSTVISIBLE));
}

} // namespace

namespace {

TEST(TreeListSettings, FontChangesTheAutomaticRowHeight)
{
    TreeListHost host;
    LRESULT before = host.Send(TVM_GETITEMHEIGHT);
    LOGFONTW big{};
    big.lfHeight = -40;
    lstrcpyW(big.lfFaceName, L"Tahoma");
    HFONT font = ::CreateFontIndirectW(&big);
    ASSERT_NE(nullptr, font);
    host.Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    LRESULT larger = host.Send(TVM_GETITEMHEIGHT);
    EXPECT_GT(larger, before);
    EXPECT_EQ(0, larger % 2);
    host.Send(WM_SETFONT, 0, TRUE);
    EXPECT_EQ(before, host.Send(TVM_GETITEMHEIGHT));
    ::DestroyWindow(host.List());
    EXPECT_NE(0u, ::GetObjectType(font)); // the caller's font is left alone
    ::DeleteObject(font);
}

TEST(TreeListSettings, StyleChangesApplyCheckBoxesAndTooltips)
{
    TreeListHost host;
    EXPECT_EQ(0, host.Send(TVM_GETIMAGELIST, TVSIL_STATE));
    ::SetWindowLongPtrW(host.List(), GWL_STYLE, ::GetWindowLongPtrW(host.List(), GWL_STYLE) | TVS_CHECKBOXES);
    EXPECT_NE(0, host.Send(TVM_GETIMAGELIST, TVSIL_STATE));
    unsigned item = host.Insert(L"x");
    EXPECT_EQ(static_cast<LRESULT>(INDEXTOSTATEIMAGEMASK(1)), host.Send(TVM_GETITEMSTATE, item, 0) & TVIS_STATEIMAGEMASK);
    ::SetWindowLongPtrW(host.List(), GWL_STYLE, ::GetWindowLongPtrW(host.List(), GWL_STYLE) & ~TVS_CHECKBOXES);
    EXPECT_EQ(0, host.Send(TVM_GETIMAGELIST, TVSIL_STATE));
}

struct TooltipCount {
    HWND owner;
    int tooltips;
};

BOOL CALLBACK CountTooltip(HWND hwnd, LPARAM param)
{
    auto* count = reinterpret_cast<TooltipCount*>(param);
    wchar_t name[64] = L"";
    ::GetClassNameW(hwnd, name, 64);
    if (::lstrcmpiW(name, TOOLTIPS_CLASSW) == 0 && ::GetWindow(hwnd, GW_OWNER) == count->owner)
        ++count->tooltips;
    return TRUE;
}

// A popup made with a child as its parent is owned by the child's top-level window.
int OwnedTooltips(HWND topLevel)
{
    TooltipCount count{topLevel, 0};
    ::EnumThreadWindows(::GetCurrentThreadId(), CountTooltip, reinterpret_cast<LPARAM>(&count));
    return count.tooltips;
}

// Turning tooltips off hides the tooltip the list built and turning them on
// uses it again: however often the style goes back and forth, the list has
// one tooltip, and it goes with the list.
TEST(TreeListSettings, TooltipStyleKeepsOneTooltip)
{
    TreeListHost host;
    HWND list = host.List();
    LRESULT tooltip = host.Send(TVM_GETTOOLTIPS);
    ASSERT_EQ(1, OwnedTooltips(host.Parent()));
    for (int i = 0; i < 3; ++i) {
        ::SetWindowLongPtrW(list, GWL_STYLE, ::GetWindowLongPtrW(list, GWL_STYLE) | TVS_NOTOOLTIPS);
        ::SetWindowLongPtrW(list, GWL_STYLE, ::GetWindowLongPtrW(list, GWL_STYLE) & ~TVS_NOTOOLTIPS);
        EXPECT_EQ(tooltip, host.Send(TVM_GETTOOLTIPS));
        EXPECT_EQ(1, OwnedTooltips(host.Parent()));
    }
    ::DestroyWindow(list);
    EXPECT_EQ(0, OwnedTooltips(host.Parent()));
}

TEST(TreeListColumns, HeaderTrackingAndClicks)
{
    TreeListHost host;
    host.AddColumn(L"name", 200);
    host.AddColumn(L"state", 100);
    HWND header = reinterpret_cast<HWND>(host.Send(TLM_GETHEADER));
    HDITEMW item{};
    item.mask = HDI_WIDTH;
    item.cxy = 150;
    NMHEADERW track{};
    track.hdr.hwndFrom = header;
    track.hdr.idFrom = 1;
    track.hdr.code = HDN_ENDTRACKW;
    track.iItem = 1;
    track.pitem = &item;
    host.Send(WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&track));
    EXPECT_EQ(150, host.Send(TLM_GETCOLUMNWIDTH, 1));
    HDITEMW shown{};
    shown.mask = HDI_WIDTH;
    ::SendMessageW(header, HDM_GETITEMW, 1, reinterpret_cast<LPARAM>(&shown));
    EXPECT_EQ(150, shown.cxy);

    // A divider double click fits the column to its widest text.
    unsigned row = host.Insert(L"x");
    host.SetCell(row, 1, L"a rather long status text");
    track.hdr.code = HDN_DIVIDERDBLCLICKW;
    track.pitem = nullptr;
    host.Send(WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&track));
    LRESULT fitted = host.Send(TLM_GETCOLUMNWIDTH, 1);
    EXPECT_GT(fitted, 60);
    EXPECT_LT(fitted, 150);

    // Header clicks reach the parent with the list's own id.
    host.notifications.clear();
    track.hdr.code = HDN_ITEMCLICKW;
    host.Send(WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&track));
    ASSERT_EQ((std::vector<UINT>{static_cast<UINT>(NM_SETFOCUS), static_cast<UINT>(HDN_ITEMCLICKW)}), host.Codes());
    EXPECT_EQ(static_cast<UINT_PTR>(treelist_test::kListId), host.notifications[1].id);
    EXPECT_EQ(host.List(), host.notifications[1].from);
    EXPECT_EQ(host.List(), ::GetFocus());
}

TEST(TreeListGeometry, ScrollBarFollowsTheRowsOnceTheBurstIsOver)
{
    TreeListHost host(treelist_test::kPageStyle, 300, 200);
    for (int i = 0; i < 60; ++i)
        host.Insert(L"row");
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    EXPECT_TRUE(testkit::PumpUntil([&] { return ::GetScrollInfo(host.List(), SB_VERT, &info) && info.nMax == 59; }));
    EXPECT_EQ(static_cast<UINT>(host.Send(TVM_GETVISIBLECOUNT)), info.nPage);
    EXPECT_NE(0, ::GetWindowLongPtrW(host.List(), GWL_STYLE) & WS_VSCROLL);

    host.Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    EXPECT_TRUE(testkit::PumpUntil([&] { return (::GetWindowLongPtrW(host.List(), GWL_STYLE) & WS_VSCROLL) == 0; }));
}

} // namespace
