#include "TestHost.h"
#include "resource.h"
#include "support/Pixels.h"
#include "support/PumpUntil.h"
#include "ui/skin/CZendalProgressCtrl.h"
#include "ui/skin/SkinColors.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

const COLORREF kWhite = RGB(255, 255, 255);

COLORREF BarColour(int y)
{
    return RGB(230 - 3 * y, 240 - 3 * y, 250 - 3 * y);
}

class ProgressCtrlTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.Open());
        progress.SetRange(0, 100);
        width = progress.ClientRect().right;
        height = progress.ClientRect().bottom;
        ASSERT_GT(height, 4);
    }

    // Every line of the inner rectangle is bar-coloured left of end and white from end on.
    void ExpectBarEndsAt(const testkit::Pixels& p, int end) const
    {
        for (int y = 1; y < height - 1; ++y) {
            if (end > 1) {
                EXPECT_EQ(BarColour(y), p.At(1, y)) << y;
                EXPECT_EQ(BarColour(y), p.At(end - 1, y)) << y;
            }
            if (end < width - 1) {
                EXPECT_EQ(kWhite, p.At(end, y)) << y;
            }
            EXPECT_EQ(skin::kFrameGrey, p.At(width - 1, y)) << y;
            EXPECT_EQ(skin::kFrameGrey, p.At(0, y)) << y;
        }
    }

    CZendalProgressCtrl progress;
    TestHost host{IDD_SPLIT, [this](fw::DataExchange& dx) { dx.Control(IDC_SPLIT_PROGRESS, progress); }};
    int width = 0;
    int height = 0;
};

} // namespace

TEST_F(ProgressCtrlTest, ShowsTheFrameAloneAtZeroFiftyOneHundredAndFirstsAtFiftyAndAllAtHundred)
{
    progress.SetPos(0);
    testkit::Pixels p = testkit::Pixels::Printed(progress);
    ExpectBarEndsAt(p, 1);
    for (int x = 2; x < width - 2; ++x) {
        EXPECT_EQ(skin::kFrameGrey, p.At(x, 0)) << x;
        EXPECT_EQ(skin::kFrameGrey, p.At(x, height - 1)) << x;
    }
    progress.SetPos(50);
    ExpectBarEndsAt(testkit::Pixels::Printed(progress), (width - 1) * 51 / 101);
    progress.SetPos(100);
    ExpectBarEndsAt(testkit::Pixels::Printed(progress), width - 1);
}

TEST_F(ProgressCtrlTest, PositionsOutsideTheRangeOrAShrunkRangeAreClampedToItsEnds)
{
    progress.SetPos(250);
    EXPECT_EQ(100.0, progress.Pos());
    progress.SetPos(-3);
    EXPECT_EQ(0.0, progress.Pos());
    ExpectBarEndsAt(testkit::Pixels::Printed(progress), 1);

    progress.SetPos(80);
    progress.SetRange(0, 40);
    ExpectBarEndsAt(testkit::Pixels::Printed(progress), width - 1);
    EXPECT_EQ(40.0, progress.Pos());
}

TEST_F(ProgressCtrlTest, OnlyAChangedPositionAsksForARepaint)
{
    progress.SetPos(30);
    ::UpdateWindow(progress);
    progress.SetPos(30);
    EXPECT_FALSE(::GetUpdateRect(progress, nullptr, FALSE));
    progress.SetPos(130);
    EXPECT_TRUE(::GetUpdateRect(progress, nullptr, FALSE));
    ::UpdateWindow(progress);
    progress.SetPos(100);
    EXPECT_FALSE(::GetUpdateRect(progress, nullptr, FALSE));
}

TEST_F(ProgressCtrlTest, AWorkerThreadMovesTheBarWhileThePagePumps)
{
    std::thread worker([this] {
        for (int i = 0; i <= 100; ++i)
            progress.SetPos(i);
    });
    bool full = testkit::PumpUntil([&] {
        testkit::Pixels p = testkit::Pixels::FromScreen(progress);
        return !p.Empty() && p.At(width - 2, 1) == BarColour(1);
    });
    worker.join();
    EXPECT_TRUE(full);
    EXPECT_EQ(100.0, progress.Pos());
}
