#pragma once
// The main window's handlers, named after their controls and events. They work on the window's
// controls directly (AmigosForm); the only state of their own is whether the program has ended, whether a
// supervision tick is running, and whether one fell due meanwhile.
#include <functional>
#include <memory>
#include <string_view>

#include "app/amigos_form.h"
#include "app/desktop.h"
#include "echolink/link.h"
#include "history/supervision_observer.h"

namespace relinka {

class Amigos {
public:
    // Creates the link and subscribes `on_closing` to its Closing event; throws EchoLinkError.
    using LinkFactory = std::function<std::unique_ptr<EchoLink>(std::function<void()> on_closing)>;

    Amigos(AmigosForm& form, Desktop& desktop, LinkFactory create_link);

    // Start-up. Throws EchoLinkError when the link cannot be created; the window must then not open.
    // Closing arriving while the link is being made ends the program there: ended() is then true.
    void Form_Load();
    void Command1_Click();  // "Encerrar"
    void Echo_Closing();
    // The close box, "Encerrar" answered Yes and Closing all end here. The link is released when this
    // object goes, after the message loop: a call into EchoLink may still be on the stack now.
    void end_program();
    bool ended() const { return ended_; }

    void Timer1_Timer();
    bool ticking() const { return ticking_; }
    void Command5_Click();  // "Liga"
    void Command4_Click();  // "Desliga"

    void Command2_Click();  // "Desconectar amigo"
    void Command6_Click();  // "Desconecta todos"

    void gravar_Click();  // "Gravar amigos"
    void ler_Click();     // "Ler amigos"

    void Command3_Click();  // "Ajuda"
    void sobre_Click();     // "Sobre"

    // Told what the handlers did: each slot's reading, the operator's commands, the start and the end.
    void observe_with(SupervisionObserver& observer) { observer_ = &observer; }

private:
    struct ProgramEnded {};
    // EchoLink turned a call of the tick away for being busy: the rest of the tick waits for the next.
    struct EchoLinkBusy {};

    // Runs a handler's body unless the program has ended; a body stops at its first step after the end.
    template <class Body>
    void unless_ended(Body body) {
        if (ended_) return;
        try {
            body();
        } catch (const ProgramEnded&) {
        }
    }
    // Called after every step that lets other events in (EchoLink calls, modal windows).
    void stop_if_ended() const {
        if (ended_) throw ProgramEnded{};
    }
    // One statement under resume-next error handling: an EchoLink failure skips it.
    template <class Statement>
    void resume_next(Statement statement) {
        try {
            statement();
        } catch (const EchoLinkError&) {
        }
        stop_if_ended();
    }
    // One EchoLink call of the tick, under resume-next; a busy EchoLink ends the tick instead.
    template <class Call>
    void tick_call(Call call);
    // Whatever the observer does, or fails to do, the handler goes on exactly as without one.
    template <class Telling>
    void tell(Telling telling) noexcept {
        if (!observer_) return;
        try {
            telling(*observer_);
        } catch (...) {
        }
    }
    int ask(std::wstring_view text, std::wstring_view title, unsigned style);

    void set_indicator(Colour colour);
    // Timer1 on or off; the PC is kept awake exactly while the supervision runs.
    void set_running(bool running);
    void supervise_slot(int slot);
    void stop_supervision();
    void fill_boxes_from_friends_file();
    void fill_slots_at_start_up();

    AmigosForm& form_;
    Desktop& desktop_;
    LinkFactory create_link_;
    std::unique_ptr<EchoLink> Echo;
    bool ended_ = false;
    bool ticking_ = false;
    bool tick_missed_ = false;
    SupervisionObserver* observer_ = nullptr;
    int calls_ = 0, failed_calls_ = 0;  // the EchoLink calls of the tick under way
};

}  // namespace relinka
