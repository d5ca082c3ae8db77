// Start-up and the three ways the program ends.
#include "app/amigos.h"

#include <utility>

namespace relinka {

Amigos::Amigos(AmigosForm& form, Desktop& desktop, LinkFactory create_link)
    : form_(form), desktop_(desktop), create_link_(std::move(create_link)) {}

void Amigos::Form_Load() {
    Echo = create_link_([this] { Echo_Closing(); });
    if (ended_) return;  // Closing came while the link was being made: the windows are gone
    set_running(true);
    set_indicator(kGreen);
    fill_slots_at_start_up();
    tell([&](SupervisionObserver& observer) {
        std::vector<SlotStation> stations;
        for (int slot = 1; slot <= kSlots; ++slot)
            if (form_.Check(slot) == 1 && !form_.Text(slot).empty())
                stations.push_back({slot, desktop_.upper_case(form_.Text(slot))});
        observer.started(stations);
    });
}

void Amigos::Command1_Click() {
    unless_ended([&] {
        desktop_.beep();
        if (ask(L"Tem certeza que quer sair?", desktop_.program_name(),
                kYesNo | kQuestion | kDefaultButton2) == kYes)
            end_program();
    });
}

void Amigos::Echo_Closing() {
    if (!ended_) tell([](SupervisionObserver& observer) { observer.ended(EndReason::EchoLinkClosed); });
    end_program();
}

void Amigos::end_program() {
    if (ended_) return;
    tell([](SupervisionObserver& observer) { observer.ended(EndReason::Operator); });
    ended_ = true;
    desktop_.keep_system_awake(false);
    form_.Unload();
}

int Amigos::ask(std::wstring_view text, std::wstring_view title, unsigned style) {
    const int answer = desktop_.message_box(text, title, style);
    stop_if_ended();
    return answer;
}

void Amigos::set_running(bool running) {
    form_.SetTimerEnabled(running);
    desktop_.keep_system_awake(running);
}

void Amigos::set_indicator(Colour colour) {
    form_.SetIndicatorFill(colour);
    form_.SetIndicatorBack(colour);
}

}  // namespace relinka
