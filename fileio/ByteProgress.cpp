#include "fileio/ByteProgress.h"

void ByteProgress::Advance(uint64_t bytes)
{
    done_ += bytes;
    if (total_ == 0)
        return;
    double percent = static_cast<double>(done_) / static_cast<double>(total_) * 100.0;
    auto whole = static_cast<int>(static_cast<int64_t>(percent));
    if (whole == shown_)
        return;
    shown_ = whole;
    show_(whole);
}
