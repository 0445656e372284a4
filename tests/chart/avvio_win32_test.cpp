// The start-up against a real stand-in host: folders, executables with
// version resources, databases written by the Jet writer, cfg.ini beside
// the program and the application path in the registry, and Varniko
// registered in the prefix.

#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <optional>

#include "chart/Avvio_win32.h"
#include "jet/JetScrittore.h"
#include "tests/chart/AvvioDiProva_win32.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/FixtureHost.h"
#include "tests/support/InterazioneRegistrata.h"
#include "tests/support/Processo_win32.h"
#include "tests/support/Sistema_win32.h"
#include "tests/support/SuperficieRegistrata.h"
#include "util/Com_win32.h"
#include "util/Modulo.h"
#include "util/Testo.h"

using namespace quandora;
using quandora::test::CartellaTemporanea;

namespace {

const char kObsoleta[] =
    "La versione di Quandora installata è una versione obsoleta. E' richiesta la versione "
    "3.3.0.0 o successiva. ";

class AvvioTest : public ::testing::Test, protected test::AvvioDiProva {
  protected:
    // Varniko.dll registered for the suite (the start-up registers the
    // program through it) and removed at its end, so that the prefix the
    // test programs share is left as it was.
    static void SetUpTestSuite() {
        com_.emplace();
        Regsvr32("/s");
    }
    static void TearDownTestSuite() {
        com_.reset();
        Regsvr32("/u /s");
    }
    static void Regsvr32(const char* opzioni) {
        test::Esegui(std::string("regsvr32 ") + opzioni + " \"" + CartellaModulo() +
                     "Varniko.dll\"");
    }
    static inline std::optional<ComInizializzato> com_;

    void SetUp() override {
        host = dir.File("Quandora");
        CreateDirectoryA(ToAnsi(host).c_str(), nullptr);
        CreateDirectoryA(ToAnsi(host + "\\BNK").c_str(), nullptr);
        Eseguibile("versione_3_3_0_0.exe");
        dati = test::DatiDiProva(50);
        jet::ScriviFileJet3(host + "\\BNK\\quandora.mdb", host::TabelleHost(dati),
                            PasswordQuandora);
        test::RegistraQuandora(host + "\\quandora.exe");
        DeleteFileA(ToAnsi(Cfg()).c_str());
    }
    void TearDown() override {
        DeleteFileA(ToAnsi(Cfg()).c_str());
        test::DimenticaQuandora();
    }

    static std::string Cfg() { return CartellaModulo() + "cfg.ini"; }
    void Eseguibile(const char* modello) {
        const std::string dest = host + "\\quandora.exe";
        DeleteFileA(ToAnsi(dest).c_str());
        if (modello)
            CopyFileA(ToAnsi(CartellaModulo() + modello).c_str(), ToAnsi(dest).c_str(), FALSE);
    }

    // The one box the start-up showed: its text, with the critical icon.
    std::string Box(const char* titolo = "Errore") {
        EXPECT_EQ(schermo.boxes.size(), 1u);
        if (schermo.boxes.empty()) return {};
        EXPECT_EQ(schermo.boxes[0].titolo, titolo);
        EXPECT_EQ(schermo.boxes[0].stile, mb::kOk | mb::kIconCritical);
        return schermo.boxes[0].testo;
    }

    CartellaTemporanea dir;
    std::string host;
    host::DatiHost dati;
    test::InterazioneRegistrata schermo;
};

}  // namespace

TEST_F(AvvioTest, FindsTheHostThroughTheRegistryAndFillsTheAccounts) {
    ASSERT_TRUE(Avvia()) << (schermo.boxes.empty() ? "" : schermo.boxes[0].testo);
    EXPECT_TRUE(schermo.boxes.empty());
    EXPECT_EQ(run.PercorsoDatabase, host + "\\bnk\\quandora.mdb");
    ASSERT_EQ(conti.voci.size(), 5u);
    EXPECT_EQ(conti.voci[0], (std::pair<std::string, int32_t>{"<tutti i conti>", -1}));
    EXPECT_EQ(conti.selezionata, 0);
    EXPECT_FALSE(run.StopRichiesto);
    EXPECT_EQ(grafico.Saldi.size(), 1u);
    EXPECT_EQ(grafico.LimiteSegni(), 0);
}

TEST_F(AvvioTest, CfgIniWinsOverTheRegistryAndMayHaveBlanksAndASeparator) {
    test::DimenticaQuandora();
    for (const std::string& valore : {"  " + host + "\\  ", host + "/"}) {
        WritePrivateProfileStringA("Quandora", "Path", ToAnsi(valore).c_str(),
                                   ToAnsi(Cfg()).c_str());
        schermo.boxes.clear();
        EXPECT_TRUE(Avvia()) << valore;
        EXPECT_EQ(run.PercorsoDatabase, host + "\\bnk\\quandora.mdb");
    }
}

TEST_F(AvvioTest, EachMissingPieceHasItsMessage) {
    test::DimenticaQuandora();
    EXPECT_FALSE(Avvia());
    EXPECT_EQ(Box(), "E' necessario installare Quandora.");

    schermo.boxes.clear();
    test::RegistraQuandora(host + "_rimossa\\quandora.exe");
    EXPECT_FALSE(Avvia());
    EXPECT_EQ(Box(),
              "Il programma Quandora è stato installato in una cartella al momento non "
              "disponibile.");

    schermo.boxes.clear();
    test::RegistraQuandora(host + "\\quandora.exe");
    Eseguibile(nullptr);
    EXPECT_FALSE(Avvia());
    EXPECT_EQ(Box(), "E' necessario installare Quandora.");
    EXPECT_TRUE(conti.voci.empty());
}

TEST_F(AvvioTest, VersionsCompareFieldByField) {
    for (const char* vecchio : {"versione_3_2_9_9.exe", "senza_versione.exe"}) {
        Eseguibile(vecchio);
        schermo.boxes.clear();
        EXPECT_FALSE(Avvia()) << vecchio;
        EXPECT_EQ(Box(), kObsoleta);
    }
    for (const char* recente : {"versione_3_10_0_0.exe", "versione_4_0_1_7.exe"}) {
        Eseguibile(recente);
        schermo.boxes.clear();
        EXPECT_TRUE(Avvia()) << recente;
    }
}

TEST_F(AvvioTest, AMissingDatabaseIsMadeFromTheTemplate) {
    const std::string mdb = host + "\\BNK\\quandora.mdb";
    const std::string modello = CartellaTemporanea::Leggi(mdb);
    DeleteFileA(ToAnsi(mdb).c_str());
    RemoveDirectoryA(ToAnsi(host + "\\BNK").c_str());
    CartellaTemporanea::Scrivi(host + "\\quandora.dat", modello);
    ASSERT_TRUE(Avvia());
    EXPECT_EQ(CartellaTemporanea::Leggi(mdb), modello);

    // No template either: the database cannot be made.
    DeleteFileA(ToAnsi(mdb).c_str());
    DeleteFileA(ToAnsi(host + "\\quandora.dat").c_str());
    schermo.boxes.clear();
    EXPECT_FALSE(Avvia());
    EXPECT_EQ(Box(), "Impossibile accedere al file della bancadati di quandora.");
}

TEST_F(AvvioTest, OldOrUnreadableDataStopsTheStartUp) {
    const std::string mdb = host + "\\BNK\\quandora.mdb";
    const char* vecchi =
        "Il file dati di Quandora non è aggiornato. E' necessario eseguire prima Quandora in "
        "modo che la struttura fisica dei dati venga aggiornata.";
    for (const auto& versioni :
         {std::vector<std::optional<int32_t>>{1}, std::vector<std::optional<int32_t>>{}}) {
        dati.Versioni = versioni;
        jet::ScriviFileJet3(mdb, host::TabelleHost(dati), PasswordQuandora);
        schermo.boxes.clear();
        EXPECT_FALSE(Avvia());
        EXPECT_EQ(Box("Attenzione"), vecchi);
    }
    dati.Versioni = {2};
    jet::ScriviFileJet3(mdb, host::TabelleHost(dati), "altra");
    schermo.boxes.clear();
    EXPECT_FALSE(Avvia());
    EXPECT_EQ(Box(), "Errore database: impossibile accedere ai dati di quandora.");
}

TEST_F(AvvioTest, RegistersTheProgramInTheModuleListOnce) {
    ASSERT_TRUE(Avvia());
    ASSERT_TRUE(Avvia());
    const std::string lista = CartellaTemporanea::Leggi(host + "\\BNK\\Moduli.dat");
    ASSERT_EQ(lista.size(), 1407u);
    std::string exe = PercorsoModulo();
    exe = exe.substr(0, exe.size() - 4) + ".exe";
    EXPECT_EQ(FromAnsi(TogliSpazi(lista.substr(0, 1024))), exe);
    EXPECT_EQ(TogliSpazi(lista.substr(1024, 128)), "Grafico Trevalto Saldo");
    EXPECT_EQ(TogliSpazi(lista.substr(1152)), "Visualizza il grafico dell'trevalto del saldo.");
}
