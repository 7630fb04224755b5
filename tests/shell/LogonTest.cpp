#include "PageHostFixture.h"

#include "framework/App.h"
#include "resource.h"
#include "support/PumpUntil.h"

#include <string>

namespace {

using LogonTest = PageHostTest;

void ExpectLastBox(const testkit::MessageBoxCatcher& boxes, const wchar_t* text)
{
    auto shown = boxes.Boxes();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(text, shown.back().text);
    EXPECT_EQ(fw::App::Name(), shown.back().caption);
}

} // namespace

TEST_F(LogonTest, WithoutASettingsFileOnlyTheEmptyEntryLogsOn)
{
    LogOn(L"x");
    ExpectLastBox(*boxes, L"密码错误");
    EXPECT_EQ(L"", PasswordFieldText());
    EXPECT_FALSE(NavigationEnabled(0));

    LogOn(L"");
    ExpectLastBox(*boxes, L"成功登录");
    EXPECT_TRUE(NavigationEnabled(0));
}

TEST_F(LogonTest, AFileWithoutThePasswordSectionOrKeyCountsAsNoPassword)
{
    WriteSettings("[File Protect]\r\nC:\\a.txt=o\r\n");
    LogOn(L"secret");
    ExpectLastBox(*boxes, L"密码错误");

    WriteSettings("[Password]\r\nother=1\r\n");
    LogOn(L"");
    ExpectLastBox(*boxes, L"成功登录");
}

TEST_F(LogonTest, TheNoPasswordMarkerLetsEveryEntryLogOn)
{
    WriteSettings("[Password]\r\npassword=nopw\r\n");
    LogOn(L"anything at all");
    ExpectLastBox(*boxes, L"成功登录");
    EXPECT_TRUE(NavigationEnabled(6));
}

TEST_F(LogonTest, TheComparisonIsWholeAndCaseSensitiveAndAWrongEntryClearsTheField)
{
    WriteSettings("[Password]\r\npassword=Secret12\r\n");
    for (const wchar_t* wrong : {L"secret12", L"Secret1", L"Secret123", L" Secret12"}) {
        LogOn(wrong);
        ExpectLastBox(*boxes, L"密码错误");
        EXPECT_EQ(L"", PasswordFieldText()) << wrong;
    }
    EXPECT_FALSE(NavigationEnabled(0));
    LogOn(L"Secret12");
    ExpectLastBox(*boxes, L"成功登录");
    EXPECT_EQ(5u, boxes->Count());
}

TEST_F(LogonTest, SectionAndKeyNamesAreFoundInAnyLetterCase)
{
    WriteSettings("[PASSWORD]\r\nPassWord=abc\r\n");
    LogOn(L"abc");
    ExpectLastBox(*boxes, L"成功登录");
}

TEST_F(LogonTest, AStoredValueLongerThan255CharactersIsReadCutTo255)
{
    std::string stored(300, 'k');
    for (size_t i = 0; i < stored.size(); ++i)
        stored[i] = static_cast<char>('a' + i % 26);
    WriteSettings("[Password]\r\npassword=" + stored + "\r\n");

    LogOn(std::wstring(stored.begin(), stored.end()));
    ExpectLastBox(*boxes, L"密码错误");
    LogOn(std::wstring(stored.begin(), stored.begin() + 255));
    ExpectLastBox(*boxes, L"成功登录");
}

TEST_F(LogonTest, EnterInThePasswordFieldDoesNotLogOn)
{
    fw::Window page(host->LogonPage().Handle());
    HWND edit = page.Item(IDC_LOGON_PASSWORD);
    ::SetFocus(edit);
    MSG enter{edit, WM_KEYDOWN, VK_RETURN, 0x001C0001, ::GetTickCount(), {}};
    // The dialog manager turns Enter into the page's IDOK, which pages ignore.
    ::IsDialogMessageW(page, &enter);
    page.Send(WM_COMMAND, IDOK);
    testkit::PumpPending();
    EXPECT_EQ(0u, boxes->Count());
    EXPECT_FALSE(NavigationEnabled(0));
    EXPECT_TRUE(page.IsVisible());
}
