#include "win32/animation_win.h"

#include <memory>

#include "win32/animation_frames_win.h"
#include "win32/unique_win.h"

namespace relinka {

namespace {

constexpr unsigned kShortestDelay = 20;  // ms; shorter ones mean "no delay given"
constexpr unsigned kDelayWhenMissing = 100;
// Posted by a new control to itself: its picture is decoded once the window has shown, so that decoding
// (and starting GDI+) does not hold up the program's first paint.
constexpr UINT kDecodeMessage = WM_APP + 1;
constexpr UINT kRestMessage = WM_APP + 2;  // wparam: resting

// One playing animation, owned by its control window. Showing a frame is a copy of frames made once.
class Player {
public:
    Player(HWND hwnd, std::shared_ptr<const AnimationFrames> frames)
        : hwnd_(hwnd),
          frames_(std::move(frames)),
          playing_(frames_->count() > 1),
          resting_(IsIconic(GetAncestor(hwnd, GA_ROOT))) {
        if (!resting_) schedule();
    }

    void next_frame() {
        if (!playing_ || resting_) return;  // a frame already on its way when it came to rest
        if (++frame_ == frames_->count()) {
            ++loops_played_;
            if (frames_->facts().loop_count != 0 && loops_played_ >= frames_->facts().loop_count) {
                --frame_;  // done: the last frame stays
                playing_ = false;
                stop_timer();
                return;
            }
            frame_ = 0;
        }
        // Drawn at once, without a trip through WM_PAINT: a frame is only a copy.
        paint(WindowDc(hwnd_).get());
        schedule();
    }

    void rest(bool resting) {
        if (resting == resting_) return;
        resting_ = resting;
        if (resting_)
            stop_timer();
        else
            schedule();
    }

    void paint(HDC dc) const { frames_->show(dc, frame_); }

private:
    // The timer runs at the current frame's delay; it is set again only when that delay changes.
    void schedule() {
        if (!playing_) return;
        unsigned delay = frames_->facts().delays_ms[frame_];
        if (delay < kShortestDelay) delay = kDelayWhenMissing;
        if (delay == timer_delay_) return;
        SetTimer(hwnd_, kAnimationFrameTimer, delay, nullptr);
        timer_delay_ = delay;
    }
    void stop_timer() {
        KillTimer(hwnd_, kAnimationFrameTimer);
        timer_delay_ = 0;
    }

    HWND hwnd_;
    std::shared_ptr<const AnimationFrames> frames_;
    bool playing_;
    bool resting_;
    size_t frame_ = 0;
    unsigned loops_played_ = 0;
    unsigned timer_delay_ = 0;  // 0: no timer
};

// The colour the form gives the area around the picture, as it does for its labels.
HBRUSH background_of(HWND hwnd, HDC dc) {
    return reinterpret_cast<HBRUSH>(SendMessageW(
        GetParent(hwnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
}

Player* decode(HWND hwnd, int resource) {
    RECT area;
    GetClientRect(hwnd, &area);
    LOGBRUSH background{};
    {
        const WindowDc dc(hwnd);
        GetObjectW(background_of(hwnd, dc.get()), sizeof background, &background);
    }
    auto frames = AnimationFrames::of(resource, {area.right, area.bottom}, background.lbColor);
    return frames ? new Player(hwnd, std::move(frames)) : nullptr;
}

LRESULT handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* player = reinterpret_cast<Player*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
        case WM_CREATE:
            PostMessageW(hwnd, kDecodeMessage,
                         reinterpret_cast<WPARAM>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams),
                         0);
            return 0;
        case kDecodeMessage:
            if (player) return 0;
            if ((player = decode(hwnd, static_cast<int>(wparam)))) {
                SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(player));
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            return 0;
        case kRestMessage:
            if (player) player->rest(wparam != 0);
            return 0;
        case WM_TIMER:
            if (player && wparam == kAnimationFrameTimer) player->next_frame();
            return 0;
        case WM_ERASEBKGND:
            return TRUE;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd, &paint);
            if (player) {
                player->paint(dc);
            } else {
                RECT area;
                GetClientRect(hwnd, &area);
                FillRect(dc, &area, background_of(hwnd, dc));
            }
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

LRESULT CALLBACK animation_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
    try {
        return handle(hwnd, message, wparam, lparam);
    } catch (...) {
        return 0;  // no memory for the frames: the area stays blank
    }
}

}  // namespace

void register_animation_class() {
    static const ATOM atom = [] {
        WNDCLASSEXW window_class{};
        window_class.cbSize = sizeof window_class;
        window_class.style = CS_OWNDC;  // its device context is kept, not made again for every frame
        window_class.lpfnWndProc = animation_procedure;
        window_class.hInstance = GetModuleHandleW(nullptr);
        window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        window_class.lpszClassName = kAnimationClass;
        return RegisterClassExW(&window_class);
    }();
    (void)atom;
}

void rest_animation(HWND control, bool resting) { SendMessageW(control, kRestMessage, resting, 0); }

}  // namespace relinka
