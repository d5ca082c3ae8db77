#include "echolink/echolink_processes.h"

#include <algorithm>

namespace relinka {

namespace {

constexpr std::wstring_view kProgramExtension = L".exe";

bool is_blank(wchar_t c) { return c == L' ' || c == L'\t'; }

wchar_t lower_ascii(wchar_t c) { return c >= L'A' && c <= L'Z' ? c + (L'a' - L'A') : c; }

std::optional<Apart> how_apart(const ProcessFacts& relinka, const ProcessFacts& echolink) {
    const auto differ = [](const auto& ours, const auto& theirs) {
        return ours && theirs && *ours != *theirs;
    };
    if (differ(relinka.session, echolink.session)) return Apart::OtherSession;
    if (differ(relinka.user, echolink.user)) return Apart::OtherUser;
    if (differ(relinka.elevated, echolink.elevated))
        return *echolink.elevated ? Apart::EchoLinkElevated : Apart::RelinkaElevated;
    // A process of the same user at the same level can always be looked into.
    if (!echolink.session || !echolink.user || !echolink.elevated) return Apart::Unseen;
    return std::nullopt;
}

}  // namespace

std::wstring server_image(std::wstring_view command) {
    while (!command.empty() && is_blank(command.front())) command.remove_prefix(1);
    if (!command.empty() && command.front() == L'"') {
        command.remove_prefix(1);
        return std::wstring(command.substr(0, command.find(L'"')));
    }
    // Unquoted, the path may still hold blanks (COM accepts it so): it runs to the program's extension
    // that ends a word.
    const auto same = [](wchar_t a, wchar_t b) { return lower_ascii(a) == b; };
    for (auto at = command.begin();; ++at) {
        at = std::search(at, command.end(), kProgramExtension.begin(), kProgramExtension.end(), same);
        if (at == command.end()) break;
        const auto end = at + kProgramExtension.size();
        if (end == command.end() || is_blank(*end)) return std::wstring(command.begin(), end);
    }
    return std::wstring(command.substr(0, std::min(command.find(L' '), command.find(L'\t'))));
}

std::optional<Apart> how_echolink_runs_apart(EchoLinkProcesses& processes) {
    const std::wstring command = processes.registered_server();
    if (command.empty()) return std::nullopt;
    const std::vector<ProcessFacts> echolinks = processes.running(server_image(command));
    if (echolinks.empty()) return std::nullopt;
    const ProcessFacts relinka = processes.this_process();
    std::optional<Apart> first;
    for (const ProcessFacts& echolink : echolinks) {
        const std::optional<Apart> how = how_apart(relinka, echolink);
        if (!how) return std::nullopt;
        if (!first) first = how;
    }
    return first;
}

}  // namespace relinka
