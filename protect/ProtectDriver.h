#pragma once
// The program's side of the protection driver ZDLFile.sys: its kernel
// service, its device and the control codes that switch protection, name the
// fixed drives and add, remove and clear protected paths. All calls are
// synchronous and belong to the user-interface thread.
#include "driver/ZdlProtocol.h"

#include <windows.h>

#include <cstddef>
#include <string>

static_assert(sizeof(ProtectPathRecord) == ZDL_RECORD_BYTES, "the device takes 258-byte records");
static_assert(offsetof(ProtectPathRecord, remove) == ZDL_PATH_BYTES, "remove follows the 256 path bytes");

enum class ProtectListKind { File, Folder };

// The device handle, installing and starting the service from driverFile when
// the device cannot be opened at once; INVALID_HANDLE_VALUE when that fails.
HANDLE OpenProtectDevice(const std::wstring& driverFile);

// Deletes any service of the driver's name, then registers it anew as a
// demand-start kernel driver from driverFile.
bool InstallDriverService(const std::wstring& driverFile);
bool DeleteDriverService();
// Also succeeds when the service is running already.
bool StartDriverService();
bool StopDriverService();

bool SetProtectSwitch(HANDLE device, bool on);
// 65 plus the bits of the present fixed drives other than A: (bit 0 = A:).
DWORD ComputeFixedDriveWord();
bool SetFixedDrives(HANDLE device, DWORD driveWord);

// Whether the path's ANSI form, with its terminator, fits the record's 256 bytes.
bool FitsPathRecord(const std::wstring& path);

// Sends the path once for each of the letters o, w, i (in that order) found
// in modes, to the kind's list of that mode. Returns whether every record
// sent was accepted. A path that does not fit the record is not sent at
// all: cut short it would name a different file or folder.
bool SendPathRecord(HANDLE device, ProtectListKind kind, const std::wstring& modes, const std::wstring& path,
                    bool remove);
// Empties the kind's three lists (clear codes in the order o, w, i).
bool ClearDriverLists(HANDLE device, ProtectListKind kind);
