#include "crypt/SystemFolderGuard.h"

#include <windows.h>

namespace {

const UINT kFolderBufferLength = 256;

std::wstring FolderFrom(UINT (WINAPI* query)(LPWSTR, UINT))
{
    wchar_t buffer[kFolderBufferLength] = {};
    UINT length = query(buffer, kFolderBufferLength);
    if (length == 0 || length >= kFolderBufferLength)
        return std::wstring();
    return SystemFolderGuard::AsciiUpper(buffer);
}

bool Occurs(const std::wstring& folder, const std::wstring& path)
{
    // A folder that could not be read would otherwise occur in every path.
    return !folder.empty() && path.find(folder) != std::wstring::npos;
}

} // namespace

SystemFolderGuard::SystemFolderGuard()
    : windowsFolder_(FolderFrom(&::GetWindowsDirectoryW)), systemFolder_(FolderFrom(&::GetSystemDirectoryW))
{
}

bool SystemFolderGuard::Covers(const std::wstring& path) const
{
    std::wstring upper = AsciiUpper(path);
    return Occurs(windowsFolder_, upper) || Occurs(systemFolder_, upper);
}

std::wstring SystemFolderGuard::AsciiUpper(std::wstring text)
{
    for (wchar_t& c : text)
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    return text;
}
