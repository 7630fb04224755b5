#include "support/DriverService.h"

#include "driver/ZdlProtocol.h"
#include "framework/UniqueHandle.h"
#include "protect/ProtectDriver.h"
#include "support/PumpUntil.h"
#include "support/TempProgramFolder.h"

#include <windows.h>

#include <vector>

namespace testkit {

namespace {

fw::ServiceHandle OpenService(DWORD access)
{
    fw::ServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager)
        return fw::ServiceHandle();
    return fw::ServiceHandle(::OpenServiceW(manager.Get(), ZDL_SERVICE_NAME, access));
}

bool DeviceOpens()
{
    fw::FileHandle device(::CreateFileW(ZDL_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    return device.Valid();
}

} // namespace

std::wstring InstalledDriverFile()
{
    return BuildPath(L"program\\sys\\ZDLFile.sys");
}

bool RemoveDriverService()
{
    DeleteDriverService();
    return PumpUntil([] { return !OpenService(SERVICE_QUERY_STATUS) && !DeviceOpens(); });
}

void RestoreDriverService()
{
    RemoveDriverService();
    InstallDriverService(InstalledDriverFile());
    StartDriverService();
}

void ReleaseDriverFrom(const std::wstring& folder)
{
    ServiceConfig config = ReadServiceConfig();
    std::wstring prefix = folder + L"\\";
    if (config.found && config.binaryPath.size() > prefix.size() &&
        ::CompareStringOrdinal(config.binaryPath.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                               static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL)
        RestoreDriverService();
}

ServiceConfig ReadServiceConfig()
{
    ServiceConfig config;
    fw::ServiceHandle service = OpenService(SERVICE_QUERY_CONFIG);
    if (!service)
        return config;
    DWORD needed = 0;
    ::QueryServiceConfigW(service.Get(), nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    auto* raw = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (needed == 0 || !::QueryServiceConfigW(service.Get(), raw, needed, &needed))
        return config;
    config.found = true;
    config.type = raw->dwServiceType;
    config.start = raw->dwStartType;
    config.errorControl = raw->dwErrorControl;
    config.binaryPath = raw->lpBinaryPathName ? raw->lpBinaryPathName : L"";
    config.displayName = raw->lpDisplayName ? raw->lpDisplayName : L"";
    return config;
}

} // namespace testkit
