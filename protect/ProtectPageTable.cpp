#include "protect/ProtectPageTable.h"

#include "resource.h"
#include "ui/skin/CZendalFileFolderDialog.h"

const ProtectPageTable kFileProtectTable = {
    ProtectListKind::File,
    IDD_FILEPROTECT,
    L"保护文件",
    IDB_LIST_DOCUMENT,
    CZendalFileFolderDialog::kFileMode,
    L"所有文件 (*.*)|*.*",
    L"请选择要保护的文件",
    L"操作文件不存在",
    L"此文件已经被保护 请先删除再进行保护",
    IDR_MENU_FILEPROTECT,
};

// The folder picker's only pattern, a single space, matches no file: only folders are listed.
const ProtectPageTable kFolderProtectTable = {
    ProtectListKind::Folder,
    IDD_FOLDERPROTECT,
    L"保护文件夹",
    IDB_LIST_FOLDER,
    CZendalFileFolderDialog::kFolderMode,
    L" | ||",
    L"请选择要保护的文件夹",
    L"操作文件夹不存在",
    L"此文件夹已经被保护 请先删除再进行保护",
    IDR_MENU_FOLDERPROTECT,
};
