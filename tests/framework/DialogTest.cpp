#include "framework/Button.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/Edit.h"
#include "framework/MessageMap.h"
#include "framework/UniqueHandle.h"
#include "resource.h"
#include "support/PumpUntil.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// An owner-drawn button that answers its own click and its own drawing.
class SelfDrawnButton : public fw::Button {
public:
    int clicks = 0;
    int draws = 0;

    bool ProcessMessage(fw::Message& m) override
    {
        using Self = SelfDrawnButton;
        return fw::Dispatch(this, m,
                            fw::OnReflectedCommand(BN_CLICKED, &Self::OnClicked),
                            fw::OnDrawItem(&Self::DrawItem))
            || fw::Button::ProcessMessage(m);
    }

protected:
    void PreSubclassWindow() override { ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW); }

private:
    void OnClicked() { ++clicks; }
    void DrawItem(const DRAWITEMSTRUCT&) { ++draws; }
};

// An edit that chooses its own colours.
class ColouredEdit : public fw::Edit {
public:
    fw::Brush brush{::CreateSolidBrush(RGB(1, 2, 3))};

    bool ProcessMessage(fw::Message& m) override
    {
        return fw::Dispatch(this, m, fw::OnReflectedCtlColor(&ColouredEdit::OnCtlColor)) || fw::Edit::ProcessMessage(m);
    }

private:
    HBRUSH OnCtlColor(HDC, HWND, UINT) { return brush.Get(); }
};

class TestPage : public fw::Dialog {
public:
    SelfDrawnButton button;
    ColouredEdit edit;
    int parentClicks = 0;
    int editChanges = 0;
    int staticColourRequests = 0;
    bool throwOnTimer = false;
    fw::Brush pageBrush{::CreateSolidBrush(RGB(4, 5, 6))};

    TestPage() : fw::Dialog(IDD_LOGON) {}

    bool ProcessMessage(fw::Message& m) override
    {
        using Self = TestPage;
        return fw::Dispatch(this, m,
                            fw::OnCommand(IDC_LOGON_BUTTON, &Self::OnButton),
                            fw::OnCommand(IDC_LOGON_PASSWORD, EN_CHANGE, &Self::OnEditChange),
                            fw::OnCtlColor(&Self::OnCtlColor),
                            fw::OnMessage(WM_TIMER, &Self::OnTimer))
            || fw::Dialog::ProcessMessage(m);
    }

protected:
    void DoDataExchange(fw::DataExchange& dx) override
    {
        dx.Control(IDC_LOGON_BUTTON, button);
        dx.Control(IDC_LOGON_PASSWORD, edit);
    }

private:
    void OnButton() { ++parentClicks; }
    void OnEditChange() { ++editChanges; }
    HBRUSH OnCtlColor(HDC, HWND, UINT kind)
    {
        if (kind == CTLCOLOR_STATIC)
            ++staticColourRequests;
        return pageBrush.Get();
    }
    LRESULT OnTimer(WPARAM, LPARAM)
    {
        if (throwOnTimer)
            throw std::runtime_error("handler failure");
        return 0;
    }
};

class DialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 600, 500, nullptr, nullptr,
                                   nullptr, nullptr);
        ASSERT_TRUE(page.Create(parent));
        page.Show();
        ::UpdateWindow(page);
    }

    void TearDown() override { ::DestroyWindow(parent); }

    HWND parent = nullptr;
    TestPage page;
};

} // namespace

TEST_F(DialogTest, DataExchangeSubclassesEachControlIntoItsObjectAfterThePreSubclassHook)
{
    EXPECT_EQ(&page.button, fw::WindowObject::FromHandle(page.Item(IDC_LOGON_BUTTON)));
    EXPECT_EQ(&page.edit, fw::WindowObject::FromHandle(page.Item(IDC_LOGON_PASSWORD)));
    EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), page.button.Style() & BS_TYPEMASK);
    EXPECT_TRUE(testkit::PumpUntil([&] { return page.button.draws > 0; }));
}

TEST_F(DialogTest, AControlThatAnswersItsOwnClickKeepsItFromTheParent)
{
    page.button.Send(BM_CLICK);
    testkit::PumpPending();
    EXPECT_EQ(1, page.button.clicks);
    EXPECT_EQ(0, page.parentClicks);
}

TEST_F(DialogTest, NotificationsNoControlAnswersReachTheParentsCommandMap)
{
    page.edit.SetText(L"abc");
    EXPECT_EQ(1, page.editChanges);
}

TEST_F(DialogTest, ColourRequestsGoToTheControlThatAsksForThemElseToTheParent)
{
    HDC dc = ::GetDC(page);
    LRESULT editBrush = page.Send(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(page.edit.Handle()));
    HWND hint = ::GetWindow(page, GW_CHILD);
    LRESULT staticBrush = page.Send(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hint));
    ::ReleaseDC(page, dc);
    EXPECT_EQ(reinterpret_cast<LRESULT>(page.edit.brush.Get()), editBrush);
    EXPECT_EQ(reinterpret_cast<LRESULT>(page.pageBrush.Get()), staticBrush);
    EXPECT_GE(page.staticColourRequests, 1);
}

TEST_F(DialogTest, ModelessPagesIgnoreEnterAndEscape)
{
    page.Send(WM_COMMAND, IDOK);
    page.Send(WM_COMMAND, IDCANCEL);
    EXPECT_TRUE(page.IsWindow());
}

TEST_F(DialogTest, AnExceptionInAHandlerStaysInsideTheWindowProcedure)
{
    page.throwOnTimer = true;
    page.Send(WM_TIMER, 1);
    EXPECT_TRUE(page.IsWindow());
    page.edit.SetText(L"still working");
    EXPECT_EQ(1, page.editChanges);
}

TEST_F(DialogTest, WindowAndObjectLetGoOfEachOtherWhicheverGoesFirst)
{
    HWND edit = page.edit.Handle();
    page.edit.Unsubclass();
    EXPECT_EQ(nullptr, fw::WindowObject::FromHandle(edit));
    ::SetWindowTextW(edit, L"unbound");
    EXPECT_EQ(1, page.editChanges);

    HWND hwnd = page.Handle();
    ::DestroyWindow(hwnd);
    EXPECT_EQ(nullptr, page.Handle());
    EXPECT_EQ(nullptr, page.button.Handle());
}

namespace {

LRESULT CALLBACK CountMessages(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR count)
{
    if (msg == WM_SETTEXT)
        ++*reinterpret_cast<int*>(count);
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

} // namespace

// Someone else subclasses the edit after its wrapper: when the wrapper lets
// go, the other procedure and the edit's own keep working, and a new wrapper
// takes the window again without looping through its old place in the chain.
TEST_F(DialogTest, AWrapperLettingGoKeepsALaterSubclassWorking)
{
    HWND edit = page.edit.Handle();
    int seen = 0;
    ASSERT_TRUE(::SetWindowSubclass(edit, &CountMessages, 1, reinterpret_cast<DWORD_PTR>(&seen)));
    page.edit.Unsubclass();
    ::SetWindowTextW(edit, L"after");
    EXPECT_EQ(1, seen);
    EXPECT_EQ(L"after", fw::Window(edit).Text());
    EXPECT_EQ(nullptr, fw::WindowObject::FromHandle(edit));

    ColouredEdit again;
    ASSERT_TRUE(again.Subclass(edit));
    EXPECT_EQ(&again, fw::WindowObject::FromHandle(edit));
    ::SetWindowTextW(edit, L"again");
    EXPECT_EQ(2, seen);
    EXPECT_EQ(L"again", again.Text());
    EXPECT_EQ(reinterpret_cast<LRESULT>(again.brush.Get()),
              page.Send(WM_CTLCOLOREDIT, 0, reinterpret_cast<LPARAM>(edit)));
    ::RemoveWindowSubclass(edit, &CountMessages, 1);
}

namespace {

class ClosingDialog : public fw::Dialog {
public:
    explicit ClosingDialog(UINT command) : fw::Dialog(IDD_ABOUTBOX), command_(command) {}

protected:
    BOOL OnInitDialog() override
    {
        Post(WM_COMMAND, MAKEWPARAM(command_, BN_CLICKED));
        return TRUE;
    }

private:
    UINT command_;
};

} // namespace

TEST(ModalDialog, EnterAndEscapeEndAModalDialogWithTheirIds)
{
    ClosingDialog ok(IDOK);
    EXPECT_EQ(IDOK, ok.DoModal(nullptr));
    ClosingDialog cancel(IDCANCEL);
    EXPECT_EQ(IDCANCEL, cancel.DoModal(nullptr));
    EXPECT_EQ(nullptr, cancel.Handle());
}
