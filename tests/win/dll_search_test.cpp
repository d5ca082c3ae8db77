// relinka.exe unpacked into a download folder where somebody has put DLLs named after the system DLLs
// the program and its system libraries load. Wine takes its own libraries before a DLL in the program's
// folder; told to prefer the planted ones (WINEDLLOVERRIDES "n,b"), it searches as Windows does for any
// DLL that is not one of its KnownDLLs: the program's folder first.
#include <windows.h>
#include <gtest/gtest.h>

#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "app/amigos_layout.h"
#include "support/standin_test.h"
#include "support/whole_run.h"

namespace relinka::testing {
namespace {

using Names = std::set<std::wstring>;

std::wstring joined(const Names& names) {
    std::wstring text;
    for (const std::wstring& name : names) text += (text.empty() ? L"" : L" ") + name;
    return text.empty() ? L"none" : text;
}

// The DLLs Wine is told to prefer to its own (cmake/windows.cmake gives this test "<names>=n,b" in
// WINEDLLOVERRIDES; Wine reads it from the environment a process is started with, not from one a
// Windows program sets for its children).
Names preferred_to_wines_own() {
    wchar_t buffer[2048] = L"";
    GetEnvironmentVariableW(L"WINEDLLOVERRIDES", buffer, 2048);
    const std::wstring overrides = buffer;  // "mscoree,mshtml=;actxprxy,comctl32,...=n,b"
    const size_t end = overrides.find(L"=n,b");
    if (end == std::wstring::npos) return {};
    const size_t start = overrides.rfind(L';', end) + 1;  // npos + 1 is 0
    std::wistringstream list(overrides.substr(start, end - start));
    Names names;
    for (std::wstring name; std::getline(list, name, L',');) names.insert(name);
    return names;
}

// A fresh folder holding a copy of `program` and the planted DLL under each of `planted`, and the marks
// they leave there when loaded.
class DownloadFolder {
public:
    DownloadFolder(const wchar_t* program, const Names& planted)
        : path(fresh_directory()), program(path + L"\\" + program) {
        CopyFileW(beside_tests(program).c_str(), this->program.c_str(), TRUE);
        for (const std::wstring& name : planted)
            CopyFileW(beside_tests(L"planted.dll").c_str(), (path + L"\\" + name + L".dll").c_str(), TRUE);
        CreateDirectoryW((path + L"\\marks").c_str(), nullptr);
    }
    Names marks() const {
        Names found;
        WIN32_FIND_DATAW file;
        const UniqueFind search(FindFirstFileW((path + L"\\marks\\*.dll").c_str(), &file));
        if (search) {
            do {
                std::wstring name = file.cFileName;
                CharLowerW(name.data());
                found.insert(name.substr(0, name.size() - 4));
            } while (FindNextFileW(search.get(), &file));
        }
        return found;
    }

    const std::wstring path, program;
};

// The planted DLLs the reference program `reference` takes from its folder, started there with `option`.
// Whether it ends well does not matter: a planted DLL has none of the real one's functions, and a program
// that calls one may end or hang. One still there after 20 s is ended.
Names loaded_by_reference(const wchar_t* reference, const wchar_t* option, const Names& planted) {
    const DownloadFolder folder(reference, planted);
    std::wstring command = L"\"" + folder.program + L"\" " + option;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.path.c_str(),
                        &startup, &process)) {
        ADD_FAILURE() << "the reference program did not start";
        return {};
    }
    if (WaitForSingleObject(process.hProcess, 20'000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return folder.marks();
}

Names without(const Names& names, const Names& left_out) {
    Names kept;
    for (const std::wstring& name : names)
        if (!left_out.contains(name)) kept.insert(name);
    return kept;
}

// The planted DLLs that Wine's own libraries load by name from a program's folder for the reference
// program `reference`, which keeps its search to the system's folder: found by running it until it takes
// no new one (a planted DLL can end it before it has done all it does). They are not planted for the
// program checked, which would not get as far as doing its work.
Names planted_for_wines_own_libraries(const wchar_t* reference) {
    const Names all = preferred_to_wines_own();
    Names found;
    for (Names taken; !(taken = loaded_by_reference(reference, L"", without(all, found))).empty();)
        found.insert(taken.begin(), taken.end());
    return found;
}

// Every planted DLL that relinka.exe's use of the system takes from its folder under Wine is one that
// Wine's own libraries load there by name for the reference program too.
using DllSearch = StandInTest;

TEST_F(DllSearch, RelinkaLoadsNoPlantedDllBeyondThoseWinesOwnLibrariesLoadForAnyProgram) {
    const Names all = preferred_to_wines_own();
    ASSERT_TRUE(all.contains(L"dwmapi")) << "Wine is not told to prefer the planted DLLs";
    ASSERT_TRUE(loaded_by_reference(L"dll_search_reference.exe", L"unrestricted", all).contains(L"dwmapi"))
        << "a planted DLL is not loaded even where the search is not kept to the system's folder";
    const Names wines_own = planted_for_wines_own_libraries(L"dll_search_reference.exe");

    const DownloadFolder folder(L"relinka.exe", without(all, wines_own));
    {
        RelinkaProcess relinka(folder.path, folder.program);
        ASSERT_TRUE(relinka.main_window()) << "relinka.exe did not show its window";
        for (const auto& [button, caption] : {std::pair{kCommand3, L"Ajuda"}, std::pair{kSobre, L"Sobre"}}) {
            relinka.click(button);
            const HWND window = relinka.form_titled(caption);
            EXPECT_TRUE(window) << "a window did not open: "
                                << ::testing::PrintToString(std::wstring(caption));
            pump_for(1000);  // the About window's animation decoded and playing
            PostMessageW(window, WM_CLOSE, 0, 0);
            EXPECT_TRUE(wait_until([&] { return !IsWindow(window); }, 5000));
        }
        PostMessageW(relinka.main_window(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(relinka.ended_within(10000));
    }
    const Names loaded = folder.marks();
    std::wcout << L"planted DLLs loaded: by relinka.exe " << joined(loaded) << L"; by Wine's own libraries "
               << L"for the reference program, not planted for relinka.exe: " << joined(wines_own)
               << std::endl;
    EXPECT_TRUE(loaded.empty()) << "relinka.exe loaded planted DLLs";
}

// The installer downloaded beside the same DLLs and run as a deployment script runs it (into a folder of
// the test's own, uninstalled after): NSIS keeps its own search to the system's folder before it loads
// anything.
TEST_F(DllSearch, TheInstallerLoadsNoPlantedDllBeyondThoseWinesOwnLibrariesLoadForAnyProgram) {
    const Names all = preferred_to_wines_own();
    ASSERT_TRUE(all.contains(L"dwmapi")) << "Wine is not told to prefer the planted DLLs";
    const Names wines_own = planted_for_wines_own_libraries(L"dll_search_reference_shell.exe");
    const DownloadFolder folder(L"" INSTALLER_NAME, without(all, wines_own));
    const std::wstring installed = folder.path + L"\\instalado";
    EXPECT_EQ(run_with_descendants(L"\"" + folder.program + L"\" /S /D=" + installed, folder.path.c_str()),
              0u);
    EXPECT_NE(GetFileAttributesW((installed + L"\\relinka.exe").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the installer did not install";
    run_with_descendants(L"\"" + installed + L"\\desinstalar.exe\" /S");
    const Names loaded = folder.marks();
    std::wcout << L"planted DLLs loaded: by the installer " << joined(loaded) << L"; by Wine's own libraries "
               << L"for the reference program that imports the shell, not planted for the installer: "
               << joined(wines_own) << std::endl;
    EXPECT_TRUE(loaded.empty()) << "the installer loaded planted DLLs";
}

}  // namespace
}  // namespace relinka::testing
