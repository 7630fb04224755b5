#include "PageHostFixture.h"

#include "framework/App.h"
#include "protect/ProtectDriver.h"
#include "resource.h"
#include "settings/SettingsFile.h"
#include "support/DriverClient.h"
#include "support/PumpUntil.h"

#include <windows.h>

#include <string>

namespace {

// The settings page inside a real page host, after logging on.
class FunctionPageTest : public PageHostTest {
protected:
    void SetUp() override
    {
        PageHostTest::SetUp();
        LogOn(L"");
        boxes->Clear();
        page = fw::Window(host->Page(6).Handle());
    }

    // Fills the three fields, presses "保存设置" and returns the message shown.
    std::wstring Save(const std::wstring& old, const std::wstring& entered, const std::wstring& confirmation)
    {
        page.SetItemText(IDC_FUNCTION_OLD_PASSWORD, old);
        page.SetItemText(IDC_FUNCTION_NEW_PASSWORD, entered);
        page.SetItemText(IDC_FUNCTION_CONFIRM_PASSWORD, confirmation);
        return Press(IDC_FUNCTION_SAVE);
    }

    std::wstring Press(int id)
    {
        size_t before = boxes->Count();
        page.Item(id).Post(BM_CLICK);
        EXPECT_TRUE(boxes->WaitForCount(before + 1));
        auto shown = boxes->Boxes();
        EXPECT_EQ(fw::App::Name(), shown.back().caption);
        for (int field : {IDC_FUNCTION_OLD_PASSWORD, IDC_FUNCTION_NEW_PASSWORD, IDC_FUNCTION_CONFIRM_PASSWORD})
            EXPECT_EQ(L"", page.ItemText(field)) << "every field is emptied";
        return shown.back().text;
    }

    std::wstring Stored() { return ReadPassword(folder->File(L"zdl\\ZendalFS.zdl")); }

    fw::Window page;
};

} // namespace

TEST_F(FunctionPageTest, AFirstPasswordNeedsAnEmptyOldFieldAndIsStoredAsTyped)
{
    EXPECT_EQ(L"旧密码填写不正确", Save(L"x", L"Abc", L"Abc"));
    EXPECT_EQ(L"", Stored());
    EXPECT_EQ(L"密码设置成功", Save(L"", L"Abc", L"Abc"));
    EXPECT_EQ(L"Abc", Stored());

    EXPECT_EQ(L"旧密码填写不正确", Save(L"abc", L"New1", L"New1"));
    EXPECT_EQ(L"密码设置成功", Save(L"Abc", L"New1", L"New1"));
    EXPECT_EQ(L"New1", Stored());
}

TEST_F(FunctionPageTest, OnlyTheFirstBrokenRuleIsReportedInTheirOrder)
{
    WriteSettings("[Password]\r\npassword=secret\r\n");
    EXPECT_EQ(L"旧密码填写不正确", Save(L"wrong", L"", L""));
    EXPECT_EQ(L"旧密码填写不正确", Save(L"wrong", L"a", L"b"));
    EXPECT_EQ(L"输入的密码不能为空", Save(L"secret", L"", L"abc"));
    EXPECT_EQ(L"输入的密码不能为空", Save(L"secret", L"abc", L""));
    EXPECT_EQ(L"两次输入的密码不同", Save(L"secret", L"Abc", L"abc"));
    EXPECT_EQ(L"密码有效字符为10位", Save(L"secret", L"12345678901", L"12345678901"));
    EXPECT_EQ(L"secret", Stored());
    EXPECT_EQ(L"密码设置成功", Save(L"secret", L"1234567890", L"1234567890"));
    EXPECT_EQ(L"1234567890", Stored());
}

TEST_F(FunctionPageTest, TheNoPasswordMarkerSkipsTheOldPasswordTestAndCanBeSetItself)
{
    WriteSettings("[Password]\r\npassword=nopw\r\n");
    EXPECT_EQ(L"密码设置成功", Save(L"anything", L"pw", L"pw"));
    EXPECT_EQ(L"pw", Stored());
    EXPECT_EQ(L"密码设置成功", Save(L"pw", L"nopw", L"nopw"));
    EXPECT_EQ(L"nopw", Stored());
    EXPECT_EQ(L"密码设置成功", Save(L"whatever", L"again", L"again"));
    EXPECT_EQ(L"again", Stored());
}

TEST_F(FunctionPageTest, APasswordThatCannotBeWrittenIsReportedAsAFailure)
{
    ASSERT_TRUE(testkit::RemoveTree(folder->File(L"zdl")));
    EXPECT_EQ(L"操作失败", Save(L"", L"abc", L"abc"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(folder->File(L"zdl").c_str())) << "the folder is never created";

    // A settings "file" that cannot be opened for writing. (A read-only
    // attribute does not stop a write here: the tests run as root.)
    ::CreateDirectoryW(folder->File(L"zdl").c_str(), nullptr);
    ASSERT_TRUE(::CreateDirectoryW(folder->File(L"zdl\\ZendalFS.zdl").c_str(), nullptr));
    EXPECT_EQ(L"操作失败", Save(L"", L"abc", L"abc"));
}

TEST(FunctionPageWithoutDriver, StopAndRestoreReportAFailure)
{
    testkit::MessageBoxCatcher boxes;
    HWND parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    struct NoDevice : ProtectDeviceSource {
        HANDLE ProtectDevice() const override { return INVALID_HANDLE_VALUE; }
    } noDevice;
    CDlgFunction page(noDevice);
    ASSERT_TRUE(page.Create(parent));
    page.Item(IDC_FUNCTION_STOP).Post(BM_CLICK);
    ASSERT_TRUE(boxes.WaitForCount(1));
    page.Item(IDC_FUNCTION_RESTORE).Post(BM_CLICK);
    ASSERT_TRUE(boxes.WaitForCount(2));
    EXPECT_EQ(L"操作失败", boxes.Boxes()[0].text);
    EXPECT_EQ(L"操作失败", boxes.Boxes()[1].text);
    ::DestroyWindow(parent);
}

namespace {

// The same page with the protection driver loaded before the page host opens it.
class FunctionPageDriverTest : public FunctionPageTest {
protected:
    void SetUp() override
    {
        device = testkit::OpenTestDevice();
        ASSERT_TRUE(device.Valid());
        FunctionPageTest::SetUp();
        ASSERT_NE(INVALID_HANDLE_VALUE, host->ProtectDevice());
    }

    testkit::DriverState State()
    {
        testkit::DriverState state;
        EXPECT_TRUE(testkit::QueryState(device.Get(), &state));
        return state;
    }

    fw::FileHandle device;
};

} // namespace

TEST_F(FunctionPageDriverTest, StopAndRestoreSwitchTheDriverAndLeaveItsListsAlone)
{
    const std::wstring path = L"C:\\zendal-function-page-test.txt";
    ASSERT_TRUE(SendPathRecord(device.Get(), ProtectListKind::File, L"o", path, false));
    size_t listed = State().lists[ZDL_FILE_O].size();

    EXPECT_EQ(L"操作成功", Press(IDC_FUNCTION_STOP));
    testkit::DriverState stopped = State();
    EXPECT_EQ(0u, stopped.protectOn);
    EXPECT_EQ(0u, stopped.driveWord);
    EXPECT_EQ(listed, stopped.lists[ZDL_FILE_O].size());

    EXPECT_EQ(L"操作成功", Press(IDC_FUNCTION_STOP)) << "stopping twice sends the same calls again";
    EXPECT_EQ(L"操作成功", Press(IDC_FUNCTION_RESTORE));
    testkit::DriverState restored = State();
    EXPECT_EQ(1u, restored.protectOn);
    EXPECT_EQ(ComputeFixedDriveWord(), restored.driveWord);
    EXPECT_EQ(listed, restored.lists[ZDL_FILE_O].size());

    SendPathRecord(device.Get(), ProtectListKind::File, L"o", path, true);
}
