#pragma once
// The engine's tests' own database, written with the Jet writer: accounts,
// cash books, movements and a data version, shaped like the host's (whose
// schema sits above the engine) because those are the statements it serves.

#include <cstdint>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "jet/JetScrittore.h"
#include "util/DataOle.h"

namespace quandora::test {

// The rows of the four tables.
struct Movimenti {
    struct Conto {
        int32_t IdConto;
        std::optional<std::string> Descrizione;
    };
    struct Cassa {
        int32_t IDCassa;
        int32_t IDConto;
        std::string Descrizione;
    };
    struct Operazione {
        int32_t IDCassa;
        double Data;                 // OLE Automation date, time of day allowed
        int64_t EuroDiecimillesimi;  // Currency, exact
        double Lire;
        bool NoStatistiche;
        std::string Descrizione;
    };
    std::vector<Conto> Conti;
    std::vector<Cassa> Casse;
    std::vector<Operazione> Operazioni;  // numbered 1, 2, ... in this order
    std::vector<std::optional<int32_t>> Versioni;
};

// The password of the tests' databases.
inline constexpr const char* PasswordProva = "cass4Prova";

// The tables with their rows; a movement's notes (a Memo) are Null.
inline std::vector<jet::TabellaNuova> TabelleMovimenti(const Movimenti& m) {
    using jet::TabellaNuova;
    TabellaNuova conti{"Conti", {{"IdConto", jet::Long}, {"Descrizione", jet::Text, 50}}, {}};
    for (const auto& c : m.Conti)
        conti.Righe.push_back(
            {Valore::Intero(c.IdConto), c.Descrizione ? Valore::Testo(*c.Descrizione) : Valore{}});
    TabellaNuova casse{
        "TabellaCassa",
        {{"IDCassa", jet::Long}, {"IDConto", jet::Long}, {"Descrizione", jet::Text, 50}},
        {}};
    for (const auto& c : m.Casse)
        casse.Righe.push_back(
            {Valore::Intero(c.IDCassa), Valore::Intero(c.IDConto), Valore::Testo(c.Descrizione)});
    TabellaNuova operazioni{"Operazioni",
                            {{"IDOperazione", jet::Long},
                             {"IDCassa", jet::Long},
                             {"Data", jet::DataOra},
                             {"Descrizione", jet::Text, 100},
                             {"Euro", jet::Currency},
                             {"Totale\xC2\xA3", jet::Double},
                             {"nostatistiche", jet::SiNo},
                             {"Note", jet::Memo}},
                            {}};
    int32_t id = 0;
    for (const auto& o : m.Operazioni)
        operazioni.Righe.push_back({Valore::Intero(++id), Valore::Intero(o.IDCassa),
                                    Valore::DataOra(o.Data), Valore::Testo(o.Descrizione),
                                    Valore::Valuta(o.EuroDiecimillesimi), Valore::Doppio(o.Lire),
                                    Valore::Booleano(o.NoStatistiche), Valore{}});
    TabellaNuova versione{"Versione", {{"versione", jet::Long}}, {}};
    for (const auto& v : m.Versioni)
        versione.Righe.push_back({v ? Valore::Intero(*v) : Valore{}});
    return {conti, casse, operazioni, versione};
}

// Accounts 1-4 (3 without a description), cash books 10-15 (15 belongs to
// the missing account 99), movements over 2003-2005 with some flagged
// no-statistics, some at 10:00 on a day, and amounts with cents.
inline Movimenti MovimentiDiProva(int movimenti = 600, unsigned seme = 7) {
    Movimenti d;
    d.Conti = {{1, "Banca"}, {2, "conto corrente"}, {3, std::nullopt}, {4, "Zeta"}};
    d.Casse = {{10, 1, "Cassa 10"}, {11, 1, "Cassa 11"}, {12, 2, "Cassa 12"},
               {13, 3, "Cassa 13"}, {14, 4, "Cassa 14"}, {15, 99, "Orfana"}};
    std::mt19937 g(seme);
    const double inizio = DataSerial(2003, 1, 1);
    for (int i = 0; i < movimenti; ++i) {
        Movimenti::Operazione o;
        o.IDCassa = 10 + int(g() % 6);
        o.Data = inizio + double(g() % 1000);
        if (i % 7 == 0) o.Data += 10.0 / 24;                            // a time of day
        o.EuroDiecimillesimi = (int64_t(g() % 200000) - 100000) * 100;  // cents
        o.Lire = double(o.EuroDiecimillesimi) / 10000.0 * 1936.27;
        o.NoStatistiche = i % 5 == 0;
        o.Descrizione = std::string("Movimento ").append(std::to_string(i));
        d.Operazioni.push_back(o);
    }
    d.Versioni = {2};
    return d;
}

// The balance query as the program writes it, of all accounts and of account
// 2 without statistics, up to 30 June 2004 (istruzioni_test checks them).
inline const std::string SaldoTuttiIConti =
    " SELECT Sum(Operazioni.Euro) AS TotaleEuro, Sum(Operazioni.[Totale\xC2\xA3]) AS TotaleLire "
    " FROM (Conti INNER JOIN TabellaCassa ON Conti.IDConto = TabellaCassa.IDConto) INNER JOIN "
    "Operazioni ON TabellaCassa.IDCassa = Operazioni.IDCassa "
    " WHERE  Operazioni.Data <=  DateSerial(2004,6,30) ";
inline const std::string SaldoContoSenzaStatistiche =
    " SELECT Sum(Operazioni.Euro) AS TotaleEuro, Sum(Operazioni.[Totale\xC2\xA3]) AS TotaleLire "
    " FROM (Conti INNER JOIN TabellaCassa ON Conti.IDConto = TabellaCassa.IDConto) INNER JOIN "
    "Operazioni ON TabellaCassa.IDCassa = Operazioni.IDCassa "
    " WHERE TabellaCassa.IDConto=2 AND  Operazioni.Data <=  DateSerial(2004,6,30) "
    " AND nostatistiche = false ";

// A table of every column type the writer makes, for Jet 3 or Jet 4: limits,
// Nulls, memos inline, on one long-value page and on a chain of pages, and
// rows longer than 256 bytes (the row's jump table). Jet 4 gets texts beyond
// one byte a character (kept as plain UCS-2).
inline jet::TabellaNuova TabellaTipi(int versione) {
    using namespace jet;
    const std::string greco = versione == 4 ? "\xCE\xB1\xCE\xB2 " : "";
    TabellaNuova t{"Tipi \xC3\xA8", {}, {}};
    const char* nomi[] = {"Si", "B", "I", "L", "C", "S", "D", "T", "X", "M", "O"};
    const uint8_t tipi[] = {SiNo,   Byte,    Integer, Long, Currency, Single,
                            Double, DataOra, Text,    Memo, Ole};
    for (size_t c = 0; c < std::size(tipi); ++c)
        t.Colonne.push_back({nomi[c], tipi[c], uint16_t(tipi[c] == Text ? 255 : 0)});
    t.Righe.push_back({Valore::Booleano(true), Valore::Intero(255), Valore::Intero(-32768),
                       Valore::Intero(-2147483647 - 1), Valore::Valuta(INT64_C(-922337203685477)),
                       Valore::Doppio(-0.375), Valore::Doppio(6.02214076e23),
                       Valore::DataOra(DataSerial(2004, 3, 15) + 0.75),
                       Valore::Testo(greco + "\xC3\xA0\xE2\x82\xAC \xC2\xA3 \"forte\", 100%"),
                       Valore::Testo(""), Valore::Binario(std::string("\0\1\xFF", 3))});
    // Null but the Yes/No (which has no Null), and a memo on a chain of pages.
    t.Righe.emplace_back(t.Colonne.size());
    t.Righe.back()[0] = Valore::Booleano(false);
    t.Righe.back()[9] = Valore::Testo(std::string(5000, 'm') + "fine");
    t.Righe.push_back({Valore::Booleano(true), Valore::Intero(0), Valore::Intero(32767),
                       Valore::Intero(2147483647), Valore::Valuta(1), Valore::Doppio(1.5),
                       Valore::Doppio(-0.1), Valore::DataOra(-1.25),
                       Valore::Testo(std::string(255, 'w')),
                       Valore::Testo(greco + std::string(1500, 'y')),
                       Valore::Binario(std::string(2500, '\x7F'))});
    for (int i = 0; i < 400; ++i)
        t.Righe.push_back(
            {Valore::Booleano(i % 2), Valore::Intero(i % 256), Valore::Intero(i - 200),
             Valore::Intero(i * 1000), Valore::Valuta(i * 12345), Valore::Doppio(i / 4.0),
             Valore::Doppio(i * 1.5), Valore::DataOra(36000 + i + (i % 24) / 24.0),
             Valore::Testo(std::string(size_t(i % 200 + 1), char('a' + i % 26))),
             i % 3 ? Valore{} : Valore::Testo("nota " + std::to_string(i)), Valore{}});
    return t;
}

// The tables of MovimentiDiProva.
inline std::vector<jet::TabellaNuova> TabelleDiProva(int movimenti = 600, unsigned seme = 7) {
    return TabelleMovimenti(MovimentiDiProva(movimenti, seme));
}

}  // namespace quandora::test
