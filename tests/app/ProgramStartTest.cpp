#include "resource.h"
#include "support/RunningProgram.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

TEST(ProgramStart, ShowsTheMainWindowThePageHostAndAllPagesWithTheLogonPageInFront)
{
    testkit::TempProgramFolder folder(true);
    testkit::RunningProgram program(folder);
    ASSERT_TRUE(program.Started());

    HWND main = program.WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    EXPECT_TRUE(::IsWindowVisible(main));
    EXPECT_TRUE(::GetDlgItem(main, IDC_MAIN_CLOSE));
    EXPECT_TRUE(::GetDlgItem(main, IDC_MAIN_MINIMIZE));

    // The page host appears once the main window has finished its initialisation.
    HWND host = program.WaitForPageHost(main);
    ASSERT_NE(nullptr, host) << "no page host owned by the main window";
    EXPECT_TRUE(::IsWindowVisible(host));
    for (int id = IDC_NAV_ENCRYPT; id <= IDC_NAV_FUNCTION; ++id)
        EXPECT_TRUE(::GetDlgItem(host, id)) << id;

    std::vector<HWND> pages = testkit::ChildDialogs(host);
    ASSERT_EQ(8u, pages.size());
    HWND shown = nullptr;
    for (HWND page : pages) {
        RECT rc{};
        ::GetWindowRect(page, &rc);
        ::MapWindowPoints(HWND_DESKTOP, host, reinterpret_cast<POINT*>(&rc), 2);
        EXPECT_EQ(183, rc.left);
        EXPECT_EQ(113, rc.top);
        if (::IsWindowVisible(page)) {
            EXPECT_EQ(nullptr, shown) << "more than one page shown";
            shown = page;
        }
    }
    ASSERT_NE(nullptr, shown);
    wchar_t caption[16] = {};
    ::GetDlgItemTextW(shown, IDC_LOGON_BUTTON, caption, 16);
    EXPECT_STREQ(L"登录", caption);

    ::PostMessageW(main, WM_COMMAND, IDCANCEL, 0);
    DWORD code = 1;
    EXPECT_TRUE(program.WaitForExit(&code));
    EXPECT_EQ(0u, code);
}
