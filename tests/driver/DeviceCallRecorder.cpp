#include "DeviceCallRecorder.h"

#include <atomic>
#include <cstring>

namespace drivertest {

namespace {

std::atomic<DeviceCallRecorder*> g_active{nullptr};

// The import table slot through which this executable calls dll!function.
void** FindImportSlot(const char* dll, const char* function)
{
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); module->Name;
         ++module) {
        if (::lstrcmpiA(reinterpret_cast<const char*>(base + module->Name), dll) != 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

} // namespace

DeviceCallRecorder::DeviceCallRecorder()
{
    slot_ = FindImportSlot("kernel32.dll", "DeviceIoControl");
    if (!slot_)
        return;
    original_ = reinterpret_cast<DeviceIoControlFunction>(*slot_);
    g_active = this;
    WriteSlot(slot_, reinterpret_cast<void*>(&DeviceCallRecorder::Record));
}

DeviceCallRecorder::~DeviceCallRecorder()
{
    if (!slot_)
        return;
    WriteSlot(slot_, reinterpret_cast<void*>(original_));
    g_active = nullptr;
}

std::vector<DeviceCall> DeviceCallRecorder::Calls() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
}

void DeviceCallRecorder::Clear()
{
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.clear();
}

void DeviceCallRecorder::WriteSlot(void** slot, void* value)
{
    DWORD old = 0;
    ::VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old);
    *slot = value;
    ::VirtualProtect(slot, sizeof(void*), old, &old);
}

BOOL WINAPI DeviceCallRecorder::Record(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                                       LPDWORD returned, LPOVERLAPPED overlapped)
{
    DeviceCallRecorder* self = g_active;
    {
        std::lock_guard<std::mutex> lock(self->mutex_);
        std::string input = in ? std::string(static_cast<const char*>(in), inSize) : std::string();
        self->calls_.push_back(DeviceCall{code, input, outSize});
    }
    return self->original_(device, code, in, inSize, out, outSize, returned, overlapped);
}

} // namespace drivertest
