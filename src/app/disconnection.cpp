// Dropping stations by hand: one by its callsign, or all of them (which also stops the cycle).
#include "app/amigos.h"

namespace relinka {

void Amigos::Command2_Click() {
    unless_ended([&] {
        if (form_.Text(kDropBox).empty()) {
            desktop_.beep();
            ask(L"Entre com o indicativo primeiro", L"Relinka", kOkOnly);
            return;
        }
        form_.SetText(kDropBox, desktop_.upper_case(form_.Text(kDropBox)));
        resume_next([&] { Echo->Disconnect(form_.Text(kDropBox)); });
        tell([&](SupervisionObserver& observer) { observer.dropped_one(form_.Text(kDropBox)); });
    });
}

void Amigos::Command6_Click() {
    unless_ended([&] {
        stop_supervision();
        for (int slot = 1; slot <= kSlots; ++slot) form_.SetLabel(slot, L" ");
        try {
            Echo->DisconnectAll();
            stop_if_ended();
            tell([](SupervisionObserver& observer) { observer.dropped_all({}); });
        } catch (const EchoLinkError& failure) {
            stop_if_ended();
            tell([&](SupervisionObserver& observer) {
                observer.dropped_all(status_code_text(failure.status()));
            });
            // The program keeps running, stopped, as the steps above left it.
            ask(L"O EchoLink não conseguiu desconectar as estações (erro " +
                    status_code_text(failure.status()) + L").",
                L"Relinka", kOkOnly | kExclamation);
        }
    });
}

}  // namespace relinka
