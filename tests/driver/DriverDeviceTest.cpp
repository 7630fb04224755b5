#include "support/DriverClient.h"
#include "driver/ZdlProtocol.h"
#include "protect/ProtectDriver.h"
#include "support/DriverService.h"

#include <gtest/gtest.h>

#include <winternl.h>

#include <string>

namespace {

using testkit::CheckAccess;
using testkit::Control;
using testkit::DriverState;
using testkit::QueryState;
using testkit::Record;

const DWORD kAllDrivesWord = ZDL_DRIVE_WORD_BASE + (1u << ZDL_DRIVE_LETTERS) - 1;

// A path of this test process only, so that other entries are left alone.
std::string OwnPath(const std::string& name)
{
    return "C:\\ZdlTest" + std::to_string(::GetCurrentProcessId()) + "\\" + name;
}

bool Send(HANDLE device, DWORD code, const std::string& path, WORD remove)
{
    return Control(device, code, Record(path, remove), 0).ok;
}

TEST(DriverDevice, AnswersAccessQuestionsFromItsListsSwitchAndDriveWord)
{
    fw::FileHandle device = testkit::OpenTestDevice();
    ASSERT_TRUE(device.Valid());
    const std::string folder = OwnPath("Folder");
    ASSERT_TRUE(SetProtectSwitch(device.Get(), true));
    ASSERT_TRUE(SetFixedDrives(device.Get(), kAllDrivesWord));
    ASSERT_TRUE(Send(device.Get(), IOCTL_FOLDER_PROTECT_W, folder, 0));

    EXPECT_EQ(1, CheckAccess(device.Get(), ZDL_OP_MODIFY, folder + "\\a.txt"));
    EXPECT_EQ(1, CheckAccess(device.Get(), ZDL_OP_CREATE, folder + "\\New\\b.txt"));
    EXPECT_EQ(0, CheckAccess(device.Get(), ZDL_OP_READ, folder + "\\a.txt"));
    EXPECT_EQ(0, CheckAccess(device.Get(), ZDL_OP_MODIFY, folder + "2\\a.txt"));

    ASSERT_TRUE(SetProtectSwitch(device.Get(), false));
    EXPECT_EQ(0, CheckAccess(device.Get(), ZDL_OP_MODIFY, folder + "\\a.txt"));
    ASSERT_TRUE(SetProtectSwitch(device.Get(), true));
    ASSERT_TRUE(SetFixedDrives(device.Get(), ZDL_DRIVE_WORD_BASE + (1u << 3)));
    EXPECT_EQ(0, CheckAccess(device.Get(), ZDL_OP_MODIFY, folder + "\\a.txt")) << "C: not in the mask";
    ASSERT_TRUE(SetFixedDrives(device.Get(), ComputeFixedDriveWord()));
    EXPECT_EQ(1, CheckAccess(device.Get(), ZDL_OP_MODIFY, folder + "\\a.txt"));
    EXPECT_EQ(-1, CheckAccess(device.Get(), ZDL_OP_LAST + 1, folder));

    // The modes' table: i keeps the file where it is but cannot stop a copy,
    // and the folders above any protected path stay where they are.
    const std::string kept = OwnPath("Kept\\k.txt");
    ASSERT_TRUE(Send(device.Get(), IOCTL_FILE_PROTECT_I, kept, 0));
    EXPECT_EQ(1, CheckAccess(device.Get(), ZDL_OP_DELETE, kept));
    EXPECT_EQ(1, CheckAccess(device.Get(), ZDL_OP_RENAME, kept));
    EXPECT_EQ(1, CheckAccess(device.Get(), ZDL_OP_LINK, kept));
    EXPECT_EQ(0, CheckAccess(device.Get(), ZDL_OP_COPY, kept));
    EXPECT_EQ(0, CheckAccess(device.Get(), ZDL_OP_MODIFY, kept));
    EXPECT_EQ(1, CheckAccess(device.Get(), ZDL_OP_RENAME, OwnPath("Kept")));
    EXPECT_EQ(1, CheckAccess(device.Get(), ZDL_OP_DELETE, folder));
    EXPECT_EQ(1, CheckAccess(device.Get(), ZDL_OP_MODIFY, folder)) << "w keeps the folder's own attributes too";
    EXPECT_EQ(0, CheckAccess(device.Get(), ZDL_OP_LIST, folder));

    Send(device.Get(), IOCTL_FILE_PROTECT_I, kept, 1);
    Send(device.Get(), IOCTL_FOLDER_PROTECT_W, folder, 1);
}

template <typename Function>
Function Ntdll(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), name)));
}

// A permanent \DosDevices\ZDLFile link to a target, as a driver host that
// died leaves one behind. No handle to it is kept open, so that whoever may
// delete it can; a link to another device is taken away again at the end.
class DeviceLink {
public:
    explicit DeviceLink(const wchar_t* target) : foreign_(std::wstring(target) != L"\\Device\\ZDLFile")
    {
        using Create = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PUNICODE_STRING);
        UNICODE_STRING to;
        ::RtlInitUnicodeString(&to, target);
        OBJECT_ATTRIBUTES attributes = Attributes(OBJ_PERMANENT);
        HANDLE link = nullptr;
        made_ = Ntdll<Create>("NtCreateSymbolicLinkObject")(&link, kAllAccess, &attributes, &to) == 0;
        if (made_)
            ::CloseHandle(link);
    }
    ~DeviceLink()
    {
        using Open = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES);
        OBJECT_ATTRIBUTES attributes = Attributes(0);
        HANDLE link = nullptr;
        if (made_ && foreign_ && Ntdll<Open>("NtOpenSymbolicLinkObject")(&link, kAllAccess, &attributes) == 0) {
            Ntdll<NTSTATUS(NTAPI*)(HANDLE)>("NtMakeTemporaryObject")(link);
            ::CloseHandle(link);
        }
    }
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;
    bool Made() const { return made_; }

    // Where \DosDevices\ZDLFile points now; empty when there is no such link.
    static std::wstring Target()
    {
        using Open = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES);
        using Query = NTSTATUS(NTAPI*)(HANDLE, PUNICODE_STRING, PULONG);
        OBJECT_ATTRIBUTES attributes = Attributes(0);
        HANDLE link = nullptr;
        if (Ntdll<Open>("NtOpenSymbolicLinkObject")(&link, kQueryAccess, &attributes) != 0)
            return std::wstring();
        wchar_t buffer[kTargetChars] = {};
        UNICODE_STRING target{0, sizeof(buffer), buffer};
        NTSTATUS status = Ntdll<Query>("NtQuerySymbolicLinkObject")(link, &target, nullptr);
        ::CloseHandle(link);
        return status == 0 ? std::wstring(buffer, target.Length / sizeof(wchar_t)) : std::wstring();
    }

private:
    static OBJECT_ATTRIBUTES Attributes(ULONG flags)
    {
        static UNICODE_STRING name{static_cast<USHORT>(wcslen(kLinkName) * sizeof(wchar_t)),
                                   static_cast<USHORT>(wcslen(kLinkName) * sizeof(wchar_t)),
                                   const_cast<wchar_t*>(kLinkName)};
        OBJECT_ATTRIBUTES attributes;
        InitializeObjectAttributes(&attributes, &name, OBJ_CASE_INSENSITIVE | flags, nullptr, nullptr);
        return attributes;
    }

    static constexpr const wchar_t* kLinkName = L"\\DosDevices\\ZDLFile";
    static const ACCESS_MASK kQueryAccess = 0x1;
    static const ACCESS_MASK kAllAccess = STANDARD_RIGHTS_REQUIRED | kQueryAccess;
    static const size_t kTargetChars = 128;
    bool foreign_;
    bool made_ = false;
};

std::wstring ReadRegistryText(HKEY key, const wchar_t* subKey, const wchar_t* value)
{
    wchar_t text[128] = {};
    DWORD bytes = sizeof(text);
    if (::RegGetValueW(key, subKey, value, RRF_RT_REG_SZ, nullptr, text, &bytes) != ERROR_SUCCESS)
        return std::wstring();
    return text;
}

TEST(DriverService, LoadsAgainOverAStaleDeviceLinkStartsEmptyAndWritesItsFilterInstance)
{
    testkit::ServiceRestorer restore;
    ASSERT_TRUE(testkit::RemoveDriverService());
    const wchar_t kInstances[] = L"SYSTEM\\CurrentControlSet\\Services\\ZDLFile\\Instances";
    const wchar_t kInstance[] = L"SYSTEM\\CurrentControlSet\\Services\\ZDLFile\\Instances\\ZDLFile Instance";
    // What a crashed driver host leaves behind: the link to a device that is gone.
    DeviceLink stale(L"\\Device\\ZDLFile");
    ASSERT_TRUE(stale.Made());
    {
        fw::FileHandle stale(::CreateFileW(ZDL_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        DriverState state;
        EXPECT_FALSE(stale.Valid() && QueryState(stale.Get(), &state)) << "the stale link should not reach a driver";
    }

    ASSERT_TRUE(InstallDriverService(testkit::InstalledDriverFile()));
    ASSERT_TRUE(StartDriverService());
    fw::FileHandle device(::CreateFileW(ZDL_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(device.Valid()) << ::GetLastError();
    DriverState state;
    ASSERT_TRUE(QueryState(device.Get(), &state));
    EXPECT_EQ(0u, state.protectOn);
    EXPECT_EQ(0u, state.driveWord);
    for (const std::vector<std::string>& list : state.lists)
        EXPECT_TRUE(list.empty());

    // The Filter Manager finds the instance under the service key; the
    // altitude lies in the access-control range 80000-89999.
    EXPECT_EQ(L"ZDLFile Instance", ReadRegistryText(HKEY_LOCAL_MACHINE, kInstances, L"DefaultInstance"));
    std::wstring altitude = ReadRegistryText(HKEY_LOCAL_MACHINE, kInstance, L"Altitude");
    ASSERT_FALSE(altitude.empty());
    EXPECT_GE(std::stol(altitude), 80000);
    EXPECT_LE(std::stol(altitude), 89999);
    DWORD flags = 1;
    DWORD bytes = sizeof(flags);
    EXPECT_EQ(ERROR_SUCCESS, ::RegGetValueW(HKEY_LOCAL_MACHINE, kInstance, L"Flags", RRF_RT_REG_DWORD, nullptr,
                                            &flags, &bytes));
    EXPECT_EQ(0u, flags);
}

TEST(DriverService, LeavesALinkOfTheSameNameToAnotherDeviceAlone)
{
    testkit::ServiceRestorer restore;
    ASSERT_TRUE(testkit::RemoveDriverService());
    {
        DeviceLink foreign(L"\\Device\\Null");
        ASSERT_TRUE(foreign.Made());
        ASSERT_TRUE(InstallDriverService(testkit::InstalledDriverFile()));
        EXPECT_FALSE(StartDriverService()) << "the name is taken by somebody else";
        EXPECT_EQ(L"\\Device\\Null", DeviceLink::Target());
    }
    ASSERT_TRUE(StartDriverService());
    EXPECT_EQ(L"\\Device\\ZDLFile", DeviceLink::Target());
}

} // namespace
