// INI files and registry values on the prefix's real profile functions and
// registry.

#include <gtest/gtest.h>

#include "tests/support/Sistema_win32.h"
#include "tests/util/ProvaPrivati.h"
#include "util/uxUtilita.h"

using namespace quandora;
using namespace quandora::test;

namespace {
constexpr uint32_t kCu = uxUtilita::kHkeyCurrentUser;
const std::string kChiave = "Software\\TrevaltoProva\\Impostazioni";
using P = ProvaPrivatiUxUtilita;
}  // namespace

TEST(INI, ReadsTrimmedValuesOrTheDefaultAndWritesAnsiProfiles) {
    const uxUtilita u;
    const std::string base = CartellaProva("ux_ini");
    const std::string ini = base + "cfg.ini";
    const std::string lungo(2500, 'a');
    ScriviFile(ini,
               "[Quandora]\r\nPath=   C:\\Programmi\\Quandora\\   \r\nVuoto=\r\nBianco=     \r\n"
               "Accenti=Attivit\xE0 e societ\xE0\r\n[Altro]\r\nPath=D:\\\r\nLungo=" +
                   lungo + "\r\n");
    EXPECT_EQ(u.LeggiINI(ini, "Quandora", "Path", "def"), "C:\\Programmi\\Quandora\\");
    EXPECT_EQ(u.LeggiINI(ini, "Altro", "Path", "def"), "D:\\");
    for (const char* chiave : {"Vuoto", "Bianco", "Manca"})
        EXPECT_EQ(u.LeggiINI(ini, "Quandora", chiave, "def"), "def") << chiave;
    EXPECT_EQ(u.LeggiINI(ini, "Manca", "Path", "def"), "def");
    EXPECT_EQ(u.LeggiINI(base + "manca.ini", "Quandora", "Path", "def"), "def");
    EXPECT_EQ(u.LeggiINI(ini, "Quandora", "Accenti", ""), "Attività e società");
    // The buffer holds 2000 characters, one of them the terminator.
    EXPECT_EQ(u.LeggiINI(ini, "Altro", "Lungo", ""), lungo.substr(0, 1999));

    const std::string nuovo = base + "nuovo.ini";
    EXPECT_TRUE(u.ScriviINI(nuovo, "Quandora", "Path", "C:\\Quandora più\\"));
    EXPECT_TRUE(u.ScriviINI(nuovo, "Seconda", "Chiave", "valore"));
    EXPECT_TRUE(u.ScriviINI(nuovo, "Quandora", "Path", "E:\\Nuovo\\"));
    EXPECT_TRUE(u.ScriviINI(nuovo, "Quandora", "Accento", "è"));
    EXPECT_EQ(u.LeggiINI(nuovo, "Quandora", "Path", ""), "E:\\Nuovo\\");
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, Ansi(nuovo).c_str());  // flush
    const std::string scritto = LeggiFile(nuovo);
    EXPECT_NE(scritto.find("[Seconda]\r\nChiave=valore"), std::string::npos) << scritto;
    EXPECT_NE(scritto.find("Accento=\xE8"), std::string::npos) << scritto;
    EXPECT_FALSE(u.ScriviINI(base + "manca\\nuovo.ini", "S", "K", "V"));
    Cancella(base);
}

TEST(Registro, ReadsTextAndNumbersWithinTheLimitAndWritesOnlyWhereAllowed) {
    CancellaChiave(kCu, "Software\\TrevaltoProva");
    const std::pair<const char*, std::string> letti[] = {
        {"ConZero", "testo"},       {"SenzaZero", "testo"},
        {"", "predefinito"},        {"Accenti", "città"},
        {"Grande", "256"},          {"Massimo", "4294967295"},
        {"Espandibile", "vecchio"}, {"Pieno", std::string(1023, 'x')}};
    ASSERT_TRUE(ScriviGrezzo(kCu, kChiave, "ConZero", REG_SZ, TestoSz("testo")));
    ASSERT_TRUE(ScriviGrezzo(kCu, kChiave, "SenzaZero", REG_SZ, "testo"));
    ASSERT_TRUE(ScriviGrezzo(kCu, kChiave, "", REG_SZ, TestoSz("predefinito")));
    ASSERT_TRUE(ScriviGrezzo(kCu, kChiave, "Accenti", REG_SZ, TestoSz("citt\xE0")));
    ASSERT_TRUE(ScriviGrezzo(kCu, kChiave, "Grande", REG_DWORD, std::string("\x00\x01\0\0", 4)));
    ASSERT_TRUE(ScriviGrezzo(kCu, kChiave, "Massimo", REG_DWORD, "\xFF\xFF\xFF\xFF"));
    ASSERT_TRUE(ScriviGrezzo(kCu, kChiave, "Espandibile", REG_EXPAND_SZ, TestoSz("%TEMP%")));
    ASSERT_TRUE(ScriviGrezzo(kCu, kChiave, "Pieno", REG_SZ, TestoSz(std::string(1023, 'x'))));
    ASSERT_TRUE(ScriviGrezzo(kCu, kChiave, "Troppo", REG_SZ, TestoSz(std::string(1024, 'x'))));
    ASSERT_TRUE(ScriviGrezzo(kCu, kChiave, "Vuoto", REG_SZ, ""));
    // An expandable text is found but not read: the variable stays as it was.
    for (const auto& [nome, atteso] : letti) {
        std::string v = "vecchio";
        EXPECT_TRUE(P::LeggiValoreRegistro(kCu, kChiave, nome, v)) << nome;
        EXPECT_EQ(v, atteso) << nome;
    }
    for (const char* nome : {"Troppo", "Vuoto", "Manca"}) {
        std::string v = "vecchio";
        EXPECT_FALSE(P::LeggiValoreRegistro(kCu, kChiave, nome, v)) << nome;
        EXPECT_EQ(v, "") << nome;
    }
    std::string v;
    EXPECT_FALSE(P::LeggiValoreRegistro(kCu, kChiave + "\\Manca", "", v));
    CancellaChiave(kCu, "Software\\TrevaltoProva");

    // A number never creates the key, a text only when asked.
    EXPECT_FALSE(P::ScriviDWordRegistro(kCu, kChiave, "Conto", 3));
    EXPECT_FALSE(P::ScriviValoreRegistro(kCu, kChiave, "Nome", "x", false));
    EXPECT_FALSE(EsisteChiave(kCu, kChiave));
    EXPECT_TRUE(P::ScriviValoreRegistro(kCu, kChiave, "Nome", "Società", true));
    auto grezzo = LeggiGrezzo(kCu, kChiave, "Nome");
    ASSERT_TRUE(grezzo);
    EXPECT_EQ(grezzo->tipo, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(grezzo->dati, TestoSz("Societ\xE0"));  // ANSI, with its zero
    EXPECT_TRUE(P::ScriviValoreRegistro(kCu, kChiave, "", "predefinito", false));
    EXPECT_EQ(LeggiGrezzo(kCu, kChiave, "").value_or(ValoreGrezzo{}).dati, TestoSz("predefinito"));
    EXPECT_TRUE(P::ScriviDWordRegistro(kCu, kChiave, "Conto", 300));
    grezzo = LeggiGrezzo(kCu, kChiave, "Conto");
    ASSERT_TRUE(grezzo);
    EXPECT_EQ(grezzo->tipo, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(grezzo->dati, std::string("\x2C\x01\0\0", 4));
    CancellaChiave(kCu, "Software\\TrevaltoProva");
}
