#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace testkit {

// A fresh folder for the files of one test, removed with everything in it.
// On request it lies on tmpfs (Z:\dev\shm) when Wine shows one, for large
// sparse files.
class ScratchFolder {
public:
    explicit ScratchFolder(bool onTmpfs = false);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    bool Valid() const { return !path_.empty(); }
    const std::wstring& Path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

// Deterministic bytes in which no 8-byte run is all zero.
std::string PatternBytes(size_t size, unsigned seed);

bool WriteWholeFile(const std::wstring& path, const std::string& bytes);
// The whole content; empty when the file cannot be read.
std::string ReadWholeFile(const std::wstring& path);
bool FileExists(const std::wstring& path);
// The 64-bit size, or -1 when there is no such file.
int64_t SizeOfFile(const std::wstring& path);

// A file of that length that holds no data yet (all holes).
bool CreateSparseFile(const std::wstring& path, uint64_t size);
bool WriteBytesAt(const std::wstring& path, uint64_t offset, const std::string& bytes);
std::string ReadBytesAt(const std::wstring& path, uint64_t offset, size_t count);
// What the file takes on the disk.
uint64_t AllocatedSize(const std::wstring& path);

// The Unix path Wine maps a Windows path to.
std::string UnixPath(const std::wstring& path);
// Runs shell commands as a Unix process (Wine starts ELF programs natively)
// and returns the exit status of the last one, or -1 when it did not finish
// within the limit. The folder holds the script and its status file meanwhile.
int RunShell(const ScratchFolder& folder, const std::string& commands, DWORD limitMs = 120000);

} // namespace testkit
