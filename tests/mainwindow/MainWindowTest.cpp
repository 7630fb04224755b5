#include "app/CZendalFileSaDlg.h"
#include "app/GdiPlus.h"
#include "framework/App.h"
#include "framework/ClientDC.h"
#include "resource.h"
#include "settings/ProgramFolder.h"
#include "support/Pixels.h"
#include "support/PumpUntil.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <memory>

namespace {

struct ReleaseStream {
    void operator()(IStream* stream) const { stream->Release(); }
};

// A PNG resource decoded for reading its pixels.
std::unique_ptr<Gdiplus::Bitmap> LoadPng(UINT id)
{
    HINSTANCE module = fw::App::ResourceInstance();
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    DWORD size = ::SizeofResource(module, resource);
    const void* bytes = ::LockResource(::LoadResource(module, resource));
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(::GlobalLock(memory), bytes, size);
    ::GlobalUnlock(memory);
    IStream* raw = nullptr;
    ::CreateStreamOnHGlobal(memory, TRUE, &raw);
    std::unique_ptr<IStream, ReleaseStream> stream(raw);
    return std::unique_ptr<Gdiplus::Bitmap>(Gdiplus::Bitmap::FromStream(stream.get()));
}

// How many opaque pixels of the image the composition shows unchanged at origin.
struct Placement {
    int opaque = 0;
    int matching = 0;
};

Placement Compare(const testkit::Pixels& composed, UINT id, POINT origin)
{
    std::unique_ptr<Gdiplus::Bitmap> image = LoadPng(id);
    Placement result;
    for (UINT y = 0; y < image->GetHeight(); ++y) {
        for (UINT x = 0; x < image->GetWidth(); ++x) {
            Gdiplus::Color colour;
            image->GetPixel(static_cast<INT>(x), static_cast<INT>(y), &colour);
            if (colour.GetA() != 255)
                continue;
            ++result.opaque;
            COLORREF shown = composed.At(origin.x + static_cast<int>(x), origin.y + static_cast<int>(y));
            if (shown == RGB(colour.GetR(), colour.GetG(), colour.GetB()))
                ++result.matching;
        }
    }
    return result;
}

// One main window per test process: its instance guard keeps a named event for good.
class MainWindowTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token, &input, nullptr);
        folder = new testkit::TempProgramFolder();
        SetProgramFolderForTesting(folder->Path());
        dlg = new CZendalFileSaDlg();
        dlg->Create(nullptr);
    }
    static void TearDownTestSuite()
    {
        delete dlg;
        SetProgramFolderForTesting(L"");
        delete folder;
        Gdiplus::GdiplusShutdown(token);
    }

    testkit::Pixels Composed()
    {
        fw::ClientDC screen(nullptr);
        fw::Bitmap bitmap = dlg->ComposeBitmap(screen);
        return testkit::Pixels::FromBitmap(bitmap.Get());
    }
    POINT Corner(int id, int dx, int dy)
    {
        RECT rc = dlg->Item(id).RectIn(dlg->Handle());
        return POINT{rc.left + dx, rc.top + dy};
    }
    void Highlight(WPARAM close, WPARAM minimize)
    {
        dlg->Send(CZendalFileSaDlg::kCloseHighlight, close);
        dlg->Send(CZendalFileSaDlg::kMinimizeHighlight, minimize);
    }

    static ULONG_PTR token;
    static testkit::TempProgramFolder* folder;
    static CZendalFileSaDlg* dlg;
};

ULONG_PTR MainWindowTest::token = 0;
testkit::TempProgramFolder* MainWindowTest::folder = nullptr;
CZendalFileSaDlg* MainWindowTest::dlg = nullptr;

void ExpectShownWhole(const Placement& placement)
{
    EXPECT_GT(placement.opaque, 4);
    EXPECT_EQ(placement.opaque, placement.matching);
}

} // namespace

TEST_F(MainWindowTest, TheFrameIsLayeredAndAsLargeAsItsImage)
{
    ASSERT_TRUE(dlg->IsWindow());
    EXPECT_TRUE(dlg->ExStyle() & WS_EX_LAYERED);
    testkit::Pixels composed = Composed();
    EXPECT_EQ(780, composed.Width());
    EXPECT_EQ(630, composed.Height());
    EXPECT_EQ(0, composed.AlphaAt(0, 0)) << "outside the rounded corner stays transparent";
    EXPECT_EQ(255, composed.AlphaAt(390, 20));
}

TEST_F(MainWindowTest, NormalButtonImagesSitAtTheButtonsCorners)
{
    Highlight(0, 0);
    testkit::Pixels composed = Composed();
    ExpectShownWhole(Compare(composed, IDR_PNG_CLOSE_NORMAL, Corner(IDC_MAIN_CLOSE, 0, 0)));
    ExpectShownWhole(Compare(composed, IDR_PNG_MIN_NORMAL, Corner(IDC_MAIN_MINIMIZE, 0, 0)));
}

TEST_F(MainWindowTest, HighlightedImagesSitFiveLeftAndSixUpAndTheCloseHighlightIsDrawnLast)
{
    Highlight(1, 0);
    testkit::Pixels closeHot = Composed();
    ExpectShownWhole(Compare(closeHot, IDR_PNG_CLOSE_HOT, Corner(IDC_MAIN_CLOSE, -5, -6)));

    Highlight(0, 1);
    testkit::Pixels minimizeHot = Composed();
    ExpectShownWhole(Compare(minimizeHot, IDR_PNG_MIN_HOT, Corner(IDC_MAIN_MINIMIZE, -5, -6)));

    // Both highlighted: the two images overlap, and the close image covers the other.
    Highlight(1, 1);
    ExpectShownWhole(Compare(Composed(), IDR_PNG_CLOSE_HOT, Corner(IDC_MAIN_CLOSE, -5, -6)));
    Highlight(0, 0);
}

TEST_F(MainWindowTest, TheAboutBoxOpensFromAnySystemCommandOfItsRange)
{
    HMENU menu = ::GetSystemMenu(dlg->Handle(), FALSE);
    int last = ::GetMenuItemCount(menu) - 1;
    wchar_t text[64] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(last), text, 64, MF_BYPOSITION);
    EXPECT_EQ(0x0010u, ::GetMenuItemID(menu, last));
    EXPECT_STREQ(L"关于 ZendalFileSa(&A)...", text);

    // The About box runs modally inside the handling of the command, so a
    // second thread finds it and closes it with Escape.
    for (WPARAM command : {0x0010u, 0x0013u, 0x001Fu}) {
        std::atomic<bool> closed{false};
        std::thread closer([&] {
            for (int i = 0; i < 3000 && !closed; ++i) {
                HWND about = ::FindWindowW(L"#32770", L"关于云杉工坊文件安全");
                if (about && ::IsWindowVisible(about)) {
                    ::PostMessageW(about, WM_COMMAND, IDCANCEL, 0);
                    closed = true;
                }
                ::Sleep(10);
            }
        });
        dlg->Send(WM_SYSCOMMAND, command);
        closer.join();
        EXPECT_TRUE(closed) << command;
    }
    dlg->Send(WM_SYSCOMMAND, 0x0020);
    EXPECT_EQ(nullptr, ::FindWindowW(L"#32770", L"关于云杉工坊文件安全"));
}
