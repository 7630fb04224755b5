#pragma once
#include "protect/ProtectDriver.h"

#include <windows.h>

// Everything that tells the file protection page from the folder
// protection page; the rest of the two pages is one implementation.
struct ProtectPageTable {
    ProtectListKind kind;
    UINT templateId;
    const wchar_t* pathColumnTitle;
    UINT rowBitmap;
    int pickerMode;
    // Descriptions and patterns separated by "|".
    const wchar_t* pickerFilter;
    const wchar_t* noPathText;
    const wchar_t* missingPathText;
    const wchar_t* alreadyProtectedText;
    UINT contextMenu;
};

extern const ProtectPageTable kFileProtectTable;
extern const ProtectPageTable kFolderProtectTable;
