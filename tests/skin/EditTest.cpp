#include "ScreenShot.h"
#include "TestHost.h"
#include "framework/ClientDC.h"
#include "resource.h"
#include "ui/skin/CZendalEdit.h"
#include "ui/skin/SkinColors.h"

#include <gtest/gtest.h>

namespace {

const COLORREF kWhite = RGB(255, 255, 255);

class EditTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host.Open()); }

    void ExpectBorder(COLORREF outer, COLORREF inner) const
    {
        ScreenShot shot(edit);
        int w = shot.Width(), h = shot.Height();
        for (int x = 0; x < w; ++x) {
            EXPECT_EQ(outer, shot.At(x, 0)) << x;
            EXPECT_EQ(outer, shot.At(x, h - 1)) << x;
        }
        for (int y = 0; y < h; ++y) {
            EXPECT_EQ(outer, shot.At(0, y)) << y;
            EXPECT_EQ(outer, shot.At(w - 1, y)) << y;
        }
        for (int x = 1; x < w - 1; ++x) {
            EXPECT_EQ(inner, shot.At(x, 1)) << x;
            EXPECT_EQ(inner, shot.At(x, h - 2)) << x;
        }
        for (int y = 1; y < h - 1; ++y) {
            EXPECT_EQ(inner, shot.At(1, y)) << y;
            EXPECT_EQ(inner, shot.At(w - 2, y)) << y;
        }
    }

    // Asks the page for the edit's colours as the edit itself does.
    LOGBRUSH ColourRequest(UINT message, COLORREF* text) const
    {
        fw::ClientDC dc(edit);
        auto brush = reinterpret_cast<HBRUSH>(
            host.Send(message, reinterpret_cast<WPARAM>(dc.Get()), reinterpret_cast<LPARAM>(edit.Handle())));
        *text = ::GetTextColor(dc);
        LOGBRUSH info{};
        ::GetObjectW(brush, sizeof(info), &info);
        return info;
    }

    CZendalEdit edit;
    TestHost host{IDD_SPLIT, [this](fw::DataExchange& dx) { dx.Control(IDC_SPLIT_PATH, edit); }};
};

} // namespace

TEST_F(EditTest, DrawsItsTwoLineBorderAfterTheControlsOwnNonClientPaint)
{
    ExpectBorder(skin::kFrameGrey, kWhite);
    edit.SetColors(RGB(0, 0, 0), RGB(10, 200, 30), RGB(200, 20, 10), kWhite);
    ::SetWindowPos(edit, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    ::UpdateWindow(edit);
    ExpectBorder(RGB(200, 20, 10), RGB(10, 200, 30));
}

TEST_F(EditTest, AnswersItsOwnColourRequestsAndItsTextSitsOnItsBackgroundEnabledOrDisabled)
{
    COLORREF text = 0;
    EXPECT_EQ(kWhite, ColourRequest(WM_CTLCOLOREDIT, &text).lbColor);
    EXPECT_EQ(RGB(0, 0, 0), text);

    const COLORREF cream = RGB(250, 250, 200);
    edit.SetColors(RGB(0, 0, 120), kWhite, skin::kFrameGrey, cream);
    EXPECT_EQ(cream, ColourRequest(WM_CTLCOLOREDIT, &text).lbColor);
    EXPECT_EQ(RGB(0, 0, 120), text);
    EXPECT_EQ(cream, ColourRequest(WM_CTLCOLORSTATIC, &text).lbColor);

    edit.SetText(L"WWWWWWWW MMMMMM");
    for (bool enabled : {true, false}) {
        edit.Enable(enabled);
        ::UpdateWindow(edit);
        ScreenShot shot(edit);
        int whitePixels = 0;
        for (int y = 2; y < shot.Height() - 2; ++y)
            for (int x = 2; x < shot.Width() - 2; ++x)
                whitePixels += shot.At(x, y) == kWhite;
        EXPECT_EQ(cream, shot.At(shot.Width() - 4, shot.Height() / 2)) << enabled;
        EXPECT_EQ(0, whitePixels) << enabled;
    }
}
