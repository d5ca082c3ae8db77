#include "winlib/animation_win.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "winlib/animation_frames_win.h"
#include "winlib/private_messages_win.h"
#include "winlib/trace_win.h"
#include "winlib/unique_win.h"
#include "winlib/window_win.h"

namespace relinka {

namespace {

constexpr unsigned kShortestDelay = 20;  // ms; shorter ones mean "no delay given"
constexpr unsigned kDelayWhenMissing = 100;

bool screen_seen = true;

// One animation control. Showing a frame is a copy of frames made once.
class AnimationControl final : public Window {
public:
    static void register_class_once() {
        register_control_class(kAnimationClass, CS_OWNDC,  // its device context is kept, not made per frame
                               [](const CREATESTRUCTW& creation) -> std::unique_ptr<Window> {
                                   return std::make_unique<AnimationControl>(
                                       static_cast<int>(reinterpret_cast<INT_PTR>(creation.lpCreateParams)));
                               });
    }
    static void set_screen_seen(bool seen) {
        screen_seen = seen;
        for (AnimationControl* control : living()) control->follow_state();
    }

    explicit AnimationControl(int resource) : resource_(resource) { living().push_back(this); }
    ~AnimationControl() override { std::erase(living(), this); }

protected:
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) override {
        switch (message) {
            case WM_CREATE:
                PostMessageW(hwnd(), kDecodePicture, 0, 0);
                return 0;
            case kDecodePicture:
                if (!decoded_) {
                    decoded_ = true;
                    make_frames();
                }
                return 0;
            case WM_SIZE:
            case WM_SYSCOLORCHANGE:  // another area, or another colour around the picture
                if (decoded_) make_frames();
                return 0;
            case kFollowWindowState:
                follow_state();
                return 0;
            case WM_TIMER:
                if (wparam == kAnimationFrameTimer) next_frame();
                return 0;
            case WM_ERASEBKGND:
                return TRUE;
            case WM_PAINT:
                paint();
                return 0;
            case WM_NCDESTROY:
                KillTimer(hwnd(), kAnimationFrameTimer);
                break;
        }
        return Window::handle(message, wparam, lparam);
    }

private:
    static std::vector<AnimationControl*>& living() {
        static std::vector<AnimationControl*> controls;
        return controls;
    }

    // The colour the form gives the area around the picture, as it does for its labels.
    HBRUSH background(HDC dc) const {
        return reinterpret_cast<HBRUSH>(SendMessageW(GetParent(hwnd()), WM_CTLCOLORSTATIC,
                                                     reinterpret_cast<WPARAM>(dc),
                                                     reinterpret_cast<LPARAM>(hwnd())));
    }

    void make_frames() {
        RECT area;
        GetClientRect(hwnd(), &area);
        LOGBRUSH colour{};
        GetObjectW(background(WindowDc(hwnd()).get()), sizeof colour, &colour);
        frames_ = AnimationFrames::of(resource_, {area.right, area.bottom}, colour.lbColor);
        follow_state();
        InvalidateRect(hwnd(), nullptr, FALSE);
    }

    void paint() {
        PAINTSTRUCT painting;
        const HDC dc = BeginPaint(hwnd(), &painting);
        if (frames_) {
            frames_->show(dc, frame_);
        } else {
            RECT area;
            GetClientRect(hwnd(), &area);
            FillRect(dc, &area, background(dc));
        }
        EndPaint(hwnd(), &painting);
    }

    bool playing() const { return frames_ && frames_->count() > 1 && !finished_; }

    // Rests while nobody can see it; else plays on from the frame shown.
    void follow_state() {
        const bool resting =
            !screen_seen || IsIconic(GetAncestor(hwnd(), GA_ROOT)) || !IsWindowVisible(hwnd());
        if (resting || !playing())
            stop_timer();
        else
            schedule();
    }

    void next_frame() {
        if (!playing() || timer_delay_ == 0) return;  // a frame already on its way when it came to rest
        if (++frame_ == frames_->count()) {
            ++loops_played_;
            if (frames_->facts().loop_count != 0 && loops_played_ >= frames_->facts().loop_count) {
                --frame_;  // done: the last frame stays
                finished_ = true;
                stop_timer();
                return;
            }
            frame_ = 0;
        }
        // Drawn at once, without a trip through WM_PAINT: a frame is only a copy, and the margin stays.
        frames_->copy_frame(WindowDc(hwnd()).get(), frame_);
        schedule();
    }

    // The timer runs at the current frame's delay; it is set again only when that delay changes.
    void schedule() {
        unsigned delay = frames_->facts().delays_ms[frame_];
        if (delay < kShortestDelay) delay = kDelayWhenMissing;
        if (delay == timer_delay_) return;
        if (trace_last_error_if(!SetTimer(hwnd(), kAnimationFrameTimer, delay, nullptr),
                                "SetTimer of an animation, so it stands still"))
            return;
        timer_delay_ = delay;
    }
    void stop_timer() {
        if (timer_delay_ == 0) return;
        KillTimer(hwnd(), kAnimationFrameTimer);
        timer_delay_ = 0;
    }

    const int resource_;
    bool decoded_ = false;
    std::shared_ptr<const AnimationFrames> frames_;
    size_t frame_ = 0;
    unsigned loops_played_ = 0;
    bool finished_ = false;
    unsigned timer_delay_ = 0;  // 0: no timer
};

}  // namespace

void register_animation_class() {
    static const bool registered = (AnimationControl::register_class_once(), true);
    (void)registered;
}

void follow_window_state(HWND control) { SendMessageW(control, kFollowWindowState, 0, 0); }

void set_screen_seen(bool seen) { AnimationControl::set_screen_seen(seen); }

}  // namespace relinka
