// The SQL subset: the parser's syntax trees from texts alone, written out as
// terms (precedence, BETWEEN's AND, NOT IN, names, literals, the FROM's
// joins); on one database, joins, grouping, ordering and range conditions
// against what the rows give, the errors, and Jet's semantics case by case.
// (The program's own statements: tests/chart/istruzioni_test.cpp.)

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "jet/Jet.h"
#include "jet/JetScrittore.h"
#include "jet/JetSql.h"
#include "jet/sql/Sintassi.h"
#include "tests/jet/FixtureMovimenti.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/NumeroErrore.h"

using namespace quandora;
using namespace quandora::jet;
using namespace quandora::jet::sql;

namespace {

using test::NumeroErrore;

std::string Termine(const Espr& e);

std::string Figli(const Espr& e, size_t da = 0) {
    std::string s;
    for (size_t i = da; i < e.Figli.size(); ++i)
        s += (i > da ? "," : "") + Termine(*e.Figli[i]);
    return s;
}

// An expression as a term: Op(children...), columns as [table.]name,
// constants as their text ('...' for texts, #n# for dates, Null).
std::string Termine(const Espr& e) {
    static const char* nomi[] = {"",       "",       "Neg",       "Not",     "And",    "Or",
                                 "Eq",     "Ne",     "Lt",        "Le",      "Gt",     "Ge",
                                 "Add",    "Sub",    "Mul",       "Div",     "IntDiv", "Mod",
                                 "Concat", "IsNull", "IsNotNull", "Between", "In"};
    static const char* aggregati[] = {"Sum", "Count", "Min", "Max", "Avg"};
    switch (e.Tipo) {
        case Op::Costante:
            switch (e.Costante.Tipo) {
                case TipoValore::Null:
                    return "Null";
                case TipoValore::Testo:
                    return "'" + e.Costante.S + "'";
                case TipoValore::DataOra:
                    return "#" + std::to_string(e.Costante.D) + "#";
                case TipoValore::Doppio:
                    return std::to_string(e.Costante.D);
                default:  // True, False, whole numbers
                    return e.Costante.ComeTesto();
            }
        case Op::Colonna:
            return (e.Tabella.empty() ? "" : e.Tabella + ".") + e.Nome;
        case Op::Tutto:
            return "*";
        case Op::Funzione:
            return e.Nome + "(" + Figli(e) + ")";
        case Op::Aggregato:
            return std::string(aggregati[int(e.Aggregazione)]) + "(" + Figli(e) + ")";
        default:
            return std::string(e.Negato ? "Not" : "") + nomi[int(e.Tipo)] + "(" + Figli(e) + ")";
    }
}

// A FROM tree as a term: leaves as table[:alias], joins as Join(l,r,on).
std::string Termine(const Sorgente& s) {
    if (!s.Join) return s.Tabella + (s.Alias.empty() ? "" : ":" + s.Alias);
    return "Join(" + Termine(*s.Sinistra) + "," + Termine(*s.Destra) + "," + Termine(*s.On) + ")";
}

std::string Where(const std::string& condizione) {
    return Termine(*AnalizzaQuery("SELECT 1 FROM t WHERE " + condizione).Where);
}

TEST(SintassiSql, OperatorsBindAsJetsDo) {
    EXPECT_EQ(Where("a OR b AND NOT c = 1 + 2 * -3 & 'x'"),
              "Or(a,And(b,Not(Eq(c,Concat(Add(1,Mul(2,Neg(3))),'x')))))");
    EXPECT_EQ(Where("a - b - c / d \\ e Mod f > 0"),
              "Gt(Sub(Sub(a,b),Mod(IntDiv(Div(c,d),e),f)),0)");
    EXPECT_EQ(Where("NOT NOT a <> +b"), "Not(Not(Ne(a,b)))");
    EXPECT_EQ(Where("(a OR b) AND c"), "And(Or(a,b),c)");
    // BETWEEN takes its own AND; the next one joins conditions.
    EXPECT_EQ(Where("x NOT BETWEEN 1 AND 2 AND y IN (1, 'a''b', Null) AND z IS NOT NULL"),
              "And(And(NotBetween(x,1,2),In(y,1,'a'b',Null)),IsNotNull(z))");
    EXPECT_EQ(Where("x NOT IN (1) OR x IS NULL"), "Or(NotIn(x,1),IsNull(x))");
}

TEST(SintassiSql, NamesLiteralsAndFunctions) {
    const Query q = AnalizzaQuery(
        "SELECT [Il testo £], t.[a b], Count(*), COUNT(x), DATESERIAL(2004, 3, 15), "
        "True, Yes, No, 10, 1.5, 1e3, 1234567890, \"doppie \"\"virgolette\"\"\", "
        "#2004-03-15 12:00#, Max(Abs(-x)) AS M FROM t");
    std::string s;
    for (const auto& v : q.Select)
        s += Termine(*v.E) + (v.Alias.empty() ? "" : " AS " + v.Alias) + "|";
    EXPECT_EQ(s,
              "Il testo £|t.a b|Count(*)|Count(x)|dateserial(2004,3,15)|True|True|False|10|"
              "1.500000|1000.000000|1234567890.000000|'doppie \"virgolette\"'|#38061.500000#|"
              "Max(abs(Neg(x))) AS M|");
    EXPECT_EQ(q.Select[9].E->Costante.Tipo, TipoValore::Doppio);
    EXPECT_EQ(q.Select[8].E->Costante.Tipo, TipoValore::Intero);
    // A bracketed reserved word is a name.
    const Query nomi = AnalizzaQuery("SELECT [Select], [Null] FROM t");
    EXPECT_EQ(nomi.Select[0].E->Tipo, Op::Colonna);
    EXPECT_EQ(nomi.Select[1].E->Tipo, Op::Colonna);
    EXPECT_EQ(nomi.Select[1].E->Nome, "Null");
}

TEST(SintassiSql, FromJoinsAliasesAndClauses) {
    const Query q = AnalizzaQuery(
        "SELECT DISTINCTROW a.*, * FROM Conti AS a, (TabellaCassa c INNER JOIN Operazioni ON "
        "c.IDCassa = Operazioni.IDCassa AND Euro > 0) JOIN Versione v ON 1 = 1 "
        "GROUP BY a.IdConto, c.IDConto HAVING Sum(Euro) > 0 ORDER BY 1 DESC, c.IDConto ASC, "
        "Descrizione;");
    EXPECT_FALSE(q.Distinct);  // DISTINCTROW is not DISTINCT
    ASSERT_EQ(q.Select.size(), 2u);
    EXPECT_TRUE(q.Select[0].Stella);
    EXPECT_EQ(q.Select[0].StellaTabella, "a");
    EXPECT_TRUE(q.Select[1].Stella);
    EXPECT_TRUE(q.Select[1].StellaTabella.empty());
    ASSERT_EQ(q.From.size(), 2u);
    EXPECT_EQ(Termine(*q.From[0]), "Conti:a");
    EXPECT_EQ(Termine(*q.From[1]),
              "Join(Join(TabellaCassa:c,Operazioni,And(Eq(c.IDCassa,Operazioni.IDCassa),"
              "Gt(Euro,0))),Versione:v,Eq(1,1))");
    ASSERT_EQ(q.GroupBy.size(), 2u);
    EXPECT_EQ(Termine(*q.GroupBy[1]), "c.IDConto");
    EXPECT_EQ(Termine(*q.Having), "Gt(Sum(Euro),0)");
    ASSERT_EQ(q.OrderBy.size(), 3u);
    EXPECT_TRUE(q.OrderBy[0].Discendente);
    EXPECT_FALSE(q.OrderBy[1].Discendente);
    EXPECT_FALSE(q.OrderBy[2].Discendente);
    EXPECT_EQ(Termine(*q.OrderBy[2].E), "Descrizione");
    EXPECT_TRUE(AnalizzaQuery("SELECT DISTINCT a FROM t").Distinct);
    EXPECT_FALSE(AnalizzaQuery("SELECT ALL a FROM t").Distinct);
}

// The movements, a small table T for Jet's semantics case by case and one of
// extreme values.
class SqlMovimenti : public ::testing::Test {
  protected:
    void SetUp() override {
        dati_ = test::MovimentiDiProva(600);
        auto tabelle = test::TabelleMovimenti(dati_);
        const Data giorno = DataSerial(2004, 3, 15);
        TabellaNuova t{"T",
                       {{"N", Long},
                        {"X", Text, 20},
                        {"C", Currency},
                        {"D", DataOra},
                        {"B", SiNo},
                        {"F", Double}},
                       {}};
        t.Righe = {{Valore::Intero(1), Valore::Testo("alfa"), Valore::Valuta(1000),
                    Valore::DataOra(giorno), Valore::Booleano(true), Valore::Doppio(0.1)},
                   {Valore::Intero(2), Valore::Testo("BETA"), Valore::Valuta(2001),
                    Valore::DataOra(giorno + 0.5), Valore::Booleano(false), Valore::Doppio(0.2)},
                   {{}, {}, {}, {}, Valore::Booleano(false), {}},
                   {Valore::Intero(3), Valore::Testo("Alfa"), Valore::Valuta(-3),
                    Valore::DataOra(giorno + 1), Valore::Booleano(true), Valore::Doppio(0.3)}};
        tabelle.push_back(t);
        tabelle.push_back({"Estremi",
                           {{"C", Currency}, {"L", Long}},
                           {{Valore::Valuta(INT64_MAX - 5), Valore::Intero(2147483647)},
                            {Valore::Valuta(INT64_MIN), Valore::Intero(-2147483647 - 1)}}});
        const std::string f = dir_.File("movimenti.mdb");
        ScriviFileJet3(f, tabelle, test::PasswordProva);
        db_ = DatabaseJet::Apri(f, test::PasswordProva);
    }
    Risultato Q(const std::string& sql) { return Esegui(*db_, sql); }
    // The first value of a statement that gives one row.
    Valore Uno(const std::string& sql) {
        const Risultato r = Q(sql);
        EXPECT_EQ(r.Righe.size(), 1u) << sql;
        return r.Righe.empty() ? Valore{} : r.Righe[0][0];
    }
    int64_t Conta(const std::string& cond) { return Uno("SELECT Count(*) FROM T WHERE " + cond).I; }

    test::CartellaTemporanea dir_;
    test::Movimenti dati_;
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

// Every error with its number and what its description names.
TEST_F(SqlMovimenti, ErrorsOfTheStatementAndItsSyntax) {
    const std::string profondo = std::string(5000, '(') + "1" + std::string(5000, ')');
    const struct {
        std::string Sql;
        int Numero;
        const char* Descrizione;
    } casi[] = {
        {"SELECT * FROM Mancante", 3078, "la query di input 'Mancante'. Verificare"},
        {"SELECT Nessuna FROM Conti", 3061, "Parametri insufficienti. Previsto 1."},
        {"SELECT Uno, Due, Conti.Uno FROM Conti WHERE Tre = 1", 3061,
         "Parametri insufficienti. Previsto 4."},
        {"SELECT Descrizione FROM Conti, TabellaCassa", 3079, "'Descrizione' potrebbe"},
        {"SELECT IdConto FROM Conti WHERE 'a' = 1", 3464,
         "Tipo di dati non corrispondente nell'espressione criterio."},
        {"SELECT Boh(1) FROM Conti", 3085, "Funzione 'boh' non definita nell'espressione."},
        {"SELECT Sum(Sum(IdConto)) FROM Conti", 3075, "'sum'."},
        {"SELECT IdConto FROM Conti WHERE Sum(IdConto) > 1", 3075, "'sum'."},
        {"SELECT FROM Conti", 3075,
         "Errore di sintassi (operatore mancante) nell'espressione della query 'SELECT FROM "
         "Conti'."},
        {"SELECT #2004-13-01# FROM Conti", 3075, "'#2004-13-01# FROM Conti'."},
        {"SELECT 'aperta FROM Conti", 3075, "''aperta FROM Conti'."},
        {"", 3075, "query ''."},
        {"SELECT", 3075, "'SELECT'."},
        {"SELECT *", 3075, "'SELECT *'."},
        {"SELECT a FROM t WHERE", 3075, "'SELECT a FROM t WHERE'."},
        {"SELECT a FROM t ORDER", 3075, "'SELECT a FROM t ORDER'."},
        {"SELECT [a FROM t", 3075, "'[a FROM t'."},
        {"SELECT a FROM t WHERE a IS 3", 3075, "'SELECT a FROM t WHERE a IS 3'."},
        {"SELECT (((a FROM t", 3075, "'SELECT (((a FROM t'."},
        {"SELECT a FROM t WHERE a = = 1", 3075, "'SELECT a FROM t WHERE a = = 1'."},
        {"SELECT a, FROM t", 3075, "'SELECT a, FROM t'."},
        {"SELECT Descrizione FROM Conti WHERE IdConto = (1 +) AND Euro > 0", 3075,
         " = (1 +) AND Euro > 0'."},
        {"SELECT " + profondo + " FROM t", 3075, "'(((((("},
        {"SELECT IdConto FROM (Conti INNER JOIN TabellaCassa)", 3131,
         "Errore di sintassi nella proposizione FROM."},
        {"SELECT * FROM", 3131, "FROM."},
        {"SELECT * FROM (A", 3131, "FROM."},
        {"SELECT a FROM t INNER JOIN u", 3131, "FROM."},
        {"SELECT a FROM t LEFT JOIN u ON a = b", 3131, "FROM."},
        {"SELECT a FROM t u v", 3142, "Caratteri trovati dopo la fine dell'istruzione SQL."},
        {"SELECT C + C FROM Estremi", 3349, "Overflow numerico."},
        {"SELECT -C FROM Estremi", 3349, "Overflow numerico."},
        {"SELECT Sum(C) + 1 FROM Estremi WHERE C > 0", 3349, "Overflow numerico."},
        {"SELECT L * L * L * L * L FROM Estremi", 3349, "Overflow numerico."},
    };
    for (const auto& c : casi) {
        std::string descrizione;
        EXPECT_EQ(NumeroErrore([&] { Q(c.Sql); }, &descrizione), c.Numero) << c.Sql;
        EXPECT_NE(descrizione.find(c.Descrizione), std::string::npos)
            << c.Sql << ": " << descrizione;
    }
}

TEST_F(SqlMovimenti, NullsBooleansTextsDatesAndExactCurrency) {
    // Null propagates; aggregates skip it; Sum over no rows is Null.
    EXPECT_EQ(Uno("SELECT Sum(N) FROM T").I, 6);
    EXPECT_EQ(Uno("SELECT Count(N) FROM T").I, 3);
    EXPECT_EQ(Uno("SELECT Count(*) FROM T").I, 4);
    EXPECT_TRUE(Uno("SELECT Sum(N) FROM T WHERE N > 100").IsNull());
    EXPECT_EQ(Uno("SELECT Count(N) FROM T WHERE N > 100").I, 0);
    EXPECT_TRUE(Uno("SELECT N + 1 FROM T WHERE X IS NULL").IsNull());
    // True on two rows each: the Null row is neither equal nor different;
    // Yes/No is -1 and 0; texts compare without regard to case; dates are
    // OLE numbers, noon of a day after the day.
    for (const char* cond :
         {"N <> 1", "NOT (N = 1)", "N IS NULL OR N = 1", "X IS NOT NULL AND (N = 1 OR N = 3)",
          "B = True", "B = -1", "B = false", "B", "X = 'ALFA'", "D < #3/16/2004#",
          "D >= #2004-03-15 12:00:00#", "D BETWEEN #3/15/2004# AND #3/15/2004 23:59#"})
        EXPECT_EQ(Conta(cond), 2) << cond;
    EXPECT_EQ(Uno("SELECT Sum(B) FROM T").I, -2);
    EXPECT_EQ(Conta("X > \"alfa\""), 1);
    EXPECT_EQ(Uno("SELECT Max(X) FROM T").S, "BETA");
    EXPECT_EQ(Uno("SELECT X & '-' & N FROM T WHERE N = 2").S, "BETA-2");
    EXPECT_EQ(Conta("D <= DateSerial(2004, 3, 15)"), 1);
    EXPECT_EQ(Conta("D <= DateSerial(2004,3,15) + 1"), 3);
    EXPECT_EQ(Conta("DateSerial(2004, 3, 15) >= D"), 1);
    EXPECT_EQ(Uno("SELECT DateSerial(2004, 14, 0) FROM T WHERE N = 1").D, DataSerial(2005, 1, 31));
    EXPECT_EQ(Conta("Year(D) = 2004 AND Month(D) = 3 AND Day(D) IN (16, 17)"), 1);
    // Currency adds up exactly; doubles as doubles.
    EXPECT_EQ(Uno("SELECT Sum(C) FROM T"), Valore::Valuta(2998));
    EXPECT_DOUBLE_EQ(Uno("SELECT Sum(F) FROM T").D, 0.1 + 0.2 + 0.3);
    EXPECT_DOUBLE_EQ(Uno("SELECT Avg(N) FROM T").D, 2.0);
    EXPECT_EQ(Uno("SELECT Min(C) AS Minimo FROM T").I, -3);
    EXPECT_EQ(Uno("SELECT 7 \\ 2 + 7 Mod 4 * 2 - -1 FROM T WHERE N = 1").I, 3 + 6 + 1);
    EXPECT_DOUBLE_EQ(Uno("SELECT 1.5 * 2 / 4 FROM T WHERE N = 1").D, 0.75);
    // Sort: Null first, texts without regard to case, stable.
    std::string ordine;
    for (const auto& r : Q("SELECT N FROM T ORDER BY X, N DESC").Righe)
        ordine += r[0].ComeTesto() + ",";
    EXPECT_EQ(ordine, ",3,1,2,");
    const Risultato nomi = Q("SELECT N, N * 2, X AS [Il testo £] FROM T WHERE N = 1;");
    EXPECT_EQ(nomi.Colonne, (std::vector<std::string>{"N", "Expr1000", "Il testo £"}));
    EXPECT_EQ(Uno("SELECT Count(*) FROM T AS a INNER JOIN T AS b ON a.X = b.X").I, 5);
    const Risultato g = Q("SELECT X, Count(*) FROM T GROUP BY X HAVING Count(*) > 1");
    ASSERT_EQ(g.Righe.size(), 1u);
    EXPECT_EQ(Piega(g.Righe[0][0].S), "alfa");
    // Currency beyond 64 bits is Jet's overflow (the errors above); within, exact.
    EXPECT_EQ(Uno("SELECT Sum(C) FROM Estremi WHERE C > 0 OR C < 0 AND L = 0"),
              Valore::Valuta(INT64_MAX - 5));
    EXPECT_EQ(Uno("SELECT C FROM Estremi WHERE C < 0").ComeTesto(), "-922337203685477.5808");
    EXPECT_EQ(Uno("SELECT Sum(L) FROM Estremi").I, -1);
}

TEST_F(SqlMovimenti, RangeConditionsOnOneOpenDatabaseMatchTheRowsEveryTime) {
    // Other bounds reuse the kept joins and lists: every bound and direction stays exact.
    for (int giro = 0; giro < 2; ++giro) {
        for (const std::string op : {"<=", "<", ">=", ">"}) {
            const std::string rovescio = (op[0] == '<' ? ">" : "<") + op.substr(1);
            for (Data x = DataSerial(2002, 12, 31); x < DataSerial(2005, 11, 1); x += 97.5) {
                char numero[32];
                std::snprintf(numero, sizeof numero, "%.17g", x);
                const std::string cond = "Data " + op + " " + numero + " AND nostatistiche = False";
                const Risultato r = Q("SELECT Count(*), Sum(Euro) FROM Operazioni WHERE " + cond);
                int64_t n = 0, somma = 0;
                double lire = 0;
                for (const auto& o : dati_.Operazioni)
                    if (!o.NoStatistiche &&
                        (o.Data == x ? op.size() > 1 : (o.Data < x) == (op[0] == '<')))
                        ++n, somma += o.EuroDiecimillesimi, lire += o.Lire;
                EXPECT_EQ(r.Righe[0][0].I, n) << cond;
                const Valore l =
                    Q("SELECT Sum([Totale\xC2\xA3]) FROM Operazioni WHERE " + cond).Righe[0][0];
                if (n) {
                    EXPECT_EQ(r.Righe[0][1].I, somma) << cond;
                    EXPECT_NEAR(l.D, lire, 1e-6 * (1 + std::fabs(lire))) << cond;
                } else {
                    EXPECT_TRUE(r.Righe[0][1].IsNull() && l.IsNull()) << cond;
                }
                // The same bound written the other way round.
                const std::string altra = numero + (" " + rovescio) + " Data AND nostatistiche = 0";
                EXPECT_EQ(Q("SELECT Count(*) FROM Operazioni WHERE " + altra).Righe[0][0].I, n)
                    << altra;
            }
        }
    }
}

}  // namespace
