#include "crypt/CThreadEncrypt.h"

#include "crypt/ByteProgress.h"
#include "crypt/CDlgEncrypt.h"
#include "crypt/ExclusiveFile.h"

#include <cstring>
#include <memory>
#include <new>

BusyFlag CThreadEncrypt::EncryptBusy;

namespace {

// Part of the file format: files encrypted with one value can only be
// restored by a build with the same value.
const uint64_t kKeySeed = 0x5A656E64616C4653ull;

// One buffer per file. Large blocks matter under Wine, where every read and
// write is a round trip to the server (see crypt_bench).
const DWORD kBlockSize = 1024 * 1024;

// Rows are fetched from the list in chunks: one cross-thread message each.
const int kRowsPerRead = 256;

void XorBlock(BYTE* data, DWORD length, BYTE key)
{
    const uint32_t wideKey = key * 0x01010101u;
    DWORD i = 0;
    for (; i + sizeof(uint32_t) <= length; i += sizeof(uint32_t)) {
        uint32_t word;
        std::memcpy(&word, data + i, sizeof word);
        word ^= wideKey;
        std::memcpy(data + i, &word, sizeof word);
    }
    for (; i < length; ++i)
        data[i] ^= key;
}

// FILE_ATTRIBUTE_NORMAL stands for "none" and is valid only alone.
void SetAttributes(const std::wstring& path, DWORD attributes)
{
    ::SetFileAttributesW(path.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
}

} // namespace

void CThreadEncrypt::StartEncrypt(CDlgEncrypt& page) const
{
    EncryptBusy.Start(&CThreadEncrypt::EncryptThreadProc, &page);
}

DWORD WINAPI CThreadEncrypt::EncryptThreadProc(LPVOID parameter)
{
    auto& page = *static_cast<CDlgEncrypt*>(parameter);
    page.EnableEncryptControls(false);
    page.Progress().SetPos(0);
    try {
        EncryptRows(page);
    } catch (...) {
        // The rows not reached keep their status; the page is handed back all the same.
    }
    page.EnableEncryptControls(true);
    page.Progress().SetPos(100);
    page.ClearPasswords();
    EncryptBusy.Clear();
    return 1;
}

void CThreadEncrypt::EncryptRows(CDlgEncrypt& page)
{
    const BYTE key = KeyByte(page.password);
    ByteProgress progress(page.Progress(), page.totalBytes);
    for (int row = 0; !EncryptBusy.StopRequested();) {
        std::vector<CDlgEncrypt::ListedFile> files = page.ReadRows(row, kRowsPerRead);
        if (files.empty())
            return;
        for (const auto& file : files) {
            if (EncryptBusy.StopRequested())
                return;
            page.SetRowResult(file.item, TransformFile(file.path, key, progress));
        }
        row += static_cast<int>(files.size());
    }
}

uint64_t CThreadEncrypt::DeriveKey(const std::wstring& password)
{
    uint64_t key = kKeySeed;
    for (wchar_t c : password)
        key ^= static_cast<uint64_t>(static_cast<uint16_t>(c) | 0x80u);
    return key;
}

bool CThreadEncrypt::TransformFile(const std::wstring& path, BYTE key, ByteProgress& progress)
{
    std::wstring temporary = TemporaryPath(path);
    return XorCopyFile(path, temporary, key, progress) && ReplaceWithTemporary(path, temporary);
}

bool CThreadEncrypt::XorCopyFile(const std::wstring& source, const std::wstring& target, BYTE key,
                                 ByteProgress& progress)
{
    fw::FileHandle in = OpenExclusive(source);
    if (!in)
        return false;
    fw::FileHandle out = CreateExclusive(target);
    if (!out)
        return false;
    // Flushed before it can replace anything: after a crash right behind the
    // move the file must not turn out empty or cut short.
    bool copied = CopyThroughCipher(in.Get(), out.Get(), key, progress) && ::FlushFileBuffers(out.Get());
    out.Reset();
    if (!copied)
        ::DeleteFileW(target.c_str());
    return copied;
}

// A failed read or write is a failure of the file, never its end.
bool CThreadEncrypt::CopyThroughCipher(HANDLE source, HANDLE target, BYTE key, ByteProgress& progress)
{
    std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[kBlockSize]);
    if (!buffer)
        return false;
    for (;;) {
        if (EncryptBusy.StopRequested())
            return false;
        DWORD read = 0;
        if (!::ReadFile(source, buffer.get(), kBlockSize, &read, nullptr))
            return false;
        if (read == 0)
            return true;
        XorBlock(buffer.get(), read, key);
        DWORD written = 0;
        if (!::WriteFile(target, buffer.get(), read, &written, nullptr) || written != read)
            return false;
        progress.Advance(read);
    }
}

// The move needs a writable target; a file that cannot be replaced gets its
// read-only attribute back and the temporary file goes.
bool CThreadEncrypt::ReplaceWithTemporary(const std::wstring& path, const std::wstring& temporary)
{
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    bool wasReadOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (wasReadOnly)
        SetAttributes(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    if (!::MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        if (wasReadOnly)
            ::SetFileAttributesW(path.c_str(), attributes);
        ::DeleteFileW(temporary.c_str());
        return false;
    }
    AddReadOnly(path);
    return true;
}

void CThreadEncrypt::AddReadOnly(const std::wstring& path)
{
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetAttributes(path, (attributes & ~FILE_ATTRIBUTE_NORMAL) | FILE_ATTRIBUTE_READONLY);
}
