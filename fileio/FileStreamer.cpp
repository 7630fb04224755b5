#include "fileio/FileStreamer.h"

#include "fileio/ByteProgress.h"

#include <cstring>
#include <new>

FileStreamer::FileStreamer(const std::atomic<int>& running, ByteProgress& progress, DWORD bufferSize)
    : running_(running), progress_(progress),
      bufferSize_(static_cast<DWORD>(WholeBlocks(bufferSize ? bufferSize : kBlockSize))),
      buffer_(new (std::nothrow) unsigned char[bufferSize_])
{
}

uint64_t FileStreamer::WholeBlocks(uint64_t size)
{
    return (size + kBlockSize - 1) / kBlockSize * kBlockSize;
}

DWORD FileStreamer::ChunkFor(uint64_t remaining) const
{
    return remaining < bufferSize_ ? static_cast<DWORD>(remaining) : bufferSize_;
}

bool FileStreamer::WriteZeros(HANDLE file, uint64_t count)
{
    if (!Ready())
        return false;
    std::memset(buffer_.get(), 0, bufferSize_);
    for (uint64_t written = 0; written < count;) {
        if (!running_)
            return false;
        DWORD chunk = ChunkFor(count - written);
        if (!WriteChunk(file, chunk))
            return false;
        written += chunk;
        progress_.Advance(chunk);
    }
    return true;
}

bool FileStreamer::Copy(HANDLE source, HANDLE target, uint64_t limit, uint64_t& copied, const Transform& transform)
{
    copied = 0;
    if (!Ready())
        return false;
    bool endsInHole = false;
    while (copied < limit) {
        if (!running_)
            return false;
        DWORD read = 0;
        if (!::ReadFile(source, buffer_.get(), ChunkFor(limit - copied), &read, nullptr))
            return false;
        if (read == 0)
            break;
        if (transform)
            transform(buffer_.get(), read);
        endsInHole = IsZero(read);
        if (!(endsInHole ? Skip(target, read) : WriteChunk(target, read)))
            return false;
        copied += read;
        progress_.Advance(read);
    }
    // A hole at the end is no data yet: the length has to be set.
    return !endsInHole || ::SetEndOfFile(target);
}

// WriteFile may write less than asked only on failure for disk files; a short
// write is one.
bool FileStreamer::WriteChunk(HANDLE target, DWORD size) const
{
    DWORD written = 0;
    return ::WriteFile(target, buffer_.get(), size, &written, nullptr) && written == size;
}

bool FileStreamer::Skip(HANDLE target, DWORD size)
{
    LARGE_INTEGER distance;
    distance.QuadPart = size;
    return ::SetFilePointerEx(target, distance, nullptr, FILE_CURRENT) != FALSE;
}

bool FileStreamer::IsZero(DWORD size) const
{
    const unsigned char* p = buffer_.get();
    const unsigned char* end = p + size;
    for (; end - p >= 8; p += 8) {
        uint64_t word;
        std::memcpy(&word, p, sizeof(word));
        if (word != 0)
            return false;
    }
    for (; p < end; ++p)
        if (*p != 0)
            return false;
    return true;
}
