#pragma once
#include "crypt/BusyFlag.h"

#include <windows.h>

#include <string>

class CDlgEncrypt;
class FoundFileBatch;
class SystemFolderGuard;

// The folder walk: lists every file below the page's folder that the
// encryption may process, one thread per walk, and adds their sizes to the
// page's total. Depth first, in the order the file system lists entries.
class CThreadEncryptSerach {
public:
    virtual ~CThreadEncryptSerach() = default;

    static BusyFlag SearchBusy;

    // Starts a walk of page.folderPath unless one is active.
    void StartSearch(CDlgEncrypt& page) const;
    static DWORD WINAPI SearchThreadProc(LPVOID page);
    static void SearchFolder(const std::wstring& folder, const SystemFolderGuard& guard, FoundFileBatch& found);

private:
    static void Consider(const std::wstring& folder, const WIN32_FIND_DATAW& entry, const SystemFolderGuard& guard,
                         FoundFileBatch& found);
    static bool IsSkippedName(const wchar_t* name);
    static bool CanOpenExclusively(const std::wstring& path);
};
