#include "support/ScratchFiles.h"

#include "framework/UniqueHandle.h"
#include "support/PumpUntil.h"
#include "support/TempProgramFolder.h"

#include <cstdlib>
#include <vector>

namespace testkit {

namespace {

const wchar_t kTmpfs[] = L"Z:\\dev\\shm";

std::wstring UniqueFolderIn(const std::wstring& parent)
{
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        std::wstring candidate = parent + L"\\zendal-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                 std::to_wstring(::GetTickCount() + attempt);
        if (::CreateDirectoryW(candidate.c_str(), nullptr))
            return candidate;
    }
    return std::wstring();
}

fw::FileHandle Open(const std::wstring& path, DWORD access, DWORD disposition)
{
    return fw::FileHandle(::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool Seek(HANDLE file, uint64_t offset)
{
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    return ::SetFilePointerEx(file, position, nullptr, FILE_BEGIN) != FALSE;
}

std::wstring FromUtf8(const std::string& text)
{
    int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    if (length > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

} // namespace

ScratchFolder::ScratchFolder(bool onTmpfs)
{
    if (onTmpfs && ::GetFileAttributesW(kTmpfs) != INVALID_FILE_ATTRIBUTES)
        path_ = UniqueFolderIn(kTmpfs);
    if (path_.empty()) {
        wchar_t temp[MAX_PATH] = {};
        DWORD length = ::GetTempPathW(MAX_PATH, temp);
        path_ = UniqueFolderIn(std::wstring(temp, length > 0 ? length - 1 : 0));
    }
}

ScratchFolder::~ScratchFolder()
{
    if (!path_.empty())
        RemoveTree(path_);
}

std::string PatternBytes(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    uint32_t state = seed * 2654435761u + 1;
    for (size_t i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        bytes[i] = static_cast<char>((state >> 24) | 1);
    }
    return bytes;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    fw::FileHandle file = Open(path, GENERIC_WRITE, CREATE_ALWAYS);
    DWORD written = 0;
    return file && ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::string ReadWholeFile(const std::wstring& path)
{
    int64_t size = SizeOfFile(path);
    return size > 0 ? ReadBytesAt(path, 0, static_cast<size_t>(size)) : std::string();
}

bool FileExists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int64_t SizeOfFile(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool CreateSparseFile(const std::wstring& path, uint64_t size)
{
    fw::FileHandle file = Open(path, GENERIC_WRITE, CREATE_ALWAYS);
    return file && Seek(file.Get(), size) && ::SetEndOfFile(file.Get());
}

bool WriteBytesAt(const std::wstring& path, uint64_t offset, const std::string& bytes)
{
    fw::FileHandle file = Open(path, GENERIC_WRITE, OPEN_EXISTING);
    DWORD written = 0;
    return file && Seek(file.Get(), offset) &&
           ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::string ReadBytesAt(const std::wstring& path, uint64_t offset, size_t count)
{
    fw::FileHandle file = Open(path, GENERIC_READ, OPEN_EXISTING);
    std::string bytes(count, '\0');
    DWORD read = 0;
    if (!file || !Seek(file.Get(), offset) ||
        !::ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(count), &read, nullptr))
        return std::string();
    bytes.resize(read);
    return bytes;
}

uint64_t AllocatedSize(const std::wstring& path)
{
    fw::FileHandle file = Open(path, FILE_READ_ATTRIBUTES, OPEN_EXISTING);
    FILE_STANDARD_INFO info{};
    if (!file || !::GetFileInformationByHandleEx(file.Get(), FileStandardInfo, &info, sizeof(info)))
        return UINT64_MAX;
    return static_cast<uint64_t>(info.AllocationSize.QuadPart);
}

std::string UnixPath(const std::wstring& path)
{
    using ToUnix = char*(CDECL*)(const wchar_t*);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    char* unix = toUnix ? toUnix(path.c_str()) : nullptr;
    std::string result = unix ? unix : "";
    if (unix)
        ::HeapFree(::GetProcessHeap(), 0, unix);
    return result;
}

// Wine gives no handle to wait on for a Unix process, so the script leaves
// its status in a file, renamed into place once complete.
int RunShell(const ScratchFolder& folder, const std::string& commands, DWORD limitMs)
{
    std::wstring script = folder.File(L"run.sh");
    std::wstring status = folder.File(L"status");
    std::string unixStatus = UnixPath(status);
    std::string text = commands + "\necho $? > '" + unixStatus + ".part' && mv '" + unixStatus + ".part' '" +
                       unixStatus + "'\n";
    ::DeleteFileW(status.c_str());
    if (!WriteWholeFile(script, text))
        return -1;
    // The shell gets its arguments as they are written: the script's Unix path.
    std::string unixScript = UnixPath(script);
    std::wstring commandLine = L"Z:\\bin\\sh \"" + FromUtf8(unixScript) + L"\"";
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    fw::KernelHandle processHandle(process.hProcess);
    fw::KernelHandle threadHandle(process.hThread);
    if (!PumpUntil([&] { return FileExists(status); }, limitMs))
        return -1;
    int code = std::atoi(ReadWholeFile(status).c_str());
    ::DeleteFileW(status.c_str());
    ::DeleteFileW(script.c_str());
    return code;
}

} // namespace testkit
