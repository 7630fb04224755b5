#include "app/PngImage.h"

#include <cstring>

namespace {

struct StreamRelease {
    void operator()(IStream* stream) const { stream->Release(); }
};

} // namespace

bool PngImage::Load(HINSTANCE module, UINT id)
{
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (!resource)
        return false;
    DWORD size = ::SizeofResource(module, resource);
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes || size == 0)
        return false;

    fw::GlobalMemory memory(::GlobalAlloc(GMEM_FIXED, size));
    if (!memory)
        return false;
    std::memcpy(memory.Get(), bytes, size);

    IStream* raw = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(memory.Get(), FALSE, &raw)))
        return false;
    std::unique_ptr<IStream, StreamRelease> stream(raw);
    std::unique_ptr<Gdiplus::Image> image(Gdiplus::Image::FromStream(stream.get()));
    stream.reset();
    if (!image || image->GetLastStatus() != Gdiplus::Ok)
        return false;

    width_ = static_cast<int>(image->GetWidth());
    height_ = static_cast<int>(image->GetHeight());
    image_ = std::move(image);
    memory_ = std::move(memory);
    return true;
}
