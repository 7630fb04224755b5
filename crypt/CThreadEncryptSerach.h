#pragma once
#include <windows.h>

#include <atomic>
#include <string>

class CDlgEncrypt;

// 1 while a folder walk is active: set by StartSearch, cleared by the worker
// as its last step.
extern std::atomic<int> SearchBusy;

// The folder walk: lists every file below the page's folder that the
// encryption may process, one thread per walk, and adds their sizes to the
// page's total. Depth first, in the order the file system lists entries;
// folder links are not followed.
class CThreadEncryptSerach {
public:
    CThreadEncryptSerach() = default;
    virtual ~CThreadEncryptSerach() = default;
    CThreadEncryptSerach(const CThreadEncryptSerach&) = delete;
    CThreadEncryptSerach& operator=(const CThreadEncryptSerach&) = delete;

    // Starts a walk of page.folderPath unless one is active; returns whether
    // it started. The caller does not wait.
    bool StartSearch(CDlgEncrypt& page);
    // The worker thread's body; the parameter is the page. Returns 1.
    static DWORD WINAPI SearchThreadProc(LPVOID page);

private:
    // The page, the folders kept out, and the files found but not yet listed.
    struct Walk;

    static void SearchFolder(Walk& walk, const std::wstring& folder);
    static void Consider(Walk& walk, const std::wstring& folder, const WIN32_FIND_DATAW& entry);
    static bool Enters(DWORD folderAttributes);
    static bool IsSkippedName(const wchar_t* name);
    static bool CanOpenExclusively(const std::wstring& path);
};
