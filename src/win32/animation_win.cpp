#include "win32/animation_win.h"

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
#include <memory>

#include "resources.h"
#include "win32/com_win.h"
#include "win32/unique_win.h"

namespace relinka {

namespace {

constexpr unsigned kShortestDelay = 20;  // ms; shorter ones mean "no delay given"
constexpr unsigned kDelayWhenMissing = 100;
// Posted by a new control to itself: its picture is decoded once the window has shown, so that decoding
// (and starting GDI+) does not hold up the program's first paint.
constexpr UINT kDecodeMessage = WM_APP + 1;

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

// One playing animation, owned by its control window.
class Player {
public:
    Player(HWND hwnd, std::unique_ptr<Gdiplus::Image> image)
        : hwnd_(hwnd), image_(std::move(image)), facts_(facts_of(*image_)) {
        if (facts_.delays_ms.size() > 1) schedule();
    }

    void next_frame() {
        KillTimer(hwnd_, kAnimationFrameTimer);
        if (++frame_ == facts_.delays_ms.size()) {
            ++loops_played_;
            if (facts_.loop_count != 0 && loops_played_ >= facts_.loop_count) {
                --frame_;  // done: the last frame stays
                return;
            }
            frame_ = 0;
        }
        GUID time = Gdiplus::FrameDimensionTime;
        image_->SelectActiveFrame(&time, frame_);
        InvalidateRect(hwnd_, nullptr, FALSE);
        schedule();
    }

    // Scaled down to fit the area, never up, centred; drawn off-screen first so it does not flicker.
    void paint(HDC dc, const RECT& area, HBRUSH background) {
        const int width = area.right - area.left, height = area.bottom - area.top;
        const UniqueMemoryDc buffer(CreateCompatibleDC(dc));
        const UniqueBitmap canvas(CreateCompatibleBitmap(dc, width, height));
        const SelectedObject selected(buffer.get(), canvas.get());
        FillRect(buffer.get(), &area, background);
        const double scale = std::min({1.0, double(width) / facts_.width, double(height) / facts_.height});
        const int shown_width = int(facts_.width * scale + 0.5),
                  shown_height = int(facts_.height * scale + 0.5);
        {
            Gdiplus::Graphics graphics(buffer.get());
            graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
            graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
            graphics.DrawImage(image_.get(), (width - shown_width) / 2, (height - shown_height) / 2,
                               shown_width, shown_height);
        }
        BitBlt(dc, 0, 0, width, height, buffer.get(), 0, 0, SRCCOPY);
    }

private:
    void schedule() {
        unsigned delay = facts_.delays_ms[frame_];
        if (delay < kShortestDelay) delay = kDelayWhenMissing;
        SetTimer(hwnd_, kAnimationFrameTimer, delay, nullptr);
    }

    HWND hwnd_;
    std::unique_ptr<Gdiplus::Image> image_;
    AnimationFacts facts_;
    UINT frame_ = 0;
    unsigned loops_played_ = 0;
};

LRESULT CALLBACK animation_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
    auto* player = reinterpret_cast<Player*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
        case WM_CREATE:
            PostMessageW(hwnd, kDecodeMessage,
                         reinterpret_cast<WPARAM>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams),
                         0);
            return 0;
        case kDecodeMessage:
            if (player) return 0;
            if (auto image = load_image(find_embedded(static_cast<int>(wparam)))) {
                SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                                  reinterpret_cast<LONG_PTR>(new Player(hwnd, std::move(image))));
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            return 0;
        case WM_TIMER:
            if (player && wparam == kAnimationFrameTimer) player->next_frame();
            return 0;
        case WM_ERASEBKGND:
            return TRUE;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd, &paint);
            RECT area;
            GetClientRect(hwnd, &area);
            // The form gives the colour around the picture, as it does for its labels.
            auto background = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(hwnd), WM_CTLCOLORSTATIC,
                                                                    reinterpret_cast<WPARAM>(dc),
                                                                    reinterpret_cast<LPARAM>(hwnd)));
            if (player)
                player->paint(dc, area, background);
            else
                FillRect(dc, &area, background);
            EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_NCDESTROY:
            KillTimer(hwnd, kAnimationFrameTimer);
            delete player;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            return 0;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

void register_animation_class() {
    static const ATOM atom = [] {
        WNDCLASSEXW window_class{};
        window_class.cbSize = sizeof window_class;
        window_class.lpfnWndProc = animation_procedure;
        window_class.hInstance = GetModuleHandleW(nullptr);
        window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        window_class.lpszClassName = kAnimationClass;
        return RegisterClassExW(&window_class);
    }();
    (void)atom;
}

void start_gdiplus() { static const GdiplusSession session; }

AnimationFacts read_animation(int resource) {
    const Embedded embedded = find_embedded(resource);
    auto image = load_image(embedded);
    if (!image) return {};
    AnimationFacts facts = facts_of(*image);
    facts.is_gif89a = embedded.size >= 6 && std::memcmp(embedded.bytes, "GIF89a", 6) == 0;
    return facts;
}

}  // namespace relinka
