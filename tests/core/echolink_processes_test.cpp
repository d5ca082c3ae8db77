// An EchoLink already running where Relinka cannot reach it, found before its object is asked for; and
// the advice for failures to create the object.
#include "echolink/echolink_processes.h"

#include <gtest/gtest.h>

#include <map>

#include "app/echolink_unreachable.h"
#include "fakes.h"

namespace relinka::testing {
namespace {

constexpr wchar_t kEchoLink[] = L"C:\\Program Files (x86)\\EchoLink\\EchoLink.exe";
const std::wstring kUser = L"S-1-5-21-1-2-3-1001";

// Relinka as an operator usually opens it: session 1, not as administrator.
const ProcessFacts kOrdinary{1u, false, kUser};

class FakeProcesses : public EchoLinkProcesses {
public:
    std::wstring registered_server() override { return server; }
    ProcessFacts this_process() override { return relinka; }
    std::vector<ProcessFacts> running(std::wstring_view image) override {
        asked.emplace_back(image);
        const auto found = by_image.find(std::wstring(image));
        return found == by_image.end() ? std::vector<ProcessFacts>{} : found->second;
    }

    std::wstring server = L"\"" + std::wstring(kEchoLink) + L"\" /automation";
    ProcessFacts relinka = kOrdinary;
    std::map<std::wstring, std::vector<ProcessFacts>> by_image;
    std::vector<std::wstring> asked;
};

TEST(EchoLinkProcesses, ServerImageWithoutQuotesOrArguments) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"\"C:\\Program Files (x86)\\EchoLink\\EchoLink.exe\" /automation",
         L"C:\\Program Files (x86)\\EchoLink\\EchoLink.exe"},
        {L"  \"C:\\EchoLink\\EchoLink.exe\"", L"C:\\EchoLink\\EchoLink.exe"},
        {L"C:\\Program Files\\EchoLink\\EchoLink.EXE -Embedding",
         L"C:\\Program Files\\EchoLink\\EchoLink.EXE"},
        {L"C:\\Programs\\old.exes\\EchoLink.exe", L"C:\\Programs\\old.exes\\EchoLink.exe"},
        {L"C:\\PROGRA~2\\ECHOLI~1\\EchoLink.exe", L"C:\\PROGRA~2\\ECHOLI~1\\EchoLink.exe"},
        {L"C:\\EchoLink\\EchoLink /automation", L"C:\\EchoLink\\EchoLink"},
        {L"\"C:\\EchoLink\\EchoLink.exe", L"C:\\EchoLink\\EchoLink.exe"},  // a quote never closed
    };
    for (const auto& [command, image] : cases) EXPECT_EQ(server_image(command), image) << utf8(command);
}

TEST(EchoLinkProcesses, NothingToSayWhenNoneRunsOrNoneIsRegistered) {
    FakeProcesses processes;
    EXPECT_EQ(how_echolink_runs_apart(processes), std::nullopt);
    EXPECT_EQ(processes.asked, std::vector<std::wstring>{kEchoLink});
    processes.server.clear();
    processes.asked.clear();
    EXPECT_EQ(how_echolink_runs_apart(processes), std::nullopt);
    EXPECT_TRUE(processes.asked.empty());
}

TEST(EchoLinkProcesses, EachWayOfRunningApart) {
    struct Case {
        const char* what;
        ProcessFacts relinka, echolink;
        std::optional<Apart> apart;
    };
    const ProcessFacts elevated{1u, true, kUser};
    const Case cases[] = {
        {"the same way", kOrdinary, kOrdinary, std::nullopt},
        {"both as administrator", elevated, elevated, std::nullopt},
        {"EchoLink as administrator", kOrdinary, elevated, Apart::EchoLinkElevated},
        {"Relinka as administrator", elevated, kOrdinary, Apart::RelinkaElevated},
        {"another session, another user",
         kOrdinary,
         {2u, false, L"S-1-5-21-1-2-3-1002"},
         Apart::OtherSession},
        {"another user in this session", kOrdinary, {1u, true, L"S-1-5-21-1-2-3-500"}, Apart::OtherUser},
        {"a process that cannot be opened", kOrdinary, {}, Apart::Unseen},
        {"a token that cannot be read", kOrdinary, {1u, std::nullopt, std::nullopt}, Apart::Unseen},
        {"another session, its token unread",
         kOrdinary,
         {0u, std::nullopt, std::nullopt},
         Apart::OtherSession},
        // Nothing known of Relinka itself is no reason to stop it.
        {"Relinka's own token unread", {1u, std::nullopt, std::nullopt}, elevated, std::nullopt},
    };
    for (const Case& c : cases) {
        FakeProcesses processes;
        processes.relinka = c.relinka;
        processes.by_image[kEchoLink] = {c.echolink};
        EXPECT_EQ(how_echolink_runs_apart(processes), c.apart) << c.what;
    }
}

TEST(EchoLinkProcesses, OneEchoLinkRunningAsRelinkaDoesIsEnough) {
    FakeProcesses processes;
    processes.by_image[kEchoLink] = {ProcessFacts{2u, false, kUser}, kOrdinary};
    EXPECT_EQ(how_echolink_runs_apart(processes), std::nullopt);
    processes.by_image[kEchoLink] = {ProcessFacts{}, ProcessFacts{1u, true, kUser}};
    EXPECT_EQ(how_echolink_runs_apart(processes), Apart::Unseen) << "the first one found is told";
}

TEST(EchoLinkUnreachable, CreationFailuresThatMeanRunningApartGetTheSameAdvice) {
    const std::wstring installed = L"Verifique se o EchoLink está instalado";
    const std::wstring same_way = L"Abra os dois do mesmo jeito";
    for (const std::uint32_t status : {0x80080005u, 0x800702E4u, 0x80070005u}) {
        const std::wstring text = creation_failure_message(static_cast<std::int32_t>(status));
        EXPECT_NE(text.find(status_code_text(static_cast<std::int32_t>(status))), std::wstring::npos);
        EXPECT_NE(text.find(same_way), std::wstring::npos) << utf8(text);
        EXPECT_EQ(text.find(installed), std::wstring::npos) << utf8(text);
    }
    for (const std::uint32_t status : {0x80040154u, 0x800401F3u}) {
        const std::wstring text = creation_failure_message(static_cast<std::int32_t>(status));
        EXPECT_EQ(text, L"Não foi possível criar o objeto de automação do EchoLink (erro " +
                            status_code_text(static_cast<std::int32_t>(status)) +
                            L").\n\nVerifique se o EchoLink está instalado neste computador.");
    }
}

}  // namespace
}  // namespace relinka::testing
