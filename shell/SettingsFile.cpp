#include "shell/SettingsFile.h"

#include <windows.h>

#include <cwchar>

const wchar_t kNoPasswordMarker[] = L"nopw";

namespace {

const wchar_t kPasswordSection[] = L"Password";
const wchar_t kPasswordKey[] = L"password";

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
    if (wchar_t* slash = wcsrchr(path, L'\\'))
        *slash = L'\0';
    return path;
}

void SetProgramFolderForTesting(const std::wstring& folder)
{
    ProgramFolderOverride() = folder;
}

std::wstring SettingsFilePath()
{
    return GetProgramFolder() + L"\\zdl\\ZendalFS.zdl";
}

std::wstring ReadPassword(const std::wstring& settingsFile)
{
    wchar_t value[256] = {};
    ::GetPrivateProfileStringW(kPasswordSection, kPasswordKey, L"", value, 256, settingsFile.c_str());
    return value;
}

bool WritePassword(const std::wstring& settingsFile, const std::wstring& password)
{
    return ::WritePrivateProfileStringW(kPasswordSection, kPasswordKey, password.c_str(), settingsFile.c_str()) != FALSE;
}
