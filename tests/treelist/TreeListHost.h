#pragma once
#include "framework/UniqueHandle.h"
#include "support/Pixels.h"
#include "ui/treelist/CZendalTreeListCtrl.h"
#include "ui/treelist/TreeList.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace treelist_test {

constexpr int kListId = 12321;
constexpr DWORD kPageStyle = CZendalTreeListCtrl::kListStyle;

// Bits of a pointer-sized message parameter: its top bit (31 on x86, 63 on
// x86-64), and bit 32, which only x86-64 has (0 on x86).
constexpr WPARAM kTopParamBit = WPARAM{1} << (sizeof(WPARAM) * 8 - 1);
constexpr WPARAM kParamBit32 = (WPARAM{1} << 16) << 16;

// TVI_ROOT as a message parameter: pointer-sized, 0xFFFFFFFFFFFF0000 on
// x86-64, so never kept in an item number's 32 bits.
inline LPARAM RootParam()
{
    return reinterpret_cast<LPARAM>(TVI_ROOT);
}

// The item number a handle or a message result carries. Item numbers are
// small: a value that does not fit in 32 bits (a handle with stray high
// bits on x86-64) is a failure, not something to cut down.
unsigned ItemNumber(ULONG_PTR handle);
inline unsigned ItemNumber(HTREEITEM handle)
{
    return ItemNumber(reinterpret_cast<ULONG_PTR>(handle));
}
inline unsigned ItemNumberOf(LRESULT result)
{
    return ItemNumber(static_cast<ULONG_PTR>(result));
}

// One WM_NOTIFY the parent received, with the fields the tests look at.
struct Notification {
    UINT code = 0;
    UINT_PTR id = 0;
    HWND from = nullptr;
    UINT action = 0;
    unsigned oldItem = 0;
    unsigned newItem = 0;
    LPARAM oldParam = 0;
    LPARAM newParam = 0;
    int column = 0;
    UINT mask = 0;
    UINT state = 0;
    POINT pt{};
    std::wstring text;
    bool hasText = false;
    WORD key = 0;
    unsigned caret = 0; // the selected item while the parent handled the notification
};

// Whether the list's record keeps its invariants; names the first one broken.
bool Consistent(HWND list, std::string* problem);

// A real top-level parent window with a TreeList child (id 12321). The parent
// records every WM_NOTIFY; a test may answer or act on one through onNotify.
// The list promises a consistent record whenever it notifies: each
// notification checks it (checkEachNotification), before onNotify acts. A
// host that goes checks that no handler of the list waited for its own
// semaphore (beyond expectedLockFaults).
class TreeListHost {
public:
    explicit TreeListHost(DWORD listStyle = kPageStyle, int width = 500, int height = 300);
    ~TreeListHost();
    TreeListHost(const TreeListHost&) = delete;
    TreeListHost& operator=(const TreeListHost&) = delete;

    HWND Parent() const { return parent_; }
    HWND List() const { return list_; }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(list_, message, wParam, lParam);
    }

    // state: the item's state bits (TVIF_STATE) when nonzero.
    unsigned Insert(const wchar_t* text, unsigned parent = 0, HTREEITEM after = TVI_LAST, LPARAM lParam = 0,
                    UINT state = 0) const;
    unsigned InsertCallback(unsigned parent = 0) const;
    bool SetCell(unsigned item, int column, const wchar_t* text) const;
    std::wstring Text(unsigned item, int column = 0) const;
    bool Delete(unsigned item) const;
    // item is an item number or RootParam().
    unsigned Next(LPARAM item, WPARAM code) const;
    std::vector<unsigned> Rows() const;
    std::vector<unsigned> Children(unsigned parent) const;
    int AddColumn(const wchar_t* caption, int width, WPARAM index = 32, int format = LVCFMT_LEFT) const;
    UINT State(unsigned item) const;
    void SetState(unsigned item, UINT state, UINT mask) const;
    // Screen point at client coordinates of the list.
    POINT ScreenPoint(int x, int y) const;
    // The text rectangle (TVM_GETITEMRECT, text part) of an item.
    RECT TextRect(unsigned item) const;
    RECT RowRect(unsigned item) const;

    std::vector<Notification> notifications;
    std::vector<UINT> Codes() const;
    std::vector<Notification> Of(UINT code) const;
    std::function<LRESULT(NMHDR*)> onNotify;
    bool checkEachNotification = true;
    long expectedLockFaults = 0;

private:
    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(NMHDR* header);

    HWND parent_ = nullptr;
    HWND list_ = nullptr;
    long lockFaultsBefore_ = 0;
};

// Records every message sent to a window (subclassing it) while it exists.
class MessageRecorder {
public:
    explicit MessageRecorder(HWND hwnd);
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    std::vector<UINT> messages;
    int depth = 0;
    int deepest = 0;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd_;
    WNDPROC previous_;
};

// While it lives the incremental search reads the time from `now`, which
// the test moves on by hand; it starts far from any earlier key.
class FakeClock {
public:
    FakeClock();
    ~FakeClock();
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;
    static DWORD now;
};

// The prefix's "宋体": SimSun's cell, drawn without smoothing.
fw::Font SongFont();
int TextHeight(HFONT font);
int TextWidth(HFONT font, const std::wstring& text);
// What ExtTextOut draws for the text at (x, y) on a width x height background.
testkit::Pixels RenderText(HFONT font, const std::wstring& text, int x, int y, int width, int height,
                           COLORREF background, COLORREF colour);
// Whether the area of `expected` shows the same pixels at (left, top) of `actual`;
// names the first difference in *where.
bool SamePixels(const testkit::Pixels& actual, int left, int top, const testkit::Pixels& expected,
                std::string* where);

} // namespace treelist_test
