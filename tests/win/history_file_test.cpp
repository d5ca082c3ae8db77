// historico.txt as relinka.exe keeps it beside the EchoLink stand-in: through drops, a kill and a start
// after it, and while the file cannot be written (read-only, then its folder gone).
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/amigos_layout.h"
#include "app/connection_history_win.h"
#include "core/fakes.h"
#include "history/history_line.h"
#include "history/windows_clock_win.h"
#include "support/relinka_process.h"
#include "support/wine_support.h"
#include "windows/historico_win.h"

namespace relinka::testing {
namespace {

constexpr DWORD kChangeWrittenWithin = 20000;  // ms: a tick that waits, and the writer's next try

void write_bytes(const std::wstring& path, const std::string& bytes) {
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

bool contains(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

class HistoryFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(standin.operator->()) << "the stand-in is not registered";
        standin.reset();
        standin->SetConnectDelay(0);
        CreateDirectoryW(folder.c_str(), nullptr);
    }
    void TearDown() override { standin.reset(); }

    std::vector<Event> events() { return read_tail(file_bytes(file).value_or(""), true); }
    bool file_says(const std::vector<std::string>& expected) {
        return wait_until([&] { return said(events()) == expected; }, kChangeWrittenWithin);
    }
    // The window's line about the file, the window opened from the system menu.
    std::wstring file_state(RelinkaProcess& program) {
        PostMessageW(program.main_window(), WM_SYSCOMMAND, kShowHistory, 0);
        const HWND window = program.form_titled(L"Histórico de conexões");
        return window ? text_of(GetDlgItem(window, kHistoricoFileState)) : L"(no window)";
    }
    bool window_says(RelinkaProcess& program, const std::wstring& part) {
        return wait_until([&] { return contains(file_state(program), part); }, kChangeWrittenWithin);
    }

    ComApartment apartment;
    StandIn standin;
    // A folder of its own inside one of the test's, which can be taken away from under the program.
    std::wstring parent = fresh_directory(), folder = parent + L"\\estacao";
    std::wstring file = folder + L"\\historico.txt";
};

TEST_F(HistoryFile, DropsAKillAndTheNextStartAreWrittenAsTheyHappened) {
    write_bytes(folder + L"\\amigos.txt", "PU2ABC\r\nPU2XYZ\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
    std::vector<std::string> expected{"iniciado supervisionando PU2ABC, PU2XYZ", "1 PU2ABC conectado",
                                      "2 PU2XYZ conectado"};
    auto program = std::make_unique<RelinkaProcess>(folder);
    ASSERT_TRUE(file_says(expected));
    // PU2XYZ dropped, and taking 5 s to come back: one tick reads it down, a later one up; the ticks
    // between, and PU2ABC's, write nothing.
    standin->SetConnectDelay(5000);
    standin.drop_link(L"PU2XYZ");
    expected.insert(expected.end(), {"2 PU2XYZ desconectado", "2 PU2XYZ conectado"});
    ASSERT_TRUE(file_says(expected));
    program->kill();
    const LocalTime killed = WindowsClock().now();
    const std::string bytes = file_bytes(file).value_or("");
    EXPECT_TRUE(bytes.starts_with(kByteOrderMark));
    EXPECT_TRUE(bytes.ends_with("\r\n"));
    for (std::size_t end = bytes.find('\n'); end != std::string::npos; end = bytes.find('\n', end + 1))
        EXPECT_EQ(bytes[end - 1], '\r') << "a line end without its CR";
    const LocalTime last_written = events().back().time;

    standin.start_afresh();  // the killed program's subscription stays behind
    standin->SetConnectDelay(0);
    program = std::make_unique<RelinkaProcess>(folder);
    expected.insert(expected.end(), {"interrompido", "iniciado supervisionando PU2ABC, PU2XYZ",
                                     "1 PU2ABC conectado", "2 PU2XYZ conectado"});
    ASSERT_TRUE(wait_until(
        [&] {
            std::vector<std::string> now = said(events());
            if (now.size() > 5) now[5] = now[5].substr(0, now[5].find(' '));
            return now == expected;
        },
        kChangeWrittenWithin));
    const std::optional<LocalTime> last_seen = last_seen_of(events()[5]);
    ASSERT_TRUE(last_seen);
    EXPECT_GE(last_seen->utc_seconds, last_written.utc_seconds);
    EXPECT_LE(last_seen->utc_seconds, killed.utc_seconds);
    EXPECT_GE(last_seen->utc_seconds, killed.utc_seconds - 600) << "known to within 10 minutes";

    PostMessageW(program->main_window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(program->ended_within(10000));
    EXPECT_EQ(said({events().back()}), std::vector<std::string>{"encerrado pelo operador"});
}

TEST_F(HistoryFile, WhileTheFileCannotBeWrittenNothingIsLostThatCanBeKept) {
    write_bytes(folder + L"\\amigos.txt", "PU2ABC\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
    const std::string before =
        std::string(kByteOrderMark) + "2025-12-01 08:00:00 -03:00\t\t\tencerrado pelo operador\r\n";
    write_bytes(file, before);
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    RelinkaProcess program(folder);
    ASSERT_TRUE(program.main_window());
    EXPECT_TRUE(
        window_says(program, L"historico.txt não está sendo gravado: o Windows não deixa gravar ali"));
    EXPECT_TRUE(window_says(program, L"2 eventos esperam na memória")) << file_state(program);
    EXPECT_EQ(file_bytes(file).value_or(""), before);
    EXPECT_FALSE(program.message_box(0)) << "no message box";

    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::vector<std::string> expected{"encerrado pelo operador", "iniciado supervisionando PU2ABC",
                                      "1 PU2ABC conectado"};
    EXPECT_TRUE(file_says(expected));
    EXPECT_TRUE(window_says(program, L"Os eventos são gravados em historico.txt"));

    // The folder taken away (a network drive gone), "Desliga" meanwhile, then the folder back.
    const std::wstring away = parent + L".fora";
    ASSERT_TRUE(MoveFileW(parent.c_str(), away.c_str())) << GetLastError();
    program.click(kCommand4);
    EXPECT_TRUE(window_says(program, L"não está sendo gravado: a pasta não foi encontrada"));
    EXPECT_TRUE(window_says(program, L"1 evento espera na memória"));
    ASSERT_TRUE(MoveFileW(away.c_str(), parent.c_str())) << GetLastError();
    expected.push_back("desliga");
    EXPECT_TRUE(file_says(expected));
    EXPECT_TRUE(window_says(program, L"Os eventos são gravados em historico.txt"));
    EXPECT_EQ(program.text(kLabel1), L"conectado") << "the supervision went on as always";
}

}  // namespace
}  // namespace relinka::testing
