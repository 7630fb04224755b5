#pragma once
#include <cstdint>
#include <functional>

// Turns done / total bytes into a whole percentage, truncated toward zero, and
// hands it to show whenever that number changes. Used on the worker's thread.
class ByteProgress {
public:
    using Show = std::function<void(int percent)>;

    ByteProgress(Show show, uint64_t total) : show_(std::move(show)), total_(total) {}
    ByteProgress(const ByteProgress&) = delete;
    ByteProgress& operator=(const ByteProgress&) = delete;

    void Advance(uint64_t bytes);

private:
    Show show_;
    uint64_t total_;
    uint64_t done_ = 0;
    int shown_ = -1;
};
