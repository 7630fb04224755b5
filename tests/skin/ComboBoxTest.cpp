#include "ScreenShot.h"
#include "TestHost.h"
#include "resource.h"
#include "support/PumpUntil.h"
#include "ui/skin/CZendalComboBox.h"
#include "ui/skin/SkinColors.h"

#include <gtest/gtest.h>

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kDisabledGrey = RGB(235, 235, 235);
const COLORREF kButtonNormal = RGB(155, 225, 240);
const COLORREF kButtonHot = RGB(235, 170, 95);

class ComboBoxTest : public testing::Test {
protected:
    void TearDown() override { TestHost::MoveCursorAway(); }

    void SetUp() override
    {
        ASSERT_TRUE(host.Open());
        combo.AddString(L"文件分割");
        combo.AddString(L"文件合并");
        combo.SetCurSel(0);
        ::UpdateWindow(combo);
        RECT client = combo.ClientRect();
        width = client.right;
        height = client.bottom;
        buttonLeft = width - 1 - ::GetSystemMetrics(SM_CXHTHUMB) + 1;
    }

    COLORREF ButtonFace() const { return ScreenShot(combo).At(buttonLeft + 1, 2); }

    void ExpectSkin(COLORREF innerFrames, COLORREF face) const
    {
        ScreenShot shot(combo);
        EXPECT_EQ(skin::kFrameGrey, shot.At(0, height / 2));
        EXPECT_EQ(skin::kFrameGrey, shot.At(width / 3, 0));
        EXPECT_EQ(skin::kFrameGrey, shot.At(width / 3, height - 1));
        EXPECT_EQ(innerFrames, shot.At(1, height / 2));
        EXPECT_EQ(innerFrames, shot.At(2, height / 2));
        EXPECT_EQ(innerFrames, shot.At(width / 3, 1));
        EXPECT_EQ(innerFrames, shot.At(width / 3, height - 3));
        // White strip, the button frame's left line, the face and the arrow's first line.
        EXPECT_EQ(kWhite, shot.At(buttonLeft - 3, height / 2));
        EXPECT_EQ(skin::kFrameGrey, shot.At(buttonLeft - 1, height / 2));
        EXPECT_EQ(face, shot.At(buttonLeft, 1));
        EXPECT_EQ(face, shot.At(width - 2, height - 2));
        EXPECT_EQ(face, shot.At(buttonLeft + 3, 8));
        EXPECT_EQ(RGB(0, 0, 0), shot.At(buttonLeft + 4, 8));
        EXPECT_EQ(RGB(0, 0, 0), shot.At(width - 1 - 5, 8));
        EXPECT_EQ(face, shot.At(width - 1 - 4, 8));
        EXPECT_EQ(RGB(0, 0, 0), shot.At(buttonLeft + 7, 11));
        EXPECT_EQ(face, shot.At(buttonLeft + 6, 11));
    }

    void PutCursor(bool inside) const
    {
        RECT r = combo.WindowRect();
        if (inside)
            ::SetCursorPos(r.left + width / 2, r.top + height / 2);
        else
            TestHost::MoveCursorAway();
    }

    CZendalComboBox combo;
    TestHost host{IDD_SPLIT, [this](fw::DataExchange& dx) { dx.Control(IDC_SPLIT_OPERATION, combo); }};
    int width = 0;
    int height = 0;
    int buttonLeft = 0;
};

} // namespace

TEST_F(ComboBoxTest, PaintsAFlatFrameWithWhiteInnerFramesAndALightBlueButton)
{
    ASSERT_GT(height, 12);
    ExpectSkin(kWhite, kButtonNormal);
    EXPECT_EQ(0u, combo.ExStyle() & (WS_EX_STATICEDGE | WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME));
}

TEST_F(ComboBoxTest, TheButtonTurnsOrangeWhileTheMouseIsOverItAndBackWhenItLeaves)
{
    PutCursor(true);
    combo.Send(WM_MOUSEMOVE, 0, MAKELPARAM(width / 2, height / 2));
    EXPECT_TRUE(testkit::PumpUntil([&] { return ButtonFace() == kButtonHot; }));
    ExpectSkin(kWhite, kButtonHot);
    PutCursor(false);
    EXPECT_TRUE(testkit::PumpUntil([&] { return ButtonFace() == kButtonNormal; }));
}

TEST_F(ComboBoxTest, PressingTheButtonStopsTheHoverPolling)
{
    PutCursor(true);
    combo.Send(WM_MOUSEMOVE, 0, MAKELPARAM(width / 2, height / 2));
    ASSERT_TRUE(testkit::PumpUntil([&] { return ButtonFace() == kButtonHot; }));
    combo.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(width / 2, height / 2));
    combo.Send(WM_TIMER, CZendalComboBox::kHoverTimer);
    EXPECT_FALSE(::KillTimer(combo, CZendalComboBox::kHoverTimer));
    combo.Send(WM_LBUTTONUP, 0, MAKELPARAM(width / 2, height / 2));
    combo.Send(CB_SHOWDROPDOWN, FALSE);
}

TEST_F(ComboBoxTest, FocusShowsTheHotLookUntilItGoes)
{
    combo.Send(WM_SETFOCUS);
    ::ValidateRect(combo, nullptr);
    ExpectSkin(kWhite, kButtonHot);
    combo.Send(WM_KILLFOCUS);
    ::ValidateRect(combo, nullptr);
    ExpectSkin(kWhite, kButtonNormal);
}

TEST_F(ComboBoxTest, ADisabledComboIsGreyInsideAndOnItsButtonInBothLooks)
{
    combo.Enable(false);
    ::UpdateWindow(combo);
    ExpectSkin(kDisabledGrey, kDisabledGrey);
    combo.Send(WM_SETFOCUS);
    ::ValidateRect(combo, nullptr);
    ExpectSkin(kDisabledGrey, kDisabledGrey);
}
