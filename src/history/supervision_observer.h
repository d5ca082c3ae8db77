#pragma once
// What the main window's handlers tell whoever watches the supervision: what each tick read and what the
// operator commanded. Told after the fact, never asked: the handlers do the same with or without one.
#include <string>
#include <string_view>
#include <vector>

namespace relinka {

inline constexpr int kSupervisedSlots = 8;

struct SlotStation {
    int slot;  // 1 to 8
    std::wstring callsign;
};

enum class EndReason { Operator, EchoLinkClosed, SessionEnded };

class SupervisionObserver {
public:
    virtual ~SupervisionObserver() = default;

    // The window has loaded, supervising these ticked stations.
    virtual void started(const std::vector<SlotStation>& stations) = 0;
    // A slot's reading, after the tick's second IsConnected.
    virtual void read(int slot, std::wstring_view callsign, bool connected) = 0;
    // A tick found the slot unticked.
    virtual void unticked(int slot) = 0;
    // The tick's EchoLink calls, and how many of them failed.
    virtual void tick_ended(int calls, int failed) = 0;
    // A tick given up because EchoLink is busy in a dialog of its own.
    virtual void echolink_busy() = 0;
    virtual void switched_on() = 0;                            // "Liga"
    virtual void switched_off() = 0;                           // "Desliga"
    virtual void dropped_one(std::wstring_view callsign) = 0;  // "Desconectar amigo"
    // "Desconecta todos"; `refusal` is EchoLink's status code ("0x80004005") when it refused, else empty.
    virtual void dropped_all(std::wstring_view refusal) = 0;
    // The first way the program ends is the one that counts.
    virtual void ended(EndReason how) = 0;
};

}  // namespace relinka
