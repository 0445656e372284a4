// The program's reads of the host database through the database interface.

#include <gtest/gtest.h>

#include <vector>

#include "chart/clsQuery.h"
#include "database/AccessoDati.h"
#include "database/Database.h"
#include "jet/JetScrittore.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/FixtureHost.h"
#include "tests/support/NumeroErrore.h"

using namespace quandora;

namespace {

using test::NumeroErrore;

struct Voce {
    std::string Testo;
    int32_t Id;
    bool operator==(const Voce&) const = default;
};

class AccessoDatiTest : public ::testing::Test {
  protected:
    std::string Scrivi(const host::DatiHost& d, const std::string& nome = "quandora.mdb",
                       const std::string& pw = PasswordQuandora) {
        const std::string f = dir_.File(nome);
        jet::ScriviFileJet3(f, host::TabelleHost(d), pw);
        return f;
    }
    std::vector<Voce> Conti(const std::string& f) {
        std::vector<Voce> v{{"<tutti i conti>", -1}};
        CaricaConti(f, [&](const std::string& t, int32_t id) { v.push_back({t, id}); });
        return v;
    }
    test::CartellaTemporanea dir_;
};

TEST_F(AccessoDatiTest, AccountsComeInDescriptionOrderAfterWhatTheListHolds) {
    const std::string f = Scrivi(test::DatiDiProva(20));
    EXPECT_EQ(Conti(f), (std::vector<Voce>{{"<tutti i conti>", -1},
                                           {"", 3},  // Null description
                                           {"Banca", 1},
                                           {"conto corrente", 2},
                                           {"Zeta", 4}}));
    host::DatiHost vuoto = test::DatiDiProva(0);
    vuoto.Conti.clear();
    EXPECT_EQ(Conti(Scrivi(vuoto, "vuoto.mdb")), (std::vector<Voce>{{"<tutti i conti>", -1}}));
}

TEST_F(AccessoDatiTest, NullKeyStopsTheListHalfWayWithAnError) {
    // Jet sorts Null descriptions first; the Null key is in the second row.
    host::DatiHost d = test::DatiDiProva(0);
    std::vector<jet::TabellaNuova> t = host::TabelleHost(d);
    t[0].Righe = {{Valore::Intero(5), Valore::Testo("A")},
                  {Valore{}, Valore::Testo("B")},
                  {Valore::Intero(6), Valore::Testo("C")}};
    const std::string f = dir_.File("chiave.mdb");
    jet::ScriviFileJet3(f, t, PasswordQuandora);
    std::vector<Voce> v;
    EXPECT_EQ(NumeroErrore([&] {
                  CaricaConti(f, [&](const std::string& s, int32_t id) { v.push_back({s, id}); });
              }),
              94);
    EXPECT_EQ(v, (std::vector<Voce>{{"A", 5}}));
}

TEST_F(AccessoDatiTest, DataVersionFromTheFirstRow) {
    host::DatiHost d = test::DatiDiProva(0);
    const std::vector<std::pair<std::vector<std::optional<int32_t>>, bool>> casi = {
        {{}, false}, {{1}, false}, {{2}, true}, {{3, 1}, true}, {{1, 5}, false}, {{-7}, false}};
    int n = 0;
    for (const auto& [versioni, atteso] : casi) {
        d.Versioni = versioni;
        const std::string nome = std::to_string(n++).append(".mdb");
        EXPECT_EQ(VerificaVersioneDati(Scrivi(d, nome)), atteso);
    }
    d.Versioni = {std::nullopt};
    EXPECT_EQ(NumeroErrore([&] { VerificaVersioneDati(Scrivi(d, "nulla.mdb")); }), 94);
}

TEST_F(AccessoDatiTest, OpeningFailuresGiveTheEnginesErrors) {
    EXPECT_EQ(NumeroErrore([&] { ApriDatabase(dir_.File("manca.mdb")); }), 3024);
    EXPECT_EQ(NumeroErrore([&] { CaricaConti(dir_.File("bnk/manca.mdb"), nullptr); }), 3024);
    const std::string altra = Scrivi(test::DatiDiProva(5), "altra.mdb", "segreta");
    EXPECT_EQ(NumeroErrore([&] { VerificaVersioneDati(altra); }), 3031);
    const std::string senza = Scrivi(test::DatiDiProva(5), "senza.mdb", "");
    EXPECT_TRUE(VerificaVersioneDati(senza));  // no password: any opens it
    const std::string f = Scrivi(test::DatiDiProva(5));
    EXPECT_EQ(NumeroErrore([&] { OpenDatabase(f, true, true, ConnessioneQuandora()); }), 3051);
    EXPECT_EQ(NumeroErrore([&] { OpenDatabase(f, false, false, ConnessioneQuandora()); }), 3051);
    EXPECT_NO_THROW(
        OpenDatabase(f, false, true, std::string("MS Access;PWD=") + PasswordQuandora + ";"));
    const std::string corta = ConnessioneQuandora().substr(0, ConnessioneQuandora().size() - 1);
    EXPECT_EQ(NumeroErrore([&] { OpenDatabase(f, false, true, corta); }), 3031);
    // Tables missing from the file.
    std::vector<jet::TabellaNuova> solo = host::TabelleHost(test::DatiDiProva(0));
    solo.resize(1);
    const std::string parziale = dir_.File("parziale.mdb");
    jet::ScriviFileJet3(parziale, solo, PasswordQuandora);
    EXPECT_EQ(NumeroErrore([&] { VerificaVersioneDati(parziale); }), 3078);
}

TEST_F(AccessoDatiTest, ForwardOnlyRecordSet) {
    auto db = ApriDatabase(Scrivi(test::DatiDiProva(30)));
    auto rs = db->OpenRecordset(
        "SELECT IdConto, Descrizione AS Nome FROM Conti WHERE IdConto <= 3 "
        "ORDER BY IdConto",
        dbOpenForwardOnly);
    EXPECT_EQ(rs->NumeroCampi(), 2);
    std::vector<std::string> nomi;
    while (!rs->Eof()) {
        EXPECT_EQ(rs->Campo("idconto"), rs->Campo(0));
        nomi.push_back(rs->Campo("NOME").IsNull() ? "<Null>" : rs->Campo(1).S);
        EXPECT_EQ(NumeroErrore([&] { rs->Campo(2); }), 3265);
        EXPECT_EQ(NumeroErrore([&] { rs->Campo("Descrizione"); }), 3265);
        rs->MoveNext();
    }
    EXPECT_EQ(nomi, (std::vector<std::string>{"Banca", "conto corrente", "<Null>"}));
    EXPECT_EQ(NumeroErrore([&] { rs->Campo(0); }), 3021);
    EXPECT_EQ(NumeroErrore([&] { rs->MoveNext(); }), 3021);
    rs->Close();
    EXPECT_TRUE(rs->Eof());
    EXPECT_EQ(NumeroErrore([&] { db->OpenRecordset("SELECT * FROM Conti", 4); }), 3001);
    db->Close();
    EXPECT_NE(NumeroErrore([&] { db->OpenRecordset("SELECT * FROM Conti"); }), 0);
}

TEST_F(AccessoDatiTest, BalanceQueryOfOneOpenDatabaseDayAfterDay) {
    const host::DatiHost d = test::DatiDiProva(300);
    auto db = ApriDatabase(Scrivi(d));
    for (Data giorno = DataSerial(2003, 1, 1) - 2; giorno < DataSerial(2005, 10, 5); giorno += 11) {
        clsQuery q;
        q.conto = 1;
        q.data = giorno;
        q.NoStatistiche = true;
        auto rs = db->OpenRecordset(q.Query(), dbOpenForwardOnly);
        const Valore v = rs->Campo("TotaleEuro");
        const auto atteso = test::SaldoAtteso(d, 1, giorno, true);
        // The run reads it as a number, Null counting as 0.
        EXPECT_DOUBLE_EQ(v.IsNull() ? 0.0 : v.ComeDoppio(), double(atteso.value_or(0)) / 10000.0);
        if (!v.IsNull()) {
            EXPECT_EQ(v.I, *atteso);  // exact currency
        }
        EXPECT_EQ(v.IsNull(), !atteso.has_value());
        rs->Close();
    }
    db->Close();
}

}  // namespace
