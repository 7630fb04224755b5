#include "support/PolicyValues.h"

#include "framework/UniqueHandle.h"

namespace testkit {

const wchar_t kExplorerPolicyKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

PolicyValue ReadPolicyValue(const wchar_t* name)
{
    DWORD value = 0, size = sizeof(value), type = 0;
    LONG status = ::RegGetValueW(HKEY_CURRENT_USER, kExplorerPolicyKey, name, RRF_RT_ANY, &type, &value, &size);
    return PolicyValue{status == ERROR_SUCCESS && type == REG_DWORD, value};
}

void WritePolicyValue(const wchar_t* name, PolicyValue stored)
{
    fw::RegKey key;
    HKEY raw = nullptr;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, kExplorerPolicyKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr);
    key.Reset(raw);
    if (stored.found)
        ::RegSetValueExW(key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored.value), sizeof(DWORD));
    else
        ::RegDeleteValueW(key.Get(), name);
}

PolicyValuesKeeper::PolicyValuesKeeper()
    : drives_(ReadPolicyValue(L"NoDrives")), view_(ReadPolicyValue(L"NoViewOnDrive"))
{
}

PolicyValuesKeeper::~PolicyValuesKeeper()
{
    WritePolicyValue(L"NoDrives", drives_);
    WritePolicyValue(L"NoViewOnDrive", view_);
}

} // namespace testkit
