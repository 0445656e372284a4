// mdbtools judges the reader on every table of the files Microsoft Access
// made, and the writer on the files it writes (listed, described and
// exported as written); and jetsql, the engine's command-line tool.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "jet/Jet.h"
#include "jet/JetScrittore.h"
#include "jet/JetSql.h"
#include "tests/jet/Campioni.h"
#include "tests/jet/FixtureMovimenti.h"
#include "tests/support/CartellaTemporanea.h"
#include "util/DataOle.h"
#include "util/Testo.h"

using namespace quandora;
using namespace quandora::jet;

namespace {

// A shell command's standard output, with "<uscita N>" added when it ends
// with status N other than 0.
std::string Uscita(const std::string& comando) {
    std::string out;
    FILE* p = popen(comando.c_str(), "r");
    if (!p) return "<popen fallita>";
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    const int rc = pclose(p);
    if (rc != 0) out += "<uscita " + std::to_string(rc) + ">";
    return out;
}

std::string Q(const std::string& s) {
    return "'" + s + "'";
}

// A value of a column of that type as mdb-export writes it with the options
// of Differenza.
std::string ComeMdbExport(const Valore& v, uint8_t tipo) {
    char buf[64];
    switch (v.Tipo) {
        case TipoValore::Null:
            return "NULL";
        case TipoValore::Booleano:
            return v.I ? "1" : "0";
        case TipoValore::Intero:
            return std::to_string(v.I);
        case TipoValore::Valuta: {
            const uint64_t a = v.I < 0 ? uint64_t(0) - uint64_t(v.I) : uint64_t(v.I);
            std::snprintf(buf, sizeof buf, "%s%llu.%04llu", v.I < 0 ? "-" : "",
                          static_cast<unsigned long long>(a / 10000),
                          static_cast<unsigned long long>(a % 10000));
            return buf;
        }
        case TipoValore::Doppio:
            std::snprintf(buf, sizeof buf, tipo == Single ? "%.8g" : "%.16g", v.D);
            return buf;
        case TipoValore::DataOra: {
            // mdbtools writes every date before 30 December 1899 so
            // (CampioniJet.DecimalsAndOldDatesExactly reads one exactly).
            if (v.D < 0) return "1900-01-00 00:00:00";
            const ParteData p = ScomponiData(v.D);
            std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", p.Anno, p.Mese,
                          p.Giorno, p.Ore, p.Minuti, p.Secondi);
            return buf;
        }
        case TipoValore::Binario:
        case TipoValore::Decimale:
            return v.S;
        default:
            break;
    }
    // A GUID as its text without its last hyphen.
    if (tipo == ReplicationId) return v.S.substr(0, 24) + v.S.substr(25);
    // An empty memo as Null; '?' for Windows-1252's five unassigned bytes,
    // where Windows (and we) give the control characters of the same number.
    if (tipo == Memo && v.S.empty()) return "NULL";
    std::string s;
    for (size_t i = 0; i < v.S.size();) {
        const size_t da = i;
        const char32_t c = NextUtf8(v.S, i);
        const bool nonAssegnato = c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
        s += nonAssegnato ? "?" : v.S.substr(da, i - da);
    }
    return s;
}

// What differs between mdb-export's reading of the file's table and the
// columns and rows given, taken in any order (mdbtools reads an overflowing
// row last, Jet in its place): the first row one has and the other lacks;
// "" when nothing does.
std::string Differenza(const std::string& file, const TabellaNuova& t) {
    // Fields and rows end in private-use characters, which no sample holds.
    const std::string campo = "\uE000", riga = "\uE001";
    std::vector<std::string> attese(t.Righe.size() + 1), esportate;
    for (const auto& c : t.Colonne)
        attese[0] += (attese[0].empty() ? "" : campo) + c.Nome;
    for (size_t r = 0; r < t.Righe.size(); ++r)
        for (size_t c = 0; c < t.Colonne.size(); ++c)
            attese[r + 1] += (c ? campo : "") + ComeMdbExport(t.Righe[r][c], t.Colonne[c].Tipo);
    const char* data = " '%Y-%m-%d %H:%M:%S' ";
    const std::string uscita =
        Uscita("mdb-export -Q -d " + campo + " -R " + riga + " -0 NULL -b raw -D" + data + "-T" +
               data + Q(file) + " " + Q(t.Nome));
    for (size_t da = 0, a; (a = uscita.find(riga, da)) != std::string::npos; da = a + riga.size())
        esportate.push_back(uscita.substr(da, a - da));
    std::sort(attese.begin(), attese.end());
    std::sort(esportate.begin(), esportate.end());
    const auto [a, e] =
        std::mismatch(attese.begin(), attese.end(), esportate.begin(), esportate.end());
    if (a == attese.end() && e == esportate.end()) return "";
    return "\n  ours " + (a == attese.end() ? "<none>" : a->substr(0, 300)) + "\n  mdb-export " +
           (e == esportate.end() ? "<none>" : e->substr(0, 300));
}

// A table as the reader gives it, row by row.
TabellaNuova Righe(const Tabella& t) {
    TabellaNuova n{t.Nome, {}, std::vector<std::vector<Valore>>(t.Righe)};
    for (size_t c = 0; c < t.Colonne.size(); ++c) {
        n.Colonne.push_back({t.Colonne[c].Nome, t.Colonne[c].Tipo});
        for (size_t r = 0; r < t.Righe; ++r)
            n.Righe[r].push_back(t.Valori[c][r]);
    }
    return n;
}

TEST(CampioniMdbtools, EveryTableOfEveryFileReadsAsMdbExportReadsIt) {
    size_t tabelle = 0;
    for (const auto& f : test::FileCampione()) {
        auto db = DatabaseJet::Apri(f, "");
        std::vector<std::string> nomi = db->TabelleUtente();
        std::sort(nomi.begin(), nomi.end());
        std::string elenco;
        for (const auto& nome : nomi)
            elenco += nome + "\n";
        EXPECT_EQ(Uscita("mdb-tables -1 " + Q(f) + " | LC_ALL=C sort"), elenco);
        for (const auto& nome : db->TabelleUtente()) {
            EXPECT_EQ(Differenza(f, Righe(db->LeggiTabella(nome))), "") << f << " " << nome;
            ++tabelle;
        }
    }
    EXPECT_EQ(tabelle, 75u);
}

TEST(ScrittoreMdbtools, EveryColumnTypeIsListedDescribedAndExportedAsWritten) {
    test::CartellaTemporanea dir;
    for (int versione : {3, 4}) {
        const std::string f = dir.File("tipi.mdb");
        const TabellaNuova t = test::TabellaTipi(versione);
        const TabellaNuova vuota{"Vuota", {{"A", Long}, {"B", Text, 10}}, {}};
        test::CartellaTemporanea::Scrivi(f, ScriviJet({t, vuota}, "pw", versione));
        EXPECT_EQ(Uscita("mdb-ver " + Q(f)), "JET" + std::to_string(versione) + "\n");
        EXPECT_EQ(Uscita("mdb-tables -1 " + Q(f)), t.Nome + "\nVuota\n");
        const std::string schema = Uscita("mdb-schema " + Q(f));
        for (const char* riga :
             {"[Si]\t\t\tBoolean NOT NULL", "[B]\t\t\tByte", "[I]\t\t\tInteger",
              "[L]\t\t\tLong Integer", "[C]\t\t\tCurrency", "[S]\t\t\tSingle", "[D]\t\t\tDouble",
              "[T]\t\t\tDateTime", "[X]\t\t\tText (255)", "[M]\t\t\tMemo/Hyperlink", "[O]\t\t\tOLE",
              "CREATE TABLE [Vuota]", "[B]\t\t\tText (10)"})
            EXPECT_NE(schema.find(riga), std::string::npos) << riga << "\n" << schema;
        EXPECT_EQ(Differenza(f, t), "") << versione;
        EXPECT_EQ(Differenza(f, vuota), "") << versione;
    }
}

// About 1,100 data pages for the movements: more than an inline usage map
// covers, so their map points to bitmap pages.
TEST(ScrittoreMdbtools, DatabaseWithPasswordAndUsageMapPagesReadsWhole) {
    test::CartellaTemporanea dir;
    const std::string f = dir.File("movimenti.mdb");
    const auto tabelle = test::TabelleDiProva(40000);
    ScriviFileJet3(f, tabelle, test::PasswordProva);
    auto db = DatabaseJet::Apri(f, test::PasswordProva);
    for (const auto& t : tabelle) {
        EXPECT_EQ(Differenza(f, t), "") << t.Nome;
        EXPECT_EQ(Righe(db->LeggiTabella(t.Nome)).Righe, t.Righe) << t.Nome;
    }
}

TEST(Jetsql, PrintsCsvTheTablesAndItsErrors) {
    test::CartellaTemporanea dir;
    const std::string f = dir.File("movimenti.mdb");
    ScriviFileJet3(f, test::TabelleDiProva(50), test::PasswordProva);
    const std::string programma =
        Q((std::filesystem::read_symlink("/proc/self/exe").parent_path() / "jetsql").string());
    const std::string jetsql = programma + " " + Q(f);
    EXPECT_EQ(Uscita(jetsql + " --pwd cass4Prova " +
                     Q("SELECT IdConto, Descrizione, IdConto * 1.5 AS X, #2004-03-15 10:30# AS D, "
                       "True FROM Conti ORDER BY IdConto")),
              "\"IdConto\",\"Descrizione\",\"X\",\"D\",\"Expr1000\"\n"
              "1,\"Banca\",1.5,2004-03-15 10:30:00,-1\n"
              "2,\"conto corrente\",3,2004-03-15 10:30:00,-1\n"
              "3,,4.5,2004-03-15 10:30:00,-1\n"
              "4,\"Zeta\",6,2004-03-15 10:30:00,-1\n");
    EXPECT_EQ(Uscita(jetsql + " --pwd cass4Prova --tables"),
              "\"Tabella\"\n\"Conti\"\n\"TabellaCassa\"\n\"Operazioni\"\n\"Versione\"\n");
    EXPECT_EQ(Uscita(jetsql + " --pwd x --tables 2>&1"),
              "Errore 3031: Password non valida.\n<uscita 256>");
    EXPECT_EQ(Uscita(jetsql + " --pwd cass4Prova 'SELECT x FROM Conti' 2>&1"),
              "Errore 3061: Parametri insufficienti. Previsto 1.\n<uscita 256>");
    EXPECT_EQ(Uscita(programma + " 2>/dev/null"), "<uscita 512>");
}

}  // namespace
