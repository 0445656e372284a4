// The reader on files Microsoft Access made, judged by mdbtools: every user
// table of every sample, row by row and column by column, against
// mdb-export's reading; and queries of the program's shapes against the
// same computed from mdb-export's rows.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>

#include "jet/Jet.h"
#include "jet/JetSql.h"
#include "tests/jet/Campioni.h"
#include "tests/support/Comando_native.h"
#include "util/DataOle.h"
#include "util/Testo.h"

using namespace quandora;
using namespace quandora::jet;

namespace {

// A field of mdb-export's CSV; an unquoted empty field is Null.
struct Campo {
    std::string Testo;
    bool Nullo = false;
};

std::vector<std::vector<Campo>> Csv(const std::string& s) {
    std::vector<std::vector<Campo>> righe(1);
    Campo c;
    bool virgolette = false, citato = false;
    auto chiudi = [&] {
        c.Nullo = !citato && c.Testo.empty();
        righe.back().push_back(std::move(c));
        c = {};
        citato = false;
    };
    for (size_t i = 0; i < s.size(); ++i) {
        const char ch = s[i];
        if (virgolette) {
            if (ch == '"' && i + 1 < s.size() && s[i + 1] == '"')
                c.Testo += '"', ++i;
            else if (ch == '"')
                virgolette = false;
            else
                c.Testo += ch;
        } else if (ch == '"') {
            virgolette = citato = true;
        } else if (ch == ',') {
            chiudi();
        } else if (ch == '\n') {
            chiudi();
            righe.emplace_back();
        } else {
            c.Testo += ch;
        }
    }
    if (righe.back().empty()) righe.pop_back();
    return righe;
}

std::string Esporta(const std::string& file, const std::string& tabella) {
    return test::UscitaComando("mdb-export -D '%Y-%m-%d %H:%M:%S' -T '%Y-%m-%d %H:%M:%S' -b hex '" +
                               file + "' '" + tabella + "'");
}

std::string Esadecimale(const std::string& b) {
    std::string s;
    char buf[3];
    for (unsigned char ch : b) {
        std::snprintf(buf, sizeof buf, "%02X", ch);
        s += buf;
    }
    return s;
}

// Whether our value and mdb-export's field say the same.
bool Uguali(const Valore& v, const Colonna& col, const Campo& m) {
    if (v.IsNull()) return m.Nullo;
    if (m.Nullo) return false;
    char buf[64];
    switch (v.Tipo) {
        case TipoValore::Booleano:
            return m.Testo == (v.I ? "1" : "0");
        case TipoValore::Intero:
            return m.Testo == std::to_string(v.I);
        case TipoValore::Valuta: {
            const uint64_t a = v.I < 0 ? uint64_t(0) - uint64_t(v.I) : uint64_t(v.I);
            std::snprintf(buf, sizeof buf, "%s%llu.%04llu", v.I < 0 ? "-" : "",
                          static_cast<unsigned long long>(a / 10000),
                          static_cast<unsigned long long>(a % 10000));
            return m.Testo == buf;
        }
        case TipoValore::Doppio:
        case TipoValore::Decimale: {
            // mdb-export prints fewer digits (a Single's shortest form).
            const double d = std::strtod(m.Testo.c_str(), nullptr);
            return std::fabs(d - v.D) <= 1e-6 * std::max(1.0, std::fabs(v.D));
        }
        case TipoValore::DataOra: {
            // mdbtools writes every date before 30 December 1899 so
            // (CampioniJet.DecimalsAndOldDatesExactly reads one exactly).
            if (v.D < 0) return m.Testo == "1900-01-00 00:00:00";
            const ParteData p = ScomponiData(v.D);
            std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", p.Anno, p.Mese,
                          p.Giorno, p.Ore, p.Minuti, p.Secondi);
            return m.Testo == buf;
        }
        case TipoValore::Binario:
            return m.Testo == Esadecimale(v.S);
        case TipoValore::Testo: {
            // With -b hex mdb-export writes a GUID as the hex of its text
            // without its last hyphen.
            if (col.Tipo == ReplicationId) {
                std::string g = v.S;
                if (g.size() == 38 && g[24] == '-') g.erase(24, 1);
                return m.Testo == Esadecimale(g);
            }
            if (m.Testo == v.S) return true;
            // mdbtools makes '?' of Windows-1252's five unassigned bytes,
            // Windows (and we) the control characters of the same number.
            if (col.Tipo != Text && col.Tipo != Memo) return false;
            size_t i = 0, j = 0;
            while (i < v.S.size() && j < m.Testo.size()) {
                const char32_t a = NextUtf8(v.S, i), b = NextUtf8(m.Testo, j);
                const bool nonAssegnato =
                    a == 0x81 || a == 0x8D || a == 0x8F || a == 0x90 || a == 0x9D;
                if (a != b && !(nonAssegnato && b == '?')) return false;
            }
            return i == v.S.size() && j == m.Testo.size();
        }
        default:
            return false;
    }
}

TEST(CampioniMdbtools, EveryTableOfEveryFileReadsAsMdbExportReadsIt) {
    size_t tabelle = 0, celle = 0;
    for (const auto& f : test::FileCampione()) {
        auto db = DatabaseJet::Apri(f, "");
        std::set<std::string> nostre, loro;
        for (const auto& t : db->TabelleUtente())
            nostre.insert(t);
        for (const auto& riga : Csv(test::UscitaComando("mdb-tables -1 '" + f + "'")))
            if (!riga.empty()) loro.insert(riga[0].Testo);
        EXPECT_EQ(nostre, loro) << f;
        for (const auto& nome : nostre) {
            const Tabella& t = db->LeggiTabella(nome);
            auto esportate = Csv(Esporta(f, nome));
            ASSERT_FALSE(esportate.empty()) << f << " " << nome;
            ASSERT_EQ(esportate[0].size(), t.Colonne.size()) << f << " " << nome;
            for (size_t c = 0; c < t.Colonne.size(); ++c)
                EXPECT_EQ(esportate[0][c].Testo, t.Colonne[c].Nome);
            esportate.erase(esportate.begin());
            ASSERT_EQ(esportate.size(), t.Righe) << f << " " << nome;
            ++tabelle;
            // In any order: mdbtools reads an overflowing row last, Jet in its place.
            std::vector<bool> presa(esportate.size());
            for (size_t r = 0; r < t.Righe; ++r) {
                bool trovata = false;
                for (size_t e = 0; e < esportate.size() && !trovata; ++e) {
                    if (presa[e] || esportate[e].size() != t.Colonne.size()) continue;
                    bool uguale = true;
                    for (size_t c = 0; c < t.Colonne.size() && uguale; ++c)
                        uguale = Uguali(t.Valori[c][r], t.Colonne[c], esportate[e][c]);
                    if (uguale) presa[e] = trovata = true;
                }
                EXPECT_TRUE(trovata) << f << " " << nome << ": row " << r << " ("
                                     << t.Valori[0][r].ComeTesto() << ") has no match";
                celle += t.Colonne.size();
            }
        }
    }
    EXPECT_EQ(tabelle, 75u);
    EXPECT_GT(celle, 5000u);
}

// The balance query's shape: a Sum over an INNER JOIN with a date range, and
// a text ORDER BY, on testIndexCodes' tables of dates and amounts.
TEST(CampioniMdbtools, QueriesOfTheProgramsShapesAgreeWithMdbExport) {
    const std::string f = test::Campione("jet3/testIndexCodesV1997.mdb");
    std::map<std::string, std::string> date;  // name -> "yyyy-mm-dd hh:mm:ss"
    std::map<std::string, int64_t> importi;   // name -> ten-thousandths
    for (const auto& r : Csv(Esporta(f, "Table6")))
        if (!r[1].Nullo && r[0].Testo != "name") date[r[0].Testo] = r[1].Testo;
    for (const auto& r : Csv(Esporta(f, "Table8")))
        if (!r[1].Nullo && r[0].Testo != "name") {
            const std::string& s = r[1].Testo;  // "-123.4500"
            const bool meno = s[0] == '-';
            const size_t punto = s.find('.');
            importi[r[0].Testo] =
                (meno ? -1 : 1) * (std::stoll(s.substr(meno, punto - meno)) * 10000 +
                                   std::stoll(s.substr(punto + 1)));
        }
    auto db = DatabaseJet::Apri(f, "");
    for (const auto& [da, a] :
         std::vector<std::pair<std::string, std::string>>{{"1900-01-01", "2100-01-01"},
                                                          {"1899-12-30", "1999-12-31"},
                                                          {"2000-01-01", "9999-12-31"}}) {
        int64_t atteso = 0;
        size_t righe = 0;
        std::vector<std::string> nomi;
        for (const auto& [nome, data] : date) {
            // mdbtools's "1900-01-00" (see Uguali) is before every range.
            if (data.rfind("1900-01-00", 0) == 0) continue;
            if (data.substr(0, 10) < da || data.substr(0, 10) > a || !importi.count(nome)) continue;
            atteso += importi[nome];
            ++righe;
            nomi.push_back(nome);
        }
        ASSERT_GT(righe, 0u) << da;
        std::sort(nomi.begin(), nomi.end());  // letters and digits: plain order
        std::reverse(nomi.begin(), nomi.end());
        auto letterale = [](const std::string& d) {
            return "#" + d.substr(5, 2) + "/" + d.substr(8, 2) + "/" + d.substr(0, 4) + "#";
        };
        const std::string dove =
            " FROM Table6 INNER JOIN Table8 ON Table6.name = Table8.name "
            "WHERE Table6.data >= " +
            letterale(da) + " AND Table6.data < " + letterale(a) + " + 1";
        const Risultato s = Esegui(*db, "SELECT Sum(Table8.data) AS Totale, Count(*)" + dove);
        ASSERT_EQ(s.Righe.size(), 1u);
        EXPECT_EQ(s.Righe[0][0], Valore::Valuta(atteso)) << da;
        EXPECT_EQ(s.Righe[0][1], Valore::Intero(int64_t(righe)));
        const Risultato o = Esegui(*db, "SELECT Table6.name" + dove + " ORDER BY Table6.name DESC");
        std::vector<std::string> ottenuti;
        for (const auto& r : o.Righe)
            ottenuti.push_back(r[0].S);
        EXPECT_EQ(ottenuti, nomi) << da;
    }
}

}  // namespace
