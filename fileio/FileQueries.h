#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace fileio {

// Whether the file system holds anything the path names: a file, a folder,
// or, for a pattern with wildcards, at least one match.
bool MatchesAnything(const std::wstring& pathOrPattern);

// The whole 64-bit size of an open file.
bool SizeOf(HANDLE file, uint64_t& size);

} // namespace fileio
