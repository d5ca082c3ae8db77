// The supervision cycle: once a second every ticked slot's station is checked and, when down, connected
// again. "Liga" and "Desliga" switch the cycle on and off.
#include "app/amigos.h"

namespace relinka {

namespace {
constexpr unsigned kWaitBeforeConnect = 3000;  // ms, as the operator knows it
}

void Amigos::Timer1_Timer() {
    // A call into EchoLink, the wait before a connect request or the cycle's message box lets timer
    // messages through; a tick arriving then is dropped, so the operator never sees the same message
    // twice. The next tick is the timer's first after this one ends.
    if (ticking_) return;
    // Released however the tick ends, an unexpected exception included, so that ticks go on after it.
    struct Guard {
        bool& ticking;
        ~Guard() { ticking = false; }
    } guard{ticking_ = true};
    unless_ended([&] {
        calls_ = failed_calls_ = 0;
        for (int slot = 1; slot <= kSlots; ++slot) supervise_slot(slot);
        tell([&](SupervisionObserver& observer) { observer.tick_ended(calls_, failed_calls_); });
    });
}

// Every EchoLink call of the cycle comes after the first ticked slot, so all run under resume-next.
void Amigos::supervise_slot(int slot) {
    if (form_.Check(slot) == 1) {
        if (!form_.Text(slot).empty()) {
            form_.SetText(slot, desktop_.upper_case(form_.Text(slot)));
            bool connected = false;  // a failed query counts as not connected
            resume_next([&] { connected = Echo->IsConnected(form_.Text(slot)); });
            if (!connected) {
                desktop_.sleep(kWaitBeforeConnect);
                stop_if_ended();  // Closing may come during the wait
                resume_next([&] { Echo->Connect(form_.Text(slot), true); });
            }
            connected = false;
            resume_next([&] { connected = Echo->IsConnected(form_.Text(slot)); });
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
