#pragma once
#include "fileio/FileStreamer.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class ByteProgress;

// The per-file operation of one encryption run. A file is copied through the
// cipher into "<path>.zdltemp" beside it; the temporary file is flushed, given
// what the file had besides its data (named streams, owner and access list,
// attributes, creation time) and the read-only attribute, then moved over the
// file with a write-through replacement, so that a run killed at any moment
// leaves the file whole, old or new. A file that fails stays as it was and no
// temporary file of the run remains.
//
// For small files the platform calls dominate, not the bytes: one buffer
// serves every file of the run (a fresh large buffer costs more than copying
// a small file), and the attributes are read and set through the handles
// already open instead of by path (each by-path call opens the file again).
class FileCipher {
public:
    // Works only while running (the worker's busy flag) is set.
    FileCipher(const std::atomic<int>& running, BYTE key, ByteProgress& progress);
    FileCipher(const FileCipher&) = delete;
    FileCipher& operator=(const FileCipher&) = delete;

    // Called before a file larger than the buffer is copied, with the file
    // open: what is pending can be shown before the long wait.
    void OnLongFile(std::function<void()> notice) { onLongFile_ = std::move(notice); }

    // The whole operation on one listed file; true when the file now holds
    // the transformed bytes and is read-only.
    bool TransformFile(const std::wstring& path);

    // Copies the source through the cipher into the target and flushes the
    // target. True only when the whole source was read and written;
    // otherwise a target it created is deleted again.
    bool XorCopyFile(const std::wstring& source, const std::wstring& target);

    static std::wstring TemporaryPath(const std::wstring& path) { return path + L".zdltemp"; }

private:
    bool CopyAndFlush(HANDLE source, HANDLE target, const FileStreamer::Transform& transform);
    bool CarryOver(const std::wstring& path, HANDLE in, const std::wstring& temporary, HANDLE out,
                   const FILE_BASIC_INFO& source);
    bool CopySecurity(HANDLE in, HANDLE out);
    bool CopyNamedStreams(const std::wstring& path, HANDLE in, const std::wstring& temporary);
    bool ListStreams(HANDLE file, const FILE_STREAM_INFO*& first);
    bool Replace(const std::wstring& path, const std::wstring& temporary, DWORD sourceAttributes);

    FileStreamer streamer_;
    FileStreamer::Transform cipher_;
    std::function<void()> onLongFile_;
    // Kept for the whole run, as the data buffer is: a security descriptor,
    // and a stream listing (aligned for its 64-bit fields).
    std::vector<BYTE> securityBuffer_;
    std::vector<uint64_t> streamBuffer_;
};
