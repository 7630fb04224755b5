#include "resource.h"
#include "support/Input.h"
#include "support/MessageBoxCatcher.h"
#include "support/PumpUntil.h"
#include "support/RunningProgram.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

POINT TopLeft(HWND hwnd)
{
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    return POINT{rc.left, rc.top};
}

// The program started from a fresh program folder, with its main window and page host found.
class ProgramTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program.Started());
        main = program.WaitForMainWindow();
        ASSERT_NE(nullptr, main);
        ASSERT_TRUE(program.WaitForFrameOnScreen(main));
        host = program.WaitForPageHost(main);
        ASSERT_NE(nullptr, host) << "no page host owned by the main window";
    }

    void Close()
    {
        ::PostMessageW(main, WM_COMMAND, IDCANCEL, 0);
        DWORD code = 1;
        EXPECT_TRUE(program.WaitForExit(&code));
        EXPECT_EQ(0u, code);
    }

    testkit::TempProgramFolder folder{true};
    testkit::RunningProgram program{folder};
    HWND main = nullptr;
    HWND host = nullptr;
};

} // namespace

TEST_F(ProgramTest, ShowsTheLayeredFrameThePageHostAndAllPagesWithTheLogonPageInFront)
{
    RECT frame{};
    ASSERT_TRUE(testkit::PumpUntil([&] {
        ::GetWindowRect(main, &frame);
        return frame.right - frame.left == 780 && frame.bottom - frame.top == 630;
    })) << frame.right - frame.left << "x" << frame.bottom - frame.top;
    EXPECT_TRUE(::GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(::GetDlgItem(main, IDC_MAIN_CLOSE));
    EXPECT_TRUE(::GetDlgItem(main, IDC_MAIN_MINIMIZE));
    EXPECT_EQ(frame.left + 15, TopLeft(host).x);
    EXPECT_EQ(frame.top + 35, TopLeft(host).y);

    std::vector<HWND> pages = testkit::ChildDialogs(host);
    ASSERT_EQ(8u, pages.size());
    HWND shown = nullptr;
    for (HWND page : pages) {
        POINT corner = TopLeft(page);
        ::ScreenToClient(host, &corner);
        EXPECT_EQ(183, corner.x);
        EXPECT_EQ(113, corner.y);
        if (::IsWindowVisible(page)) {
            EXPECT_EQ(nullptr, shown) << "more than one page shown";
            shown = page;
        }
    }
    ASSERT_NE(nullptr, shown);
    wchar_t caption[16] = {};
    ::GetDlgItemTextW(shown, IDC_LOGON_BUTTON, caption, 16);
    EXPECT_STREQ(L"登录", caption);
    for (int id = IDC_NAV_ENCRYPT; id <= IDC_NAV_FUNCTION; ++id)
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(host, id))) << id;

    // Enter does nothing to the frame; Escape closes the program.
    ::SendMessageW(main, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(program.Running());
    Close();
}

TEST_F(ProgramTest, ASecondInstanceSaysSoAndEndsWhileTheFirstKeepsRunning)
{
    testkit::RunningProgram second(folder);
    ASSERT_TRUE(second.Started());
    testkit::MessageBoxCatcher boxes(second.Id());
    ASSERT_TRUE(boxes.WaitForCount(1));
    DWORD code = 1;
    ASSERT_TRUE(second.WaitForExit(&code));
    EXPECT_EQ(0u, code);
    auto shown = boxes.Boxes();
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(L"云杉工坊文件安全已经运行", shown[0].text);
    EXPECT_EQ(L"ZendalFileSa", shown[0].caption);

    EXPECT_TRUE(program.Running());
    EXPECT_TRUE(::IsWindowVisible(main));
    Close();
}

TEST_F(ProgramTest, ThePageHostFollowsTheFrameAfterAPressAndKeepsItsPlaceThroughMinimising)
{
    // A press on the frame hands it to the system's caption drag and makes
    // the page host follow every move of the frame from then on. Under Wine
    // the very first press on a fresh layered window is sometimes lost before
    // it reaches the program, so the press is repeated until the frame has it.
    POINT before = TopLeft(main);
    bool follows = false;
    for (int attempt = 1; attempt <= 5 && !follows; ++attempt) {
        POINT frame = TopLeft(main);
        testkit::ClickAt(POINT{frame.x + 300, frame.y + 15});
        ASSERT_TRUE(testkit::PumpUntil([&] { return !testkit::InMoveLoop(main); }));
        ::SetWindowPos(main, nullptr, before.x + 8 * attempt, before.y + 6 * attempt, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        follows = testkit::PumpUntil([&] { return TopLeft(host).x == TopLeft(main).x + 15; }, 3000);
    }
    ASSERT_TRUE(follows) << TopLeft(host).x << " frame " << TopLeft(main).x;
    EXPECT_EQ(TopLeft(main).y + 35, TopLeft(host).y);

    // A press on the page host's own area does not drag anything.
    POINT hostBefore = TopLeft(host);
    RECT hostRect{};
    ::GetWindowRect(host, &hostRect);
    testkit::Drag(POINT{hostRect.right - 30, hostRect.bottom - 20}, POINT{hostRect.right - 10, hostRect.bottom - 5});
    testkit::PumpPending();
    EXPECT_EQ(hostBefore.x, TopLeft(host).x);

    POINT frameBefore = TopLeft(main);
    ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDC_MAIN_MINIMIZE, BN_CLICKED), 0);
    ASSERT_TRUE(testkit::PumpUntil([&] { return ::IsIconic(main) != FALSE; }))
        << "in move loop " << testkit::InMoveLoop(main) << ", frame visible " << ::IsWindowVisible(main);
    ASSERT_TRUE(testkit::PumpUntil([&] { return !::IsWindowVisible(host); }));
    ::ShowWindowAsync(main, SW_RESTORE);
    ASSERT_TRUE(testkit::PumpUntil([&] { return !::IsIconic(main) && ::IsWindowVisible(host); }))
        << "iconic " << ::IsIconic(main) << " host visible " << ::IsWindowVisible(host);
    EXPECT_EQ(frameBefore.x + 15, TopLeft(host).x);
    EXPECT_EQ(frameBefore.y + 35, TopLeft(host).y);
    Close();
}
