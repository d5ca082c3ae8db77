#include "winlib/animation_frames_win.h"

#include <objbase.h>

#include <algorithm>
#include <cstring>

#include "winlib/animation_resource.h"
#include "winlib/com_win.h"
#include "winlib/gdiplus_win.h"
#include "winlib/trace_win.h"

namespace relinka {

namespace {

// GDI+'s name for the frames of an animation in time (FrameDimensionTime).
constexpr GUID kFramesInTime{0x6aedbd6d, 0x3fb5, 0x418a, {0x83, 0xa6, 0x7f, 0x45, 0x22, 0x9d, 0xc8, 0x72}};
constexpr PROPID kFrameDelay = 0x5100, kLoopCount = 0x5101;  // PropertyTagFrameDelay, PropertyTagLoopCount

// The program's pictures take at most 3.5 MiB of frames, whatever the screen. A 64-bit process could be
// granted far more than this for a picture that asks for it, and then spend minutes filling it.
constexpr unsigned long long kMostFramePixels = (256ull << 20) / 4;

struct Embedded {
    const void* bytes = nullptr;
    DWORD size = 0;
};

Embedded find_embedded(int resource) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(resource), MAKEINTRESOURCEW(RT_GIF_ANIMATION));
    if (!found) return {};
    return {LockResource(LoadResource(module, found)), SizeofResource(module, found)};
}

// A copy of the bytes as a stream, which GDI+ reads for as long as the image lives. From ole32, which
// the program imports anyway: importing shlwapi for SHCreateMemStream would bring in, under Wine, the
// shcore it imports by name, before the program's first line could keep the search to the system's
// folder (a planted shcore.dll was loaded so).
Microsoft::WRL::ComPtr<IStream> stream_of(const Embedded& embedded) {
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, embedded.size);
    if (!memory) return nullptr;
    std::memcpy(GlobalLock(memory), embedded.bytes, embedded.size);
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return nullptr;
    }
    return adopt(stream);
}

// A GDI+ object, handed back to GDI+ when it goes.
template <class Object, auto Dispose>
struct GdiplusDisposer {
    const GdiplusFunctions* gdiplus;
    void operator()(Object* object) const { (gdiplus->*Dispose)(object); }
};
using Image =
    std::unique_ptr<Gdiplus::GpImage, GdiplusDisposer<Gdiplus::GpImage, &GdiplusFunctions::GdipDisposeImage>>;
using Graphics = std::unique_ptr<Gdiplus::GpGraphics,
                                 GdiplusDisposer<Gdiplus::GpGraphics, &GdiplusFunctions::GdipDeleteGraphics>>;

std::vector<unsigned char> property(const GdiplusFunctions& gdiplus, Gdiplus::GpImage* image, PROPID id) {
    UINT size = 0;
    if (gdiplus.GdipGetPropertyItemSize(image, id, &size) != Gdiplus::Ok || size == 0) return {};
    std::vector<unsigned char> buffer(size);
    auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
    if (gdiplus.GdipGetPropertyItem(image, id, size, item) != Gdiplus::Ok) return {};
    const auto* value = static_cast<const unsigned char*>(item->value);
    return std::vector<unsigned char>(value, value + item->length);
}

AnimationFacts facts_of(const GdiplusFunctions& gdiplus, Gdiplus::GpImage* image) {
    AnimationFacts facts;
    gdiplus.GdipGetImageWidth(image, &facts.width);
    gdiplus.GdipGetImageHeight(image, &facts.height);
    UINT frames = 0;
    gdiplus.GdipImageGetFrameCount(image, &kFramesInTime, &frames);
    frames = std::max(1u, frames);
    const std::vector<unsigned char> delays = property(gdiplus, image, kFrameDelay);
    for (UINT frame = 0; frame < frames; ++frame) {
        LONG centiseconds = 0;
        if (delays.size() >= (frame + 1) * sizeof(LONG))
            std::memcpy(&centiseconds, delays.data() + frame * sizeof(LONG), sizeof(LONG));
        facts.delays_ms.push_back(static_cast<unsigned>(centiseconds) * 10);
    }
    const std::vector<unsigned char> loops = property(gdiplus, image, kLoopCount);
    if (loops.size() >= 2) facts.loop_count = loops[0] | loops[1] << 8;
    return facts;
}

// The picture scaled down to fit the area (never up), keeping its proportions; a pixel at the least.
SIZE fitted(const AnimationFacts& facts, SIZE area) {
    const double scale = std::min({1.0, double(area.cx) / facts.width, double(area.cy) / facts.height});
    return {std::max(1L, LONG(facts.width * scale + 0.5)), std::max(1L, LONG(facts.height * scale + 0.5))};
}

// The frames one under another in a bitmap in the screen's format, selected into a memory DC for good.
struct Strip {
    UniqueBitmap bitmap;
    UniqueMemoryDc dc;
};

// Every frame on the colour around it, scaled with bicubic interpolation into `place` of the area, in a
// strip. Each is drawn into a device-independent canvas of the whole area, as GDI+ draws best and as the
// area shows it (GDI+ rounds the edges of a scaled picture by where it stands), and its place copied to
// the strip. Empty, traced, when a frame cannot be drawn.
Strip draw_frames(const GdiplusFunctions& gdiplus, Gdiplus::GpImage* image, size_t count, SIZE area,
                  const RECT& place, COLORREF background) {
    const int width = place.right - place.left, height = place.bottom - place.top;
    const WindowDc screen(nullptr);
    Strip strip{UniqueBitmap(CreateCompatibleBitmap(screen.get(), width, height * static_cast<int>(count))),
                UniqueMemoryDc(CreateCompatibleDC(screen.get()))};
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = area.cx;
    format.bmiHeader.biHeight = area.cy;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    const UniqueMemoryDc canvas(CreateCompatibleDC(nullptr));
    void* bits = nullptr;
    const UniqueBitmap canvas_bitmap(
        CreateDIBSection(canvas.get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    const UniqueBrush fill(CreateSolidBrush(background));
    if (trace_last_error_if(!strip.bitmap || !strip.dc || !canvas || !canvas_bitmap || !fill,
                            "animation: a bitmap for its frames, so its area stays blank"))
        return {};
    SelectObject(strip.dc.get(), strip.bitmap.get());
    const SelectedObject canvas_selected(canvas.get(), canvas_bitmap.get());
    const RECT whole{0, 0, area.cx, area.cy};
    for (UINT frame = 0; frame < count; ++frame) {
        Gdiplus::GpStatus status =
            frame > 0 ? gdiplus.GdipImageSelectActiveFrame(image, &kFramesInTime, frame) : Gdiplus::Ok;
        FillRect(canvas.get(), &whole, fill.get());
        Gdiplus::GpGraphics* made = nullptr;
        if (status == Gdiplus::Ok) status = gdiplus.GdipCreateFromHDC(canvas.get(), &made);
        const Graphics graphics(made, {&gdiplus});
        if (status == Gdiplus::Ok) {
            gdiplus.GdipSetInterpolationMode(made, Gdiplus::InterpolationModeHighQualityBicubic);
            gdiplus.GdipSetPixelOffsetMode(made, Gdiplus::PixelOffsetModeHalf);
            status = gdiplus.GdipDrawImageRectI(made, image, place.left, place.top, width, height);
        }
        if (status == Gdiplus::Ok) status = gdiplus.GdipFlush(made, Gdiplus::FlushIntentionSync);
        if (status != Gdiplus::Ok) {
            trace_failure("animation: drawing a frame, so its area stays blank", gdiplus_failure(status));
            return {};
        }
        GdiFlush();
        if (trace_last_error_if(!BitBlt(strip.dc.get(), 0, height * static_cast<int>(frame), width, height,
                                        canvas.get(), place.left, place.top, SRCCOPY),
                                "animation: copying a frame, so its area stays blank"))
            return {};
    }
    return strip;
}

// Fills `area` of `dc` with `colour` without a brush.
void fill(HDC dc, const RECT& area, COLORREF colour) {
    if (IsRectEmpty(&area)) return;
    const COLORREF was = SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
    SetBkColor(dc, was);
}

}  // namespace

AnimationFrames::AnimationFrames(int resource, SIZE area, COLORREF background, AnimationFacts facts,
                                 const RECT& place, UniqueBitmap strip, UniqueMemoryDc strip_dc)
    : resource_(resource),
      area_(area),
      background_(background),
      facts_(std::move(facts)),
      frame_size_{place.right - place.left, place.bottom - place.top},
      frame_origin_{place.left, place.top},
      strip_(std::move(strip)),
      strip_dc_(std::move(strip_dc)) {}

std::shared_ptr<const AnimationFrames> AnimationFrames::of(int resource, SIZE area, COLORREF background) {
    // One set of frames per picture, for the program's life.
    static std::vector<std::shared_ptr<const AnimationFrames>> kept;
    const auto known = std::find_if(kept.begin(), kept.end(),
                                    [&](const auto& frames) { return frames->resource_ == resource; });
    if (known != kept.end() && (*known)->area_.cx == area.cx && (*known)->area_.cy == area.cy &&
        (*known)->background_ == background)
        return *known;
    if (area.cx <= 0 || area.cy <= 0) return nullptr;
    const GdiplusFunctions* gdiplus = relinka::gdiplus();
    if (!gdiplus) return nullptr;  // traced when GDI+ was first asked for
    const Embedded embedded = find_embedded(resource);
    if (trace_last_error_if(!embedded.bytes, "animation: finding its picture, so its area stays blank"))
        return nullptr;
    const auto stream = stream_of(embedded);
    if (!stream) {
        trace_failure("animation: a stream of its picture, so its area stays blank", E_OUTOFMEMORY);
        return nullptr;
    }
    Gdiplus::GpImage* loaded = nullptr;
    const Gdiplus::GpStatus status = gdiplus->GdipLoadImageFromStream(stream.Get(), &loaded);
    const Image image(loaded, {gdiplus});
    if (status != Gdiplus::Ok) {
        trace_failure("animation: decoding its picture, so its area stays blank", gdiplus_failure(status));
        return nullptr;
    }
    AnimationFacts facts = facts_of(*gdiplus, image.get());
    if (facts.width == 0 || facts.height == 0) {
        trace_failure("animation: its picture has no size, so its area stays blank", E_FAIL);
        return nullptr;
    }
    const SIZE size = fitted(facts, area);
    if (static_cast<unsigned long long>(size.cx) * size.cy * facts.delays_ms.size() > kMostFramePixels) {
        trace_failure("animation: its frames would take more than 256 MiB, so its area stays blank",
                      E_OUTOFMEMORY);
        return nullptr;
    }
    // Centred.
    const POINT origin{(area.cx - size.cx) / 2, (area.cy - size.cy) / 2};
    const RECT place{origin.x, origin.y, origin.x + size.cx, origin.y + size.cy};
    Strip strip = draw_frames(*gdiplus, image.get(), facts.delays_ms.size(), area, place, background);
    if (!strip.bitmap) return nullptr;
    std::shared_ptr<const AnimationFrames> frames(new AnimationFrames(
        resource, area, background, std::move(facts), place, std::move(strip.bitmap), std::move(strip.dc)));
    if (known != kept.end())
        *known = frames;
    else
        kept.push_back(frames);
    return frames;
}

void AnimationFrames::show(HDC dc, size_t frame) const {
    const LONG left = frame_origin_.x, top = frame_origin_.y;
    const LONG right = left + frame_size_.cx, bottom = top + frame_size_.cy;
    fill(dc, {0, 0, area_.cx, top}, background_);
    fill(dc, {0, bottom, area_.cx, area_.cy}, background_);
    fill(dc, {0, top, left, bottom}, background_);
    fill(dc, {right, top, area_.cx, bottom}, background_);
    copy_frame(dc, frame);
}

void AnimationFrames::copy_frame(HDC dc, size_t frame) const {
    BitBlt(dc, frame_origin_.x, frame_origin_.y, frame_size_.cx, frame_size_.cy, strip_dc_.get(), 0,
           frame_size_.cy * static_cast<int>(frame), SRCCOPY);
}

}  // namespace relinka
