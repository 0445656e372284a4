// The program's statements on our engine: the balance query of every kind
// against the balances summed from the rows, the account list, the version.

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
                if (const auto atteso = test::SaldoAtteso(dati_, conto, giorno, noStat)) {
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
    // The first movement has a time of day.
    const Data ora = dati_.Operazioni[0].Data;
    ASSERT_NE(ora, std::floor(ora));
    clsQuery q;
    q.conto = -1;
    for (const Data giorno : {std::floor(ora), std::floor(ora) + 1}) {
        q.data = giorno;
        EXPECT_EQ(Q(q.Query()).Righe[0][0].I,
                  test::SaldoAtteso(dati_, -1, giorno, false).value_or(0));
    }
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
