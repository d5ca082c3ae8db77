// The installer as a deployment script runs it (/S), in a fresh prefix of the test's own where the
// EchoLink stand-in is registered: what it makes, relinka.exe started as its Start-menu shortcut starts
// it, installing again over a running Relinka and over a closed one, and uninstalling. It is this
// build's installer: the shipped one where 32-bit programs run, else the same script built with the
// 64-bit stub around the 64-bit relinka.exe.
#include <windows.h>
#include <gtest/gtest.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "app/amigos_layout.h"
#include "support/relinka_process.h"
#include "support/whole_run.h"
#include "support/wine_support.h"
#include "winlib/com_win.h"

namespace relinka::testing {
namespace {

constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Relinka";

std::wstring known_folder(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) folder = path;
    CoTaskMemFree(path);
    return folder;
}

struct Shortcut {
    std::wstring target, working_directory, icon, description;
    int icon_index = -1, show_command = 0;
};

// A shortcut read back as Explorer reads it. Wine's IShellLinkW reads every shortcut as SW_SHOWNORMAL
// (its Load leaves the show command out), so that one is read from the file: the header's ShowCommand,
// at offset 0x3C.
std::optional<Shortcut> read_shortcut(const std::wstring& path) {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) ||
        FAILED(link.As(&file)) || FAILED(file->Load(path.c_str(), STGM_READ)))
        return std::nullopt;
    wchar_t target[MAX_PATH] = L"", directory[MAX_PATH] = L"", icon[MAX_PATH] = L"",
            description[MAX_PATH] = L"";
    Shortcut shortcut;
    link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    link->GetWorkingDirectory(directory, MAX_PATH);
    link->GetIconLocation(icon, MAX_PATH, &shortcut.icon_index);
    link->GetDescription(description, MAX_PATH);
    const std::string bytes = file_bytes(path).value_or("");
    if (bytes.size() >= 0x40) std::memcpy(&shortcut.show_command, bytes.data() + 0x3C, sizeof(int));
    shortcut.target = target;
    shortcut.working_directory = directory;
    shortcut.icon = icon;
    shortcut.description = description;
    return shortcut;
}

std::wstring registered(const wchar_t* name) {
    wchar_t value[1024] = L"";
    DWORD size = sizeof value;
    RegGetValueW(HKEY_CURRENT_USER, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, value, &size);
    return value;
}

DWORD registered_number(const wchar_t* name) {
    DWORD value = 0, size = sizeof value;
    RegGetValueW(HKEY_CURRENT_USER, kUninstallKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

bool registration_exists() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TEST(Installer, InstallsUpgradesAndUninstallsKeepingWhatRelinkaWrote) {
    const ComApartment apartment;
    const std::wstring install = L"\"" + beside_tests(L"" INSTALLER_NAME) + L"\" /S";
    const std::wstring folder = known_folder(FOLDERID_LocalAppData) + L"\\Programs\\Relinka";
    const std::wstring program = folder + L"\\relinka.exe", uninstaller = folder + L"\\desinstalar.exe";
    const std::wstring start_menu = known_folder(FOLDERID_Programs) + L"\\Relinka.lnk";
    const std::wstring startup = known_folder(FOLDERID_Startup) + L"\\Relinka.lnk";
    const std::wstring installed[] = {program, folder + L"\\LEIAME.txt", uninstaller, start_menu, startup};
    ASSERT_FALSE(exists(folder)) << "the prefix is not a fresh one";

    ASSERT_EQ(run_with_descendants(install), 0u);
    EXPECT_EQ(file_bytes(program), file_bytes(beside_tests(L"relinka.exe")));
    EXPECT_EQ(file_bytes(folder + L"\\LEIAME.txt"), file_bytes(L"" BUILT_GUIDE));
    EXPECT_TRUE(exists(uninstaller));
    for (const auto& [path, show_command] :
         {std::pair{start_menu, SW_SHOWNORMAL}, {startup, SW_SHOWMINNOACTIVE}}) {
        const std::optional<Shortcut> shortcut = read_shortcut(path);
        ASSERT_TRUE(shortcut) << ::testing::PrintToString(path);
        EXPECT_EQ(shortcut->target, program);
        EXPECT_EQ(shortcut->working_directory, folder);
        EXPECT_EQ(shortcut->show_command, show_command);
        EXPECT_EQ(shortcut->icon, program);
        EXPECT_EQ(shortcut->icon_index, 0);
        EXPECT_EQ(shortcut->description, L"Mantém o EchoLink conectado às estações amigas");
    }
    EXPECT_EQ(registered(L"DisplayName"), L"Relinka");
    EXPECT_EQ(registered(L"DisplayVersion"), L"" PROJECT_VERSION);
    EXPECT_EQ(registered(L"DisplayIcon"), program + L",0");
    EXPECT_EQ(registered(L"Publisher"), L"Tal Sistemas");
    EXPECT_EQ(registered(L"InstallLocation"), folder);
    EXPECT_EQ(registered(L"UninstallString"), L"\"" + uninstaller + L"\"");
    EXPECT_EQ(registered(L"QuietUninstallString"), L"\"" + uninstaller + L"\" /S");
    // In KiB, at least relinka.exe's size.
    EXPECT_GE(registered_number(L"EstimatedSize") * 1024, file_bytes(program).value_or("").size());

    // The operator's list, and a file Relinka keeps beside it.
    const std::string friends = "PU2ABC\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n";
    std::string history = "kept\r\n";
    write_bytes(folder + L"\\amigos.txt", friends);
    write_bytes(folder + L"\\historico.txt", history);
    {
        const Shortcut menu = read_shortcut(start_menu).value_or(Shortcut{});
        RelinkaProcess relinka(menu.working_directory, menu.target,
                               {.show_window = static_cast<WORD>(menu.show_command)});
        ASSERT_TRUE(relinka.main_window()) << "relinka.exe did not show its window";
        EXPECT_EQ(relinka.text(kText1), L"PU2ABC") << "the install folder's amigos.txt was not read";

        // Over a running Relinka the installer gives up (NSIS's code for an installation the script
        // aborted), the uninstaller too, and neither ends it.
        const std::optional<std::string> running = file_bytes(program);
        EXPECT_EQ(run_with_descendants(install), 2u);
        run_with_descendants(L"\"" + uninstaller + L"\" /S");
        EXPECT_FALSE(relinka.ended_within(0));
        for (const std::wstring& path : installed)
            EXPECT_TRUE(exists(path)) << ::testing::PrintToString(path);
        EXPECT_TRUE(registration_exists());
        EXPECT_EQ(file_bytes(program), running);
        PostMessageW(relinka.main_window(), WM_CLOSE, 0, 0);
        ASSERT_TRUE(relinka.ended_within(10000));
    }
    // Relinka itself wrote its start and end after what was there.
    history = file_bytes(folder + L"\\historico.txt").value_or("");
    EXPECT_TRUE(history.starts_with("kept\r\n"));

    ASSERT_EQ(run_with_descendants(install), 0u);
    EXPECT_EQ(file_bytes(folder + L"\\amigos.txt"), friends);
    EXPECT_EQ(file_bytes(folder + L"\\historico.txt"), history);
    EXPECT_TRUE(exists(startup));

    run_with_descendants(registered(L"QuietUninstallString"));
    for (const std::wstring& path : installed) EXPECT_FALSE(exists(path)) << ::testing::PrintToString(path);
    EXPECT_FALSE(registration_exists());
    EXPECT_EQ(file_bytes(folder + L"\\amigos.txt"), friends);
    EXPECT_EQ(file_bytes(folder + L"\\historico.txt"), history);
}

}  // namespace
}  // namespace relinka::testing
