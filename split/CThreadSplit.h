#pragma once
#include "framework/WorkerThread.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

// 1 while a split or merge runs: set by StartSplit, cleared by the worker as
// its last step.
extern std::atomic<int> SplitBusy;

class FileStreamer;

// What a split or merge works on, taken from the page when it starts.
struct SplitJob {
    enum class Mode { kSplit, kMerge };
    Mode mode = Mode::kSplit;
    // The chosen file: for a split the source, for a merge the first piece.
    std::wstring sourcePath;
    // Split: the file name + ".zdlsplit"; merge: the name derived from the first piece.
    std::wstring pieceName;
    // Up to and including the last backslash of the chosen path.
    std::wstring folder;
    uint32_t pieceCount = 0;
};

// The split and merge worker. Piece k of a file named N is k + "_" + N +
// ".zdlsplit" in the file's folder; the pieces are consecutive byte ranges
// of the file, numbered from 1, with nothing else in them. A run that fails
// leaves no partial result and the screen says so.
class CThreadSplit {
public:
    static constexpr uint64_t kMinimumSplitSize = 0x100000;
    static constexpr unsigned long kMaxMergedPieces = 100;
    // Bytes a piece may hold over an even share of the source.
    static constexpr uint64_t kPieceSizeSlack = 10;

    CThreadSplit() = default;
    virtual ~CThreadSplit() = default;
    CThreadSplit(const CThreadSplit&) = delete;
    CThreadSplit& operator=(const CThreadSplit&) = delete;

    // Starts the worker unless a run is active; returns whether it started.
    // The caller does not wait.
    bool StartSplit(const SplitJob& job, fw::WorkerScreen& screen);

    // The name of piece k for a piece name that already ends in ".zdlsplit".
    static std::wstring PieceFileName(unsigned long k, const std::wstring& pieceName);

private:
    // Cuts the source into pieces named from pieceName (N + ".zdlsplit") in
    // folder. Pieces of a split that fails are removed again; the source stays.
    // A source below the minimum size is refused with its own message, which
    // counts as done.
    static fw::WorkerEnd SplitFile(const SplitJob& job, fw::WorkerScreen& screen);
    // Joins pieces 1, 2, … (at most 100, up to the first missing one) into
    // folder + pieceName (N), which a failed merge leaves untouched.
    static fw::WorkerEnd MergeFiles(const SplitJob& job, fw::WorkerScreen& screen);
    static uint64_t PieceSizeLimit(uint64_t length, uint32_t pieceCount);
    static bool WritePieces(FileStreamer& streamer, HANDLE source, const std::wstring& folder,
                            const std::wstring& pieceName, uint64_t limit, std::vector<std::wstring>& written);
    static bool JoinPieces(FileStreamer& streamer, HANDLE output, const std::wstring& folder,
                           const std::wstring& pieceName, unsigned long pieces);
    static bool MeasurePieces(const std::wstring& folder, const std::wstring& pieceName, unsigned long& pieces,
                              uint64_t& total);
};
