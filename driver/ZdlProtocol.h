/* The device protocol between the program and ZDLFile.sys: control codes,
 * the path record and the layouts of the two diagnostic answers. Shared by
 * the program (C++), the driver and its tests (C). */
#ifndef ZDL_PROTOCOL_H
#define ZDL_PROTOCOL_H

#define ZDL_SERVICE_NAME L"ZDLFile"
#define ZDL_DEVICE_PATH L"\\\\.\\ZDLFile"

/* Device type 0x8336, buffered transfer, any access. */
#define ZDL_DEVICE_TYPE 0x8336u
#define ZDL_CONTROL_CODE(function) ((ZDL_DEVICE_TYPE << 16) | ((function) << 2))

#define IOCTL_SET_FIXED_DRIVES ZDL_CONTROL_CODE(0x84Du)
#define IOCTL_SET_PROTECT_SWITCH ZDL_CONTROL_CODE(0x851u)
#define IOCTL_FILE_PROTECT_O ZDL_CONTROL_CODE(0x852u)
#define IOCTL_FILE_PROTECT_W ZDL_CONTROL_CODE(0x853u)
#define IOCTL_FILE_PROTECT_I ZDL_CONTROL_CODE(0x854u)
#define IOCTL_FOLDER_PROTECT_O ZDL_CONTROL_CODE(0x855u)
#define IOCTL_FOLDER_PROTECT_W ZDL_CONTROL_CODE(0x856u)
#define IOCTL_FOLDER_PROTECT_I ZDL_CONTROL_CODE(0x857u)
#define IOCTL_FILE_CLEAR_O ZDL_CONTROL_CODE(0x858u)
#define IOCTL_FILE_CLEAR_W ZDL_CONTROL_CODE(0x859u)
#define IOCTL_FILE_CLEAR_I ZDL_CONTROL_CODE(0x85Au)
#define IOCTL_FOLDER_CLEAR_O ZDL_CONTROL_CODE(0x85Bu)
#define IOCTL_FOLDER_CLEAR_W ZDL_CONTROL_CODE(0x85Cu)
#define IOCTL_FOLDER_CLEAR_I ZDL_CONTROL_CODE(0x85Du)

/* Diagnostics for tests; the program never sends them. */
#define IOCTL_QUERY_STATE ZDL_CONTROL_CODE(0x860u)
#define IOCTL_CHECK_ACCESS ZDL_CONTROL_CODE(0x861u)

#define ZDL_PATH_BYTES 256

/* 258 bytes, no padding: the path in the ANSI code page, NUL-terminated and
 * zero-filled, then remove (0 = add to the code's list, 1 = take out of it),
 * 16-bit little-endian. */
typedef struct ProtectPathRecord {
    char path[ZDL_PATH_BYTES];
    unsigned short remove;
} ProtectPathRecord;

#define ZDL_RECORD_BYTES 258u

/* IOCTL_SET_FIXED_DRIVES: 0 = no drives, otherwise this base plus the mask of
 * fixed drives (bit 0 = A:). */
#define ZDL_DRIVE_WORD_BASE 65u
#define ZDL_DRIVE_LETTERS 26u

/* The six lists, in the order of their control codes and of IOCTL_QUERY_STATE's answer. */
enum ZdlList { ZDL_FILE_O, ZDL_FILE_W, ZDL_FILE_I, ZDL_FOLDER_O, ZDL_FOLDER_W, ZDL_FOLDER_I, ZDL_LISTS };

/* IOCTL_QUERY_STATE answers nine 32-bit values, then every entry of the six
 * lists in this order, ZDL_PATH_BYTES each. */
enum ZdlStateValue {
    ZDL_STATE_SWITCH,
    ZDL_STATE_DRIVE_WORD,
    ZDL_STATE_FILE_O_COUNT,
    ZDL_STATE_FILE_W_COUNT,
    ZDL_STATE_FILE_I_COUNT,
    ZDL_STATE_FOLDER_O_COUNT,
    ZDL_STATE_FOLDER_W_COUNT,
    ZDL_STATE_FOLDER_I_COUNT,
    ZDL_STATE_NEEDED_BYTES,
    ZDL_STATE_VALUES
};
#define ZDL_STATE_HEADER_BYTES (ZDL_STATE_VALUES * 4u)

/* IOCTL_CHECK_ACCESS takes a 32-bit operation and a ZDL_PATH_BYTES path, and
 * answers a 32-bit value: 1 = denied, 0 = allowed. */
enum ZdlOperation {
    ZDL_OP_READ = 1,   /* open, read */
    ZDL_OP_MODIFY = 2, /* write, size, attributes, times, security */
    ZDL_OP_DELETE = 3,
    ZDL_OP_RENAME = 4, /* rename or move away; also a path a rename would replace */
    ZDL_OP_COPY = 5,   /* read of the data by a copy: answered as a read */
    ZDL_OP_LIST = 6,   /* list a folder's contents; the path is the folder */
    ZDL_OP_CREATE = 7, /* create a file; the path is the new file's */
    ZDL_OP_LINK = 8,   /* make a hard link to the file */
    ZDL_OP_LAST = ZDL_OP_LINK
};
#define ZDL_CHECK_INPUT_BYTES (4u + ZDL_PATH_BYTES)

#endif
