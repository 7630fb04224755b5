#include "fileio/ByteProgress.h"

#include "ui/skin/CZendalProgressCtrl.h"

void ByteProgress::Advance(uint64_t bytes)
{
    done_ += bytes;
    if (total_ == 0)
        return;
    double percent = static_cast<double>(done_) / static_cast<double>(total_) * 100.0;
    bar_.SetPos(static_cast<double>(static_cast<int64_t>(percent)));
}
