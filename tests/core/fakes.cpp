#include "fakes.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace relinka::testing {

std::string utf8(std::wstring_view text) {
    std::string out;
    for (wchar_t wide : text) {
        const auto c = static_cast<char32_t>(wide);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::vector<std::string> said(const std::vector<Event>& events) {
    std::vector<std::string> texts;
    for (const Event& event : events)
        texts.push_back((event.slot ? std::to_string(event.slot) + " " : "") +
                        (event.callsign.empty() ? "" : utf8(event.callsign) + " ") + utf8(event_text(event)));
    return texts;
}

void FakeForm::SetText(int box, std::wstring_view value) {
    text[box] = value;
    trace_.push_back("Text" + std::to_string(box) + "=\"" + utf8(value) + "\"");
}

void FakeForm::SetCheck(int slot, int value) {
    check[slot] = value;
    trace_.push_back("Check" + std::to_string(slot) + "=" + std::to_string(value));
}

void FakeForm::SetLabel(int slot, std::wstring_view caption) {
    label[slot] = caption;
    trace_.push_back("Label" + std::to_string(slot) + "=\"" + utf8(caption) + "\"");
}

void FakeForm::SetTimerEnabled(bool enabled) {
    timer_enabled = enabled;
    trace_.push_back(enabled ? "Timer1 on" : "Timer1 off");
}

void FakeForm::SetIndicatorFill(Colour colour) {
    fill = colour;
    trace_.push_back("Shape1.FillColor=" + std::to_string(colour));
}

void FakeForm::SetIndicatorBack(Colour colour) {
    back = colour;
    trace_.push_back("Shape1.BackColor=" + std::to_string(colour));
}

void FakeDesktop::sleep(unsigned milliseconds) {
    trace_.push_back("sleep " + std::to_string(milliseconds));
    if (while_sleeping) std::exchange(while_sleeping, nullptr)();
}

int FakeDesktop::message_box(std::wstring_view text, std::wstring_view title, unsigned style) {
    trace_.push_back("msgbox \"" + utf8(text) + "\" \"" + utf8(title) + "\" " + std::to_string(style));
    if (while_message_box_open) std::exchange(while_message_box_open, nullptr)();
    if (answers.empty()) return kOk;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

std::wstring FakeDesktop::upper_case(std::wstring_view text) {
    std::wstring upper(text);
    for (wchar_t& c : upper)
        if ((c >= L'a' && c <= L'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) c -= 0x20;
    return upper;
}

bool FakeDesktop::find_normal_file(std::wstring_view name) { return files.count(std::wstring(name)) > 0; }

namespace {
class StringSource : public ByteSource {
public:
    explicit StringSource(std::string bytes) : bytes_(std::move(bytes)) {}
    std::size_t read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min(size, bytes_.size() - at_);
        std::memcpy(buffer, bytes_.data() + at_, n);
        at_ += n;
        return n;
    }

private:
    std::string bytes_;
    std::size_t at_ = 0;
};
}  // namespace

std::unique_ptr<ByteSource> FakeDesktop::open_for_reading(std::wstring_view name) {
    const auto file = files.find(std::wstring(name));
    if (file == files.end() || unopenable.count(file->first)) return nullptr;
    return std::make_unique<StringSource>(file->second);
}

std::optional<std::wstring> FakeDesktop::replace_file(std::wstring_view name, std::string_view bytes) {
    trace_.push_back("save " + utf8(name));
    if (save_failure) return save_failure;
    files[std::wstring(name)] = std::string(bytes);
    return std::nullopt;
}

std::optional<std::wstring> FakeDesktop::to_ansi(std::wstring_view text, std::string& bytes) {
    if (conversion_failure && !text.empty()) return conversion_failure;
    bytes.clear();
    for (wchar_t c : text) bytes += static_cast<char>(static_cast<char32_t>(c) < 0x100 ? c : L'?');
    return std::nullopt;
}

std::wstring FakeDesktop::from_ansi(std::string_view bytes) {
    std::wstring text;
    for (char c : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return text;
}

FakeEchoLink::~FakeEchoLink() {
    station_.released = true;
    trace_.push_back("release Echo");
}

void FakeEchoLink::call(const std::string& operation, const std::string& arguments) {
    trace_.push_back(operation + "(" + arguments + ")");
    if (station_.during_next_call) std::exchange(station_.during_next_call, nullptr)();
    const auto failure = station_.failing.find(operation);
    if (failure != station_.failing.end()) throw EchoLinkError(operation.c_str(), failure->second);
    if (station_.failing_calls.count(++station_.calls))
        throw EchoLinkError(operation.c_str(), station_.failing_status);
}

void FakeEchoLink::Connect(std::wstring_view callsign, bool flag) {
    call("Connect", "\"" + utf8(callsign) + "\"," + (flag ? "-1" : "0"));
    if (station_.connect_brings_up) station_.connected.insert(std::wstring(callsign));
}

void FakeEchoLink::Disconnect(std::wstring_view callsign) {
    call("Disconnect", "\"" + utf8(callsign) + "\"");
    station_.connected.erase(std::wstring(callsign));
}

void FakeEchoLink::DisconnectAll() {
    call("DisconnectAll", "");
    station_.connected.clear();
}

bool FakeEchoLink::IsConnected(std::wstring_view callsign) {
    call("IsConnected", "\"" + utf8(callsign) + "\"");
    return station_.connected.count(std::wstring(callsign)) > 0;
}

Rig::Rig() {
    if (std::getenv("RELINKA_TEST_HISTORY")) amigos.observe_with(history);
}

void Rig::load() {
    amigos.Form_Load();
    trace.clear();
}

Trace Rig::take_trace() { return std::exchange(trace, {}); }

}  // namespace relinka::testing
