// Instructions the portable core spends on one supervision tick with eight connected stations, behind
// a fake EchoLink that answers at once. bench/tick_instructions.sh runs it under callgrind with two
// numbers of ticks; the difference, divided by the difference in ticks, is one tick's cost.
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "app/amigos.h"

namespace relinka {
namespace {

class Form : public AmigosForm {
public:
    std::wstring Text(int box) const override { return text[box]; }
    void SetText(int box, std::wstring_view value) override { text[box] = value; }
    int Check(int slot) const override { return check[slot]; }
    void SetCheck(int slot, int value) override { check[slot] = value; }
    void SetLabel(int slot, std::wstring_view caption) override { label[slot] = caption; }
    void SetTimerEnabled(bool) override {}
    void SetTimerDue() override {}
    void SetIndicatorFill(Colour) override {}
    void SetIndicatorBack(Colour) override {}
    void ShowAjuda() override {}
    void ShowSobreAuto() override {}
    void Unload() override {}

    std::wstring text[kDropBox + 1];
    int check[kSlots + 1] = {};
    std::wstring label[kSlots + 1];
};

class QuietDesktop : public Desktop {
public:
    void beep() override {}
    void sleep(unsigned) override {}
    int message_box(std::wstring_view, std::wstring_view, unsigned) override { return kOk; }
    std::wstring upper_case(std::wstring_view text) override { return std::wstring(text); }
    std::wstring program_name() override { return L"relinka"; }
    void keep_system_awake(bool) override {}
    bool find_normal_file(std::wstring_view) override { return false; }
    std::unique_ptr<ByteSource> open_for_reading(std::wstring_view) override { return nullptr; }
    std::optional<std::wstring> replace_file(std::wstring_view, std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::wstring> to_ansi(std::wstring_view, std::string&) override { return std::nullopt; }
    std::wstring from_ansi(std::string_view) override { return {}; }
};

class ConnectedEchoLink : public EchoLink {
public:
    void Connect(std::wstring_view, bool) override {}
    void Disconnect(std::wstring_view) override {}
    void DisconnectAll() override {}
    bool IsConnected(std::wstring_view) override { return true; }
};

}  // namespace
}  // namespace relinka

int main(int argc, char** argv) {
    using namespace relinka;
    const int ticks = argc > 1 ? std::atoi(argv[1]) : 1000;
    Form form;
    QuietDesktop desktop;
    Amigos amigos(form, desktop, [](std::function<void()>) -> std::unique_ptr<EchoLink> {
        return std::make_unique<ConnectedEchoLink>();
    });
    amigos.Form_Load();
    for (int slot = 1; slot <= kSlots; ++slot) {
        form.text[slot] = L"PU2AB" + std::wstring(1, static_cast<wchar_t>(L'A' + slot));
        form.check[slot] = 1;
    }
    for (int tick = 0; tick < ticks; ++tick) amigos.Timer1_Timer();
    std::printf("%d ticks; every slot %ls\n", ticks, form.label[kSlots].c_str());
    return 0;
}
