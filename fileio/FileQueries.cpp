#include "fileio/FileQueries.h"

#include "framework/UniqueHandle.h"

namespace fileio {

bool MatchesAnything(const std::wstring& pathOrPattern)
{
    WIN32_FIND_DATAW data;
    fw::FindHandle find(::FindFirstFileW(pathOrPattern.c_str(), &data));
    return find.Valid();
}

bool SizeOf(HANDLE file, uint64_t& size)
{
    LARGE_INTEGER value;
    if (!::GetFileSizeEx(file, &value))
        return false;
    size = static_cast<uint64_t>(value.QuadPart);
    return true;
}

} // namespace fileio
