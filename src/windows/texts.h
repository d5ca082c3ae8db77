#pragma once
// The fixed texts of the Help and About windows.

namespace relinka {

// Nine lines, each ended by CR LF; the runs of spaces belong to the text.
inline constexpr const wchar_t* kHelpText =
    L"Relinka  foi  criado  para  prover  conecção \r\n"
    L"constante entre estações/conferências, sem  ter \r\n"
    L"que refazer as reconecções devido a quebra do \r\n"
    L"linque  ou  reinicialização  de   sua  máquina  ou \r\n"
    L"reinicialização da máquina de seu amigo.\r\n"
    L" \r\n"
    L"Relinka amigos funciona adequadamente na \r\n"
    L"forma  \"sysop\",   ou  seja  com  estações  do  tipo \r\n"
    L"\"-R\" ou \"-L\".\r\n";

// The author, his firm, his e-mail address and his web server are fictitious: Fulano de Tal of
// Tal Sistemas, fulano@qx0qx.example, qx0qx.example.
inline constexpr const wchar_t* kAboutCreatedBy = L"Uma criação de Fulano de Tal";
inline constexpr const wchar_t* kAboutFirm = L"Tal Sistemas - software para radioamadores";
inline constexpr const wchar_t* kAboutVersion = L"Versão 3.0  Revisão 1  -  10/2008";
inline constexpr const wchar_t* kAboutDonation =
    L"Relinka é um programa livre e gratuíto, caso queira contribuir para que novas versões continuem "
    L"sendo criadas, mande e-mail para"
    L"   fulano@qx0qx.example    "
    L"que informaremos conta bancária para sua doação. Obrigado.";
inline constexpr const wchar_t* kAuthorWebAddress = L"http://qx0qx.example:2000/";

}  // namespace relinka
