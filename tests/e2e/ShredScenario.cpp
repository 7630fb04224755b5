#include "ProgramSession.h"

#include "resource.h"
#include "support/PumpUntil.h"
#include "support/ScratchFiles.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>

TEST(Shred, AReadOnlyFileIsOverwrittenAndDeletedAndASecondStartFindsNothing)
{
    testkit::ScratchFolder scratch;
    const std::wstring target = scratch.File(L"机密 报告.txt");
    ASSERT_TRUE(testkit::WriteWholeFile(target, testkit::PatternBytes(300 * 1024 + 17, 3)));
    ASSERT_TRUE(::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));

    testkit::TempProgramFolder folder(true);
    e2e::ProgramSession session(folder.Path());
    ASSERT_TRUE(session.Ready());
    ASSERT_EQ(L"成功登录", session.LogOn(L""));
    HWND page = session.ShowPage(IDC_NAV_CRUSH, {IDC_CRUSH_START, IDC_CRUSH_PATH, IDC_CRUSH_PROGRESS});
    ASSERT_NE(nullptr, page);

    EXPECT_EQ(L"请选择要粉碎的文件", session.PressForMessage(page, IDC_CRUSH_START));
    EXPECT_EQ(L"", session.LastCaption());

    e2e::SetControlText(page, IDC_CRUSH_PATH, target);
    size_t boxes = session.MessageCount();
    e2e::Press(page, IDC_CRUSH_START);
    EXPECT_TRUE(testkit::PumpUntil([&] {
        return !testkit::FileExists(target) && ::IsWindowEnabled(::GetDlgItem(page, IDC_CRUSH_START));
    }));
    EXPECT_EQ(boxes, session.MessageCount()) << "a shredding run shows nothing";
    EXPECT_EQ(target, e2e::ControlText(page, IDC_CRUSH_PATH));
    e2e::Report("shred: read-only 307,217-byte file with a Chinese name deleted, no message, path kept");

    EXPECT_EQ(L"操作文件不存在", session.PressForMessage(page, IDC_CRUSH_START));
    e2e::Report("shred: a second start on the same path says 操作文件不存在");
    EXPECT_TRUE(session.Close());
}
