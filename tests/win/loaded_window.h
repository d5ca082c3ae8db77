#pragma once
// The main window as the program builds it, with the core's handlers on fakes of the desktop and
// EchoLink, loaded and shown; the shell's calls and the annotations of the controls are written down
// instead of made.
#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "../core/fakes.h"
#include "app/amigos_window_win.h"
#include "wine_support.h"

namespace relinka::testing {

class RecordingShell : public WindowsDesktop {
public:
    struct Call {
        HWND owner;
        std::wstring operation, file, parameters, directory;
        int show;
    };
    void shell_execute(HWND owner, const wchar_t* operation, const wchar_t* file, const wchar_t* parameters,
                       const wchar_t* directory, int show) override {
        calls.push_back({owner, operation, file, parameters, directory, show});
    }
    std::vector<Call> calls;
};

// What the program asks of the system's annotation service, kept per control as the system keeps it.
struct RecordedAnnotations : Annotations {
    struct Annotated {
        std::optional<std::wstring> name;
        std::optional<LONG> role;
        bool live = false;
    };
    std::map<HWND, Annotated> controls;

    void set_name(HWND control, const std::wstring& name) override { controls[control].name = name; }
    void set_role(HWND control, LONG role) override { controls[control].role = role; }
    void set_polite_live_region(HWND control) override { controls[control].live = true; }
    void clear(HWND control) override { controls.erase(control); }
};

struct LoadedWindow {
    Trace trace;
    FakeDesktop desktop{trace};
    RecordingShell shell;
    RecordedAnnotations annotated;
    AmigosWindow window{shell, annotated};
    FakeEchoLink::Station station;
    Amigos amigos{window, desktop, [this](std::function<void()>) -> std::unique_ptr<EchoLink> {
                      return std::make_unique<FakeEchoLink>(trace, station);
                  }};
    explicit LoadedWindow(const Screen& screen = system_screen()) {
        window.use_screen(screen);
        window.create();
        window.attach(amigos);
        amigos.Form_Load();
        window.show();
        SetForegroundWindow(window.hwnd());
        pump_for(200);
    }
    HWND named(const ControlSpec& design) const { return window.control(design.id); }
    void click(int id) { SendMessageW(window.control(id), BM_CLICK, 0, 0); }
};

}  // namespace relinka::testing
