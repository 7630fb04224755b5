#include "support/UnixLinks.h"

namespace testkit {

UnixLinks::~UnixLinks()
{
    if (links_.empty())
        return;
    std::string commands = "rm -f";
    for (const std::wstring& link : links_)
        commands += " '" + UnixPath(link) + "'";
    RunShell(scripts_, commands);
}

bool UnixLinks::Make(const std::wstring& link, const std::string& target)
{
    links_.push_back(link);
    return RunShell(scripts_, "ln -s '" + target + "' '" + UnixPath(link) + "'") == 0;
}

} // namespace testkit
