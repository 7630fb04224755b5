#pragma once
#include <string>

// Keeps the encryption away from the Windows and system folders. Paths are
// compared in upper case (letters a-z only, as the page spells picked paths),
// and a folder counts as covered wherever its path occurs in the text, so a
// sibling such as "C:\WINDOWS.OLD" is covered too.
class SystemFolderGuard {
public:
    // Reads both folders now.
    SystemFolderGuard();

    // Whether the Windows or the system folder occurs in the path.
    bool Covers(const std::wstring& path) const;

    // Upper case for the letters a-z; every other character is kept.
    static std::wstring AsciiUpper(std::wstring text);

private:
    std::wstring windowsFolder_;
    std::wstring systemFolder_;
};
