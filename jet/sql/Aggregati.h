#pragma once
// Grouping and aggregates: the accumulators of Sum, Count, Min, Max and Avg,
// the groups of GROUP BY, and the strategy of the balance query, aggregates
// over a range.

#include <cstdint>
#include <vector>

#include "jet/Valore.h"
#include "jet/sql/Memoria.h"
#include "jet/sql/Sintassi.h"
#include "jet/sql/Valutazione.h"

namespace quandora::jet::sql {

// Accumulator of one aggregate over a group. Currency and whole numbers add
// up exactly (in ten-thousandths); a double among them makes the sum one.
struct Accumulo {
    int64_t Conta = 0;
    int64_t Esatta = 0;  // ten-thousandths
    double Doppia = 0;
    bool Reale = false, Valuta = false;
    Valore Estremo;

    void Aggiungi(Agg f, const Valore& v);
    Valore Risultato(Agg f) const;
};

// A group: its GROUP BY values, its first tuple (UINT32_MAX when it has no
// rows) and one accumulator per aggregate.
struct Gruppo {
    std::vector<Valore> Chiavi;
    uint32_t Prima = UINT32_MAX;
    std::vector<Accumulo> Acc;
};

// What grouping reads: the statement's tables and bound aggregates, the
// join and the rows that passed the WHERE.
struct RigheDaRaggruppare {
    const std::vector<Rif>& Tabelle;
    const std::vector<Espr*>& Aggregati;
    const Relazione& Rel;
    const Selezione& Righe;
};

// The groups of the rows by the values of the GROUP BY expressions, in the
// order of those values; without GROUP BY one group, even over no rows.
std::vector<Gruppo> Raggruppa(const RigheDaRaggruppare& r, const std::vector<PE>& groupBy);

// The strategy of the balance query, aggregates over a range: a statement
// without GROUP BY whose aggregates each take a column or *, over rows that
// are a slice of a kept list (the WHERE's range condition on a numeric
// column, see Esecutore::Filtra). Each column is kept beside the list in
// the list's order, with running counts and sums (ColonnaOrdinata): Count,
// and Sum and Avg of whole numbers and currency (and of doubles from the
// list's start), take constant time, the others read the slice in sequence.
//
// Whether the bound statement and its rows have that shape.
bool AggregatiSuIntervallo(const Query& q, const std::vector<Espr*>& aggregati,
                           const Selezione& righe);
// Its one group; the columns it needs are kept in memoria.
Gruppo GruppoSuIntervallo(const RigheDaRaggruppare& r, MemoriaEsecutore& memoria);

}  // namespace quandora::jet::sql
