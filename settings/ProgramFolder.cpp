#include "settings/ProgramFolder.h"

#include <windows.h>

namespace {

std::wstring& ProgramFolderOverride()
{
    static std::wstring folder;
    return folder;
}

} // namespace

std::wstring GetProgramFolder()
{
    if (!ProgramFolderOverride().empty())
        return ProgramFolderOverride();
    wchar_t path[256] = {};
    ::GetModuleFileNameW(nullptr, path, 256);
    path[255] = L'\0';
    std::wstring folder = path;
    size_t slash = folder.rfind(L'\\');
    if (slash != std::wstring::npos)
        folder.erase(slash);
    return folder;
}

void SetProgramFolderForTesting(const std::wstring& folder)
{
    ProgramFolderOverride() = folder;
}
