#include "shred/CThreadCrush.h"

#include "fileio/ByteProgress.h"
#include "fileio/FileQueries.h"
#include "fileio/FileStreamer.h"
#include "framework/UniqueHandle.h"

std::atomic<int> CrushBusy{0};

bool CThreadCrush::StartCrush(const CrushJob& job, fw::WorkerScreen& screen)
{
    return fw::StartWorker(CrushBusy, screen, fw::WorkerProgress::kShown,
                           [job, &screen] { return Crush(job, screen); });
}

// A read-only file is made writable for the overwrite; a file that stays
// (not openable, the overwrite or the deletion failed) gets its attributes
// back. Done when the file is gone.
fw::WorkerEnd CThreadCrush::Crush(const CrushJob& job, fw::WorkerScreen& screen)
{
    const std::wstring& path = job.path;
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (readOnly) {
        DWORD writable = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
        ::SetFileAttributesW(path.c_str(), writable ? writable : FILE_ATTRIBUTE_NORMAL);
    }
    if (OverwriteFile(path, screen) == 1 && ::DeleteFileW(path.c_str()))
        return fw::WorkerEnd::kDone;
    if (readOnly)
        ::SetFileAttributesW(path.c_str(), attributes);
    return fw::WorkerEnd::kFailed;
}

// The zeros must have reached the disk before the name goes, so the file is
// flushed; a failed write or flush leaves the file in place.
int CThreadCrush::OverwriteFile(const std::wstring& path, fw::WorkerScreen& screen)
{
    fw::FileHandle file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return 0;
    uint64_t length = 0;
    if (!fileio::SizeOf(file.Get(), length))
        return 0;
    ByteProgress progress([&screen](int percent) { screen.ShowProgress(percent); }, length);
    FileStreamer streamer(CrushBusy, progress);
    if (!streamer.Ready() || !streamer.WriteZeros(file.Get(), length) || !::FlushFileBuffers(file.Get()))
        return 0;
    return CrushBusy.load();
}
