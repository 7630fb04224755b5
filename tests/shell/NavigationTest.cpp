#include "PageHostFixture.h"

#include "resource.h"
#include "support/Input.h"
#include "support/PumpUntil.h"

#include <windows.h>

#include <vector>

namespace {

using NavigationTest = PageHostTest;

// Counts the show and hide messages a page window receives.
LRESULT CALLBACK CountShows(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR counter)
{
    if (msg == WM_SHOWWINDOW)
        ++*reinterpret_cast<int*>(counter);
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

std::vector<HWND> PageWindows(CDlgSubMain& host)
{
    std::vector<HWND> pages;
    for (int i = 0; i < CDlgSubMain::kPageCount; ++i)
        pages.push_back(host.Page(i).Handle());
    return pages;
}

} // namespace

TEST_F(NavigationTest, BeforeLogonAllSevenButtonsAreDisabledAndTheLogonPageIsShown)
{
    for (int i = 0; i < CDlgSubMain::kPageCount; ++i) {
        EXPECT_FALSE(NavigationEnabled(i)) << i;
        EXPECT_FALSE(host->Page(i).IsVisible()) << i;
    }
    EXPECT_TRUE(host->LogonPage().IsVisible());
    EXPECT_EQ(1, host->NavigationButton(0).current);

    // A click on a disabled button does nothing.
    testkit::ClickWindow(host->Item(IDC_NAV_SPLIT));
    EXPECT_TRUE(host->LogonPage().IsVisible());
    EXPECT_FALSE(host->Page(2).IsVisible());
}

TEST_F(NavigationTest, LogonShowsTheEncryptionPageWithItsButtonCurrent)
{
    LogOn(L"");
    EXPECT_FALSE(host->LogonPage().IsVisible());
    EXPECT_TRUE(host->Page(0).IsVisible());
    EXPECT_EQ(&host->Page(0), host->CurrentPage());
    EXPECT_EQ(&host->NavigationButton(0), host->SelectedButton());
    EXPECT_EQ(1, host->NavigationButton(0).current);
    for (int i = 0; i < CDlgSubMain::kPageCount; ++i)
        EXPECT_TRUE(NavigationEnabled(i)) << i;
}

TEST_F(NavigationTest, SwitchingHidesAndShowsTheSamePageWindows)
{
    LogOn(L"");
    std::vector<HWND> before = PageWindows(*host);
    HWND edit = host->Page(0).Item(IDC_ENCRYPT_PASSWORD).Handle();
    ::SetWindowTextW(edit, L"kept");

    for (int i : {3, 5, 1, 0}) {
        testkit::ClickWindow(host->Item(IDC_NAV_ENCRYPT + i));
        ASSERT_TRUE(testkit::PumpUntil([&] { return host->Page(i).IsVisible(); })) << i;
        for (int j = 0; j < CDlgSubMain::kPageCount; ++j)
            EXPECT_EQ(i == j, host->Page(j).IsVisible()) << i << " " << j;
        EXPECT_EQ(1, host->NavigationButton(i).current);
        int currentCount = 0;
        for (int j = 0; j < CDlgSubMain::kPageCount; ++j)
            currentCount += host->NavigationButton(j).current;
        EXPECT_EQ(1, currentCount);
    }
    EXPECT_EQ(before, PageWindows(*host));
    wchar_t text[16] = {};
    ::GetWindowTextW(edit, text, 16);
    EXPECT_STREQ(L"kept", text);
}

TEST_F(NavigationTest, PressingTheButtonOfTheShownPageChangesNothing)
{
    LogOn(L"");
    host->Item(IDC_NAV_DISKHIDE).Send(BM_CLICK);
    testkit::PumpPending();

    int shows = 0;
    HWND page = host->Page(5).Handle();
    ::SetWindowSubclass(page, &CountShows, 1, reinterpret_cast<DWORD_PTR>(&shows));
    for (int id = IDC_NAV_ENCRYPT; id <= IDC_NAV_FUNCTION; ++id)
        ::ValidateRect(host->Item(id), nullptr);
    host->Item(IDC_NAV_DISKHIDE).Send(BM_CLICK);
    ::RemoveWindowSubclass(page, &CountShows, 1);

    EXPECT_EQ(0, shows);
    EXPECT_TRUE(host->Page(5).IsVisible());
    for (int id = IDC_NAV_ENCRYPT; id <= IDC_NAV_FUNCTION; ++id) {
        RECT dirty{};
        EXPECT_FALSE(::GetUpdateRect(host->Item(id), &dirty, FALSE)) << "button " << id;
    }
}

TEST_F(NavigationTest, EachStartCountsOneLaunchInTheWorkersOwnFileAndNothingElse)
{
    std::wstring counter = folder->File(L"zdl\\ZendalCommon.zdl");
    EXPECT_EQ(1u, ::GetPrivateProfileIntW(L"Visit", L"count", 0, counter.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(folder->File(L"zdl\\ZendalFS.zdl").c_str()));
    EXPECT_EQ(1, CZendalWebVisit::running.load());

    // Another page host in the same process does not start a second worker.
    CDlgSubMain second;
    ASSERT_TRUE(second.Create(nullptr));
    testkit::PumpPending();
    EXPECT_EQ(1u, ::GetPrivateProfileIntW(L"Visit", L"count", 0, counter.c_str()));
}
