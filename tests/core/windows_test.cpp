// The Help and About windows as the core sees them: their fixed texts, and "Ajuda"/"Sobre".
#include <gtest/gtest.h>

#include "fakes.h"
#include "windows/texts.h"

namespace relinka::testing {
namespace {

// The expected texts are spelled in UTF-8 bytes, accents escaped, so that an editor re-encoding
// texts.h or this file cannot make both sides change together.
TEST(Texts, HelpTextIsNineLinesEachEndedByCrLf) {
    const std::string expected =
        "Relinka  foi  criado  para  prover  conec\xC3\xA7\xC3\xA3o \r\n"
        "constante entre esta\xC3\xA7\xC3\xB5"
        "es/confer\xC3\xAAncias, sem  ter \r\n"
        "que refazer as reconec\xC3\xA7\xC3\xB5"
        "es devido a quebra do \r\n"
        "linque  ou  reinicializa\xC3\xA7\xC3\xA3o  de   sua  m\xC3\xA1quina  ou \r\n"
        "reinicializa\xC3\xA7\xC3\xA3o da m\xC3\xA1quina de seu amigo.\r\n"
        " \r\n"
        "Relinka amigos funciona adequadamente na \r\n"
        "forma  \"sysop\",   ou  seja  com  esta\xC3\xA7\xC3\xB5"
        "es  do  tipo \r\n"
        "\"-R\" ou \"-L\".\r\n";
    EXPECT_EQ(utf8(kHelpText), expected);

    // Line by line as well, so a failure points at the line.
    const std::wstring help = kHelpText;
    int lines = 0;
    for (std::size_t start = 0; start < help.size(); ++lines) {
        const std::size_t end = help.find(L"\r\n", start);
        ASSERT_NE(end, std::wstring::npos) << "line " << lines + 1 << " has no CR LF";
        EXPECT_EQ(help.substr(start, end - start).find_first_of(L"\r\n"), std::wstring::npos)
            << "a lone CR or LF in line " << lines + 1;
        start = end + 2;
    }
    EXPECT_EQ(lines, 9);
}

TEST(Texts, AboutTexts) {
    EXPECT_EQ(utf8(kAboutVersion), "Vers\xC3\xA3o 3.0  Revis\xC3\xA3o 1  -  10/2008");
    EXPECT_EQ(utf8(kAboutCreatedBy), "Uma cria\xC3\xA7\xC3\xA3o de Fulano de Tal");
    EXPECT_EQ(utf8(kAboutFirm), "Tal Sistemas - software para radioamadores");
    EXPECT_EQ(utf8(kAboutDonation),
              "Relinka \xC3\xA9 um programa livre e gratu\xC3\xADto, caso queira contribuir para que novas "
              "vers\xC3\xB5"
              "es continuem sendo criadas, mande e-mail para   fulano@qx0qx.example    que "
              "informaremos conta banc\xC3\xA1ria para sua doa\xC3\xA7\xC3\xA3o. Obrigado.");
    EXPECT_EQ(utf8(kAuthorWebAddress), "http://qx0qx.example:2000/");
}

TEST(Opening, AjudaAndSobreBeepThenShowTheirWindow) {
    Rig rig;
    rig.load();
    rig.amigos.Command3_Click();
    EXPECT_EQ(rig.take_trace(), (Trace{"beep", "show Ajuda"}));
    rig.amigos.sobre_Click();
    EXPECT_EQ(rig.take_trace(), (Trace{"beep", "show sobre_auto"}));
    // Opening either window leaves supervision as it was.
    EXPECT_TRUE(rig.form.timer_enabled);
    EXPECT_EQ(rig.form.fill, kGreen);
}

TEST(Opening, NothingOpensAfterTheEnd) {
    Rig rig;
    rig.load();
    rig.raise_closing();
    rig.take_trace();
    rig.amigos.Command3_Click();
    rig.amigos.sobre_Click();
    EXPECT_TRUE(rig.take_trace().empty());
}

}  // namespace
}  // namespace relinka::testing
