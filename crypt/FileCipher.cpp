#include "crypt/FileCipher.h"

#include "crypt/ExclusiveFile.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace {

// What the copy takes over from the file's attributes. The others describe
// how the data is stored (sparse, compressed, ...) and are not set this way.
const DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
// A file with any of these refuses to be truncated by a create.
const DWORD kRefusingTruncation = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
const SECURITY_INFORMATION kOwnerAndAccess = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
// A data stream's name in a stream listing is ":" + name + this type; the
// unnamed stream has an empty name.
const wchar_t kDataStreamType[] = L":$DATA";
const size_t kDataStreamTypeLength = sizeof(kDataStreamType) / sizeof(wchar_t) - 1;
const size_t kInitialBufferBytes = 512;

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

// Attributes and times only: GetFileInformationByHandle's fuller query
// includes the file's name and costs several times as much under Wine.
bool BasicInfoOf(HANDLE file, FILE_BASIC_INFO& info)
{
    return ::GetFileInformationByHandleEx(file, FileBasicInfo, &info, sizeof info) != FALSE;
}

// Zero times in the record leave the file's times as they are.
bool SetBasicInfoOf(HANDLE file, FILE_BASIC_INFO info)
{
    return ::SetFileInformationByHandle(file, FileBasicInfo, &info, sizeof info) != FALSE;
}

bool SetAttributesOf(HANDLE file, DWORD attributes)
{
    FILE_BASIC_INFO info{};
    info.FileAttributes = attributes;
    return SetBasicInfoOf(file, info);
}

// A run killed between giving its temporary file the file's attributes and
// the replacement leaves a read-only, perhaps hidden leftover, which is
// reused like any other; the platform refuses to truncate such a file.
fw::FileHandle CreateTemporary(const std::wstring& path, DWORD extraAccess)
{
    fw::FileHandle file = CreateExclusive(path, extraAccess);
    if (file || ::GetLastError() != ERROR_ACCESS_DENIED)
        return file;
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !(attributes & kRefusingTruncation))
        return file;
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return CreateExclusive(path, extraAccess);
}

// Only for a temporary file this run created: it may be read-only already.
void DeleteTemporary(const std::wstring& path)
{
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path.c_str());
}

// How a file system that keeps no access lists or no named streams refuses
// to give them (Wine's and FAT's answers among them); any other failure is
// one of the file.
bool FileSystemLacksIt(DWORD error)
{
    return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_PARAMETER;
}

// The name to open a listed data stream by (":" + name), or empty for the
// unnamed stream and anything else.
std::wstring NamedStream(const FILE_STREAM_INFO& stream)
{
    std::wstring name(stream.StreamName, stream.StreamNameLength / sizeof(wchar_t));
    if (name.size() <= 1 + kDataStreamTypeLength || name[0] != L':' ||
        name.compare(name.size() - kDataStreamTypeLength, kDataStreamTypeLength, kDataStreamType) != 0)
        return std::wstring();
    return name.substr(0, name.size() - kDataStreamTypeLength);
}

} // namespace

FileCipher::FileCipher(const std::atomic<int>& running, BYTE key, ByteProgress& progress)
    : streamer_(running, progress),
      cipher_([key](unsigned char* data, DWORD size) { XorBlock(data, size, key); }),
      securityBuffer_(kInitialBufferBytes), streamBuffer_(kInitialBufferBytes / sizeof(uint64_t))
{
}

bool FileCipher::TransformFile(const std::wstring& path)
{
    std::wstring temporary = TemporaryPath(path);
    // A read-only file has to lose the attribute before it can be replaced.
    fw::FileHandle in = OpenExclusive(path, FILE_WRITE_ATTRIBUTES);
    FILE_BASIC_INFO source{};
    LARGE_INTEGER size;
    if (!in || !BasicInfoOf(in.Get(), source) || !::GetFileSizeEx(in.Get(), &size))
        return false;
    if (onLongFile_ && static_cast<uint64_t>(size.QuadPart) > streamer_.BufferSize())
        onLongFile_();
    // The copy is given the file's owner and access list.
    fw::FileHandle out = CreateTemporary(temporary, WRITE_DAC | WRITE_OWNER);
    if (!out)
        return false;
    const DWORD attributes = source.FileAttributes;
    bool ready = CopyAndFlush(in.Get(), out.Get(), cipher_) &&
                 CarryOver(path, in.Get(), temporary, out.Get(), source) &&
                 (!(attributes & FILE_ATTRIBUTE_READONLY) || SetAttributesOf(in.Get(), WithoutReadOnly(attributes)));
    out.Reset();
    in.Reset();
    if (ready && Replace(path, temporary, attributes))
        return true;
    DeleteTemporary(temporary);
    return false;
}

// The copy is a new file: what the file had besides its data would be lost
// with the replacement, and a private file would become readable by whoever
// the folder lets in. So the copy takes it over: named streams, owner and
// access list, attributes and creation time. The attributes come last, as
// a read-only file takes no new streams.
bool FileCipher::CarryOver(const std::wstring& path, HANDLE in, const std::wstring& temporary, HANDLE out,
                           const FILE_BASIC_INFO& source)
{
    FILE_BASIC_INFO kept{};
    kept.CreationTime = source.CreationTime;
    // The data has changed: a backup has to take the file again.
    kept.FileAttributes = WithReadOnly((source.FileAttributes & kKeptAttributes) | FILE_ATTRIBUTE_ARCHIVE);
    return CopyNamedStreams(path, in, temporary) && CopySecurity(in, out) && SetBasicInfoOf(out, kept);
}

// An owner the user may not assign (somebody else's file) gives way to the
// user; the access list must be kept, or the file fails. Only a file system
// without security has nothing to copy: any other failure to read the access
// list fails the file rather than leave the copy readable by others.
bool FileCipher::CopySecurity(HANDLE in, HANDLE out)
{
    DWORD needed = 0;
    while (!::GetKernelObjectSecurity(in, kOwnerAndAccess, securityBuffer_.data(),
                                      static_cast<DWORD>(securityBuffer_.size()), &needed)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_INSUFFICIENT_BUFFER && needed > securityBuffer_.size())
            securityBuffer_.resize(needed);
        else
            return FileSystemLacksIt(error);
    }
    PSECURITY_DESCRIPTOR descriptor = securityBuffer_.data();
    return ::SetKernelObjectSecurity(out, kOwnerAndAccess, descriptor) ||
           ::SetKernelObjectSecurity(out, DACL_SECURITY_INFORMATION, descriptor);
}

// Named streams (a download's zone mark, for one) are copied as they are;
// their bytes count as progress too. A file system without named streams
// refuses the listing: there is nothing to copy. Any other failure to list
// them fails the file rather than lose them.
bool FileCipher::CopyNamedStreams(const std::wstring& path, HANDLE in, const std::wstring& temporary)
{
    const FILE_STREAM_INFO* stream = nullptr;
    if (!ListStreams(in, stream))
        return false;
    while (stream) {
        std::wstring name = NamedStream(*stream);
        if (!name.empty()) {
            fw::FileHandle from = OpenExclusive(path + name);
            fw::FileHandle to = from ? CreateExclusive(temporary + name) : fw::FileHandle();
            if (!to || !CopyAndFlush(from.Get(), to.Get(), FileStreamer::Transform()))
                return false;
        }
        stream = stream->NextEntryOffset ? reinterpret_cast<const FILE_STREAM_INFO*>(
                                               reinterpret_cast<const BYTE*>(stream) + stream->NextEntryOffset)
                                         : nullptr;
    }
    return true;
}

// first is null when the file system keeps no streams.
bool FileCipher::ListStreams(HANDLE file, const FILE_STREAM_INFO*& first)
{
    first = nullptr;
    while (!::GetFileInformationByHandleEx(file, FileStreamInfo, streamBuffer_.data(),
                                           static_cast<DWORD>(streamBuffer_.size() * sizeof(uint64_t)))) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_MORE_DATA)
            return FileSystemLacksIt(error);
        streamBuffer_.resize(streamBuffer_.size() * 2);
    }
    first = reinterpret_cast<const FILE_STREAM_INFO*>(streamBuffer_.data());
    return true;
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
    bool whole = CopyAndFlush(in.Get(), out.Get(), cipher_);
    out.Reset();
    if (!whole)
        ::DeleteFileW(target.c_str());
    return whole;
}

// A failed read or write is a failure of the file, never its end. The target
// is flushed before it can replace anything: after a crash right behind the
// move the file must not turn out empty or cut short.
bool FileCipher::CopyAndFlush(HANDLE source, HANDLE target, const FileStreamer::Transform& transform)
{
    uint64_t copied = 0;
    return streamer_.Copy(source, target, std::numeric_limits<uint64_t>::max(), copied, transform) &&
           ::FlushFileBuffers(target);
}
