#pragma once
#include <windows.h>

// The shell's per-user drive policies: "NoDrives" hides drive letters in the
// shell, "NoViewOnDrive" makes them unusable through it. Both are 26-bit
// masks, bit n for drive letter n (A: = bit 0).
namespace ShellDrivePolicy {

constexpr DWORD kAllDrives = (1u << 26) - 1;

struct Reading {
    DWORD hidden;    // "NoDrives" as stored (0 when absent)
    bool unusable;   // "NoViewOnDrive" is present
};

Reading Read();

// Writes "NoDrives" = the mask (bits above Z: cleared) and writes
// "NoViewOnDrive" = the same mask when unusable, deletes it otherwise; then
// tells the running shell that the policy changed. Returns whether both
// registry calls succeeded.
bool Save(DWORD hidden, bool unusable);

} // namespace ShellDrivePolicy
