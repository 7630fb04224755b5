#pragma once
#include "crypt/FileListScreen.h"
#include "framework/WorkerThread.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

// 1 while an encryption run is active: set by StartEncrypt, cleared by the
// worker as its last step.
extern std::atomic<int> EncryptBusy;

// What an encryption run works on, taken from the page when it starts: the
// key of the typed password and the listed files' sizes, the denominator of
// the progress.
struct EncryptJob {
    BYTE key = 0;
    uint64_t totalBytes = 0;
};

// The encryption worker: applies the password cipher to every file of the
// page's list, one thread per run. Encryption and decryption are the same
// operation, done on each file by FileCipher.
class CThreadEncrypt {
public:
    CThreadEncrypt() = default;
    virtual ~CThreadEncrypt() = default;
    CThreadEncrypt(const CThreadEncrypt&) = delete;
    CThreadEncrypt& operator=(const CThreadEncrypt&) = delete;

    // Starts a run over the list unless one is active; returns whether it
    // started. The caller does not wait.
    bool StartEncrypt(const EncryptJob& job, fw::WorkerScreen& screen, FileListScreen& list);

    // The key accumulator of a password; its low byte is the key byte.
    static uint64_t DeriveKey(const std::wstring& password);
    static BYTE KeyByte(const std::wstring& password) { return static_cast<BYTE>(DeriveKey(password)); }

private:
    static void EncryptRows(const EncryptJob& job, fw::WorkerScreen& screen, FileListScreen& list);
};
