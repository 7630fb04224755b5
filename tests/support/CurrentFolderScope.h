#pragma once
#include <string>

namespace testkit {

// Makes a folder the process's current folder (where the open dialog starts)
// and puts the previous one back at the end of the scope.
class CurrentFolderScope {
public:
    explicit CurrentFolderScope(const std::wstring& folder);
    ~CurrentFolderScope();
    CurrentFolderScope(const CurrentFolderScope&) = delete;
    CurrentFolderScope& operator=(const CurrentFolderScope&) = delete;

    bool Entered() const { return entered_; }

private:
    std::wstring previous_;
    bool entered_;
};

} // namespace testkit
