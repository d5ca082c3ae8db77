#include "app/restart.h"

namespace relinka {

namespace {
constexpr std::wstring_view kFolderOption = L"/pasta \"";
}

std::wstring restart_command_line(std::wstring_view folder) {
    return std::wstring(kFolderOption) + std::wstring(folder) + L"\"";
}

std::optional<std::wstring> restart_folder(std::wstring_view command_line) {
    // A folder's name never holds a double quote, so the first one after the option closes it.
    if (!command_line.starts_with(kFolderOption)) return std::nullopt;
    const std::wstring_view rest = command_line.substr(kFolderOption.size());
    const auto end = rest.find(L'"');
    if (end == 0 || end == std::wstring_view::npos) return std::nullopt;
    if (rest.substr(end + 1).find_first_not_of(L' ') != std::wstring_view::npos) return std::nullopt;
    return std::wstring(rest.substr(0, end));
}

std::wstring unreachable_restart_folder_message(std::wstring_view folder) {
    return L"O Windows abriu o Relinka de novo depois de reiniciar, mas a pasta dele não está "
           L"acessível:\n\n" +
           std::wstring(folder) +
           L"\n\nSem ela o Relinka não tem a lista de amigos (amigos.txt) e fecha. Verifique se o disco ou a "
           L"pasta de rede está ligado e abra o Relinka pelo atalho de sempre.";
}

}  // namespace relinka
