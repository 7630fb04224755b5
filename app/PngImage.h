#pragma once
#include "app/GdiPlus.h"
#include "framework/UniqueHandle.h"

#include <memory>

// A GDI+ image decoded from a "PNG" resource. GDI+ reads the image's bytes
// lazily from its stream, so the memory block lives as long as the image.
class PngImage {
public:
    // Returns false and leaves the image unset when the resource is missing or undecodable.
    bool Load(HINSTANCE module, UINT id);

    Gdiplus::Image* Get() const { return image_.get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    fw::GlobalMemory memory_;
    std::unique_ptr<Gdiplus::Image> image_;
    int width_ = 0;
    int height_ = 0;
};
