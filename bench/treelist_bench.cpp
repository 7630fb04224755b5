// Appends rows to a TreeList the way the folder walk does (path in column 0,
// status text and image in column 1) and prints time and memory per row, and
// the time to paint one screen of the list scrolled to its middle row.
#include "BenchClock.h"
#include "ui/treelist/CZendalTreeListCtrl.h"
#include "ui/treelist/TreeList.h"

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <vector>

namespace {

// Bytes of all busy blocks of every heap of the process, overhead included.
unsigned long long HeapBytesInUse()
{
    std::vector<HANDLE> heaps(64);
    DWORD count = ::GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    if (count > heaps.size()) {
        heaps.resize(count);
        count = ::GetProcessHeaps(count, heaps.data());
    }
    unsigned long long total = 0;
    for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
        if (!::HeapLock(heaps[i]))
            continue;
        PROCESS_HEAP_ENTRY entry{};
        while (::HeapWalk(heaps[i], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                total += entry.cbData + entry.cbOverhead;
        }
        ::HeapUnlock(heaps[i]);
    }
    return total;
}

void AddColumn(HWND list, const wchar_t* caption, int width)
{
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.cx = width;
    column.pszText = const_cast<LPWSTR>(caption);
    column.cchTextMax = 256;
    ::SendMessageW(list, TLM_ADDCOLUMN, ::SendMessageW(list, TLM_GETCOLUMNCOUNT, 0, 0), reinterpret_cast<LPARAM>(&column));
}

struct Result {
    double appendSeconds = 0;
    double deleteSeconds = 0;
    double bytesPerRow = 0;
    double textBytesPerRow = 0;
    double paintMilliseconds = 0;
};

void Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&msg);
}

// Average time of a full repaint of the visible rows, with the middle row at
// the top and selected, as the user sees the list while scrolling through it.
double PaintMilliseconds(HWND list, unsigned rows)
{
    const int repaints = 50;
    LPARAM middle = ::SendMessageW(list, TLM_ROWTOITEM, 0, rows / 2);
    ::SendMessageW(list, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, middle);
    ::SendMessageW(list, TVM_SELECTITEM, TVGN_CARET, middle);
    Pump();
    ::UpdateWindow(list);
    double seconds = bench::SecondsOf([&] {
        for (int i = 0; i < repaints; ++i) {
            ::InvalidateRect(list, nullptr, FALSE);
            ::UpdateWindow(list);
        }
    });
    return seconds * 1000.0 / repaints;
}

Result Run(HWND parent, unsigned rows)
{
    Result result;
    HWND list = ::CreateWindowExW(0, TREELIST_CLASSNAME, L"", CZendalTreeListCtrl::kListStyle, 1, 1, 500, 300, parent,
                                  reinterpret_cast<HMENU>(CZendalTreeListCtrl::kControlId), ::GetModuleHandleW(nullptr),
                                  nullptr);
    ::SendMessageW(list, TVM_SETEXTENDEDSTYLE, 0, TLS_EX_ROWREPAINT);
    AddColumn(list, L"准备操作的文件列表", 392);
    AddColumn(list, L"操作状态", 100);
    unsigned long long before = HeapBytesInUse();
    unsigned long long textBytes = 0;
    const wchar_t* status = L"准备加密";
    wchar_t path[MAX_PATH];
    double start = bench::Seconds();
    for (unsigned i = 0; i < rows; ++i) {
        std::swprintf(path, MAX_PATH, L"C:\\DOCUMENTS\\PROJECTS\\ARCHIVE\\FILE%07u.DAT", i);
        TVINSERTSTRUCTW insert{};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        insert.item.pszText = path;
        LRESULT item = ::SendMessageW(list, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert));
        TVITEMW cell{};
        cell.mask = TLIF_COLUMN | TVIF_TEXT | TVIF_IMAGE;
        cell.hItem = reinterpret_cast<HTREEITEM>(item);
        cell.pszText = const_cast<LPWSTR>(status);
        cell.cchTextMax = 256;
        cell.iImage = cell.iSelectedImage = 2;
        cell.cChildren = 1;
        ::SendMessageW(list, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&cell));
        textBytes += (std::wcslen(path) + 1 + std::wcslen(status) + 1) * sizeof(wchar_t);
    }
    double appended = bench::Seconds();
    unsigned long long after = HeapBytesInUse();
    Pump();
    if (static_cast<unsigned>(::SendMessageW(list, TVM_GETCOUNT, 0, 0)) != rows)
        std::printf("  count mismatch!\n");
    result.paintMilliseconds = PaintMilliseconds(list, rows);
    result.deleteSeconds =
        bench::SecondsOf([list] { ::SendMessageW(list, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)); });
    ::DestroyWindow(list);
    result.appendSeconds = appended - start;
    result.bytesPerRow = static_cast<double>(after - before) / rows;
    result.textBytesPerRow = static_cast<double>(textBytes) / rows;
    return result;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    if (!TreeListRegister(instance))
        return 1;
    HWND parent = ::CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 560, 360, nullptr,
                                    nullptr, instance, nullptr);
    std::printf("%10s %14s %12s %12s %14s %14s %16s %12s\n", "rows", "us per row", "total s", "delete s", "bytes/row",
                "text bytes/row", "beyond texts/row", "paint ms");
    // Row counts may be given on the command line; by default 100 to 1,000,000.
    std::vector<unsigned> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(static_cast<unsigned>(std::wcstoul(argv[i], nullptr, 10)));
    if (sizes.empty())
        sizes = {100, 10000, 100000, 1000000};
    std::vector<Result> results;
    for (unsigned rows : sizes) {
        Result r = Run(parent, rows);
        results.push_back(r);
        std::printf("%10u %14.2f %12.3f %12.3f %14.1f %14.1f %16.1f %12.3f\n", rows, r.appendSeconds * 1e6 / rows,
                    r.appendSeconds, r.deleteSeconds, r.bytesPerRow, r.textBytesPerRow,
                    r.bytesPerRow - r.textBytesPerRow, r.paintMilliseconds);
        std::fflush(stdout);
    }
    const Result& first = results.front();
    const Result& last = results.back();
    std::printf("time per row, %u rows against %u: %.2fx\n", sizes.back(), sizes.front(),
                first.appendSeconds > 0 ? (last.appendSeconds / sizes.back()) / (first.appendSeconds / sizes.front())
                                        : 0.0);
    std::printf("paint time, %u rows against %u: %.2fx\n", sizes.back(), sizes.front(),
                first.paintMilliseconds > 0 ? last.paintMilliseconds / first.paintMilliseconds : 0.0);
    ::DestroyWindow(parent);
    return 0;
}
