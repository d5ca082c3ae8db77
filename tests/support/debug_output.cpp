#include "support/debug_output.h"

#include <cstring>

#include "support/wine_support.h"

namespace relinka::testing {

namespace {
constexpr DWORD kBufferSize = 4096;
}

DebugOutput::DebugOutput()
    : buffer_ready_(CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY")),
      data_ready_(CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY")),
      stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      mapping_(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBufferSize,
                                  L"DBWIN_BUFFER")) {
    // Another reader made them first: what is written goes to it.
    const bool ours = GetLastError() != ERROR_ALREADY_EXISTS;
    if (!buffer_ready_ || !data_ready_ || !stop_ || !mapping_ || !ours) return;
    view_ = static_cast<const char*>(MapViewOfFile(mapping_.get(), FILE_MAP_READ, 0, 0, kBufferSize));
    if (!view_) return;
    reading_ = true;
    reader_ = std::thread([this] { read(); });
}

DebugOutput::~DebugOutput() {
    if (reader_.joinable()) {
        SetEvent(stop_.get());
        reader_.join();
    }
    if (view_) UnmapViewOfFile(view_);
}

void DebugOutput::read() {
    const HANDLE events[] = {data_ready_.get(), stop_.get()};
    for (;;) {
        SetEvent(buffer_ready_.get());
        if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0) return;
        DWORD process = 0;
        std::memcpy(&process, view_, sizeof process);
        const char* text = view_ + sizeof process;
        const std::string line(text, strnlen(text, kBufferSize - sizeof process));
        const std::lock_guard lock(mutex_);
        written_.emplace_back(process, line);
    }
}

std::string DebugOutput::text(DWORD process) const {
    const std::lock_guard lock(mutex_);
    std::string all;
    for (const auto& [writer, line] : written_)
        if (process == 0 || writer == process) all += line;
    return all;
}

bool DebugOutput::shows(const std::string& part, DWORD milliseconds) const {
    return wait_until([&] { return text(GetCurrentProcessId()).find(part) != std::string::npos; },
                      milliseconds);
}

}  // namespace relinka::testing
