#pragma once
#include <string>

// The folder of the running executable, without a trailing backslash.
std::wstring GetProgramFolder();

// Tests run the program's code from a temporary program folder; an empty
// text goes back to the executable's folder.
void SetProgramFolderForTesting(const std::wstring& folder);
