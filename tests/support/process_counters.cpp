#include "support/process_counters.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <vector>

#include "winlib/unique_win.h"

namespace relinka::testing {

namespace {

// One entry of the GDI handle table as Wine lays it out for 32- and 64-bit processes alike; an entry in
// use has a type.
struct GdiHandleEntry {
    std::uint64_t object;
    std::uint32_t owner;
    std::uint16_t unique;
    std::uint8_t type;
    std::uint8_t flags;
    std::uint64_t user_pointer;
};
static_assert(sizeof(GdiHandleEntry) == 24);
constexpr size_t kGdiHandles = 0x10000;

template <class Value>
Value read_at(std::uintptr_t address) {
    return *reinterpret_cast<const Value*>(address);
}

// Where the process environment block names the table. A 32-bit process under Wine's WoW64 finds it
// named only in the 64-bit block, reached through the 64-bit thread block, whose address Wine keeps in
// the 32-bit thread block's GdiBatchCount.
const GdiHandleEntry* gdi_handle_table() {
    const auto teb = reinterpret_cast<std::uintptr_t>(NtCurrentTeb());
    const auto peb = reinterpret_cast<std::uintptr_t>(NtCurrentTeb()->ProcessEnvironmentBlock);
    constexpr std::uintptr_t kTable = sizeof(void*) == 4 ? 0x94 : 0xF8;
    if (const auto table = read_at<std::uintptr_t>(peb + kTable))
        return reinterpret_cast<const GdiHandleEntry*>(table);
    if (sizeof(void*) != 4) return nullptr;
    const auto teb64 = read_at<std::uint32_t>(teb + 0xF70);
    if (!teb64) return nullptr;
    const auto peb64 = read_at<std::uint64_t>(teb64 + 0x60);
    return reinterpret_cast<const GdiHandleEntry*>(read_at<std::uint64_t>(std::uintptr_t(peb64) + 0xF8));
}

long gdi_table_entries_in_use() {
    const GdiHandleEntry* table = gdi_handle_table();
    if (!table) return -1;
    long used = 0;
    for (size_t entry = 0; entry < kGdiHandles; ++entry)
        if (table[entry].type) ++used;
    return used;
}

// SystemExtendedHandleInformation: every handle of every process, with the process it belongs to.
constexpr ULONG kSystemExtendedHandleInformation = 64;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
struct HandleEntry {
    void* object;
    ULONG_PTR process;
    ULONG_PTR handle;
    ULONG access;
    USHORT creator_back_trace;
    USHORT object_type;
    ULONG attributes;
    ULONG reserved;
};
struct HandleList {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry handles[1];
};
using QuerySystemInformation = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);

struct WindowCount {
    DWORD process;
    long windows = 0;
};

BOOL CALLBACK count_window(HWND window, LPARAM parameter) {
    auto* count = reinterpret_cast<WindowCount*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == count->process) ++count->windows;
    return TRUE;
}

BOOL CALLBACK count_top_level_window(HWND window, LPARAM parameter) {
    auto* count = reinterpret_cast<WindowCount*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != count->process) return TRUE;
    ++count->windows;
    EnumChildWindows(window, count_window, parameter);
    return TRUE;
}

// The whole of a small file; empty if it cannot be read.
std::string file_text(const std::wstring& path) {
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    char buffer[1024];
    DWORD got = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return {};
    return std::string(buffer, got);
}

}  // namespace

long gdi_objects_of_this_process() {
    // Windows counts them itself; Wine's answer is a stub's 0.
    if (const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return counted;
    return gdi_table_entries_in_use();
}

long windows_of(DWORD process) {
    WindowCount count{process};
    EnumWindows(count_top_level_window, reinterpret_cast<LPARAM>(&count));
    for (HWND window = nullptr; (window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr));)
        count_top_level_window(window, reinterpret_cast<LPARAM>(&count));
    return count.windows;
}

long kernel_handles_of(DWORD process) {
    static const auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    // Kept from one count to the next, so that counting does not itself move the memory counted.
    static std::vector<unsigned char> buffer(1 << 20);
    LONG status;
    for (;;) {
        ULONG needed = 0;
        status = query(kSystemExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                       &needed);
        if (status != kInfoLengthMismatch) break;
        buffer.resize(std::max<size_t>(needed + 4096, buffer.size() * 2));
    }
    if (status < 0) return -1;
    const auto* list = reinterpret_cast<const HandleList*>(buffer.data());
    long handles = 0;
    for (ULONG_PTR entry = 0; entry < list->count; ++entry)
        if (list->handles[entry].process == process) ++handles;
    return handles;
}

ProcessCounters count_this_process() {
    ProcessCounters counters{gdi_objects_of_this_process(), windows_of(GetCurrentProcessId()),
                             kernel_handles_of(GetCurrentProcessId()), 0};
    // Last, so that it includes what counting the others may have kept.
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    counters.private_kib = double(memory.PagefileUsage) / 1024.0;
    return counters;
}

long linux_process_in(const std::wstring& working_directory, const std::wstring& program_name) {
    // A name no other process's directory holds.
    const std::wstring marker =
        L"linux-process-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64());
    const UniqueFile made(CreateFileW((working_directory + L"\\" + marker).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!made) return 0;
    // Linux keeps the first 15 characters of a process's name.
    const std::string name(program_name.begin(),
                           program_name.begin() + std::min<size_t>(program_name.size(), 15));
    WIN32_FIND_DATAW found;
    const UniqueFind search(FindFirstFileW(L"Z:\\proc\\*", &found));
    if (!search) return 0;
    do {
        if (!std::iswdigit(found.cFileName[0])) continue;
        const std::wstring folder = std::wstring(L"Z:\\proc\\") + found.cFileName;
        if (file_text(folder + L"\\comm") != name + "\n") continue;
        if (GetFileAttributesW((folder + L"\\cwd\\" + marker).c_str()) != INVALID_FILE_ATTRIBUTES)
            return std::wcstol(found.cFileName, nullptr, 10);
    } while (FindNextFileW(search.get(), &found));
    return 0;
}

double linux_cpu_seconds(long linux_process) {
    const std::string stat = file_text(L"Z:\\proc\\" + std::to_wstring(linux_process) + L"\\stat");
    // The name in brackets may hold spaces; the fields after it are counted from its closing bracket:
    // utime and stime are the 14th and 15th of the line, in ticks of 10 ms.
    const size_t name_end = stat.rfind(')');
    if (name_end == std::string::npos) return -1;
    unsigned long long user = 0, system = 0;
    if (std::sscanf(stat.c_str() + name_end + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu",
                    &user, &system) != 2)
        return -1;
    return double(user + system) / 100.0;
}

}  // namespace relinka::testing
