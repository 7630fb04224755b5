#include "crypt/ExclusiveFile.h"

bool WithinPathLimit(const std::wstring& path)
{
    return path.size() < MAX_PATH;
}

namespace {

fw::FileHandle RefusedAsTooLong()
{
    ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return fw::FileHandle();
}

} // namespace

fw::FileHandle OpenExclusive(const std::wstring& path, DWORD extraAccess)
{
    if (!WithinPathLimit(path))
        return RefusedAsTooLong();
    return fw::FileHandle(::CreateFileW(path.c_str(), GENERIC_READ | extraAccess, 0, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

fw::FileHandle CreateExclusive(const std::wstring& path, DWORD extraAccess)
{
    if (!WithinPathLimit(path))
        return RefusedAsTooLong();
    return fw::FileHandle(::CreateFileW(path.c_str(), GENERIC_WRITE | extraAccess, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}
