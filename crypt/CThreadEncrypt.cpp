#include "crypt/CThreadEncrypt.h"

#include "crypt/FileCipher.h"
#include "crypt/TimedBatch.h"
#include "fileio/ByteProgress.h"

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

// The passwords are cleared before the inputs come back, so that nothing the
// user types into them then is lost.
bool CThreadEncrypt::StartEncrypt(const EncryptJob& job, fw::WorkerScreen& screen, FileListScreen& list)
{
    return fw::StartWorker(EncryptBusy, screen, fw::WorkerProgress::kShown, [job, &screen, &list] {
        struct PasswordsCleared {
            FileListScreen& list;
            ~PasswordsCleared() { list.ClearPasswords(); }
        } cleared{list};
        EncryptRows(job, screen, list);
        return fw::WorkerEnd::kDone;
    });
}

// Rows are read as the run reaches them. Once the page window is gone the run
// ends after the file in hand: nobody could see the outcome of the others.
void CThreadEncrypt::EncryptRows(const EncryptJob& job, fw::WorkerScreen& screen, FileListScreen& list)
{
    ByteProgress progress([&screen](int percent) { screen.ShowProgress(percent); }, job.totalBytes);
    TimedBatch<FileListScreen::RowResult> results(
        kMaxPendingResults, kMaxWaitMs,
        [&list](const std::vector<FileListScreen::RowResult>& done) { list.SetRowResults(done); });
    FileCipher cipher(EncryptBusy, job.key, progress);
    // A large file takes a while: the results before it are shown first.
    cipher.OnLongFile([&results] { results.Flush(); });
    for (unsigned row = 0; EncryptBusy && screen.IsOpen();) {
        std::vector<FileListScreen::ListedFile> files = list.ReadRows(row, kRowsPerRead);
        if (files.empty())
            break;
        for (const auto& file : files) {
            if (!screen.IsOpen())
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
