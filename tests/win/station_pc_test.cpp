// relinka.exe on a station PC left to itself: it keeps the PC awake while it supervises, opens as its
// shortcut asks (minimized) and supervises from the first second, and says so when EchoLink runs where
// it cannot be reached rather than start a second one.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "app/amigos_layout.h"
#include "app/exit_codes.h"
#include "core/fakes.h"
#include "support/standin_test.h"

namespace relinka::testing {
namespace {

const std::string kKeepAwake = "0x80000001";  // ES_CONTINUOUS | ES_SYSTEM_REQUIRED
const std::string kLetSleep = "0x80000000";   // ES_CONTINUOUS

// Wine writes a program's debugging channels to the Unix standard error it inherited, whatever handle
// STARTUPINFO names for it: those of the programs this test starts land with its own, in the file that
// ctest gives it as its standard error (STANDARD_ERROR_FILE). Read from where it stood when this was made.
class WineDebugOutput {
public:
    WineDebugOutput() : from_(contents().size()) {}

    // The execution states one thread asked of the system, in order, as Wine's trace of the call shows
    // them: "0138:warn:ntdll:NtSetThreadExecutionState (0x80000001, 0x80fccc): stub, harmless."
    std::vector<std::string> power_requests(DWORD thread) const {
        return calls(thread, R"(:warn:ntdll:NtSetThreadExecutionState \((0x[0-9a-fA-F]+),)");
    }
    // What one thread asked of Windows' restart after an update, as Wine's lines show the calls:
    // "RegisterApplicationRestart (L"/pasta \"Z:\\x\"",3)", then "UnregisterApplicationRestart ...".
    std::vector<std::string> restart_requests(DWORD thread) const {
        return calls(thread, R"(:fixme:process:((?:Unr|R)egisterApplicationRestart[^\n]*))");
    }

private:
    // The first group of `pattern` in each line of thread `thread`, in order.
    std::vector<std::string> calls(DWORD thread, const std::string& pattern) const {
        const std::string text = contents().substr(from_);
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "%04lx", static_cast<unsigned long>(thread));
        const std::regex call("(?:^|\n)" + std::string(prefix) + pattern);
        std::vector<std::string> found_calls;
        for (auto found = std::sregex_iterator(text.begin(), text.end(), call);
             found != std::sregex_iterator(); ++found)
            found_calls.push_back((*found)[1]);
        return found_calls;
    }

    static std::string contents() {
        const UniqueFile reader(CreateFileW(L"" STANDARD_ERROR_FILE, GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                            nullptr));
        std::string text;
        char buffer[65536];
        DWORD got = 0;
        while (ReadFile(reader.get(), buffer, sizeof buffer, &got, nullptr) && got) text.append(buffer, got);
        return text;
    }

    std::size_t from_;
};

// An environment variable of this process, and so of the programs it starts, for a while.
class EnvironmentVariable {
public:
    EnvironmentVariable(const wchar_t* name, const wchar_t* value) : name_(name) {
        wchar_t old[256];
        const DWORD length = GetEnvironmentVariableW(name, old, 256);
        if (length && length < 256) old_ = old;
        SetEnvironmentVariableW(name, value);
    }
    ~EnvironmentVariable() { SetEnvironmentVariableW(name_, old_ ? old_->c_str() : nullptr); }
    EnvironmentVariable(const EnvironmentVariable&) = delete;
    EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

private:
    const wchar_t* name_;
    std::optional<std::wstring> old_;
};

std::string joined(const std::vector<std::string>& states) {
    std::string text;
    for (const std::string& state : states) text += state + " ";
    return text;
}

using StationPc = StandInTest;

TEST_F(StationPc, KeepsThePcAwakeFromStartUpAndLigaUntilDesligaAndTheEnd) {
    ASSERT_NE(GetFileAttributesW(L"" STANDARD_ERROR_FILE), INVALID_FILE_ATTRIBUTES)
        << "run it as ctest does, with its standard error in " STANDARD_ERROR_FILE;
    const WineDebugOutput debug_output;
    std::unique_ptr<RelinkaProcess> program;
    {
        const EnvironmentVariable debug(L"WINEDEBUG", L"warn+ntdll");
        program = std::make_unique<RelinkaProcess>(directory);
    }
    const HWND window = program->main_window();
    ASSERT_TRUE(window);
    const DWORD thread = program->thread_id();
    const auto requests_become = [&](const std::vector<std::string>& states) {
        return wait_until([&] { return debug_output.power_requests(thread) == states; }, 5000);
    };
    EXPECT_TRUE(requests_become({kKeepAwake})) << "start-up: " << joined(debug_output.power_requests(thread));
    program->click(kCommand4);  // "Desliga"
    EXPECT_TRUE(requests_become({kKeepAwake, kLetSleep}))
        << "Desliga: " << joined(debug_output.power_requests(thread));
    program->click(kCommand5);  // "Liga"
    EXPECT_TRUE(requests_become({kKeepAwake, kLetSleep, kKeepAwake}))
        << "Liga: " << joined(debug_output.power_requests(thread));
    program->click(kCommand6);  // "Desconecta todos"
    EXPECT_TRUE(requests_become({kKeepAwake, kLetSleep, kKeepAwake, kLetSleep}))
        << "Desconecta todos: " << joined(debug_output.power_requests(thread));
    program->click(kCommand5);
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program->ended_within(10000));
    EXPECT_EQ(debug_output.power_requests(thread),
              (std::vector<std::string>{kKeepAwake, kLetSleep, kKeepAwake, kLetSleep, kKeepAwake, kLetSleep}))
        << "the end lets the PC sleep";
}

// A shortcut set to open minimized starts the program with SW_SHOWMINNOACTIVE.
TEST_F(StationPc, StartedMinimizedItStaysInactiveSupervisesAndRestoredHasTheFocusOnEncerrar) {
    write_bytes(directory + L"\\amigos.txt", "PU2ABC\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
    RelinkaProcess program(directory, {}, StartOptions{.show_window = SW_SHOWMINNOACTIVE});
    const HWND window = program.main_window();
    ASSERT_TRUE(window);
    EXPECT_TRUE(IsIconic(window));
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    ASSERT_TRUE(GetGUIThreadInfo(program.thread_id(), &gui));
    EXPECT_NE(gui.hwndActive, window) << "activated";
    EXPECT_NE(GetForegroundWindow(), window);
    EXPECT_TRUE(log_shows(L"IsConnected(\"PU2ABC\")", 3000)) << "supervised from the first tick";
    EXPECT_TRUE(log_shows(L"Connect(\"PU2ABC\",-1)", kTick));
    EXPECT_TRUE(IsIconic(window));

    PostMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);  // as a click on its taskbar button
    EXPECT_TRUE(wait_until([&] { return !IsIconic(window); }, kTick));
    EXPECT_TRUE(wait_until(
        [&] {
            return GetGUIThreadInfo(program.thread_id(), &gui) &&
                   gui.hwndFocus == GetDlgItem(window, kCommand1);
        },
        5000))
        << "the focus is on \"Encerrar\"";
}

// Under Wine every program runs with administrator rights, the stand-in too, unless started with the
// token UAC gives an ordinary start.
TEST_F(StationPc, EchoLinkAsAdministratorWhereRelinkaIsNotIsSaidAndNoSecondEchoLinkStarts) {
    RelinkaProcess program(directory, {}, StartOptions{.not_elevated = true});
    const HWND box = program.message_box();
    ASSERT_TRUE(box);
    const std::wstring text = message_box_text(box);
    const bool main_window_shown = program.main_window(0) != nullptr;
    answer(box, IDOK);
    EXPECT_TRUE(contains(text, L"O EchoLink está aberto como administrador, e o Relinka não.")) << utf8(text);
    EXPECT_EQ(text_of(box), L"Relinka");
    EXPECT_FALSE(main_window_shown);
    ASSERT_TRUE(program.ended_within(10000));
    EXPECT_EQ(program.exit_code(), kNoEchoLink);
    EXPECT_EQ(standin_processes(), 1);
    long subscribers = -1;
    standin->SubscriberCount(&subscribers);
    EXPECT_EQ(subscribers, 0);
}

// The stand-in started the ordinary way, as UAC starts a program, in place of any other, for as long as
// this lives.
class StandInNotElevated {
public:
    StandInNotElevated() {
        if (!close_standin()) return;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION standin{};
        if (!start_process(L"\"" + beside_tests(L"echolink-standin.exe") + L"\"", nullptr, startup, false,
                           standin))
            return;
        CloseHandle(standin.hThread);
        process_.reset(standin.hProcess);
        started_ =
            wait_until([] { return FindWindowW(nullptr, L"EchoLink (substituto)") != nullptr; }, 15000);
    }
    ~StandInNotElevated() { close_standin(); }
    StandInNotElevated(const StandInNotElevated&) = delete;
    StandInNotElevated& operator=(const StandInNotElevated&) = delete;
    bool started() const { return started_; }

private:
    UniqueHandle process_;
    bool started_ = false;
};

TEST(StationPcWithEchoLinkNotElevated, RelinkaAsAdministratorIsSaidAndNoSecondEchoLinkStarts) {
    ComApartment apartment;
    const StandInNotElevated echolink;
    ASSERT_TRUE(echolink.started());

    RelinkaProcess program(fresh_directory());
    const HWND box = program.message_box();
    const std::wstring text = box ? message_box_text(box) : L"";
    if (box) answer(box, IDOK);
    const bool ended = program.ended_within(10000);
    const int standins = standin_processes();
    EXPECT_TRUE(close_standin());
    ASSERT_TRUE(box);
    EXPECT_TRUE(contains(text, L"O Relinka foi aberto como administrador, e o EchoLink não.")) << utf8(text);
    ASSERT_TRUE(ended);
    EXPECT_EQ(program.exit_code(), kNoEchoLink);
    EXPECT_EQ(standins, 1);
}

// Windows starting Relinka again after an update's restart gives it only the command line it registered,
// in a folder of Windows' choosing.
TEST_F(StationPc, StartedAgainByWindowsItSupervisesTheListOfTheFolderItRanIn) {
    ASSERT_NE(GetFileAttributesW(L"" STANDARD_ERROR_FILE), INVALID_FILE_ATTRIBUTES)
        << "run it as ctest does, with its standard error in " STANDARD_ERROR_FILE;
    write_bytes(directory + L"\\amigos.txt", "PU2ABC\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
    const WineDebugOutput debug_output;
    const auto start_again = [&](bool elevated) {
        const EnvironmentVariable debug(L"WINEDEBUG", L"fixme+process");
        return std::make_unique<RelinkaProcess>(
            fresh_directory(), std::wstring{},
            StartOptions{.not_elevated = !elevated, .arguments = L"/pasta \"" + directory + L"\""});
    };
    // As administrator (as every program under Wine, the stand-in too, unless started otherwise): Windows
    // would start it again without those rights, out of EchoLink's reach, so it does not ask to be.
    std::unique_ptr<RelinkaProcess> program = start_again(true);
    HWND window = program->main_window();
    ASSERT_TRUE(window);
    EXPECT_EQ(program->text(kText1), L"PU2ABC");
    EXPECT_EQ(program->check(kCheck1), 1);
    EXPECT_TRUE(log_shows(L"IsConnected(\"PU2ABC\")", 3000)) << "supervised from the first tick";
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program->ended_within(10000));
    EXPECT_EQ(debug_output.restart_requests(program->thread_id()), std::vector<std::string>{});

    // Started the ordinary way, beside an EchoLink started so too: it asks to be started again there.
    const StandInNotElevated echolink;
    ASSERT_TRUE(echolink.started());
    program = start_again(false);
    window = program->main_window();
    ASSERT_TRUE(window);
    EXPECT_EQ(program->text(kText1), L"PU2ABC");
    std::string folder = utf8(directory);
    for (std::size_t at = 0; (at = folder.find('\\', at)) != std::string::npos; at += 2)
        folder.insert(at, "\\");
    const std::string asked = "RegisterApplicationRestart (L\"/pasta \\\"" + folder + "\\\"\",3)";
    EXPECT_TRUE(wait_until(
        [&] {
            return debug_output.restart_requests(program->thread_id()) == std::vector<std::string>{asked};
        },
        5000))
        << "asked: " << joined(debug_output.restart_requests(program->thread_id()));

    // Ended by the operator: not to be started again.
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program->ended_within(10000));
    const std::vector<std::string> requests = debug_output.restart_requests(program->thread_id());
    ASSERT_EQ(requests.size(), 2u) << joined(requests);
    EXPECT_EQ(requests[1].rfind("UnregisterApplicationRestart", 0), 0u) << requests[1];
}

// At sign-in the folder may not be reachable yet (a network or USB drive mounted late): it is waited for,
// showing nothing.
TEST_F(StationPc, StartedAgainByWindowsInAFolderNotReachableYetWaitsForIt) {
    const std::wstring late = directory + L"\\tarde";
    RelinkaProcess program(fresh_directory(), {}, StartOptions{.arguments = L"/pasta \"" + late + L"\""});
    EXPECT_FALSE(program.main_window(3000));
    EXPECT_EQ(program.message_boxes_open(), 0);
    ASSERT_TRUE(CreateDirectoryW(late.c_str(), nullptr));
    write_bytes(late + L"\\amigos.txt", "PU2ABC\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
    ASSERT_TRUE(program.main_window());
    EXPECT_EQ(program.text(kText1), L"PU2ABC");
    EXPECT_EQ(program.check(kCheck1), 1);
}

// At sign-in after an update, Windows starts again the Relinka it registered, and the Startup folder's
// shortcut starts one too: whichever comes second makes way, and two the operator starts both stay.
TEST_F(StationPc, OneStartedAgainByWindowsAndOneByTheOperatorInTheSameFolderNeverBothRun) {
    const StartOptions restarted{.arguments = L"/pasta \"" + directory + L"\""};
    {
        RelinkaProcess first(directory, {}, restarted);
        ASSERT_TRUE(first.main_window());
        RelinkaProcess second(directory);
        ASSERT_TRUE(second.ended_within(10000)) << "the shortcut's after Windows' own";
        EXPECT_EQ(second.exit_code(), kAnotherRelinkaHere);
        EXPECT_EQ(second.message_boxes_open(), 0);
    }
    {
        RelinkaProcess first(directory);
        ASSERT_TRUE(first.main_window());
        RelinkaProcess second(fresh_directory(), {}, restarted);
        ASSERT_TRUE(second.ended_within(10000)) << "Windows' own after the shortcut's";
        EXPECT_EQ(second.exit_code(), kAnotherRelinkaHere);
        RelinkaProcess elsewhere(fresh_directory(), {},
                                 StartOptions{.arguments = L"/pasta \"" + fresh_directory() + L"\""});
        EXPECT_TRUE(elsewhere.main_window()) << "another folder's";
        RelinkaProcess also_by_the_operator(directory);
        EXPECT_TRUE(also_by_the_operator.main_window()) << "two the operator started";
    }
}

}  // namespace
}  // namespace relinka::testing
