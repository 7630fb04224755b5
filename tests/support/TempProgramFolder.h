#pragma once
#include <string>

namespace testkit {

// A fresh program folder in the temporary folder, laid out as a user
// receives it ("zdl\" empty, "sys\" for the driver), removed with everything
// in it when the object goes away.
class TempProgramFolder {
public:
    // withRelease copies the installed program (exe, companion library and
    // driver) from the build's program folder into it.
    explicit TempProgramFolder(bool withRelease = false);
    ~TempProgramFolder();
    TempProgramFolder(const TempProgramFolder&) = delete;
    TempProgramFolder& operator=(const TempProgramFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring File(const std::wstring& relative) const { return path_ + L"\\" + relative; }
    bool Valid() const { return !path_.empty(); }

private:
    std::wstring path_;
};

// The build tree as a Windows path (for the release layout and build outputs).
std::wstring BuildPath(const std::wstring& relative);
// A Unix path as Wine's programs see it.
std::wstring WindowsPathOf(const std::string& unixPath);

// Removes a folder and everything below it, read-only files included.
bool RemoveTree(const std::wstring& path);

} // namespace testkit
