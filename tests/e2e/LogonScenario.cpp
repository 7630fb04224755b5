#include "ProgramSession.h"

#include "resource.h"
#include "support/PumpUntil.h"
#include "support/ScratchFiles.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kAppName[] = L"ZendalFileSa";

bool NavigationEnabled(HWND host)
{
    for (int id = IDC_NAV_ENCRYPT; id <= IDC_NAV_FUNCTION; ++id)
        if (!::IsWindowEnabled(::GetDlgItem(host, id)))
            return false;
    return true;
}

std::wstring StoredPassword(const testkit::TempProgramFolder& folder)
{
    wchar_t text[256] = {};
    ::GetPrivateProfileStringW(L"Password", L"password", nullptr, text, 256, folder.File(L"zdl\\ZendalFS.zdl").c_str());
    return text;
}

// A successful logon unlocks navigation and brings the encryption page to the front.
void ExpectLoggedOn(e2e::ProgramSession& session)
{
    EXPECT_TRUE(testkit::PumpUntil([&] { return NavigationEnabled(session.Host()); }));
    HWND encryption = session.PageWith({IDC_ENCRYPT_PASSWORD, IDC_ENCRYPT_CONFIRM});
    EXPECT_NE(nullptr, encryption);
    EXPECT_TRUE(testkit::PumpUntil([&] { return session.ShownPage() == encryption; }));
}

} // namespace

TEST(LogOn, WithoutAPasswordOnlyTheEmptyEntryLogsOn)
{
    testkit::TempProgramFolder folder(true);
    e2e::ProgramSession session(folder.Path());
    ASSERT_TRUE(session.Ready());
    EXPECT_FALSE(NavigationEnabled(session.Host()));

    EXPECT_EQ(L"密码错误", session.LogOn(L"secret"));
    EXPECT_EQ(kAppName, session.LastCaption());
    HWND logon = session.PageWith({IDC_LOGON_PASSWORD, IDC_LOGON_BUTTON});
    EXPECT_EQ(L"", e2e::ControlText(logon, IDC_LOGON_PASSWORD));
    EXPECT_FALSE(NavigationEnabled(session.Host()));
    e2e::Report("logon without password: \"secret\" refused with 密码错误, field cleared, navigation still locked");

    EXPECT_EQ(L"成功登录", session.LogOn(L""));
    ExpectLoggedOn(session);
    EXPECT_FALSE(testkit::FileExists(folder.File(L"zdl\\ZendalFS.zdl"))) << "a logon writes nothing";
    e2e::Report("logon without password: empty entry logs on, encryption page shown, no settings file written");
    EXPECT_TRUE(session.Close());
}

TEST(LogOn, APasswordSetOnTheSettingsPageIsAskedForAtTheNextStart)
{
    testkit::TempProgramFolder folder(true);
    {
        e2e::ProgramSession session(folder.Path());
        ASSERT_TRUE(session.Ready());
        ASSERT_EQ(L"成功登录", session.LogOn(L""));
        HWND settings = session.ShowPage(IDC_NAV_FUNCTION, {IDC_FUNCTION_STOP, IDC_FUNCTION_SAVE});
        ASSERT_NE(nullptr, settings);
        e2e::SetControlText(settings, IDC_FUNCTION_NEW_PASSWORD, L"Zendal2026");
        e2e::SetControlText(settings, IDC_FUNCTION_CONFIRM_PASSWORD, L"Zendal2026");
        EXPECT_EQ(L"密码设置成功", session.PressForMessage(settings, IDC_FUNCTION_SAVE));
        EXPECT_EQ(kAppName, session.LastCaption());
        for (int id : {IDC_FUNCTION_OLD_PASSWORD, IDC_FUNCTION_NEW_PASSWORD, IDC_FUNCTION_CONFIRM_PASSWORD})
            EXPECT_EQ(L"", e2e::ControlText(settings, id)) << id;
        EXPECT_EQ(L"Zendal2026", StoredPassword(folder));
        e2e::Report("settings page: password \"Zendal2026\" saved (密码设置成功), stored in zdl\\ZendalFS.zdl");
        EXPECT_TRUE(session.Close());
    }
    e2e::ProgramSession session(folder.Path());
    ASSERT_TRUE(session.Ready());
    EXPECT_EQ(L"密码错误", session.LogOn(L""));
    EXPECT_EQ(L"密码错误", session.LogOn(L"zendal2026"));
    EXPECT_FALSE(NavigationEnabled(session.Host()));
    EXPECT_EQ(L"成功登录", session.LogOn(L"Zendal2026"));
    ExpectLoggedOn(session);
    e2e::Report("restart with password: empty and wrong-case entries refused, the password logs on");
    EXPECT_TRUE(session.Close());
}
