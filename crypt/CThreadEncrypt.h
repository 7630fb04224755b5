#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

class ByteProgress;
class CDlgEncrypt;

// 1 while an encryption run is active: set by StartEncrypt, cleared by the
// worker as its last step.
extern std::atomic<int> EncryptBusy;

// The encryption worker: applies the password cipher to every file of the
// page's list, one thread per run. Encryption and decryption are the same
// operation. Each file is written through the cipher into a temporary file
// beside it ("<path>.zdltemp"), which then replaces it; the file ends
// read-only. A file that fails stays exactly as it was.
class CThreadEncrypt {
public:
    CThreadEncrypt() = default;
    virtual ~CThreadEncrypt() = default;
    CThreadEncrypt(const CThreadEncrypt&) = delete;
    CThreadEncrypt& operator=(const CThreadEncrypt&) = delete;

    // Starts a run over the page's list unless one is active; returns whether
    // it started. The caller does not wait.
    bool StartEncrypt(CDlgEncrypt& page);
    // The worker thread's body; the parameter is the page. Returns 1.
    static DWORD WINAPI EncryptThreadProc(LPVOID page);

    // The key accumulator of a password; its low byte is the key byte.
    static uint64_t DeriveKey(const std::wstring& password);
    static BYTE KeyByte(const std::wstring& password) { return static_cast<BYTE>(DeriveKey(password)); }

    // Copies the source through the cipher into the target and flushes the
    // target, while a run is active. True only when the whole source was read
    // and written; otherwise a target it created is deleted again.
    static bool XorCopyFile(const std::wstring& source, const std::wstring& target, BYTE key,
                            ByteProgress& progress);
    // The whole operation on one listed file; true when the file now holds
    // the transformed bytes.
    static bool TransformFile(const std::wstring& path, BYTE key, ByteProgress& progress);

    static std::wstring TemporaryPath(const std::wstring& path) { return path + L".zdltemp"; }

private:
    static void EncryptRows(CDlgEncrypt& page);
    static bool ReplaceWithTemporary(const std::wstring& path, const std::wstring& temporary);
    static void AddReadOnly(const std::wstring& path);
};
