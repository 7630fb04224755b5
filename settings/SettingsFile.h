#pragma once
#include "settings/ProgramFolder.h"

#include <string>

// The settings file "\zdl\ZendalFS.zdl" in the program's folder, read and
// written key by key through the system's private-profile functions.

// Program folder + "\zdl\ZendalFS.zdl". Each page composes its own copy.
std::wstring SettingsFilePath();

// The stored logon password: at most 255 characters; empty when the file,
// the section or the key is missing.
std::wstring ReadPassword(const std::wstring& settingsFile);
// Returns whether the system reports the value written.
bool WritePassword(const std::wstring& settingsFile, const std::wstring& password);

// The stored text that means "no password".
extern const wchar_t kNoPasswordMarker[];
