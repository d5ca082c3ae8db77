#pragma once
// What a process holds, read where it is really counted. Under Wine GetGuiResources and
// GetProcessHandleCount answer 0 and GetProcessTimes stands still, so GDI objects are counted in the
// process's GDI handle table, windows by enumeration, kernel handles in the system's handle list, and
// CPU time on the Linux side, in /proc.
#include <windows.h>

#include <string>

namespace relinka::testing {

struct ProcessCounters {
    long gdi_objects;
    long windows;  // top-level, child and message-only
    long kernel_handles;
    double private_kib;  // PagefileUsage: under Wine the Linux process's anonymous memory
};

ProcessCounters count_this_process();
long gdi_objects_of_this_process();
long windows_of(DWORD process);
long kernel_handles_of(DWORD process);

// The Linux process of a Windows process that this program started in `working_directory`, found by a
// file there that its Linux working directory holds too; 0 if none.
long linux_process_in(const std::wstring& working_directory, const std::wstring& program_name);
// User and system CPU time of a Linux process, in seconds; a negative value when it cannot be read.
double linux_cpu_seconds(long linux_process);

}  // namespace relinka::testing
