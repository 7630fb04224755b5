#pragma once
#include <cstdint>

class CZendalProgressCtrl;

// The progress of one encryption run, counted in bytes over all its files and
// shown on the page's bar as a whole percentage. Counts are 64-bit, so files
// of 4 GiB and more show the right bar.
class ByteProgress {
public:
    ByteProgress(CZendalProgressCtrl& bar, uint64_t totalBytes) : bar_(bar), total_(totalBytes) {}
    ByteProgress(const ByteProgress&) = delete;
    ByteProgress& operator=(const ByteProgress&) = delete;

    // Any thread: the bar keeps its position in an atomic and repaints only
    // when the percentage changes.
    void Advance(uint64_t bytes);
    uint64_t Done() const { return done_; }

    // done / total x 100, truncated and limited to 0-100; 0 while the total is 0.
    static int Percent(uint64_t done, uint64_t total);

private:
    CZendalProgressCtrl& bar_;
    uint64_t total_;
    uint64_t done_ = 0;
};
