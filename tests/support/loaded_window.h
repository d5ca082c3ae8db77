#pragma once
// The main window as the program builds it, with the core's handlers on fakes of the desktop and
// EchoLink, loaded and shown; the shell's calls are written down instead of made, and the annotations
// of the controls go to a recording service. And any other window of the program, shown.
#include <windows.h>

#include <string>
#include <vector>

#include "app/amigos_window_win.h"
#include "core/fakes.h"
#include "support/fake_annotation_service.h"
#include "support/wine_support.h"

namespace relinka::testing {

class RecordingShell : public Shell {
public:
    struct Call {
        HWND owner;
        std::wstring operation, file, parameters, directory;
        int show;
    };
    void execute(HWND owner, const wchar_t* operation, const wchar_t* file, const wchar_t* parameters,
                 const wchar_t* directory, int show) override {
        calls.push_back({owner, operation, file, parameters, directory, show});
    }
    std::vector<Call> calls;
};

struct LoadedWindow {
    Trace trace;
    FakeDesktop desktop{trace};
    SystemDesktop boxes;  // the owner of the message boxes the fake desktop would show
    RecordingShell shell;
    ComPtr<FakeAnnotationService> service = FakeAnnotationService::make();
    Annotations annotations{service->maker()};
    AmigosWindow window{boxes, shell, annotations};
    FakeEchoLink::Station station;
    Amigos amigos{window, desktop, [this](std::function<void()>) -> std::unique_ptr<EchoLink> {
                      return std::make_unique<FakeEchoLink>(trace, station);
                  }};
    explicit LoadedWindow(const Screen& screen = system_screen()) {
        window.use_screen(screen);
        EXPECT_TRUE(window.create()) << "the main window was not made";
        window.attach(amigos);
        amigos.Form_Load();
        trace.clear();  // the start-up's steps: the core's tests state them
        window.show();
        SetForegroundWindow(window.hwnd());
        pump_for(200);
    }
    HWND named(const ControlSpec& design) const { return window.control(design.id); }
    void click(int id) { SendMessageW(window.control(id), BM_CLICK, 0, 0); }
};

// A window of the program made from `args` (the Help or About window, say), shown and in front.
template <class W, class... Args>
struct Shown {
    W window;
    explicit Shown(Args&... args) : window(args...) {
        EXPECT_TRUE(window.create()) << "the window was not made";
        window.show();
        SetForegroundWindow(window.hwnd());
        pump_for(100);
    }
};

}  // namespace relinka::testing
