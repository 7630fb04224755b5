#include "companion/ZendalCommon.h"

#include "framework/UniqueHandle.h"

#include <cstring>

namespace {

// A character is one UTF-16 unit or a surrogate pair.
int CharacterUnits(const wchar_t* text)
{
    return IS_HIGH_SURROGATE(text[0]) && IS_LOW_SURROGATE(text[1]) ? 2 : 1;
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}

int WINAPI ZendalUnicodeToAnsi(char* dst, const wchar_t* src, int capacity)
{
    if (!src)
        src = L"";
    bool copying = dst && capacity > 0;
    int written = 0;
    int needed = 0;
    // Character by character, so that the cut falls between characters in
    // every code page, double-byte or not.
    for (const wchar_t* p = src; *p;) {
        int units = CharacterUnits(p);
        char bytes[8];
        int length = ::WideCharToMultiByte(CP_ACP, 0, p, units, bytes, sizeof(bytes), nullptr, nullptr);
        p += units;
        needed += length;
        if (copying && written + length < capacity) {
            std::memcpy(dst + written, bytes, length);
            written += length;
        } else {
            copying = false;
        }
    }
    if (dst && capacity > 0)
        dst[written] = '\0';
    return needed + 1;
}

int WINAPI ZendalRegQueryValueDword(HKEY root, const wchar_t* key, const wchar_t* name, DWORD* value)
{
    if (!value)
        return 0;
    *value = 0;
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(root, key, 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS)
        return 0;
    fw::RegKey opened(raw);
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof(data);
    LONG result = ::RegQueryValueExW(opened.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(data))
        return 0;
    *value = data;
    return 1;
}

int WINAPI ZendalRegSetValueDword(HKEY root, const wchar_t* key, const wchar_t* name, DWORD value)
{
    HKEY raw = nullptr;
    if (::RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr) != ERROR_SUCCESS)
        return 0;
    fw::RegKey created(raw);
    return ::RegSetValueExW(created.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                            sizeof(value)) == ERROR_SUCCESS;
}

int WINAPI ZendalRegDeleteValue(HKEY root, const wchar_t* key, const wchar_t* name)
{
    HKEY raw = nullptr;
    LONG opened = ::RegOpenKeyExW(root, key, 0, KEY_SET_VALUE, &raw);
    if (opened == ERROR_FILE_NOT_FOUND)
        return 1;
    if (opened != ERROR_SUCCESS)
        return 0;
    fw::RegKey holder(raw);
    LONG deleted = ::RegDeleteValueW(holder.Get(), name);
    return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}
