#pragma once
#include "support/ScratchFiles.h"

#include <windows.h>

#include <string>

namespace crypt_test {

// Creates the folders of a path below a folder; returns the full path.
std::wstring MakeFolder(const testkit::ScratchFolder& folder, const std::wstring& relative);
// Creates a file (and its folders) below a folder with these bytes; returns its full path.
std::wstring Write(const testkit::ScratchFolder& folder, const std::wstring& relative, const std::string& bytes);

bool IsReadOnly(const std::wstring& path);
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

// The cipher copies only while a run is active: a test that calls it
// directly plays the worker.
class ActiveRun {
public:
    ActiveRun();
    ~ActiveRun();
    ActiveRun(const ActiveRun&) = delete;
    ActiveRun& operator=(const ActiveRun&) = delete;
};

} // namespace crypt_test
