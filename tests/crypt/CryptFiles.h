#pragma once
#include "support/TempProgramFolder.h"

#include <windows.h>

#include <string>

namespace crypt_test {

// A fresh folder of its own for a test's files, removed with everything in it.
class DataFolder {
public:
    DataFolder();
    const std::wstring& Path() const { return path_; }
    std::wstring File(const std::wstring& relative) const { return path_ + L"\\" + relative; }
    // Creates the file with these bytes, and its folders.
    std::wstring Write(const std::wstring& relative, const std::string& bytes) const;
    std::wstring MakeFolder(const std::wstring& relative) const;

private:
    testkit::TempProgramFolder root_;
    std::wstring path_;
};

std::string ReadBytes(const std::wstring& path);
bool Exists(const std::wstring& path);
DWORD Attributes(const std::wstring& path);
bool IsReadOnly(const std::wstring& path);
// Bytes 0..255 over and over, with a tail that fills no whole block.
std::string Pattern(size_t length);
std::string XorEach(std::string bytes, unsigned char key);

// Holds a file open as another program would: shared for reading and writing only.
class OpenElsewhere {
public:
    explicit OpenElsewhere(const std::wstring& path);
    ~OpenElsewhere();
    OpenElsewhere(const OpenElsewhere&) = delete;
    OpenElsewhere& operator=(const OpenElsewhere&) = delete;
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

} // namespace crypt_test
