// The supervision cycle: once a second every ticked slot's station is checked and, when down, connected
// again. "Liga" and "Desliga" switch the cycle on and off.
#include "app/amigos.h"
#include "echolink/busy.h"

namespace relinka {

namespace {
constexpr unsigned kWaitBeforeConnect = 3000;  // ms, as the operator knows it
}

void Amigos::Timer1_Timer() {
    // A tick that falls due while this one runs (its wait, a call into EchoLink, its message box) never
    // runs inside it, so the operator never sees the same message twice: it runs once, as soon as this
    // one ends, as a timer whose thread is busy always ticks. However many fell due, one runs.
    if (ticking_) {
        tick_missed_ = true;
        return;
    }
    // Released however the tick ends, an unexpected exception included, so that ticks go on after it.
    struct Guard {
        bool& ticking;
        bool& missed;
        ~Guard() { ticking = missed = false; }
    } guard{ticking_ = true, tick_missed_};
    unless_ended([&] {
        calls_ = failed_calls_ = 0;
        try {
            for (int slot = 1; slot <= kSlots; ++slot) supervise_slot(slot);
            tell([&](SupervisionObserver& observer) { observer.tick_ended(calls_, failed_calls_); });
        } catch (const EchoLinkBusy&) {
            // A busy EchoLink is not a dropped link: every label stays as it was.
            tell([](SupervisionObserver& observer) { observer.echolink_busy(); });
        }
        if (tick_missed_) form_.SetTimerDue();
    });
}

template <class Call>
void Amigos::tick_call(Call call) {
    ++calls_;
    try {
        call();
    } catch (const EchoLinkError& failure) {
        stop_if_ended();
        if (busy_status(failure.status())) throw EchoLinkBusy{};
        ++failed_calls_;
    }
    stop_if_ended();
}

// Every EchoLink call of the cycle comes after the first ticked slot, so all run under resume-next.
void Amigos::supervise_slot(int slot) {
    if (form_.Check(slot) == 1) {
        if (!form_.Text(slot).empty()) {
            form_.SetText(slot, desktop_.upper_case(form_.Text(slot)));
            bool connected = false;  // a failed query counts as not connected
            tick_call([&] { connected = Echo->IsConnected(form_.Text(slot)); });
            if (!connected) {
                desktop_.sleep(kWaitBeforeConnect);
                stop_if_ended();  // Closing may come during the wait
                tick_call([&] { Echo->Connect(form_.Text(slot), true); });
            }
            connected = false;
            tick_call([&] { connected = Echo->IsConnected(form_.Text(slot)); });
            form_.SetLabel(slot, connected ? L"conectado" : L"desconectado");
            tell([&](SupervisionObserver& observer) { observer.read(slot, form_.Text(slot), connected); });
        } else {
            desktop_.beep();
            desktop_.beep();
            ask(L"Entre com a estação desejada primeiro...", L"Relinka", kOkOnly);
            form_.SetCheck(slot, 0);
        }
    }
    if (form_.Check(slot) == 0) {
        form_.SetLabel(slot, L" ");
        tell([&](SupervisionObserver& observer) { observer.unticked(slot); });
    }
}

void Amigos::Command5_Click() {
    unless_ended([&] {
        desktop_.beep();
        set_running(true);
        set_indicator(kGreen);
        tell([](SupervisionObserver& observer) { observer.switched_on(); });
    });
}

void Amigos::Command4_Click() {
    unless_ended([&] {
        stop_supervision();
        tell([](SupervisionObserver& observer) { observer.switched_off(); });
    });
}

void Amigos::stop_supervision() {
    desktop_.beep();
    set_running(false);
    set_indicator(kRed);
}

}  // namespace relinka
