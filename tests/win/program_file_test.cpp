// relinka.exe as a file: what Windows reads from it before the program runs. Wine is lenient about some
// of it (it does not hold a manifest's architecture against the program), so it is read back here. The
// file is the 32-bit program operators get, whichever build these tests belong to: on a machine that
// cannot run 32-bit programs they are the 64-bit build, and read the 32-bit program from beside it.
#include <windows.h>
#include <gtest/gtest.h>
#include <imagehlp.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "support/wine_support.h"

namespace relinka::testing {
namespace {

// A program's file, with its PE headers found.
class PeFile {
public:
    explicit PeFile(const std::wstring& path) {
        std::ifstream file(path.c_str(), std::ios::binary);
        bytes_.assign(std::istreambuf_iterator<char>(file), {});
        if (bytes_.size() < sizeof(IMAGE_DOS_HEADER)) return;
        const auto* dos = at<IMAGE_DOS_HEADER>(0);
        if (!dos || dos->e_magic != IMAGE_DOS_SIGNATURE) return;
        nt_ = at<IMAGE_NT_HEADERS32>(dos->e_lfanew);
    }
    bool valid() const { return nt_ && nt_->Signature == IMAGE_NT_SIGNATURE; }
    WORD machine() const { return nt_->FileHeader.Machine; }
    WORD magic() const { return nt_->OptionalHeader.Magic; }
    WORD subsystem() const { return nt_->OptionalHeader.Subsystem; }
    DWORD time_stamp() const { return nt_->FileHeader.TimeDateStamp; }

    // The names of the DLLs it imports from, in lower case (PE32 only).
    std::set<std::string> imported_dlls() const {
        std::set<std::string> names;
        for (const IMAGE_IMPORT_DESCRIPTOR* descriptor : import_descriptors()) {
            std::string name(bytes_.data() + offset_of(descriptor->Name));
            std::transform(name.begin(), name.end(), name.begin(), [](char c) { return char(tolower(c)); });
            names.insert(name);
        }
        return names;
    }

    // The functions it imports by name, from whichever DLL (PE32 only).
    std::set<std::string> imported_functions() const {
        std::set<std::string> names;
        for (const IMAGE_IMPORT_DESCRIPTOR* descriptor : import_descriptors()) {
            DWORD thunk =
                descriptor->OriginalFirstThunk ? descriptor->OriginalFirstThunk : descriptor->FirstThunk;
            for (const auto* entry = at<IMAGE_THUNK_DATA32>(offset_of(thunk));
                 entry && entry->u1.AddressOfData;
                 thunk += sizeof(IMAGE_THUNK_DATA32), entry = at<IMAGE_THUNK_DATA32>(offset_of(thunk)))
                if (!(entry->u1.Ordinal & IMAGE_ORDINAL_FLAG32))
                    names.insert(bytes_.data() + offset_of(entry->u1.AddressOfData) +
                                 offsetof(IMAGE_IMPORT_BY_NAME, Name));
        }
        return names;
    }

private:
    std::vector<const IMAGE_IMPORT_DESCRIPTOR*> import_descriptors() const {
        std::vector<const IMAGE_IMPORT_DESCRIPTOR*> descriptors;
        const IMAGE_DATA_DIRECTORY& imports = nt_->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (DWORD entry = imports.VirtualAddress; entry; entry += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
            const auto* descriptor = at<IMAGE_IMPORT_DESCRIPTOR>(offset_of(entry));
            if (!descriptor || descriptor->Name == 0) break;
            descriptors.push_back(descriptor);
        }
        return descriptors;
    }
    template <class T>
    const T* at(std::size_t offset) const {
        return offset + sizeof(T) <= bytes_.size() ? reinterpret_cast<const T*>(bytes_.data() + offset)
                                                   : nullptr;
    }
    // File offset of a relative virtual address, through the section that holds it.
    std::size_t offset_of(DWORD rva) const {
        const auto* section = IMAGE_FIRST_SECTION(nt_);
        for (WORD i = 0; i < nt_->FileHeader.NumberOfSections; ++i, ++section)
            if (rva >= section->VirtualAddress && rva < section->VirtualAddress + section->Misc.VirtualSize)
                return rva - section->VirtualAddress + section->PointerToRawData;
        return bytes_.size();
    }

    std::vector<char> bytes_;
    const IMAGE_NT_HEADERS32* nt_ = nullptr;
};

std::string manifest_of(const std::wstring& program) {
    HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return {};
    std::string manifest;
    if (HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24 /* RT_MANIFEST */)))
        manifest.assign(static_cast<const char*>(LockResource(LoadResource(module, found))),
                        SizeofResource(module, found));
    FreeLibrary(module);
    return manifest;
}

// The value of `attribute` in the first element `element` of an XML text; empty if none.
std::string attribute_of(const std::string& xml, const std::string& element, const std::string& attribute) {
    const auto start = xml.find("<" + element + " ");
    if (start == std::string::npos) return {};
    const std::string tag = xml.substr(start, xml.find('>', start) - start);
    const auto at = tag.find(" " + attribute + "=\"");
    if (at == std::string::npos) return {};
    const auto value = at + attribute.size() + 3;
    return tag.substr(value, tag.find('"', value) - value);
}

std::wstring version_string(const std::vector<BYTE>& info, const wchar_t* name) {
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\041604B0\\") + name;
    if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
        return {};
    return std::wstring(value, wcsnlen(value, length));
}

// The program and the installer operators get.
const std::wstring kShipped = L"" SHIPPED_PROGRAM;
const std::wstring kShippedInstaller = L"" SHIPPED_INSTALLER;

TEST(ProgramFile, TheShippedProgramIsA32BitGuiProgram) {
    PeFile program(kShipped);
    ASSERT_TRUE(program.valid());
    EXPECT_EQ(program.machine(), IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(program.magic(), IMAGE_NT_OPTIONAL_HDR32_MAGIC);
    EXPECT_EQ(program.subsystem(), IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

// The installer runs on every Windows, as the program does, and asks for no administrator: it installs
// for the user alone.
TEST(ProgramFile, TheShippedInstallerIsA32BitGuiProgramThatAsksForNoAdministrator) {
    PeFile installer(kShippedInstaller);
    ASSERT_TRUE(installer.valid());
    EXPECT_EQ(installer.machine(), IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(installer.subsystem(), IMAGE_SUBSYSTEM_WINDOWS_GUI);
    EXPECT_EQ(attribute_of(manifest_of(kShippedInstaller), "requestedExecutionLevel", "level"), "asInvoker");
}

// Two builds of the same sources are the same bytes: no time of building in the header, and so a
// checksum that stays put; it is right, as a tool that checks it expects.
TEST(ProgramFile, TheShippedProgramHasNoTimeStampAndItsChecksumIsRight) {
    EXPECT_EQ(PeFile(kShipped).time_stamp(), 0u);
    DWORD in_header = 0, computed = 0;
    ASSERT_EQ(MapFileAndCheckSumW(kShipped.c_str(), &in_header, &computed), DWORD(CHECKSUM_SUCCESS));
    EXPECT_EQ(in_header, computed);
    EXPECT_NE(computed, 0u);
}

// The stand-in is built with the tests, and runs as they do: a 32-bit build under WoW64, as on a 64-bit
// Windows; a 64-bit build natively.
TEST(ProgramFile, TheStandInIsOfTheTestsOwnBuild) {
    PeFile standin(beside_tests(L"echolink-standin.exe"));
    ASSERT_TRUE(standin.valid());
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    if constexpr (sizeof(void*) == 4) {
        EXPECT_EQ(standin.machine(), IMAGE_FILE_MACHINE_I386);
        EXPECT_TRUE(wow64);
    } else {
        EXPECT_EQ(standin.machine(), IMAGE_FILE_MACHINE_AMD64);
        EXPECT_FALSE(wow64);
    }
    EXPECT_EQ(standin.subsystem(), IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

// Only Windows' KnownDLLs, which Windows always takes from its own folder: any other DLL it would look
// for beside relinka.exe first, before the program's first line could stop it. These are KnownDLLs on
// every Windows from 7 on; the program loads the others (GDI+, wtsapi32, shell32) from the system's
// folder itself, shell32 only when the About window's link is first pressed.
TEST(ProgramFile, ImportsOnlyKnownDllsAndOnlyThoseStartUpUses) {
    const std::set<std::string> known_dlls_since_windows_7{"advapi32.dll", "gdi32.dll",   "kernel32.dll",
                                                           "msvcrt.dll",   "ole32.dll",   "oleaut32.dll",
                                                           "shell32.dll",  "shlwapi.dll", "user32.dll"};
    const std::set<std::string> imported = PeFile(kShipped).imported_dlls();
    for (const std::string& dll : imported) EXPECT_TRUE(known_dlls_since_windows_7.contains(dll)) << dll;
    // advapi32: the registry and the processes' tokens, looked at before EchoLink's object is made.
    const std::set<std::string> for_start_up{"advapi32.dll", "gdi32.dll",    "kernel32.dll", "msvcrt.dll",
                                             "ole32.dll",    "oleaut32.dll", "user32.dll"};
    EXPECT_EQ(imported, for_start_up);
}

// Windows 7 refuses to start a program that imports a function it lacks: the ones the program uses on
// newer Windows only are looked up while it runs.
TEST(ProgramFile, ImportsNoFunctionThatWindows7Lacks) {
    const std::set<std::string> imported = PeFile(kShipped).imported_functions();
    ASSERT_TRUE(imported.count("CreateWindowExW")) << "imports not read";
    for (const char* newer : {"GetDpiForWindow", "AdjustWindowRectExForDpi", "GetSystemMetricsForDpi",
                              "SetThreadDpiAwarenessContext"})
        EXPECT_FALSE(imported.count(newer)) << newer;
}

TEST(ProgramFile, ManifestNamesTheProgramsOwnArchitectureAndWhatWindowsAsksFor) {
    const std::string manifest = manifest_of(kShipped);
    ASSERT_FALSE(manifest.empty());
    // The program's own identity comes first; the common controls' dependency, with "*", after it.
    EXPECT_EQ(attribute_of(manifest, "assemblyIdentity", "processorArchitecture"), "x86");
    EXPECT_EQ(attribute_of(manifest, "assemblyIdentity", "name"), "Relinka");
    EXPECT_EQ(attribute_of(manifest, "assemblyIdentity", "version"), "3.0.1.0");
    EXPECT_EQ(attribute_of(manifest, "requestedExecutionLevel", "level"), "asInvoker");
    for (const char* os :
         {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
          "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
        EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"") + os + "\"/>"), std::string::npos) << os;
    // Per monitor (v2) where Windows knows it; system-wide before, and on Windows 7 and 8.1.
    EXPECT_NE(
        manifest.find(
            "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>"),
        std::string::npos);
    EXPECT_NE(manifest.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                            "PerMonitorV2, System</dpiAwareness>"),
              std::string::npos);
}

TEST(ProgramFile, VersionResourceInPortuguese) {
    std::vector<BYTE> info(GetFileVersionInfoSizeW(kShipped.c_str(), nullptr));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoW(kShipped.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 3));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 3));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(0, 1));
    EXPECT_EQ(version_string(info, L"ProductName"), L"Relinka");
    EXPECT_EQ(version_string(info, L"ProductVersion"), L"3.0.1");
    EXPECT_EQ(version_string(info, L"FileVersion"), L"3.0.1");
    EXPECT_EQ(version_string(info, L"FileDescription"),
              L"Relinka amigos: mantém o EchoLink conectado às estações amigas");
    EXPECT_EQ(version_string(info, L"OriginalFilename"), L"relinka.exe");
}

}  // namespace
}  // namespace relinka::testing
