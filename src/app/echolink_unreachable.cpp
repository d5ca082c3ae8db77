#include "app/echolink_unreachable.h"

#include "echolink/link.h"

namespace relinka {

namespace {

// The failures of creating the object that COM gives when the two programs run apart: the second EchoLink
// it started did not come up (CO_E_SERVER_EXEC_FAILURE), or could not be started or reached at all
// (ERROR_ELEVATION_REQUIRED, E_ACCESSDENIED).
constexpr std::int32_t kServerDidNotComeUp = static_cast<std::int32_t>(0x80080005);
constexpr std::int32_t kElevationRequired = static_cast<std::int32_t>(0x800702E4);
constexpr std::int32_t kAccessDenied = static_cast<std::int32_t>(0x80070005);

constexpr wchar_t kBothTheSameWay[] =
    L"Abra os dois do mesmo jeito: os dois normalmente, ou os dois como administrador, com o mesmo "
    L"usuário do Windows.";

}  // namespace

std::wstring running_apart_message(Apart how) {
    switch (how) {
        case Apart::EchoLinkElevated:
            return L"O EchoLink está aberto como administrador, e o Relinka não. Assim o Windows não "
                   L"deixa o Relinka falar com ele.\n\nFeche o EchoLink e abra-o normalmente, ou abra "
                   L"também o Relinka como administrador.";
        case Apart::RelinkaElevated:
            return L"O Relinka foi aberto como administrador, e o EchoLink não. Assim o Windows não "
                   L"deixa o Relinka falar com ele.\n\nAbra o Relinka normalmente, ou abra também o "
                   L"EchoLink como administrador.";
        case Apart::OtherSession:
            return L"O EchoLink está aberto em outra sessão do Windows (outro usuário conectado neste "
                   L"computador, ou uma Área de Trabalho Remota). O Relinka só fala com o EchoLink da "
                   L"própria sessão.\n\nAbra o EchoLink e o Relinka na mesma sessão, com o mesmo usuário.";
        case Apart::OtherUser:
            return L"O EchoLink está aberto por outro usuário do Windows. O Relinka só fala com o "
                   L"EchoLink do mesmo usuário.\n\n" +
                   std::wstring(kBothTheSameWay);
        case Apart::Unseen:
            break;
    }
    return L"O EchoLink está aberto de um jeito que o Relinka não consegue ver: como administrador ou "
           L"por outro usuário do Windows. Assim o Windows não deixa o Relinka falar com ele.\n\n" +
           std::wstring(kBothTheSameWay);
}

std::wstring creation_failure_message(std::int32_t status) {
    const std::wstring failure =
        L"Não foi possível criar o objeto de automação do EchoLink (erro " + status_code_text(status) + L").";
    if (status == kServerDidNotComeUp || status == kElevationRequired || status == kAccessDenied)
        return failure +
               L"\n\nIsso acontece quando o EchoLink e o Relinka são abertos de jeitos diferentes: um como "
               L"administrador e o outro não, ou por usuários diferentes. " +
               kBothTheSameWay + L" Abra o EchoLink primeiro e espere ele ficar pronto.";
    return failure + L"\n\nVerifique se o EchoLink está instalado neste computador.";
}

}  // namespace relinka
