#include "crypt/CThreadEncryptSerach.h"

#include "crypt/CDlgEncrypt.h"
#include "crypt/ExclusiveFile.h"
#include "crypt/SystemFolderGuard.h"
#include "crypt/TimedBatch.h"
#include "framework/WorkerThread.h"

#include <cwchar>

std::atomic<int> SearchBusy{0};

namespace {

// Queued 512 files or a tenth of a second at a time.
const size_t kMaxPendingFiles = 512;
const DWORD kMaxWaitMs = 100;

} // namespace

struct CThreadEncryptSerach::Walk {
    explicit Walk(CDlgEncrypt& page)
        : page(page), found(kMaxPendingFiles, kMaxWaitMs,
                            [&page](const std::vector<CDlgEncrypt::FoundFile>& files) { page.QueueRows(files); })
    {
    }

    CDlgEncrypt& page;
    SystemFolderGuard guard;
    TimedBatch<CDlgEncrypt::FoundFile> found;
};

bool CThreadEncryptSerach::StartSearch(CDlgEncrypt& page)
{
    return fw::StartWorker(SearchBusy, &CThreadEncryptSerach::SearchThreadProc, &page);
}

DWORD WINAPI CThreadEncryptSerach::SearchThreadProc(LPVOID parameter)
{
    auto& page = *static_cast<CDlgEncrypt*>(parameter);
    page.EnableEncryptControls(false);
    page.StartRowQueue();
    try {
        Walk walk(page);
        SearchFolder(walk, page.folderPath);
        walk.found.Flush();
    } catch (...) {
        // The page is handed back with what was listed so far.
    }
    page.EndRowQueue();
    page.EnableEncryptControls(true);
    SearchBusy = 0;
    return 1;
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
    } while (SearchBusy && walk.page.IsOpen() && ::FindNextFileW(listing.Get(), &entry));
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
