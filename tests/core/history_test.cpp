// The connection history: its file's lines, what a reading change writes, the summaries of 24 hours,
// the bounded memory, and the writer's handling of torn, full, huge and unwritable files.
#include <gtest/gtest.h>

#include <functional>

#include "fakes.h"
#include "history/history_line.h"
#include "history/history_text.h"
#include "history/history_writer.h"

namespace relinka::testing {
namespace {

constexpr std::int64_t kNow = 1'765'290'131;  // FakeClock's: 2025-12-09 11:22:11 -03:00
constexpr std::int64_t kHour = 3600;

LocalTime hours_ago(double hours) { return {kNow - static_cast<std::int64_t>(hours * kHour), -180}; }

TEST(HistoryFile, TimesAreWrittenWithTheirOffsetAndReadBackOnlyWhenExact) {
    const struct {
        LocalTime time;
        const char* text;
    } written[] = {
        {{kNow, -180}, "2025-12-09 11:22:11 -03:00"},
        {{0, 0}, "1970-01-01 00:00:00 +00:00"},
        {{951'782'400, 330}, "2000-02-29 05:30:00 +05:30"},
        {{-1, 0}, "1969-12-31 23:59:59 +00:00"},
    };
    for (const auto& time : written) {
        EXPECT_EQ(format_time(time.time), time.text);
        EXPECT_EQ(parse_time(time.text), time.time) << time.text;
    }
    for (const char* refused : {"2027-02-29 00:00:00 +00:00", "2026-04-31 10:00:00 -03:00",
                                "2026-12-09 24:00:00 -03:00", "2026-12-09 14:02:11 -0300",
                                "2026-12-09T14:02:11 -03:00", "2026-12-09 14:02:11 -03:00 ", "2026-1-09 1"})
        EXPECT_FALSE(parse_time(refused)) << refused;
    EXPECT_EQ(display_time({kNow, -180}), L"09/12/2025 11:22:11");
    EXPECT_EQ(display_age(hours_ago(0.01), {kNow, -180}), L"há menos de 1 min");
    EXPECT_EQ(display_age(hours_ago(2.5), {kNow, -180}), L"há 2 h 30 min");
    EXPECT_EQ(display_age(hours_ago(49), {kNow, -180}), L"há 2 dias e 1 h");
}

TEST(HistoryFile, LinesGoOutWhole) {
    const Event event{{kNow, -180}, 3, L"PY2ÇÃO\tX", EventKind::Disconnected, L""};
    EXPECT_EQ(format_line(event), "2025-12-09 11:22:11 -03:00\t3\tPY2\xC3\x87\xC3\x83O X\tdesconectado\r\n");
    Event long_detail{{kNow, -180}, 0, L"", EventKind::Started, std::wstring(2000, L'é')};
    const std::string line = format_line(long_detail);
    EXPECT_LE(line.size(), kLongestHistoryLine);
    long_detail.detail.resize((line.size() - 2 - line.find(' ', 27) - 1) / 2);
    EXPECT_EQ(parse_line(std::string_view(line).substr(0, line.size() - 2)), long_detail);
}

TEST(HistoryFile, ATailIsReadAsFarAsItsLinesAreOurs) {
    const std::string up = "2025-12-09 11:22:11 -03:00\t1\tPU2ABC\tconectado";
    const std::string down = "2025-12-09 11:23:00 -03:00\t1\tPU2ABC\tdesconectado";
    const struct {
        std::string bytes;
        bool from_start;
        std::vector<std::string> events;
    } cases[] = {
        {std::string(kByteOrderMark) + up + "\r\n" + down + "\r\n",
         true,
         {"1 PU2ABC conectado", "1 PU2ABC desconectado"}},
        {up + "\r\n" + down + "\r\n", false, {"1 PU2ABC desconectado"}},  // the first may be a piece
        {up + "\r\n" + down, true, {"1 PU2ABC conectado"}},               // torn by a power cut
        {up + "\r\n" + down.substr(0, 20) + "\r\n" + down + "\n",
         true,
         {"1 PU2ABC conectado", "1 PU2ABC desconectado"}},  // a torn line ended before the next
        {up + "\r" + down + "\r", true, {}},                // lone CRs: one line of control characters
        {std::string("\x00\xff\x13\n", 4) + up + "\r\n", true, {"1 PU2ABC conectado"}},
        {"2025-12-09 11:22:11 -03:00\t1\tPU2\xC7\xC3O\tconectado\r\n", true, {}},  // Latin-1
        {up + std::string(kLongestHistoryLine, ' ') + "\r\n", true, {}},
        {"2025-12-09 11:22:11 -03:00\t9\tPU2ABC\tconectado\r\n"
         "2025-12-09 11:22:11 -03:00\t\tPU2ABC\tconectado\r\n"
         "2025-12-09 11:22:11 -03:00\t1\tPU2ABC\tchegou\r\n"
         "2025-12-09 11:22:11 -03:00\t1\tconectado\r\n"
         "2025-12-09 11:22:11 -03:00\t\t\tencerrado pelo operador\r\n",
         true,
         {"encerrado pelo operador"}},
    };
    for (const auto& tail : cases) EXPECT_EQ(said(read_tail(tail.bytes, tail.from_start)), tail.events);
}

// Steps taken on a History, with the clock at `hours_ago` each time.
struct Step {
    double hours_ago;
    std::function<void(History&)> take;
};

TEST(History, WritesEachChangeOnceAndTheOperatorsCommands) {
    const auto read = [](int slot, bool connected) {
        return [=](History& history) { history.read(slot, L"PU2AB" + std::to_wstring(slot), connected); };
    };
    const struct {
        std::vector<std::function<void(History&)>> steps;
        std::vector<std::string> written;
    } cases[] = {
        {{read(1, true), read(1, true), read(1, true), read(2, false), read(2, false), read(2, true)},
         {"1 PU2AB1 conectado", "2 PU2AB2 desconectado", "2 PU2AB2 conectado"}},
        // After "Desliga" every reading is the first of a new stretch.
        {{read(1, true), [](History& h) { h.switched_off(); }, [](History& h) { h.switched_on(); },
          read(1, true)},
         {"1 PU2AB1 conectado", "desliga", "liga", "1 PU2AB1 conectado"}},
        {{read(1, true), [](History& h) { h.unticked(1); }, [](History& h) { h.unticked(1); }},
         {"1 PU2AB1 conectado", "1 PU2AB1 desmarcado"}},
        {{[](History& h) { h.tick_ended(16, 16); }, [](History& h) { h.tick_ended(16, 16); },
          [](History& h) { h.tick_ended(0, 0); }, [](History& h) { h.tick_ended(16, 3); },
          [](History& h) { h.tick_ended(16, 16); }, [](History& h) { h.echolink_busy(); },
          [](History& h) { h.echolink_busy(); }},
         {"echolink-sem-resposta", "echolink-sem-resposta", "echolink-ocupado"}},
        {{[](History& h) { h.dropped_one(L"PU2XYZ"); }, [](History& h) { h.dropped_all(L"0x80004005"); },
          [](History& h) { h.ended(EndReason::EchoLinkClosed); },
          [](History& h) { h.ended(EndReason::Operator); }},
         {"PU2XYZ desconectar-amigo", "desconecta-todos recusado pelo EchoLink (erro 0x80004005)",
          "encerrado pelo EchoLink, que fechou"}},
    };
    for (const auto& sequence : cases) {
        FakeClock clock;
        RecordingSink sink;
        History history(clock, sink);
        for (const auto& step : sequence.steps) step(history);
        EXPECT_EQ(said(sink.events), sequence.written);
        EXPECT_EQ(said(std::vector<Event>(history.events().begin(), history.events().end())),
                  sequence.written);
    }
}

TEST(History, SumsUpEachStationsLast24Hours) {
    const auto at = [](double hours, int slot, const wchar_t* callsign, EventKind kind,
                       std::wstring detail = {}) {
        return Event{hours_ago(hours), slot, callsign, kind, std::move(detail)};
    };
    using enum EventKind;
    const struct {
        const char* what;
        std::vector<Event> earlier;  // from the file, before this run
        std::vector<Step> run;       // then this run
        StationSummary expected;
    } cases[] = {
        {"up, a drop, up again",
         {},
         {{10,
           [](History& h) {
               h.started({{1, L"PU2ABC"}});
           }},
          {10, [](History& h) { h.read(1, L"PU2ABC", true); }},
          {2, [](History& h) { h.read(1, L"PU2ABC", false); }},
          {1, [](History& h) { h.read(1, L"PU2ABC", true); }}},
         {1, L"PU2ABC", true, hours_ago(1), 1, 10 * kHour, 9 * kHour}},
        {"clipped at 24 hours; a run interrupted counts until it was last seen, not until the next start",
         {at(30, 1, L"PU2ABC", Connected), at(5, 1, L"PU2ABC", Disconnected),
          at(3, 0, L"", Interrupted, interruption_detail(hours_ago(4)))},
         {{3,
           [](History& h) {
               h.started({{1, L"PU2ABC"}});
           }},
          {3, [](History& h) { h.read(1, L"PU2ABC", true); }}},
         {1, L"PU2ABC", true, hours_ago(3), 1, 23 * kHour, 22 * kHour}},
        {"stopped by Desliga, and its slot taken by another station",
         {at(12, 2, L"PU2ABC", Connected), at(11, 0, L"", SupervisionOff), at(10, 0, L"", SupervisionOn),
          at(10, 2, L"PU2ABC", Disconnected), at(9, 2, L"PU2OTH", Connected), at(8, 0, L"", Ended)},
         {{6,
           [](History& h) {
               h.started({{2, L"PU2ABC"}});
           }}},
         {2, L"PU2ABC", std::nullopt, std::nullopt, 0, 2 * kHour, kHour}},
    };
    for (const auto& sequence : cases) {
        FakeClock clock;
        RecordingSink sink;
        History history(clock, sink);
        for (const Step& step : sequence.run) {
            clock.time = hours_ago(step.hours_ago);
            step.take(history);
        }
        history.add_earlier(sequence.earlier);
        const std::vector<StationSummary> summaries = history.summaries({kNow, -180});
        ASSERT_EQ(summaries.size(), 1u) << sequence.what;
        EXPECT_EQ(summaries[0], sequence.expected) << sequence.what;
    }
}

TEST(History, KeepsABoundedNumberOfEventsAndTheNewest) {
    FakeClock clock;
    RecordingSink sink;
    History history(clock, sink);
    history.started({{1, L"PU2ABC"}});
    std::vector<Event> earlier(History::kKeptEvents, Event{hours_ago(30), 0, L"", EventKind::Ended, L""});
    history.add_earlier(earlier);
    for (int minute = 0; minute < 3 * 1440; ++minute) {
        clock.time.utc_seconds += 60;
        history.read(1, L"PU2ABC", minute % 2 == 0);
    }
    EXPECT_EQ(history.events().size(), History::kKeptEvents);
    EXPECT_EQ(history.events().back().time, clock.time);
    EXPECT_EQ(history.events().front().kind, EventKind::Connected);
    const StationSummary day = history.summaries(clock.time).front();
    EXPECT_EQ(day.drops, 720);
    EXPECT_EQ(day.supervised_seconds, 24 * kHour);
    EXPECT_EQ(day.connected_seconds, 12 * kHour);
}

TEST(History, TheTaskbarSaysWhatTheLabelsSay) {
    const struct {
        bool running;
        int supervised, connected, down;
        Overlay overlay;
        const wchar_t* description;
    } cases[] = {
        {true, 4, 4, 0, Overlay::None, L"4 de 4 estações conectadas"},
        {true, 4, 3, 1, Overlay::Disconnected, L"3 de 4 estações conectadas"},
        {true, 1, 0, 1, Overlay::Disconnected, L"0 de 1 estação conectada"},
        {true, 2, 0, 0, Overlay::None, L"0 de 2 estações conectadas"},  // none read yet
        {true, 0, 0, 0, Overlay::None, L"nenhuma estação supervisionada"},
        {false, 4, 4, 0, Overlay::Stopped, L"supervisão desligada"},
    };
    for (const auto& state : cases) {
        const TaskbarState shown =
            taskbar_state(state.running, state.supervised, state.connected, state.down);
        EXPECT_EQ(shown.overlay, state.overlay);
        EXPECT_EQ(shown.description, state.description);
        EXPECT_EQ(shown.tooltip, std::wstring(L"Relinka: ") + state.description);
    }
}

TEST(History, TheWindowsRowsAndTheCopiedText) {
    const StationSummary summary{3, L"PY2ABC-R", false, hours_ago(2), 4, 10 * kHour, 9 * kHour + 359};
    EXPECT_EQ(
        summary_row(summary, {kNow, -180}),
        (Row{L"3", L"PY2ABC-R", L"desconectado", L"09/12/2025 09:22:11", L"há 2 h 00 min", L"4", L"90 %"}));
    EXPECT_EQ(summary_row({.slot = 1, .callsign = L"PU2ABC"}, {kNow, -180}),
              (Row{L"1", L"PU2ABC", L"—", L"—", L"—", L"0", L"—"}));
    const std::deque<Event> events{{hours_ago(1), 0, L"", EventKind::SupervisionOff, L""},
                                   {{kNow, -180}, 3, L"PY2ABC-R", EventKind::Disconnected, L""}};
    EXPECT_EQ(history_text({summary}, events, {kNow, -180}),
              L"Nº\tEstação\tEstado\tDesde\tHá quanto tempo\tQuedas em 24 h\tConectado em 24 h\r\n"
              L"3\tPY2ABC-R\tdesconectado\t09/12/2025 09:22:11\thá 2 h 00 min\t4\t90 %\r\n\r\n"
              L"Data e hora\tNº\tEstação\tEvento\r\n"
              L"09/12/2025 11:22:11\t3\tPY2ABC-R\tdesconectado\r\n"
              L"09/12/2025 10:22:11\t\t\tdesliga\r\n");
}

// historico.txt and historico-anterior.txt in memory; refusing what a test says.
struct FakeStorage : HistoryStorage {
    StorageResult open(FileEnd& end) override {
        if (refusal) return refusal;
        exists = true;
        end = {current.size(), current.empty() ? -1 : static_cast<unsigned char>(current.back())};
        return {};
    }
    StorageResult append(std::string_view bytes) override {
        if (refusal || appends_left == 0) return refusal ? refusal : StorageFailure{112, L"full"};
        --appends_left;
        current += bytes;
        return {};
    }
    StorageResult close() override { return {}; }
    StorageResult rotate() override {
        if (refusal) return refusal;
        previous = std::exchange(current, {});
        return {};
    }
    StorageResult touch() override {
        if (refusal) return refusal;
        written = {kNow, -180};
        return {};
    }
    StorageResult read_tail(bool of_previous, std::size_t limit, FileTail& tail) override {
        const std::string& file = of_previous ? previous : current;
        tail = {of_previous ? !previous.empty() : exists,
                file.substr(file.size() - std::min(limit, file.size())), file.size() <= limit, written};
        return refusal;
    }

    std::string current, previous;
    bool exists = false;
    LocalTime written;
    StorageResult refusal;
    int appends_left = -1;  // before the disk is full; -1: never
};

const std::string kBom(kByteOrderMark);

std::string line_of(const char* word, int minute = 0) {
    return format_line({{kNow + minute * 60, -180}, 0, L"", *kind_named(word), L""});
}

TEST(HistoryWriter, AppendsWholeLinesAfterWhateverTheFileEndsWith) {
    const struct {
        std::string before, after;
    } cases[] = {
        {"", kBom + line_of("liga")},
        {kBom + line_of("desliga"), kBom + line_of("desliga") + line_of("liga")},
        {kBom + "2025-12-09 11:2", kBom + "2025-12-09 11:2\r\n" + line_of("liga")},
        {"foreign\r", "foreign\r\n" + line_of("liga")},
    };
    for (const auto& file : cases) {
        FakeStorage storage;
        storage.current = file.before;
        HistoryWriter writer(storage);
        writer.add(line_of("liga"));
        writer.write();
        EXPECT_EQ(storage.current, file.after);
        EXPECT_EQ(writer.failure(), std::nullopt);
    }
}

TEST(HistoryWriter, HandsTheFileOverBeforeItPasses1MiB) {
    FakeStorage storage;
    const std::string line = line_of("liga");
    storage.current =
        kBom + std::string(HistoryWriter::kLargestFile - kBom.size() - line.size() - 2, 'x') + "\r\n";
    const std::string full = storage.current + line;
    HistoryWriter writer(storage);
    writer.add(line);
    writer.add(line_of("desliga"));
    writer.write();
    EXPECT_EQ(storage.previous, full);
    EXPECT_EQ(storage.previous.size(), HistoryWriter::kLargestFile);
    EXPECT_EQ(storage.current, kBom + line_of("desliga"));
}

TEST(HistoryWriter, KeepsWhatCannotBeWrittenAndWritesItInOrderLater) {
    FakeStorage storage;
    HistoryWriter writer(storage);
    storage.refusal = StorageFailure{5, L"Access denied."};
    for (int minute = 0; minute < static_cast<int>(HistoryWriter::kBacklog) + 3; ++minute)
        writer.add(line_of("liga", minute));
    writer.write();
    EXPECT_EQ(writer.failure(), (StorageFailure{5, L"Access denied."}));
    EXPECT_EQ(unwritable_reason(*writer.failure()),
              L"o Windows não deixa gravar ali (o arquivo ou a pasta é somente leitura, ou falta permissão)");
    EXPECT_EQ(writer.waiting(), HistoryWriter::kBacklog);
    EXPECT_EQ(writer.lost(), 3u);
    storage.refusal.reset();
    storage.appends_left = 1;  // then the disk is full
    writer.write();
    EXPECT_EQ(storage.current, kBom + line_of("liga", 3));
    EXPECT_EQ(unwritable_reason(*writer.failure()), L"o disco está cheio");
    writer.keep_fresh();
    EXPECT_EQ(unwritable_reason(*writer.failure()), L"o disco está cheio")
        << "a touch says less than lines waiting";
    storage.appends_left = -1;
    writer.write();
    EXPECT_EQ(writer.waiting(), 0u);
    EXPECT_EQ(writer.failure(), std::nullopt);
    EXPECT_TRUE(storage.current.ends_with(line_of("liga", HistoryWriter::kBacklog + 2)));
    // Kept fresh while nothing happens: a folder gone meanwhile is seen then, and so is its return.
    storage.refusal = StorageFailure{3, L"Path not found."};
    writer.keep_fresh();
    EXPECT_EQ(writer.failure(), storage.refusal);
    storage.refusal.reset();
    writer.keep_fresh();
    EXPECT_EQ(writer.failure(), std::nullopt);
    EXPECT_EQ(storage.written, (LocalTime{kNow, -180}));
    EXPECT_EQ(unwritable_reason({1117, L"I/O error."}), L"erro 1117: I/O error.");
}

TEST(HistoryWriter, ARunThatNeverEndedIsToldAtTheNextStartWithWhenItWasLastSeen) {
    const LocalTime started{kNow + 3600, -180}, touched{kNow + 600, -180};
    const std::string interrupted = format_line(
        {started, 0, L"", EventKind::Interrupted, L"ativo pela última vez em 2025-12-09 11:32:11 -03:00"});
    const struct {
        std::string previous, current;
        std::vector<std::string> queued;
    } cases[] = {
        {"", kBom + line_of("iniciado") + line_of("liga"), {interrupted}},
        {kBom + line_of("liga"), "", {interrupted}},  // the current file gone
        {"", kBom + line_of("encerrado") + "2025-12-09 11", {}},
        {"", std::string(HistoryWriter::kTailRead * 4, '\0'), {}},  // nothing of ours
    };
    for (const auto& files : cases) {
        FakeStorage storage;
        storage.previous = files.previous;
        storage.current = files.current;
        storage.exists = !files.current.empty();
        storage.written = touched;
        HistoryWriter writer(storage);
        const std::vector<Event> before = writer.begin(started);
        EXPECT_EQ(writer.waiting(), files.queued.size());
        if (files.queued.empty()) continue;
        EXPECT_EQ(before.back().kind, EventKind::Interrupted);
        EXPECT_EQ(last_seen_of(before.back()), touched);
        writer.write();
        EXPECT_TRUE(storage.current.ends_with(interrupted));
    }
}

TEST(History, WatchesTheHandlersWithoutChangingThem) {
    Rig rig;
    rig.amigos.observe_with(rig.history);
    rig.desktop.files[L"amigos.txt"] = "pu2abc\r\nPU2XYZ\r\n\r\n\r\n\r\n\r\n\r\n\r\n";
    rig.amigos.Form_Load();
    rig.form.check[2] = 0;
    rig.station.connected = {L"PU2ABC"};
    rig.amigos.Timer1_Timer();
    for (const char* call : {"IsConnected", "Connect"})
        rig.station.failing[call] = static_cast<std::int32_t>(0x80004005);
    rig.amigos.Timer1_Timer();
    rig.station.failing.clear();
    rig.station.failing["DisconnectAll"] = static_cast<std::int32_t>(0x80004005);
    rig.amigos.Command6_Click();
    rig.raise_closing();
    EXPECT_EQ(
        said(rig.sink.events),
        (std::vector<std::string>{"iniciado supervisionando PU2ABC, PU2XYZ", "1 PU2ABC conectado",
                                  "2 PU2XYZ desmarcado", "1 PU2ABC desconectado", "echolink-sem-resposta",
                                  "desconecta-todos recusado pelo EchoLink (erro 0x80004005)",
                                  "encerrado pelo EchoLink, que fechou"}));
    EXPECT_EQ(rig.history.taskbar().overlay, Overlay::Stopped);
}

}  // namespace
}  // namespace relinka::testing
