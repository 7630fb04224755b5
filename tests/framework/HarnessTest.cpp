#include "support/Input.h"
#include "support/MessageBoxCatcher.h"
#include "support/PumpUntil.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

DWORD WINAPI ShowBoxFromWorker(LPVOID)
{
    ::MessageBoxW(nullptr, L"操作文件不存在", L"", MB_OK);
    return 0;
}

struct Press {
    UINT message;
    POINT at;
};
std::vector<Press> presses;

LRESULT CALLBACK RecordPresses(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN
        || message == WM_RBUTTONDBLCLK)
        presses.push_back(Press{message, POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}});
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

TEST(MessageBoxCatcher, RecordsAndAnswersBoxesOfEveryThreadWithExactTexts)
{
    testkit::MessageBoxCatcher catcher;
    HANDLE worker = ::CreateThread(nullptr, 0, &ShowBoxFromWorker, nullptr, 0, nullptr);
    ::MessageBoxW(nullptr, L"云杉工坊文件安全已经运行", L"ZendalFileSa", MB_OK);
    ASSERT_TRUE(testkit::PumpUntil([&] { return ::WaitForSingleObject(worker, 0) == WAIT_OBJECT_0; }));
    ::CloseHandle(worker);

    auto boxes = catcher.Boxes();
    ASSERT_EQ(2u, boxes.size());
    bool sawMain = false, sawWorker = false;
    for (const auto& box : boxes) {
        sawMain |= box.caption == L"ZendalFileSa" && box.text == L"云杉工坊文件安全已经运行";
        sawWorker |= box.caption.empty() && box.text == L"操作文件不存在";
    }
    EXPECT_TRUE(sawMain);
    EXPECT_TRUE(sawWorker);
}

TEST(TempProgramFolder, LaysOutTheFoldersAndRemovesEverythingIncludingReadOnlyFiles)
{
    std::wstring path;
    {
        testkit::TempProgramFolder folder;
        ASSERT_TRUE(folder.Valid());
        path = folder.Path();
        EXPECT_TRUE(Exists(folder.File(L"zdl")));
        EXPECT_TRUE(Exists(folder.File(L"sys")));
        std::wstring file = folder.File(L"zdl\\locked.txt");
        HANDLE h = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_READONLY, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        ::CloseHandle(h);
    }
    EXPECT_FALSE(Exists(path));
}

TEST(TempProgramFolder, CopiesTheReleaseLayout)
{
    testkit::TempProgramFolder folder(true);
    EXPECT_TRUE(Exists(folder.File(L"ZendalFileSa.exe")));
    EXPECT_TRUE(Exists(folder.File(L"ZendalCommon.dll")));
    EXPECT_TRUE(Exists(folder.File(L"sys\\ZDLFile.sys")));
}

TEST(Input, ClicksLandWhereTheCursorWasSent)
{
    WNDCLASSW windowClass{};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = RecordPresses;
    windowClass.lpszClassName = L"HarnessPresses";
    ::RegisterClassW(&windowClass);
    const POINT targets[3] = {{7, 20}, {60, 20}, {100, 150}};
    // Quick clicks at changing places, in fresh windows: each lands where it
    // was sent and none is taken for a double click.
    for (int round = 0; round < 10; ++round) {
        HWND window = ::CreateWindowExW(0, L"HarnessPresses", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 250,
                                        nullptr, nullptr, nullptr, nullptr);
        ::SetForegroundWindow(window);
        testkit::PumpPending();
        for (int i = 0; i < 3; ++i) {
            presses.clear();
            POINT screen = targets[i];
            ::ClientToScreen(window, &screen);
            if (i == 2)
                testkit::RightClickAt(screen);
            else
                testkit::ClickAt(screen);
            ASSERT_EQ(1u, presses.size()) << "round " << round << " click " << i;
            EXPECT_EQ(static_cast<UINT>(i == 2 ? WM_RBUTTONDOWN : WM_LBUTTONDOWN), presses[0].message);
            EXPECT_EQ(targets[i].x, presses[0].at.x) << "round " << round << " click " << i;
            EXPECT_EQ(targets[i].y, presses[0].at.y) << "round " << round << " click " << i;
        }
        ::DestroyWindow(window);
    }
}
