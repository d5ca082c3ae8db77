#include "support/wine_support.h"

#include <oleauto.h>
#include <tlhelp32.h>

#include <algorithm>
#include <vector>

#include "winlib/gdiplus_win.h"
#include "winlib/unique_win.h"

namespace relinka::testing {

void pump_for(DWORD milliseconds) {
    wait_until([] { return false; }, milliseconds);
}

bool wait_until(const std::function<bool()>& done, DWORD milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    while (!done()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE,
                                  static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 20)), QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return true;
}

std::wstring beside_tests(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    std::wstring folder(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    folder.resize(folder.find_last_of(L"\\/") + 1);
    return folder + name;
}

std::wstring text_of(HWND window) {
    std::wstring text(GetWindowTextLengthW(window) + 1, L'\0');
    text.resize(GetWindowTextW(window, text.data(), static_cast<int>(text.size())));
    return text;
}

bool contains(std::wstring_view text, std::wstring_view part) { return text.find(part) != text.npos; }

bool write_bytes(const std::wstring& path, std::string_view bytes) {
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::optional<std::string> file_bytes(const std::wstring& path) {
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got) bytes.append(buffer, got);
    return bytes;
}

namespace {
CLSID png_encoder() {
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<unsigned char> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, encoders);
    for (UINT i = 0; i < count; ++i)
        if (lstrcmpW(encoders[i].MimeType, L"image/png") == 0) return encoders[i].Clsid;
    return CLSID{};
}
}  // namespace

void save_screenshot(HWND window, const wchar_t* name) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pump_for(300);
    RECT bounds;
    GetWindowRect(window, &bounds);
    const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    const WindowDc screen(nullptr);
    UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    {
        UniqueMemoryDc copy(CreateCompatibleDC(screen.get()));
        const SelectedObject selected(copy.get(), bitmap.get());
        BitBlt(copy.get(), 0, 0, width, height, screen.get(), bounds.left, bounds.top, SRCCOPY);
    }

    CreateDirectoryW(L"screenshots", nullptr);
    const std::wstring path = std::wstring(L"screenshots\\") + name;
    gdiplus();  // started as the program starts it; the tests import GDI+'s classes
    Gdiplus::Bitmap image(bitmap.get(), nullptr);
    const CLSID encoder = png_encoder();
    image.Save(path.c_str(), &encoder, nullptr);
}

StandIn::StandIn() {
    ComPtr<IUnknown> object;
    CoCreateInstance(CLSID_EchoLinkApp, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&object));
    if (object) object.As(&control_);
}

namespace {
std::wstring text_from(IStandInControl* control, HRESULT (STDMETHODCALLTYPE IStandInControl::*read)(BSTR*)) {
    UniqueBstr text;
    (control->*read)(text.put());
    return text ? text.get() : L"";
}
}  // namespace

std::wstring StandIn::log() const { return text_from(control_.Get(), &IStandInControl::CallLog); }

std::wstring StandIn::connections() const { return text_from(control_.Get(), &IStandInControl::Connections); }

void StandIn::drop_link(std::wstring_view callsign) {
    const UniqueBstr text(SysAllocStringLen(callsign.data(), static_cast<UINT>(callsign.size())));
    control_->DropLink(text.get());
}

void StandIn::reset() {
    if (!control_) return;  // never started: its test has failed already, and says why
    control_->FailCalls(S_OK);
    control_->BeBusy(0);
    control_->ClickDuringNextCall(0);
    control_->SetAnswerDelay(0);
    control_->SetConnectDelay(1500);
    // Every link, those still coming up included: a program that ended a moment ago may have asked
    // for one, which would otherwise come up in the middle of the next test.
    ComPtr<::IEchoLinkApp> echolink;
    if (SUCCEEDED(control_.As(&echolink))) echolink->DisconnectAll();
    control_->ClearCallLog();
}

int standin_processes() {
    const UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    int running = 0;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry))
        running += lstrcmpiW(entry.szExeFile, L"echolink-standin.exe") == 0;
    return running;
}

bool close_standin() {
    return wait_until(
        [] {
            if (const HWND window = FindWindowW(nullptr, L"EchoLink (substituto)"))
                PostMessageW(window, WM_CLOSE, 0, 0);
            return standin_processes() == 0;
        },
        15000);
}

BOOL start_process(std::wstring command, const wchar_t* directory, const STARTUPINFOW& startup, bool elevated,
                   PROCESS_INFORMATION& process) {
    STARTUPINFOW how = startup;
    if (elevated)
        return CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, directory, &how,
                              &process);
    // The elevated token's linked token is the one UAC gives a program started the ordinary way.
    UniqueHandle own, primary;
    TOKEN_LINKED_TOKEN linked{};
    DWORD size = 0;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, own.put()) ||
        !GetTokenInformation(own.get(), TokenLinkedToken, &linked, sizeof linked, &size))
        return FALSE;
    const UniqueHandle limited(linked.LinkedToken);
    return DuplicateTokenEx(limited.get(), TOKEN_ALL_ACCESS, nullptr, SecurityImpersonation, TokenPrimary,
                            primary.put()) &&
           CreateProcessAsUserW(primary.get(), nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                directory, &how, &process);
}

void StandIn::start_afresh() {
    control_.Reset();
    close_standin();
    *this = StandIn();
}

DWORD run_to_end(const std::wstring& program, const wchar_t* option) {
    std::wstring command = L"\"" + program + L"\" " + option;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return GetLastError();
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, 30'000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

std::pair<std::string, DWORD> run_captured(std::wstring command) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    CreatePipe(&read, &write, &inherited, 0);
    const UniqueHandle reading(read);
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = write;
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &process);
    CloseHandle(write);
    if (!started) return {"not started", GetLastError()};
    const UniqueHandle owned_process(process.hProcess), owned_thread(process.hThread);
    std::string output;
    char buffer[512];
    DWORD got = 0;
    while (ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got) output.append(buffer, got);
    WaitForSingleObject(process.hProcess, 60'000);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &code);
    return {output, code};
}

DWORD run_standin(const wchar_t* option) { return run_to_end(beside_tests(L"echolink-standin.exe"), option); }

}  // namespace relinka::testing
