#include "echolink/echolink_processes_win.h"

#include <windows.h>
#include <objbase.h>
#include <sddl.h>
#include <tlhelp32.h>

#include "echolink/echolink_automation_win.h"
#include "winlib/trace_win.h"
#include "winlib/unique_win.h"

namespace relinka {

namespace {

using UniqueSnapshot = Unique<HANDLE, CloseHandle, -1>;

constexpr DWORD kLongestCommand = 2048;  // characters

bool same_path(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

// The same file under its long name, when it exists (a registered command may hold short names).
std::wstring long_path(const std::wstring& path) {
    wchar_t long_name[kLongestCommand];
    const DWORD length = GetLongPathNameW(path.c_str(), long_name, kLongestCommand);
    return length && length < kLongestCommand ? std::wstring(long_name, length) : path;
}

// Session, level and user. From a process that is not elevated, the process or the token of one that is,
// or of another user, cannot be opened: those parts stay empty, which is itself the sign.
ProcessFacts facts_of(DWORD id, HANDLE process) {
    ProcessFacts facts;
    DWORD session = 0;
    if (ProcessIdToSessionId(id, &session)) facts.session = session;
    UniqueHandle token;
    if (!process || !OpenProcessToken(process, TOKEN_QUERY, token.put())) return facts;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size))
        facts.elevated = elevation.TokenIsElevated != 0;
    alignas(TOKEN_USER) BYTE user[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    wchar_t* sid = nullptr;
    if (GetTokenInformation(token.get(), TokenUser, user, sizeof user, &size) &&
        ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &sid)) {
        facts.user = sid;
        LocalFree(sid);
    }
    return facts;
}

}  // namespace

std::wstring WindowsEchoLinkProcesses::registered_server() {
    wchar_t clsid[40];
    StringFromGUID2(kEchoLinkClass, clsid, 40);
    const std::wstring key = L"CLSID\\" + std::wstring(clsid) + L"\\LocalServer32";
    // RRF_RT_REG_SZ takes a REG_EXPAND_SZ too, expanded (asking for REG_EXPAND_SZ itself is refused).
    wchar_t command[kLongestCommand];
    DWORD size = sizeof command;
    const LSTATUS status =
        RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, command, &size);
    if (status == ERROR_SUCCESS) return command;
    // Not registered: creating the object says so.
    if (status != ERROR_FILE_NOT_FOUND)
        trace_failure("EchoLink's server command unread: no look for a running EchoLink",
                      HRESULT_FROM_WIN32(status));
    return {};
}

ProcessFacts WindowsEchoLinkProcesses::this_process() {
    return facts_of(GetCurrentProcessId(), GetCurrentProcess());
}

std::vector<ProcessFacts> WindowsEchoLinkProcesses::running(std::wstring_view image) {
    std::vector<ProcessFacts> found;
    const std::wstring wanted = long_path(std::wstring(image));
    const std::wstring_view name = std::wstring_view(wanted).substr(wanted.find_last_of(L"\\/") + 1);
    const UniqueSnapshot snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (trace_last_error_if(!snapshot, "CreateToolhelp32Snapshot: no look for a running EchoLink"))
        return found;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ProcessID == GetCurrentProcessId() || !same_path(entry.szExeFile, name)) continue;
        const UniqueHandle process(
            OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        wchar_t path[kLongestCommand];
        DWORD length = kLongestCommand;
        if (process && QueryFullProcessImageNameW(process.get(), 0, path, &length) &&
            !same_path(long_path(std::wstring(path, length)), wanted))
            continue;  // another program of the same name
        found.push_back(facts_of(entry.th32ProcessID, process.get()));
    }
    return found;
}

}  // namespace relinka
