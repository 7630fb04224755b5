#include "WineDrives.h"

#include <winioctl.h>

#include <cstring>
#include <vector>

namespace drivertest {

namespace {

// Wine's own mount-manager request (what its configuration tool uses): a
// mount point defines the drive, none removes it.
const DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

#pragma pack(push, 4)
struct UnixDrive {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};
#pragma pack(pop)
static_assert(sizeof(UnixDrive) == 32, "Wine's mountmgr_unix_drive");

bool LetterInUse(wchar_t letter)
{
    return (::GetLogicalDrives() >> (letter - L'A')) & 1;
}

} // namespace

WineDrives::WineDrives()
{
    manager_.Reset(::CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
}

WineDrives::~WineDrives()
{
    while (!defined_.empty())
        Remove(defined_.back());
}

bool WineDrives::Define(wchar_t letter, UINT type)
{
    if (defined_.find(letter) == std::wstring::npos && LetterInUse(letter))
        return false;
    if (!Send(letter, type, "/tmp"))
        return false;
    if (defined_.find(letter) == std::wstring::npos)
        defined_ += letter;
    return true;
}

bool WineDrives::Remove(wchar_t letter)
{
    size_t at = defined_.find(letter);
    if (at == std::wstring::npos)
        return false;
    defined_.erase(at, 1);
    return Send(letter, DRIVE_NO_ROOT_DIR, nullptr);
}

bool WineDrives::Send(wchar_t letter, UINT type, const char* mountPoint)
{
    std::vector<char> buffer(sizeof(UnixDrive) + (mountPoint ? std::strlen(mountPoint) + 1 : 0));
    UnixDrive drive{};
    drive.size = static_cast<ULONG>(buffer.size());
    drive.type = type;
    drive.letter = static_cast<WCHAR>(letter - L'A' + L'a');
    if (mountPoint) {
        drive.mountPointOffset = sizeof(UnixDrive);
        std::memcpy(buffer.data() + sizeof(UnixDrive), mountPoint, std::strlen(mountPoint) + 1);
    }
    std::memcpy(buffer.data(), &drive, sizeof(drive));
    DWORD returned = 0;
    return ::DeviceIoControl(manager_.Get(), kDefineUnixDrive, buffer.data(), drive.size, nullptr, 0, &returned, nullptr) !=
           FALSE;
}

} // namespace drivertest
