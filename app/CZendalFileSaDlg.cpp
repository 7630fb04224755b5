#include "app/CZendalFileSaDlg.h"

#include "app/CAboutDlg.h"
#include "framework/App.h"
#include "framework/ClientDC.h"
#include "framework/DataExchange.h"
#include "framework/MemoryDC.h"
#include "framework/MessageMap.h"
#include "framework/PaintDC.h"
#include "framework/SelectObjectScope.h"
#include "resource.h"

#include <windowsx.h>

#include <cstring>

namespace {

const wchar_t kTitle[] = L"云杉工坊文件安全 v1.07";
const wchar_t kInstanceEvent[] = L"ZendalFileSa";
const wchar_t kAlreadyRunning[] = L"云杉工坊文件安全已经运行";
// The system uses the low four bits of a system command's id itself.
const WPARAM kSystemCommandIdMask = 0xFFF0;
const int kAboutEntryLength = 128;
const UINT_PTR kStackingTimer = 0x5A01;
const UINT kStackingCheckMs = 250;
// The highlighted button images are larger and start this far up and left.
const int kHighlightShiftX = -5;
const int kHighlightShiftY = -6;

void DrawImage(Gdiplus::Graphics& graphics, const PngImage& image, int x, int y)
{
    if (image.Get())
        graphics.DrawImage(image.Get(), x, y, image.Width(), image.Height());
}

} // namespace

CZendalFileSaDlg::CZendalFileSaDlg() : fw::Dialog(IDD_ZENDALFILESA_DIALOG)
{
    icon_.Reset(static_cast<HICON>(::LoadImageW(fw::App::ResourceInstance(), MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON,
                                                0, 0, LR_DEFAULTSIZE)));
}

bool CZendalFileSaDlg::ProcessMessage(fw::Message& m)
{
    using Self = CZendalFileSaDlg;
    return fw::Dispatch(this, m,
                        fw::OnMessage(WM_SYSCOMMAND, &Self::OnSysCommand),
                        fw::OnMessage(WM_PAINT, &Self::OnPaint),
                        fw::OnMessage(WM_QUERYDRAGICON, &Self::OnQueryDragIcon),
                        fw::OnCommand(IDOK, &Self::OnIgnore),
                        fw::OnCommand(IDCANCEL, &Self::OnClose),
                        fw::OnCommand(IDC_MAIN_CLOSE, BN_CLICKED, &Self::OnClose),
                        fw::OnCommand(IDC_MAIN_MINIMIZE, BN_CLICKED, &Self::OnMinimize),
                        fw::OnMessage(kCloseHighlight, &Self::OnCloseHighlight),
                        fw::OnMessage(kMinimizeHighlight, &Self::OnMinimizeHighlight),
                        fw::OnMessage(WM_MOVE, &Self::OnMove),
                        fw::OnMessage(WM_LBUTTONDOWN, &Self::OnLeftButtonDown),
                        fw::OnMessage(WM_TIMER, &Self::OnTimer),
                        fw::OnMessage(WM_SIZE, &Self::OnSize),
                        fw::OnMessage(WM_ENABLE, &Self::OnEnable))
        || fw::Dialog::ProcessMessage(m);
}

void CZendalFileSaDlg::DoDataExchange(fw::DataExchange& dx)
{
    dx.Control(IDC_MAIN_MINIMIZE, minimizeButton_);
    dx.Control(IDC_MAIN_CLOSE, closeButton_);
}

BOOL CZendalFileSaDlg::OnInitDialog()
{
    AddAboutEntry();
    Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.Get()));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.Get()));
    SetText(kTitle);
    if (!GuardSingleInstance())
        return TRUE;

    follow_ = 0;
    LoadImages();
    ModifyExStyle(0, WS_EX_LAYERED);
    closeButton_.notifyMessage = kCloseHighlight;
    minimizeButton_.notifyMessage = kMinimizeHighlight;
    closeHighlight_ = 0;
    minimizeHighlight_ = 0;

    int x = 0, y = 0;
    CentreAndShow(&x, &y);
    pageHost_.Create(Handle());
    pageHost_.SetPosition(HWND_TOP, x + kPageHostLeft, y + kPageHostTop, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    ::SetTimer(Handle(), kStackingTimer, kStackingCheckMs, nullptr);
    // No default focus: the dialog manager would put it on the minimise
    // button and so activate the frame, taking the keyboard away from the
    // page host, where the logon page waits for the password.
    return FALSE;
}

// An owned window stays above its owner on Windows. Wine's X11 driver can
// still raise the layered frame over the page host after start-up, with no
// message to either window, so the frame checks now and then and puts the
// page host back on top. On Windows the check never finds anything to do.
bool CZendalFileSaDlg::PageHostCovered() const
{
    if (!pageHost_.IsWindow() || !pageHost_.IsVisible())
        return false;
    for (HWND above = ::GetWindow(Handle(), GW_HWNDPREV); above; above = ::GetWindow(above, GW_HWNDPREV)) {
        if (above == pageHost_.Handle())
            return false;
    }
    return true;
}

void CZendalFileSaDlg::KeepPageHostAbove()
{
    if (!PageHostCovered())
        return;
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    pageHost_.SetPosition(HWND_BOTTOM, 0, 0, 0, 0, flags);
    pageHost_.SetPosition(HWND_TOP, 0, 0, 0, 0, flags);
}

void CZendalFileSaDlg::AddAboutEntry()
{
    HMENU menu = ::GetSystemMenu(Handle(), FALSE);
    wchar_t text[kAboutEntryLength] = {};
    if (!menu || ::LoadStringW(fw::App::ResourceInstance(), IDS_ABOUTBOX, text, kAboutEntryLength) <= 0)
        return;
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, text);
}

// The first instance keeps its event for as long as it runs; a second one
// says so and ends at once, touching nothing.
bool CZendalFileSaDlg::GuardSingleInstance()
{
    HANDLE event = ::CreateEventW(nullptr, FALSE, FALSE, kInstanceEvent);
    if (!event || ::GetLastError() != ERROR_ALREADY_EXISTS)
        return true;
    MessageBox(kAlreadyRunning, fw::App::Name());
    ::TerminateProcess(::GetCurrentProcess(), 0);
    return false;
}

void CZendalFileSaDlg::LoadImages()
{
    HINSTANCE module = fw::App::ResourceInstance();
    frame_.Load(module, IDR_PNG_FRAME);
    closeNormal_.Load(module, IDR_PNG_CLOSE_NORMAL);
    closeHot_.Load(module, IDR_PNG_CLOSE_HOT);
    minimizeNormal_.Load(module, IDR_PNG_MIN_NORMAL);
    minimizeHot_.Load(module, IDR_PNG_MIN_HOT);
}

void CZendalFileSaDlg::CentreAndShow(int* x, int* y)
{
    RECT client = ClientRect();
    *x = (::GetSystemMetrics(SM_CXSCREEN) - (client.right - client.left)) / 2;
    *y = (::GetSystemMetrics(SM_CYSCREEN) - (client.bottom - client.top)) / 2;
    SetPosition(HWND_TOP, *x, *y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
}

fw::Bitmap CZendalFileSaDlg::ComposeBitmap(HDC compatibleWith) const
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = frame_.Width();
    info.bmiHeader.biHeight = frame_.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    fw::Bitmap bitmap(::CreateDIBSection(compatibleWith, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap)
        return bitmap;
    std::memset(bits, 0, static_cast<size_t>(frame_.Width()) * frame_.Height() * 4);

    fw::MemoryDC memory(compatibleWith);
    fw::SelectObjectScope select(memory, bitmap.Get());
    Gdiplus::Graphics graphics(memory);
    graphics.SetPageScale(1.0f);
    graphics.SetPageUnit(Gdiplus::UnitPixel);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeNone);
    DrawImage(graphics, frame_, 0, 0);

    RECT close = closeButton_.RectIn(Handle());
    RECT minimize = minimizeButton_.RectIn(Handle());
    auto drawMinimize = [&] {
        if (minimizeHighlight_ == 1)
            DrawImage(graphics, minimizeHot_, minimize.left + kHighlightShiftX, minimize.top + kHighlightShiftY);
        else
            DrawImage(graphics, minimizeNormal_, minimize.left, minimize.top);
    };
    if (closeHighlight_ == 1) {
        drawMinimize();
        DrawImage(graphics, closeHot_, close.left + kHighlightShiftX, close.top + kHighlightShiftY);
    } else {
        DrawImage(graphics, closeNormal_, close.left, close.top);
        drawMinimize();
    }
    graphics.Flush(Gdiplus::FlushIntentionSync);
    return bitmap;
}

void CZendalFileSaDlg::Compose()
{
    RECT window = WindowRect();
    fw::ClientDC screen(Handle());
    fw::Bitmap bitmap = ComposeBitmap(screen);
    if (!bitmap)
        return;
    fw::MemoryDC memory(screen);
    fw::SelectObjectScope select(memory, bitmap.Get());
    POINT destination{window.left, window.top};
    SIZE size{frame_.Width(), frame_.Height()};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(Handle(), screen, &destination, &size, memory, &source, 0, &blend, ULW_ALPHA);
}

bool CZendalFileSaDlg::OnSysCommand(fw::Message& m)
{
    if ((m.wParam & kSystemCommandIdMask) != IDM_ABOUTBOX)
        return false;
    CAboutDlg about;
    about.DoModal(Handle());
    return true;
}

bool CZendalFileSaDlg::OnPaint(fw::Message& m)
{
    if (!::IsIconic(Handle()))
        return false;
    fw::PaintDC dc(Handle());
    Send(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()));
    RECT rc = ClientRect();
    int x = (rc.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (rc.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, icon_.Get());
    m.result = 0;
    return true;
}

LRESULT CZendalFileSaDlg::OnQueryDragIcon(WPARAM, LPARAM)
{
    return reinterpret_cast<LRESULT>(icon_.Get());
}

void CZendalFileSaDlg::OnClose()
{
    EndDialog(IDCANCEL);
}

void CZendalFileSaDlg::OnMinimize()
{
    follow_ = 0;
    Send(WM_SYSCOMMAND, SC_MINIMIZE);
}

LRESULT CZendalFileSaDlg::OnCloseHighlight(WPARAM highlighted, LPARAM)
{
    closeHighlight_ = static_cast<int>(highlighted);
    Compose();
    return 0;
}

LRESULT CZendalFileSaDlg::OnMinimizeHighlight(WPARAM highlighted, LPARAM)
{
    minimizeHighlight_ = static_cast<int>(highlighted);
    Compose();
    return 0;
}

bool CZendalFileSaDlg::OnMove(fw::Message&)
{
    if (follow_ == 1 && pageHost_.IsWindow()) {
        RECT rc = WindowRect();
        pageHost_.SetPosition(HWND_TOP, rc.left + kPageHostLeft, rc.top + kPageHostTop, 0, 0,
                              SWP_NOSIZE | SWP_SHOWWINDOW);
    }
    return false;
}

bool CZendalFileSaDlg::OnTimer(fw::Message& m)
{
    if (m.wParam != kStackingTimer)
        return false;
    KeepPageHostAbove();
    return true;
}

// The system's caption drag takes the press point in screen coordinates; a
// client point would make the frame jump by its own position at the first move.
bool CZendalFileSaDlg::OnLeftButtonDown(fw::Message& m)
{
    follow_ = 1;
    POINT press{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
    ::ClientToScreen(Handle(), &press);
    Post(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(press.x, press.y));
    return false;
}

// Owned windows go and come back with their minimised owner; say so
// explicitly, as not every platform does it by itself.
bool CZendalFileSaDlg::OnSize(fw::Message& m)
{
    if (m.wParam == SIZE_MINIMIZED)
        ::ShowOwnedPopups(Handle(), FALSE);
    else if (m.wParam == SIZE_RESTORED)
        ::ShowOwnedPopups(Handle(), TRUE);
    return false;
}

// A window modal to the program (the path picker, the About box) disables the
// frame, its owner; the page host over the frame is part of the same program
// window and goes with it. A page host that a page's message box disabled
// stays as that box leaves it.
bool CZendalFileSaDlg::OnEnable(fw::Message& m)
{
    if (!pageHost_.IsWindow())
        return false;
    if (!m.wParam) {
        pageHostDisabled_ = pageHost_.IsEnabled();
        if (pageHostDisabled_)
            pageHost_.Enable(false);
    } else if (pageHostDisabled_) {
        pageHostDisabled_ = false;
        pageHost_.Enable(true);
    }
    return false;
}
