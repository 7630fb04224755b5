/* Every Filter Manager structure the driver reads or fills, with each field
 * it relies on: compiled once against the driver's own declarations and once
 * against Wine's independent ones, so that the test can compare the two. */
#ifndef FLT_LAYOUT_H
#define FLT_LAYOUT_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct FltLayoutEntry {
    const char* name;
    size_t offset;
    size_t size;
} FltLayoutEntry;

/* WHOLE(type) names a structure, FIELD(type, member) one of its members.
 * These are declared by both. */
#define FLT_LAYOUT_TABLE(WHOLE, FIELD)                                                                     \
    WHOLE(FLT_REGISTRATION)                                                                                \
    FIELD(FLT_REGISTRATION, Size) FIELD(FLT_REGISTRATION, Version) FIELD(FLT_REGISTRATION, Flags)          \
    FIELD(FLT_REGISTRATION, ContextRegistration) FIELD(FLT_REGISTRATION, OperationRegistration)            \
    FIELD(FLT_REGISTRATION, FilterUnloadCallback) FIELD(FLT_REGISTRATION, InstanceSetupCallback)           \
    FIELD(FLT_REGISTRATION, InstanceQueryTeardownCallback)                                                 \
    FIELD(FLT_REGISTRATION, InstanceTeardownStartCallback)                                                 \
    FIELD(FLT_REGISTRATION, InstanceTeardownCompleteCallback)                                              \
    FIELD(FLT_REGISTRATION, GenerateFileNameCallback) FIELD(FLT_REGISTRATION, NormalizeNameComponentCallback) \
    FIELD(FLT_REGISTRATION, NormalizeContextCleanupCallback)                                               \
    FIELD(FLT_REGISTRATION, TransactionNotificationCallback)                                               \
    FIELD(FLT_REGISTRATION, NormalizeNameComponentExCallback)                                              \
    FIELD(FLT_REGISTRATION, SectionNotificationCallback)                                                   \
    WHOLE(FLT_OPERATION_REGISTRATION)                                                                      \
    FIELD(FLT_OPERATION_REGISTRATION, MajorFunction) FIELD(FLT_OPERATION_REGISTRATION, Flags)              \
    FIELD(FLT_OPERATION_REGISTRATION, PreOperation) FIELD(FLT_OPERATION_REGISTRATION, PostOperation)       \
    FIELD(FLT_OPERATION_REGISTRATION, Reserved1)                                                           \
    WHOLE(FLT_CALLBACK_DATA)                                                                               \
    FIELD(FLT_CALLBACK_DATA, Flags) FIELD(FLT_CALLBACK_DATA, Thread) FIELD(FLT_CALLBACK_DATA, Iopb)        \
    FIELD(FLT_CALLBACK_DATA, IoStatus) FIELD(FLT_CALLBACK_DATA, IoStatus.Status)                           \
    FIELD(FLT_CALLBACK_DATA, IoStatus.Information) FIELD(FLT_CALLBACK_DATA, TagData)                       \
    FIELD(FLT_CALLBACK_DATA, QueueLinks) FIELD(FLT_CALLBACK_DATA, QueueContext)                            \
    FIELD(FLT_CALLBACK_DATA, FilterContext) FIELD(FLT_CALLBACK_DATA, RequestorMode)                        \
    WHOLE(FLT_IO_PARAMETER_BLOCK)                                                                          \
    FIELD(FLT_IO_PARAMETER_BLOCK, IrpFlags) FIELD(FLT_IO_PARAMETER_BLOCK, MajorFunction)                   \
    FIELD(FLT_IO_PARAMETER_BLOCK, MinorFunction) FIELD(FLT_IO_PARAMETER_BLOCK, OperationFlags)             \
    FIELD(FLT_IO_PARAMETER_BLOCK, Reserved) FIELD(FLT_IO_PARAMETER_BLOCK, TargetFileObject)                \
    FIELD(FLT_IO_PARAMETER_BLOCK, TargetInstance) FIELD(FLT_IO_PARAMETER_BLOCK, Parameters)                \
    WHOLE(FLT_PARAMETERS)                                                                                  \
    FIELD(FLT_PARAMETERS, Create.SecurityContext) FIELD(FLT_PARAMETERS, Create.Options)                    \
    FIELD(FLT_PARAMETERS, Create.FileAttributes) FIELD(FLT_PARAMETERS, Create.ShareAccess)                 \
    FIELD(FLT_PARAMETERS, Create.EaLength) FIELD(FLT_PARAMETERS, Create.EaBuffer)                          \
    FIELD(FLT_PARAMETERS, Create.AllocationSize)                                                           \
    FIELD(FLT_PARAMETERS, Write.Length) FIELD(FLT_PARAMETERS, Write.Key) FIELD(FLT_PARAMETERS, Write.ByteOffset) \
    FIELD(FLT_PARAMETERS, Write.WriteBuffer) FIELD(FLT_PARAMETERS, Write.MdlAddress)                       \
    FIELD(FLT_PARAMETERS, SetFileInformation.Length)                                                       \
    FIELD(FLT_PARAMETERS, SetFileInformation.FileInformationClass)                                         \
    FIELD(FLT_PARAMETERS, SetFileInformation.ParentOfTarget)                                               \
    FIELD(FLT_PARAMETERS, SetFileInformation.ReplaceIfExists)                                              \
    FIELD(FLT_PARAMETERS, SetFileInformation.AdvanceOnly)                                                  \
    FIELD(FLT_PARAMETERS, SetFileInformation.ClusterCount)                                                 \
    FIELD(FLT_PARAMETERS, SetFileInformation.DeleteHandle)                                                 \
    FIELD(FLT_PARAMETERS, SetFileInformation.InfoBuffer)                                                   \
    FIELD(FLT_PARAMETERS, SetSecurity.SecurityInformation) \
    FIELD(FLT_PARAMETERS, SetSecurity.SecurityDescriptor)


/* Wine declares these two only as pointer types: the test checks them
 * against the offsets their documented field lists give. */
#define FLT_LAYOUT_TABLE_OWN_ONLY(WHOLE, FIELD) \
    WHOLE(FLT_RELATED_OBJECTS)                                                                             \
    FIELD(FLT_RELATED_OBJECTS, Size) FIELD(FLT_RELATED_OBJECTS, TransactionContext)                        \
    FIELD(FLT_RELATED_OBJECTS, Filter) FIELD(FLT_RELATED_OBJECTS, Volume)                                  \
    FIELD(FLT_RELATED_OBJECTS, Instance) FIELD(FLT_RELATED_OBJECTS, FileObject)                            \
    FIELD(FLT_RELATED_OBJECTS, Transaction)                                                                \
    WHOLE(FLT_FILE_NAME_INFORMATION)                                                                       \
    FIELD(FLT_FILE_NAME_INFORMATION, Size) FIELD(FLT_FILE_NAME_INFORMATION, NamesParsed)                   \
    FIELD(FLT_FILE_NAME_INFORMATION, Format) FIELD(FLT_FILE_NAME_INFORMATION, Name)                        \
    FIELD(FLT_FILE_NAME_INFORMATION, Volume) FIELD(FLT_FILE_NAME_INFORMATION, Share)                       \
    FIELD(FLT_FILE_NAME_INFORMATION, Extension) FIELD(FLT_FILE_NAME_INFORMATION, Stream)                   \
    FIELD(FLT_FILE_NAME_INFORMATION, FinalComponent) FIELD(FLT_FILE_NAME_INFORMATION, ParentDir)

#define FLT_LAYOUT_WHOLE(type) {#type, 0, sizeof(type)},
#define FLT_LAYOUT_FIELD(type, member) {#type "." #member, offsetof(type, member), sizeof(((type*)0)->member)},
#define FLT_LAYOUT_DEFINE(table, count, TABLE)                                 \
    const FltLayoutEntry table[] = {TABLE(FLT_LAYOUT_WHOLE, FLT_LAYOUT_FIELD)}; \
    const unsigned count = sizeof(table) / sizeof(table[0]);

extern const FltLayoutEntry kOwnFltLayout[];
extern const unsigned kOwnFltLayoutCount;
extern const FltLayoutEntry kOwnOnlyFltLayout[];
extern const unsigned kOwnOnlyFltLayoutCount;
extern const FltLayoutEntry kWineFltLayout[];
extern const unsigned kWineFltLayoutCount;

#ifdef __cplusplus
}
#endif

#endif
