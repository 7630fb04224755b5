// The cost of one decision of the protection filter: the driver's own rule
// engine (the C code the filter's callbacks call) in user mode, against six
// lists of 10, 1,000 and 10,000 entries each, for the questions an open and
// a rename ask. Prints nanoseconds per decision.
#include "BenchClock.h"
#include "driver/ZdlEngine.h"
#include "driver/ZdlProtocol.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const unsigned long kProtectCodes[ZDL_LISTS] = {IOCTL_FILE_PROTECT_O,   IOCTL_FILE_PROTECT_W,   IOCTL_FILE_PROTECT_I,
                                                IOCTL_FOLDER_PROTECT_O, IOCTL_FOLDER_PROTECT_W, IOCTL_FOLDER_PROTECT_I};
const int kDecisions = 2000000;

void Control(ZdlEngine* engine, unsigned long code, std::string input, unsigned long outBytes)
{
    input.resize(input.size() > outBytes ? input.size() : outBytes);
    unsigned long written = 0;
    ZdlEngineControl(engine, code, &input[0], static_cast<unsigned long>(input.size()), outBytes, &written);
}

std::string Record(const char* path)
{
    std::string record(ZDL_RECORD_BYTES, '\0');
    std::memcpy(&record[0], path, std::strlen(path));
    return record;
}

// The key the filter builds from a normalized name: upper case, drive letter first.
ZdlKey Key(const std::wstring& path)
{
    ZdlKey key{};
    std::wstring upper = path;
    ::CharUpperBuffW(&upper[0], static_cast<DWORD>(upper.size()));
    key.length = static_cast<unsigned>(upper.size());
    upper.copy(reinterpret_cast<wchar_t*>(key.text), upper.size());
    return key;
}

void Measure(const char* what, const ZdlEngine& engine, unsigned operations, const ZdlKey& key)
{
    int denied = 0;
    double start = bench::Seconds();
    for (int i = 0; i < kDecisions; ++i)
        denied += ZdlEngineDecide(&engine, operations, &key);
    double elapsed = bench::Seconds() - start;
    std::printf("  %-50s %8.0f ns  (%s)\n", what, elapsed * 1e9 / kDecisions, denied ? "denied" : "allowed");
}

} // namespace

int wmain()
{
    const unsigned open = ZDL_OP_BIT(ZDL_OP_READ) | ZDL_OP_BIT(ZDL_OP_MODIFY);
    const unsigned rename = ZDL_OP_BIT(ZDL_OP_RENAME);
    for (unsigned perList : {10u, 1000u, 10000u}) {
        ZdlEngine engine;
        ZdlEngineInit(&engine);
        Control(&engine, IOCTL_SET_PROTECT_SWITCH, std::string(1, 1), 0);
        unsigned word = ZDL_DRIVE_WORD_BASE + (1u << 2);
        Control(&engine, IOCTL_SET_FIXED_DRIVES, std::string(reinterpret_cast<char*>(&word), 4), 4);
        char path[ZDL_PATH_BYTES];
        for (int list = 0; list < ZDL_LISTS; ++list) {
            for (unsigned i = 0; i < perList; ++i) {
                std::snprintf(path, sizeof(path), "C:\\Users\\Someone\\Documents\\List%d\\Entry %05u", list, i);
                Control(&engine, kProtectCodes[list], Record(path), 0);
            }
        }
        std::printf("%u entries in each of the six lists (%zu bytes of list memory):\n", perList,
                    engine.memory.used);
        Measure("open, path outside every list, 8 folders deep", engine, open,
                Key(L"C:\\Users\\Someone\\Documents\\Projects\\2026\\Plans\\Drafts\\notes.txt"));
        Measure("open, a listed file", engine, open, Key(L"C:\\Users\\Someone\\Documents\\List1\\Entry 00007"));
        Measure("open, inside a w folder", engine, open,
                Key(L"C:\\Users\\Someone\\Documents\\List4\\Entry 00003\\Sub\\a.txt"));
        Measure("rename, a folder above protected paths", engine, rename, Key(L"C:\\Users\\Someone\\Documents"));
        Measure("rename, a folder beside them", engine, rename, Key(L"C:\\Users\\Someone\\Music"));
        ZdlEngineRelease(&engine);
    }
    return 0;
}
