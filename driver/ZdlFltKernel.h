/* The part of the Filter Manager interface this driver uses, declared from
 * Microsoft's published reference for fltKernel.h, which mingw-w64 does not
 * ship. Include after <ntifs.h>. Every structure here is read or filled by
 * the driver; its layout is checked against an independent declaration for
 * both architectures (tests/driver/FltLayout*). The functions are imported
 * from fltmgr.sys through fltmgr.def. */
#ifndef ZDL_FLT_KERNEL_H
#define ZDL_FLT_KERNEL_H

#ifdef __cplusplus
extern "C" {
#endif

#define FLTAPI NTAPI

typedef struct _FLT_FILTER* PFLT_FILTER;
typedef struct _FLT_VOLUME* PFLT_VOLUME;
typedef struct _FLT_INSTANCE* PFLT_INSTANCE;
typedef PVOID PFLT_CONTEXT;

typedef ULONG FLT_CALLBACK_DATA_FLAGS;
typedef ULONG FLT_OPERATION_REGISTRATION_FLAGS;
typedef ULONG FLT_REGISTRATION_FLAGS;
typedef ULONG FLT_FILTER_UNLOAD_FLAGS;
typedef ULONG FLT_INSTANCE_SETUP_FLAGS;
typedef ULONG FLT_INSTANCE_QUERY_TEARDOWN_FLAGS;
typedef ULONG FLT_INSTANCE_TEARDOWN_FLAGS;
typedef ULONG FLT_FILE_NAME_OPTIONS;
typedef USHORT FLT_FILE_NAME_PARSED_FLAGS;

#define FLTFL_CALLBACK_DATA_IRP_OPERATION 0x00000001
#define FLTFL_CALLBACK_DATA_FAST_IO_OPERATION 0x00000002

#define FLT_REGISTRATION_VERSION_0202 0x0202

#define FLT_FILE_NAME_NORMALIZED 0x01
#define FLT_FILE_NAME_QUERY_DEFAULT 0x0100

typedef enum _FLT_PREOP_CALLBACK_STATUS {
    FLT_PREOP_SUCCESS_WITH_CALLBACK,
    FLT_PREOP_SUCCESS_NO_CALLBACK,
    FLT_PREOP_PENDING,
    FLT_PREOP_DISALLOW_FASTIO,
    FLT_PREOP_COMPLETE,
    FLT_PREOP_SYNCHRONIZE
} FLT_PREOP_CALLBACK_STATUS;

typedef enum _FLT_POSTOP_CALLBACK_STATUS {
    FLT_POSTOP_FINISHED_PROCESSING,
    FLT_POSTOP_MORE_PROCESSING_REQUIRED
} FLT_POSTOP_CALLBACK_STATUS;

typedef enum _FLT_FILESYSTEM_TYPE { FLT_FSTYPE_UNKNOWN } FLT_FILESYSTEM_TYPE;

#define IRP_MJ_OPERATION_END ((UCHAR)0x80)

/* The parameters of the operations the driver filters. Others gives the
 * union the size of its largest member, a query-directory or control
 * request of six pointer-sized fields, and Reserved the 8-byte alignment the
 * 64-bit members (offsets, allocation sizes) force on both architectures. */
typedef union _FLT_PARAMETERS {
    struct {
        PIO_SECURITY_CONTEXT SecurityContext;
        ULONG Options;
        USHORT POINTER_ALIGNMENT FileAttributes;
        USHORT ShareAccess;
        ULONG POINTER_ALIGNMENT EaLength;
        PVOID EaBuffer;
        LARGE_INTEGER AllocationSize;
    } Create;
    struct {
        ULONG Length;
        ULONG POINTER_ALIGNMENT Key;
        LARGE_INTEGER ByteOffset;
        PVOID WriteBuffer;
        PMDL MdlAddress;
    } Write;
    struct {
        ULONG Length;
        FILE_INFORMATION_CLASS POINTER_ALIGNMENT FileInformationClass;
        PFILE_OBJECT ParentOfTarget;
        union {
            struct {
                BOOLEAN ReplaceIfExists;
                BOOLEAN AdvanceOnly;
            };
            ULONG ClusterCount;
            HANDLE DeleteHandle;
        };
        PVOID InfoBuffer;
    } SetFileInformation;
    struct {
        SECURITY_INFORMATION SecurityInformation;
        PSECURITY_DESCRIPTOR SecurityDescriptor;
    } SetSecurity;
    struct {
        PVOID Argument1;
        PVOID Argument2;
        PVOID Argument3;
        PVOID Argument4;
        PVOID Argument5;
        LARGE_INTEGER Argument6;
    } Others;
} FLT_PARAMETERS, *PFLT_PARAMETERS;

typedef struct _FLT_IO_PARAMETER_BLOCK {
    ULONG IrpFlags;
    UCHAR MajorFunction;
    UCHAR MinorFunction;
    UCHAR OperationFlags;
    UCHAR Reserved;
    PFILE_OBJECT TargetFileObject;
    PFLT_INSTANCE TargetInstance;
    FLT_PARAMETERS Parameters;
} FLT_IO_PARAMETER_BLOCK, *PFLT_IO_PARAMETER_BLOCK;

typedef struct _FLT_CALLBACK_DATA {
    FLT_CALLBACK_DATA_FLAGS Flags;
    PETHREAD CONST Thread;
    PFLT_IO_PARAMETER_BLOCK CONST Iopb;
    IO_STATUS_BLOCK IoStatus;
    struct _FLT_TAG_DATA_BUFFER* TagData;
    union {
        struct {
            LIST_ENTRY QueueLinks;
            PVOID QueueContext[2];
        };
        PVOID FilterContext[4];
    };
    KPROCESSOR_MODE RequestorMode;
} FLT_CALLBACK_DATA, *PFLT_CALLBACK_DATA;

typedef struct _FLT_RELATED_OBJECTS {
    USHORT CONST Size;
    USHORT CONST TransactionContext;
    PFLT_FILTER CONST Filter;
    PFLT_VOLUME CONST Volume;
    PFLT_INSTANCE CONST Instance;
    PFILE_OBJECT CONST FileObject;
    PVOID CONST Transaction;
} FLT_RELATED_OBJECTS, *PFLT_RELATED_OBJECTS;
typedef CONST FLT_RELATED_OBJECTS* PCFLT_RELATED_OBJECTS;

typedef struct _FLT_FILE_NAME_INFORMATION {
    USHORT Size;
    FLT_FILE_NAME_PARSED_FLAGS NamesParsed;
    FLT_FILE_NAME_OPTIONS Format;
    UNICODE_STRING Name;
    UNICODE_STRING Volume;
    UNICODE_STRING Share;
    UNICODE_STRING Extension;
    UNICODE_STRING Stream;
    UNICODE_STRING FinalComponent;
    UNICODE_STRING ParentDir;
} FLT_FILE_NAME_INFORMATION, *PFLT_FILE_NAME_INFORMATION;

typedef FLT_PREOP_CALLBACK_STATUS(FLTAPI* PFLT_PRE_OPERATION_CALLBACK)(PFLT_CALLBACK_DATA Data,
                                                                        PCFLT_RELATED_OBJECTS FltObjects,
                                                                        PVOID* CompletionContext);
typedef FLT_POSTOP_CALLBACK_STATUS(FLTAPI* PFLT_POST_OPERATION_CALLBACK)(PFLT_CALLBACK_DATA Data,
                                                                          PCFLT_RELATED_OBJECTS FltObjects,
                                                                          PVOID CompletionContext, ULONG Flags);
typedef NTSTATUS(FLTAPI* PFLT_FILTER_UNLOAD_CALLBACK)(FLT_FILTER_UNLOAD_FLAGS Flags);
typedef NTSTATUS(FLTAPI* PFLT_INSTANCE_SETUP_CALLBACK)(PCFLT_RELATED_OBJECTS FltObjects,
                                                        FLT_INSTANCE_SETUP_FLAGS Flags, DEVICE_TYPE VolumeDeviceType,
                                                        FLT_FILESYSTEM_TYPE VolumeFilesystemType);
typedef NTSTATUS(FLTAPI* PFLT_INSTANCE_QUERY_TEARDOWN_CALLBACK)(PCFLT_RELATED_OBJECTS FltObjects,
                                                                 FLT_INSTANCE_QUERY_TEARDOWN_FLAGS Flags);
typedef VOID(FLTAPI* PFLT_INSTANCE_TEARDOWN_CALLBACK)(PCFLT_RELATED_OBJECTS FltObjects,
                                                       FLT_INSTANCE_TEARDOWN_FLAGS Reason);

typedef struct _FLT_OPERATION_REGISTRATION {
    UCHAR MajorFunction;
    FLT_OPERATION_REGISTRATION_FLAGS Flags;
    PFLT_PRE_OPERATION_CALLBACK PreOperation;
    PFLT_POST_OPERATION_CALLBACK PostOperation;
    PVOID Reserved1;
} FLT_OPERATION_REGISTRATION;

/* The callbacks the driver leaves out are declared as untyped pointers: only
 * their places in the record matter here. */
typedef struct _FLT_REGISTRATION {
    USHORT Size;
    USHORT Version;
    FLT_REGISTRATION_FLAGS Flags;
    const struct _FLT_CONTEXT_REGISTRATION* ContextRegistration;
    const FLT_OPERATION_REGISTRATION* OperationRegistration;
    PFLT_FILTER_UNLOAD_CALLBACK FilterUnloadCallback;
    PFLT_INSTANCE_SETUP_CALLBACK InstanceSetupCallback;
    PFLT_INSTANCE_QUERY_TEARDOWN_CALLBACK InstanceQueryTeardownCallback;
    PFLT_INSTANCE_TEARDOWN_CALLBACK InstanceTeardownStartCallback;
    PFLT_INSTANCE_TEARDOWN_CALLBACK InstanceTeardownCompleteCallback;
    PVOID GenerateFileNameCallback;
    PVOID NormalizeNameComponentCallback;
    PVOID NormalizeContextCleanupCallback;
    PVOID TransactionNotificationCallback;
    PVOID NormalizeNameComponentExCallback;
    PVOID SectionNotificationCallback;
} FLT_REGISTRATION;

NTSTATUS FLTAPI FltRegisterFilter(PDRIVER_OBJECT Driver, const FLT_REGISTRATION* Registration,
                                  PFLT_FILTER* RetFilter);
NTSTATUS FLTAPI FltStartFiltering(PFLT_FILTER Filter);
VOID FLTAPI FltUnregisterFilter(PFLT_FILTER Filter);
NTSTATUS FLTAPI FltGetFileNameInformation(PFLT_CALLBACK_DATA CallbackData, FLT_FILE_NAME_OPTIONS NameOptions,
                                          PFLT_FILE_NAME_INFORMATION* FileNameInformation);
NTSTATUS FLTAPI FltGetDestinationFileNameInformation(PFLT_INSTANCE Instance, PFILE_OBJECT FileObject,
                                                     HANDLE RootDirectory, PWSTR FileName, ULONG FileNameLength,
                                                     FLT_FILE_NAME_OPTIONS NameOptions,
                                                     PFLT_FILE_NAME_INFORMATION* RetFileNameInformation);
NTSTATUS FLTAPI FltParseFileNameInformation(PFLT_FILE_NAME_INFORMATION FileNameInformation);
VOID FLTAPI FltReleaseFileNameInformation(PFLT_FILE_NAME_INFORMATION FileNameInformation);
NTSTATUS FLTAPI FltGetDiskDeviceObject(PFLT_VOLUME Volume, PDEVICE_OBJECT* DiskDeviceObject);

#ifdef __cplusplus
}
#endif

#endif
