#pragma once
// The engine's tests' own database, written with the Jet writer: accounts,
// cash books, movements and a data version, shaped like the host's (whose
// schema sits above the engine) because those are the statements it serves.

#include <cstdint>
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

// The tables of MovimentiDiProva.
inline std::vector<jet::TabellaNuova> TabelleDiProva(int movimenti = 600, unsigned seme = 7) {
    return TabelleMovimenti(MovimentiDiProva(movimenti, seme));
}

}  // namespace quandora::test
