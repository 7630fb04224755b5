#include "split/CThreadSplit.h"

#include "fileio/ByteProgress.h"
#include "fileio/FileQueries.h"
#include "fileio/FileStreamer.h"
#include "framework/UniqueHandle.h"
#include "framework/WorkerThread.h"
#include "split/CDlgSplit.h"

#include <limits>

std::atomic<int> SplitBusy{0};

namespace {

const wchar_t kPieceSuffix[] = L".zdlsplit";

fw::FileHandle OpenForReading(const std::wstring& path)
{
    return fw::FileHandle(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

// Exclusive; an existing file of that name is truncated.
fw::FileHandle CreateForWriting(const std::wstring& path)
{
    return fw::FileHandle(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

} // namespace

bool CThreadSplit::StartSplit(CDlgSplit& page)
{
    return fw::StartWorker(SplitBusy, &CThreadSplit::SplitThreadProc, &page);
}

DWORD WINAPI CThreadSplit::SplitThreadProc(LPVOID parameter)
{
    auto& page = *static_cast<CDlgSplit*>(parameter);
    page.SetInputsEnabled(false);
    page.Progress().SetPos(0);
    try {
        Run(page);
    } catch (...) {
        // Nothing leaves the thread; the page is given back below in any case.
    }
    page.SetInputsEnabled(true);
    page.Progress().SetPos(100);
    SplitBusy = 0;
    return 1;
}

void CThreadSplit::Run(CDlgSplit& page)
{
    if (page.splitMode == 1)
        SplitFile(page, page.sourcePath, page.folder, page.pieceName, page.pieceCount);
    else
        MergeFiles(page, page.folder, page.pieceName);
}

std::wstring CThreadSplit::PieceFileName(unsigned long k, const std::wstring& pieceName)
{
    return std::to_wstring(k) + L"_" + pieceName;
}

// A piece is closed once it holds at least this many bytes; being filled in
// whole blocks, every piece but the last has the block-rounded size.
uint64_t CThreadSplit::PieceSizeLimit(uint64_t length, uint32_t pieceCount)
{
    return length / pieceCount + 10;
}

int CThreadSplit::SplitFile(CDlgSplit& page, const std::wstring& sourcePath, const std::wstring& folder,
                            const std::wstring& pieceName, uint32_t pieceCount)
{
    fw::FileHandle source = OpenForReading(sourcePath);
    uint64_t length = 0;
    if (!source || !fileio::SizeOf(source.Get(), length) || pieceCount == 0)
        return 0;
    if (length < kMinimumSplitSize) {
        page.ShowWorkerMessage(L"分割文件不能小于1MB");
        return 0;
    }
    ByteProgress progress(page.Progress(), length);
    FileStreamer streamer(SplitBusy, progress);
    if (!streamer.Ready())
        return 0;
    const uint64_t limit = PieceSizeLimit(length, pieceCount);
    const uint64_t pieceSize = FileStreamer::WholeBlocks(limit);
    // A piece that reaches the limit is followed by another, even when the
    // source ended with it: that one stays empty and ends the loop.
    for (unsigned long k = 1;; ++k) {
        fw::FileHandle piece = CreateForWriting(folder + PieceFileName(k, pieceName));
        uint64_t written = 0;
        if (!piece || !streamer.Copy(source.Get(), piece.Get(), pieceSize, written))
            return 0;
        if (written < limit)
            return 1;
    }
}

// The output is created only when there is a first piece to join, so that
// choosing a stray name cannot empty an existing file of the derived name.
int CThreadSplit::MergeFiles(CDlgSplit& page, const std::wstring& folder, const std::wstring& pieceName)
{
    uint64_t total = 0;
    if (MeasurePieces(folder, pieceName, total) == 0)
        return 0;
    fw::FileHandle output = CreateForWriting(folder + pieceName);
    if (!output)
        return 0;
    ByteProgress progress(page.Progress(), total);
    FileStreamer streamer(SplitBusy, progress);
    if (!streamer.Ready())
        return 0;
    const std::wstring suffixed = pieceName + kPieceSuffix;
    for (unsigned long k = 1; k <= kMaxMergedPieces; ++k) {
        fw::FileHandle piece = OpenForReading(folder + PieceFileName(k, suffixed));
        if (!piece)
            break;
        uint64_t copied = 0;
        if (!streamer.Copy(piece.Get(), output.Get(), std::numeric_limits<uint64_t>::max(), copied))
            return 0;
    }
    return 1;
}

// Counts the pieces from 1 up to the first one missing or unreadable, adding up their sizes.
unsigned long CThreadSplit::MeasurePieces(const std::wstring& folder, const std::wstring& pieceName, uint64_t& total)
{
    const std::wstring suffixed = pieceName + kPieceSuffix;
    unsigned long found = 0;
    for (unsigned long k = 1; k <= kMaxMergedPieces && SplitBusy; ++k) {
        std::wstring path = folder + PieceFileName(k, suffixed);
        fw::FileHandle piece = fileio::MatchesAnything(path) ? OpenForReading(path) : fw::FileHandle();
        uint64_t size = 0;
        if (!piece || !fileio::SizeOf(piece.Get(), size))
            break;
        total += size;
        found = k;
    }
    return found;
}
