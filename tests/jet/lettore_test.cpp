// The reader: values of every type back as written, names without regard to
// case, the password, and the errors of missing, foreign, truncated and
// damaged files; the file is never changed.

#include <gtest/gtest.h>

#include <filesystem>

#include "jet/Jet.h"
#include "jet/JetScrittore.h"
#include "jet/JetSql.h"
#include "tests/jet/FixtureMovimenti.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/NumeroErrore.h"
#include "util/FileBinario.h"

using namespace quandora;
using namespace quandora::jet;

namespace {

using test::CartellaTemporanea;
using test::NumeroErrore;

// Opens the file and reads every user table whole.
void LeggiTutto(const std::string& f, const std::string& pw) {
    auto db = DatabaseJet::Apri(f, pw);
    for (const auto& t : db->TabelleUtente())
        db->LeggiTabella(t);
}

TEST(LettoreJet, ValuesOfEveryTypeComeBackAsWritten) {
    CartellaTemporanea dir;
    const std::string f = dir.File("tipi.mdb");
    TabellaNuova t{"Tipi",
                   {{"Si", SiNo},
                    {"B", Byte},
                    {"I", Integer},
                    {"L", Long},
                    {"C", Currency},
                    {"S", Single},
                    {"D", Double},
                    {"T", DataOra},
                    {"X", Text, 255},
                    {"M", Memo},
                    {"O", Ole}},
                   {}};
    t.Righe.push_back({Valore::Booleano(true), Valore::Intero(255), Valore::Intero(-32768),
                       Valore::Intero(-2147483647 - 1), Valore::Valuta(INT64_C(-922337203685477)),
                       Valore::Doppio(-0.375), Valore::Doppio(6.02214076e23),
                       Valore::DataOra(DataSerial(2004, 3, 15) + 0.75),
                       Valore::Testo("\xC3\xA0\xC3\xA8\xE2\x82\xAC \xC2\xA3"),
                       Valore::Testo(std::string(4100, 'q')),
                       Valore::Binario(std::string("\0\1\2", 3))});
    t.Righe.push_back({Valore::Booleano(false), {}, {}, {}, {}, {}, {}, {}, {}, {}, {}});
    t.Righe.push_back({Valore::Booleano(true), Valore::Intero(0), Valore::Intero(32767),
                       Valore::Intero(2147483647), Valore::Valuta(1), Valore::Doppio(1.5),
                       Valore::Doppio(-0.1), Valore::DataOra(-1.25),
                       Valore::Testo(std::string(255, 'w')), Valore::Testo(""),
                       Valore::Binario(std::string(2500, '\x7F'))});
    ScriviFileJet3(f, {t});

    auto db = DatabaseJet::Apri(f, "qualsiasi");  // no password: any opens it
    EXPECT_EQ(db->VersioneJet(), 3);
    EXPECT_EQ(db->CodePage(), 1252);
    const Tabella& l = db->LeggiTabella("TIPI");
    ASSERT_EQ(l.Righe, t.Righe.size());
    ASSERT_EQ(l.Colonne.size(), t.Colonne.size());
    for (size_t c = 0; c < t.Colonne.size(); ++c) {
        EXPECT_EQ(l.Colonne[c].Nome, t.Colonne[c].Nome);
        EXPECT_EQ(l.Colonne[c].Tipo, t.Colonne[c].Tipo);
        for (size_t r = 0; r < t.Righe.size(); ++r) {
            Valore atteso = t.Righe[r][c];
            if (atteso.Tipo == TipoValore::Intero && t.Colonne[c].Tipo != Long &&
                t.Colonne[c].Tipo != Byte && t.Colonne[c].Tipo != Integer)
                continue;
            if (t.Colonne[c].Tipo == Memo && atteso.S.empty() && !atteso.IsNull())
                atteso = Valore::Testo("");
            EXPECT_EQ(l.Valori[c][r], atteso) << "colonna " << c << " riga " << r;
        }
    }
    // Texts go through Windows-1252 and back: "€" is its 0x80.
    EXPECT_EQ(l.Valori[8][0].S, "\xC3\xA0\xC3\xA8\xE2\x82\xAC \xC2\xA3");
    EXPECT_EQ(l.IndiceColonna("si"), 0);
    EXPECT_EQ(l.IndiceColonna("nessuna"), -1);
    EXPECT_EQ(NumeroErrore([&] { db->LeggiTabella("Manca"); }), 3078);
}

TEST(LettoreJet, PasswordOpensOnlyItsDatabase) {
    CartellaTemporanea dir;
    const std::string f = dir.File("pw.mdb");
    ScriviFileJet3(f, test::TabelleDiProva(10), test::PasswordProva);
    EXPECT_NO_THROW(LeggiTutto(f, test::PasswordProva));
    EXPECT_EQ(NumeroErrore([&] { DatabaseJet::Apri(f, ""); }), 3031);
    EXPECT_EQ(NumeroErrore([&] { DatabaseJet::Apri(f, "CASS4PROVA"); }), 3031);  // case counts
    EXPECT_EQ(NumeroErrore([&] { DatabaseJet::Apri(f, "cass4Prov"); }), 3031);
    EXPECT_EQ(NumeroErrore([&] { DatabaseJet::Apri(f, "cass4Prova0"); }), 3031);
    // The password is not in the file as plain text.
    EXPECT_EQ(CartellaTemporanea::Leggi(f).find(test::PasswordProva), std::string::npos);
}

TEST(LettoreJet, MissingForeignAndTruncatedFilesGiveTheirErrors) {
    CartellaTemporanea dir;
    EXPECT_EQ(NumeroErrore([&] { DatabaseJet::Apri(dir.File("manca.mdb"), ""); }), 3024);
    EXPECT_EQ(NumeroErrore([&] { DatabaseJet::Apri(dir.File("cartella/manca.mdb"), ""); }), 3024);
    const std::string testo = dir.File("testo.mdb");
    CartellaTemporanea::Scrivi(testo, std::string(5000, 'x'));
    EXPECT_EQ(NumeroErrore([&] { DatabaseJet::Apri(testo, ""); }), 3343);
    const std::string vuoto = dir.File("vuoto.mdb");
    CartellaTemporanea::Scrivi(vuoto, "");
    EXPECT_EQ(NumeroErrore([&] { DatabaseJet::Apri(vuoto, ""); }), 3343);

    const std::string f = dir.File("intero.mdb");
    ScriviFileJet3(f, test::TabelleDiProva(3000), test::PasswordProva);
    const std::string intero = CartellaTemporanea::Leggi(f);
    const std::string corto = dir.File("corto.mdb");
    CartellaTemporanea::Scrivi(corto, intero.substr(0, 1000));
    EXPECT_EQ(NumeroErrore([&] { LeggiTutto(corto, test::PasswordProva); }), 3343);
    // Cut after the catalog: the tables' pages are missing.
    for (size_t pagine : {3u, 5u, 20u, 40u}) {
        CartellaTemporanea::Scrivi(corto, intero.substr(0, pagine * 2048 + 100));
        EXPECT_EQ(NumeroErrore([&] { LeggiTutto(corto, test::PasswordProva); }), 3049) << pagine;
    }
}

TEST(LettoreJet, AReadOnlyFileOpensAndReadingLeavesItAndItsTimeUnchanged) {
    CartellaTemporanea dir;
    const std::string f = dir.File("fermo.mdb");
    ScriviFileJet3(f, test::TabelleDiProva(500), test::PasswordProva);
    const std::string prima = CartellaTemporanea::Leggi(f);
    const auto p = std::filesystem::u8path(f);
    const auto tempo = std::filesystem::last_write_time(p);
    std::filesystem::permissions(p, std::filesystem::perms::owner_read);
    {
        auto db = DatabaseJet::Apri(f, test::PasswordProva);
        for (const auto& t : db->TabelleUtente())
            db->LeggiTabella(t);
        Esegui(*db, "SELECT * FROM Operazioni ORDER BY Data DESC");
    }
    std::filesystem::permissions(p, std::filesystem::perms::owner_all);
    EXPECT_EQ(std::filesystem::last_write_time(p), tempo);
    EXPECT_EQ(CartellaTemporanea::Leggi(f), prima);
}

TEST(LettoreJet, Jet4FilesWithCompressedAndPlainTextsAndPassword) {
    CartellaTemporanea dir;
    const std::string f = dir.File("jet4.mdb");
    TabellaNuova t{"Tipi4",
                   {{"Si", SiNo},
                    {"L", Long},
                    {"C", Currency},
                    {"T", DataOra},
                    {"X", Text, 60},
                    {"M", Memo},
                    {"O", Ole}},
                   {}};
    const std::string greco = "\xCE\xB1\xCE\xB2\xCE\xB3 \xE2\x82\xAC";  // not one byte each
    t.Righe.push_back({Valore::Booleano(true), Valore::Intero(-5), Valore::Valuta(123456),
                       Valore::DataOra(38061.25), Valore::Testo("semplice"), Valore::Testo(greco),
                       Valore::Binario("abc")});
    t.Righe.push_back({Valore::Booleano(false),
                       {},
                       {},
                       {},
                       Valore::Testo(greco),
                       Valore::Testo(std::string(9000, 'k')),
                       {}});
    for (int i = 0; i < 700; ++i)
        t.Righe.push_back({Valore::Booleano(i % 3 == 0),
                           Valore::Intero(i),
                           Valore::Valuta(i * 100),
                           Valore::DataOra(37000 + i),
                           Valore::Testo("riga " + std::to_string(i)),
                           {},
                           {}});
    std::vector<TabellaNuova> tabelle = test::TabelleDiProva(200);
    tabelle.push_back(t);
    CartellaTemporanea::Scrivi(f, ScriviJet(tabelle, test::PasswordProva, 4));
    EXPECT_EQ(NumeroErrore([&] { DatabaseJet::Apri(f, "altra"); }), 3031);
    auto db = DatabaseJet::Apri(f, test::PasswordProva);
    EXPECT_EQ(db->VersioneJet(), 4);
    const Tabella& l = db->LeggiTabella("tipi4");
    ASSERT_EQ(l.Righe, t.Righe.size());
    for (size_t c = 0; c < t.Colonne.size(); ++c)
        for (size_t r = 0; r < t.Righe.size(); ++r)
            EXPECT_EQ(l.Valori[c][r], t.Righe[r][c]) << c << " " << r;
    // The balance query runs on Jet 4 as on Jet 3.
    const std::string& saldo = test::SaldoTuttiIConti;
    const std::string f3 = dir.File("jet3.mdb");
    ScriviFileJet3(f3, test::TabelleDiProva(200), test::PasswordProva);
    const Risultato r = Esegui(*db, saldo);
    ASSERT_EQ(r.Righe.size(), 1u);
    EXPECT_EQ(r.Righe[0][0].Tipo, TipoValore::Valuta);
    EXPECT_EQ(r.Righe, Esegui(*DatabaseJet::Apri(f3, test::PasswordProva), saldo).Righe);
}

}  // namespace
