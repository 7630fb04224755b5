#include "CryptFiles.h"

namespace crypt_test {

DataFolder::DataFolder() : path_(root_.File(L"data"))
{
    ::CreateDirectoryW(path_.c_str(), nullptr);
}

std::wstring DataFolder::MakeFolder(const std::wstring& relative) const
{
    std::wstring path = path_;
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find(L'\\', start);
        if (end == std::wstring::npos)
            end = relative.size();
        path += L"\\" + relative.substr(start, end - start);
        ::CreateDirectoryW(path.c_str(), nullptr);
        start = end + 1;
    }
    return path;
}

std::wstring DataFolder::Write(const std::wstring& relative, const std::string& bytes) const
{
    size_t slash = relative.find_last_of(L'\\');
    if (slash != std::wstring::npos)
        MakeFolder(relative.substr(0, slash));
    std::wstring path = File(relative);
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (!bytes.empty())
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return path;
}

std::string ReadBytes(const std::wstring& path)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    ::CloseHandle(file);
    return bytes;
}

bool Exists(const std::wstring& path)
{
    return Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

DWORD Attributes(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str());
}

bool IsReadOnly(const std::wstring& path)
{
    DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

std::string Pattern(size_t length)
{
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
    return bytes;
}

std::string XorEach(std::string bytes, unsigned char key)
{
    for (char& c : bytes)
        c = static_cast<char>(static_cast<unsigned char>(c) ^ key);
    return bytes;
}

OpenElsewhere::OpenElsewhere(const std::wstring& path)
    : handle_(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                            nullptr))
{
}

OpenElsewhere::~OpenElsewhere()
{
    if (handle_ != INVALID_HANDLE_VALUE)
        ::CloseHandle(handle_);
}

} // namespace crypt_test
