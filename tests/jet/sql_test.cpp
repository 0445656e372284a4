// The SQL subset: the program's statements against balances worked out from
// the rows, and Jet's semantics case by case.

#include <gtest/gtest.h>

#include "chart/clsQuery.h"
#include "jet/Jet.h"
#include "jet/JetScrittore.h"
#include "jet/JetSql.h"
#include "tests/jet/FixtureHost.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/NumeroErrore.h"

using namespace quandora;
using namespace quandora::jet;

namespace {

using test::NumeroErrore;

class SqlHost : public ::testing::Test {
  protected:
    void SetUp() override {
        dati_ = test::DatiDiProva(600);
        file_ = dir_.File("quandora.mdb");
        ScriviFileJet3(file_, TabelleHost(dati_), PasswordHost);
        db_ = DatabaseJet::Apri(file_, PasswordHost);
    }
    Risultato Q(const std::string& sql) { return Esegui(*db_, sql); }

    test::CartellaTemporanea dir_;
    DatiHost dati_;
    std::string file_;
    std::unique_ptr<DatabaseJet> db_;
};

TEST_F(SqlHost, BalanceQueryOfEveryKindMatchesTheSumsOfTheRows) {
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

TEST_F(SqlHost, MovementAtTenOnTheLastDayCountsFromTheNextDay) {
    // The first movement with a time of day.
    const auto& o = dati_.Operazioni[0];
    ASSERT_NE(o.Data, std::floor(o.Data));
    const Data giorno = std::floor(o.Data);
    clsQuery q;
    q.conto = -1;
    q.data = giorno;
    const auto prima = test::SaldoAtteso(dati_, -1, giorno, false);
    const auto dopo = test::SaldoAtteso(dati_, -1, giorno + 1, false);
    const Risultato r = Q(q.Query());
    EXPECT_EQ(r.Righe[0][0].I, prima.value_or(0));
    q.data = giorno + 1;
    EXPECT_EQ(Q(q.Query()).Righe[0][0].I, dopo.value_or(0));
}

TEST_F(SqlHost, ProgramsStatementsGiveAccountsAndVersion) {
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

TEST_F(SqlHost, JoinsGroupingOrderingAndStar) {
    // Orphan cash book 15 is left out by the inner join.
    const Risultato g =
        Q("SELECT TabellaCassa.IDConto, Count(*) AS N, Sum(Euro) AS S FROM TabellaCassa INNER JOIN "
          "Operazioni ON Operazioni.IDCassa = TabellaCassa.IDCassa GROUP BY TabellaCassa.IDConto "
          "ORDER BY TabellaCassa.IDConto DESC");
    ASSERT_EQ(g.Righe.size(), 5u);  // accounts 99, 4, 3, 2, 1
    EXPECT_EQ(g.Righe[0][0].I, 99);
    EXPECT_EQ(g.Righe[4][0].I, 1);
    int64_t totale = 0;
    for (const auto& r : g.Righe)
        totale += r[1].I;
    EXPECT_EQ(totale, int64_t(dati_.Operazioni.size()));
    const Risultato s = Q("select * from [conti] c where c.idconto >= 2 order by 1 + 0, IdConto");
    ASSERT_EQ(s.Colonne, (std::vector<std::string>{"IdConto", "Descrizione"}));
    ASSERT_EQ(s.Righe.size(), 3u);
    EXPECT_EQ(s.Righe[0][0].I, 2);
    const Risultato star = Q("SELECT * FROM Conti, Versione WHERE Conti.IdConto = 1");
    ASSERT_EQ(star.Righe.size(), 1u);
    EXPECT_EQ(star.Colonne.size(), 3u);
    const Risultato d = Q("SELECT DISTINCT IDConto FROM TabellaCassa ORDER BY IDConto");
    EXPECT_EQ(d.Righe.size(), 5u);
}

TEST_F(SqlHost, ErrorsOfTheStatement) {
    EXPECT_EQ(NumeroErrore([&] { Q("SELECT * FROM Mancante"); }), 3078);
    EXPECT_EQ(NumeroErrore([&] { Q("SELECT Nessuna FROM Conti"); }), 3061);
    try {
        Q("SELECT Uno, Due, Conti.Uno FROM Conti WHERE Tre = 1");
        FAIL();
    } catch (const Errore& e) {
        EXPECT_EQ(e.Numero(), 3061);
        EXPECT_EQ(e.Descrizione(), "Parametri insufficienti. Previsto 4.");
    }
    EXPECT_EQ(NumeroErrore([&] { Q("SELECT Descrizione FROM Conti, TabellaCassa"); }), 3079);
    EXPECT_EQ(NumeroErrore([&] { Q("SELECT FROM Conti"); }), 3075);
    EXPECT_EQ(NumeroErrore([&] { Q("SELECT IdConto FROM Conti WHERE IdConto = = 1"); }), 3075);
    EXPECT_EQ(NumeroErrore([&] { Q("SELECT IdConto FROM (Conti INNER JOIN TabellaCassa)"); }),
              3131);
    EXPECT_EQ(NumeroErrore([&] { Q("SELECT IdConto FROM Conti WHERE 'a' = 1"); }), 3464);
    EXPECT_EQ(NumeroErrore([&] { Q("SELECT IdConto FROM Conti x y"); }), 3142);
    EXPECT_EQ(NumeroErrore([&] { Q("SELECT Sum(Sum(IdConto)) FROM Conti"); }), 3075);
    EXPECT_EQ(NumeroErrore([&] { Q("SELECT IdConto FROM Conti WHERE Sum(IdConto) > 1"); }), 3075);
    EXPECT_EQ(NumeroErrore([&] { Q("SELECT Boh(1) FROM Conti"); }), 3085);
    EXPECT_EQ(NumeroErrore([&] { Q("SELECT #2004-13-01# FROM Conti"); }), 3075);
    EXPECT_EQ(NumeroErrore([&] { Q("SELECT 'aperta FROM Conti"); }), 3075);
}

TEST(SqlSemantica, NullsBooleansTextsDatesAndExactCurrency) {
    test::CartellaTemporanea dir;
    const std::string f = dir.File("s.mdb");
    TabellaNuova t{
        "T",
        {{"N", Long}, {"X", Text, 20}, {"C", Currency}, {"D", DataOra}, {"B", SiNo}, {"F", Double}},
        {}};
    t.Righe = {
        {Valore::Intero(1), Valore::Testo("alfa"), Valore::Valuta(1000),
         Valore::DataOra(DataSerial(2004, 3, 15)), Valore::Booleano(true), Valore::Doppio(0.1)},
        {Valore::Intero(2), Valore::Testo("BETA"), Valore::Valuta(2001),
         Valore::DataOra(DataSerial(2004, 3, 15) + 0.5), Valore::Booleano(false),
         Valore::Doppio(0.2)},
        {{}, {}, {}, {}, Valore::Booleano(false), {}},
        {Valore::Intero(3), Valore::Testo("Alfa"), Valore::Valuta(-3),
         Valore::DataOra(DataSerial(2004, 3, 16)), Valore::Booleano(true), Valore::Doppio(0.3)},
    };
    ScriviFileJet3(f, {t});
    auto db = DatabaseJet::Apri(f, "");
    auto uno = [&](const std::string& sql) {
        const Risultato r = Esegui(*db, sql);
        EXPECT_EQ(r.Righe.size(), 1u) << sql;
        return r.Righe.empty() ? Valore{} : r.Righe[0][0];
    };
    auto conta = [&](const std::string& cond) {
        return uno("SELECT Count(*) FROM T WHERE " + cond).I;
    };
    // Null propagates; aggregates skip it; Sum over no rows is Null.
    EXPECT_EQ(uno("SELECT Sum(N) FROM T").I, 6);
    EXPECT_EQ(uno("SELECT Count(N) FROM T").I, 3);
    EXPECT_EQ(uno("SELECT Count(*) FROM T").I, 4);
    EXPECT_TRUE(uno("SELECT Sum(N) FROM T WHERE N > 100").IsNull());
    EXPECT_EQ(uno("SELECT Count(N) FROM T WHERE N > 100").I, 0);
    EXPECT_TRUE(uno("SELECT N + 1 FROM T WHERE X IS NULL").IsNull());
    EXPECT_EQ(conta("N <> 1"), 2);  // the Null row is neither equal nor different
    EXPECT_EQ(conta("NOT (N = 1)"), 2);
    EXPECT_EQ(conta("N IS NULL OR N = 1"), 2);
    EXPECT_EQ(conta("X IS NOT NULL AND (N = 1 OR N = 3)"), 2);
    // Yes/No is -1 and 0.
    EXPECT_EQ(uno("SELECT Sum(B) FROM T").I, -2);
    EXPECT_EQ(conta("B = True"), 2);
    EXPECT_EQ(conta("B = -1"), 2);
    EXPECT_EQ(conta("B = false"), 2);
    EXPECT_EQ(conta("B"), 2);
    // Texts compare without regard to case.
    EXPECT_EQ(conta("X = 'ALFA'"), 2);
    EXPECT_EQ(conta("X > \"alfa\""), 1);
    EXPECT_EQ(uno("SELECT Max(X) FROM T").S, "BETA");
    EXPECT_EQ(uno("SELECT X & '-' & N FROM T WHERE N = 2").S, "BETA-2");
    // Dates are OLE numbers: noon of the day is after DateSerial of the day.
    EXPECT_EQ(conta("D <= DateSerial(2004, 3, 15)"), 1);
    EXPECT_EQ(conta("D <= DateSerial(2004,3,15) + 1"), 3);
    EXPECT_EQ(conta("D < #3/16/2004#"), 2);
    EXPECT_EQ(conta("D >= #2004-03-15 12:00:00#"), 2);
    EXPECT_EQ(conta("DateSerial(2004, 3, 15) >= D"), 1);
    EXPECT_EQ(conta("D BETWEEN #3/15/2004# AND #3/15/2004 23:59#"), 2);
    EXPECT_EQ(uno("SELECT DateSerial(2004, 14, 0) FROM T WHERE N = 1").D, DataSerial(2005, 1, 31));
    EXPECT_EQ(conta("Year(D) = 2004 AND Month(D) = 3 AND Day(D) IN (16, 17)"), 1);
    // Currency adds up exactly; doubles as doubles.
    const Valore c = uno("SELECT Sum(C) FROM T");
    EXPECT_EQ(c.Tipo, TipoValore::Valuta);
    EXPECT_EQ(c.I, 2998);
    EXPECT_DOUBLE_EQ(uno("SELECT Sum(F) FROM T").D, 0.1 + 0.2 + 0.3);
    EXPECT_DOUBLE_EQ(uno("SELECT Avg(N) FROM T").D, 2.0);
    EXPECT_EQ(uno("SELECT Min(C) AS Minimo FROM T").I, -3);
    EXPECT_EQ(uno("SELECT 7 \\ 2 + 7 Mod 4 * 2 - -1 FROM T WHERE N = 1").I, 3 + 6 + 1);
    EXPECT_DOUBLE_EQ(uno("SELECT 1.5 * 2 / 4 FROM T WHERE N = 1").D, 0.75);
    // Sort: Null first, texts without regard to case, stable.
    const Risultato o = Esegui(*db, "SELECT N FROM T ORDER BY X, N DESC");
    ASSERT_EQ(o.Righe.size(), 4u);
    EXPECT_TRUE(o.Righe[0][0].IsNull());
    EXPECT_EQ(o.Righe[1][0].I, 3);
    EXPECT_EQ(o.Righe[2][0].I, 1);
    EXPECT_EQ(o.Righe[3][0].I, 2);
    const Risultato nomi = Esegui(*db, "SELECT N, N * 2, X AS [Il testo £] FROM T WHERE N = 1;");
    EXPECT_EQ(nomi.Colonne, (std::vector<std::string>{"N", "Expr1000", "Il testo £"}));
    const Risultato g = Esegui(*db, "SELECT X, Count(*) FROM T GROUP BY X HAVING Count(*) > 1");
    ASSERT_EQ(g.Righe.size(), 1u);
    EXPECT_EQ(Piega(g.Righe[0][0].S), "alfa");
}

TEST(SqlSintassi, ParserAcceptsTheProgramsTextsAndRejectsBrokenOnes) {
    clsQuery q;
    q.data = DataSerial(2005, 1, 1);
    for (int32_t conto : {-1, 0, 12}) {
        for (bool ns : {false, true}) {
            q.conto = conto;
            q.NoStatistiche = ns;
            EXPECT_NO_THROW(Analizza(q.Query())) << q.Query();
        }
    }
    for (const char* rotta : {"", "SELECT", "SELECT *", "SELECT * FROM", "SELECT * FROM (A",
                              "SELECT a FROM t WHERE", "SELECT a FROM t ORDER", "SELECT [a FROM t",
                              "SELECT a FROM t WHERE a IS 3", "SELECT (((a FROM t",
                              "SELECT a FROM t INNER JOIN u", "SELECT a FROM t LEFT JOIN u ON a=b"})
        EXPECT_THROW(Analizza(rotta), Errore) << rotta;
    EXPECT_THROW(
        Analizza("SELECT " + std::string(5000, '(') + "1" + std::string(5000, ')') + " FROM t"),
        Errore);
}

}  // namespace

namespace {

TEST_F(SqlHost, RangeConditionsOnOneOpenDatabaseMatchTheRowsEveryTime) {
    // The same statements with other bounds reuse the database's cached
    // joins and lists: every bound and direction must still be exact.
    struct Caso {
        const char* Op;
        std::function<bool(double, double)> Vale;
    };
    const std::vector<Caso> casi = {{"<=", [](double d, double x) { return d <= x; }},
                                    {"<", [](double d, double x) { return d < x; }},
                                    {">=", [](double d, double x) { return d >= x; }},
                                    {">", [](double d, double x) { return d > x; }}};
    for (int giro = 0; giro < 2; ++giro) {
        for (const auto& c : casi) {
            for (Data x = DataSerial(2002, 12, 31); x < DataSerial(2005, 11, 1); x += 97.5) {
                char cond[128];
                std::snprintf(cond, sizeof cond, "Data %s %.17g AND nostatistiche = False", c.Op,
                              x);
                const Risultato r =
                    Q(std::string("SELECT Count(*), Sum(Euro) FROM Operazioni WHERE ") + cond);
                int64_t n = 0, somma = 0;
                for (const auto& o : dati_.Operazioni)
                    if (c.Vale(o.Data, x) && !o.NoStatistiche) ++n, somma += o.EuroDiecimillesimi;
                EXPECT_EQ(r.Righe[0][0].I, n) << cond;
                // Doubles: the sum of the same rows, to rounding.
                double lire = 0;
                for (const auto& o : dati_.Operazioni)
                    if (c.Vale(o.Data, x) && !o.NoStatistiche) lire += o.Lire;
                const Valore l =
                    Q(std::string(
                          "SELECT Sum([Totale\xC2\xA3]), Avg(Euro) FROM Operazioni WHERE ") +
                      cond)
                        .Righe[0][0];
                if (n)
                    EXPECT_NEAR(l.D, lire, 1e-6 * (1 + std::fabs(lire))) << cond;
                else
                    EXPECT_TRUE(l.IsNull()) << cond;
                if (n)
                    EXPECT_EQ(r.Righe[0][1].I, somma) << cond;
                else
                    EXPECT_TRUE(r.Righe[0][1].IsNull());
                // The same bound written the other way round.
                std::snprintf(cond, sizeof cond, "%.17g %s Data", x,
                              c.Op[0] == '<' ? (c.Op[1] ? ">=" : ">") : (c.Op[1] ? "<=" : "<"));
                EXPECT_EQ(
                    Q(std::string("SELECT Count(*) FROM Operazioni WHERE nostatistiche = 0 AND ") +
                      cond)
                        .Righe[0][0]
                        .I,
                    n)
                    << cond;
            }
        }
    }
}

}  // namespace

namespace {

TEST(SqlSemantica, ExactArithmeticBeyondSixtyFourBitsIsJetsOverflow) {
    test::CartellaTemporanea dir;
    const std::string f = dir.File("o.mdb");
    TabellaNuova t{"T", {{"C", Currency}, {"L", Long}}, {}};
    t.Righe = {{Valore::Valuta(INT64_MAX - 5), Valore::Intero(2147483647)},
               {Valore::Valuta(INT64_MIN), Valore::Intero(-2147483647 - 1)}};
    ScriviFileJet3(f, {t});
    auto db = DatabaseJet::Apri(f, "");
    EXPECT_EQ(
        NumeroErrore([&] { Esegui(*db, "SELECT Sum(C) FROM T WHERE C > 0 OR C < 0 AND L = 0"); }),
        0);
    EXPECT_EQ(NumeroErrore([&] { Esegui(*db, "SELECT C + C FROM T"); }), 3349);
    EXPECT_EQ(NumeroErrore([&] { Esegui(*db, "SELECT -C FROM T"); }), 3349);
    EXPECT_EQ(NumeroErrore([&] { Esegui(*db, "SELECT Sum(C) + 1 FROM T WHERE C > 0"); }), 3349);
    EXPECT_EQ(NumeroErrore([&] { Esegui(*db, "SELECT L * L * L * L * L FROM T"); }), 3349);
    const Risultato r = Esegui(*db, "SELECT C FROM T WHERE C < 0");
    EXPECT_EQ(r.Righe[0][0].ComeTesto(), "-922337203685477.5808");
    EXPECT_EQ(Esegui(*db, "SELECT Sum(L) FROM T").Righe[0][0].I, -1);
}

}  // namespace
