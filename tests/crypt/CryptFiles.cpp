#include "CryptFiles.h"

#include "crypt/CThreadEncrypt.h"

namespace crypt_test {

std::wstring MakeFolder(const testkit::ScratchFolder& folder, const std::wstring& relative)
{
    std::wstring path = folder.Path();
    for (size_t start = 0; start <= relative.size();) {
        size_t end = relative.find(L'\\', start);
        if (end == std::wstring::npos)
            end = relative.size();
        path += L"\\" + relative.substr(start, end - start);
        ::CreateDirectoryW(path.c_str(), nullptr);
        start = end + 1;
    }
    return path;
}

std::wstring Write(const testkit::ScratchFolder& folder, const std::wstring& relative, const std::string& bytes)
{
    size_t slash = relative.find_last_of(L'\\');
    if (slash != std::wstring::npos)
        MakeFolder(folder, relative.substr(0, slash));
    std::wstring path = folder.File(relative);
    testkit::WriteWholeFile(path, bytes);
    return path;
}

bool IsReadOnly(const std::wstring& path)
{
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
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

ActiveRun::ActiveRun()
{
    EncryptBusy = 1;
}

ActiveRun::~ActiveRun()
{
    EncryptBusy = 0;
}

} // namespace crypt_test
