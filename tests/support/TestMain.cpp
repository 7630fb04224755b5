#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

// A stuck modal loop or a driver call that never returns must fail the run,
// not hang it: after the limit the watchdog names the test and ends the process.
DWORD WINAPI Watchdog(LPVOID param)
{
    DWORD limitMs = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(param));
    ::Sleep(limitMs);
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::fprintf(stderr, "watchdog: no end after %lu s in %s.%s\n", limitMs / 1000,
                 test ? test->test_suite_name() : "?", test ? test->name() : "?");
    std::fflush(stderr);
    ::TerminateProcess(::GetCurrentProcess(), 3);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    DWORD limitSeconds = 300;
    if (const char* value = std::getenv("ZENDAL_TEST_WATCHDOG_SECONDS"))
        limitSeconds = static_cast<DWORD>(std::strtoul(value, nullptr, 10));
    HANDLE watchdog = ::CreateThread(nullptr, 0, &Watchdog,
                                     reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(limitSeconds * 1000)), 0, nullptr);
    if (watchdog)
        ::CloseHandle(watchdog);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
