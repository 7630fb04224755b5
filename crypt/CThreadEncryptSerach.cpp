#include "crypt/CThreadEncryptSerach.h"

#include "crypt/ExclusiveFile.h"
#include "crypt/SystemFolderGuard.h"
#include "crypt/TimedBatch.h"

#include <cwchar>

std::atomic<int> SearchBusy{0};

namespace {

// Queued 512 files or a tenth of a second at a time.
const size_t kMaxPendingFiles = 512;
const DWORD kMaxWaitMs = 100;

} // namespace

struct CThreadEncryptSerach::Walk {
    Walk(fw::WorkerScreen& screen, FileListScreen& list)
        : screen(screen), found(kMaxPendingFiles, kMaxWaitMs,
                                [&list](const std::vector<FileListScreen::FoundFile>& files) { list.QueueRows(files); })
    {
    }

    fw::WorkerScreen& screen;
    SystemFolderGuard guard;
    TimedBatch<FileListScreen::FoundFile> found;
};

bool CThreadEncryptSerach::StartSearch(const std::wstring& folder, fw::WorkerScreen& screen, FileListScreen& list)
{
    return fw::StartWorker(SearchBusy, screen, fw::WorkerProgress::kLeftAlone, [folder, &screen, &list] {
        WalkFolder(folder, screen, list);
        return fw::WorkerEnd::kDone;
    });
}

// The page is handed back with what was listed so far, also when the walk
// stops on an exception.
void CThreadEncryptSerach::WalkFolder(const std::wstring& folder, fw::WorkerScreen& screen, FileListScreen& list)
{
    struct RowQueue {
        explicit RowQueue(FileListScreen& list) : list(list) { list.StartRowQueue(); }
        ~RowQueue() { list.EndRowQueue(); }
        FileListScreen& list;
    } queue(list);
    Walk walk(screen, list);
    SearchFolder(walk, folder);
    walk.found.Flush();
}

// A pattern beyond the path limit ends the branch like a folder that cannot be
// listed; this also ends a descent through a folder link into its own ancestors.
// Once the page window is gone nothing more could be listed: the walk ends.
void CThreadEncryptSerach::SearchFolder(Walk& walk, const std::wstring& folder)
{
    std::wstring pattern = folder + L"\\*.*";
    if (!WithinPathLimit(pattern))
        return;
    WIN32_FIND_DATAW entry;
    fw::FindHandle listing(::FindFirstFileW(pattern.c_str(), &entry));
    if (!listing)
        return;
    do {
        Consider(walk, folder, entry);
        walk.found.FlushIfDue();
    } while (SearchBusy && walk.screen.IsOpen() && ::FindNextFileW(listing.Get(), &entry));
}

// Nothing inside the Windows or system folder is listed, even below a picked
// drive root: encrypting those files would break the system. A folder that is
// covered is not entered, since everything below it is covered too.
void CThreadEncryptSerach::Consider(Walk& walk, const std::wstring& folder, const WIN32_FIND_DATAW& entry)
{
    if (IsSkippedName(entry.cFileName))
        return;
    std::wstring path = folder + L"\\" + entry.cFileName;
    if (walk.guard.Covers(path))
        return;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (Enters(entry.dwFileAttributes))
            SearchFolder(walk, path);
        return;
    }
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) || !CanOpenExclusively(path))
        return;
    uint64_t size = (static_cast<uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
    walk.found.Add({std::move(path), size});
}

// A folder that is a reparse point (a junction, a symbolic link, a mounted
// volume) leads to files the walk reaches by their own paths as well, or back
// to its own ancestors. Listed twice, a file would be encrypted twice, which
// restores it while both rows say it is done: such a folder is not entered.
bool CThreadEncryptSerach::Enters(DWORD folderAttributes)
{
    return (folderAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

bool CThreadEncryptSerach::IsSkippedName(const wchar_t* name)
{
    for (const wchar_t* skipped : {L"desktop.ini", L".", L"..", L"index.dat", L"Thumbs.db"})
        if (std::wcscmp(name, skipped) == 0)
            return true;
    return false;
}

// A file in use by another program could not be encrypted: it is left out.
bool CThreadEncryptSerach::CanOpenExclusively(const std::wstring& path)
{
    return OpenExclusive(path).Valid();
}
