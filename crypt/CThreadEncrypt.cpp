#include "crypt/CThreadEncrypt.h"

#include "crypt/CDlgEncrypt.h"
#include "crypt/ExclusiveFile.h"
#include "crypt/TimedBatch.h"
#include "fileio/ByteProgress.h"
#include "fileio/FileStreamer.h"
#include "framework/WorkerThread.h"

#include <cstring>
#include <limits>

std::atomic<int> EncryptBusy{0};

namespace {

// Part of the file format: files encrypted with one value can only be
// restored by a build with the same value.
const uint64_t kKeySeed = 0x5A656E64616C4653ull;

// Rows are fetched from the list in chunks: one cross-thread message each.
const unsigned kRowsPerRead = 256;
// Results go to the list in batches: every change to the visible list costs
// a repaint, which takes longer than encrypting a small file.
const size_t kMaxPendingResults = 256;
const DWORD kMaxWaitMs = 100;

// Larger than one buffer: long enough to show the results before it first.
bool TakesAWhile(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    return ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) &&
           (data.nFileSizeHigh != 0 || data.nFileSizeLow > FileStreamer::kDefaultBufferSize);
}

void XorBlock(unsigned char* data, DWORD length, BYTE key)
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

bool CThreadEncrypt::StartEncrypt(CDlgEncrypt& page)
{
    return fw::StartWorker(EncryptBusy, &CThreadEncrypt::EncryptThreadProc, &page);
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
    EncryptBusy = 0;
    return 1;
}

// Rows are read as the run reaches them. Once the page window is gone the run
// ends after the file in hand: nobody could see the outcome of the others.
void CThreadEncrypt::EncryptRows(CDlgEncrypt& page)
{
    const BYTE key = KeyByte(page.password);
    ByteProgress progress(page.Progress(), page.totalBytes);
    TimedBatch<CDlgEncrypt::RowResult> results(
        kMaxPendingResults, kMaxWaitMs,
        [&page](const std::vector<CDlgEncrypt::RowResult>& done) { page.SetRowResults(done); });
    for (unsigned row = 0; EncryptBusy && page.IsOpen();) {
        std::vector<CDlgEncrypt::ListedFile> files = page.ReadRows(row, kRowsPerRead);
        if (files.empty())
            break;
        for (const auto& file : files) {
            if (!page.IsOpen())
                break;
            if (TakesAWhile(file.path))
                results.Flush();
            results.Add({file.item, TransformFile(file.path, key, progress)});
        }
        row += static_cast<unsigned>(files.size());
    }
    results.Flush();
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
    FileStreamer streamer(EncryptBusy, progress);
    uint64_t copied = 0;
    // A failed read or write is a failure of the file, never its end. The
    // target is flushed before it can replace anything: after a crash right
    // behind the move the file must not turn out empty or cut short.
    bool whole = streamer.Copy(in.Get(), out.Get(), std::numeric_limits<uint64_t>::max(), copied,
                               [key](unsigned char* data, DWORD size) { XorBlock(data, size, key); }) &&
                 ::FlushFileBuffers(out.Get());
    out.Reset();
    if (!whole)
        ::DeleteFileW(target.c_str());
    return whole;
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
