#pragma once
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

namespace drivertest {

struct DeviceCall {
    DWORD code;
    std::string input; // the input bytes exactly as passed
    DWORD outputSize;
};

// While it exists, every DeviceIoControl call this executable makes through
// its import table (so every call of the program's code linked into it) is
// recorded and then passed on to the real device.
class DeviceCallRecorder {
public:
    DeviceCallRecorder();
    ~DeviceCallRecorder();
    DeviceCallRecorder(const DeviceCallRecorder&) = delete;
    DeviceCallRecorder& operator=(const DeviceCallRecorder&) = delete;

    bool Hooked() const { return slot_ != nullptr; }
    std::vector<DeviceCall> Calls() const;
    void Clear();

private:
    using DeviceIoControlFunction = BOOL(WINAPI*)(HANDLE, DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
    static BOOL WINAPI Record(HANDLE, DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
    static void WriteSlot(void** slot, void* value);

    void** slot_ = nullptr;
    DeviceIoControlFunction original_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<DeviceCall> calls_;
};

} // namespace drivertest
