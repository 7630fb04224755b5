#pragma once
#include <string>

// The program's folder and its settings file "\zdl\ZendalFS.zdl", read and
// written key by key through the system's private-profile functions.

// The folder of the running executable, without a trailing backslash.
std::wstring GetProgramFolder();
// Tests run the program's code from a temporary program folder; an empty
// text goes back to the executable's folder.
void SetProgramFolderForTesting(const std::wstring& folder);

// Program folder + "\zdl\ZendalFS.zdl". Each page composes its own copy.
std::wstring SettingsFilePath();

// The stored logon password: at most 255 characters; empty when the file,
// the section or the key is missing.
std::wstring ReadPassword(const std::wstring& settingsFile);
// Returns whether the system reports the value written.
bool WritePassword(const std::wstring& settingsFile, const std::wstring& password);

// The stored text that means "no password".
extern const wchar_t kNoPasswordMarker[];
