#pragma once
#include "driver/ZdlProtocol.h"
#include "framework/UniqueHandle.h"

#include <windows.h>

#include <string>
#include <vector>

namespace testkit {

// A test's own handle to the device, installing and starting the service
// from the build's program folder when the driver is not loaded.
fw::FileHandle OpenTestDevice();

struct ControlResult {
    bool ok = false;
    DWORD error = 0;
    std::string output; // the bytes the driver answered with
};

ControlResult Control(HANDLE device, DWORD code, const std::string& input, DWORD outputSize);

// IOCTL_QUERY_STATE, decoded. Entries are the 256 bytes each, as the driver keeps them.
struct DriverState {
    DWORD protectOn = 0;
    DWORD driveWord = 0;
    std::vector<std::string> lists[ZDL_LISTS];
};

bool QueryState(HANDLE device, DriverState* state);
// A whole IOCTL_QUERY_STATE answer: false when its counts, its size and the
// size it says it needs do not agree.
bool DecodeState(const std::string& answer, DriverState* state);

// The path NUL-padded to the record's 256 bytes.
std::string Padded(const std::string& path);
// A ProtectPathRecord's 258 bytes.
std::string Record(const std::string& path, WORD remove);

// IOCTL_CHECK_ACCESS: 1 denied, 0 allowed, -1 when the driver refused the question.
int CheckAccess(HANDLE device, DWORD operation, const std::string& path);

// The ANSI code page form of a wide text.
std::string Ansi(const std::wstring& text);

} // namespace testkit
