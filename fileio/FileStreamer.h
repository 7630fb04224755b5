#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

class ByteProgress;

// Moves the file data of shredding, splitting and merging through one buffer
// per operation. The buffer is a whole number of 1024-byte blocks, so a copy
// limited to whole blocks ends exactly where a loop over single blocks would;
// the larger transfers only save calls. Every transferred chunk advances the
// progress. Work goes on only while the running flag (the worker's busy flag)
// is set; stopping early counts as a failure.
class FileStreamer {
public:
    static constexpr DWORD kBlockSize = 1024;
    static constexpr DWORD kDefaultBufferSize = 1024 * kBlockSize;

    FileStreamer(const std::atomic<int>& running, ByteProgress& progress, DWORD bufferSize = kDefaultBufferSize);
    FileStreamer(const FileStreamer&) = delete;
    FileStreamer& operator=(const FileStreamer&) = delete;

    // False when the buffer could not be allocated.
    bool Ready() const { return buffer_ != nullptr; }
    DWORD BufferSize() const { return bufferSize_; }

    // Writes count zero bytes from the file's current position on.
    bool WriteZeros(HANDLE file, uint64_t count);

    // Applied to every chunk in the buffer between reading and writing it.
    using Transform = std::function<void(unsigned char* data, DWORD size)>;

    // Copies from the source's current position to the target's until limit
    // bytes are copied or the source ends; copied tells how many. The target
    // must be written at its end (a file just created or truncated): runs of
    // zero bytes are passed over instead of written and the length set at the
    // end, so that the holes of a sparse source stay holes.
    bool Copy(HANDLE source, HANDLE target, uint64_t limit, uint64_t& copied, const Transform& transform = Transform());

    // The smallest whole number of blocks that holds at least size bytes, in bytes.
    static uint64_t WholeBlocks(uint64_t size);

private:
    DWORD ChunkFor(uint64_t remaining) const;
    bool WriteChunk(HANDLE target, DWORD size) const;
    static bool Skip(HANDLE target, DWORD size);
    bool IsZero(DWORD size) const;

    const std::atomic<int>& running_;
    ByteProgress& progress_;
    DWORD bufferSize_;
    std::unique_ptr<unsigned char[]> buffer_;
};
