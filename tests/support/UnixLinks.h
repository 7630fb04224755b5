#pragma once
#include "support/ScratchFiles.h"

#include <string>
#include <vector>

namespace testkit {

// Folder links made from the Unix side, as Wine makes none itself (it shows
// them as folders that are reparse points). Windows calls cannot remove them,
// and removing a folder tree would follow them: they go when the object goes,
// which must be before the tree that holds them.
class UnixLinks {
public:
    // The folder holds the shell scripts that make and remove the links.
    explicit UnixLinks(const ScratchFolder& scripts) : scripts_(scripts) {}
    ~UnixLinks();
    UnixLinks(const UnixLinks&) = delete;
    UnixLinks& operator=(const UnixLinks&) = delete;

    // A link at the path to the target, which is relative to the link's folder.
    bool Make(const std::wstring& link, const std::string& target);

private:
    const ScratchFolder& scripts_;
    std::vector<std::wstring> links_;
};

} // namespace testkit
