#include "diskhide/ShellDrivePolicy.h"

#include "companion/ZendalCommon.h"

namespace ShellDrivePolicy {

namespace {

const wchar_t kPolicyKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const wchar_t kNoDrives[] = L"NoDrives";
const wchar_t kNoViewOnDrive[] = L"NoViewOnDrive";

void AnnouncePolicyChange()
{
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Policy"),
                          SMTO_ABORTIFHUNG, 1000, &result);
}

} // namespace

Reading Read()
{
    DWORD value = 0;
    ZendalRegQueryValueDword(HKEY_CURRENT_USER, kPolicyKey, kNoDrives, &value);
    Reading reading{value, false};
    // The variable is not reset between the reads: a present "NoViewOnDrive"
    // answers 1, an absent one leaves 0 behind.
    int found = ZendalRegQueryValueDword(HKEY_CURRENT_USER, kPolicyKey, kNoViewOnDrive, &value);
    reading.unusable = found == 1 || value != 0;
    return reading;
}

bool Save(DWORD hidden, bool unusable)
{
    DWORD mask = hidden & kAllDrives;
    bool saved = ZendalRegSetValueDword(HKEY_CURRENT_USER, kPolicyKey, kNoDrives, mask) == 1;
    if (unusable)
        saved = ZendalRegSetValueDword(HKEY_CURRENT_USER, kPolicyKey, kNoViewOnDrive, mask) == 1 && saved;
    else
        saved = ZendalRegDeleteValue(HKEY_CURRENT_USER, kPolicyKey, kNoViewOnDrive) == 1 && saved;
    if (saved)
        AnnouncePolicyChange();
    return saved;
}

} // namespace ShellDrivePolicy
