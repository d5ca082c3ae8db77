#include "win32/animation_frames_win.h"

#include <objidl.h>
#include <shlwapi.h>
// GDI+ needs min and max, which the program otherwise keeps out of its way.
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include <cstring>
#include <new>

#include "resources.h"
#include "win32/com_win.h"
#include "win32/unique_win.h"

namespace relinka {

namespace {

// GDI+ from its first use to the end of the program.
class GdiplusSession {
public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    }
    ~GdiplusSession() {
        if (token_) Gdiplus::GdiplusShutdown(token_);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

private:
    ULONG_PTR token_ = 0;
};

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

std::unique_ptr<Gdiplus::Image> load_image(const Embedded& embedded) {
    if (!embedded.bytes) return nullptr;
    start_gdiplus();
    const auto stream = adopt(SHCreateMemStream(static_cast<const BYTE*>(embedded.bytes), embedded.size));
    if (!stream) return nullptr;
    auto image = std::make_unique<Gdiplus::Image>(stream.Get());  // keeps its own reference to the stream
    if (image->GetLastStatus() != Gdiplus::Ok) return nullptr;
    return image;
}

std::vector<unsigned char> property(Gdiplus::Image& image, PROPID id) {
    const UINT size = image.GetPropertyItemSize(id);
    if (size == 0) return {};
    std::vector<unsigned char> buffer(size);
    auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
    if (image.GetPropertyItem(id, size, item) != Gdiplus::Ok) return {};
    const auto* value = static_cast<const unsigned char*>(item->value);
    return std::vector<unsigned char>(value, value + item->length);
}

AnimationFacts facts_of(Gdiplus::Image& image) {
    AnimationFacts facts;
    facts.width = image.GetWidth();
    facts.height = image.GetHeight();
    GUID time = Gdiplus::FrameDimensionTime;
    const UINT frames = std::max(1u, image.GetFrameCount(&time));
    const std::vector<unsigned char> delays = property(image, PropertyTagFrameDelay);
    for (UINT frame = 0; frame < frames; ++frame) {
        LONG centiseconds = 0;
        if (delays.size() >= (frame + 1) * sizeof(LONG))
            std::memcpy(&centiseconds, delays.data() + frame * sizeof(LONG), sizeof(LONG));
        facts.delays_ms.push_back(static_cast<unsigned>(centiseconds) * 10);
    }
    const std::vector<unsigned char> loops = property(image, PropertyTagLoopCount);
    if (loops.size() >= 2) facts.loop_count = loops[0] | loops[1] << 8;
    return facts;
}

// The program's pictures take about 1 MiB of frames at 96 dpi and some 10 MiB on the densest screens. A
// 64-bit process could be granted far more than this and then spend minutes filling it.
constexpr unsigned long long kMostFramePixels = (256ull << 20) / sizeof(std::uint32_t);

// Pixels of `frames` frames of `size`; std::bad_alloc rather than more than any screen could need.
size_t pixels_for(SIZE size, size_t frames) {
    const unsigned long long pixels = static_cast<unsigned long long>(size.cx) * size.cy * frames;
    if (pixels > kMostFramePixels) throw std::bad_alloc();
    return static_cast<size_t>(pixels);
}

// Each frame as it is shown: on the colour around it, scaled down to fit the area (never up) with
// bicubic interpolation, and centred. False if a frame cannot be drawn.
bool draw_frames(Gdiplus::Image& image, const AnimationFacts& facts, const BITMAPINFO& format,
                 COLORREF background, std::uint32_t* pixels) {
    const int width = format.bmiHeader.biWidth, height = format.bmiHeader.biHeight;
    const UniqueMemoryDc canvas(CreateCompatibleDC(nullptr));
    void* bits = nullptr;
    const UniqueBitmap bitmap(CreateDIBSection(canvas.get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    const UniqueBrush fill(CreateSolidBrush(background));
    if (!canvas || !bitmap || !fill) return false;
    const SelectedObject selected(canvas.get(), bitmap.get());
    const RECT area{0, 0, width, height};
    const double scale = std::min({1.0, double(width) / facts.width, double(height) / facts.height});
    const int shown_width = int(facts.width * scale + 0.5), shown_height = int(facts.height * scale + 0.5);
    const size_t frame_pixels = pixels_for({width, height}, 1);
    GUID time = Gdiplus::FrameDimensionTime;
    for (UINT frame = 0; frame < facts.delays_ms.size(); ++frame) {
        if (frame > 0 && image.SelectActiveFrame(&time, frame) != Gdiplus::Ok) return false;
        FillRect(canvas.get(), &area, fill.get());
        Gdiplus::Graphics graphics(canvas.get());
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        if (graphics.DrawImage(&image, (width - shown_width) / 2, (height - shown_height) / 2, shown_width,
                               shown_height) != Gdiplus::Ok)
            return false;
        graphics.Flush(Gdiplus::FlushIntentionSync);
        GdiFlush();
        std::memcpy(pixels + frame * frame_pixels, bits, frame_pixels * sizeof(std::uint32_t));
    }
    return true;
}

}  // namespace

void start_gdiplus() { static const GdiplusSession session; }

AnimationFacts read_animation(int resource) {
    const Embedded embedded = find_embedded(resource);
    auto image = load_image(embedded);
    if (!image) return {};
    AnimationFacts facts = facts_of(*image);
    facts.is_gif89a = embedded.size >= 6 && std::memcmp(embedded.bytes, "GIF89a", 6) == 0;
    return facts;
}

AnimationFrames::AnimationFrames(int resource, SIZE size, COLORREF background, AnimationFacts facts)
    : resource_(resource),
      size_(size),
      background_(background),
      facts_(std::move(facts)),
      pixels_(pixels_for(size, facts_.delays_ms.size())) {
    BITMAPINFOHEADER& header = format_.bmiHeader;
    header.biSize = sizeof header;
    header.biWidth = size.cx;
    header.biHeight = size.cy;  // bottom-up, as the DIB section it is drawn in
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
}

std::shared_ptr<const AnimationFrames> AnimationFrames::of(int resource, SIZE size, COLORREF background) {
    // One set of frames per picture, for the program's life.
    static std::vector<std::shared_ptr<const AnimationFrames>> kept;
    const auto known = std::find_if(kept.begin(), kept.end(),
                                    [&](const auto& frames) { return frames->resource_ == resource; });
    if (known != kept.end() && (*known)->size_.cx == size.cx && (*known)->size_.cy == size.cy &&
        (*known)->background_ == background)
        return *known;
    if (size.cx <= 0 || size.cy <= 0) return nullptr;
    const auto image = load_image(find_embedded(resource));
    if (!image) return nullptr;
    std::shared_ptr<AnimationFrames> frames(
        new AnimationFrames(resource, size, background, facts_of(*image)));
    if (!draw_frames(*image, frames->facts_, frames->format_, background, frames->pixels_.data()))
        return nullptr;
    if (known != kept.end())
        *known = frames;
    else
        kept.push_back(frames);
    return frames;
}

void AnimationFrames::show(HDC dc, size_t frame) const {
    const LONG width = format_.bmiHeader.biWidth, height = format_.bmiHeader.biHeight;
    SetDIBitsToDevice(dc, 0, 0, width, height, 0, 0, 0, height, pixels_.data() + frame * width * height,
                      &format_, DIB_RGB_COLORS);
}

}  // namespace relinka
