/* ZDLFile.sys: a file-system minifilter that enforces the protection lists,
 * and the control device through which the program keeps the lists, the
 * switch and the fixed-drive word. Every control request is completed at
 * once. The state lives in the device extension behind one lock: the
 * filter's callbacks read it shared, control requests change it
 * exclusively. */
#include <ntifs.h>

#include "ZdlFltKernel.h"
#include "ZdlFilter.h"

/* "ZDLF" in pool dumps. */
#define ZDL_POOL_TAG 0x464C445Au

/* The filter's altitude, in the range Windows reserves for the "FSFilter
 * Security Enhancer" load order group (80000-89999: lockdown and access
 * control). Not an altitude Microsoft has allocated to this driver. */
#define ZDL_ALTITUDE L"86336"
#define ZDL_INSTANCE_NAME L"ZDLFile Instance"
/* Instance flags 0: attach to every volume the filter does not decline. */
#define ZDL_INSTANCE_FLAGS 0u

/* The longest link target compared when taking over the device link. */
#define ZDL_LINK_TARGET_CHARS 64

typedef struct ZdlDevice {
    ERESOURCE lock;
    ZdlEngine engine;
} ZdlDevice;

static const WCHAR kDeviceName[] = L"\\Device\\ZDLFile";
static const WCHAR kLinkName[] = L"\\DosDevices\\ZDLFile";

static ZdlDevice* g_device;
static PFLT_FILTER g_filter;
static BOOLEAN g_linkCreated;

void* ZdlHostAllocate(size_t bytes)
{
    /* The lists are only touched at or below APC level. */
    return ExAllocatePoolWithTag(PagedPool, bytes, ZDL_POOL_TAG);
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

ZdlChar ZdlHostUpcase(ZdlChar unit)
{
    return RtlUpcaseUnicodeChar(unit);
}

void ZdlHostLockShared(void)
{
    KeEnterCriticalRegion();
    ExAcquireResourceSharedLite(&g_device->lock, TRUE);
}

void ZdlHostUnlockShared(void)
{
    ExReleaseResourceLite(&g_device->lock);
    KeLeaveCriticalRegion();
}

static void LockExclusive(void)
{
    KeEnterCriticalRegion();
    ExAcquireResourceExclusiveLite(&g_device->lock, TRUE);
}

static void UnlockExclusive(void)
{
    ExReleaseResourceLite(&g_device->lock);
    KeLeaveCriticalRegion();
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
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    unsigned long written = 0;
    ZdlStatus status;
    UNREFERENCED_PARAMETER(device);

    LockExclusive();
    status = ZdlEngineControl(&g_device->engine, stack->Parameters.DeviceIoControl.IoControlCode,
                              irp->AssociatedIrp.SystemBuffer, stack->Parameters.DeviceIoControl.InputBufferLength,
                              stack->Parameters.DeviceIoControl.OutputBufferLength, &written);
    UnlockExclusive();
    return Complete(irp, (NTSTATUS)status, written);
}

/* Whether the link names our device: only then is it one an earlier
 * instance left behind, which may be taken away. */
static BOOLEAN LinkIsOurs(PUNICODE_STRING link)
{
    OBJECT_ATTRIBUTES attributes;
    HANDLE handle;
    WCHAR buffer[ZDL_LINK_TARGET_CHARS];
    UNICODE_STRING target;
    UNICODE_STRING device;
    BOOLEAN ours;
    InitializeObjectAttributes(&attributes, link, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
    if (!NT_SUCCESS(ZwOpenSymbolicLinkObject(&handle, GENERIC_READ, &attributes)))
        return FALSE;
    target.Buffer = buffer;
    target.Length = 0;
    target.MaximumLength = sizeof(buffer);
    RtlInitUnicodeString(&device, kDeviceName);
    ours = NT_SUCCESS(ZwQuerySymbolicLinkObject(handle, &target, NULL)) &&
           RtlEqualUnicodeString(&target, &device, TRUE);
    ZwClose(handle);
    return ours;
}

/* A driver host that died with an earlier instance leaves its link behind;
 * without taking it away the driver could not load again. A link to
 * anything else is left alone. */
static NTSTATUS CreateLink(void)
{
    UNICODE_STRING link;
    UNICODE_STRING target;
    NTSTATUS status;
    RtlInitUnicodeString(&link, kLinkName);
    RtlInitUnicodeString(&target, kDeviceName);
    status = IoCreateSymbolicLink(&link, &target);
    if (!NT_SUCCESS(status) && LinkIsOurs(&link)) {
        IoDeleteSymbolicLink(&link);
        status = IoCreateSymbolicLink(&link, &target);
    }
    return status;
}

/* A SID of the NT authority with up to two subauthorities. */
typedef struct ZdlSid {
    UCHAR revision;
    UCHAR subAuthorityCount;
    UCHAR authority[6];
    ULONG subAuthority[2];
} ZdlSid;

#define ZDL_SID_BYTES(count) (8u + 4u * (count))
#define ZDL_NT_AUTHORITY 5

static void InitSid(ZdlSid* sid, UCHAR count, ULONG first, ULONG second)
{
    RtlZeroMemory(sid, sizeof(*sid));
    sid->revision = SID_REVISION;
    sid->subAuthorityCount = count;
    sid->authority[5] = ZDL_NT_AUTHORITY;
    sid->subAuthority[0] = first;
    sid->subAuthority[1] = second;
}

/* Only the system and administrators may open the device: anybody else
 * could switch protection off or empty the lists. */
static NTSTATUS SecureDevice(PDEVICE_OBJECT device)
{
    enum { ACL_BYTES = sizeof(ACL) + 2 * (sizeof(ACCESS_ALLOWED_ACE) - sizeof(ULONG)) + ZDL_SID_BYTES(1) +
                       ZDL_SID_BYTES(2) };
    union {
        ACL acl;
        UCHAR bytes[ACL_BYTES];
    } dacl;
    ZdlSid system;
    ZdlSid administrators;
    SECURITY_DESCRIPTOR descriptor;
    HANDLE handle;
    NTSTATUS status;
    InitSid(&system, 1, SECURITY_LOCAL_SYSTEM_RID, 0);
    InitSid(&administrators, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS);
    status = RtlCreateAcl(&dacl.acl, sizeof(dacl), ACL_REVISION);
    if (NT_SUCCESS(status))
        status = RtlAddAccessAllowedAce(&dacl.acl, ACL_REVISION, GENERIC_ALL, (PSID)&system);
    if (NT_SUCCESS(status))
        status = RtlAddAccessAllowedAce(&dacl.acl, ACL_REVISION, GENERIC_ALL, (PSID)&administrators);
    if (NT_SUCCESS(status))
        status = RtlCreateSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    if (NT_SUCCESS(status))
        status = RtlSetDaclSecurityDescriptor(&descriptor, TRUE, &dacl.acl, FALSE);
    if (NT_SUCCESS(status))
        status = ObOpenObjectByPointer(device, OBJ_KERNEL_HANDLE, NULL, WRITE_DAC, NULL, KernelMode, &handle);
    if (!NT_SUCCESS(status))
        return status;
    status = ZwSetSecurityObject(handle, DACL_SECURITY_INFORMATION, &descriptor);
    ZwClose(handle);
    return status;
}

static NTSTATUS OpenKey(PHANDLE key, HANDLE parent, PUNICODE_STRING name, BOOLEAN create)
{
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, name, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, parent, NULL);
    if (!create)
        return ZwOpenKey(key, KEY_ALL_ACCESS, &attributes);
    return ZwCreateKey(key, KEY_ALL_ACCESS, &attributes, 0, NULL, REG_OPTION_NON_VOLATILE, NULL);
}

/* Writes the value unless the key has it already. */
static NTSTATUS EnsureValue(HANDLE key, const WCHAR* name, ULONG type, const void* data, ULONG bytes)
{
    UNICODE_STRING valueName;
    ULONG needed = 0;
    NTSTATUS status;
    RtlInitUnicodeString(&valueName, name);
    status = ZwQueryValueKey(key, &valueName, KeyValuePartialInformation, NULL, 0, &needed);
    if (status != STATUS_OBJECT_NAME_NOT_FOUND)
        return STATUS_SUCCESS;
    return ZwSetValueKey(key, &valueName, 0, type, (PVOID)data, bytes);
}

/* The Filter Manager reads the filter's instance from the service key:
 * "Instances" with DefaultInstance, and under it the instance's Altitude and
 * Flags. The service is installed without an INF, so the driver writes what
 * is missing itself before it registers. */
static NTSTATUS WriteInstances(PUNICODE_STRING serviceKey)
{
    static const WCHAR kInstances[] = L"Instances";
    static const WCHAR kInstance[] = ZDL_INSTANCE_NAME;
    static const WCHAR kAltitude[] = ZDL_ALTITUDE;
    const ULONG flags = ZDL_INSTANCE_FLAGS;
    UNICODE_STRING name;
    HANDLE service;
    HANDLE instances;
    HANDLE instance;
    NTSTATUS status = OpenKey(&service, NULL, serviceKey, FALSE);
    if (!NT_SUCCESS(status))
        return status;
    RtlInitUnicodeString(&name, kInstances);
    status = OpenKey(&instances, service, &name, TRUE);
    ZwClose(service);
    if (!NT_SUCCESS(status))
        return status;
    status = EnsureValue(instances, L"DefaultInstance", REG_SZ, kInstance, sizeof(kInstance));
    if (NT_SUCCESS(status)) {
        RtlInitUnicodeString(&name, kInstance);
        status = OpenKey(&instance, instances, &name, TRUE);
        if (NT_SUCCESS(status)) {
            status = EnsureValue(instance, L"Altitude", REG_SZ, kAltitude, sizeof(kAltitude));
            if (NT_SUCCESS(status))
                status = EnsureValue(instance, L"Flags", REG_DWORD, &flags, sizeof(flags));
            ZwClose(instance);
        }
    }
    ZwClose(instances);
    return status;
}

/* Attaches to local disk volumes that have a drive letter; network and
 * removable volumes, and volumes without a letter, are left alone. */
static NTSTATUS FLTAPI InstanceSetup(PCFLT_RELATED_OBJECTS objects, FLT_INSTANCE_SETUP_FLAGS flags,
                                     DEVICE_TYPE volumeType, FLT_FILESYSTEM_TYPE fileSystem)
{
    PDEVICE_OBJECT disk;
    UNICODE_STRING dosName;
    WCHAR letter = 0;
    BOOLEAN removable;
    UNREFERENCED_PARAMETER(flags);
    UNREFERENCED_PARAMETER(fileSystem);
    if (volumeType != FILE_DEVICE_DISK_FILE_SYSTEM)
        return STATUS_FLT_DO_NOT_ATTACH;
    if (!NT_SUCCESS(FltGetDiskDeviceObject(objects->Volume, &disk)))
        return STATUS_FLT_DO_NOT_ATTACH;
    removable = (disk->Characteristics & (FILE_REMOVABLE_MEDIA | FILE_REMOTE_DEVICE)) != 0;
    if (!removable && NT_SUCCESS(IoVolumeDeviceToDosName(disk, &dosName))) {
        if (dosName.Length >= 2 * sizeof(WCHAR) && dosName.Buffer[1] == L':')
            letter = dosName.Buffer[0];
        ExFreePool(dosName.Buffer);
    }
    ObDereferenceObject(disk);
    if (letter == 0)
        return STATUS_FLT_DO_NOT_ATTACH;
    LockExclusive();
    ZdlFilterAddVolume(objects->Instance, letter);
    UnlockExclusive();
    return STATUS_SUCCESS;
}

static NTSTATUS FLTAPI InstanceQueryTeardown(PCFLT_RELATED_OBJECTS objects, FLT_INSTANCE_QUERY_TEARDOWN_FLAGS flags)
{
    UNREFERENCED_PARAMETER(objects);
    UNREFERENCED_PARAMETER(flags);
    return STATUS_SUCCESS;
}

static VOID FLTAPI InstanceTeardownComplete(PCFLT_RELATED_OBJECTS objects, FLT_INSTANCE_TEARDOWN_FLAGS reason)
{
    UNREFERENCED_PARAMETER(reason);
    LockExclusive();
    ZdlFilterRemoveVolume(objects->Instance);
    UnlockExclusive();
}

/* Everything DriverEntry set up, in reverse. Reached through the Filter
 * Manager's unload callback or, where the Filter Manager leaves the
 * driver's unload routine in place, through that; runs once. */
static void Shutdown(PDRIVER_OBJECT driver)
{
    UNICODE_STRING link;
    PDEVICE_OBJECT device = driver->DeviceObject;
    if (g_filter) {
        FltUnregisterFilter(g_filter);
        g_filter = NULL;
    }
    if (!device)
        return;
    if (g_linkCreated) {
        RtlInitUnicodeString(&link, kLinkName);
        IoDeleteSymbolicLink(&link);
        g_linkCreated = FALSE;
    }
    ZdlEngineRelease(&g_device->engine);
    ExDeleteResourceLite(&g_device->lock);
    g_device = NULL;
    IoDeleteDevice(device);
}

static PDRIVER_OBJECT g_driver;

static NTSTATUS FLTAPI FilterUnload(FLT_FILTER_UNLOAD_FLAGS flags)
{
    UNREFERENCED_PARAMETER(flags);
    Shutdown(g_driver);
    return STATUS_SUCCESS;
}

static VOID NTAPI DriverUnload(PDRIVER_OBJECT driver)
{
    Shutdown(driver);
}

static const FLT_REGISTRATION kRegistration = {
    sizeof(FLT_REGISTRATION),
    FLT_REGISTRATION_VERSION_0202,
    0,
    NULL,
    ZdlFilterOperations,
    FilterUnload,
    InstanceSetup,
    InstanceQueryTeardown,
    NULL,
    InstanceTeardownComplete,
    NULL,
    NULL,
    NULL,
    NULL,
    NULL,
    NULL,
};

static NTSTATUS StartFilter(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    NTSTATUS status = WriteInstances(registryPath);
    if (!NT_SUCCESS(status))
        return status;
    status = FltRegisterFilter(driver, &kRegistration, &g_filter);
    if (!NT_SUCCESS(status)) {
        g_filter = NULL;
        return status;
    }
    ZdlFilterStart(&g_device->engine);
    return FltStartFiltering(g_filter);
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    UNICODE_STRING name;
    PDEVICE_OBJECT device = NULL;
    NTSTATUS status;
    int i;

    for (i = 0; i <= IRP_MJ_MAXIMUM_FUNCTION; ++i)
        driver->MajorFunction[i] = DispatchUnsupported;
    driver->MajorFunction[IRP_MJ_CREATE] = DispatchOpenClose;
    driver->MajorFunction[IRP_MJ_CLEANUP] = DispatchOpenClose;
    driver->MajorFunction[IRP_MJ_CLOSE] = DispatchOpenClose;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchControl;
    driver->DriverUnload = DriverUnload;
    g_driver = driver;

    RtlInitUnicodeString(&name, kDeviceName);
    status = IoCreateDevice(driver, sizeof(ZdlDevice), &name, ZDL_DEVICE_TYPE, FILE_DEVICE_SECURE_OPEN, FALSE,
                            &device);
    if (!NT_SUCCESS(status))
        return status;
    g_device = (ZdlDevice*)device->DeviceExtension;
    ExInitializeResourceLite(&g_device->lock);
    ZdlEngineInit(&g_device->engine);

    status = SecureDevice(device);
    if (NT_SUCCESS(status))
        status = CreateLink();
    if (NT_SUCCESS(status)) {
        g_linkCreated = TRUE;
        device->Flags &= ~DO_DEVICE_INITIALIZING;
        status = StartFilter(driver, registryPath);
    }
    if (!NT_SUCCESS(status))
        Shutdown(driver);
    return status;
}
