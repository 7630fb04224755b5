#include "support/Pixels.h"

#include "framework/ClientDC.h"
#include "framework/MemoryDC.h"
#include "framework/SelectObjectScope.h"
#include "framework/UniqueHandle.h"

namespace testkit {

namespace {

fw::Bitmap CreateTopDownDib(HDC dc, int width, int height, void** bits)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return fw::Bitmap(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0));
}

} // namespace

COLORREF Pixels::At(int x, int y) const
{
    uint32_t v = bits_[static_cast<size_t>(y) * width_ + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

BYTE Pixels::AlphaAt(int x, int y) const
{
    return static_cast<BYTE>(bits_[static_cast<size_t>(y) * width_ + x] >> 24);
}

Pixels Pixels::FromDC(HDC source, int width, int height)
{
    Pixels result;
    if (width <= 0 || height <= 0)
        return result;
    fw::MemoryDC memory(source);
    void* bits = nullptr;
    fw::Bitmap dib = CreateTopDownDib(source, width, height, &bits);
    if (!dib)
        return result;
    {
        fw::SelectObjectScope select(memory, dib.Get());
        ::BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
        ::GdiFlush();
    }
    result.width_ = width;
    result.height_ = height;
    const auto* p = static_cast<const uint32_t*>(bits);
    result.bits_.assign(p, p + static_cast<size_t>(width) * height);
    return result;
}

Pixels Pixels::FromScreen(HWND hwnd)
{
    ::UpdateWindow(hwnd);
    RECT rc{};
    ::GetClientRect(hwnd, &rc);
    fw::ClientDC dc(hwnd);
    return FromDC(dc, rc.right, rc.bottom);
}

Pixels Pixels::Printed(HWND hwnd)
{
    RECT rc{};
    ::GetClientRect(hwnd, &rc);
    Pixels result;
    fw::ClientDC screen(nullptr);
    fw::MemoryDC memory(screen);
    void* bits = nullptr;
    fw::Bitmap dib = CreateTopDownDib(screen, rc.right, rc.bottom, &bits);
    if (!dib)
        return result;
    {
        fw::SelectObjectScope select(memory, dib.Get());
        ::SendMessageW(hwnd, WM_PRINT, reinterpret_cast<WPARAM>(memory.Get()),
                       PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN | PRF_NONCLIENT);
        ::GdiFlush();
    }
    result.width_ = rc.right;
    result.height_ = rc.bottom;
    const auto* p = static_cast<const uint32_t*>(bits);
    result.bits_.assign(p, p + static_cast<size_t>(rc.right) * rc.bottom);
    return result;
}

Pixels Pixels::FromBitmap(HBITMAP bitmap)
{
    BITMAP info{};
    if (!::GetObjectW(bitmap, sizeof(info), &info))
        return Pixels();
    fw::ClientDC screen(nullptr);
    fw::MemoryDC source(screen);
    fw::SelectObjectScope select(source, bitmap);
    return FromDC(source, info.bmWidth, info.bmHeight);
}

} // namespace testkit
