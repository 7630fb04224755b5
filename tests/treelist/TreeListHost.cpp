#include "TreeListHost.h"

#include "framework/ClientDC.h"
#include "ui/treelist/TreeListData.h"
#include "framework/MemoryDC.h"
#include "framework/SelectObjectScope.h"

#include <cstring>
#include <sstream>

namespace treelist_test {

namespace {

const wchar_t kParentClass[] = L"TreeListTestParent";

void RegisterClasses()
{
    static bool done = false;
    if (done)
        return;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    ASSERT_EQ(1, TreeListRegister(instance));
    WNDCLASSEXW parentClass{};
    parentClass.cbSize = sizeof parentClass;
    parentClass.lpfnWndProc = DefWindowProcW;
    parentClass.hInstance = instance;
    parentClass.lpszClassName = kParentClass;
    parentClass.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    ASSERT_NE(0, ::RegisterClassExW(&parentClass));
    done = true;
}

} // namespace

bool Consistent(HWND list, std::string* problem)
{
    auto* record = reinterpret_cast<const TreeListData*>(::GetWindowLongPtrW(list, 0));
    char text[256];
    if (!record || TreeListCheckInvariants(record, text, sizeof text))
        return true;
    *problem = text;
    return false;
}

unsigned ItemNumber(ULONG_PTR handle)
{
    EXPECT_EQ(handle, static_cast<ULONG_PTR>(static_cast<unsigned>(handle))) << "not an item number";
    return static_cast<unsigned>(handle);
}

TreeListHost::TreeListHost(DWORD listStyle, int width, int height) : lockFaultsBefore_(TreeListLockFaults())
{
    RegisterClasses();
    parent_ = ::CreateWindowExW(0, kParentClass, L"TreeList test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                width + 40, height + 60, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    EXPECT_NE(nullptr, parent_);
    ::SetWindowLongPtrW(parent_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrW(parent_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TreeListHost::ParentProc));
    list_ = ::CreateWindowExW(0, TREELIST_CLASSNAME, L"", listStyle, 10, 10, width, height, parent_,
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kListId)), ::GetModuleHandleW(nullptr),
                              nullptr);
    EXPECT_NE(nullptr, list_);
}

TreeListHost::~TreeListHost()
{
    onNotify = nullptr;
    if (parent_)
        ::DestroyWindow(parent_);
    EXPECT_EQ(lockFaultsBefore_ + expectedLockFaults, TreeListLockFaults()) << "a handler waited for its own semaphore";
}

LRESULT CALLBACK TreeListHost::ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* host = reinterpret_cast<TreeListHost*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NOTIFY && host)
        return host->OnNotify(reinterpret_cast<NMHDR*>(lParam));
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT TreeListHost::OnNotify(NMHDR* header)
{
    std::string problem;
    if (checkEachNotification && header->hwndFrom == list_) {
        EXPECT_TRUE(Consistent(list_, &problem)) << "notification " << static_cast<int>(header->code) << ": " << problem;
    }
    Notification record;
    record.code = header->code;
    record.id = header->idFrom;
    record.from = header->hwndFrom;
    switch (header->code) {
    case TVN_SELCHANGINGW:
    case TVN_SELCHANGEDW:
    case TVN_DELETEITEMW:
    case TVN_ITEMEXPANDINGW:
    case TVN_ITEMEXPANDEDW:
    case TVN_SINGLEEXPAND: {
        auto* nm = reinterpret_cast<NMTREEVIEWW*>(header);
        record.action = nm->action;
        record.oldItem = ItemNumber(nm->itemOld.hItem);
        record.newItem = ItemNumber(nm->itemNew.hItem);
        record.oldParam = nm->itemOld.lParam;
        record.newParam = nm->itemNew.lParam;
        break;
    }
    case TVN_GETDISPINFOW:
    case TVN_SETDISPINFOW:
    case TVN_BEGINLABELEDITW:
    case TVN_ENDLABELEDITW: {
        auto* info = reinterpret_cast<NMTVDISPINFOW*>(header);
        record.newItem = ItemNumber(info->item.hItem);
        record.column = info->item.cChildren;
        record.mask = info->item.mask;
        record.newParam = info->item.lParam;
        record.hasText = header->code != TVN_GETDISPINFOW && info->item.pszText != nullptr;
        if (record.hasText)
            record.text = info->item.pszText;
        break;
    }
    case NM_CLICK:
    case NM_DBLCLK:
    case NM_RCLICK:
    case NM_RDBLCLK:
    case TVN_BEGINDRAGW:
    case TVN_BEGINRDRAGW:
    case TLN_STATEIMAGECLICKED: {
        auto* nm = reinterpret_cast<NMTREEVIEWW*>(header);
        record.action = nm->action;
        record.newItem = ItemNumber(nm->itemNew.hItem);
        record.newParam = nm->itemNew.lParam;
        record.mask = nm->itemNew.mask;
        record.state = nm->itemNew.state;
        record.column = nm->itemNew.cChildren;
        record.pt = nm->ptDrag;
        record.hasText = (nm->itemNew.mask & TVIF_TEXT) && nm->itemNew.pszText;
        if (record.hasText)
            record.text = nm->itemNew.pszText;
        break;
    }
    case TVN_KEYDOWN:
    case NM_RETURN:
        record.key = reinterpret_cast<NMTVKEYDOWN*>(header)->wVKey;
        break;
    default:
        break;
    }
    record.caret = ItemNumberOf(::SendMessageW(list_, TVM_GETNEXTITEM, TVGN_CARET, 0));
    notifications.push_back(record);
    return onNotify ? onNotify(header) : 0;
}

std::vector<UINT> TreeListHost::Codes() const
{
    std::vector<UINT> codes;
    for (const Notification& n : notifications)
        codes.push_back(n.code);
    return codes;
}

std::vector<Notification> TreeListHost::Of(UINT code) const
{
    std::vector<Notification> found;
    for (const Notification& n : notifications)
        if (n.code == code)
            found.push_back(n);
    return found;
}

unsigned TreeListHost::Insert(const wchar_t* text, unsigned parent, HTREEITEM after, LPARAM lParam, UINT state) const
{
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent ? reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(parent)) : TVI_ROOT;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | (state ? TVIF_STATE : 0);
    insert.item.pszText = const_cast<LPWSTR>(text);
    insert.item.lParam = lParam;
    insert.item.state = insert.item.stateMask = state;
    return ItemNumberOf(Send(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

unsigned TreeListHost::InsertCallback(unsigned parent) const
{
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent ? reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(parent)) : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = LPSTR_TEXTCALLBACKW;
    return ItemNumberOf(Send(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

bool TreeListHost::SetCell(unsigned item, int column, const wchar_t* text) const
{
    TVITEMW record{};
    record.mask = TLIF_COLUMN | TVIF_TEXT;
    record.hItem = reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(item));
    record.pszText = const_cast<LPWSTR>(text);
    record.cchTextMax = text ? 256 : 0;
    record.cChildren = column;
    return Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&record)) == 0;
}

std::wstring TreeListHost::Text(unsigned item, int column) const
{
    TVITEMW record{};
    record.mask = TLIF_TEXTPTR | TLIF_COLUMN | TVIF_TEXT;
    record.hItem = reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(item));
    record.cChildren = column;
    if (!Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&record)))
        return L"<invalid>";
    if (record.pszText == LPSTR_TEXTCALLBACKW)
        return L"<callback>";
    return record.pszText ? record.pszText : L"<null>";
}

bool TreeListHost::Delete(unsigned item) const
{
    return Send(TVM_DELETEITEM, 0, static_cast<LPARAM>(item)) != 0;
}

unsigned TreeListHost::Next(LPARAM item, WPARAM code) const
{
    return ItemNumberOf(Send(TVM_GETNEXTITEM, code, item));
}

std::vector<unsigned> TreeListHost::Rows() const
{
    std::vector<unsigned> rows;
    LRESULT count = Send(TLM_GETROWCOUNTSHOWN);
    for (LRESULT row = 0; row < count; ++row)
        rows.push_back(ItemNumberOf(Send(TLM_ROWTOITEM, 0, row)));
    EXPECT_EQ(0, Send(TLM_ROWTOITEM, 0, count));
    return rows;
}

std::vector<unsigned> TreeListHost::Children(unsigned parent) const
{
    std::vector<unsigned> children;
    for (unsigned n = Next(parent ? static_cast<LPARAM>(parent) : RootParam(), TVGN_CHILD); n; n = Next(n, TVGN_NEXT))
        children.push_back(n);
    return children;
}

int TreeListHost::AddColumn(const wchar_t* caption, int width, WPARAM index, int format) const
{
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<LPWSTR>(caption);
    column.cchTextMax = 256;
    if (index == 32)
        index = static_cast<WPARAM>(Send(TLM_GETCOLUMNCOUNT));
    return static_cast<int>(Send(TLM_ADDCOLUMN, index, reinterpret_cast<LPARAM>(&column)));
}

UINT TreeListHost::State(unsigned item) const
{
    return static_cast<UINT>(Send(TVM_GETITEMSTATE, item, 0xFFFFFFFF));
}

void TreeListHost::SetState(unsigned item, UINT state, UINT mask) const
{
    TVITEMW record{};
    record.mask = TVIF_HANDLE | TVIF_STATE;
    record.hItem = reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(item));
    record.state = state;
    record.stateMask = mask;
    Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&record));
}

POINT TreeListHost::ScreenPoint(int x, int y) const
{
    POINT point{x, y};
    ::ClientToScreen(list_, &point);
    return point;
}

RECT TreeListHost::TextRect(unsigned item) const
{
    RECT rect{};
    HTREEITEM handle = reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(item));
    std::memcpy(&rect, &handle, sizeof handle);
    Send(TVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

RECT TreeListHost::RowRect(unsigned item) const
{
    RECT rect{};
    HTREEITEM handle = reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(item));
    std::memcpy(&rect, &handle, sizeof handle);
    Send(TVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

MessageRecorder::MessageRecorder(HWND hwnd) : hwnd_(hwnd)
{
    ::SetPropW(hwnd, L"MessageRecorder", this);
    previous_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MessageRecorder::Proc)));
}

MessageRecorder::~MessageRecorder()
{
    if (::IsWindow(hwnd_)) {
        ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        ::RemovePropW(hwnd_, L"MessageRecorder");
    }
}

LRESULT CALLBACK MessageRecorder::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = static_cast<MessageRecorder*>(::GetPropW(hwnd, L"MessageRecorder"));
    self->messages.push_back(message);
    ++self->depth;
    if (self->depth > self->deepest)
        self->deepest = self->depth;
    WNDPROC previous = self->previous_;
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        ::RemovePropW(hwnd, L"MessageRecorder");
    }
    LRESULT result = ::CallWindowProcW(previous, hwnd, message, wParam, lParam);
    --self->depth;
    return result;
}

DWORD FakeClock::now = 100000;

namespace {

DWORD WINAPI ReadFakeClock()
{
    return FakeClock::now;
}

} // namespace

FakeClock::FakeClock()
{
    now += 100000;
    TreeListSetClock(ReadFakeClock);
}

FakeClock::~FakeClock()
{
    TreeListSetClock(nullptr);
}

fw::Font SongFont()
{
    return fw::Font(::CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, FIXED_PITCH, L"宋体"));
}

int TextHeight(HFONT font)
{
    fw::ClientDC screen(nullptr);
    fw::SelectObjectScope select(screen, font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(screen, &metrics);
    return metrics.tmHeight;
}

int TextWidth(HFONT font, const std::wstring& text)
{
    fw::ClientDC screen(nullptr);
    fw::SelectObjectScope select(screen, font);
    SIZE size{};
    ::GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

testkit::Pixels RenderText(HFONT font, const std::wstring& text, int x, int y, int width, int height,
                           COLORREF background, COLORREF colour)
{
    fw::ClientDC screen(nullptr);
    fw::Bitmap bitmap(::CreateCompatibleBitmap(screen, width, height));
    {
        fw::MemoryDC memory(screen);
        fw::SelectObjectScope selectBitmap(memory, bitmap.Get());
        fw::SelectObjectScope selectFont(memory, font);
        RECT all{0, 0, width, height};
        ::SetBkColor(memory, background);
        ::ExtTextOutW(memory, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
        ::SetBkMode(memory, TRANSPARENT);
        ::SetTextColor(memory, colour);
        ::ExtTextOutW(memory, x, y, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    }
    return testkit::Pixels::FromBitmap(bitmap.Get());
}

bool SamePixels(const testkit::Pixels& actual, int left, int top, const testkit::Pixels& expected,
                std::string* where)
{
    for (int y = 0; y < expected.Height(); ++y) {
        for (int x = 0; x < expected.Width(); ++x) {
            COLORREF want = expected.At(x, y);
            COLORREF got = actual.At(left + x, top + y);
            if (want != got) {
                std::ostringstream text;
                text << "at (" << left + x << ", " << top + y << ") expected 0x" << std::hex << want << " got 0x"
                     << got;
                *where = text.str();
                return false;
            }
        }
    }
    return true;
}

} // namespace treelist_test
