#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

class CDlgEncrypt;

// 1 while an encryption run is active: set by StartEncrypt, cleared by the
// worker as its last step.
extern std::atomic<int> EncryptBusy;

// The encryption worker: applies the password cipher to every file of the
// page's list, one thread per run. Encryption and decryption are the same
// operation, done on each file by FileCipher.
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

private:
    static void EncryptRows(CDlgEncrypt& page);
};
