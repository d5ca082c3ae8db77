// "Ajuda" and "Sobre": a beep, then the window, modal. The supervision timer keeps ticking meanwhile.
#include "app/amigos.h"

namespace relinka {

void Amigos::Command3_Click() {
    unless_ended([&] {
        desktop_.beep();
        form_.ShowAjuda();
    });
}

void Amigos::sobre_Click() {
    unless_ended([&] {
        desktop_.beep();
        form_.ShowSobreAuto();
    });
}

}  // namespace relinka
