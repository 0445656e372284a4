#pragma once
// Host databases for tests: the host's rows in memory (host/SchemaHost.h),
// written with the Jet writer, and the balances they must give worked out
// directly from the rows (no SQL).

#include <algorithm>
#include <optional>
#include <string>

#include "host/SchemaHost.h"
#include "tests/jet/FixtureMovimenti.h"
#include "util/DataOle.h"

namespace quandora::test {

// The rows of the engine's tests' database (MovimentiDiProva) as the host's:
// accounts 1-4 (3 without a description), cash books 10-15 (15 belongs to
// the missing account 99), movements over 2003-2005 with some flagged
// no-statistics, some at 10:00 on a day, and amounts with cents.
inline host::DatiHost DatiDiProva(int movimenti = 600, unsigned seme = 7) {
    const Movimenti m = MovimentiDiProva(movimenti, seme);
    host::DatiHost d;
    for (const auto& c : m.Conti)
        d.Conti.push_back({c.IdConto, c.Descrizione});
    for (const auto& c : m.Casse)
        d.Casse.push_back({c.IDCassa, c.IDConto, c.Descrizione});
    for (const auto& o : m.Operazioni)
        d.Operazioni.push_back(
            {o.IDCassa, o.Data, o.EuroDiecimillesimi, o.Lire, o.NoStatistiche, o.Descrizione});
    d.Versioni = m.Versioni;
    return d;
}

// The balance at the end of a day: ten-thousandths of euro, nullopt when no
// movement counts.
inline std::optional<int64_t> SaldoAtteso(const host::DatiHost& d, int32_t conto, Data giorno,
                                          bool noStatistiche) {
    std::optional<int64_t> somma;
    for (const auto& o : d.Operazioni) {
        const auto cassa = std::find_if(d.Casse.begin(), d.Casse.end(),
                                        [&](const auto& c) { return c.IDCassa == o.IDCassa; });
        if (cassa == d.Casse.end() || (conto != -1 && cassa->IDConto != conto) || o.Data > giorno ||
            (noStatistiche && o.NoStatistiche) ||
            std::none_of(d.Conti.begin(), d.Conti.end(),
                         [&](const auto& c) { return c.IdConto == cassa->IDConto; }))
            continue;
        somma = somma.value_or(0) + o.EuroDiecimillesimi;
    }
    return somma;
}

}  // namespace quandora::test
