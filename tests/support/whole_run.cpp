#include "support/whole_run.h"

#include "support/wine_support.h"
#include "winlib/unique_win.h"

namespace relinka::testing {

DWORD run_with_descendants(std::wstring command, const wchar_t* directory, DWORD milliseconds) {
    // A job holds every process started from the first one; what still runs when the wait gives up is
    // ended with it.
    const UniqueHandle job(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!job || !CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                                directory, &startup, &process))
        return GetLastError();
    const UniqueHandle program(process.hProcess), thread(process.hThread);
    if (!AssignProcessToJobObject(job.get(), program.get())) {
        const DWORD error = GetLastError();
        TerminateProcess(program.get(), error);
        return error;
    }
    ResumeThread(thread.get());
    const bool all_ended = wait_until(
        [&] {
            JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
            return QueryInformationJobObject(job.get(), JobObjectBasicAccountingInformation, &accounting,
                                             sizeof accounting, nullptr) &&
                   accounting.ActiveProcesses == 0;
        },
        milliseconds);
    DWORD code = STILL_ACTIVE;
    if (all_ended) GetExitCodeProcess(program.get(), &code);
    return code;
}

}  // namespace relinka::testing
