// "Gravar amigos", "Ler amigos" and the start-up fill: the eight callsign boxes to and from amigos.txt.
#include <optional>
#include <string>

#include "app/amigos.h"
#include "friends/friends_file.h"

namespace relinka {

static_assert(kFriendsLines == kSlots, "amigos.txt holds one line a station slot");

void Amigos::gravar_Click() {
    unless_ended([&] {
        // A box that cannot be converted would be saved as an empty line: nothing is written then.
        FriendsLines lines;
        std::optional<std::wstring> reason;
        for (int slot = 1; slot <= kSlots && !reason; ++slot)
            reason = desktop_.to_ansi(form_.Text(slot), lines[slot - 1]);
        // Written aside and put in place in one step: a failure leaves the old list untouched.
        if (!reason) reason = write_friends_file(desktop_, lines);
        if (reason)
            ask(L"A lista de amigos não foi gravada em amigos.txt.\n\n" + *reason, L"Relinka",
                kOkOnly | kExclamation);
    });
}

void Amigos::ler_Click() {
    unless_ended([&] {
        if (!ExisteArquivo(desktop_, kFriendsFile)) {
            ask(L"Grave os amigos primeiro!", L"Relinka", kOkOnly);
            return;
        }
        fill_boxes_from_friends_file();
    });
}

void Amigos::fill_boxes_from_friends_file() {
    const FriendsLines lines = read_friends_file(desktop_);
    for (int slot = 1; slot <= kSlots; ++slot) form_.SetText(slot, desktop_.from_ansi(lines[slot - 1]));
}

// Ticks every slot whose box received something, blanks included; never unticks.
void Amigos::fill_slots_at_start_up() {
    if (!ExisteArquivo(desktop_, kFriendsFile)) return;
    fill_boxes_from_friends_file();
    for (int slot = 1; slot <= kSlots; ++slot)
        if (!form_.Text(slot).empty()) form_.SetCheck(slot, 1);
}

}  // namespace relinka
