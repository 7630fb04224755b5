#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class CDlgSplit;

// 1 while a split or merge runs: set by StartSplit, cleared by the worker as
// its last step.
extern std::atomic<int> SplitBusy;

class FileStreamer;

// The split and merge worker. Piece k of a file named N is k + "_" + N +
// ".zdlsplit" in the file's folder; the pieces are consecutive byte ranges
// of the file, numbered from 1, with nothing else in them. A run that fails
// leaves no partial result and the page says so.
class CThreadSplit {
public:
    static constexpr uint64_t kMinimumSplitSize = 0x100000;
    static constexpr unsigned long kMaxMergedPieces = 100;

    // How a run ended: done, refused with its own message (a source below the
    // minimum size), or failed.
    enum class Outcome { kDone, kRefused, kFailed };

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
    // folder. Pieces of a split that fails are removed again; the source stays.
    static Outcome SplitFile(CDlgSplit& page, const std::wstring& sourcePath, const std::wstring& folder,
                             const std::wstring& pieceName, uint32_t pieceCount);

    // Joins pieces 1, 2, … (at most 100, up to the first missing one) into
    // folder + pieceName (N), which a failed merge leaves untouched.
    static Outcome MergeFiles(CDlgSplit& page, const std::wstring& folder, const std::wstring& pieceName);

    // The name of piece k for a piece name that already ends in ".zdlsplit".
    static std::wstring PieceFileName(unsigned long k, const std::wstring& pieceName);

private:
    static Outcome Run(CDlgSplit& page);
    static uint64_t PieceSizeLimit(uint64_t length, uint32_t pieceCount);
    static bool WritePieces(FileStreamer& streamer, HANDLE source, const std::wstring& folder,
                            const std::wstring& pieceName, uint64_t limit, std::vector<std::wstring>& written);
    static bool JoinPieces(FileStreamer& streamer, HANDLE output, const std::wstring& folder,
                           const std::wstring& pieceName, unsigned long pieces);
    static bool MeasurePieces(const std::wstring& folder, const std::wstring& pieceName, unsigned long& pieces,
                              uint64_t& total);
};
