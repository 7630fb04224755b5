#pragma once
#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

// Entries a worker hands to the page a batch at a time. A cross-thread
// message costs more than most entries take to make, and every change to a
// visible list costs a repaint, so entries wait until the batch is full or
// the oldest has waited long enough; the page still shows them as it goes.
template <class Entry>
class TimedBatch {
public:
    using Deliver = std::function<void(const std::vector<Entry>&)>;

    TimedBatch(size_t maxPending, DWORD maxWaitMs, Deliver deliver)
        : maxPending_(maxPending), maxWaitMs_(maxWaitMs), deliver_(std::move(deliver))
    {
        pending_.reserve(maxPending);
    }
    TimedBatch(const TimedBatch&) = delete;
    TimedBatch& operator=(const TimedBatch&) = delete;

    void Add(Entry entry)
    {
        if (pending_.empty())
            firstPending_ = ::GetTickCount();
        pending_.push_back(std::move(entry));
        if (pending_.size() >= maxPending_)
            Flush();
        else
            FlushIfDue();
    }

    void FlushIfDue()
    {
        if (!pending_.empty() && ::GetTickCount() - firstPending_ >= maxWaitMs_)
            Flush();
    }

    void Flush()
    {
        if (pending_.empty())
            return;
        deliver_(pending_);
        pending_.clear();
    }

private:
    size_t maxPending_;
    DWORD maxWaitMs_;
    Deliver deliver_;
    std::vector<Entry> pending_;
    DWORD firstPending_ = 0;
};
