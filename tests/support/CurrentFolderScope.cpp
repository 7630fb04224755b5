#include "support/CurrentFolderScope.h"

#include <windows.h>

namespace testkit {

namespace {

std::wstring CurrentFolder()
{
    wchar_t path[MAX_PATH] = {};
    DWORD length = ::GetCurrentDirectoryW(MAX_PATH, path);
    return std::wstring(path, length < MAX_PATH ? length : 0);
}

} // namespace

CurrentFolderScope::CurrentFolderScope(const std::wstring& folder)
    : previous_(CurrentFolder()), entered_(::SetCurrentDirectoryW(folder.c_str()) != FALSE)
{
}

CurrentFolderScope::~CurrentFolderScope()
{
    if (entered_)
        ::SetCurrentDirectoryW(previous_.c_str());
}

} // namespace testkit
