#include "app/restart_win.h"

#include <cstdint>
#include <cwchar>

#include "app/folder_claim.h"
#include "app/restart.h"
#include "winlib/trace_win.h"

namespace relinka {

namespace {

std::wstring current_folder() {
    std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return folder;
}

// A name for objects of this session that stands for `folder`, whatever its length and case.
std::wstring name_for_folder(FolderMark mark, std::wstring folder) {
    if (!folder.empty()) CharLowerBuffW(folder.data(), static_cast<DWORD>(folder.size()));
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (wchar_t character : folder) hash = (hash ^ static_cast<std::uint16_t>(character)) * 1099511628211ull;
    wchar_t name[64];
    std::swprintf(name, 64, L"Local\\Relinka %ls %016llx",
                  mark == FolderMark::Here ? L"em" : L"reiniciado em", static_cast<unsigned long long>(hash));
    return name;
}

// What Windows says of a named object that could not be made or opened: there but refused to us (made by a
// Relinka at another level), or not there.
Found missing_object(const char* where) {
    if (GetLastError() == ERROR_ACCESS_DENIED) return Found::Refused;
    if (GetLastError() != ERROR_FILE_NOT_FOUND) trace_last_error(where);
    return Found::Absent;
}

bool running_elevated() {
    UniqueHandle token;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put()) &&
           GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated;
}

}  // namespace

std::optional<WorkingFolder> enter_working_folder(const wchar_t* command_line) {
    const std::optional<std::wstring> folder = restart_folder(command_line ? command_line : L"");
    if (!folder) return WorkingFolder{current_folder(), false};
    const ULONGLONG started = GetTickCount64();
    while (!SetCurrentDirectoryW(folder->c_str())) {
        if (GetTickCount64() - started >= kRestartFolderPatience) {
            trace_last_error("restarted by Windows: its folder never became reachable");
            MessageBoxW(nullptr, unreachable_restart_folder_message(*folder).c_str(), L"Relinka",
                        MB_OK | MB_ICONERROR);
            return std::nullopt;
        }
        Sleep(kRestartFolderRetry);
    }
    return WorkingFolder{current_folder(), true};
}

RelinkasHere::RelinkasHere(const WorkingFolder& folder) {
    FolderClaim claim(folder.restarted);
    while (const std::optional<FolderClaim::Step> step = claim.next()) {
        const std::wstring name = name_for_folder(step->mark, folder.path);
        if (step->action == FolderClaim::Step::LookFor) {
            const UniqueHandle found(OpenMutexW(SYNCHRONIZE, FALSE, name.c_str()));
            claim.found(found ? Found::Present
                              : missing_object("Relinkas in this folder: one started again unseen"));
            continue;
        }
        UniqueHandle made(CreateMutexW(nullptr, FALSE, name.c_str()));
        const DWORD error = GetLastError();
        claim.found(!made                           ? missing_object("Relinkas in this folder: not counted")
                    : error == ERROR_ALREADY_EXISTS ? Found::Present
                                                    : Found::Absent);
        if (made) marks_.push_back(std::move(made));
    }
    makes_way_ = claim.makes_way();
}

bool ask_for_restart(const std::wstring& folder) {
    if (running_elevated()) return false;
    return SUCCEEDED(traced("restart after an update: not asked for",
                            RegisterApplicationRestart(restart_command_line(folder).c_str(),
                                                       RESTART_NO_CRASH | RESTART_NO_HANG)));
}

void forget_restart() { traced("restart after an update: not forgotten", UnregisterApplicationRestart()); }

}  // namespace relinka
