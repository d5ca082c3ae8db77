#pragma once
// The main window `amigos`: its controls are the program's state, and its messages become the handlers'
// calls.
#include "app/amigos.h"
#include "app/amigos_form.h"
#include "app/amigos_layout.h"
#include "app/pending_clicks.h"
#include "app/system_desktop_win.h"
#include "winlib/annotations_win.h"
#include "winlib/form_win.h"
#include "winlib/modal_form_win.h"
#include "winlib/screen_watch_win.h"
#include "winlib/shell_open_win.h"

namespace relinka {

// Something beside the handlers that follows the main window's messages (the connection history).
class MainWindowFollower {
public:
    virtual ~MainWindowFollower() = default;
    // True when the message was its own, with the window's answer in `result`.
    virtual bool follow(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) = 0;
};

class AmigosWindow : public Form, public AmigosForm {
public:
    // Screen readers are told what its controls, and the Help and About windows' controls, are through
    // `annotations`; `shell` opens About's web address.
    AmigosWindow(SystemDesktop& desktop, Shell& shell, Annotations& annotations);
    // The handlers that the window's events run; until then events do nothing.
    void attach(Amigos& amigos) { amigos_ = &amigos; }
    // Sees each message first.
    void follow_with(MainWindowFollower& follower) { follower_ = &follower; }

    std::wstring Text(int box) const override;
    void SetText(int box, std::wstring_view text) override;
    int Check(int slot) const override;
    void SetCheck(int slot, int value) override;
    void SetLabel(int slot, std::wstring_view caption) override;
    void SetTimerEnabled(bool enabled) override;
    void SetTimerDue() override;
    void SetIndicatorFill(Colour colour) override;
    void SetIndicatorBack(Colour colour) override;
    void ShowAjuda() override;
    void ShowSobreAuto() override;
    void Unload() override;

protected:
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) override;
    void describe(Annotations& annotations) override;

private:
    void run_modal(ModalForm& window);
    void click(int id);
    // A button's click, now or once the tick has ended (pending_clicks.h).
    void clicked(int id);
    void post_pending_clicks();
    void run_pending_clicks();

    SystemDesktop& desktop_;
    Shell& shell_;
    Annotations& annotations_;
    Amigos* amigos_ = nullptr;
    MainWindowFollower* follower_ = nullptr;
    bool timer_enabled_ = false;
    bool timer_due_ = false;  // Timer1 set to tick at once, for a tick missed while one ran
    PendingClicks pending_clicks_;
    ModalForm* modal_ = nullptr;  // the Help or About window while it is open
    ScreenWatch screen_watch_;    // the animations of every window rest while nobody sees the screen
};

}  // namespace relinka
