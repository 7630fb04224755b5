#include "crypt/ByteProgress.h"

#include "ui/skin/CZendalProgressCtrl.h"

void ByteProgress::Advance(uint64_t bytes)
{
    done_ += bytes;
    bar_.SetPos(Percent(done_, total_));
}

int ByteProgress::Percent(uint64_t done, uint64_t total)
{
    if (total == 0)
        return 0;
    // A file can have grown since the list was made.
    if (done >= total)
        return 100;
    return static_cast<int>(done * 100 / total);
}
