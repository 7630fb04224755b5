#include <ntifs.h>

#include <stdlib.h>
#include <string.h>

#include "driver/ZdlFltKernel.h"
#include "driver/ZdlFilter.h"
#include "FilterHarness.h"

#define NAME_CAPACITY 1024

typedef struct TestName {
    FLT_FILE_NAME_INFORMATION info;
    WCHAR text[NAME_CAPACITY];
} TestName;

static const FilterRequest* g_request;
static long g_namesHeld;

long FilterNamesHeld(void)
{
    return g_namesHeld;
}

static NTSTATUS MakeName(const WCHAR* spelling, unsigned units, PFLT_FILE_NAME_INFORMATION* result)
{
    TestName* name = (TestName*)calloc(1, sizeof(TestName));
    if (!name)
        return STATUS_INSUFFICIENT_RESOURCES;
    if (!FilterTestNormalize(spelling, units, name->text, NAME_CAPACITY)) {
        free(name);
        return STATUS_OBJECT_NAME_NOT_FOUND;
    }
    name->info.Size = sizeof(FLT_FILE_NAME_INFORMATION);
    name->info.Format = FLT_FILE_NAME_NORMALIZED;
    name->info.Name.Buffer = name->text;
    name->info.Name.Length = (USHORT)(wcslen(name->text) * sizeof(WCHAR));
    name->info.Name.MaximumLength = sizeof(name->text);
    ++g_namesHeld;
    *result = &name->info;
    return STATUS_SUCCESS;
}

NTSTATUS FLTAPI FltGetFileNameInformation(PFLT_CALLBACK_DATA data, FLT_FILE_NAME_OPTIONS options,
                                          PFLT_FILE_NAME_INFORMATION* result)
{
    (void)data;
    if (options != (FLT_FILE_NAME_NORMALIZED | FLT_FILE_NAME_QUERY_DEFAULT))
        return STATUS_INVALID_PARAMETER;
    return MakeName(g_request->name, (unsigned)wcslen(g_request->name), result);
}

NTSTATUS FLTAPI FltGetDestinationFileNameInformation(PFLT_INSTANCE instance, PFILE_OBJECT file, HANDLE root,
                                                     PWSTR fileName, ULONG fileNameLength,
                                                     FLT_FILE_NAME_OPTIONS options,
                                                     PFLT_FILE_NAME_INFORMATION* result)
{
    (void)file;
    (void)root;
    if (instance != (PFLT_INSTANCE)g_request->instance ||
        options != (FLT_FILE_NAME_NORMALIZED | FLT_FILE_NAME_QUERY_DEFAULT))
        return STATUS_INVALID_PARAMETER;
    return MakeName(fileName, fileNameLength / sizeof(WCHAR), result);
}

/* Splits "\Device\Volume\folder\file:stream" the way the Filter Manager
 * does: the volume is the first two components, the stream starts at a
 * colon in the last one. */
NTSTATUS FLTAPI FltParseFileNameInformation(PFLT_FILE_NAME_INFORMATION info)
{
    unsigned length = info->Name.Length / sizeof(WCHAR);
    const WCHAR* text = info->Name.Buffer;
    unsigned slashes = 0;
    unsigned volumeEnd = length;
    unsigned last = 0;
    unsigned i;
    for (i = 0; i < length; ++i) {
        if (text[i] == L'\\') {
            if (++slashes == 3 && volumeEnd == length)
                volumeEnd = i;
            last = i;
        }
    }
    info->Volume.Buffer = info->Name.Buffer;
    info->Volume.Length = info->Volume.MaximumLength = (USHORT)(volumeEnd * sizeof(WCHAR));
    info->Stream.Length = 0;
    for (i = last; i < length; ++i) {
        if (text[i] == L':') {
            info->Stream.Buffer = info->Name.Buffer + i;
            info->Stream.Length = info->Stream.MaximumLength = (USHORT)((length - i) * sizeof(WCHAR));
            break;
        }
    }
    return STATUS_SUCCESS;
}

VOID FLTAPI FltReleaseFileNameInformation(PFLT_FILE_NAME_INFORMATION info)
{
    --g_namesHeld;
    free(info);
}

static const FLT_OPERATION_REGISTRATION* Registration(unsigned char major)
{
    const FLT_OPERATION_REGISTRATION* entry;
    for (entry = ZdlFilterOperations; entry->MajorFunction != IRP_MJ_OPERATION_END; ++entry) {
        if (entry->MajorFunction == major)
            return entry;
    }
    return NULL;
}

/* Builds the information buffer of a set-information request. */
static ULONG InformationBuffer(const FilterRequest* request, void* buffer, ULONG capacity)
{
    switch (request->informationClass) {
    case FileDispositionInformation:
        ((FILE_DISPOSITION_INFORMATION*)buffer)->DeleteFile = request->deleteOrAdvance;
        return sizeof(FILE_DISPOSITION_INFORMATION);
    case FileDispositionInformationEx:
        *(ULONG*)buffer = request->dispositionFlags;
        return sizeof(ULONG);
    case FileRenameInformation:
    case FileRenameInformationEx:
    case FileLinkInformation:
    case FileLinkInformationEx: {
        FILE_RENAME_INFORMATION* rename = (FILE_RENAME_INFORMATION*)buffer;
        ULONG bytes = (ULONG)(wcslen(request->destination) * sizeof(WCHAR));
        if (FIELD_OFFSET(FILE_RENAME_INFORMATION, FileName) + bytes > capacity)
            return 0;
        rename->RootDirectory = NULL;
        rename->FileNameLength = bytes;
        memcpy(rename->FileName, request->destination, bytes);
        return FIELD_OFFSET(FILE_RENAME_INFORMATION, FileName) + bytes;
    }
    default:
        return 0;
    }
}

int FilterRun(const FilterRequest* request, long* status)
{
    const FLT_OPERATION_REGISTRATION* registration = Registration(request->major);
    IO_SECURITY_CONTEXT security;
    union {
        ULONGLONG alignment;
        UCHAR bytes[NAME_CAPACITY];
    } information;
    FLT_IO_PARAMETER_BLOCK iopb;
    int fileToken = 0;
    PVOID context = NULL;
    int result;

    memset(&security, 0, sizeof(security));
    memset(&iopb, 0, sizeof(iopb));
    memset(&information, 0, sizeof(information));
    iopb.MajorFunction = request->major;
    iopb.IrpFlags = request->irpFlags;
    iopb.OperationFlags = request->operationFlags;
    iopb.TargetInstance = (PFLT_INSTANCE)request->instance;
    iopb.TargetFileObject = (PFILE_OBJECT)&fileToken;
    if (request->major == IRP_MJ_CREATE) {
        security.DesiredAccess = request->desiredAccess;
        iopb.Parameters.Create.SecurityContext = &security;
        iopb.Parameters.Create.Options = request->createOptions;
    } else if (request->major == IRP_MJ_SET_INFORMATION) {
        iopb.Parameters.SetFileInformation.FileInformationClass = (FILE_INFORMATION_CLASS)request->informationClass;
        iopb.Parameters.SetFileInformation.InfoBuffer = information.bytes;
        iopb.Parameters.SetFileInformation.Length =
            InformationBuffer(request, information.bytes, sizeof(information.bytes));
        if (request->informationClass == FileEndOfFileInformation)
            iopb.Parameters.SetFileInformation.AdvanceOnly = request->deleteOrAdvance;
    }
    {
        FLT_CALLBACK_DATA data = {.Flags = request->fastIo ? FLTFL_CALLBACK_DATA_FAST_IO_OPERATION
                                                           : FLTFL_CALLBACK_DATA_IRP_OPERATION,
                                  .Iopb = &iopb};
        FLT_RELATED_OBJECTS objects = {.Size = sizeof(FLT_RELATED_OBJECTS),
                                       .Instance = (PFLT_INSTANCE)request->instance,
                                       .FileObject = (PFILE_OBJECT)&fileToken};
        *status = 0;
        if (!registration || !registration->PreOperation)
            return -1;
        g_request = request;
        result = (int)registration->PreOperation(&data, &objects, &context);
        g_request = NULL;
        if (result == FLT_PREOP_COMPLETE)
            *status = data.IoStatus.Status;
    }
    return result;
}
