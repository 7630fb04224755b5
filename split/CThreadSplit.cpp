#include "split/CThreadSplit.h"

#include "fileio/ByteProgress.h"
#include "fileio/FileQueries.h"
#include "fileio/FileStreamer.h"
#include "framework/UniqueHandle.h"
#include "framework/App.h"

#include <limits>
#include <vector>

std::atomic<int> SplitBusy{0};

namespace {

const wchar_t kPieceSuffix[] = L".zdlsplit";
// The merged file is written under its name with this added, beside where it
// goes.
const wchar_t kMergeSuffix[] = L".zdlmerge";

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

bool CThreadSplit::StartSplit(const SplitJob& job, fw::WorkerScreen& screen)
{
    return fw::StartWorker(SplitBusy, screen, fw::WorkerProgress::kShown, [job, &screen] {
        return job.mode == SplitJob::Mode::kSplit ? SplitFile(job, screen) : MergeFiles(job, screen);
    });
}

std::wstring CThreadSplit::PieceFileName(unsigned long k, const std::wstring& pieceName)
{
    return std::to_wstring(k) + L"_" + pieceName;
}

// A piece is closed once it holds at least this many bytes; being filled in
// whole blocks, every piece but the last has the block-rounded size. The slack
// over an even share takes the division's remainder (less than the count) into
// the pieces rather than into a piece of its own; its value fixes the sizes
// that every earlier build wrote.
uint64_t CThreadSplit::PieceSizeLimit(uint64_t length, uint32_t pieceCount)
{
    return length / pieceCount + kPieceSizeSlack;
}

// A split that stops short takes back the pieces it wrote: a later merge would
// join them into a short file without a word.
fw::WorkerEnd CThreadSplit::SplitFile(const SplitJob& job, fw::WorkerScreen& screen)
{
    fw::FileHandle source = OpenForReading(job.sourcePath);
    uint64_t length = 0;
    if (!source || !fileio::SizeOf(source.Get(), length) || job.pieceCount == 0)
        return fw::WorkerEnd::kFailed;
    if (length < kMinimumSplitSize) {
        screen.Say(L"分割文件不能小于1MB", fw::App::Name());
        return fw::WorkerEnd::kDone;
    }
    ByteProgress progress([&screen](int percent) { screen.ShowProgress(percent); }, length);
    FileStreamer streamer(SplitBusy, progress);
    std::vector<std::wstring> written;
    if (streamer.Ready() && WritePieces(streamer, source.Get(), job.folder, job.pieceName,
                                        PieceSizeLimit(length, job.pieceCount), written))
        return fw::WorkerEnd::kDone;
    for (const std::wstring& piece : written)
        ::DeleteFileW(piece.c_str());
    return fw::WorkerEnd::kFailed;
}

// Every piece written goes to written, also one that failed halfway; each is
// flushed before it is closed. A piece that reaches the limit is followed by
// another, even when the source ended with it: that one stays empty and ends
// the loop.
bool CThreadSplit::WritePieces(FileStreamer& streamer, HANDLE source, const std::wstring& folder,
                               const std::wstring& pieceName, uint64_t limit, std::vector<std::wstring>& written)
{
    const uint64_t pieceSize = FileStreamer::WholeBlocks(limit);
    for (unsigned long k = 1;; ++k) {
        std::wstring path = folder + PieceFileName(k, pieceName);
        fw::FileHandle piece = CreateForWriting(path);
        if (!piece)
            return false;
        written.push_back(path);
        uint64_t copied = 0;
        if (!streamer.Copy(source, piece.Get(), pieceSize, copied) || !::FlushFileBuffers(piece.Get()))
            return false;
        if (copied < limit)
            return true;
    }
}

// The output is written under a temporary name, flushed, and only then put in
// place, so that a merge that fails leaves an existing file of the name as it
// was. Without a first piece nothing is joined.
fw::WorkerEnd CThreadSplit::MergeFiles(const SplitJob& job, fw::WorkerScreen& screen)
{
    unsigned long pieces = 0;
    uint64_t total = 0;
    if (!MeasurePieces(job.folder, job.pieceName, pieces, total) || pieces == 0)
        return fw::WorkerEnd::kFailed;
    const std::wstring output = job.folder + job.pieceName;
    const std::wstring temporary = output + kMergeSuffix;
    fw::FileHandle joined = CreateForWriting(temporary);
    if (!joined)
        return fw::WorkerEnd::kFailed;
    ByteProgress progress([&screen](int percent) { screen.ShowProgress(percent); }, total);
    FileStreamer streamer(SplitBusy, progress);
    bool whole = streamer.Ready() && JoinPieces(streamer, joined.Get(), job.folder, job.pieceName, pieces) &&
                 ::FlushFileBuffers(joined.Get());
    joined.Reset();
    if (whole && ::MoveFileExW(temporary.c_str(), output.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return fw::WorkerEnd::kDone;
    ::DeleteFileW(temporary.c_str());
    return fw::WorkerEnd::kFailed;
}

bool CThreadSplit::JoinPieces(FileStreamer& streamer, HANDLE output, const std::wstring& folder,
                              const std::wstring& pieceName, unsigned long pieces)
{
    const std::wstring suffixed = pieceName + kPieceSuffix;
    for (unsigned long k = 1; k <= pieces; ++k) {
        fw::FileHandle piece = OpenForReading(folder + PieceFileName(k, suffixed));
        uint64_t copied = 0;
        if (!piece || !streamer.Copy(piece.Get(), output, std::numeric_limits<uint64_t>::max(), copied))
            return false;
    }
    return true;
}

// Counts the pieces from 1 up to the first missing one, adding up their
// sizes. A piece that is there but cannot be opened fails the merge: the
// join would end short of it.
bool CThreadSplit::MeasurePieces(const std::wstring& folder, const std::wstring& pieceName, unsigned long& pieces,
                                 uint64_t& total)
{
    const std::wstring suffixed = pieceName + kPieceSuffix;
    for (pieces = 0; pieces < kMaxMergedPieces; ++pieces) {
        std::wstring path = folder + PieceFileName(pieces + 1, suffixed);
        if (!fileio::MatchesAnything(path))
            return true;
        fw::FileHandle piece = OpenForReading(path);
        uint64_t size = 0;
        if (!SplitBusy || !piece || !fileio::SizeOf(piece.Get(), size))
            return false;
        total += size;
    }
    return true;
}
