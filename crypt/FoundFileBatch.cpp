#include "crypt/FoundFileBatch.h"

#include "crypt/CDlgEncrypt.h"

FoundFileBatch::FoundFileBatch(CDlgEncrypt& page) : page_(page), lastFlush_(::GetTickCount())
{
    paths_.reserve(kMaxPending);
}

void FoundFileBatch::Add(std::wstring path, uint64_t size)
{
    paths_.push_back(std::move(path));
    bytes_ += size;
    if (paths_.size() >= kMaxPending)
        Flush();
    else
        FlushIfDue();
}

void FoundFileBatch::FlushIfDue()
{
    if (::GetTickCount() - lastFlush_ >= kMaxWaitMs)
        Flush();
}

void FoundFileBatch::Flush()
{
    lastFlush_ = ::GetTickCount();
    if (paths_.empty())
        return;
    page_.totalBytes += bytes_;
    page_.AppendRows(paths_);
    paths_.clear();
    bytes_ = 0;
}

bool FoundFileBatch::PageOpen() const
{
    return page_.IsOpen();
}
