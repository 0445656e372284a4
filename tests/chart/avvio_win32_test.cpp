// The start-up against a real stand-in host: folders, versioned
// executables, Jet databases, cfg.ini and the registry's application path.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

#include "jet/JetScrittore.h"
#include "tests/chart/AvvioDiProva_win32.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/FixtureHost.h"
#include "tests/support/InterazioneRegistrata.h"
#include "tests/support/Processo_win32.h"
#include "tests/support/Sistema_win32.h"
#include "util/Com_win32.h"
#include "util/Modulo.h"
#include "util/Testo.h"

using namespace quandora;
using quandora::test::CartellaTemporanea;

namespace {

class AvvioTest : public ::testing::Test, protected test::AvvioDiProva {
  protected:
    // Varniko.dll, through which the start-up registers the program, for
    // the suite only: the prefix is shared.
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

    CartellaTemporanea dir;
    std::string host;
    host::DatiHost dati;
    test::InterazioneRegistrata schermo;
};

}  // namespace

// Through the registry's application path, then through cfg.ini, which wins
// and may have blanks and a separator; registered in the module list once.
TEST_F(AvvioTest, FindsTheHostFillsTheAccountsAndRegistersTheProgramOnce) {
    ASSERT_TRUE(Avvia()) << (schermo.boxes.empty() ? "" : schermo.boxes[0].testo);
    EXPECT_EQ(run.PercorsoDatabase, host + "\\bnk\\quandora.mdb");
    EXPECT_EQ(conti.voci.size(), 5u);
    EXPECT_FALSE(run.StopRichiesto);
    EXPECT_EQ(grafico.Saldi.size(), 1u);
    EXPECT_EQ(grafico.LimiteSegni(), 0);

    test::DimenticaQuandora();
    for (const std::string& valore : {"  " + host + "\\  ", host + "/"}) {
        WritePrivateProfileStringA("Quandora", "Path", ToAnsi(valore).c_str(),
                                   ToAnsi(Cfg()).c_str());
        EXPECT_TRUE(Avvia()) << valore;
        EXPECT_EQ(run.PercorsoDatabase, host + "\\bnk\\quandora.mdb");
    }
    EXPECT_TRUE(schermo.boxes.empty());

    const std::string lista = CartellaTemporanea::Leggi(host + "\\BNK\\Moduli.dat");
    ASSERT_EQ(lista.size(), 1407u);
    std::string exe = PercorsoModulo();
    exe = exe.substr(0, exe.size() - 4) + ".exe";
    EXPECT_EQ(FromAnsi(TogliSpazi(lista.substr(0, 1024))), exe);
    EXPECT_EQ(TogliSpazi(lista.substr(1024, 128)), "Grafico Trevalto Saldo");
    EXPECT_EQ(TogliSpazi(lista.substr(1152)), "Visualizza il grafico dell'trevalto del saldo.");
}

// Each refusal, from a host complete but for one piece: its box, and no
// account listed nor selected.
TEST_F(AvvioTest, EachMissingOrOldPieceHasItsMessage) {
    const std::string mdb = host + "\\BNK\\quandora.mdb";
    const auto versioni = [&](std::vector<std::optional<int32_t>> v, const char* password) {
        return [=, this] {
            dati.Versioni = v;
            jet::ScriviFileJet3(mdb, host::TabelleHost(dati), password);
        };
    };
    const char* kManca = "E' necessario installare Quandora.";
    const struct {
        std::function<void()> prepara;
        const char* titolo;
        std::string testo;
    } casi[] = {
        {[] { test::DimenticaQuandora(); }, "Errore", kManca},
        {[this] { test::RegistraQuandora(host + "_rimossa\\quandora.exe"); }, "Errore",
         "Il programma Quandora è stato installato in una cartella al momento non disponibile."},
        {[this] { Eseguibile(nullptr); }, "Errore", kManca},
        {[this] { Eseguibile("versione_3_2_9_9.exe"); }, "Errore",
         "La versione di Quandora installata è una versione obsoleta. E' richiesta la versione "
         "3.3.0.0 o successiva. "},
        {[&] { DeleteFileA(ToAnsi(mdb).c_str()); }, "Errore",
         "Impossibile accedere al file della bancadati di quandora."},
        {versioni({1}, PasswordQuandora), "Attenzione",
         "Il file dati di Quandora non è aggiornato. E' necessario eseguire prima Quandora in "
         "modo che la struttura fisica dei dati venga aggiornata."},
        {versioni({2}, "altra"), "Errore",
         "Errore database: impossibile accedere ai dati di quandora."},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.testo);
        SetUp();
        c.prepara();
        schermo.boxes.clear();
        EXPECT_FALSE(Avvia());
        ASSERT_EQ(schermo.boxes.size(), 1u);
        const test::BoxMostrato& b = schermo.boxes[0];
        EXPECT_EQ(std::tie(b.testo, b.titolo, b.stile),
                  std::make_tuple(c.testo, c.titolo, mb::kOk | mb::kIconCritical));
        EXPECT_LE(conti.voci.size(), 1u) << "at most <tutti i conti>";
        EXPECT_EQ(conti.selezionata, -1);
    }
}

TEST_F(AvvioTest, NewerVersionsStartAndAMissingDatabaseIsMadeFromTheTemplate) {
    for (const char* recente : {"versione_3_10_0_0.exe", "versione_4_0_1_7.exe"}) {
        Eseguibile(recente);
        EXPECT_TRUE(Avvia()) << recente;
    }
    const std::string mdb = host + "\\BNK\\quandora.mdb";
    const std::string modello = CartellaTemporanea::Leggi(mdb);
    DeleteFileA(ToAnsi(mdb).c_str());
    DeleteFileA(ToAnsi(host + "\\BNK\\Moduli.dat").c_str());
    ASSERT_TRUE(RemoveDirectoryA(ToAnsi(host + "\\BNK").c_str()));
    CartellaTemporanea::Scrivi(host + "\\quandora.dat", modello);
    ASSERT_TRUE(Avvia());
    EXPECT_EQ(CartellaTemporanea::Leggi(mdb), modello);
}
