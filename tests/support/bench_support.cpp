#include "support/bench_support.h"

#include <cstdio>
#include <memory>
#include <utility>

#include "echolink/com_echolink_win.h"
#include "support/wine_support.h"

namespace relinka::testing {

int refuse(const std::string& reason) {
    wchar_t path[MAX_PATH];
    std::wstring program(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    program = program.substr(program.find_last_of(L"\\/") + 1);
    std::fprintf(stderr, "%ls: no figures: %s\n", program.substr(0, program.rfind(L".exe")).c_str(),
                 reason.c_str());
    return 2;
}

std::wstring station(const std::wstring& prefix, int slot) { return prefix + wchar_t(L'A' + slot - 1); }

bool write_stations(const std::wstring& folder, const std::wstring& prefix) {
    std::string list;
    for (int slot = 1; slot <= kSlots; ++slot) {
        const std::wstring callsign = station(prefix, slot);
        list += std::string(callsign.begin(), callsign.end()) + "\r\n";
    }
    return write_bytes(folder + L"\\amigos.txt", list);
}

MainWindowHere::MainWindowHere(SystemDesktop& desktop)
    : window(desktop, shell, annotations),
      amigos(window, desktop, [](std::function<void()> on_closing) -> std::unique_ptr<EchoLink> {
          return ComEchoLink::create(std::move(on_closing));
      }) {
    made = window.create();
    if (!made) return;
    window.attach(amigos);
    amigos.Form_Load();
    window.SetTimerEnabled(false);
}

void MainWindowHere::supervise(const std::wstring& prefix) {
    for (int slot = 1; slot <= kSlots; ++slot) {
        window.SetText(slot, station(prefix, slot));
        window.SetCheck(slot, 1);
    }
}

}  // namespace relinka::testing
