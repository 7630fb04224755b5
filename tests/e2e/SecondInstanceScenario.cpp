#include "ProgramSession.h"

#include "resource.h"
#include "support/MessageBoxCatcher.h"
#include "support/PumpUntil.h"
#include "support/RunningProgram.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>

TEST(SecondInstance, SaysTheProgramIsRunningAndEndsWhileTheFirstGoesOn)
{
    testkit::TempProgramFolder folder(true);
    e2e::ProgramSession first(folder.Path());
    ASSERT_TRUE(first.Ready());
    ASSERT_EQ(L"成功登录", first.LogOn(L""));
    HWND encryption = first.PageWith({IDC_ENCRYPT_PASSWORD, IDC_ENCRYPT_CONFIRM});
    ASSERT_TRUE(testkit::PumpUntil([&] { return first.ShownPage() == encryption; }));

    testkit::RunningProgram second(folder);
    ASSERT_TRUE(second.Started());
    testkit::MessageBoxCatcher boxes(second.Id());
    ASSERT_TRUE(boxes.WaitForCount(1));
    DWORD code = 1;
    ASSERT_TRUE(second.WaitForExit(&code));
    EXPECT_EQ(0u, code);
    auto answered = boxes.Boxes();
    ASSERT_EQ(1u, answered.size());
    EXPECT_EQ(L"云杉工坊文件安全已经运行", answered[0].text);
    EXPECT_EQ(L"ZendalFileSa", answered[0].caption);
    e2e::Report("second instance: says 云杉工坊文件安全已经运行 and ends with code 0");

    EXPECT_TRUE(first.Program().Running());
    EXPECT_TRUE(::IsWindowVisible(first.Main()));
    EXPECT_EQ(encryption, first.ShownPage());
    e2e::Report("second instance: the first keeps running on the page it showed");
    EXPECT_TRUE(first.Close());
}
