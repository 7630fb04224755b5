#include "shred/CThreadCrush.h"

#include "fileio/ByteProgress.h"
#include "fileio/FileQueries.h"
#include "fileio/FileStreamer.h"
#include "framework/UniqueHandle.h"
#include "framework/WorkerThread.h"
#include "shred/CDlgCrush.h"

std::atomic<int> CrushBusy{0};

bool CThreadCrush::StartCrush(CDlgCrush& page)
{
    return fw::StartWorker(CrushBusy, &CThreadCrush::CrushThreadProc, &page);
}

DWORD WINAPI CThreadCrush::CrushThreadProc(LPVOID parameter)
{
    auto& page = *static_cast<CDlgCrush*>(parameter);
    page.SetInputsEnabled(false);
    page.Progress().SetPos(0);
    bool shredded = false;
    try {
        shredded = Crush(page);
    } catch (...) {
        // Nothing leaves the thread; the page is given back below in any case.
    }
    if (!shredded)
        page.ReportFailure();
    page.SetInputsEnabled(true);
    page.Progress().SetPos(100);
    CrushBusy = 0;
    return 1;
}

// A read-only file is made writable for the overwrite; a file that stays
// (not openable, the overwrite or the deletion failed) gets its attributes
// back. True when the file is gone.
bool CThreadCrush::Crush(CDlgCrush& page)
{
    const std::wstring& path = page.targetPath;
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (readOnly) {
        DWORD writable = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
        ::SetFileAttributesW(path.c_str(), writable ? writable : FILE_ATTRIBUTE_NORMAL);
    }
    if (OverwriteFile(page, path) == 1 && ::DeleteFileW(path.c_str()))
        return true;
    if (readOnly)
        ::SetFileAttributesW(path.c_str(), attributes);
    return false;
}

// The zeros must have reached the disk before the name goes, so the file is
// flushed; a failed write or flush leaves the file in place.
int CThreadCrush::OverwriteFile(CDlgCrush& page, const std::wstring& path)
{
    fw::FileHandle file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return 0;
    uint64_t length = 0;
    if (!fileio::SizeOf(file.Get(), length))
        return 0;
    ByteProgress progress(page.Progress(), length);
    FileStreamer streamer(CrushBusy, progress);
    if (!streamer.Ready() || !streamer.WriteZeros(file.Get(), length) || !::FlushFileBuffers(file.Get()))
        return 0;
    return CrushBusy.load();
}
