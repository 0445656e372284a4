// The program's reads of the host database through the database interface.

#include <gtest/gtest.h>

#include <vector>

#include "database/AccessoDati.h"
#include "database/Database.h"
#include "jet/JetScrittore.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/FixtureHost.h"
#include "tests/support/NumeroErrore.h"

using namespace quandora;

namespace {

using host::TabelleHost;
using test::NumeroErrore;
using Voci = std::vector<std::pair<std::string, int32_t>>;

class AccessoDatiTest : public ::testing::Test {
  protected:
    std::string Scrivi(const std::vector<jet::TabellaNuova>& t, const std::string& nome = "q.mdb",
                       const std::string& pw = PasswordQuandora) {
        const std::string f = dir_.File(nome);
        jet::ScriviFileJet3(f, t, pw);
        return f;
    }
    // The accounts handed over, and the number of the error that stopped
    // the list (0 for none).
    std::pair<Voci, int> Conti(const std::string& f) {
        Voci v;
        const int numero = NumeroErrore([&] {
            CaricaConti(f, [&](const std::string& t, int32_t id) { v.emplace_back(t, id); });
        });
        return {v, numero};
    }
    test::CartellaTemporanea dir_;
};

TEST_F(AccessoDatiTest, AccountsComeInDescriptionOrderUntilANullKey) {
    EXPECT_EQ(Conti(Scrivi(TabelleHost(test::DatiDiProva(20)))),
              std::make_pair(Voci{{"", 3}, {"Banca", 1}, {"conto corrente", 2}, {"Zeta", 4}}, 0));
    host::DatiHost d = test::DatiDiProva(0);
    d.Conti.clear();
    EXPECT_EQ(Conti(Scrivi(TabelleHost(d))), std::make_pair(Voci{}, 0));
    // Jet sorts Null descriptions first; the Null key is in the second row.
    std::vector<jet::TabellaNuova> t = TabelleHost(d);
    t[0].Righe = {{Valore::Intero(5), Valore::Testo("A")},
                  {Valore{}, Valore::Testo("B")},
                  {Valore::Intero(6), Valore::Testo("C")}};
    EXPECT_EQ(Conti(Scrivi(t)), std::make_pair(Voci{{"A", 5}}, 94));
}

TEST_F(AccessoDatiTest, DataVersionFromTheFirstRow) {
    host::DatiHost d = test::DatiDiProva(0);
    const std::vector<std::pair<std::vector<std::optional<int32_t>>, bool>> casi = {
        {{}, false}, {{1}, false}, {{2}, true}, {{3, 1}, true}, {{1, 5}, false}, {{-7}, false}};
    for (const auto& [versioni, atteso] : casi) {
        d.Versioni = versioni;
        EXPECT_EQ(VerificaVersioneDati(Scrivi(TabelleHost(d))), atteso);
    }
    d.Versioni = {std::nullopt};
    EXPECT_EQ(NumeroErrore([&] { VerificaVersioneDati(Scrivi(TabelleHost(d))); }), 94);
}

TEST_F(AccessoDatiTest, OpeningFailuresGiveTheEnginesErrors) {
    const auto tabelle = TabelleHost(test::DatiDiProva(5));
    EXPECT_TRUE(VerificaVersioneDati(Scrivi(tabelle, "senza.mdb", "")));  // any opens it
    const std::string f = Scrivi(tabelle);
    EXPECT_EQ(NumeroErrore([&] { OpenDatabase(f, true, true, ConnessioneQuandora()); }), 3051);
    EXPECT_EQ(NumeroErrore([&] { OpenDatabase(f, false, false, ConnessioneQuandora()); }), 3051);
    EXPECT_NO_THROW(
        OpenDatabase(f, false, true, std::string("MS Access;PWD=") + PasswordQuandora + ";"));
    const std::string corta = ConnessioneQuandora().substr(0, ConnessioneQuandora().size() - 1);
    EXPECT_EQ(NumeroErrore([&] { OpenDatabase(f, false, true, corta); }), 3031);
    // Tables missing from the file.
    const std::vector<jet::TabellaNuova> solo(tabelle.begin(), tabelle.begin() + 1);
    EXPECT_EQ(NumeroErrore([&] { VerificaVersioneDati(Scrivi(solo)); }), 3078);
}

TEST_F(AccessoDatiTest, ForwardOnlyRecordSet) {
    const host::DatiHost d = test::DatiDiProva(30);
    auto db = ApriDatabase(Scrivi(TabelleHost(d)));
    EXPECT_EQ(db->OpenRecordset("SELECT Euro FROM Operazioni WHERE IDOperazione = 1")->Campo(0),
              Valore::Valuta(d.Operazioni[0].EuroDiecimillesimi));  // exact
    auto rs = db->OpenRecordset(
        "SELECT IdConto, Descrizione AS Nome FROM Conti WHERE IdConto <= 3 ORDER BY IdConto");
    EXPECT_EQ(rs->NumeroCampi(), 2);
    std::vector<std::string> nomi;
    while (!rs->Eof()) {
        EXPECT_EQ(rs->Campo("idconto"), rs->Campo(0));
        nomi.push_back(rs->Campo("NOME").IsNull() ? "<Null>" : rs->Campo(1).S);
        EXPECT_EQ(NumeroErrore([&] { rs->Campo(2); }), 3265);
        rs->MoveNext();
    }
    EXPECT_EQ(nomi, (std::vector<std::string>{"Banca", "conto corrente", "<Null>"}));
    rs->Close();
    EXPECT_TRUE(rs->Eof());
    EXPECT_EQ(NumeroErrore([&] { db->OpenRecordset("SELECT * FROM Conti", 4); }), 3001);
    db->Close();
    EXPECT_NE(NumeroErrore([&] { db->OpenRecordset("SELECT * FROM Conti"); }), 0);
}

}  // namespace
