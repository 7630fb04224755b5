#include "crypt/FileCipher.h"

#include "crypt/ExclusiveFile.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace {

void XorBlock(unsigned char* data, DWORD length, BYTE key)
{
    const uint32_t wideKey = key * 0x01010101u;
    DWORD i = 0;
    for (; i + sizeof(uint32_t) <= length; i += sizeof(uint32_t)) {
        uint32_t word;
        std::memcpy(&word, data + i, sizeof word);
        word ^= wideKey;
        std::memcpy(data + i, &word, sizeof word);
    }
    for (; i < length; ++i)
        data[i] ^= key;
}

// FILE_ATTRIBUTE_NORMAL stands for "none" and is valid only alone.
DWORD WithReadOnly(DWORD attributes)
{
    return (attributes & ~FILE_ATTRIBUTE_NORMAL) | FILE_ATTRIBUTE_READONLY;
}

DWORD WithoutReadOnly(DWORD attributes)
{
    attributes &= ~FILE_ATTRIBUTE_READONLY;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

// Only the attributes: GetFileInformationByHandle's fuller query includes the
// file's name and costs several times as much under Wine.
bool AttributesOf(HANDLE file, DWORD& attributes)
{
    FILE_BASIC_INFO info{};
    if (!::GetFileInformationByHandleEx(file, FileBasicInfo, &info, sizeof info))
        return false;
    attributes = info.FileAttributes;
    return true;
}

// Zero times in the record leave the file's times as they are.
bool SetAttributesOf(HANDLE file, DWORD attributes)
{
    FILE_BASIC_INFO info{};
    info.FileAttributes = attributes;
    return ::SetFileInformationByHandle(file, FileBasicInfo, &info, sizeof info) != FALSE;
}

// A run killed between making its temporary file read-only and the
// replacement leaves a read-only leftover, which is reused like any other;
// the platform refuses to truncate a read-only file.
fw::FileHandle CreateTemporary(const std::wstring& path)
{
    fw::FileHandle file = CreateExclusive(path);
    if (file || ::GetLastError() != ERROR_ACCESS_DENIED)
        return file;
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !(attributes & FILE_ATTRIBUTE_READONLY))
        return file;
    ::SetFileAttributesW(path.c_str(), WithoutReadOnly(attributes));
    return CreateExclusive(path);
}

// Only for a temporary file this run created: it may be read-only already.
void DeleteTemporary(const std::wstring& path)
{
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path.c_str());
}

} // namespace

FileCipher::FileCipher(const std::atomic<int>& running, BYTE key, ByteProgress& progress)
    : streamer_(running, progress), key_(key)
{
}

bool FileCipher::TransformFile(const std::wstring& path)
{
    std::wstring temporary = TemporaryPath(path);
    // A read-only file has to lose the attribute before it can be replaced.
    fw::FileHandle in = OpenExclusive(path, FILE_WRITE_ATTRIBUTES);
    DWORD sourceAttributes = 0;
    LARGE_INTEGER size;
    if (!in || !AttributesOf(in.Get(), sourceAttributes) || !::GetFileSizeEx(in.Get(), &size))
        return false;
    if (onLongFile_ && static_cast<uint64_t>(size.QuadPart) > streamer_.BufferSize())
        onLongFile_();
    fw::FileHandle out = CreateTemporary(temporary);
    if (!out)
        return false;
    const bool wasReadOnly = (sourceAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    DWORD written = 0;
    bool ready = CopyAndFlush(in.Get(), out.Get()) && AttributesOf(out.Get(), written) &&
                 SetAttributesOf(out.Get(), WithReadOnly(written)) &&
                 (!wasReadOnly || SetAttributesOf(in.Get(), WithoutReadOnly(sourceAttributes)));
    out.Reset();
    in.Reset();
    if (ready && Replace(path, temporary, sourceAttributes))
        return true;
    DeleteTemporary(temporary);
    return false;
}

// A file that cannot be replaced gets its read-only attribute back.
bool FileCipher::Replace(const std::wstring& path, const std::wstring& temporary, DWORD sourceAttributes)
{
    if (::MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    if (sourceAttributes & FILE_ATTRIBUTE_READONLY)
        ::SetFileAttributesW(path.c_str(), sourceAttributes);
    return false;
}

bool FileCipher::XorCopyFile(const std::wstring& source, const std::wstring& target)
{
    fw::FileHandle in = OpenExclusive(source);
    if (!in)
        return false;
    fw::FileHandle out = CreateExclusive(target);
    if (!out)
        return false;
    bool whole = CopyAndFlush(in.Get(), out.Get());
    out.Reset();
    if (!whole)
        ::DeleteFileW(target.c_str());
    return whole;
}

// A failed read or write is a failure of the file, never its end. The target
// is flushed before it can replace anything: after a crash right behind the
// move the file must not turn out empty or cut short.
bool FileCipher::CopyAndFlush(HANDLE source, HANDLE target)
{
    uint64_t copied = 0;
    const BYTE key = key_;
    return streamer_.Copy(source, target, std::numeric_limits<uint64_t>::max(), copied,
                          [key](unsigned char* data, DWORD size) { XorBlock(data, size, key); }) &&
           ::FlushFileBuffers(target);
}
