#pragma once
#include <windows.h>

namespace testkit {

// The shell's per-user policy key that drive hiding writes.
extern const wchar_t kExplorerPolicyKey[];

// A DWORD value of the policy key as stored: whether it is there, and its number.
struct PolicyValue {
    bool found;
    DWORD value;
};

PolicyValue ReadPolicyValue(const wchar_t* name);
// Writes the value, or deletes it when it is not found.
void WritePolicyValue(const wchar_t* name, PolicyValue stored);

// Keeps "NoDrives" and "NoViewOnDrive" as they were before a test changed them.
class PolicyValuesKeeper {
public:
    PolicyValuesKeeper();
    ~PolicyValuesKeeper();
    PolicyValuesKeeper(const PolicyValuesKeeper&) = delete;
    PolicyValuesKeeper& operator=(const PolicyValuesKeeper&) = delete;

private:
    PolicyValue drives_;
    PolicyValue view_;
};

} // namespace testkit
