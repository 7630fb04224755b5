#include "framework/ClientDC.h"
#include "framework/DataExchange.h"
#include "framework/MemoryDC.h"
#include "framework/MessageMap.h"
#include "framework/SelectObjectScope.h"
#include "framework/UniqueHandle.h"
#include "resource.h"
#include "support/Input.h"
#include "support/Pixels.h"
#include "support/PumpUntil.h"
#include "ui/skin/CZendalButton.h"
#include "ui/skin/CZendalButtonBitmap.h"
#include "ui/skin/CZendalButtonFrame.h"
#include "ui/skin/CZendalDialog.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const UINT kFrameNotify = WM_APP + 7;

// The shredding page's template, with its start button skinned, its browse
// button turned into a frame button, and the frame reports recorded.
class ButtonPage : public CZendalDialog {
public:
    CZendalButton button;
    CZendalButtonFrame frame;
    std::vector<WPARAM> reports;

    ButtonPage() : CZendalDialog(IDD_CRUSH) {}

    bool ProcessMessage(fw::Message& m) override
    {
        return fw::Dispatch(this, m, fw::OnMessage(kFrameNotify, &ButtonPage::OnFrameReport))
            || CZendalDialog::ProcessMessage(m);
    }

protected:
    void DoDataExchange(fw::DataExchange& dx) override
    {
        dx.Control(IDC_CRUSH_START, button);
        dx.Control(IDC_CRUSH_BROWSE, frame);
        frame.notifyMessage = kFrameNotify;
    }

private:
    LRESULT OnFrameReport(WPARAM highlighted, LPARAM)
    {
        reports.push_back(highlighted);
        return 0;
    }
};

class NavigationHost : public fw::Dialog {
public:
    CZendalButtonBitmap button;
    NavigationHost() : fw::Dialog(IDD_SUBMAIN) {}

protected:
    void DoDataExchange(fw::DataExchange& dx) override { dx.Control(IDC_NAV_ENCRYPT, button); }
};

// Sends the parent a real owner-draw request for the button, drawing into a bitmap.
testkit::Pixels Render(fw::Window parent, HWND button, UINT itemState)
{
    RECT rc{};
    ::GetClientRect(button, &rc);
    fw::ClientDC screen(nullptr);
    fw::MemoryDC memory(screen);
    fw::Bitmap bitmap(::CreateCompatibleBitmap(screen, rc.right, rc.bottom));
    {
        fw::SelectObjectScope select(memory, bitmap.Get());
        DRAWITEMSTRUCT item{ODT_BUTTON, static_cast<UINT>(::GetDlgCtrlID(button)), 0, ODA_DRAWENTIRE, itemState,
                            button, memory, rc, 0};
        parent.Send(WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
    }
    return testkit::Pixels::FromBitmap(bitmap.Get());
}

// The bounding box of the label's dark pixels.
RECT TextBox(const testkit::Pixels& pixels)
{
    RECT box{pixels.Width(), pixels.Height(), -1, -1};
    for (int y = 3; y < pixels.Height() - 3; ++y) {
        for (int x = 3; x < pixels.Width() - 3; ++x) {
            COLORREF c = pixels.At(x, y);
            if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 250) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x);
                box.bottom = std::max<LONG>(box.bottom, y);
            }
        }
    }
    return box;
}

class SkinnedButtonTest : public testing::Test {
protected:
    void SetUp() override
    {
        parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 600, 500, nullptr, nullptr,
                                   nullptr, nullptr);
        ASSERT_TRUE(page.Create(parent));
        page.Show();
        ::SetForegroundWindow(parent);
    }
    void TearDown() override { ::DestroyWindow(parent); }

    testkit::Pixels Draw(UINT itemState) { return Render(page, page.button, itemState); }

    HWND parent = nullptr;
    ButtonPage page;
};

} // namespace

TEST_F(SkinnedButtonTest, NormalButtonHasCyanBorderWhiteInnerLineAndPaleCyanGradient)
{
    testkit::Pixels p = Draw(0);
    int mid = p.Width() / 2;
    EXPECT_EQ(RGB(55, 215, 230), p.At(mid, 0));
    EXPECT_EQ(RGB(55, 215, 230), p.At(mid, p.Height() - 1));
    EXPECT_EQ(RGB(255, 255, 255), p.At(mid, 1));
    EXPECT_EQ(RGB(245, 255, 255), p.At(0, 0)) << "corners blend into the page";
    EXPECT_EQ(RGB(210, 254, 254), p.At(4, 5));
    EXPECT_EQ(RGB(195, 252, 252), p.At(4, 10));
    EXPECT_EQ(0, page.button.visualState);
}

TEST_F(SkinnedButtonTest, HotAndPressedButtonsTurnGoldenAndPressedMovesTheTextOneDownRight)
{
    page.button.Send(WM_MOUSEHOVER);
    testkit::Pixels hot = Draw(0);
    EXPECT_EQ(1, page.button.visualState);
    EXPECT_EQ(RGB(190, 165, 5), hot.At(hot.Width() / 2, 0));
    EXPECT_EQ(RGB(244, 238, 155), hot.At(4, 5));

    testkit::Pixels pressed = Draw(ODS_SELECTED | ODS_FOCUS);
    EXPECT_EQ(2, page.button.visualState);
    EXPECT_EQ(RGB(190, 165, 5), pressed.At(pressed.Width() / 2, 0));
    EXPECT_EQ(RGB(244, 238, 155), pressed.At(4, 5));

    RECT hotText = TextBox(hot);
    RECT pressedText = TextBox(pressed);
    ASSERT_GE(hotText.right, hotText.left) << "no label drawn";
    EXPECT_EQ(hotText.left + 1, pressedText.left);
    EXPECT_EQ(hotText.top + 1, pressedText.top);
}

TEST_F(SkinnedButtonTest, FocusedButtonUsesTheEmphasisedGradientWithTheNormalBorder)
{
    testkit::Pixels p = Draw(ODS_FOCUS);
    EXPECT_EQ(3, page.button.visualState);
    EXPECT_EQ(RGB(55, 215, 230), p.At(p.Width() / 2, 0));
    EXPECT_EQ(RGB(210, 250, 250), p.At(4, 5));
    EXPECT_EQ(1, page.button.focus);
    EXPECT_EQ(1, page.button.emphasised);
}

TEST_F(SkinnedButtonTest, DisabledButtonIsGreyEvenWhileHot)
{
    page.button.Send(WM_MOUSEHOVER);
    testkit::Pixels p = Draw(ODS_DISABLED);
    EXPECT_EQ(4, page.button.visualState);
    EXPECT_EQ(RGB(150, 150, 150), p.At(p.Width() / 2, 0));
    EXPECT_EQ(RGB(220, 220, 220), p.At(4, 5));
}

TEST(SkinnedButtonGradient, ChannelsWrapAroundInEightBits)
{
    EXPECT_EQ(RGB(245 - 13, 240 - 20, (180 - 200) & 0xFF), CZendalButton::GradientColor(CZendalButtonBase::Hot, 40));
    EXPECT_EQ(RGB((225 - 240) & 0xFF, 255 - 26, 255 - 26), CZendalButton::GradientColor(CZendalButtonBase::Normal, 80));
    EXPECT_EQ(RGB((230 - 260) & 0xFF, (230 - 260) & 0xFF, (230 - 260) & 0xFF),
              CZendalButton::GradientColor(CZendalButtonBase::Disabled, 130));
}

TEST_F(SkinnedButtonTest, FrameButtonTracksTheMouseAndReportsNormalAfterItLeaves)
{
    RECT rc = page.frame.WindowRect();
    testkit::MoveCursorTo(POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
    ASSERT_TRUE(testkit::PumpUntil([&] { return page.frame.tracking == 1; }));

    testkit::MoveCursorTo(POINT{rc.right + 150, rc.bottom + 150});
    ASSERT_TRUE(testkit::PumpUntil([&] { return page.frame.tracking == 0 && !page.reports.empty(); }));
    EXPECT_EQ(0u, page.reports.back());
    EXPECT_EQ(0, page.frame.hover);
}

TEST_F(SkinnedButtonTest, FrameButtonReportsHotOnHoverAndNormalOnLeave)
{
    // What the system's tracking sends once the mouse rests and after it
    // leaves, sent by the test with the cursor elsewhere: Wine's hover timer
    // is not dependable once earlier windows of the test process are gone.
    RECT rc = page.frame.WindowRect();
    testkit::MoveCursorTo(POINT{rc.right + 150, rc.bottom + 150});
    page.reports.clear();
    page.frame.Send(WM_MOUSEHOVER);
    ASSERT_TRUE(testkit::PumpUntil([&] { return !page.reports.empty(); }));
    EXPECT_EQ(1u, page.reports.back());
    EXPECT_EQ(1, page.frame.hover);
    page.frame.Send(WM_MOUSELEAVE);
    ASSERT_TRUE(testkit::PumpUntil([&] { return page.reports.back() == 0; }));
    EXPECT_EQ(0, page.frame.hover);
    EXPECT_EQ(0, page.frame.tracking);
}

TEST_F(SkinnedButtonTest, FrameButtonPaintsNothingAndReportsPressedAndDisabledAsHighlighted)
{
    page.reports.clear();
    Render(page, page.frame, ODS_SELECTED);
    Render(page, page.frame, ODS_DISABLED);
    Render(page, page.frame, ODS_FOCUS);
    EXPECT_EQ((std::vector<WPARAM>{1, 1, 0}), page.reports);
}

TEST(NavigationButton, KeepsTheCurrentFaceWhileHotOrPressedAndDrawsGreyText)
{
    HWND parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    NavigationHost host;
    ASSERT_TRUE(host.Create(parent));
    host.button.LoadBitmaps();
    testkit::Pixels normalFace = testkit::Pixels::FromBitmap(host.button.normalFace.Get());
    testkit::Pixels hotFace = testkit::Pixels::FromBitmap(host.button.hotFace.Get());
    testkit::Pixels currentFace = testkit::Pixels::FromBitmap(host.button.currentFace.Get());
    ASSERT_EQ(138, currentFace.Width());
    ASSERT_EQ(30, currentFace.Height());
    ASSERT_NE(hotFace.At(2, 15), currentFace.At(2, 15)) << "faces must differ for this test";

    EXPECT_EQ(normalFace.At(2, 15), Render(host, host.button, 0).At(2, 15));
    host.button.Send(WM_MOUSEHOVER);
    EXPECT_EQ(hotFace.At(2, 15), Render(host, host.button, 0).At(2, 15));
    EXPECT_EQ(hotFace.At(2, 15), Render(host, host.button, ODS_SELECTED).At(2, 15));

    host.button.current = 1;
    EXPECT_EQ(currentFace.At(2, 15), Render(host, host.button, 0).At(2, 15));
    testkit::Pixels pressed = Render(host, host.button, ODS_SELECTED);
    EXPECT_EQ(currentFace.At(2, 15), pressed.At(2, 15));

    COLORREF darkest = RGB(255, 255, 255);
    for (int y = 0; y < pressed.Height(); ++y)
        for (int x = 0; x < pressed.Width(); ++x) {
            COLORREF c = pressed.At(x, y);
            if (GetRValue(c) + GetGValue(c) + GetBValue(c) < GetRValue(darkest) + GetGValue(darkest) + GetBValue(darkest))
                darkest = c;
        }
    EXPECT_EQ(RGB(100, 100, 100), darkest);
    ::DestroyWindow(parent);
}
