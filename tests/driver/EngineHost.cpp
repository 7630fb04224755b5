#include "EngineHost.h"

#include "driver/ZdlHost.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>

namespace {

std::atomic<long> g_allowed{-1};
std::atomic<long> g_live{0};
std::atomic<long> g_sharedLocks{0};

} // namespace

namespace enginehost {

void FailAllocationsAfter(long count)
{
    g_allowed = count;
}

long LiveBlocks()
{
    return g_live;
}

long SharedLocksHeld()
{
    return g_sharedLocks;
}

} // namespace enginehost

extern "C" void* ZdlHostAllocate(size_t bytes)
{
    if (g_allowed == 0)
        return nullptr;
    if (g_allowed > 0)
        --g_allowed;
    void* block = std::malloc(bytes);
    if (block)
        ++g_live;
    return block;
}

extern "C" void ZdlHostFree(void* block)
{
    std::free(block);
    --g_live;
}

extern "C" unsigned ZdlHostFoldPath(const char* path, unsigned pathBytes, ZdlChar* key, unsigned capacity)
{
    auto* wide = reinterpret_cast<wchar_t*>(key);
    int length = ::MultiByteToWideChar(CP_ACP, 0, path, static_cast<int>(pathBytes), wide, static_cast<int>(capacity));
    ::CharUpperBuffW(wide, static_cast<DWORD>(length));
    return static_cast<unsigned>(length);
}

extern "C" ZdlChar ZdlHostUpcase(ZdlChar unit)
{
    wchar_t text[] = {static_cast<wchar_t>(unit), 0};
    ::CharUpperBuffW(text, 1);
    return static_cast<ZdlChar>(text[0]);
}

extern "C" void ZdlHostLockShared(void)
{
    ++g_sharedLocks;
}

extern "C" void ZdlHostUnlockShared(void)
{
    --g_sharedLocks;
}
