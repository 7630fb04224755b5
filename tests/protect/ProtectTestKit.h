#pragma once
#include "DeviceCallRecorder.h"
#include "protect/ProtectDriver.h"
#include "support/DriverClient.h"

#include <windows.h>

#include <string>
#include <vector>

namespace protecttest {

// The raw bytes of a file, empty when it cannot be read.
std::string FileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
// Creates an empty file and returns its path.
std::wstring CreateEmptyFile(const std::wstring& path);

// The driver list of a kind and a mode letter (o, w or i).
int DriverList(ProtectListKind kind, wchar_t mode);
// The mode letters whose list of the kind holds the path.
std::wstring ListedModes(const testkit::DriverState& state, ProtectListKind kind, const std::wstring& path);
// The same, asked of the driver now.
std::wstring ListedModes(HANDLE device, ProtectListKind kind, const std::wstring& path);
// The modes text the settings file holds for the path in the kind's section.
std::wstring StoredModes(const std::wstring& settingsFile, ProtectListKind kind, const std::wstring& path);

// The control codes of the recorded calls, without state queries, in order.
std::vector<DWORD> SentCodes(const std::vector<drivertest::DeviceCall>& calls);
// Whether every recorded record call carried exactly this path and remove flag.
bool AllRecordsAre(const std::vector<drivertest::DeviceCall>& calls, const std::wstring& path, WORD remove);

// The rows of a TreeList window in display order, read through its own messages.
struct ListRow {
    HTREEITEM item;
    std::wstring path;  // column 0
    std::wstring modes; // column 1
};
std::vector<ListRow> ListRows(HWND list);
// A point on screen inside the row's first cell.
POINT RowPoint(HWND list, HTREEITEM item);
HTREEITEM SelectedItem(HWND list);

// Holds a file open for reading and shared for reading only: the profile
// functions can still read it but no longer write it. (A read-only attribute
// does not stop them here: the tests run as root.)
class WriteLock {
public:
    explicit WriteLock(const std::wstring& path);
    bool Held() const { return handle_.Valid(); }

private:
    fw::FileHandle handle_;
};

} // namespace protecttest
