// The program's statements on our engine, run directly: the balance query
// (clsQuery) of every kind against the balances worked out from the rows,
// and the account list and data version of AccessoDati. The engine's own
// tests (tests/jet/) run their own copies of these texts; here they are
// checked to be the program's.

#include <gtest/gtest.h>

#include <cmath>

#include "chart/clsQuery.h"
#include "jet/Jet.h"
#include "jet/JetScrittore.h"
#include "jet/JetSql.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/FixtureHost.h"

using namespace quandora;
using namespace quandora::jet;

namespace {

class IstruzioniSuJet : public ::testing::Test {
  protected:
    void SetUp() override {
        dati_ = test::DatiDiProva(600);
        file_ = dir_.File("quandora.mdb");
        ScriviFileJet3(file_, host::TabelleHost(dati_), PasswordQuandora);
        db_ = DatabaseJet::Apri(file_, PasswordQuandora);
    }
    Risultato Q(const std::string& sql) { return Esegui(*db_, sql); }

    test::CartellaTemporanea dir_;
    host::DatiHost dati_;
    std::string file_;
    std::unique_ptr<DatabaseJet> db_;
};

TEST_F(IstruzioniSuJet, BalanceQueryOfEveryKindMatchesTheSumsOfTheRows) {
    int confronti = 0, nulli = 0;
    for (int32_t conto : {-1, 1, 2, 3, 4, 99, 0}) {
        for (bool noStat : {false, true}) {
            for (Data giorno = DataSerial(2002, 12, 30); giorno < DataSerial(2005, 10, 1);
                 giorno += 37) {
                clsQuery q;
                q.conto = conto;
                q.data = giorno;
                q.NoStatistiche = noStat;
                const Risultato r = Q(q.Query());
                ASSERT_EQ(r.Colonne, (std::vector<std::string>{"TotaleEuro", "TotaleLire"}));
                ASSERT_EQ(r.Righe.size(), 1u);
                const auto atteso = test::SaldoAtteso(dati_, conto, giorno, noStat);
                if (atteso) {
                    ASSERT_EQ(r.Righe[0][0].Tipo, TipoValore::Valuta);
                    EXPECT_EQ(r.Righe[0][0].I, *atteso) << q.Query();
                    EXPECT_EQ(r.Righe[0][1].Tipo, TipoValore::Doppio);
                } else {
                    EXPECT_TRUE(r.Righe[0][0].IsNull()) << q.Query();
                    EXPECT_TRUE(r.Righe[0][1].IsNull());
                    ++nulli;
                }
                ++confronti;
            }
        }
    }
    EXPECT_GT(nulli, 0);  // before the first movement, an unknown account
    EXPECT_GT(confronti, 300);
}

TEST_F(IstruzioniSuJet, MovementAtTenOnTheLastDayCountsFromTheNextDay) {
    // The first movement with a time of day.
    const auto& o = dati_.Operazioni[0];
    ASSERT_NE(o.Data, std::floor(o.Data));
    const Data giorno = std::floor(o.Data);
    clsQuery q;
    q.conto = -1;
    q.data = giorno;
    const auto prima = test::SaldoAtteso(dati_, -1, giorno, false);
    const auto dopo = test::SaldoAtteso(dati_, -1, giorno + 1, false);
    EXPECT_EQ(Q(q.Query()).Righe[0][0].I, prima.value_or(0));
    q.data = giorno + 1;
    EXPECT_EQ(Q(q.Query()).Righe[0][0].I, dopo.value_or(0));
}

TEST_F(IstruzioniSuJet, ProgramsStatementsGiveAccountsAndVersion) {
    const Risultato c = Q("Select IdConto, Descrizione from Conti order by Descrizione");
    ASSERT_EQ(c.Righe.size(), 4u);
    // Null first, then without regard to case: Banca, conto corrente, Zeta.
    EXPECT_TRUE(c.Righe[0][1].IsNull());
    EXPECT_EQ(c.Righe[0][0].I, 3);
    EXPECT_EQ(c.Righe[1][1].S, "Banca");
    EXPECT_EQ(c.Righe[2][1].S, "conto corrente");
    EXPECT_EQ(c.Righe[3][1].S, "Zeta");
    const Risultato v = Q("Select versione from Versione");
    ASSERT_EQ(v.Righe.size(), 1u);
    EXPECT_EQ(v.Righe[0][0].I, 2);
}

TEST(IstruzioniDelProgramma, TheEnginesTestsRunTheProgramsBalanceQueries) {
    clsQuery q;
    // The texts the engine's tests run as the program's (FixtureMovimenti.h).
    q.data = DataSerial(2004, 6, 30);
    q.conto = -1;
    q.NoStatistiche = false;
    EXPECT_EQ(q.Query(), test::SaldoTuttiIConti);
    q.conto = 2;
    q.NoStatistiche = true;
    EXPECT_EQ(q.Query(), test::SaldoContoSenzaStatistiche);
}

}  // namespace
