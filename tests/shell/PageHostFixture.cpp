#include "PageHostFixture.h"

#include "resource.h"
#include "settings/SettingsFile.h"
#include "support/PumpUntil.h"

#include <windows.h>

void PageHostTest::SetUp()
{
    folder = std::make_unique<testkit::TempProgramFolder>();
    ASSERT_TRUE(folder->Valid());
    SetProgramFolderForTesting(folder->Path());
    boxes = std::make_unique<testkit::MessageBoxCatcher>();
    host = std::make_unique<CDlgSubMain>();
    ASSERT_TRUE(host->Create(nullptr));
    host->Show();
    // The start-up's background worker counts the launch in its own file; let
    // it finish before the tests touch the folder.
    ASSERT_TRUE(testkit::PumpUntil([&] {
        return ::GetFileAttributesW(folder->File(L"zdl\\ZendalCommon.zdl").c_str()) != INVALID_FILE_ATTRIBUTES;
    }));
}

void PageHostTest::TearDown()
{
    host.reset();
    boxes.reset();
    SetProgramFolderForTesting(L"");
    folder.reset();
}

void PageHostTest::WriteSettings(const std::string& utf8Text)
{
    HANDLE file = ::CreateFileW(folder->File(L"zdl\\ZendalFS.zdl").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    ::WriteFile(file, utf8Text.data(), static_cast<DWORD>(utf8Text.size()), &written, nullptr);
    ::CloseHandle(file);
}

void PageHostTest::LogOn(const std::wstring& entry)
{
    fw::Window page(host->LogonPage().Handle());
    page.SetItemText(IDC_LOGON_PASSWORD, entry);
    size_t before = boxes->Count();
    page.Item(IDC_LOGON_BUTTON).Send(BM_CLICK);
    ASSERT_TRUE(boxes->WaitForCount(before + 1));
}

std::wstring PageHostTest::PasswordFieldText()
{
    return host->LogonPage().ItemText(IDC_LOGON_PASSWORD);
}

bool PageHostTest::NavigationEnabled(int index)
{
    return host->Item(IDC_NAV_ENCRYPT + index).IsEnabled();
}
