#pragma once
// What the tests that run under Wine share: waiting while messages flow, files, screenshots, other
// programs run to their end, and the EchoLink stand-in's control interface.
#include <windows.h>
#include <wrl/client.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "standin_control.h"
#include "winlib/com_win.h"
#include "winlib/unique_win.h"

namespace relinka::testing {

using Microsoft::WRL::ComPtr;

// Handles this thread's messages for `milliseconds`.
void pump_for(DWORD milliseconds);
// Handles messages until `done` answers true or `milliseconds` have passed; returns `done()`.
bool wait_until(const std::function<bool()>& done, DWORD milliseconds);

// A file in the folder of the running test program (the build puts every program there).
std::wstring beside_tests(const wchar_t* name);

// The window with its frame as it stands on the screen, into a PNG file `name` in the folder
// "screenshots" of the working directory.
void save_screenshot(HWND window, const wchar_t* name);

std::wstring text_of(HWND window);

bool contains(std::wstring_view text, std::wstring_view part);
// The file's bytes, all of them, replacing what it held; false if they could not all be written.
bool write_bytes(const std::wstring& path, std::string_view bytes);
// The file's bytes; none if it cannot be opened.
std::optional<std::string> file_bytes(const std::wstring& path);

// The stand-in that COM starts for EchoLink's class, with its state put back as a fresh one has it.
class StandIn {
public:
    StandIn();
    IStandInControl* operator->() const { return control_.Get(); }
    std::wstring log() const;
    std::wstring connections() const;
    void drop_link(std::wstring_view callsign);
    void reset();  // nothing when the stand-in could not be started
    // Ends the stand-in's process (as its "Fechar" does) and starts a new one: a program ended by force
    // leaves its subscription, and its hold on the stand-in, behind.
    void start_afresh();

private:
    ComPtr<IStandInControl> control_;
};

// How many stand-in processes run.
int standin_processes();
// Closes every stand-in's window, as its operator would; true once none runs.
bool close_standin();

// CreateProcessW; with `elevated` false, with the user's token stripped of administrator rights, as UAC
// starts a program the ordinary way (under Wine every program has them).
BOOL start_process(std::wstring command, const wchar_t* directory, const STARTUPINFOW& startup, bool elevated,
                   PROCESS_INFORMATION& process);

// Runs a program with one option in the working directory, to its end; its exit code (STILL_ACTIVE if
// it ran on for 30 s).
DWORD run_to_end(const std::wstring& program, const wchar_t* option);
// Runs a command line to its end: what it wrote to its standard output and error, and its exit code
// (STILL_ACTIVE if it ran on for 60 s; "not started" and the system's error if it did not start).
std::pair<std::string, DWORD> run_captured(std::wstring command);
// The stand-in with a registration option.
DWORD run_standin(const wchar_t* option);

}  // namespace relinka::testing
