#pragma once
#include <cstdint>

class CZendalProgressCtrl;

// Shows done / total bytes on a progress bar as a whole percentage, truncated
// toward zero. The bar repaints only when that number changes. Usable from a
// worker thread: the bar's position is thread-safe.
class ByteProgress {
public:
    ByteProgress(CZendalProgressCtrl& bar, uint64_t total) : bar_(bar), total_(total) {}
    ByteProgress(const ByteProgress&) = delete;
    ByteProgress& operator=(const ByteProgress&) = delete;

    void Advance(uint64_t bytes);

private:
    CZendalProgressCtrl& bar_;
    uint64_t total_;
    uint64_t done_ = 0;
};
