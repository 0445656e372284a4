// The parser on texts alone: the syntax tree of the balance query and of
// the grammar's harder corners (precedence, BETWEEN's AND, NOT IN, names,
// literals, the FROM's joins), written out as terms.

#include <gtest/gtest.h>

#include <string>

#include "jet/sql/Sintassi.h"
#include "tests/jet/FixtureMovimenti.h"
#include "tests/support/NumeroErrore.h"

using namespace quandora;
using namespace quandora::jet::sql;

namespace {

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
                case TipoValore::Booleano:
                    return e.Costante.I ? "True" : "False";
                case TipoValore::Doppio:
                    return std::to_string(e.Costante.D);
                default:
                    return std::to_string(e.Costante.I);
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

TEST(SintassiSql, BalanceQueryOfTheProgram) {
    const Query q = AnalizzaQuery(test::SaldoContoSenzaStatistiche);
    EXPECT_FALSE(q.Distinct);
    ASSERT_EQ(q.Select.size(), 2u);
    EXPECT_EQ(Termine(*q.Select[0].E), "Sum(Operazioni.Euro)");
    EXPECT_EQ(q.Select[0].Alias, "TotaleEuro");
    EXPECT_EQ(Termine(*q.Select[1].E), "Sum(Operazioni.Totale\xC2\xA3)");
    EXPECT_EQ(q.Select[1].Alias, "TotaleLire");
    ASSERT_EQ(q.From.size(), 1u);
    EXPECT_EQ(Termine(*q.From[0]),
              "Join(Join(Conti,TabellaCassa,Eq(Conti.IDConto,TabellaCassa.IDConto)),Operazioni,"
              "Eq(TabellaCassa.IDCassa,Operazioni.IDCassa))");
    EXPECT_EQ(Termine(*q.Where),
              "And(And(Eq(TabellaCassa.IDConto,2),Le(Operazioni.Data,dateserial(2004,6,30))),"
              "Eq(nostatistiche,False))");
    EXPECT_FALSE(q.Having);
    EXPECT_TRUE(q.GroupBy.empty());
    EXPECT_TRUE(q.OrderBy.empty());
    EXPECT_EQ(Termine(*AnalizzaQuery(test::SaldoTuttiIConti).Where),
              "Le(Operazioni.Data,dateserial(2004,6,30))");
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

TEST(SintassiSql, ErrorsNameTheirPlace) {
    using test::NumeroErrore;
    EXPECT_EQ(NumeroErrore([] { AnalizzaQuery("SELECT a FROM t WHERE a = = 1"); }), 3075);
    EXPECT_EQ(NumeroErrore([] { AnalizzaQuery("SELECT a FROM t LEFT JOIN u ON a = b"); }), 3131);
    EXPECT_EQ(NumeroErrore([] { AnalizzaQuery("SELECT a FROM t u v"); }), 3142);
    EXPECT_EQ(NumeroErrore([] { AnalizzaQuery("SELECT a, FROM t"); }), 3075);
    try {
        AnalizzaQuery("SELECT Descrizione FROM Conti WHERE IdConto = (1 +) AND Euro > 0");
        FAIL();
    } catch (const Errore& e) {
        EXPECT_EQ(e.Numero(), 3075);
        EXPECT_NE(e.Descrizione().find("(1 +)"), std::string::npos) << e.Descrizione();
    }
}

}  // namespace
