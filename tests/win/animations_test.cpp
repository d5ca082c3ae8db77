// The embedded animations: their pictures, their frames at every resolution, playing in their windows and
// resting wherever nobody sees them, and a picture that cannot be had.
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <wtsapi32.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <vector>

#include "damaged_picture.h"
#include "support/debug_output.h"
#include "support/embedded_animation.h"
#include "support/loaded_window.h"
#include "support/window_checks.h"
#include "windows/sobre_auto_win.h"
#include "winlib/animation_frames_win.h"
#include "winlib/animation_win.h"
#include "winlib/gdiplus_win.h"

namespace relinka::testing {
namespace {

// What a control shows on the screen.
std::vector<COLORREF> shown_by(HWND control) {
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT area;
    GetClientRect(control, &area);
    return pixels_of(WindowDc(control).get(), area.right, area.bottom);
}

TEST(Animations, EmbeddedGifsPlayAsDrawn) {
    const struct {
        const char* name;
        int resource;
        unsigned width, height, frames, delay_ms, loop_count;
    } gifs[] = {
        {"banner tower", IDG_BANNER_TOWER, 35, 45, 10, 100, 9999},
        {"banner link", IDG_BANNER_LINK, 280, 120, 19, 70, 0},
        {"about mast", IDG_ABOUT_MAST, 120, 263, 7, 150, 0},
    };
    for (const auto& gif : gifs) {
        SCOPED_TRACE(gif.name);
        EXPECT_TRUE(is_gif89a(gif.resource));
        const AnimationFacts facts = read_animation(gif.resource);
        EXPECT_EQ(facts.width, gif.width);
        EXPECT_EQ(facts.height, gif.height);
        EXPECT_EQ(facts.delays_ms, std::vector<unsigned>(gif.frames, gif.delay_ms));
        EXPECT_EQ(facts.loop_count, gif.loop_count);
    }
}

// A picture is drawn when a good part of its control differs from the colour around it, and plays
// when what it shows changes as time passes.
void expect_playing(HWND control, COLORREF around, const char* name) {
    const std::vector<COLORREF> before = shown_by(control);
    const auto painted =
        std::count_if(before.begin(), before.end(), [&](COLORREF pixel) { return pixel != around; });
    EXPECT_GT(painted * 5, static_cast<long long>(before.size())) << name << ": mostly empty";
    bool changed = false;
    for (int wait = 0; wait < 20 && !changed; ++wait) {
        pump_for(50);
        changed = shown_by(control) != before;
    }
    EXPECT_TRUE(changed) << name << ": stands still";
}

TEST(Animations, PlayInTheirWindows) {
    {
        Shell shell;
        Shown<SobreAutoWindow, Shell> about(shell);
        expect_playing(about.window.control(kSobreAniGIF2), GetSysColor(COLOR_BTNFACE), "About mast");
    }
    LoadedWindow loaded;
    expect_playing(loaded.window.control(kAniGIF1), RGB(255, 255, 255), "banner tower");
    expect_playing(loaded.window.control(kAniGIF2), RGB(255, 255, 255), "banner link");
}

// Every frame of an animation control as its picture's frames show it, the first first.
std::vector<std::vector<COLORREF>> frames_of(HWND control, int resource, COLORREF around) {
    RECT area;
    GetClientRect(control, &area);
    const auto frames = AnimationFrames::of(resource, {area.right, area.bottom}, around);
    std::vector<std::vector<COLORREF>> shown;
    const WindowDc screen(nullptr);
    for (size_t frame = 0; frame < frames->count(); ++frame) {
        const UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
        const UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), area.right, area.bottom));
        const SelectedObject selected(dc.get(), bitmap.get());
        frames->show(dc.get(), frame);
        shown.push_back(pixels_of(dc.get(), area.right, area.bottom));
    }
    return shown;
}

TEST(Animations, ShowEveryFrameInTurnAndStartAgainAfterTheLast) {
    LoadedWindow loaded;
    const HWND link = loaded.window.control(kAniGIF2);
    const auto frames = frames_of(link, IDG_BANNER_LINK, RGB(255, 255, 255));
    ASSERT_EQ(frames.size(), 19u);
    for (size_t frame = 1; frame < frames.size(); ++frame)
        EXPECT_NE(frames[frame], frames[frame - 1]) << "frame " << frame << " is the one before it";
    const auto shown = std::find(frames.begin(), frames.end(), shown_by(link));
    ASSERT_NE(shown, frames.end()) << "shows none of its frames";
    size_t expected = shown - frames.begin();
    for (size_t step = 0; step <= frames.size(); ++step) {
        SendMessageW(link, WM_TIMER, kAnimationFrameTimer, 0);
        expected = (expected + 1) % frames.size();
        EXPECT_EQ(shown_by(link), frames[expected]) << "step " << step;
    }
}

// A 32-bit canvas of `size`, and its pixels as they are.
class Canvas {
public:
    explicit Canvas(SIZE size) : size_(size), dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO format{};
        format.bmiHeader = {sizeof format.bmiHeader, size.cx, -size.cy, 1, 32, BI_RGB};
        bitmap_.reset(CreateDIBSection(dc_.get(), &format, DIB_RGB_COLORS, &bits_, nullptr, 0));
        SelectObject(dc_.get(), bitmap_.get());
    }
    HDC dc() const { return dc_.get(); }
    std::vector<std::uint32_t> pixels() const {
        GdiFlush();
        const auto* first = static_cast<const std::uint32_t*>(bits_);
        return {first, first + size_.cx * size_.cy};
    }

private:
    SIZE size_;
    UniqueBitmap bitmap_;
    UniqueMemoryDc dc_;
    void* bits_ = nullptr;
};

// Every frame of an embedded animation drawn the plain way, into the whole of an area of `area` on
// `around`: scaled down to fit (never up) with bicubic interpolation, centred, with GDI+'s own classes.
std::vector<std::vector<std::uint32_t>> drawn_into_area(int resource, SIZE area, COLORREF around) {
    const HRSRC found =
        FindResourceW(nullptr, MAKEINTRESOURCEW(resource), MAKEINTRESOURCEW(RT_GIF_ANIMATION));
    const auto stream =
        adopt(SHCreateMemStream(static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found))),
                                SizeofResource(nullptr, found)));
    gdiplus();
    Gdiplus::Image image(stream.Get());
    GUID time = Gdiplus::FrameDimensionTime;
    const double scale =
        std::min({1.0, double(area.cx) / image.GetWidth(), double(area.cy) / image.GetHeight()});
    const int width = int(image.GetWidth() * scale + 0.5), height = int(image.GetHeight() * scale + 0.5);
    const UniqueBrush fill(CreateSolidBrush(around));
    const RECT whole{0, 0, area.cx, area.cy};
    std::vector<std::vector<std::uint32_t>> frames;
    for (UINT frame = 0; frame < image.GetFrameCount(&time); ++frame) {
        image.SelectActiveFrame(&time, frame);
        const Canvas canvas(area);
        FillRect(canvas.dc(), &whole, fill.get());
        Gdiplus::Graphics graphics(canvas.dc());
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        graphics.DrawImage(&image, (area.cx - width) / 2, (area.cy - height) / 2, width, height);
        graphics.Flush(Gdiplus::FlushIntentionSync);
        frames.push_back(canvas.pixels());
    }
    return frames;
}

// Frames are kept at the smaller of the picture's size and the area's, the margin painted apart: at every
// resolution, what they show is exactly the picture drawn into the whole area, pixel for pixel.
TEST(Animations, FramesKeptAtThePicturesSizeShowThePictureDrawnIntoTheWholeArea) {
    constexpr COLORREF kAround = RGB(12, 34, 56);
    std::vector<const ControlSpec*> animations;
    for (const ControlSpec& design : kAmigosControls)
        if (design.kind == ControlKind::Animation) animations.push_back(&design);
    for (const ControlSpec& design : kSobreAutoControls)
        if (design.kind == ControlKind::Animation) animations.push_back(&design);
    ASSERT_EQ(animations.size(), 3u);
    for (const int dpi : {96, 144, 192, 288}) {
        for (const ControlSpec* design : animations) {
            SCOPED_TRACE(::testing::Message()
                         << design->name << " (" << design->picture << ") at " << dpi << " dpi");
            const SIZE area{MulDiv(design->width, dpi, 1440), MulDiv(design->height, dpi, 1440)};
            const auto frames = AnimationFrames::of(design->picture, area, kAround);
            ASSERT_TRUE(frames);
            const SIZE kept = frames->frame_size();
            EXPECT_LE(kept.cx, std::min<LONG>(area.cx, frames->facts().width));
            EXPECT_LE(kept.cy, std::min<LONG>(area.cy, frames->facts().height));
            const auto expected = drawn_into_area(design->picture, area, kAround);
            ASSERT_EQ(frames->count(), expected.size());
            for (size_t frame = 0; frame < expected.size(); ++frame) {
                const Canvas shown(area);
                frames->show(shown.dc(), frame);
                const std::vector<std::uint32_t> pixels = shown.pixels();
                const auto differing =
                    std::inner_product(pixels.begin(), pixels.end(), expected[frame].begin(), 0,
                                       std::plus<>(), std::not_equal_to<>());
                EXPECT_EQ(differing, 0) << "pixels that differ in frame " << frame;
            }
        }
    }
}

TEST(Animations, RestWhileTheirWindowIsMinimizedAndGoOnFromTheFrameTheyShowed) {
    LoadedWindow loaded;
    const HWND link = loaded.window.control(kAniGIF2);
    const std::vector<COLORREF> before = shown_by(link);
    ShowWindow(loaded.window.hwnd(), SW_MINIMIZE);
    pump_for(1000);  // fourteen frames of 70 ms, were it playing
    ShowWindow(loaded.window.hwnd(), SW_RESTORE);
    EXPECT_EQ(shown_by(link), before) << "frames went on while minimized";
    expect_playing(link, RGB(255, 255, 255), "banner link, restored");
}

// An animation that rested goes on from the frame it showed: the next picture it shows is the frame
// after `shown` among `frames`.
void expect_goes_on_from(HWND control, const std::vector<std::vector<COLORREF>>& frames,
                         const std::vector<COLORREF>& shown, const char* name) {
    const auto at = std::find(frames.begin(), frames.end(), shown);
    ASSERT_NE(at, frames.end()) << name << " shows none of its frames";
    std::vector<COLORREF> now = shown;
    EXPECT_TRUE(wait_until([&] { return (now = shown_by(control)) != shown; }, 2000))
        << name << " stands still";
    EXPECT_EQ(now, frames[(at - frames.begin() + 1) % frames.size()])
        << name << " did not go on from its frame";
}

// What Windows tells the main window when nobody can see the screen any more, and when somebody can again.
struct ScreenNotice {
    const char* what;
    UINT message;
    WPARAM unseen, seen;  // a session change; a power setting's new state when `setting` is given
    const GUID* setting = nullptr;
};
constexpr GUID kConsoleDisplayState{
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID kMonitorPowerOn{0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};
constexpr ScreenNotice kSessionLocked{"session locked", WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK,
                                      WTS_SESSION_UNLOCK};
constexpr ScreenNotice kDisplayOff{"display off", WM_POWERBROADCAST, 0, 1, &kConsoleDisplayState};
constexpr ScreenNotice kScreenNotices[] = {
    kSessionLocked,
    {"session disconnected", WM_WTSSESSION_CHANGE, WTS_CONSOLE_DISCONNECT, WTS_CONSOLE_CONNECT},
    {"remote session disconnected", WM_WTSSESSION_CHANGE, WTS_REMOTE_DISCONNECT, WTS_REMOTE_CONNECT},
    kDisplayOff,
    {"monitor off (Windows 7)", WM_POWERBROADCAST, 0, 1, &kMonitorPowerOn},
};

void tell(HWND window, const ScreenNotice& notice, bool seen) {
    const WPARAM state = seen ? notice.seen : notice.unseen;
    if (!notice.setting) {
        SendMessageW(window, notice.message, state, 0);
        return;
    }
    std::vector<BYTE> buffer(sizeof(POWERBROADCAST_SETTING) + sizeof(DWORD));
    auto* setting = reinterpret_cast<POWERBROADCAST_SETTING*>(buffer.data());
    setting->PowerSetting = *notice.setting;
    setting->DataLength = sizeof(DWORD);
    const DWORD value = static_cast<DWORD>(state);
    std::memcpy(setting->Data, &value, sizeof value);
    SendMessageW(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(setting));
}

// While the session is locked or disconnected, or the display off, no animation brings a frame, About's
// included (the main window is told, About is not); told the screen is seen again, each goes on from the
// frame it showed.
TEST(Animations, RestWhileNobodySeesTheScreenAndGoOnFromTheFrameTheyShowed) {
    LoadedWindow loaded;
    Shell shell;
    Shown<SobreAutoWindow, Shell> about(shell);
    const struct {
        const char* name;
        HWND control;
        std::vector<std::vector<COLORREF>> frames;
    } animations[] = {
        {"banner link", loaded.window.control(kAniGIF2),
         frames_of(loaded.window.control(kAniGIF2), IDG_BANNER_LINK, RGB(255, 255, 255))},
        {"About mast", about.window.control(kSobreAniGIF2),
         frames_of(about.window.control(kSobreAniGIF2), IDG_ABOUT_MAST, GetSysColor(COLOR_BTNFACE))},
    };
    for (const ScreenNotice& notice : kScreenNotices) {
        SCOPED_TRACE(notice.what);
        tell(loaded.window.hwnd(), notice, false);
        std::vector<std::vector<COLORREF>> shown;
        for (const auto& animation : animations) shown.push_back(shown_by(animation.control));
        for (int look = 0; look < 8; ++look) {  // about 1 s: fourteen frames of the link, six of the mast
            pump_for(125);
            for (size_t i = 0; i < std::size(animations); ++i)
                EXPECT_EQ(shown_by(animations[i].control), shown[i])
                    << animations[i].name << " brought a frame";
        }
        tell(loaded.window.hwnd(), notice, true);
        for (size_t i = 0; i < std::size(animations); ++i)
            expect_goes_on_from(animations[i].control, animations[i].frames, shown[i], animations[i].name);
    }
}

// The screen is seen only when nothing says otherwise: unlocked with the display still off, the
// animations rest on.
TEST(Animations, RestUntilTheSessionIsUnlockedAndTheDisplayOn) {
    LoadedWindow loaded;
    const HWND link = loaded.window.control(kAniGIF2);
    const auto frames = frames_of(link, IDG_BANNER_LINK, RGB(255, 255, 255));
    tell(loaded.window.hwnd(), kSessionLocked, false);
    tell(loaded.window.hwnd(), kDisplayOff, false);
    const std::vector<COLORREF> shown = shown_by(link);
    tell(loaded.window.hwnd(), kSessionLocked, true);
    pump_for(500);
    EXPECT_EQ(shown_by(link), shown) << "played with the display off";
    tell(loaded.window.hwnd(), kDisplayOff, true);
    expect_goes_on_from(link, frames, shown, "banner link");
}

// Nobody sees a hidden window's pictures either: About hidden rests, and shown again goes on from the
// frame it showed.
TEST(Animations, RestWhileTheirWindowIsHiddenAndGoOnFromTheFrameTheyShowed) {
    Shell shell;
    Shown<SobreAutoWindow, Shell> about(shell);
    const HWND mast = about.window.control(kSobreAniGIF2);
    const auto frames = frames_of(mast, IDG_ABOUT_MAST, GetSysColor(COLOR_BTNFACE));
    const std::vector<COLORREF> before = shown_by(mast);
    ShowWindow(about.window.hwnd(), SW_HIDE);
    pump_for(400);  // two or three frames of 150 ms were it playing, far from the 7 that come round again
    ShowWindow(about.window.hwnd(), SW_SHOW);
    EXPECT_EQ(shown_by(mast), before) << "frames went on while hidden";
    expect_goes_on_from(mast, frames, before, "About mast");
}

// Given another size (another DPI, say), an animation makes its frames again for its new area: the
// picture fitted and centred there, the margin around it painted; and it plays on.
TEST(Animations, MakeTheirFramesAgainForANewSize) {
    LoadedWindow loaded;
    const HWND tower = loaded.window.control(kAniGIF1);
    RECT area;
    GetClientRect(tower, &area);
    // Smaller, so that nothing beside it covers what the test reads off the screen.
    SetWindowPos(tower, nullptr, 0, 0, area.right / 2, area.bottom / 2, SWP_NOMOVE | SWP_NOZORDER);
    const auto frames = frames_of(tower, IDG_BANNER_TOWER, RGB(255, 255, 255));
    ASSERT_EQ(frames.front().size(), size_t(area.right / 2 * (area.bottom / 2)));
    EXPECT_NE(std::find(frames.begin(), frames.end(), shown_by(tower)), frames.end())
        << "shows none of its frames at the new size";
    expect_playing(tower, RGB(255, 255, 255), "banner tower, resized");
}

// The system's colours changed: the colour around the picture is the form's new one, in the margin
// and under the picture's transparent pixels alike. (Windows tells the top-level windows; a form hands
// WM_SYSCOLORCHANGE on to its controls.)
TEST(Animations, MakeTheirFramesAgainOnTheSystemsNewColours) {
    Shell shell;
    Shown<SobreAutoWindow, Shell> about(shell);
    const HWND mast = about.window.control(kSobreAniGIF2);
    const int face = COLOR_BTNFACE;
    const COLORREF was = GetSysColor(face), now = RGB(200, 100, 50);
    ASSERT_TRUE(SetSysColors(1, &face, &now));
    SendMessageW(mast, WM_SYSCOLORCHANGE, 0, 0);
    pump_for(300);
    const auto frames = frames_of(mast, IDG_ABOUT_MAST, now);
    const std::vector<COLORREF> shown = shown_by(mast);
    SetSysColors(1, &face, &was);
    EXPECT_NE(std::find(frames.begin(), frames.end(), shown), frames.end())
        << "does not show its frames on the new colour";
    EXPECT_EQ(shown.front(), now) << "the margin keeps the old colour";
}

// A picture whose bytes cannot be decoded, and one whose frames cannot be held in memory at the size
// of its area: both leave the area blank, with a trace line that says why, and the program goes on.
TEST(Animations, APictureThatCannotBeHadLeavesItsAreaBlank) {
    ASSERT_TRUE(
        FindResourceW(nullptr, MAKEINTRESOURCEW(IDG_DAMAGED_PICTURE), MAKEINTRESOURCEW(RT_GIF_ANIMATION)))
        << "the damaged picture is not embedded";
    register_animation_class();
    const HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                        nullptr, GetModuleHandleW(nullptr), nullptr);
    const struct {
        const char* name;
        int resource;
        int size;
        const char* traced;
    } pictures[] = {
        {"damaged", IDG_DAMAGED_PICTURE, 60,
         "relinka: animation: decoding its picture, so its area stays blank: 0x"},
        {"too large", IDG_OVERSIZED_PICTURE, 30'000,
         "relinka: animation: its frames would take more than 256 MiB, so its area stays blank: "
         "0x8007000E\n"},
    };
    for (const auto& picture : pictures) {
        const DebugOutput debug_output;
        ASSERT_TRUE(debug_output.reading());
        const HWND control = CreateWindowExW(
            0, kAnimationClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, picture.size, picture.size, parent, nullptr,
            GetModuleHandleW(nullptr), reinterpret_cast<void*>(static_cast<INT_PTR>(picture.resource)));
        pump_for(300);
        ASSERT_TRUE(IsWindow(control)) << picture.name;
        RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const std::vector<COLORREF> shown = pixels_of(WindowDc(control).get(), 60, 60);
        EXPECT_EQ(std::count(shown.begin(), shown.end(), GetSysColor(COLOR_BTNFACE)), 60 * 60)
            << picture.name;
        EXPECT_TRUE(debug_output.shows(picture.traced))
            << picture.name << ": " << debug_output.text(GetCurrentProcessId());
        DestroyWindow(control);
    }
    DestroyWindow(parent);
}

}  // namespace
}  // namespace relinka::testing
