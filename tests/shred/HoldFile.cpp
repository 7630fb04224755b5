// Holds a file open for reading, sharing reading and writing as an editor
// would, until told to let go: hold_file <path> <ready event> <release event>.
#include "framework/UniqueHandle.h"

#include <windows.h>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4)
        return 2;
    fw::FileHandle file(::CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    fw::KernelHandle ready(::OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]));
    fw::KernelHandle release(::OpenEventW(SYNCHRONIZE, FALSE, argv[3]));
    if (!file || !ready || !release)
        return 1;
    ::SetEvent(ready.Get());
    ::WaitForSingleObject(release.Get(), 120000);
    return 0;
}
