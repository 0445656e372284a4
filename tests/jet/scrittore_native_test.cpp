// mdbtools judges the writer: the files it writes must be listed, described
// and exported by mdb-tables, mdb-schema and mdb-export exactly as written.
// (Our reader on the writer's files: lettore_test.cpp.)

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "jet/Jet.h"
#include "jet/JetScrittore.h"
#include "jet/JetSql.h"
#include "tests/jet/FixtureMovimenti.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/Comando_native.h"
#include "util/DataOle.h"

using namespace quandora;
using namespace quandora::jet;

namespace {

std::string Q(const std::string& s) {
    return "'" + s + "'";
}

// A value as mdb-export writes it with the options used below.
std::string ComeMdbExport(const Valore& v, uint8_t tipo) {
    char buf[64];
    if (v.IsNull()) return "NULL";
    switch (tipo) {
        case SiNo:
            return v.I ? "1" : "0";
        case Currency: {
            const int64_t a = v.I < 0 ? -v.I : v.I;
            std::snprintf(buf, sizeof buf, "%s%lld.%04lld", v.I < 0 ? "-" : "",
                          static_cast<long long>(a / 10000), static_cast<long long>(a % 10000));
            return buf;
        }
        case DataOra: {
            const ParteData p = ScomponiData(v.D);
            std::snprintf(buf, sizeof buf, "\"%04d-%02d-%02d %02d:%02d:%02d\"", p.Anno, p.Mese,
                          p.Giorno, p.Ore, p.Minuti, p.Secondi);
            return buf;
        }
        case Single:
        case Double:
            std::snprintf(buf, sizeof buf, "%.16g", v.ComeDoppio());
            return buf;
        case Text:
        case Memo: {
            std::string s = "\"";
            for (char c : v.S)
                s += c == '"' ? std::string("\"\"") : std::string(1, c);
            return s + "\"";
        }
        case Ole: {
            std::string s;
            for (unsigned char c : v.S) {
                std::snprintf(buf, sizeof buf, "%02X", c);
                s += buf;
            }
            return "\"" + s + "\"";
        }
        default:
            return std::to_string(v.I);
    }
}

std::string Atteso(const TabellaNuova& t, const std::vector<std::vector<Valore>>& righe) {
    std::string s;
    for (size_t c = 0; c < t.Colonne.size(); ++c)
        s += (c ? "," : "") + t.Colonne[c].Nome;
    s += "\n";
    for (const auto& r : righe) {
        for (size_t c = 0; c < r.size(); ++c)
            s += (c ? "," : "") + ComeMdbExport(r[c], t.Colonne[c].Tipo);
        s += "\n";
    }
    return s;
}

// The first line where two exports differ, or "" when they are equal.
std::string Differenza(const std::string& a, const std::string& b) {
    std::istringstream x(a), y(b);
    std::string la, lb;
    for (int n = 1;; ++n) {
        const bool ha = bool(std::getline(x, la)), hb = bool(std::getline(y, lb));
        if (!ha && !hb) return "";
        if (ha != hb || la != lb)
            return "riga " + std::to_string(n) + ":\n  " + (ha ? la.substr(0, 300) : "<fine>") +
                   "\n  " + (hb ? lb.substr(0, 300) : "<fine>");
    }
}

std::string Export(const std::string& file, const std::string& tabella) {
    return test::UscitaComando("mdb-export -T '%Y-%m-%d %H:%M:%S' -b hex -0 NULL " + Q(file) + " " +
                               Q(tabella));
}

// A table with every column type the writer makes, Nulls, memos inline, on
// one long-value page and on a chain of pages, and rows longer than 256
// bytes (the row's jump table).
TabellaNuova TabellaTipi() {
    TabellaNuova t{"Tipi \xC3\xA8",
                   {{"Si", SiNo},
                    {"B", Byte},
                    {"I", Integer},
                    {"L", Long},
                    {"C", Currency},
                    {"S", Single},
                    {"D", Double},
                    {"T", DataOra},
                    {"X", Text, 220},
                    {"M", Memo},
                    {"O", Ole}},
                   {}};
    t.Righe.push_back({Valore::Booleano(true), Valore::Intero(200), Valore::Intero(-1234),
                       Valore::Intero(-70000), Valore::Valuta(-123456789), Valore::Doppio(2.25),
                       Valore::Doppio(1234.5678901234), Valore::DataOra(38000.75),
                       Valore::Testo("Caff\xC3\xA8 \"forte\", 100%"), Valore::Testo("breve"),
                       Valore::Binario(std::string("\x01\x02\xFF", 3))});
    t.Righe.push_back({Valore::Booleano(false),
                       {},
                       {},
                       {},
                       {},
                       {},
                       {},
                       {},
                       {},
                       Valore::Testo(std::string(5000, 'm') + "fine"),
                       {}});
    t.Righe.push_back({Valore::Booleano(false), Valore::Intero(1), Valore::Intero(2),
                       Valore::Intero(2147483647), Valore::Valuta(5), Valore::Doppio(0.5),
                       Valore::Doppio(1e-7), Valore::DataOra(2.5),
                       Valore::Testo(std::string(220, 'x')), Valore::Testo(std::string(1500, 'y')),
                       Valore::Binario(std::string(300, 'z'))});
    for (int i = 0; i < 400; ++i)
        t.Righe.push_back(
            {Valore::Booleano(i % 2), Valore::Intero(i % 256), Valore::Intero(i - 200),
             Valore::Intero(i * 1000), Valore::Valuta(i * 12345), Valore::Doppio(i / 4.0),
             Valore::Doppio(i * 1.5), Valore::DataOra(36000 + i + (i % 24) / 24.0),
             Valore::Testo(std::string(size_t(i % 200 + 1), char('a' + i % 26))),
             i % 3 ? Valore{} : Valore::Testo("nota " + std::to_string(i)), Valore{}});
    return t;
}

TEST(ScrittoreMdbtools, EveryColumnTypeIsListedDescribedAndExportedAsWritten) {
    test::CartellaTemporanea dir;
    const std::string f = dir.File("tipi.mdb");
    const TabellaNuova t = TabellaTipi();
    TabellaNuova vuota{"Vuota", {{"A", Long}, {"B", Text, 10}}, {}};
    ScriviFileJet3(f, {t, vuota});

    EXPECT_EQ(test::UscitaComando("mdb-tables -1 " + Q(f)), t.Nome + "\nVuota\n");
    EXPECT_EQ(test::UscitaComando("mdb-ver " + Q(f)), "JET3\n");
    const std::string schema = test::UscitaComando("mdb-schema " + Q(f));
    for (const char* riga :
         {"[Si]\t\t\tBoolean NOT NULL", "[B]\t\t\tByte", "[I]\t\t\tInteger",
          "[L]\t\t\tLong Integer", "[C]\t\t\tCurrency", "[S]\t\t\tSingle", "[D]\t\t\tDouble",
          "[T]\t\t\tDateTime", "[X]\t\t\tText (220)", "[M]\t\t\tMemo/Hyperlink", "[O]\t\t\tOLE",
          "CREATE TABLE [Vuota]", "[B]\t\t\tText (10)"})
        EXPECT_NE(schema.find(riga), std::string::npos) << riga << "\n" << schema;

    EXPECT_EQ(Differenza(Export(f, t.Nome), Atteso(t, t.Righe)), "");
    EXPECT_EQ(Export(f, "Vuota"), "A,B\n");
}

TEST(ScrittoreMdbtools, DatabaseWithPasswordAndManyPagesExportsEveryRow) {
    test::CartellaTemporanea dir;
    const std::string f = dir.File("movimenti.mdb");
    const auto tabelle = test::TabelleDiProva(20000);
    ScriviFileJet3(f, tabelle, test::PasswordProva);

    EXPECT_EQ(test::UscitaComando("mdb-tables -1 " + Q(f)),
              "Conti\nTabellaCassa\nOperazioni\nVersione\n");
    for (const auto& t : tabelle)
        EXPECT_EQ(Differenza(Export(f, t.Nome), Atteso(t, t.Righe)), "") << t.Nome;
}

TEST(ScrittoreMdbtools, TableBeyondOneInlineUsageMapIsExportedWhole) {
    // About 1,500 data pages: more than an inline usage map covers, so the
    // table's map points to bitmap pages.
    test::CartellaTemporanea dir;
    const std::string f = dir.File("grande.mdb");
    TabellaNuova t{"Grande", {{"N", Long}, {"Testo", Text, 250}}, {}};
    for (int i = 0; i < 6000; ++i)
        t.Righe.push_back({Valore::Intero(i), Valore::Testo(std::string(250, char('A' + i % 26)))});
    ScriviFileJet3(f, {t});
    EXPECT_EQ(Differenza(Export(f, "Grande"), Atteso(t, t.Righe)), "");
    auto db = DatabaseJet::Apri(f, "");
    const auto r = jet::Esegui(*db, "SELECT Count(*), Sum(N), Max(Testo) FROM Grande");
    EXPECT_EQ(r.Righe[0][0].I, 6000);
    EXPECT_EQ(r.Righe[0][1].I, 6000LL * 5999 / 2);
    EXPECT_EQ(r.Righe[0][2].S, std::string(250, 'Z'));
}

TEST(ScrittoreMdbtools, Jet4FileIsReadByMdbtoolsAsByOurReader) {
    test::CartellaTemporanea dir;
    const std::string f = dir.File("jet4.mdb");
    TabellaNuova t = TabellaTipi();
    t.Righe[0][8] = Valore::Testo("\xCE\xB1\xCE\xB2 \xE2\x82\xAC \"q\"");  // plain UCS-2
    test::CartellaTemporanea::Scrivi(f, ScriviJet({t}, "pw4", 4));
    EXPECT_EQ(test::UscitaComando("mdb-ver " + Q(f)), "JET4\n");
    EXPECT_EQ(test::UscitaComando("mdb-tables -1 " + Q(f)), t.Nome + "\n");
    EXPECT_EQ(Differenza(Export(f, t.Nome), Atteso(t, t.Righe)), "");
}

TEST(Jetsql, PrintsCsvTheTablesAndItsErrors) {
    test::CartellaTemporanea dir;
    const std::string f = dir.File("movimenti.mdb");
    ScriviFileJet3(f, test::TabelleDiProva(50), test::PasswordProva);
    const std::string jetsql =
        (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "jetsql").string();
    EXPECT_EQ(test::UscitaComando(
                  Q(jetsql) + " " + Q(f) + " --pwd cass4Prova " +
                  Q("SELECT IdConto, Descrizione, IdConto * 1.5 AS X, #2004-03-15 10:30# AS D, "
                    "True FROM Conti ORDER BY IdConto")),
              "\"IdConto\",\"Descrizione\",\"X\",\"D\",\"Expr1000\"\n"
              "1,\"Banca\",1.5,2004-03-15 10:30:00,-1\n"
              "2,\"conto corrente\",3,2004-03-15 10:30:00,-1\n"
              "3,,4.5,2004-03-15 10:30:00,-1\n"
              "4,\"Zeta\",6,2004-03-15 10:30:00,-1\n");
    EXPECT_EQ(test::UscitaComando(Q(jetsql) + " " + Q(f) + " --pwd cass4Prova --tables"),
              "\"Tabella\"\n\"Conti\"\n\"TabellaCassa\"\n\"Operazioni\"\n\"Versione\"\n");
    EXPECT_EQ(test::UscitaComando(Q(jetsql) + " " + Q(f) + " --pwd x --tables 2>&1"),
              "Errore 3031: Password non valida.\n<uscita 256>");
    EXPECT_EQ(test::UscitaComando(Q(jetsql) + " " + Q(f) +
                                  " --pwd cass4Prova 'SELECT x FROM Conti' 2>&1"),
              "Errore 3061: Parametri insufficienti. Previsto 1.\n<uscita 256>");
    EXPECT_EQ(test::UscitaComando(Q(jetsql) + " 2>/dev/null"), "<uscita 512>");
}

}  // namespace
