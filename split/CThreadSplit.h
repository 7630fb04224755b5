#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

class CDlgSplit;

// 1 while a split or merge runs: set by StartSplit, cleared by the worker as
// its last step.
extern std::atomic<int> SplitBusy;

// The split and merge worker. Piece k of a file named N is k + "_" + N +
// ".zdlsplit" in the file's folder; the pieces are consecutive byte ranges
// of the file, numbered from 1, with nothing else in them.
class CThreadSplit {
public:
    static constexpr uint64_t kMinimumSplitSize = 0x100000;
    static constexpr unsigned long kMaxMergedPieces = 100;

    CThreadSplit() = default;
    virtual ~CThreadSplit() = default;
    CThreadSplit(const CThreadSplit&) = delete;
    CThreadSplit& operator=(const CThreadSplit&) = delete;

    // Starts the worker on the page's fields unless a run is active; returns
    // whether it started. The caller does not wait.
    bool StartSplit(CDlgSplit& page);

    // The worker thread's body; the parameter is the page. Returns 1.
    static DWORD WINAPI SplitThreadProc(LPVOID page);

    // Cuts the source into pieces named from pieceName (N + ".zdlsplit") in
    // folder. 1 when the source was cut completely, 0 otherwise.
    static int SplitFile(CDlgSplit& page, const std::wstring& sourcePath, const std::wstring& folder,
                         const std::wstring& pieceName, uint32_t pieceCount);

    // Joins pieces 1, 2, … (at most 100, up to the first missing one) into
    // folder + pieceName (N). 1 when the output was written, 0 otherwise.
    static int MergeFiles(CDlgSplit& page, const std::wstring& folder, const std::wstring& pieceName);

    // The name of piece k for a piece name that already ends in ".zdlsplit".
    static std::wstring PieceFileName(unsigned long k, const std::wstring& pieceName);

private:
    static void Run(CDlgSplit& page);
    static uint64_t PieceSizeLimit(uint64_t length, uint32_t pieceCount);
    static unsigned long MeasurePieces(const std::wstring& folder, const std::wstring& pieceName, uint64_t& total);
};
