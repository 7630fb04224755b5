#pragma once
#include "protect/ProtectDriver.h"

#include <windows.h>

#include <string>
#include <vector>

// One protected path and its modes text (the letters o, w, i).
struct ProtectEntry {
    std::wstring path;
    std::wstring modes;
};

// One protection list: its section of the settings file ("File Protect" or
// "Folder Protect"), one key per protected path with its modes as value,
// mirrored into the driver's lists of the same kind. The file is the only
// lasting record: the driver forgets its lists when it is unloaded. The
// device handle is borrowed for each call.
class ProtectListStore {
public:
    ProtectListStore(ProtectListKind kind, std::wstring settingsFile);

    static const wchar_t* SectionName(ProtectListKind kind);
    // A find-first lookup on the path as given: a drive root or a path
    // ending in a backslash counts as absent.
    static bool PathExists(const std::wstring& path);

    // The stored entries in the order of the section, each sent to the
    // driver. Entries whose path no longer exists are deleted from the file
    // and not sent.
    std::vector<ProtectEntry> LoadProtectList(HANDLE device) const;
    // Whether the section holds the path (in any letter case) with a non-empty value.
    bool IsProtected(const std::wstring& path) const;
    // Stores the entry and sends it to the driver. False, with nothing
    // stored or sent, when the settings file cannot keep the entry as given
    // or the driver's record cannot hold its path.
    bool AddProtectEntry(HANDLE device, const ProtectEntry& entry) const;
    // Deletes the key and takes the path out of the driver's lists of its
    // modes. False, with the driver untouched, when the file could not be changed.
    bool RemoveProtectEntry(HANDLE device, const ProtectEntry& entry) const;
    // Leaves the section as an empty header and empties the driver's three
    // lists of the kind. False, with the driver untouched, when the file
    // could not be changed.
    bool ClearProtectList(HANDLE device) const;

private:
    std::vector<std::wstring> StoredPaths() const;
    std::wstring ReadModes(const std::wstring& path) const;
    bool Write(const wchar_t* key, const wchar_t* value) const;
    static bool CanBeKey(const std::wstring& path);

    ProtectListKind kind_;
    std::wstring settingsFile_;
};
