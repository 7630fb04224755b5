#include "shell/ProgramFolder.h"

#include <windows.h>

std::wstring GetProgramFolder()
{
    wchar_t path[256] = {};
    ::GetModuleFileNameW(nullptr, path, 256);
    std::wstring folder = path;
    size_t slash = folder.rfind(L'\\');
    if (slash != std::wstring::npos)
        folder.erase(slash);
    return folder;
}
