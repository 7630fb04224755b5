#include "crypt/CThreadEncrypt.h"

#include "crypt/CDlgEncrypt.h"
#include "crypt/FileCipher.h"
#include "crypt/TimedBatch.h"
#include "fileio/ByteProgress.h"
#include "framework/WorkerThread.h"

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
    ByteProgress progress(page.Progress(), page.totalBytes);
    TimedBatch<CDlgEncrypt::RowResult> results(
        kMaxPendingResults, kMaxWaitMs,
        [&page](const std::vector<CDlgEncrypt::RowResult>& done) { page.SetRowResults(done); });
    FileCipher cipher(EncryptBusy, KeyByte(page.password), progress);
    // A large file takes a while: the results before it are shown first.
    cipher.OnLongFile([&results] { results.Flush(); });
    for (unsigned row = 0; EncryptBusy && page.IsOpen();) {
        std::vector<CDlgEncrypt::ListedFile> files = page.ReadRows(row, kRowsPerRead);
        if (files.empty())
            break;
        for (const auto& file : files) {
            if (!page.IsOpen())
                break;
            results.Add({file.item, cipher.TransformFile(file.path)});
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
