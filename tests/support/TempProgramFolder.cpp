#include "support/TempProgramFolder.h"

#include "support/DriverService.h"

#include <windows.h>

namespace testkit {

std::wstring WindowsPathOf(const std::string& unixPath)
{
    // Wine shows the Unix root as drive Z:.
    std::wstring path = L"Z:";
    for (char c : unixPath)
        path += (c == '/') ? L'\\' : static_cast<wchar_t>(c);
    return path;
}

std::wstring BuildPath(const std::wstring& relative)
{
    std::wstring path = WindowsPathOf(ZENDAL_BUILD_DIR);
    return relative.empty() ? path : path + L"\\" + relative;
}

bool RemoveTree(const std::wstring& path)
{
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring child = path + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(child.c_str());
            }
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    return ::RemoveDirectoryW(path.c_str()) != FALSE;
}

TempProgramFolder::TempProgramFolder(bool withRelease)
{
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    for (unsigned attempt = 0; attempt < 1000 && path_.empty(); ++attempt) {
        std::wstring candidate = std::wstring(temp) + L"zendal-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                 std::to_wstring(::GetTickCount() + attempt);
        if (::CreateDirectoryW(candidate.c_str(), nullptr))
            path_ = candidate;
    }
    if (path_.empty())
        return;
    ::CreateDirectoryW(File(L"zdl").c_str(), nullptr);
    ::CreateDirectoryW(File(L"sys").c_str(), nullptr);
    if (withRelease) {
        for (const wchar_t* name : {L"ZendalFileSa.exe", L"ZendalCommon.dll", L"sys\\ZDLFile.sys"})
            ::CopyFileW(BuildPath(std::wstring(L"program\\") + name).c_str(), File(name).c_str(), FALSE);
    }
}

TempProgramFolder::~TempProgramFolder()
{
    if (path_.empty())
        return;
    // A program started from here installs the driver from here when it is not loaded.
    ReleaseDriverFrom(path_);
    RemoveTree(path_);
}

} // namespace testkit
