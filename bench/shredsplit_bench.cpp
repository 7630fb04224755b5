// Times shredding, splitting into 10 pieces and merging a 1 GiB file through
// the real pages and workers, each beside CopyFileW of the same file in the
// same run (shredding only writes, so it is also set beside writing as many
// zero bytes): shredsplit_bench [folder]. The folder defaults to tmpfs
// (Z:\dev\shm), where the figures do not swing with write-back. Needs a display.
#include "BenchClock.h"
#include "framework/UniqueHandle.h"
#include "shred/CDlgCrush.h"
#include "split/CDlgSplit.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

const DWORD kChunk = 1024 * 1024;
const int kChunks = 1024;
const int kRounds = 3;

void PumpWhileBusy(const std::atomic<int>& busy)
{
    while (busy != 0) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

// 1 GiB of bytes that are never a run of zeros into a new file, or 1 GiB of
// zeros over an existing file in place, as shredding writes them.
bool WriteGiB(const std::wstring& path, bool zeros)
{
    fw::FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, zeros ? OPEN_EXISTING : CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    std::vector<unsigned char> chunk(kChunk, 0);
    for (int i = 0; i < kChunks; ++i) {
        if (!zeros)
            for (DWORD j = 0; j < kChunk; ++j)
                chunk[j] = static_cast<unsigned char>((j * 31 + i * 7) | 1);
        DWORD written = 0;
        if (!file || !::WriteFile(file.Get(), chunk.data(), kChunk, &written, nullptr) || written != kChunk)
            return false;
    }
    return ::FlushFileBuffers(file.Get()) != FALSE;
}

void Press(fw::Window page, int edit, const std::wstring& path, int button)
{
    page.SetItemText(edit, path);
    page.Item(button).Send(BM_CLICK);
}

struct Figures {
    double copy = 1e9;
    double write = 1e9;
    double writeDelete = 1e9;
    double shred = 1e9;
    double split = 1e9;
    double merge = 1e9;
};

void PrintRow(const char* what, double seconds, double copySeconds)
{
    std::printf("  %-34s %7.3f s  %7.0f MiB/s  %5.2f x copy\n", what, seconds, kChunks / seconds,
                copySeconds / seconds);
}

// The window the pages live in, as the page host holds them.
class Popup {
public:
    Popup()
        : hwnd_(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 800, 640, nullptr, nullptr,
                                  nullptr, nullptr))
    {
    }
    ~Popup()
    {
        if (hwnd_)
            ::DestroyWindow(hwnd_);
    }
    Popup(const Popup&) = delete;
    Popup& operator=(const Popup&) = delete;
    HWND Handle() const { return hwnd_; }

private:
    HWND hwnd_;
};

void Print(const Figures& f)
{
    PrintRow("CopyFileW", f.copy, f.copy);
    PrintRow("write 1 GiB of zeros in place", f.write, f.copy);
    PrintRow("the same, then delete the file", f.writeDelete, f.copy);
    PrintRow("shred", f.shred, f.copy);
    std::printf("  %-34s shred at %.2f x writing and deleting\n", "", f.writeDelete / f.shred);
    PrintRow("split into 10 pieces", f.split, f.copy);
    PrintRow("merge the 10 pieces", f.merge, f.copy);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring folder = argc > 1 ? argv[1] : L"Z:\\dev\\shm\\zendal-bench";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring source = folder + L"\\source.bin";
    const std::wstring copy = folder + L"\\copy.bin";
    const std::wstring zeros = folder + L"\\zeros.bin";
    const std::wstring original = folder + L"\\original.bin";

    Popup popup;
    CDlgCrush crush;
    CDlgSplit split;
    if (!popup.Handle() || !crush.Create(popup.Handle()) || !split.Create(popup.Handle()) || !WriteGiB(source, false)) {
        std::printf("set-up failed (a display and %ls with 4 GiB free are needed)\n", folder.c_str());
        return 1;
    }
    split.SetItemText(IDC_SPLIT_COUNT, L"10");
    HWND combo = split.Item(IDC_SPLIT_OPERATION);

    std::printf("1 GiB in %ls, %d rounds; \"x copy\" is the speed relative to CopyFileW (target 0.8 or more)\n",
                folder.c_str(), kRounds);
    Figures best;
    for (int round = 1; round <= kRounds; ++round) {
        double copySeconds = bench::SecondsOf([&] { ::CopyFileW(source.c_str(), copy.c_str(), FALSE); });
        ::CopyFileW(source.c_str(), zeros.c_str(), FALSE);
        double writeSeconds = bench::SecondsOf([&] { WriteGiB(zeros, true); });
        double writeDeleteSeconds = writeSeconds + bench::SecondsOf([&] { ::DeleteFileW(zeros.c_str()); });
        double shredSeconds = bench::SecondsOf([&] {
            Press(crush, IDC_CRUSH_PATH, copy, IDC_CRUSH_START);
            PumpWhileBusy(CrushBusy);
        });
        double splitSeconds = bench::SecondsOf([&] {
            Press(split, IDC_SPLIT_PATH, source, IDC_SPLIT_START);
            PumpWhileBusy(SplitBusy);
        });
        ::MoveFileW(source.c_str(), original.c_str());
        ::SendMessageW(combo, CB_SETCURSEL, 1, 0);
        split.Send(WM_COMMAND, MAKEWPARAM(IDC_SPLIT_OPERATION, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
        double mergeSeconds = bench::SecondsOf([&] {
            Press(split, IDC_SPLIT_PATH, folder + L"\\1_source.bin.zdlsplit", IDC_SPLIT_START);
            PumpWhileBusy(SplitBusy);
        });
        ::SendMessageW(combo, CB_SETCURSEL, 0, 0);
        split.Send(WM_COMMAND, MAKEWPARAM(IDC_SPLIT_OPERATION, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));

        std::printf("round %d%s\n", round,
                    ::GetFileAttributesW(copy.c_str()) == INVALID_FILE_ATTRIBUTES ? "" : " (the copy was not shredded!)");
        Print({copySeconds, writeSeconds, writeDeleteSeconds, shredSeconds, splitSeconds, mergeSeconds});
        best.copy = std::min(best.copy, copySeconds);
        best.write = std::min(best.write, writeSeconds);
        best.writeDelete = std::min(best.writeDelete, writeDeleteSeconds);
        best.shred = std::min(best.shred, shredSeconds);
        best.split = std::min(best.split, splitSeconds);
        best.merge = std::min(best.merge, mergeSeconds);

        ::DeleteFileW(original.c_str());
        for (int k = 1; k <= 11; ++k)
            ::DeleteFileW((folder + L"\\" + std::to_wstring(k) + L"_source.bin.zdlsplit").c_str());
    }
    std::printf("best of %d rounds\n", kRounds);
    Print(best);
    ::DeleteFileW(source.c_str());
    ::RemoveDirectoryW(folder.c_str());
    return 0;
}
