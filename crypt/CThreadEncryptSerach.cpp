#include "crypt/CThreadEncryptSerach.h"

#include "crypt/CDlgEncrypt.h"
#include "crypt/ExclusiveFile.h"
#include "crypt/FoundFileBatch.h"
#include "crypt/SystemFolderGuard.h"
#include "framework/WorkerThread.h"

#include <cwchar>

std::atomic<int> SearchBusy{0};

bool CThreadEncryptSerach::StartSearch(CDlgEncrypt& page)
{
    return fw::StartWorker(SearchBusy, &CThreadEncryptSerach::SearchThreadProc, &page);
}

DWORD WINAPI CThreadEncryptSerach::SearchThreadProc(LPVOID parameter)
{
    auto& page = *static_cast<CDlgEncrypt*>(parameter);
    page.EnableEncryptControls(false);
    try {
        FoundFileBatch found(page);
        SearchFolder(page.folderPath, SystemFolderGuard(), found);
        found.Flush();
    } catch (...) {
        // The page is handed back with what was listed so far.
    }
    page.EnableEncryptControls(true);
    SearchBusy = 0;
    return 1;
}

// A pattern beyond the path limit ends the branch like a folder that cannot be
// listed; this also ends a descent through a folder link into its own ancestors.
// Once the page window is gone nothing more could be listed: the walk ends.
void CThreadEncryptSerach::SearchFolder(const std::wstring& folder, const SystemFolderGuard& guard,
                                        FoundFileBatch& found)
{
    std::wstring pattern = folder + L"\\*.*";
    if (!WithinPathLimit(pattern))
        return;
    WIN32_FIND_DATAW entry;
    fw::FindHandle listing(::FindFirstFileW(pattern.c_str(), &entry));
    if (!listing)
        return;
    do {
        Consider(folder, entry, guard, found);
        found.FlushIfDue();
    } while (SearchBusy && found.PageOpen() && ::FindNextFileW(listing.Get(), &entry));
}

// Nothing inside the Windows or system folder is listed, even below a picked
// drive root: encrypting those files would break the system. A folder that is
// covered is not entered, since everything below it is covered too.
void CThreadEncryptSerach::Consider(const std::wstring& folder, const WIN32_FIND_DATAW& entry,
                                    const SystemFolderGuard& guard, FoundFileBatch& found)
{
    if (IsSkippedName(entry.cFileName))
        return;
    std::wstring path = folder + L"\\" + entry.cFileName;
    if (guard.Covers(path))
        return;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        SearchFolder(path, guard, found);
        return;
    }
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) || !CanOpenExclusively(path))
        return;
    uint64_t size = (static_cast<uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
    found.Add(std::move(path), size);
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
