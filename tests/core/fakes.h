#pragma once
// Fakes of the window, the desktop and EchoLink that write every step they are asked for into one
// trace, so a test states the exact order of steps a handler must take.
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/amigos.h"
#include "history/history.h"

namespace relinka::testing {

using Trace = std::vector<std::string>;

std::string utf8(std::wstring_view text);

class FakeForm : public AmigosForm {
public:
    explicit FakeForm(Trace& trace) : trace_(trace) {}

    std::wstring Text(int box) const override { return text[box]; }
    void SetText(int box, std::wstring_view value) override;
    int Check(int slot) const override { return check[slot]; }
    void SetCheck(int slot, int value) override;
    void SetLabel(int slot, std::wstring_view caption) override;
    void SetTimerEnabled(bool enabled) override;
    void SetTimerDue() override { trace_.push_back("Timer1 due"); }
    void SetIndicatorFill(Colour colour) override;
    void SetIndicatorBack(Colour colour) override;
    void ShowAjuda() override { trace_.push_back("show Ajuda"); }
    void ShowSobreAuto() override { trace_.push_back("show sobre_auto"); }
    void Unload() override { trace_.push_back("Unload"); }

    // Index 1..9 as the controls are numbered; what the operator typed or ticked.
    std::wstring text[kDropBox + 1];
    int check[kSlots + 1] = {};
    std::wstring label[kSlots + 1];
    bool timer_enabled = false;
    Colour fill = kRed, back = kRed;

private:
    Trace& trace_;
};

class FakeDesktop : public Desktop {
public:
    explicit FakeDesktop(Trace& trace) : trace_(trace) {}

    void beep() override { trace_.push_back("beep"); }
    void sleep(unsigned milliseconds) override;
    int message_box(std::wstring_view text, std::wstring_view title, unsigned style) override;
    // ASCII and Latin-1 letters, as the system maps them.
    std::wstring upper_case(std::wstring_view text) override;
    std::wstring program_name() override { return L"relinka"; }
    void keep_system_awake(bool awake) override { trace_.push_back(awake ? "keep awake" : "let sleep"); }

    bool find_normal_file(std::wstring_view name) override;
    std::unique_ptr<ByteSource> open_for_reading(std::wstring_view name) override;
    std::optional<std::wstring> replace_file(std::wstring_view name, std::string_view bytes) override;
    // Latin-1 stands in for the ANSI code page; '?' for what it lacks.
    std::optional<std::wstring> to_ansi(std::wstring_view text, std::string& bytes) override;
    std::wstring from_ansi(std::string_view bytes) override;

    // Answers for the message boxes to come, in order; OK when none is left.
    std::deque<int> answers;
    // Runs while a message box is open (another event arriving meanwhile).
    std::function<void()> while_message_box_open;
    // Runs during the next wait.
    std::function<void()> while_sleeping;
    // The files of the working directory; names in `unopenable` exist but cannot be opened.
    std::map<std::wstring, std::string> files;
    std::set<std::wstring> unopenable;
    std::optional<std::wstring> save_failure;
    // The reason every text but an empty one fails to convert, as the system's conversion fails.
    std::optional<std::wstring> conversion_failure;

private:
    Trace& trace_;
};

class FakeEchoLink : public EchoLink {
public:
    struct Station {
        std::set<std::wstring> connected;
        bool connect_brings_up = true;                // a Connect request comes up before the next query
        std::map<std::string, std::int32_t> failing;  // operation name -> status, every call
        std::set<int> failing_calls;                  // calls 1, 2, ... that fail with failing_status
        std::int32_t failing_status = static_cast<std::int32_t>(0x80004005);  // E_FAIL
        int calls = 0;
        // Runs inside the next call, before it answers (Closing arriving mid-call).
        std::function<void()> during_next_call;
        bool released = false;
    };

    FakeEchoLink(Trace& trace, Station& station) : trace_(trace), station_(station) {}
    ~FakeEchoLink() override;

    void Connect(std::wstring_view callsign, bool flag) override;
    void Disconnect(std::wstring_view callsign) override;
    void DisconnectAll() override;
    bool IsConnected(std::wstring_view callsign) override;

private:
    void call(const std::string& operation, const std::string& arguments);

    Trace& trace_;
    Station& station_;
};

// Events as a test states them: "3 PU2ABC desconectado", "desconecta-todos recusado pelo ...".
std::vector<std::string> said(const std::vector<Event>& events);

// A clock that says what it is told.
struct FakeClock : Clock {
    LocalTime time{1'765'290'131, -180};  // 2025-12-09 11:22:11 -03:00
    LocalTime now() override { return time; }
};

// What a History hands on: the events it recorded, and how many times it said something changed.
struct RecordingSink : HistorySink {
    void recorded(const Event& event) override { events.push_back(event); }
    void changed() override { ++changes; }
    std::vector<Event> events;
    int changes = 0;
};

// The three fakes around one Amigos, with the link's Closing reachable from a test. With the environment
// variable RELINKA_TEST_HISTORY set, a History watches the handlers: the same tests then show that they
// do exactly the same with one.
struct Rig {
    Rig();

    Trace trace;
    FakeForm form{trace};
    FakeDesktop desktop{trace};
    FakeEchoLink::Station station;
    std::function<void()> raise_closing;
    std::optional<std::int32_t> creation_failure;
    bool closing_while_created = false;  // Closing arrives while the link subscribes to it
    Amigos amigos{form, desktop, [this](std::function<void()> on_closing) -> std::unique_ptr<EchoLink> {
                      trace.push_back("create Echo");
                      if (creation_failure) throw EchoLinkError("create", *creation_failure);
                      raise_closing = std::move(on_closing);
                      if (closing_while_created) raise_closing();
                      return std::make_unique<FakeEchoLink>(trace, station);
                  }};

    FakeClock clock;
    RecordingSink sink;
    History history{clock, sink};

    // Loads the window and forgets the start-up steps.
    void load();
    Trace take_trace();
};

}  // namespace relinka::testing
