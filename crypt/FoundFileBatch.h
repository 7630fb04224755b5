#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class CDlgEncrypt;

// The files the folder walk has found, handed to the page a batch at a time:
// a cross-thread message costs more than finding a file, so the walk sends
// one per batch instead of two per file. Pending files go out once the batch
// is full or has waited a tenth of a second, so the list still grows as the
// walk goes on.
class FoundFileBatch {
public:
    explicit FoundFileBatch(CDlgEncrypt& page);
    FoundFileBatch(const FoundFileBatch&) = delete;
    FoundFileBatch& operator=(const FoundFileBatch&) = delete;

    void Add(std::wstring path, uint64_t size);
    // Sends the pending files if they have waited long enough.
    void FlushIfDue();
    void Flush();
    bool PageOpen() const;

private:
    static constexpr size_t kMaxPending = 512;
    static constexpr DWORD kMaxWaitMs = 100;

    CDlgEncrypt& page_;
    std::vector<std::wstring> paths_;
    uint64_t bytes_ = 0;
    DWORD lastFlush_;
};
