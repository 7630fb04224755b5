#include "ui/skin/CZendalButtonBitmap.h"

#include "framework/App.h"
#include "framework/MemoryDC.h"
#include "framework/SelectObjectScope.h"
#include "resource.h"
#include "ui/skin/ButtonLabel.h"

namespace {

// The keyboard focus shows as a dotted frame this far inside the face.
const int kFocusInset = 3;

} // namespace

void CZendalButtonBitmap::LoadBitmaps()
{
    HINSTANCE module = fw::App::ResourceInstance();
    normalFace.Reset(::LoadBitmapW(module, MAKEINTRESOURCEW(IDB_NAV_NORMAL)));
    hotFace.Reset(::LoadBitmapW(module, MAKEINTRESOURCEW(IDB_NAV_HOT)));
    currentFace.Reset(::LoadBitmapW(module, MAKEINTRESOURCEW(IDB_NAV_CURRENT)));
}

void CZendalButtonBitmap::SetIcon(HICON newIcon, int size)
{
    icon.Reset(newIcon);
    iconFlag = 1;
    iconSize = size;
}

HBITMAP CZendalButtonBitmap::Face(int state) const
{
    if (current)
        return currentFace.Get();
    if (state == Hot || state == Pressed)
        return hotFace.Get();
    return normalFace.Get();
}

void CZendalButtonBitmap::DrawButton(const DRAWITEMSTRUCT& item)
{
    HDC dc = item.hDC;
    int state = UpdateVisualState(item.itemState);
    if (HBITMAP face = Face(state)) {
        BITMAP info{};
        ::GetObjectW(face, sizeof(info), &info);
        fw::MemoryDC memory(dc);
        fw::SelectObjectScope select(memory, face);
        ::BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    }

    int previousMode = ::SetBkMode(dc, TRANSPARENT);
    COLORREF previousColor = ::SetTextColor(dc, RGB(100, 100, 100));
    int pressed = (state == Pressed) ? 1 : 0;
    ButtonLabel label{Handle(), iconFlag ? icon.Get() : nullptr, iconSize, pressed, 1 + pressed, 1 + pressed, false};
    DrawButtonLabel(dc, item.rcItem, label);
    ::SetTextColor(dc, previousColor);
    ::SetBkMode(dc, previousMode);

    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focusRect = item.rcItem;
        ::InflateRect(&focusRect, -kFocusInset, -kFocusInset);
        ::DrawFocusRect(dc, &focusRect);
    }
}
