// The SQL subset: joins, grouping, ordering, range conditions on one open
// database against what the rows give, errors, and Jet's semantics case by
// case. (The program's own statements are tested with the program's tests,
// tests/chart/istruzioni_test.cpp.)

#include <gtest/gtest.h>

#include "jet/Jet.h"
#include "jet/JetScrittore.h"
#include "jet/JetSql.h"
#include "tests/jet/FixtureMovimenti.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/NumeroErrore.h"

using namespace quandora;
using namespace quandora::jet;

namespace {

using test::NumeroErrore;

class SqlMovimenti : public ::testing::Test {
  protected:
    void SetUp() override {
        dati_ = test::MovimentiDiProva(600);
        file_ = dir_.File("movimenti.mdb");
        ScriviFileJet3(file_, test::TabelleMovimenti(dati_), test::PasswordProva);
        db_ = DatabaseJet::Apri(file_, test::PasswordProva);
    }
    Risultato Q(const std::string& sql) { return Esegui(*db_, sql); }

    test::CartellaTemporanea dir_;
    test::Movimenti dati_;
    std::string file_;
    std::unique_ptr<DatabaseJet> db_;
};

TEST_F(SqlMovimenti, JoinsGroupingOrderingAndStar) {
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

TEST_F(SqlMovimenti, ErrorsOfTheStatement) {
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
    EXPECT_EQ(NumeroErrore([&] { Q("SELECT IdConto FROM (Conti INNER JOIN TabellaCassa)"); }),
              3131);
    EXPECT_EQ(NumeroErrore([&] { Q("SELECT IdConto FROM Conti WHERE 'a' = 1"); }), 3464);
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

TEST(SqlSintassi, ParserRejectsBrokenTexts) {
    for (const char* rotta : {"", "SELECT", "SELECT *", "SELECT * FROM", "SELECT * FROM (A",
                              "SELECT a FROM t WHERE", "SELECT a FROM t ORDER", "SELECT [a FROM t",
                              "SELECT a FROM t WHERE a IS 3", "SELECT (((a FROM t",
                              "SELECT a FROM t INNER JOIN u", "SELECT a FROM t LEFT JOIN u ON a=b"})
        EXPECT_THROW(Analizza(rotta), Errore) << rotta;
    EXPECT_THROW(
        Analizza("SELECT " + std::string(5000, '(') + "1" + std::string(5000, ')') + " FROM t"),
        Errore);
}

TEST_F(SqlMovimenti, RangeConditionsOnOneOpenDatabaseMatchTheRowsEveryTime) {
    // Other bounds reuse the kept joins and lists: every bound and direction stays exact.
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
                double lire = 0;
                for (const auto& o : dati_.Operazioni)
                    if (c.Vale(o.Data, x) && !o.NoStatistiche)
                        ++n, somma += o.EuroDiecimillesimi, lire += o.Lire;
                EXPECT_EQ(r.Righe[0][0].I, n) << cond;
                const Valore l =
                    Q(std::string("SELECT Sum([Totale\xC2\xA3]) FROM Operazioni WHERE ") + cond)
                        .Righe[0][0];
                if (n) {
                    EXPECT_EQ(r.Righe[0][1].I, somma) << cond;
                    EXPECT_NEAR(l.D, lire, 1e-6 * (1 + std::fabs(lire))) << cond;
                } else {
                    EXPECT_TRUE(r.Righe[0][1].IsNull() && l.IsNull()) << cond;
                }
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
