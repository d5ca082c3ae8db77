#pragma once
// What programs write with OutputDebugStringW, read as DebugView reads it (the DBWIN_BUFFER protocol),
// from the moment this is made until it goes: the trace of failures a program skipped.
#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "winlib/unique_win.h"

namespace relinka::testing {

class DebugOutput {
public:
    DebugOutput();
    ~DebugOutput();
    DebugOutput(const DebugOutput&) = delete;
    DebugOutput& operator=(const DebugOutput&) = delete;

    // False when another reader (a debugger, DebugView) already holds the buffer.
    bool reading() const { return reading_; }
    // Every line so far, as written (each usually ends with LF); of process `process` only, if not 0.
    std::string text(DWORD process = 0) const;
    // Whether this process writes something holding `part` within the time, its messages handled meanwhile.
    bool shows(const std::string& part, DWORD milliseconds = 2000) const;

private:
    void read();

    UniqueHandle buffer_ready_, data_ready_, stop_, mapping_;
    const char* view_ = nullptr;  // the writer's process id, then its text
    bool reading_ = false;
    mutable std::mutex mutex_;
    std::vector<std::pair<DWORD, std::string>> written_;
    std::thread reader_;
};

}  // namespace relinka::testing
