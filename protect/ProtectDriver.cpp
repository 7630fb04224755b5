#include "protect/ProtectDriver.h"

#include "companion/ZendalCommon.h"
#include "framework/UniqueHandle.h"

#include <cstring>

namespace {

struct ModeCodes {
    wchar_t letter;
    DWORD file;
    DWORD folder;
    DWORD fileClear;
    DWORD folderClear;
};

const ModeCodes kModes[] = {
    {L'o', IOCTL_FILE_PROTECT_O, IOCTL_FOLDER_PROTECT_O, IOCTL_FILE_CLEAR_O, IOCTL_FOLDER_CLEAR_O},
    {L'w', IOCTL_FILE_PROTECT_W, IOCTL_FOLDER_PROTECT_W, IOCTL_FILE_CLEAR_W, IOCTL_FOLDER_CLEAR_W},
    {L'i', IOCTL_FILE_PROTECT_I, IOCTL_FOLDER_PROTECT_I, IOCTL_FILE_CLEAR_I, IOCTL_FOLDER_CLEAR_I},
};

fw::ServiceHandle OpenManager()
{
    return fw::ServiceHandle(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
}

fw::ServiceHandle OpenDriverService()
{
    fw::ServiceHandle manager = OpenManager();
    if (!manager)
        return fw::ServiceHandle();
    return fw::ServiceHandle(::OpenServiceW(manager.Get(), ZDL_SERVICE_NAME, SERVICE_ALL_ACCESS));
}

HANDLE OpenDevice()
{
    return ::CreateFileW(ZDL_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool Control(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize)
{
    DWORD returned = 0;
    return ::DeviceIoControl(device, code, in, inSize, out, outSize, &returned, nullptr) != FALSE;
}

// The record's path bytes; false when the path had to be cut to fit them.
bool ToRecordPath(char (&bytes)[ZDL_PATH_BYTES], const std::wstring& path)
{
    return ZendalUnicodeToAnsi(bytes, path.c_str(), ZDL_PATH_BYTES) <= static_cast<int>(ZDL_PATH_BYTES);
}

} // namespace

HANDLE OpenProtectDevice(const std::wstring& driverFile)
{
    HANDLE device = OpenDevice();
    if (device != INVALID_HANDLE_VALUE)
        return device;
    if (!InstallDriverService(driverFile) || !StartDriverService())
        return INVALID_HANDLE_VALUE;
    return OpenDevice();
}

bool InstallDriverService(const std::wstring& driverFile)
{
    DeleteDriverService();
    fw::ServiceHandle manager = OpenManager();
    if (!manager)
        return false;
    fw::ServiceHandle service(::CreateServiceW(manager.Get(), ZDL_SERVICE_NAME, ZDL_SERVICE_NAME, SERVICE_ALL_ACCESS,
                                               SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                               driverFile.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    return service.Valid();
}

bool DeleteDriverService()
{
    StopDriverService();
    fw::ServiceHandle service = OpenDriverService();
    return service && ::DeleteService(service.Get());
}

bool StartDriverService()
{
    fw::ServiceHandle service = OpenDriverService();
    if (!service)
        return false;
    return ::StartServiceW(service.Get(), 0, nullptr) || ::GetLastError() == ERROR_SERVICE_ALREADY_RUNNING;
}

bool StopDriverService()
{
    fw::ServiceHandle service = OpenDriverService();
    SERVICE_STATUS status{};
    return service && ::ControlService(service.Get(), SERVICE_CONTROL_STOP, &status);
}

bool SetProtectSwitch(HANDLE device, bool on)
{
    BYTE value = on ? 1 : 0;
    return Control(device, IOCTL_SET_PROTECT_SWITCH, &value, sizeof(value), nullptr, 0);
}

DWORD ComputeFixedDriveWord()
{
    DWORD sum = 0;
    DWORD bit = 1;
    wchar_t letter = L'A';
    for (DWORD drives = ::GetLogicalDrives(); drives; drives >>= 1, bit <<= 1, ++letter) {
        const wchar_t root[] = {letter, L':', L'\0'};
        if ((drives & 1) && letter != L'A' && ::GetDriveTypeW(root) == DRIVE_FIXED)
            sum += bit;
    }
    return ZDL_DRIVE_WORD_BASE + sum;
}

bool SetFixedDrives(HANDLE device, DWORD driveWord)
{
    DWORD word = driveWord;
    return Control(device, IOCTL_SET_FIXED_DRIVES, &word, sizeof(word), &word, sizeof(word));
}

bool FitsPathRecord(const std::wstring& path)
{
    char bytes[ZDL_PATH_BYTES];
    return ToRecordPath(bytes, path);
}

bool SendPathRecord(HANDLE device, ProtectListKind kind, const std::wstring& modes, const std::wstring& path,
                    bool remove)
{
    ProtectPathRecord record;
    std::memset(&record, 0, sizeof(record));
    if (!ToRecordPath(record.path, path))
        return false;
    record.remove = remove ? 1 : 0;
    bool accepted = true;
    for (const ModeCodes& mode : kModes) {
        if (modes.find(mode.letter) == std::wstring::npos)
            continue;
        DWORD code = kind == ProtectListKind::File ? mode.file : mode.folder;
        accepted = Control(device, code, &record, sizeof(record), nullptr, 0) && accepted;
    }
    return accepted;
}

bool ClearDriverLists(HANDLE device, ProtectListKind kind)
{
    bool cleared = true;
    for (const ModeCodes& mode : kModes) {
        DWORD code = kind == ProtectListKind::File ? mode.fileClear : mode.folderClear;
        cleared = Control(device, code, nullptr, 0, nullptr, 0) && cleared;
    }
    return cleared;
}
