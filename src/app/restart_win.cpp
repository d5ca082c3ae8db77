#include "app/restart_win.h"

#include <cstdint>
#include <cwchar>
#include <optional>
#include <string>

#include "app/restart.h"
#include "win32/trace_win.h"

namespace relinka {

namespace {

std::wstring current_folder() {
    std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return folder;
}

// A name for objects of this session that stands for the current folder, whatever its length and case.
std::wstring name_for_folder(const wchar_t* what) {
    std::wstring folder = current_folder();
    if (!folder.empty()) CharLowerBuffW(folder.data(), static_cast<DWORD>(folder.size()));
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (wchar_t character : folder) hash = (hash ^ static_cast<std::uint16_t>(character)) * 1099511628211ull;
    wchar_t name[64];
    std::swprintf(name, 64, L"Local\\Relinka %ls %016llx", what, static_cast<unsigned long long>(hash));
    return name;
}

}  // namespace

bool return_to_restart_folder(const wchar_t* command_line) {
    const std::optional<std::wstring> folder = restart_folder(command_line ? command_line : L"");
    if (!folder) return false;
    trace_last_error_if(
        !SetCurrentDirectoryW(folder->c_str()),
        "restarted by Windows: its folder is gone, amigos.txt is looked for where it started");
    return true;
}

RelinkasHere::RelinkasHere(bool restarted)
    : here_(CreateMutexW(nullptr, FALSE, name_for_folder(L"em").c_str())) {
    const bool another_here = here_ && GetLastError() == ERROR_ALREADY_EXISTS;
    trace_last_error_if(!here_, "Relinkas in this folder: not counted");
    if (restarted) {
        restarted_here_.reset(CreateMutexW(nullptr, FALSE, name_for_folder(L"reiniciado em").c_str()));
        makes_way_ = another_here;
    } else {
        const UniqueHandle restarted_here(
            OpenMutexW(SYNCHRONIZE, FALSE, name_for_folder(L"reiniciado em").c_str()));
        makes_way_ = static_cast<bool>(restarted_here);
    }
}

void ask_for_restart() {
    traced("restart after an update: not asked for",
           RegisterApplicationRestart(restart_command_line(current_folder()).c_str(),
                                      RESTART_NO_CRASH | RESTART_NO_HANG));
}

void forget_restart() { traced("restart after an update: not forgotten", UnregisterApplicationRestart()); }

}  // namespace relinka
