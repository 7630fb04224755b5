#pragma once
#include "framework/UniqueHandle.h"

#include <string>

namespace testkit {

// Another process (the hold_file helper of the build) that has a file open
// for reading, sharing reading and writing as an editor would, until the
// holder goes.
class FileHolder {
public:
    explicit FileHolder(const std::wstring& path);
    ~FileHolder();
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;

    bool Holding() const { return holding_; }

private:
    fw::KernelHandle ready_;
    fw::KernelHandle release_;
    fw::KernelHandle process_;
    bool holding_ = false;
};

} // namespace testkit
