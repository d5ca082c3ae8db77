#include "serving_processes.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cwctype>
#include <sstream>
#include <vector>

#include "support/wine_support.h"
#include "winlib/unique_win.h"

namespace relinka::testing {

namespace {

// A whole file of /proc, which says it has no size and is read until it ends; empty if it cannot be.
std::string whole_file(const std::wstring& path) { return file_bytes(path).value_or(""); }

std::wstring proc(long process, const wchar_t* file) {
    return L"Z:\\proc\\" + std::to_wstring(process) + L"\\" + file;
}

std::string name_of(long process) {
    std::string name = whole_file(proc(process, L"comm"));
    if (!name.empty() && name.back() == '\n') name.pop_back();
    return name;
}

// The inodes of the sockets listening at `path`, or at the same name in the abstract namespace, from
// /proc/net/unix: "Num RefCount Protocol Flags Type St Inode Path", listening ones flagged 00010000.
std::vector<std::string> listening_inodes(const std::string& path) {
    std::istringstream lines(whole_file(L"Z:\\proc\\net\\unix"));
    std::string line;
    std::vector<std::string> inodes;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string number, references, protocol, flags, type, state, inode, name;
        fields >> number >> references >> protocol >> flags >> type >> state >> inode >> name;
        if (flags == "00010000" && (name == path || name == "@" + path)) inodes.push_back(inode);
    }
    return inodes;
}

// Whether `process` holds open one of the sockets `inodes`, by its fdinfo files.
bool holds_socket(long process, const std::vector<std::string>& inodes) {
    WIN32_FIND_DATAW found;
    const UniqueFind search(FindFirstFileW(proc(process, L"fdinfo\\*").c_str(), &found));
    if (!search) return false;
    do {
        const std::string info = whole_file(proc(process, L"fdinfo\\") + found.cFileName);
        const size_t at = info.find("\nino:\t");
        if (at == std::string::npos) continue;
        const std::string inode = info.substr(at + 6, info.find('\n', at + 6) - at - 6);
        if (std::find(inodes.begin(), inodes.end(), inode) != inodes.end()) return true;
    } while (FindNextFileW(search.get(), &found));
    return false;
}

}  // namespace

LinuxProcess wineserver_of_this_prefix() {
    // Wine opens files in its server: there /proc/self is the wineserver of the prefix.
    const std::string stat = whole_file(L"Z:\\proc\\self\\stat");
    LinuxProcess server{std::atol(stat.c_str())};
    const size_t open = stat.find('('), close = stat.rfind(')');
    if (open != std::string::npos && close != std::string::npos)
        server.name = stat.substr(open + 1, close - open - 1);
    if (!server.id || !server.name.starts_with("wineserver")) {
        server.not_found =
            "Z:\\proc\\self is not a wineserver here (it reads \"" + stat.substr(0, 40) + "\")";
        server.id = 0;
    }
    return server;
}

LinuxProcess x_server_of_this_display() {
    char display[256] = {};
    GetEnvironmentVariableA("DISPLAY", display, sizeof display);
    const std::string given = display;
    // ":N" or ":N.S", or "unix:N": a display of this machine's sockets.
    const size_t colon = given.find(':');
    if (colon == std::string::npos || (colon != 0 && given.substr(0, colon) != "unix"))
        return {.not_found = "DISPLAY \"" + given + "\" is not a display of this machine's sockets"};
    const std::string number = given.substr(colon + 1, given.find('.', colon) - colon - 1);
    const std::vector<std::string> inodes = listening_inodes("/tmp/.X11-unix/X" + number);
    if (inodes.empty())
        return {.not_found = "no socket listens for display :" + number + " in /proc/net/unix"};
    // X servers are named X-something (Xvfb, Xorg, Xwayland): only those are searched.
    WIN32_FIND_DATAW found;
    const UniqueFind search(FindFirstFileW(L"Z:\\proc\\*", &found));
    while (search) {
        if (std::iswdigit(found.cFileName[0])) {
            const long process = std::wcstol(found.cFileName, nullptr, 10);
            const std::string name = name_of(process);
            if (name.starts_with("X") && holds_socket(process, inodes)) return {process, name};
        }
        if (!FindNextFileW(search.get(), &found)) break;
    }
    return {.not_found = "no process named X... holds the socket of display :" + number};
}

}  // namespace relinka::testing
