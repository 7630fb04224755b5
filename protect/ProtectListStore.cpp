#include "protect/ProtectListStore.h"

#include "framework/UniqueHandle.h"

#include <utility>

namespace {

// Key names of a whole section are read in one piece into this many characters.
const DWORD kKeyNamesLength = 100000;
const DWORD kValueLength = 256;
// Written and deleted again so that an emptied list keeps its section header.
const wchar_t kPlaceholderKey[] = L"Zendal";

} // namespace

ProtectListStore::ProtectListStore(ProtectListKind kind, std::wstring settingsFile)
    : kind_(kind), settingsFile_(std::move(settingsFile))
{
}

const wchar_t* ProtectListStore::SectionName(ProtectListKind kind)
{
    return kind == ProtectListKind::File ? L"File Protect" : L"Folder Protect";
}

std::vector<ProtectEntry> ProtectListStore::LoadProtectList(HANDLE device) const
{
    std::vector<ProtectEntry> entries;
    for (const std::wstring& path : StoredPaths()) {
        std::wstring modes = ReadModes(path);
        if (!PathExists(path)) {
            Write(path.c_str(), nullptr);
            continue;
        }
        SendPathRecord(device, kind_, modes, path, false);
        entries.push_back({path, modes});
    }
    return entries;
}

bool ProtectListStore::IsProtected(const std::wstring& path) const
{
    return !ReadModes(path).empty();
}

bool ProtectListStore::AddProtectEntry(HANDLE device, const ProtectEntry& entry) const
{
    if (!CanBeKey(entry.path) || !FitsPathRecord(entry.path) || !Write(entry.path.c_str(), entry.modes.c_str()))
        return false;
    SendPathRecord(device, kind_, entry.modes, entry.path, false);
    return true;
}

bool ProtectListStore::RemoveProtectEntry(HANDLE device, const ProtectEntry& entry) const
{
    // A key that another program removed already counts as removed.
    if (!Write(entry.path.c_str(), nullptr) && !ReadModes(entry.path).empty())
        return false;
    SendPathRecord(device, kind_, entry.modes, entry.path, true);
    return true;
}

bool ProtectListStore::ClearProtectList(HANDLE device) const
{
    if (!Write(nullptr, nullptr) && !StoredPaths().empty())
        return false;
    Write(kPlaceholderKey, kPlaceholderKey);
    Write(kPlaceholderKey, nullptr);
    ClearDriverLists(device, kind_);
    return true;
}

// The section's key names in file order. When they do not all fit, the
// system cuts the last one short; it is left out with the rest that did not fit.
std::vector<std::wstring> ProtectListStore::StoredPaths() const
{
    std::vector<wchar_t> names(kKeyNamesLength, L'\0');
    DWORD length = ::GetPrivateProfileStringW(SectionName(kind_), nullptr, nullptr, names.data(), kKeyNamesLength,
                                              settingsFile_.c_str());
    std::vector<std::wstring> paths;
    for (const wchar_t* name = names.data(); *name; name += paths.back().size() + 1)
        paths.emplace_back(name);
    if (length == kKeyNamesLength - 2 && !paths.empty())
        paths.pop_back();
    return paths;
}

std::wstring ProtectListStore::ReadModes(const std::wstring& path) const
{
    wchar_t modes[kValueLength] = {};
    ::GetPrivateProfileStringW(SectionName(kind_), path.c_str(), nullptr, modes, kValueLength, settingsFile_.c_str());
    return modes;
}

bool ProtectListStore::Write(const wchar_t* key, const wchar_t* value) const
{
    return ::WritePrivateProfileStringW(SectionName(kind_), key, value, settingsFile_.c_str()) != FALSE;
}

bool ProtectListStore::PathExists(const std::wstring& path)
{
    WIN32_FIND_DATAW data;
    fw::FindHandle find(::FindFirstFileW(path.c_str(), &data));
    return find.Valid();
}

// The settings file splits a line at its first "=": a path holding one would
// be stored under a different key and lost at the next start.
bool ProtectListStore::CanBeKey(const std::wstring& path)
{
    return path.find(L'=') == std::wstring::npos;
}
