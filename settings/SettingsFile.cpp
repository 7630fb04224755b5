#include "settings/SettingsFile.h"

#include <windows.h>


const wchar_t kNoPasswordMarker[] = L"nopw";

namespace {

const wchar_t kPasswordSection[] = L"Password";
const wchar_t kPasswordKey[] = L"password";

} // namespace

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
