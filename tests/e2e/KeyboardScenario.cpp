#include "ProgramSession.h"
#include "RemotePicker.h"

#include "resource.h"
#include "support/Input.h"
#include "support/PumpUntil.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kPassword[] = L"Zendal7";

// What the thread that owns the window has now: its window with the
// keyboard focus, its active window.
GUITHREADINFO ThreadStateOf(HWND window)
{
    GUITHREADINFO info{sizeof(info)};
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info))
        return GUITHREADINFO{};
    return info;
}

HWND FocusOf(HWND window) { return ThreadStateOf(window).hwndFocus; }
HWND ActiveOf(HWND window) { return ThreadStateOf(window).hwndActive; }

bool WaitForFocus(HWND control)
{
    return testkit::PumpUntil([&] { return FocusOf(control) == control; }, 10000);
}

// Keys go to the foreground window: the page host, as after the program starts.
bool PageHostInFront(HWND host)
{
    return testkit::PumpUntil([&] {
        if (::GetForegroundWindow() != host)
            ::SetForegroundWindow(host);
        return ::GetForegroundWindow() == host;
    });
}

bool NavigationEnabled(HWND host)
{
    return ::IsWindowEnabled(::GetDlgItem(host, IDC_NAV_ENCRYPT)) != FALSE;
}

// A page shown after logon, with the focus on one of its controls by a click.
class KeyboardTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.Ready());
        ASSERT_EQ(L"成功登录", session.LogOn(L""));
        ASSERT_TRUE(testkit::PumpUntil([&] { return NavigationEnabled(session.Host()); }));
        ASSERT_TRUE(PageHostInFront(session.Host()));
    }

    HWND Control(HWND page, int id) const { return ::GetDlgItem(page, id); }
    HWND FocusByClick(HWND page, int id)
    {
        HWND control = Control(page, id);
        testkit::ClickWindow(control);
        return WaitForFocus(control) ? control : nullptr;
    }
    // The page that a navigation button shows, once it is shown.
    HWND ShowPageOf(int navigationButton, int control)
    {
        e2e::Press(session.Host(), navigationButton);
        HWND page = nullptr;
        testkit::PumpUntil([&] {
            page = session.ShownPage();
            return page && ::GetDlgItem(page, control);
        });
        return page && ::GetDlgItem(page, control) ? page : nullptr;
    }

    testkit::TempProgramFolder folder{true};
    e2e::ProgramSession session{folder.Path()};
};

} // namespace

TEST(KeyboardLogOn, ThePasswordIsTypedTabReachesTheButtonAndEnterLogsOn)
{
    testkit::TempProgramFolder folder(true);
    ASSERT_TRUE(::WritePrivateProfileStringW(L"Password", L"password", kPassword,
                                             folder.File(L"zdl\\ZendalFS.zdl").c_str()));
    e2e::ProgramSession session(folder.Path());
    ASSERT_TRUE(session.Ready());
    HWND logon = session.PageWith({IDC_LOGON_PASSWORD, IDC_LOGON_BUTTON});
    HWND field = ::GetDlgItem(logon, IDC_LOGON_PASSWORD);
    HWND button = ::GetDlgItem(logon, IDC_LOGON_BUTTON);
    EXPECT_TRUE(testkit::PumpUntil([&] { return ActiveOf(field) == session.Host() && FocusOf(field) == field; }, 10000))
        << "the program starts with the page host active and the focus in the password field";
    ASSERT_TRUE(PageHostInFront(session.Host()));
    e2e::Report("keyboard logon: the page host is in front with the focus in the password field");

    testkit::TypeText(kPassword);
    EXPECT_TRUE(testkit::PumpUntil([&] { return e2e::ControlText(logon, IDC_LOGON_PASSWORD) == kPassword; }));
    // Enter and Escape in the field change nothing: no box, the text stays.
    testkit::PressKey(VK_RETURN);
    testkit::PressKey(VK_ESCAPE);
    testkit::PressKey(VK_TAB);
    ASSERT_TRUE(WaitForFocus(button)) << "Tab from the field reaches 登录";
    EXPECT_EQ(0u, session.MessageCount());
    EXPECT_EQ(kPassword, e2e::ControlText(logon, IDC_LOGON_PASSWORD));
    EXPECT_FALSE(NavigationEnabled(session.Host()));
    e2e::Report("keyboard logon: password typed, Enter and Escape in the field ignored, Tab reaches 登录");

    size_t before = session.MessageCount();
    testkit::PressKey(VK_RETURN);
    ASSERT_TRUE(testkit::PumpUntil([&] { return session.MessageCount() > before; }));
    EXPECT_EQ(L"成功登录", session.LastText());
    EXPECT_TRUE(testkit::PumpUntil([&] { return NavigationEnabled(session.Host()); }));
    // The keyboard moves on with the page: to the encryption page's first control.
    HWND encryption = session.PageWith({IDC_ENCRYPT_OPERATION, IDC_ENCRYPT_START});
    HWND operation = ::GetDlgItem(encryption, IDC_ENCRYPT_OPERATION);
    EXPECT_TRUE(WaitForFocus(operation));
    EXPECT_EQ(encryption, session.ShownPage());
    EXPECT_EQ(before + 1, session.MessageCount());
    e2e::Report("keyboard logon: Enter on 登录 logs on with the typed password; the focus moves to the encryption page");
    EXPECT_TRUE(session.Close());
}

TEST_F(KeyboardTest, TabFollowsTheTemplateAndEnterOrSpacePressesTheFocusedButton)
{
    HWND page = session.ShowPage(IDC_NAV_CRUSH, {IDC_CRUSH_START, IDC_CRUSH_PATH});
    ASSERT_NE(nullptr, page);
    HWND start = Control(page, IDC_CRUSH_START);
    HWND browse = Control(page, IDC_CRUSH_BROWSE);
    HWND path = FocusByClick(page, IDC_CRUSH_PATH);
    ASSERT_NE(nullptr, path);

    // Enter and Escape in the path field do nothing; Tab then leaves the
    // page for the navigation column, once both keys have been handled.
    testkit::PressKey(VK_RETURN);
    testkit::PressKey(VK_ESCAPE);
    testkit::PressKey(VK_TAB);
    ASSERT_TRUE(testkit::PumpUntil([&] { return FocusOf(path) == ::GetDlgItem(session.Host(), IDC_NAV_ENCRYPT); }));
    EXPECT_EQ(1u, session.MessageCount()) << "only the logon's box";
    EXPECT_EQ(page, session.ShownPage());
    EXPECT_TRUE(session.Program().Running());
    testkit::PressKeyWith(VK_SHIFT, VK_TAB);
    ASSERT_TRUE(WaitForFocus(path));
    e2e::Report("keyboard: Enter and Escape in the shredding page's path field change nothing");

    testkit::PressKeyWith(VK_SHIFT, VK_TAB);
    ASSERT_TRUE(WaitForFocus(browse));
    testkit::PressKeyWith(VK_SHIFT, VK_TAB);
    ASSERT_TRUE(WaitForFocus(start)) << "Shift+Tab goes back to the page's first control";
    testkit::PressKey(VK_TAB);
    ASSERT_TRUE(WaitForFocus(browse)) << "Tab goes on to the next control of the template";
    e2e::Report("keyboard: shredding page, Tab and Shift+Tab go 开始粉碎 -> 浏览 -> path in template order");

    testkit::PressKey(VK_RETURN);
    e2e::RemotePicker picker(session.Program().Id(), L"选择文件");
    ASSERT_TRUE(picker.Found()) << "Enter on 浏览 opens the picker";
    HWND pickerWindow = ::GetForegroundWindow();
    wchar_t caption[32] = {};
    ::GetWindowTextW(pickerWindow, caption, 32);
    EXPECT_STREQ(L"选择文件", caption);
    EXPECT_EQ(session.Main(), ::GetWindow(pickerWindow, GW_OWNER));
    EXPECT_FALSE(::IsWindowEnabled(session.Main()));
    EXPECT_FALSE(::IsWindowEnabled(session.Host()));
    e2e::Report("picker: opened by Enter, owned by the main window; main window and page host disabled");
    EXPECT_TRUE(picker.Cancel());
    EXPECT_TRUE(testkit::PumpUntil([&] { return ::IsWindowEnabled(session.Main()) && ::IsWindowEnabled(session.Host()); }));
    EXPECT_TRUE(WaitForFocus(browse)) << "the keyboard is back on 浏览 after the picker";

    testkit::PressKeyWith(VK_SHIFT, VK_TAB);
    ASSERT_TRUE(WaitForFocus(start));
    size_t before = session.MessageCount();
    testkit::PressKey(VK_RETURN);
    ASSERT_TRUE(testkit::PumpUntil([&] { return session.MessageCount() == before + 1; }));
    EXPECT_EQ(L"请选择要粉碎的文件", session.LastText());
    ASSERT_TRUE(WaitForFocus(start));
    testkit::PressKey(VK_SPACE);
    ASSERT_TRUE(testkit::PumpUntil([&] { return session.MessageCount() == before + 2; }));
    EXPECT_EQ(L"请选择要粉碎的文件", session.LastText());
    e2e::Report("keyboard: Enter and Space on the focused 开始粉碎 press it (请选择要粉碎的文件)");
    EXPECT_TRUE(session.Close());
}

TEST_F(KeyboardTest, SpaceTicksACheckBoxAndTheArrowsChooseInACombo)
{
    HWND protect = ShowPageOf(IDC_NAV_FILEPROTECT, IDC_PROTECT_MODE_O);
    ASSERT_NE(nullptr, protect);
    HWND path = FocusByClick(protect, IDC_PROTECT_PATH);
    ASSERT_NE(nullptr, path);
    HWND modeO = Control(protect, IDC_PROTECT_MODE_O);
    testkit::PressKey(VK_TAB);
    testkit::PressKey(VK_TAB);
    ASSERT_TRUE(WaitForFocus(modeO)) << "path -> 浏览 -> the first check box";
    ASSERT_EQ(BST_UNCHECKED, ::SendMessageW(modeO, BM_GETCHECK, 0, 0));
    testkit::PressKey(VK_SPACE);
    EXPECT_TRUE(testkit::PumpUntil([&] { return ::SendMessageW(modeO, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
    testkit::PressKey(VK_SPACE);
    EXPECT_TRUE(testkit::PumpUntil([&] { return ::SendMessageW(modeO, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }));
    e2e::Report("keyboard: Space ticks and clears the focused check box of the file protection page");

    HWND encrypt = session.ShowPage(IDC_NAV_ENCRYPT, {IDC_ENCRYPT_OPERATION, IDC_ENCRYPT_START});
    ASSERT_NE(nullptr, encrypt);
    HWND password = FocusByClick(encrypt, IDC_ENCRYPT_PASSWORD);
    ASSERT_NE(nullptr, password);
    HWND operation = Control(encrypt, IDC_ENCRYPT_OPERATION);
    testkit::PressKeyWith(VK_SHIFT, VK_TAB);
    ASSERT_TRUE(WaitForFocus(operation));
    LRESULT first = ::SendMessageW(operation, CB_GETCURSEL, 0, 0);
    testkit::PressKey(VK_DOWN);
    EXPECT_TRUE(testkit::PumpUntil([&] { return ::SendMessageW(operation, CB_GETCURSEL, 0, 0) == first + 1; }));
    EXPECT_EQ(operation, FocusOf(operation)) << "the arrow stays in the combo box";
    testkit::PressKey(VK_UP);
    EXPECT_TRUE(testkit::PumpUntil([&] { return ::SendMessageW(operation, CB_GETCURSEL, 0, 0) == first; }));
    e2e::Report("keyboard: Down and Up change the encryption page's operation in its combo box");
    EXPECT_TRUE(session.Close());
}

TEST_F(KeyboardTest, AltF4OnThePageHostEndsTheProgramLikeTheCloseButton)
{
    HWND page = session.ShowPage(IDC_NAV_CRUSH, {IDC_CRUSH_START, IDC_CRUSH_PATH});
    ASSERT_NE(nullptr, page);
    ASSERT_NE(nullptr, FocusByClick(page, IDC_CRUSH_PATH));
    ASSERT_EQ(session.Host(), ::GetForegroundWindow());
    testkit::PressKeyWith(VK_MENU, VK_F4);
    DWORD code = 1;
    EXPECT_TRUE(session.Program().WaitForExit(&code));
    EXPECT_EQ(0u, code);
    e2e::Report("keyboard: Alt+F4 in a page ends the program with exit code 0");
}
