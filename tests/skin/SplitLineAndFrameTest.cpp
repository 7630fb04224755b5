#include "TestHost.h"
#include "resource.h"
#include "support/Pixels.h"
#include "ui/skin/CZendalColorFrame.h"
#include "ui/skin/CZendalSplitLine.h"
#include "ui/skin/SkinColors.h"

#include <gtest/gtest.h>

TEST(SplitLine, DrawsAGreyDotEveryFourPixelsOnItsTopRowOnly)
{
    CZendalSplitLine line;
    TestHost host(IDD_ABOUTBOX, [&](fw::DataExchange& dx) { dx.Control(IDC_ABOUT_SPLITLINE, line); });
    ASSERT_TRUE(host.Open());
    testkit::Pixels p = testkit::Pixels::Printed(line);
    ASSERT_GT(p.Width(), 8);
    ASSERT_GT(p.Height(), 1);
    for (int x = 0; x < p.Width(); ++x) {
        EXPECT_EQ(x % 4 == 0, p.At(x, 0) == skin::kGreyText) << x;
        EXPECT_NE(skin::kGreyText, p.At(x, 1)) << x;
    }
}

TEST(ColorFrame, FramesTheListAreaInItsColourAndLeavesTheInsideAlone)
{
    CZendalColorFrame frame;
    TestHost host(IDD_FILEPROTECT, [&](fw::DataExchange& dx) { dx.Control(IDC_PROTECT_FRAME, frame); });
    ASSERT_TRUE(host.Open());
    frame.SetFrameColor(skin::kFrameGrey);
    testkit::Pixels p = testkit::Pixels::Printed(frame);
    int w = p.Width(), h = p.Height();
    ASSERT_GT(w, 4);
    for (int x = 0; x < w; ++x) {
        EXPECT_EQ(skin::kFrameGrey, p.At(x, 0)) << x;
        EXPECT_EQ(skin::kFrameGrey, p.At(x, h - 1)) << x;
    }
    for (int y = 0; y < h; ++y) {
        EXPECT_EQ(skin::kFrameGrey, p.At(0, y)) << y;
        EXPECT_EQ(skin::kFrameGrey, p.At(w - 1, y)) << y;
    }
    EXPECT_NE(skin::kFrameGrey, p.At(1, 1));
    EXPECT_NE(skin::kFrameGrey, p.At(w / 2, h / 2));

    frame.SetFrameColor(RGB(200, 10, 20));
    testkit::Pixels red = testkit::Pixels::Printed(frame);
    EXPECT_EQ(RGB(200, 10, 20), red.At(w / 2, 0));
    EXPECT_EQ(RGB(200, 10, 20), red.At(w - 1, h / 2));
}
