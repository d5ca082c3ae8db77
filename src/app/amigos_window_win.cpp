#include "app/amigos_window_win.h"

#include <optional>
#include <utility>

#include "app/exit_codes.h"
#include "app/status_announcements_win.h"
#include "windows/ajuda_win.h"
#include "windows/sobre_auto_win.h"
#include "winlib/private_messages_win.h"
#include "winlib/trace_win.h"

namespace relinka {

namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Interval = 1000;  // ms
// Posted for the clicks that waited; run by the message loop, after whatever input came before them.
constexpr UINT kRunPendingClicks = kFirstFreeMessage;

struct Click {
    int id;
    void (Amigos::*handler)();
};

constexpr Click kClicks[] = {
    {kCommand1, &Amigos::Command1_Click}, {kCommand2, &Amigos::Command2_Click},
    {kCommand3, &Amigos::Command3_Click}, {kCommand4, &Amigos::Command4_Click},
    {kCommand5, &Amigos::Command5_Click}, {kCommand6, &Amigos::Command6_Click},
    {kGravar, &Amigos::gravar_Click},     {kLer, &Amigos::ler_Click},
    {kSobre, &Amigos::sobre_Click},
};

std::wstring text_of(HWND control) {
    std::wstring text(GetWindowTextLengthW(control), L'\0');
    const int length = GetWindowTextW(control, text.data(), static_cast<int>(text.size()) + 1);
    text.resize(length);
    return text;
}

}  // namespace

AmigosWindow::AmigosWindow(SystemDesktop& desktop, Shell& shell, Annotations& annotations)
    : Form(kAmigosForm, kAmigosControls), desktop_(desktop), shell_(shell), annotations_(annotations) {
    describe_with(annotations);
}

std::wstring AmigosWindow::Text(int box) const { return text_of(control(text_box_id(box))); }

void AmigosWindow::SetText(int box, std::wstring_view text) {
    SetWindowTextW(control(text_box_id(box)), std::wstring(text).c_str());
}

int AmigosWindow::Check(int slot) const {
    return SendMessageW(control(kCheck1 + slot - 1), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void AmigosWindow::SetCheck(int slot, int value) {
    SendMessageW(control(kCheck1 + slot - 1), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

void AmigosWindow::SetLabel(int slot, std::wstring_view caption) {
    const HWND label = control(kLabel1 + slot - 1);
    show_status(label, slot, text_of(label), caption, described() ? &annotations_ : nullptr);
}

void AmigosWindow::SetTimerEnabled(bool enabled) {
    if (enabled == timer_enabled_) return;
    timer_enabled_ = enabled;
    timer_due_ = false;
    if (enabled) {
        trace_last_error_if(!SetTimer(hwnd(), kTimer1, kTimer1Interval, nullptr),
                            "SetTimer Timer1, so no tick comes");
    } else
        KillTimer(hwnd(), kTimer1);
    if (described()) announce_indicator(control(kShape1), enabled, annotations_);
}

// The same timer, due at once: its tick has the lowest priority of all messages, so whatever the tick
// held back (the operator's input, the clicks that waited) is handled first. Its first tick sets the beat
// back.
void AmigosWindow::SetTimerDue() {
    if (!timer_enabled_) return;
    timer_due_ =
        !trace_last_error_if(!SetTimer(hwnd(), kTimer1, USER_TIMER_MINIMUM, nullptr),
                             "SetTimer Timer1 due at once, so the next tick comes at the timer's next beat");
}

void AmigosWindow::SetIndicatorFill(Colour colour) { set_fill_colour(kShape1, colour); }
void AmigosWindow::SetIndicatorBack(Colour colour) { set_back_colour(kShape1, colour); }

void AmigosWindow::ShowAjuda() {
    AjudaWindow window;
    run_modal(window);
}

void AmigosWindow::ShowSobreAuto() {
    SobreAutoWindow window(shell_);
    run_modal(window);
}

void AmigosWindow::run_modal(ModalForm& window) {
    window.use_screen(screen());
    if (!window.create()) return;
    window.describe_with(annotations_);
    modal_ = &window;
    desktop_.set_message_box_owner(window.hwnd());
    window.run(hwnd());
    desktop_.set_message_box_owner(hwnd());
    modal_ = nullptr;
}

void AmigosWindow::Unload() {
    if (modal_) modal_->close();
    if (hwnd()) DestroyWindow(hwnd());
}

void AmigosWindow::click(int id) {
    for (const Click& click : kClicks)
        if (click.id == id) (amigos_->*click.handler)();
}

void AmigosWindow::clicked(int id) {
    // Sent by another thread (a screen reader's or another program's BM_CLICK or WM_COMMAND): the sender is
    // answered now and never waits on the handler.
    const DWORD sent = InSendMessageEx(nullptr);
    const bool from_another_thread = sent & ISMEX_SEND;
    if (from_another_thread && !(sent & ISMEX_REPLIED)) ReplyMessage(0);
    if (pending_clicks_.runs_now(id, amigos_->ticking(), from_another_thread))
        click(id);
    else if (!amigos_->ticking())
        post_pending_clicks();
}

void AmigosWindow::post_pending_clicks() {
    trace_last_error_if(!PostMessageW(hwnd(), kRunPendingClicks, 0, 0),
                        "the clicks that waited: left until the next tick ends");
}

void AmigosWindow::run_pending_clicks() {
    while (const std::optional<int> id = pending_clicks_.next(amigos_->ticking())) click(*id);
}

LRESULT AmigosWindow::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    screen_watch_.follow(hwnd(), message, wparam, lparam);
    if (LRESULT result; follower_ && follower_->follow(message, wparam, lparam, result)) return result;
    switch (message) {
        case WM_CREATE:
            desktop_.set_message_box_owner(hwnd());
            break;
        case WM_COMMAND:
            if (amigos_ && HIWORD(wparam) == BN_CLICKED) clicked(LOWORD(wparam));
            return 0;
        case kRunPendingClicks:
            if (amigos_) run_pending_clicks();
            return 0;
        case WM_TIMER:
            if (!amigos_ || wparam != kTimer1) return 0;
            if (std::exchange(timer_due_, false))
                trace_last_error_if(!SetTimer(hwnd(), kTimer1, kTimer1Interval, nullptr),
                                    "SetTimer Timer1 back to its beat, so no tick comes");
            amigos_->Timer1_Timer();
            // The outermost tick has ended: the clicks that waited for it run next.
            if (!amigos_->ticking() && !pending_clicks_.empty()) post_pending_clicks();
            return 0;
        case WM_CLOSE:  // the close box: no question
            if (amigos_) amigos_->end_program();
            return 0;
        case WM_QUERYENDSESSION:  // nothing to save: the list is written only by "Gravar amigos"
            return TRUE;
        case WM_ENDSESSION:
            // Windows is ending the session and may end the process from here on. It ends now, without
            // letting go of EchoLink, which would be a call into a program that may not answer.
            if (wparam) TerminateProcess(GetCurrentProcess(), kEndedAsAsked);
            return 0;
        case WM_DESTROY:
            timer_enabled_ = false;
            PostQuitMessage(0);
            break;  // on to the form, which has its controls forgotten
    }
    return Form::handle(message, wparam, lparam);
}

void AmigosWindow::describe(Annotations& annotations) {
    Form::describe(annotations);
    for (int slot = 1; slot <= kSlots; ++slot) {
        const HWND label = control(kLabel1 + slot - 1);
        describe_status_label(label, slot, text_of(label), annotations);
    }
    describe_indicator(control(kShape1), timer_enabled_, annotations);
}

}  // namespace relinka
