#include <ntifs.h>

static VOID NTAPI DriverUnload(PDRIVER_OBJECT driver)
{
    UNREFERENCED_PARAMETER(driver);
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    UNREFERENCED_PARAMETER(registryPath);
    driver->DriverUnload = DriverUnload;
    return STATUS_SUCCESS;
}
