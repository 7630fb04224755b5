#pragma once
#include "crypt/FileListScreen.h"
#include "framework/WorkerThread.h"

#include <windows.h>

#include <atomic>
#include <string>

// 1 while a folder walk is active: set by StartSearch, cleared by the worker
// as its last step.
extern std::atomic<int> SearchBusy;

// The folder walk: lists every file below a folder that the encryption may
// process, one thread per walk. Depth first, in the order the file system lists entries;
// folder links are not followed.
class CThreadEncryptSerach {
public:
    CThreadEncryptSerach() = default;
    virtual ~CThreadEncryptSerach() = default;
    CThreadEncryptSerach(const CThreadEncryptSerach&) = delete;
    CThreadEncryptSerach& operator=(const CThreadEncryptSerach&) = delete;

    // Starts a walk of folder unless one is active; returns whether it
    // started. The caller does not wait. The walk leaves the progress alone.
    bool StartSearch(const std::wstring& folder, fw::WorkerScreen& screen, FileListScreen& list);

private:
    // The screen, the folders kept out, and the files found but not yet listed.
    struct Walk;

    static void WalkFolder(const std::wstring& folder, fw::WorkerScreen& screen, FileListScreen& list);

    static void SearchFolder(Walk& walk, const std::wstring& folder);
    static void Consider(Walk& walk, const std::wstring& folder, const WIN32_FIND_DATAW& entry);
    static bool Enters(DWORD folderAttributes);
    static bool IsSkippedName(const wchar_t* name);
    static bool CanOpenExclusively(const std::wstring& path);
};
