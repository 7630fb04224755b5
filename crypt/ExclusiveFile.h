#pragma once
#include "framework/UniqueHandle.h"

#include <string>

// Files as the encryption opens them: binary and shared with nobody. Paths of
// MAX_PATH characters or more are refused, as the platform refuses them to a
// program that is not long-path aware; some file systems would take them, and
// the program's behaviour must not depend on that.

// An existing file, for reading and whatever extra access is asked for.
fw::FileHandle OpenExclusive(const std::wstring& path, DWORD extraAccess = 0);
// A new file for writing and whatever extra access is asked for; an existing
// file of that name is truncated.
fw::FileHandle CreateExclusive(const std::wstring& path, DWORD extraAccess = 0);

bool WithinPathLimit(const std::wstring& path);
