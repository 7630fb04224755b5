/* Each callback answers in four steps: is protection active on this
 * instance's drive at all (no name is asked for otherwise); which rule
 * operations the request amounts to; the normalized name, turned into the
 * drive-letter key the lists hold; and the engine's decision, the same one
 * IOCTL_CHECK_ACCESS gives.
 *
 * Requests from kernel mode are checked like any other: the file server and
 * other drivers open files for users from kernel mode, and skipping them
 * would let anyone reach a protected file through a share. Paging I/O is
 * not checked: it carries data whose writing was checked already, or pages
 * of a mapping that could only be made through a checked open, and refusing
 * it would lose cached data. A name the Filter Manager cannot give leaves
 * the request alone: without a name no rule applies. */
#include <ntifs.h>

#include "ZdlFltKernel.h"
#include "ZdlFilter.h"

#define ZDL_NAME_OPTIONS (FLT_FILE_NAME_NORMALIZED | FLT_FILE_NAME_QUERY_DEFAULT)

/* Access that changes what the path holds or how it is described. Generic
 * rights arrive mapped to these; MAXIMUM_ALLOWED asks for whatever can be
 * had, writing included, and a writable mapping made through such a handle
 * would pass no write request. Deleting and renaming through any handle are
 * checked when they are asked for. */
#define ZDL_CHANGING_ACCESS                                                                                 \
    (FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES | FILE_DELETE_CHILD |        \
     WRITE_DAC | WRITE_OWNER | MAXIMUM_ALLOWED)

/* The create disposition sits in the top byte of the create options. */
#define ZDL_DISPOSITION_SHIFT 24
/* FileDispositionInformationEx: the flag that asks for deletion. */
#define ZDL_DISPOSITION_EX_DELETE 0x00000001u

static const ZdlEngine* g_engine;
static PFLT_INSTANCE g_volumes[ZDL_DRIVE_LETTERS];

void ZdlFilterStart(const ZdlEngine* engine)
{
    unsigned i;
    g_engine = engine;
    for (i = 0; i < ZDL_DRIVE_LETTERS; ++i)
        g_volumes[i] = NULL;
}

void ZdlFilterAddVolume(PFLT_INSTANCE instance, WCHAR letter)
{
    WCHAR upper = ZdlHostUpcase(letter);
    if (upper >= L'A' && upper <= L'Z')
        g_volumes[upper - L'A'] = instance;
}

void ZdlFilterRemoveVolume(PFLT_INSTANCE instance)
{
    unsigned i;
    for (i = 0; i < ZDL_DRIVE_LETTERS; ++i) {
        if (g_volumes[i] == instance)
            g_volumes[i] = NULL;
    }
}

/* The drive of the instance when protection is active there, else -1. */
static int CheckedDrive(PFLT_INSTANCE instance)
{
    int drive = -1;
    unsigned i;
    ZdlHostLockShared();
    for (i = 0; i < ZDL_DRIVE_LETTERS && drive < 0; ++i) {
        if (g_volumes[i] == instance && ZdlEngineChecksDrive(g_engine, i))
            drive = (int)i;
    }
    ZdlHostUnlockShared();
    return drive;
}

/* Builds the key from a parsed normalized name: the drive letter, then the
 * path after the volume, without the stream (a stream is its file's). A path
 * too long for a key is cut after its last backslash that fits, so that only
 * the folders above it can decide. Returns 0 when the name is not one. */
static int MakeKey(const FLT_FILE_NAME_INFORMATION* name, int drive, ZdlKey* key)
{
    unsigned start = name->Volume.Length / sizeof(WCHAR);
    unsigned end = name->Name.Length / sizeof(WCHAR);
    unsigned stream = name->Stream.Length / sizeof(WCHAR);
    unsigned i;
    if (stream > end || start > end - stream)
        return 0;
    end -= stream;
    key->text[0] = (ZdlChar)(L'A' + drive);
    key->text[1] = L':';
    key->length = 2;
    for (i = start; i < end; ++i) {
        if (key->length == ZDL_KEY_CAPACITY) {
            while (key->length > 2 && key->text[key->length - 1] != L'\\')
                --key->length;
            return 1;
        }
        key->text[key->length++] = ZdlHostUpcase(name->Name.Buffer[i]);
    }
    while (key->length > 2 && key->text[key->length - 1] == L'\\')
        --key->length;
    return 1;
}

static int NameDenied(PFLT_FILE_NAME_INFORMATION name, int drive, unsigned operations)
{
    ZdlKey key;
    int denied = 0;
    if (NT_SUCCESS(FltParseFileNameInformation(name)) && MakeKey(name, drive, &key)) {
        ZdlHostLockShared();
        denied = ZdlEngineDecide(g_engine, operations, &key);
        ZdlHostUnlockShared();
    }
    FltReleaseFileNameInformation(name);
    return denied;
}

static int TargetDenied(PFLT_CALLBACK_DATA data, int drive, unsigned operations)
{
    PFLT_FILE_NAME_INFORMATION name;
    if (!NT_SUCCESS(FltGetFileNameInformation(data, ZDL_NAME_OPTIONS, &name)))
        return 0;
    return NameDenied(name, drive, operations);
}

static FLT_PREOP_CALLBACK_STATUS Deny(PFLT_CALLBACK_DATA data)
{
    /* Fast I/O cannot be failed with a status: send it down the IRP path,
     * where it is denied. */
    if (data->Flags & FLTFL_CALLBACK_DATA_FAST_IO_OPERATION)
        return FLT_PREOP_DISALLOW_FASTIO;
    data->IoStatus.Status = STATUS_ACCESS_DENIED;
    data->IoStatus.Information = 0;
    return FLT_PREOP_COMPLETE;
}

static FLT_PREOP_CALLBACK_STATUS DecideOnTarget(PFLT_CALLBACK_DATA data, PCFLT_RELATED_OBJECTS objects,
                                                unsigned operations)
{
    int drive;
    if (operations == 0)
        return FLT_PREOP_SUCCESS_NO_CALLBACK;
    drive = CheckedDrive(objects->Instance);
    if (drive < 0 || !TargetDenied(data, drive, operations))
        return FLT_PREOP_SUCCESS_NO_CALLBACK;
    return Deny(data);
}

static unsigned CreateOperations(const FLT_PARAMETERS* parameters)
{
    ACCESS_MASK access = parameters->Create.SecurityContext->DesiredAccess;
    ULONG disposition = parameters->Create.Options >> ZDL_DISPOSITION_SHIFT;
    unsigned operations = ZDL_OP_BIT(ZDL_OP_READ);
    if (access & ZDL_CHANGING_ACCESS)
        operations |= ZDL_OP_BIT(ZDL_OP_MODIFY);
    if ((access & DELETE) || (parameters->Create.Options & FILE_DELETE_ON_CLOSE))
        operations |= ZDL_OP_BIT(ZDL_OP_DELETE);
    if (disposition == FILE_SUPERSEDE || disposition == FILE_OVERWRITE || disposition == FILE_OVERWRITE_IF)
        operations |= ZDL_OP_BIT(ZDL_OP_MODIFY);
    if (disposition == FILE_SUPERSEDE || disposition == FILE_CREATE || disposition == FILE_OPEN_IF ||
        disposition == FILE_OVERWRITE_IF)
        operations |= ZDL_OP_BIT(ZDL_OP_CREATE);
    return operations;
}

static FLT_PREOP_CALLBACK_STATUS FLTAPI PreCreate(PFLT_CALLBACK_DATA data, PCFLT_RELATED_OBJECTS objects,
                                                  PVOID* context)
{
    UNREFERENCED_PARAMETER(context);
    if (data->Iopb->OperationFlags & SL_OPEN_PAGING_FILE)
        return FLT_PREOP_SUCCESS_NO_CALLBACK;
    return DecideOnTarget(data, objects, CreateOperations(&data->Iopb->Parameters));
}

static FLT_PREOP_CALLBACK_STATUS FLTAPI PreWrite(PFLT_CALLBACK_DATA data, PCFLT_RELATED_OBJECTS objects,
                                                 PVOID* context)
{
    UNREFERENCED_PARAMETER(context);
    if (data->Iopb->IrpFlags & IRP_PAGING_IO)
        return FLT_PREOP_SUCCESS_NO_CALLBACK;
    return DecideOnTarget(data, objects, ZDL_OP_BIT(ZDL_OP_MODIFY));
}

static FLT_PREOP_CALLBACK_STATUS FLTAPI PreChange(PFLT_CALLBACK_DATA data, PCFLT_RELATED_OBJECTS objects,
                                                  PVOID* context)
{
    UNREFERENCED_PARAMETER(context);
    return DecideOnTarget(data, objects, ZDL_OP_BIT(ZDL_OP_MODIFY));
}

/* Whether the new name of a rename or hard link may be taken: it must not
 * replace a protected path, nor land where new names are refused. */
static int DestinationDenied(PFLT_CALLBACK_DATA data, PCFLT_RELATED_OBJECTS objects, int drive)
{
    const FILE_RENAME_INFORMATION* target =
        (const FILE_RENAME_INFORMATION*)data->Iopb->Parameters.SetFileInformation.InfoBuffer;
    ULONG length = data->Iopb->Parameters.SetFileInformation.Length;
    PFLT_FILE_NAME_INFORMATION name;
    if (length < FIELD_OFFSET(FILE_RENAME_INFORMATION, FileName) ||
        target->FileNameLength > length - FIELD_OFFSET(FILE_RENAME_INFORMATION, FileName))
        return 0;
    if (!NT_SUCCESS(FltGetDestinationFileNameInformation(objects->Instance, objects->FileObject,
                                                         target->RootDirectory, (PWSTR)target->FileName,
                                                         target->FileNameLength, ZDL_NAME_OPTIONS, &name)))
        return 0;
    return NameDenied(name, drive, ZDL_OP_BIT(ZDL_OP_RENAME));
}

/* The rule operations a change of information amounts to; *moves is set for
 * the classes that give the file a new name. */
static unsigned InformationOperations(const FLT_PARAMETERS* parameters, int* moves)
{
    const void* buffer = parameters->SetFileInformation.InfoBuffer;
    ULONG length = parameters->SetFileInformation.Length;
    *moves = 0;
    switch ((int)parameters->SetFileInformation.FileInformationClass) {
    case FileBasicInformation:
    case FileAllocationInformation:
    case FileValidDataLengthInformation:
        return ZDL_OP_BIT(ZDL_OP_MODIFY);
    case FileEndOfFileInformation:
        /* The cache manager's advance of valid data carries no change of its own. */
        return parameters->SetFileInformation.AdvanceOnly ? 0 : ZDL_OP_BIT(ZDL_OP_MODIFY);
    case FileDispositionInformation:
        return length >= sizeof(FILE_DISPOSITION_INFORMATION) &&
                       ((const FILE_DISPOSITION_INFORMATION*)buffer)->DeleteFile
                   ? ZDL_OP_BIT(ZDL_OP_DELETE)
                   : 0;
    case FileDispositionInformationEx:
        return length >= sizeof(ULONG) && (*(const ULONG*)buffer & ZDL_DISPOSITION_EX_DELETE)
                   ? ZDL_OP_BIT(ZDL_OP_DELETE)
                   : 0;
    case FileShortNameInformation:
        return ZDL_OP_BIT(ZDL_OP_RENAME);
    case FileRenameInformation:
    case FileRenameInformationEx:
        *moves = 1;
        return ZDL_OP_BIT(ZDL_OP_RENAME);
    case FileLinkInformation:
    case FileLinkInformationEx:
        *moves = 1;
        return ZDL_OP_BIT(ZDL_OP_LINK);
    default:
        return 0;
    }
}

static FLT_PREOP_CALLBACK_STATUS FLTAPI PreSetInformation(PFLT_CALLBACK_DATA data, PCFLT_RELATED_OBJECTS objects,
                                                          PVOID* context)
{
    int moves;
    unsigned operations = InformationOperations(&data->Iopb->Parameters, &moves);
    int drive;
    UNREFERENCED_PARAMETER(context);
    if (operations == 0)
        return FLT_PREOP_SUCCESS_NO_CALLBACK;
    drive = CheckedDrive(objects->Instance);
    if (drive < 0)
        return FLT_PREOP_SUCCESS_NO_CALLBACK;
    if (TargetDenied(data, drive, operations) || (moves && DestinationDenied(data, objects, drive)))
        return Deny(data);
    return FLT_PREOP_SUCCESS_NO_CALLBACK;
}

const FLT_OPERATION_REGISTRATION ZdlFilterOperations[] = {
    {IRP_MJ_CREATE, 0, PreCreate, NULL, NULL},
    {IRP_MJ_WRITE, 0, PreWrite, NULL, NULL},
    {IRP_MJ_SET_INFORMATION, 0, PreSetInformation, NULL, NULL},
    {IRP_MJ_SET_EA, 0, PreChange, NULL, NULL},
    {IRP_MJ_SET_SECURITY, 0, PreChange, NULL, NULL},
    {IRP_MJ_OPERATION_END, 0, NULL, NULL, NULL},
};
