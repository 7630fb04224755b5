/* ZDLFile.sys: keeps the protection lists, the switch and the fixed-drive
 * word for the program and answers its control codes. Every request is
 * completed at once; the state lives in the device extension behind one
 * mutex, because several processes may hold the device open. */
#include <ntifs.h>

#include "ZdlEngine.h"

/* "ZDLF" in pool dumps. */
#define ZDL_POOL_TAG 0x464C445Au

typedef struct ZdlDevice {
    KMUTEX lock;
    ZdlEngine engine;
} ZdlDevice;

static const WCHAR kDeviceName[] = L"\\Device\\ZDLFile";
static const WCHAR kLinkName[] = L"\\DosDevices\\ZDLFile";

void* ZdlHostAllocate(size_t bytes)
{
    return ExAllocatePoolWithTag(NonPagedPool, bytes, ZDL_POOL_TAG);
}

void ZdlHostFree(void* block)
{
    ExFreePoolWithTag(block, ZDL_POOL_TAG);
}

unsigned ZdlHostFoldPath(const char* path, unsigned pathBytes, ZdlChar* key, unsigned capacity)
{
    ULONG written = 0;
    unsigned i;
    unsigned length;
    if (!NT_SUCCESS(RtlMultiByteToUnicodeN((PWCH)key, capacity * sizeof(WCHAR), &written, path, pathBytes)))
        return 0;
    length = written / sizeof(WCHAR);
    for (i = 0; i < length; ++i)
        key[i] = RtlUpcaseUnicodeChar(key[i]);
    return length;
}

static NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static NTSTATUS NTAPI DispatchOpenClose(PDEVICE_OBJECT device, PIRP irp)
{
    UNREFERENCED_PARAMETER(device);
    return Complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS NTAPI DispatchUnsupported(PDEVICE_OBJECT device, PIRP irp)
{
    UNREFERENCED_PARAMETER(device);
    return Complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
}

static NTSTATUS NTAPI DispatchControl(PDEVICE_OBJECT device, PIRP irp)
{
    ZdlDevice* zdl = (ZdlDevice*)device->DeviceExtension;
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    unsigned long written = 0;
    ZdlStatus status;

    KeWaitForSingleObject(&zdl->lock, Executive, KernelMode, FALSE, NULL);
    status = ZdlEngineControl(&zdl->engine, stack->Parameters.DeviceIoControl.IoControlCode,
                              irp->AssociatedIrp.SystemBuffer, stack->Parameters.DeviceIoControl.InputBufferLength,
                              stack->Parameters.DeviceIoControl.OutputBufferLength, &written);
    KeReleaseMutex(&zdl->lock, FALSE);
    return Complete(irp, (NTSTATUS)status, written);
}

/* A driver host that died with an earlier instance leaves its link behind;
 * without taking it away the driver could not load again. */
static NTSTATUS CreateLink(void)
{
    UNICODE_STRING link;
    UNICODE_STRING target;
    NTSTATUS status;
    RtlInitUnicodeString(&link, kLinkName);
    RtlInitUnicodeString(&target, kDeviceName);
    status = IoCreateSymbolicLink(&link, &target);
    if (!NT_SUCCESS(status)) {
        IoDeleteSymbolicLink(&link);
        status = IoCreateSymbolicLink(&link, &target);
    }
    return status;
}

static VOID NTAPI DriverUnload(PDRIVER_OBJECT driver)
{
    UNICODE_STRING link;
    PDEVICE_OBJECT device = driver->DeviceObject;
    RtlInitUnicodeString(&link, kLinkName);
    IoDeleteSymbolicLink(&link);
    if (device) {
        ZdlEngineRelease(&((ZdlDevice*)device->DeviceExtension)->engine);
        IoDeleteDevice(device);
    }
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    UNICODE_STRING name;
    PDEVICE_OBJECT device = NULL;
    ZdlDevice* zdl;
    NTSTATUS status;
    int i;
    UNREFERENCED_PARAMETER(registryPath);

    for (i = 0; i <= IRP_MJ_MAXIMUM_FUNCTION; ++i)
        driver->MajorFunction[i] = DispatchUnsupported;
    driver->MajorFunction[IRP_MJ_CREATE] = DispatchOpenClose;
    driver->MajorFunction[IRP_MJ_CLEANUP] = DispatchOpenClose;
    driver->MajorFunction[IRP_MJ_CLOSE] = DispatchOpenClose;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchControl;
    driver->DriverUnload = DriverUnload;

    RtlInitUnicodeString(&name, kDeviceName);
    status = IoCreateDevice(driver, sizeof(ZdlDevice), &name, ZDL_DEVICE_TYPE, 0, FALSE, &device);
    if (!NT_SUCCESS(status))
        return status;
    zdl = (ZdlDevice*)device->DeviceExtension;
    KeInitializeMutex(&zdl->lock, 0);
    ZdlEngineInit(&zdl->engine);

    status = CreateLink();
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(device);
        return status;
    }
    device->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}
