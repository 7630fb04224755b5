#include "FileHolder.h"

#include "support/PumpUntil.h"
#include "support/TempProgramFolder.h"

#include <windows.h>

#include <vector>

namespace testkit {

FileHolder::FileHolder(const std::wstring& path)
{
    std::wstring tag = std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(::GetTickCount());
    std::wstring readyName = L"zendal-hold-ready-" + tag;
    std::wstring releaseName = L"zendal-hold-release-" + tag;
    ready_.Reset(::CreateEventW(nullptr, TRUE, FALSE, readyName.c_str()));
    release_.Reset(::CreateEventW(nullptr, TRUE, FALSE, releaseName.c_str()));
    std::wstring helper = BuildPath(L"tests\\shred\\hold_file.exe");
    std::wstring command = L"\"" + helper + L"\" \"" + path + L"\" " + readyName + L" " + releaseName;
    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return;
    process_.Reset(process.hProcess);
    fw::KernelHandle thread(process.hThread);
    holding_ = PumpUntil([&] { return ::WaitForSingleObject(ready_.Get(), 0) == WAIT_OBJECT_0; });
}

FileHolder::~FileHolder()
{
    ::SetEvent(release_.Get());
    if (process_)
        ::WaitForSingleObject(process_.Get(), 30000);
}

} // namespace testkit
