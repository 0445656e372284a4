#pragma once
// Host-shaped databases for tests: rows in memory, written with the Jet 3
// writer, and the balances they must give worked out directly from the
// rows (no SQL).

#include <optional>
#include <random>
#include <string>

#include "jet/JetScrittore.h"
#include "util/DataOle.h"

namespace quandora::test {

// Accounts 1-4 (3 without a description), cash books 10-15 (15 belongs to
// the missing account 99), movements over 2003-2005 with some flagged
// no-statistics, some at 10:00 on a day, and amounts with cents.
inline jet::DatiHost DatiDiProva(int movimenti = 600, unsigned seme = 7) {
    jet::DatiHost d;
    d.Conti = {{1, "Banca"}, {2, "conto corrente"}, {3, std::nullopt}, {4, "Zeta"}};
    d.Casse = {{10, 1, "Cassa 10"}, {11, 1, "Cassa 11"}, {12, 2, "Cassa 12"},
               {13, 3, "Cassa 13"}, {14, 4, "Cassa 14"}, {15, 99, "Orfana"}};
    std::mt19937 g(seme);
    const double inizio = DataSerial(2003, 1, 1);
    for (int i = 0; i < movimenti; ++i) {
        jet::DatiHost::Operazione o;
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

// The balance at the end of a day: ten-thousandths of euro, nullopt when no
// movement counts.
inline std::optional<int64_t> SaldoAtteso(const jet::DatiHost& d, int32_t conto, Data giorno,
                                          bool noStatistiche) {
    std::optional<int64_t> somma;
    for (const auto& o : d.Operazioni) {
        const jet::DatiHost::Cassa* cassa = nullptr;
        for (const auto& c : d.Casse)
            if (c.IDCassa == o.IDCassa) cassa = &c;
        if (!cassa) continue;
        bool esiste = false;
        for (const auto& c : d.Conti)
            esiste |= c.IdConto == cassa->IDConto;
        if (!esiste) continue;
        if (conto != -1 && cassa->IDConto != conto) continue;
        if (o.Data > giorno) continue;
        if (noStatistiche && o.NoStatistiche) continue;
        somma = somma.value_or(0) + o.EuroDiecimillesimi;
    }
    return somma;
}

}  // namespace quandora::test
