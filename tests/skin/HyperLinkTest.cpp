#include "TestHost.h"
#include "resource.h"
#include "support/Pixels.h"
#include "support/PumpUntil.h"
#include "ui/skin/CZendalHyperLink.h"
#include "ui/skin/SkinColors.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const COLORREF kBlue = RGB(0, 0, 200);
const COLORREF kRed = RGB(200, 0, 0);

struct ShellCall {
    HWND owner;
    std::wstring verb;
    std::wstring file;
    bool noParameters;
    bool noDirectory;
    INT show;
};

std::vector<ShellCall> g_shellCalls;

HINSTANCE WINAPI RecordShellCall(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                                 INT show)
{
    g_shellCalls.push_back({owner, verb ? verb : L"", file ? file : L"", parameters == nullptr,
                            directory == nullptr, show});
    return reinterpret_cast<HINSTANCE>(33);
}

bool Shows(const testkit::Pixels& p, COLORREF colour)
{
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x)
            if (p.At(x, y) == colour)
                return true;
    return false;
}

class HyperLinkTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_shellCalls.clear();
        link.SetOpenFunction(&RecordShellCall);
        ASSERT_TRUE(host.Open());
        link.SetTarget(L"http://www.example.com/");
    }

    // Which of the three link colours the text is drawn in now.
    void ExpectColour(COLORREF expected) const
    {
        testkit::Pixels p = testkit::Pixels::Printed(link);
        for (COLORREF colour : {skin::kGreyText, kBlue, kRed})
            EXPECT_EQ(colour == expected, Shows(p, colour)) << std::hex << colour;
    }

    POINT Inside() const { return POINT{3, link.ClientRect().bottom / 2}; }

    void Hover()
    {
        link.Send(WM_MOUSEMOVE, 0, MAKELPARAM(Inside().x, Inside().y));
    }

    CZendalHyperLink link;
    TestHost host{IDD_SUBMAIN, [this](fw::DataExchange& dx) { dx.Control(IDC_LINK_SITE, link); }};
};

} // namespace

TEST_F(HyperLinkTest, ReportsClicksAndShowsAnUnderlinedFontAndAHandCursor)
{
    EXPECT_TRUE(link.Style() & SS_NOTIFY);
    LOGFONTW font{};
    ASSERT_TRUE(::GetObjectW(reinterpret_cast<HFONT>(link.Send(WM_GETFONT)), sizeof(font), &font));
    EXPECT_TRUE(font.lfUnderline);
    LRESULT handled = link.Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(link.Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(TRUE, handled);
    EXPECT_EQ(::LoadCursorW(nullptr, IDC_HAND), ::GetCursor());
}

TEST_F(HyperLinkTest, IsGreyThenBlueUnderTheMouseAndGreyAgainWhenTheMouseLeaves)
{
    ExpectColour(skin::kGreyText);
    Hover();
    EXPECT_EQ(link.Handle(), ::GetCapture());
    ExpectColour(kBlue);

    LONG outside = link.ClientRect().right + 10;
    link.Send(WM_MOUSEMOVE, 0, MAKELPARAM(outside, Inside().y));
    EXPECT_NE(link.Handle(), ::GetCapture());
    ExpectColour(skin::kGreyText);
}

TEST_F(HyperLinkTest, AClickOpensTheTargetWithTheShellAndTurnsTheLinkRedForGood)
{
    Hover();
    link.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(Inside().x, Inside().y));
    link.Send(WM_LBUTTONUP, 0, MAKELPARAM(Inside().x, Inside().y));
    ASSERT_EQ(1u, g_shellCalls.size());
    EXPECT_EQ(L"open", g_shellCalls[0].verb);
    EXPECT_EQ(L"http://www.example.com/", g_shellCalls[0].file);
    EXPECT_TRUE(g_shellCalls[0].noParameters);
    EXPECT_TRUE(g_shellCalls[0].noDirectory);
    EXPECT_EQ(SW_SHOWNORMAL, g_shellCalls[0].show);
    EXPECT_TRUE(link.IsVisited());
    ExpectColour(kRed);

    link.Send(WM_MOUSEMOVE, 0, MAKELPARAM(link.ClientRect().right + 10, 0));
    ExpectColour(kRed);

    // A link without target opens nothing, not the current folder.
    link.SetTarget(L"");
    link.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(Inside().x, Inside().y));
    EXPECT_EQ(1u, g_shellCalls.size());
    for (const auto& command : host.commands)
        EXPECT_NE(IDC_LINK_SITE, LOWORD(command.wParam));
}

TEST(HyperLinkFont, TheControlGetsItsOwnFontBackAndTheUnderlinedCopyIsReleased)
{
    auto link = std::make_unique<CZendalHyperLink>();
    HWND control = nullptr;
    HFONT original = nullptr;
    TestHost host(IDD_SUBMAIN, [&](fw::DataExchange& dx) {
        control = ::GetDlgItem(dx.Dialog(), IDC_LINK_FORUM);
        original = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
        dx.Control(IDC_LINK_FORUM, *link);
    });
    ASSERT_TRUE(host.Open());
    auto underlined = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
    ASSERT_NE(original, underlined);
    link.reset();
    EXPECT_EQ(original, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    EXPECT_EQ(0u, ::GetObjectType(underlined));
}
