// The balance query: its text as the host's engine gets it, run on our
// engine and through the database layer on the stand-in host's demo, against
// the balances summed from the rows.

#include <gtest/gtest.h>

#include "chart/clsQuery.h"
#include "database/AccessoDati.h"
#include "host/DatiDemo.h"
#include "jet/Jet.h"
#include "jet/JetScrittore.h"
#include "jet/JetSql.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/FixtureHost.h"
#include "tests/support/NumeroErrore.h"

using namespace quandora;
using namespace quandora::jet;

namespace {

std::string Query(int32_t conto, Data data, bool noStat) {
    clsQuery q;
    q.conto = conto;
    q.data = data;
    q.NoStatistiche = noStat;
    return q.Query();
}

// The engine's tests' text of account 2 made that of another account and day,
// without the no-statistics condition.
std::string DiUnConto(const std::string& conto, const std::string& data) {
    std::string s = test::SaldoContoSenzaStatistiche;
    s.erase(s.find(" AND nostatistiche"));
    s.replace(s.find("IDConto=2 "), 10, "IDConto=" + conto + " ");
    s.replace(s.find("2004,6,30"), 9, data);
    return s;
}

TEST(ClsQuery, TheHostsTextByteForByteAndADateNeeded) {
    // The texts the engine's tests run as the program's.
    EXPECT_EQ(Query(-1, DataSerial(2004, 6, 30), false), test::SaldoTuttiIConti);
    EXPECT_EQ(Query(2, DataSerial(2004, 6, 30), true), test::SaldoContoSenzaStatistiche);
    // Account 0 and negative accounts are ordinary keys, only -1 is all; the
    // day without leading zeros or time, 30-12-1899 (the pickers' 0) a day
    // like any other.
    const std::tuple<int32_t, Data, const char*, const char*> casi[] = {
        {0, DataSerial(2004, 3, 15), "0", "2004,3,15"},
        {-7, DataSerial(2004, 3, 15), "-7", "2004,3,15"},
        {2147483647, DataSerial(2004, 3, 15), "2147483647", "2004,3,15"},
        {3, DataSerial(2005, 1, 1) + 0.99, "3", "2005,1,1"},
        {3, 0, "3", "1899,12,30"}};
    for (const auto& [conto, data, testoConto, testoData] : casi)
        EXPECT_EQ(Query(conto, data, false), DiUnConto(testoConto, testoData));

    const clsQuery senzaData;
    EXPECT_EQ(std::make_pair(senzaData.conto, senzaData.NoStatistiche), std::make_pair(0, false));
    std::string testo;
    EXPECT_EQ(test::NumeroErrore([&] { (void)senzaData.Query(); }, &testo), 5678);
    EXPECT_EQ(testo, "E' necessario impostare la data.");
}

TEST(IstruzioniSuJet, BalanceQueryOfEveryKindMatchesTheSumsOfTheRows) {
    test::CartellaTemporanea dir;
    const host::DatiHost dati = test::DatiDiProva(600);
    const std::string file = dir.File("quandora.mdb");
    ScriviFileJet3(file, host::TabelleHost(dati), PasswordQuandora);
    const auto db = DatabaseJet::Apri(file, PasswordQuandora);
    int confronti = 0, nulli = 0;
    for (int32_t conto : {-1, 1, 2, 3, 4, 99, 0}) {
        for (bool noStat : {false, true}) {
            for (Data giorno = DataSerial(2002, 12, 30); giorno < DataSerial(2005, 10, 1);
                 giorno += 37) {
                const std::string sql = Query(conto, giorno, noStat);
                const Risultato r = Esegui(*db, sql);
                ASSERT_EQ(r.Righe.size(), 1u);
                if (const auto atteso = test::SaldoAtteso(dati, conto, giorno, noStat)) {
                    ASSERT_EQ(r.Righe[0][0].Tipo, TipoValore::Valuta);
                    EXPECT_EQ(r.Righe[0][0].I, *atteso) << sql;
                } else {
                    EXPECT_TRUE(r.Righe[0][0].IsNull()) << sql;
                    ++nulli;
                }
                ++confronti;
            }
        }
    }
    EXPECT_GT(nulli, 0);  // before the first movement, an unknown account
    EXPECT_GT(confronti, 300);
}

TEST(DatiDemo, TemplateAndDemoOpenAndTheDemosBalancesAgreeWithItsRows) {
    test::CartellaTemporanea dir;
    const Data fine = DataSerial(2026, 12, 7);
    host::ScriviHost(dir.File("Quandora"), fine);
    const std::string modello = dir.File("Quandora/quandora.dat");
    const std::string demo = dir.File("Quandora/bnk/quandora.mdb");
    EXPECT_TRUE(VerificaVersioneDati(modello));
    int conti = 0;
    CaricaConti(modello, [&](const std::string&, int32_t) { ++conti; });
    EXPECT_EQ(conti, 0);
    EXPECT_TRUE(VerificaVersioneDati(demo));
    std::vector<std::string> nomi;
    CaricaConti(demo, [&](const std::string& t, int32_t) { nomi.push_back(t); });
    EXPECT_EQ(nomi, (std::vector<std::string>{"Carta di credito", "Contanti", "Conto corrente",
                                              "Libretto di risparmio"}));

    const host::DatiHost dati = host::DatiDemo(fine);
    EXPECT_GT(dati.Operazioni.size(), 2000u) << "several years of a family's movements";
    auto db = ApriDatabase(demo);
    for (int32_t conto : {-1, 1, 2, 3, 4}) {
        for (bool noStat : {false, true}) {
            for (Data giorno : {DataSerial(2021, 1, 1), DataSerial(2022, 6, 30),
                                DataSerial(2025, 12, 31), fine}) {
                const Valore v =
                    db->OpenRecordset(Query(conto, giorno, noStat))->Campo("TotaleEuro");
                const auto atteso = test::SaldoAtteso(dati, conto, giorno, noStat);
                ASSERT_EQ(v.IsNull(), !atteso.has_value());
                if (atteso) {
                    EXPECT_NEAR(v.ComeDoppio(), *atteso / 10000.0, 1e-9);
                }
            }
        }
    }
    // The family's own transfers are flagged: with and without them the
    // total of all accounts is the same.
    const double tutti =
        db->OpenRecordset(Query(-1, fine, false))->Campo("TotaleEuro").ComeDoppio();
    const double senza = db->OpenRecordset(Query(-1, fine, true))->Campo("TotaleEuro").ComeDoppio();
    EXPECT_NEAR(tutti, senza, 1e-6);
}

}  // namespace
