// How long a link dropped by the network takes to be asked back: relinka.exe beside the stand-in with
// PU2ABC ticked (and, with --one-refused, a second station EchoLink never brings up, so that every tick
// waits 3 s before its Connect request), the link dropped nine times at moments spread over the tick,
// each time from the drop to the Connect request for it. Prints the median, fastest and slowest.
// Usage: relink_bench [--one-refused] [relinka.exe to measure, the one beside it by default]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/amigos_layout.h"
#include "support/bench_support.h"
#include "support/relinka_process.h"
#include "support/wine_support.h"

using namespace relinka;
using namespace relinka::testing;

namespace {

size_t count_of(const std::wstring& text, const std::wstring& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    bool one_refused = false;
    std::wstring program;
    for (int i = 1; i < argc; ++i) {
        if (std::wstring(argv[i]) == L"--one-refused")
            one_refused = true;
        else
            program = argv[i];
    }
    ComApartment apartment;
    StandIn standin;
    standin.reset();
    standin->SetConnectDelay(0);
    if (one_refused) standin->RefuseCallsign(UniqueBstr(SysAllocString(L"PU5FORA")).get());
    const std::wstring directory = fresh_directory();
    if (!write_bytes(directory + L"\\amigos.txt", one_refused ? "PU2ABC\r\nPU5FORA\r\n" : "PU2ABC\r\n"))
        return refuse("amigos.txt could not be written");
    RelinkaProcess relinka(directory, program);
    if (!relinka.main_window()) return refuse("relinka.exe showed no window");
    if (!wait_until([&] { return relinka.text(kLabel1) == L"conectado"; }, 15000))
        return refuse("PU2ABC never read \"conectado\"");

    const std::wstring connect = L"Connect(\"PU2ABC\",-1)";
    std::vector<long long> asked_back;
    for (int drop = 0; drop < 9; ++drop) {
        pump_for(100 + 450 * drop);  // moments spread over a tick
        const size_t connects = count_of(standin.log(), connect);
        const ULONGLONG dropped = GetTickCount64();
        standin.drop_link(L"PU2ABC");
        if (!wait_until([&] { return count_of(standin.log(), connect) > connects; }, 20000))
            return refuse("the dropped link was never asked back");
        asked_back.push_back(static_cast<long long>(GetTickCount64() - dropped));
        wait_until([&] { return relinka.text(kLabel1) == L"conectado"; }, 15000);
    }
    std::sort(asked_back.begin(), asked_back.end());
    std::printf("dropped link asked back%s: median %lld ms (fastest %lld, slowest %lld) over %zu drops\n",
                one_refused ? ", one station refused" : "", asked_back[asked_back.size() / 2],
                asked_back.front(), asked_back.back(), asked_back.size());
    return 0;
}
