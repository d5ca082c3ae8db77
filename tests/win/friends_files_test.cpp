// amigos.txt on a real disk: "Gravar amigos", "Ler amigos" and the start-up fill with the real
// SystemDesktop, each test in a fresh working directory of its own.
#include <windows.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/system_desktop_win.h"
#include "core/fakes.h"
#include "friends/friends_file.h"
#include "support/wine_support.h"
#include "winlib/code_page_win.h"
#include "winlib/system_message_win.h"
#include "winlib/unique_win.h"

namespace relinka::testing {
namespace {

const std::wstring kNotSaved = L"A lista de amigos não foi gravada em amigos.txt.\n\n";
const wchar_t kHoldOption[] = L"--hold-without-sharing";
const wchar_t kCrashOption[] = L"--crash-while-saving";
const UINT kCrashed = 99;

// The real desktop, except that a message box goes into the trace instead of waiting for a click, and
// that a test may put a disk of its own in place of WriteFile.
class RecordingDesktop : public SystemDesktop {
public:
    using Disk = std::function<BOOL(HANDLE file, const void* data, DWORD size, DWORD* written)>;

    explicit RecordingDesktop(Trace& trace) : trace_(trace) {}
    int message_box(std::wstring_view text, std::wstring_view title, unsigned style) override {
        messages.emplace_back(text);
        trace_.push_back("msgbox \"" + utf8(text) + "\" \"" + utf8(title) + "\" " + std::to_string(style));
        return kOk;
    }
    std::vector<std::wstring> messages;
    Disk disk;

protected:
    BOOL write_file(HANDLE file, const void* data, DWORD size, DWORD* written) override {
        return disk ? disk(file, data, size, written) : SystemDesktop::write_file(file, data, size, written);
    }

private:
    Trace& trace_;
};

struct FilesRig {
    Trace trace;
    FakeForm form{trace};
    RecordingDesktop desktop{trace};
    FakeEchoLink::Station station;
    Amigos amigos{form, desktop, [this](std::function<void()>) -> std::unique_ptr<EchoLink> {
                      return std::make_unique<FakeEchoLink>(trace, station);
                  }};

    // What the operator typed before; start-up and "Ler amigos" must replace it or leave it.
    void type_in_every_box(const std::wstring& text) {
        for (int slot = 1; slot <= kSlots; ++slot) form.text[slot] = text;
    }
    int ticked() const {
        int count = 0;
        for (int slot = 1; slot <= kSlots; ++slot) count += form.check[slot];
        return count;
    }
};

void write_file(const wchar_t* name, std::string_view bytes) {
    ASSERT_TRUE(write_bytes(name, bytes)) << "cannot write " << utf8(name) << ": " << GetLastError();
}

// The names in a directory, "." and ".." left out.
std::set<std::wstring> entries(const std::wstring& folder = L".") {
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found;
    UniqueFind search(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!search) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.insert(name);
    } while (FindNextFileW(search.get(), &found));
    return names;
}

void remove_tree(const std::wstring& folder) {
    for (const std::wstring& name : entries(folder)) {
        const std::wstring path = folder + L"\\" + name;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY)
            remove_tree(path);
        else
            DeleteFileW(path.c_str());
    }
    RemoveDirectoryW(folder.c_str());
}

std::string eight_lines(std::string first) { return first + "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"; }

// 0 when a new file can be made in `folder`, else the error the system gives for it.
DWORD refusal_to_create_in(const std::wstring& folder) {
    const std::wstring probe = folder + L"\\probe.tmp";
    UniqueFile file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return file ? 0 : GetLastError();
}

// Under Wine, the name of a path on the Unix side; empty elsewhere.
std::string unix_name_of(const std::wstring& path) {
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto unix_name = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unix_name) return {};
    char* name = unix_name(path.c_str());
    std::string result = name ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// The ANSI code page of a Windows set to UTF-8 is 65001, where WideCharToMultiByte refuses
// WC_NO_BEST_FIT_CHARS; Wine accepts it there and keeps GetACP() at 1252, so the conversion is checked
// with the code page given. Wine does refuse the flag for the symbol code page and UTF-7.
TEST(AnsiConversion, EachCodePageGetsFlagsItTakes) {
    struct Case {
        UINT code_page;
        std::wstring text;
        DWORD flags;
        std::string bytes;
    };
    const Case cases[] = {
        {1252, L"PU2\u00C7\u00C3 \u0101", WC_NO_BEST_FIT_CHARS, "PU2\xC7\xC3 ?"},  // no 'a' for a-macron
        {CP_UTF8, L"PU2\u00C7\u00C3 \u0101", 0, "PU2\xC3\x87\xC3\x83 \xC4\x81"},
        {42, L"\uF050\uF055\uF032", 0, "PU2"},
        {CP_UTF7, L"PU2", 0, "PU2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code_page);
        EXPECT_EQ(conversion_flags(c.code_page), c.flags);
        std::string bytes;
        EXPECT_EQ(to_code_page(c.code_page, c.text, bytes), std::nullopt);
        EXPECT_EQ(bytes, c.bytes);
    }
}

TEST(AnsiConversion, FailureGivesTheSystemsReasonAndNoBytes) {
    const UINT unknown_code_page = 12345;
    std::string bytes = "left over";
    EXPECT_EQ(to_code_page(unknown_code_page, L"PU2ABC", bytes), system_message(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(to_code_page(unknown_code_page, L"", bytes), std::nullopt) << "an empty box is no failure";
}

// Each test runs in a directory of its own under the temporary folder, removed afterwards.
class FriendsFiles : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH], previous[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        GetCurrentDirectoryW(MAX_PATH, previous);
        previous_ = previous;
        static int serial = 0;
        folder_ = std::wstring(temp) + L"relinka-files-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                  std::to_wstring(++serial);
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
        ASSERT_TRUE(SetCurrentDirectoryW(folder_.c_str()));
    }
    void TearDown() override {
        if (sealed_) unseal();
        SetCurrentDirectoryW(previous_.c_str());
        remove_tree(folder_);
    }

    // Makes the working directory take no new entry, and returns the error the system then gives for a
    // new file there, or 0 where that cannot be done. Windows' read-only attribute does not do it for a
    // directory, and Wine run as root ignores permission bits, so the Unix immutable flag is set from
    // outside with chattr.
    DWORD seal() {
        if (!run_chattr("+i")) return 0;
        sealed_ = true;
        return refusal_to_create_in(folder_);
    }
    void unseal() {
        sealed_ = !run_chattr("-i");
        EXPECT_FALSE(sealed_) << "the directory " << utf8(folder_) << " is still immutable (chattr -i it)";
    }

    std::wstring folder_;

private:
    // Wine starts a Unix program from CreateProcessW but gives no handle to wait on, so chattr's exit
    // status is written beside the folder, and waited for. Nothing is made in the folder itself: a probe
    // there could be sealed in half made.
    bool run_chattr(const char* flag) {
        const std::string unix_folder = unix_name_of(folder_);
        const wchar_t shell[] = L"Z:\\bin\\sh";
        if (unix_folder.empty() || GetFileAttributesW(shell) == INVALID_FILE_ATTRIBUTES) return false;
        const std::wstring done = folder_ + L".chattr";
        DeleteFileW(done.c_str());
        const std::string script = std::string("/usr/bin/chattr ") + flag + " '" + unix_folder +
                                   "'; echo $? > '" + unix_folder + ".chattr'";
        std::wstring command =
            std::wstring(shell) + L" -c \"" + std::wstring(script.begin(), script.end()) + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process))
            return false;
        if (process.hThread) CloseHandle(process.hThread);
        if (process.hProcess) CloseHandle(process.hProcess);
        std::string status;  // its exit code and a line end, once written whole
        wait_until(
            [&] { return (status = file_bytes(done.c_str()).value_or("")).find('\n') != std::string::npos; },
            10'000);
        DeleteFileW(done.c_str());
        return status == "0\n";
    }

    std::wstring previous_;
    bool sealed_ = false;
};

TEST_F(FriendsFiles, TextGoesToTheAnsiCodePageAndBack) {
    ASSERT_EQ(GetACP(), 1252u) << "these bytes are those of code page 1252";
    FilesRig rig;
    rig.form.text[1] = L"PU2\u00C1\u00C7\u00C3";  // PU2ÁÇÃ
    rig.form.text[2] = L"\u0416";                 // Cyrillic Zhe: 1252 has no such letter
    rig.form.text[3] = L"\u20AC";                 // the euro sign: 0x80 in 1252, absent from Latin-1
    rig.amigos.gravar_Click();
    EXPECT_TRUE(rig.desktop.messages.empty());
    EXPECT_EQ(file_bytes(kFriendsFile), std::string("PU2\xC1\xC7\xC3\r\n?\r\n\x80\r\n\r\n\r\n\r\n\r\n\r\n"));
    EXPECT_EQ(entries(), std::set<std::wstring>{kFriendsFile}) << "nothing left beside the file";

    write_file(kFriendsFile, "PU2\xC1\xC7\xC3\r\n\x80");
    rig.type_in_every_box(L"typed");
    rig.amigos.ler_Click();
    EXPECT_EQ(rig.form.text[1], L"PU2\u00C1\u00C7\u00C3");
    EXPECT_EQ(rig.form.text[2], L"\u20AC");
    EXPECT_EQ(rig.form.text[3], L"");
}

TEST_F(FriendsFiles, OnlyAnOrdinaryOrReadOnlyFileCountsAsTheFriendsFile) {
    struct Case {
        const wchar_t* what;
        DWORD attributes;  // of a file amigos.txt, or a directory of that name for FILE_ATTRIBUTE_DIRECTORY
        bool counts;
    };
    const Case cases[] = {
        {L"ordinary", FILE_ATTRIBUTE_ARCHIVE, true},     {L"read-only", FILE_ATTRIBUTE_READONLY, true},
        {L"hidden", FILE_ATTRIBUTE_HIDDEN, false},       {L"system", FILE_ATTRIBUTE_SYSTEM, false},
        {L"directory", FILE_ATTRIBUTE_DIRECTORY, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(utf8(c.what));
        ASSERT_TRUE(CreateDirectoryW(c.what, nullptr));
        ASSERT_TRUE(SetCurrentDirectoryW(c.what));
        if (c.attributes == FILE_ATTRIBUTE_DIRECTORY) {
            ASSERT_TRUE(CreateDirectoryW(kFriendsFile, nullptr));
        } else {
            write_file(kFriendsFile, "PU2ABC\r\n\r\nPY1AA\r\n");
            ASSERT_TRUE(SetFileAttributesW(kFriendsFile, c.attributes));
            ASSERT_EQ(GetFileAttributesW(kFriendsFile) & c.attributes, c.attributes) << "attribute not kept";
        }

        FilesRig rig;
        EXPECT_EQ(ExisteArquivo(rig.desktop, kFriendsFile), c.counts);

        rig.type_in_every_box(L"typed");
        rig.amigos.Form_Load();
        EXPECT_EQ(rig.form.text[1], c.counts ? L"PU2ABC" : L"typed");
        EXPECT_EQ(rig.form.text[3], c.counts ? L"PY1AA" : L"typed");
        EXPECT_EQ(rig.ticked(), c.counts ? 2 : 0);

        rig.type_in_every_box(L"typed");
        rig.trace.clear();
        rig.amigos.ler_Click();
        if (c.counts) {
            EXPECT_EQ(rig.form.text[1], L"PU2ABC");
            EXPECT_TRUE(rig.desktop.messages.empty());
        } else {
            EXPECT_EQ(rig.trace, Trace{"msgbox \"Grave os amigos primeiro!\" \"Relinka\" 0"});
        }
        ASSERT_TRUE(SetCurrentDirectoryW(folder_.c_str()));
    }
}

// Another program that holds amigos.txt open without sharing it, until released.
class HeldElsewhere {
public:
    explicit HeldElsewhere(const wchar_t* name) {
        const std::wstring tag =
            std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64());
        const std::wstring ready_name = L"relinka-held-" + tag, release_name = L"relinka-release-" + tag;
        ready_ = CreateEventW(nullptr, TRUE, FALSE, ready_name.c_str());
        release_ = CreateEventW(nullptr, TRUE, FALSE, release_name.c_str());
        wchar_t program[MAX_PATH], path[MAX_PATH];
        GetModuleFileNameW(nullptr, program, MAX_PATH);
        GetFullPathNameW(name, MAX_PATH, path, nullptr);
        std::wstring command = L"\"" + std::wstring(program) + L"\" " + kHoldOption + L" \"" + path + L"\" " +
                               ready_name + L" " + release_name;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process_))
            return;
        const HANDLE either[] = {ready_, process_.hProcess};
        holding_ = WaitForMultipleObjects(2, either, FALSE, 20'000) == WAIT_OBJECT_0;
    }
    ~HeldElsewhere() {
        release();
        CloseHandle(ready_);
        CloseHandle(release_);
    }
    bool holding() const { return holding_; }
    void release() {
        if (!process_.hProcess) return;
        SetEvent(release_);
        if (WaitForSingleObject(process_.hProcess, 20'000) != WAIT_OBJECT_0)
            TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
        process_ = {};
    }

private:
    HANDLE ready_ = nullptr, release_ = nullptr;
    PROCESS_INFORMATION process_{};
    bool holding_ = false;
};

// The other side of HeldElsewhere, run in a process of its own.
int hold_without_sharing(const wchar_t* path, const wchar_t* ready, const wchar_t* release) {
    UniqueFile file(CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return 2;
    UniqueFile ready_event(OpenEventW(EVENT_MODIFY_STATE, FALSE, ready));
    UniqueFile release_event(OpenEventW(SYNCHRONIZE, FALSE, release));
    if (!ready_event || !release_event) return 3;
    SetEvent(ready_event.get());
    WaitForSingleObject(release_event.get(), 60'000);
    return 0;
}

TEST_F(FriendsFiles, FileHeldByAnotherProgramReadsAsEightEmptyLines) {
    write_file(kFriendsFile, "PU2ABC\r\nPY1AA\r\n");
    HeldElsewhere holder(kFriendsFile);
    ASSERT_TRUE(holder.holding()) << "the holding process did not start";
    ASSERT_FALSE(file_bytes(kFriendsFile)) << "the file should be locked now";
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));

    FilesRig start_up;
    start_up.type_in_every_box(L"typed");
    start_up.amigos.Form_Load();
    for (int slot = 1; slot <= kSlots; ++slot) EXPECT_EQ(start_up.form.text[slot], L"") << slot;
    EXPECT_EQ(start_up.ticked(), 0);

    FilesRig ler;
    ler.type_in_every_box(L"typed");
    ler.amigos.ler_Click();
    for (int slot = 1; slot <= kSlots; ++slot) EXPECT_EQ(ler.form.text[slot], L"") << slot;
    EXPECT_TRUE(ler.desktop.messages.empty());

    holder.release();
    ler.amigos.ler_Click();
    EXPECT_EQ(ler.form.text[2], L"PY1AA") << "once released, the same file reads";
}

TEST_F(FriendsFiles, FailedSaveKeepsWhatWasThereLeavesNothingBesideAndSaysWhy) {
    enum class Obstacle { ReadOnly, InUse, Folder };
    const std::string old = eight_lines("PU2OLD");
    for (const Obstacle obstacle : {Obstacle::ReadOnly, Obstacle::InUse, Obstacle::Folder}) {
        const wchar_t* what = obstacle == Obstacle::ReadOnly ? L"read-only file"
                              : obstacle == Obstacle::InUse  ? L"file held by another program"
                                                             : L"folder named amigos.txt";
        SCOPED_TRACE(utf8(what));
        ASSERT_TRUE(CreateDirectoryW(what, nullptr));
        ASSERT_TRUE(SetCurrentDirectoryW(what));
        std::optional<HeldElsewhere> holder;
        if (obstacle == Obstacle::Folder) {
            ASSERT_TRUE(CreateDirectoryW(kFriendsFile, nullptr));
        } else {
            write_file(kFriendsFile, old);
        }
        if (obstacle == Obstacle::ReadOnly)
            ASSERT_TRUE(SetFileAttributesW(kFriendsFile, FILE_ATTRIBUTE_READONLY));
        if (obstacle == Obstacle::InUse) {
            holder.emplace(kFriendsFile);
            ASSERT_TRUE(holder->holding());
        }

        FilesRig rig;
        rig.form.text[1] = L"PU2NEW";
        rig.amigos.gravar_Click();
        if (holder) holder->release();

        if (obstacle == Obstacle::Folder) {
            EXPECT_TRUE(GetFileAttributesW(kFriendsFile) & FILE_ATTRIBUTE_DIRECTORY);
        } else {
            EXPECT_EQ(file_bytes(kFriendsFile), old);
        }
        if (obstacle == Obstacle::ReadOnly)
            EXPECT_TRUE(GetFileAttributesW(kFriendsFile) & FILE_ATTRIBUTE_READONLY);
        EXPECT_EQ(entries(), std::set<std::wstring>{kFriendsFile}) << "nothing may be left beside it";
        ASSERT_EQ(rig.desktop.messages.size(), 1u);
        const std::wstring& message = rig.desktop.messages[0];
        ASSERT_EQ(message.substr(0, kNotSaved.size()), kNotSaved);
        const std::wstring reason = message.substr(kNotSaved.size());
        EXPECT_TRUE(reason == system_message(ERROR_ACCESS_DENIED) ||
                    (obstacle == Obstacle::InUse && reason == system_message(ERROR_SHARING_VIOLATION)))
            << utf8(reason);
        ASSERT_TRUE(SetCurrentDirectoryW(folder_.c_str()));
    }
}

TEST_F(FriendsFiles, WriteThatDoesNotGetEverythingOnTheDiskKeepsTheOldFileAndSaysWhy) {
    const std::string old = eight_lines("PU2OLD");
    for (const BOOL answer : {TRUE, FALSE}) {
        SCOPED_TRACE(answer ? "half written, and WriteFile says it succeeded"
                            : "half written, and WriteFile fails without an error code");
        write_file(kFriendsFile, old);
        FilesRig rig;
        rig.desktop.disk = [answer](HANDLE file, const void* data, DWORD size, DWORD* written) {
            WriteFile(file, data, size / 2, written, nullptr);
            SetLastError(ERROR_SUCCESS);
            return answer;
        };
        rig.form.text[1] = L"PU2NEW";
        rig.amigos.gravar_Click();
        EXPECT_EQ(file_bytes(kFriendsFile), old);
        EXPECT_EQ(entries(), std::set<std::wstring>{kFriendsFile}) << "nothing may be left beside it";
        EXPECT_EQ(rig.desktop.messages,
                  std::vector<std::wstring>{kNotSaved + system_message(ERROR_WRITE_FAULT)});
    }
}

// The other side of the crash test, run in a process of its own: "Gravar amigos" that dies with the new
// list half written.
int save_and_crash() {
    FilesRig rig;
    rig.desktop.disk = [](HANDLE file, const void* data, DWORD size, DWORD* written) {
        WriteFile(file, data, size / 2, written, nullptr);
        return TerminateProcess(GetCurrentProcess(), kCrashed);
    };
    rig.form.text[1] = L"PU2NEW";
    rig.amigos.gravar_Click();
    return 1;
}

// The crash comes while amigos.txt is hidden, and the operator shows it again before the next save: on
// Windows, CreateFileW refuses to write over a hidden file without being asked for a hidden one.
TEST_F(FriendsFiles, NextSaveRemovesWhatASaveCutShortByACrashLeft) {
    const std::string old = eight_lines("PU2OLD");
    write_file(kFriendsFile, old);
    ASSERT_TRUE(SetFileAttributesW(kFriendsFile, FILE_ATTRIBUTE_HIDDEN));
    ASSERT_EQ(run_to_end(beside_tests(L"friends_files_test.exe"), kCrashOption), kCrashed);
    EXPECT_EQ(file_bytes(kFriendsFile), old);
    ASSERT_GT(entries().size(), 1u) << "the crash left nothing to remove";

    ASSERT_TRUE(SetFileAttributesW(kFriendsFile, FILE_ATTRIBUTE_NORMAL));
    FilesRig rig;
    rig.form.text[1] = L"PU2NEW";
    rig.amigos.gravar_Click();
    EXPECT_TRUE(rig.desktop.messages.empty());
    EXPECT_EQ(file_bytes(kFriendsFile), eight_lines("PU2NEW"));
    EXPECT_EQ(entries(), std::set<std::wstring>{kFriendsFile});
}

// Wine reports the archive attribute on every file and keeps no other but hidden and system.
TEST_F(FriendsFiles, SavedFileKeepsTheAttributesOfTheOldOne) {
    const DWORD cases[] = {0, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM, FILE_ATTRIBUTE_ARCHIVE,
                           FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE};
    const DWORD hidden_or_system = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    for (const DWORD attributes : cases) {
        SCOPED_TRACE(attributes);
        write_file(kFriendsFile, eight_lines("PU2OLD"));
        ASSERT_TRUE(SetFileAttributesW(kFriendsFile, attributes ? attributes : FILE_ATTRIBUTE_NORMAL));
        FilesRig rig;
        rig.form.text[1] = L"PU2NEW";
        rig.amigos.gravar_Click();
        EXPECT_TRUE(rig.desktop.messages.empty());
        EXPECT_EQ(file_bytes(kFriendsFile), eight_lines("PU2NEW"));
        const DWORD now = GetFileAttributesW(kFriendsFile);
        EXPECT_EQ(now & attributes, attributes) << "attributes now " << now;
        EXPECT_EQ(now & hidden_or_system & ~attributes, 0u) << "attributes now " << now;
        EXPECT_EQ(entries(), std::set<std::wstring>{kFriendsFile});
        ASSERT_TRUE(DeleteFileW(kFriendsFile));
    }
}

TEST_F(FriendsFiles, SaveIntoADirectoryThatTakesNoNewFileKeepsTheOldOneAndSaysWhy) {
    const std::string old = eight_lines("PU2OLD");
    write_file(kFriendsFile, old);
    const DWORD refusal = seal();
    if (!refusal)
        GTEST_SKIP()
            << "cannot make a directory refuse new files here: this needs Wine and a Unix file system "
               "that takes chattr +i (Wine ignores the read-only attribute on directories and, run as "
               "root, the permission bits)";

    FilesRig rig;
    rig.form.text[1] = L"PU2NEW";
    rig.amigos.gravar_Click();
    EXPECT_EQ(file_bytes(kFriendsFile), old);
    EXPECT_EQ(entries(), std::set<std::wstring>{kFriendsFile});
    EXPECT_EQ(rig.desktop.messages, std::vector<std::wstring>{kNotSaved + system_message(refusal)});

    SystemDesktop desktop;
    EXPECT_EQ(desktop.replace_file(kFriendsFile, "PU2NEW\r\n"), system_message(refusal));
    EXPECT_EQ(file_bytes(kFriendsFile), old);
    EXPECT_EQ(entries(), std::set<std::wstring>{kFriendsFile});
}

TEST_F(FriendsFiles, ReplaceInAFolderThatIsNotThereSaysWhyAndMakesNothing) {
    SystemDesktop desktop;
    const auto reason = desktop.replace_file(L"missing\\amigos.txt", "PU2NEW\r\n");
    ASSERT_TRUE(reason);
    EXPECT_TRUE(*reason == system_message(ERROR_DIRECTORY) || *reason == system_message(ERROR_PATH_NOT_FOUND))
        << utf8(*reason);
    EXPECT_TRUE(entries().empty());
}

// A copy of this program started by HeldElsewhere holds the file, and one started by the crash test
// saves and crashes; neither does anything else. This runs before main, so those copies never reach the
// tests.
[[maybe_unused]] const bool kStartedAsHelper = [] {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments && count == 5 && std::wstring(arguments[1]) == kHoldOption)
        ExitProcess(hold_without_sharing(arguments[2], arguments[3], arguments[4]));
    if (arguments && count == 2 && std::wstring(arguments[1]) == kCrashOption) ExitProcess(save_and_crash());
    LocalFree(arguments);
    return false;
}();

}  // namespace
}  // namespace relinka::testing
