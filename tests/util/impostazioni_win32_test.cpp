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

TEST(LeggiINI, TrimsValuesAndFallsBackToTheDefault) {
    const uxUtilita u;
    const std::string base = CartellaProva("ux_ini");
    const std::string ini = base + "cfg.ini";
    ScriviFile(ini,
               "[Quandora]\r\nPath=   C:\\Programmi\\Quandora\\   \r\nVuoto=\r\nBianco=     \r\n"
               "Accenti=Attivit\xE0 e societ\xE0\r\n[Altro]\r\nPath=D:\\\r\n");
    EXPECT_EQ(u.LeggiINI(ini, "Quandora", "Path", "def"), "C:\\Programmi\\Quandora\\");
    EXPECT_EQ(u.LeggiINI(ini, "Altro", "Path", "def"), "D:\\");
    EXPECT_EQ(u.LeggiINI(ini, "Quandora", "Vuoto", "def"), "def");
    EXPECT_EQ(u.LeggiINI(ini, "Quandora", "Bianco", "def"), "def");
    EXPECT_EQ(u.LeggiINI(ini, "Quandora", "Manca", "def"), "def");
    EXPECT_EQ(u.LeggiINI(ini, "Manca", "Path", "def"), "def");
    EXPECT_EQ(u.LeggiINI(base + "manca.ini", "Quandora", "Path", "def"), "def");
    EXPECT_EQ(u.LeggiINI(ini, "Quandora", "Manca", ""), "");
    EXPECT_EQ(u.LeggiINI(ini, "Quandora", "Accenti", ""), "Attività e società");
    Cancella(base);
}

TEST(LeggiINI, LongValuesAreCutAsThePlatformCutsThem) {
    const uxUtilita u;
    const std::string base = CartellaProva("ux_ini_lungo");
    const std::string ini = base + "lungo.ini";
    std::string lungo;
    for (int i = 0; i < 2500; ++i)
        lungo += static_cast<char>('a' + i % 26);
    ScriviFile(ini, "[S]\r\nLungo=" + lungo + "\r\nGiusto=" + lungo.substr(0, 1999) + "\r\n");
    const std::string letto = u.LeggiINI(ini, "S", "Lungo", "def");
    // The buffer holds 2000 characters, one of them the terminator.
    EXPECT_EQ(letto, lungo.substr(0, 1999));
    EXPECT_EQ(u.LeggiINI(ini, "S", "Giusto", "def"), lungo.substr(0, 1999));
    Cancella(base);
}

TEST(ScriviINI, CreatesFileAndSectionAndReportsFailure) {
    const uxUtilita u;
    const std::string base = CartellaProva("ux_ini_scrivi");
    const std::string ini = base + "nuovo.ini";
    EXPECT_TRUE(u.ScriviINI(ini, "Quandora", "Path", "C:\\Quandora più\\"));
    EXPECT_TRUE(u.ScriviINI(ini, "Seconda", "Chiave", "valore"));
    EXPECT_TRUE(u.ScriviINI(ini, "Quandora", "Path", "E:\\Nuovo\\"));
    EXPECT_EQ(u.LeggiINI(ini, "Quandora", "Path", ""), "E:\\Nuovo\\");
    EXPECT_EQ(u.LeggiINI(ini, "Seconda", "Chiave", ""), "valore");
    // Read back by another reader: an ordinary profile file in ANSI.
    char buffer[64] = {};
    GetPrivateProfileStringA("Seconda", "Chiave", "", buffer, sizeof buffer, Ansi(ini).c_str());
    EXPECT_STREQ(buffer, "valore");
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, Ansi(ini).c_str());  // flush the cache
    EXPECT_NE(LeggiFile(ini).find("[Quandora]"), std::string::npos);

    EXPECT_TRUE(u.ScriviINI(ini, "Quandora", "Accento", "è"));
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, Ansi(ini).c_str());
    EXPECT_NE(LeggiFile(ini).find("Accento=\xE8"), std::string::npos);

    EXPECT_FALSE(u.ScriviINI(base + "manca\\nuovo.ini", "S", "K", "V"));
    Cancella(base);
}

TEST(LeggiValoreRegistro, TextNumbersOtherTypesAndLimits) {
    CancellaChiave(kCu, "Software\\TrevaltoProva");
    ASSERT_TRUE(ScriviGrezzo(kCu, kChiave, "ConZero", REG_SZ, TestoSz("testo")));
    ASSERT_TRUE(ScriviGrezzo(kCu, kChiave, "SenzaZero", REG_SZ, "testo"));
    ASSERT_TRUE(ScriviGrezzo(kCu, kChiave, "", REG_SZ, TestoSz("predefinito")));
    ASSERT_TRUE(ScriviGrezzo(kCu, kChiave, "Accenti", REG_SZ, TestoSz("citt\xE0")));
    ASSERT_TRUE(ScriviGrezzo(kCu, kChiave, "Piccolo", REG_DWORD, std::string("\x07\0\0\0", 4)));
    ASSERT_TRUE(ScriviGrezzo(kCu, kChiave, "Grande", REG_DWORD, std::string("\x00\x01\0\0", 4)));
    ASSERT_TRUE(ScriviGrezzo(kCu, kChiave, "Massimo", REG_DWORD, "\xFF\xFF\xFF\xFF"));
    ASSERT_TRUE(ScriviGrezzo(kCu, kChiave, "Espandibile", REG_EXPAND_SZ, TestoSz("%TEMP%")));
    ASSERT_TRUE(ScriviGrezzo(kCu, kChiave, "Vuoto", REG_SZ, ""));
    ASSERT_TRUE(ScriviGrezzo(kCu, kChiave, "Pieno", REG_SZ, TestoSz(std::string(1023, 'x'))));
    ASSERT_TRUE(ScriviGrezzo(kCu, kChiave, "Troppo", REG_SZ, TestoSz(std::string(1024, 'x'))));

    std::string v = "vecchio";
    EXPECT_TRUE(P::LeggiValoreRegistro(kCu, kChiave, "ConZero", v));
    EXPECT_EQ(v, "testo");
    EXPECT_TRUE(P::LeggiValoreRegistro(kCu, kChiave, "SenzaZero", v));
    EXPECT_EQ(v, "testo");
    EXPECT_TRUE(P::LeggiValoreRegistro(kCu, kChiave, "", v));
    EXPECT_EQ(v, "predefinito");
    EXPECT_TRUE(P::LeggiValoreRegistro(kCu, kChiave, "Accenti", v));
    EXPECT_EQ(v, "città");
    EXPECT_TRUE(P::LeggiValoreRegistro(kCu, kChiave, "Piccolo", v));
    EXPECT_EQ(v, "7");
    EXPECT_TRUE(P::LeggiValoreRegistro(kCu, kChiave, "Grande", v));
    EXPECT_EQ(v, "256");
    EXPECT_TRUE(P::LeggiValoreRegistro(kCu, kChiave, "Massimo", v));
    EXPECT_EQ(v, "4294967295");
    v = "";
    EXPECT_TRUE(P::LeggiValoreRegistro(kCu, kChiave, "Espandibile", v));
    EXPECT_EQ(v, "");
    EXPECT_TRUE(P::LeggiValoreRegistro(kCu, kChiave, "Pieno", v));
    EXPECT_EQ(v, std::string(1023, 'x'));

    v = "vecchio";
    EXPECT_FALSE(P::LeggiValoreRegistro(kCu, kChiave, "Troppo", v));
    EXPECT_EQ(v, "");
    v = "vecchio";
    EXPECT_FALSE(P::LeggiValoreRegistro(kCu, kChiave, "Vuoto", v));
    EXPECT_EQ(v, "");
    v = "vecchio";
    EXPECT_FALSE(P::LeggiValoreRegistro(kCu, kChiave, "Manca", v));
    EXPECT_EQ(v, "");
    v = "vecchio";
    EXPECT_FALSE(P::LeggiValoreRegistro(kCu, kChiave + "\\Manca", "", v));
    EXPECT_EQ(v, "");
    CancellaChiave(kCu, "Software\\TrevaltoProva");
}

TEST(ScriviRegistro, DWordNeverCreatesTextOnlyWhenAsked) {
    CancellaChiave(kCu, "Software\\TrevaltoProva");
    EXPECT_FALSE(P::ScriviDWordRegistro(kCu, kChiave, "Conto", 3));
    EXPECT_FALSE(EsisteChiave(kCu, kChiave));
    EXPECT_FALSE(P::ScriviValoreRegistro(kCu, kChiave, "Nome", "x", false));
    EXPECT_FALSE(EsisteChiave(kCu, kChiave));

    EXPECT_TRUE(P::ScriviValoreRegistro(kCu, kChiave, "Nome", "Società", true));
    auto grezzo = LeggiGrezzo(kCu, kChiave, "Nome");
    ASSERT_TRUE(grezzo);
    EXPECT_EQ(grezzo->tipo, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(grezzo->dati, TestoSz("Societ\xE0"));  // ANSI, with its zero

    EXPECT_TRUE(P::ScriviValoreRegistro(kCu, kChiave, "", "predefinito", false));
    EXPECT_EQ(LeggiGrezzo(kCu, kChiave, "")->dati, TestoSz("predefinito"));

    EXPECT_TRUE(P::ScriviDWordRegistro(kCu, kChiave, "Conto", 300));
    grezzo = LeggiGrezzo(kCu, kChiave, "Conto");
    ASSERT_TRUE(grezzo);
    EXPECT_EQ(grezzo->tipo, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(grezzo->dati, std::string("\x2C\x01\0\0", 4));
    std::string v;
    EXPECT_TRUE(P::LeggiValoreRegistro(kCu, kChiave, "Conto", v));
    EXPECT_EQ(v, "300");
    CancellaChiave(kCu, "Software\\TrevaltoProva");
}
