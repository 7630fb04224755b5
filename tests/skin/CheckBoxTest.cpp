#include "TestHost.h"
#include "resource.h"
#include "support/Pixels.h"
#include "support/PumpUntil.h"
#include "ui/skin/CZendalCheckBox.h"
#include "ui/skin/SkinColors.h"

#include <gtest/gtest.h>

namespace {

const COLORREF kBlue = RGB(30, 155, 255);
const COLORREF kBoxInside = RGB(245, 245, 245);
const COLORREF kHotFrame = RGB(240, 230, 100);
const int kStrokeStarts[] = {2, 3, 4, 3, 2, 1, 0};

class CheckBoxTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.Open());
        box = host.Item(IDC_PROTECT_MODE_O);
    }

    void TearDown() override { TestHost::MoveCursorAway(); }

    // The check box as drawn now; the box's vertical centre.
    testkit::Pixels Draw() const { return testkit::Pixels::Printed(box); }
    int Centre() const { return box.ClientRect().bottom / 2; }

    void ExpectBoxRings(const testkit::Pixels& p, COLORREF ring1, COLORREF ring2) const
    {
        int top = Centre() - 6;
        for (int i = 0; i < 13; ++i) {
            EXPECT_EQ(skin::kFrameGrey, p.At(i, top)) << i;
            EXPECT_EQ(skin::kFrameGrey, p.At(i, top + 12)) << i;
            EXPECT_EQ(skin::kFrameGrey, p.At(0, top + i)) << i;
            EXPECT_EQ(skin::kFrameGrey, p.At(12, top + i)) << i;
        }
        for (int i = 1; i < 12; ++i) {
            EXPECT_EQ(ring1, p.At(i, top + 1)) << i;
            EXPECT_EQ(ring1, p.At(11, top + i)) << i;
        }
        for (int i = 2; i < 11; ++i) {
            EXPECT_EQ(ring2, p.At(i, top + 2)) << i;
            EXPECT_EQ(ring2, p.At(2, top + i)) << i;
        }
    }

    // Whether exactly the check mark's 21 pixels are blue in the inner area.
    void ExpectMark(const testkit::Pixels& p, bool shown) const
    {
        int x0 = 3, y0 = Centre() - 3;
        for (int i = 0; i < 7; ++i)
            for (int row = 0; row < 7; ++row) {
                bool stroke = row >= kStrokeStarts[i] && row < kStrokeStarts[i] + 3;
                EXPECT_EQ(shown && stroke ? kBlue : kBoxInside, p.At(x0 + i, y0 + row)) << i << "," << row;
            }
    }

    CZendalCheckBox check;
    TestHost host{IDD_FILEPROTECT, [this](fw::DataExchange& dx) { dx.Control(IDC_PROTECT_MODE_O, check); }};
    fw::Window box;
};

} // namespace

TEST_F(CheckBoxTest, BecomesOwnerDrawnAndDrawsAThirteenPixelBoxOnThePageBackground)
{
    EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), box.Style() & 0x1F);
    testkit::Pixels p = Draw();
    ASSERT_FALSE(p.Empty());
    ExpectBoxRings(p, kBoxInside, kBoxInside);
    ExpectMark(p, false);
    EXPECT_EQ(skin::kPageBackground, p.At(14, Centre()));
    EXPECT_EQ(skin::kPageBackground, p.At(5, 0));
    EXPECT_EQ(skin::kPageBackground, p.At(p.Width() - 1, p.Height() - 1));
}

TEST_F(CheckBoxTest, SetCheckShowsTheMarkForCheckedAndIndeterminateAndGetCheckReportsOne)
{
    EXPECT_EQ(0, box.Send(BM_SETCHECK, BST_INDETERMINATE));
    EXPECT_EQ(1, box.Send(BM_GETCHECK));
    ExpectMark(Draw(), true);

    box.Send(BM_SETCHECK, BST_UNCHECKED);
    EXPECT_EQ(0, box.Send(BM_GETCHECK));
    ExpectMark(Draw(), false);

    box.Send(BM_SETCHECK, BST_CHECKED);
    EXPECT_EQ(1, box.Send(BM_GETCHECK));
    ExpectMark(Draw(), true);
}

TEST_F(CheckBoxTest, AClickPostsThePageACommandFromTheControlIdAfterTheMarkToggled)
{
    std::vector<TestHost::Command> clicks;
    std::vector<LRESULT> stateSeen;
    host.onCommand = [&](const TestHost::Command& command) {
        if (command.wParam == MAKEWPARAM(IDC_PROTECT_MODE_O, BN_CLICKED)) {
            clicks.push_back(command);
            stateSeen.push_back(box.Send(BM_GETCHECK));
        }
    };

    box.Send(BM_CLICK);
    ASSERT_TRUE(testkit::PumpUntil([&] { return clicks.size() == 1; }));
    EXPECT_EQ(0, clicks[0].lParam);
    EXPECT_EQ(1, stateSeen[0]);
    ExpectMark(Draw(), true);

    box.Send(BM_CLICK);
    ASSERT_TRUE(testkit::PumpUntil([&] { return clicks.size() == 2; }));
    EXPECT_EQ(0, clicks[1].lParam);
    EXPECT_EQ(0, stateSeen[1]);
    ExpectMark(Draw(), false);
    testkit::PumpPending();
    EXPECT_EQ(2u, clicks.size());
}

TEST_F(CheckBoxTest, TheMouseOverTheBoxLightsTwoFramesUntilItLeaves)
{
    RECT screen = box.WindowRect();
    ::SetCursorPos(screen.left + 5, screen.top + Centre());
    ASSERT_TRUE(testkit::PumpUntil([&] { return Draw().At(5, Centre() - 5) == kHotFrame; }));
    ExpectBoxRings(Draw(), kHotFrame, kHotFrame);
    ExpectMark(Draw(), false);

    TestHost::MoveCursorAway();
    ASSERT_TRUE(testkit::PumpUntil([&] { return Draw().At(5, Centre() - 5) == kBoxInside; }));
    ExpectBoxRings(Draw(), kBoxInside, kBoxInside);
}
