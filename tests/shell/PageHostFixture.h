#pragma once
#include "shell/CDlgSubMain.h"
#include "support/MessageBoxCatcher.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// A page host with all its pages, created in a fresh program folder, the
// way the main window creates it. Message boxes are answered and recorded.
class PageHostTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the settings file as another program would.
    void WriteSettings(const std::string& utf8Text);
    // Types into the password field and presses "登录".
    void LogOn(const std::wstring& entry);
    std::wstring PasswordFieldText();
    bool NavigationEnabled(int index);

    std::unique_ptr<testkit::TempProgramFolder> folder;
    std::unique_ptr<testkit::MessageBoxCatcher> boxes;
    std::unique_ptr<CDlgSubMain> host;
};
