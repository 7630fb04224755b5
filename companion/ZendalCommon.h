#pragma once
// ZendalCommon.dll, the companion library the program imports: code-page
// conversion and 32-bit registry values. Undecorated WINAPI exports.
#include <windows.h>

#ifdef ZENDAL_COMMON_BUILD
#define ZENDAL_COMMON_API
#else
#define ZENDAL_COMMON_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Converts src into the system ANSI code page, writing at most capacity bytes
// into dst including the terminator. Always terminates (when capacity > 0)
// and never cuts a multi-byte character in half: characters that do not fit
// whole are left out, together with everything after them. Returns the number
// of bytes the whole text needs including its terminator, so a result above
// capacity means the text was cut.
ZENDAL_COMMON_API int WINAPI ZendalUnicodeToAnsi(char* dst, const wchar_t* src, int capacity);

// 1 and the value when a 32-bit value of that name exists under root\key;
// otherwise 0 and the value 0.
ZENDAL_COMMON_API int WINAPI ZendalRegQueryValueDword(HKEY root, const wchar_t* key, const wchar_t* name,
                                                      DWORD* value);

// Creates the key when missing. 1 on success, 0 on failure.
ZENDAL_COMMON_API int WINAPI ZendalRegSetValueDword(HKEY root, const wchar_t* key, const wchar_t* name,
                                                    DWORD value);

// 1 when the value is gone afterwards, also when it (or its key) was absent; 0 on failure.
ZENDAL_COMMON_API int WINAPI ZendalRegDeleteValue(HKEY root, const wchar_t* key, const wchar_t* name);

#ifdef __cplusplus
}
#endif
