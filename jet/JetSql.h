#pragma once
// The SQL the engine runs: a subset of Jet SQL with Jet's semantics.
//
//   SELECT [DISTINCT] * | item, ... FROM source [WHERE cond]
//     [GROUP BY expr, ...] [HAVING cond] [ORDER BY expr [ASC|DESC], ...] [;]
//   item    expr [AS name] | table.*
//   source  table [[AS] alias] | source INNER JOIN source ON cond
//           | ( source ) | source, source
//   expr    literals (integers, decimals, 'texts' or "texts", #dates#, True,
//           False, Null), [bracketed names] and names, table.column,
//           + - * / \ Mod &, = <> < <= > >=, IS [NOT] NULL, [NOT] BETWEEN,
//           [NOT] IN (...), NOT AND OR, DateSerial, Year, Month, Day, Abs,
//           and the aggregates Sum Count Min Max Avg (Count(*)).
//
// Null propagates through operators and comparisons; a condition keeps a
// row only when it is true. Yes/No values are -1 and 0. Texts compare and
// sort in Jet's General order (Collazione.h): without regard to case,
// accented letters with their base letters. Currency adds up exactly. Sum, Min, Max and
// Avg over no rows are Null; Count is 0.
//
// Joins and filtered row lists are kept with the open database (the
// executor's memory, sql/Memoria.h): a query run again with only the bound
// of a range condition changed (the balance query of another day) reuses
// them and only binary-searches the range.
//
// The units: sql/Lessico (tokens), sql/Sintassi (the syntax tree, parsed
// from the text alone), sql/Valori and sql/Valutazione (Jet's value
// semantics and the evaluation of expressions), sql/Esecutore, Sorgenti and
// Aggregati (binding, joins and filters, grouping and the strategy of
// aggregates over a range), sql/Memoria (what is kept between statements).

#include <string>
#include <vector>

#include "jet/Jet.h"
#include "jet/Valore.h"

namespace quandora::jet {

struct Risultato {
    std::vector<std::string> Colonne;
    std::vector<std::vector<Valore>> Righe;
};

Risultato Esegui(DatabaseJet& db, const std::string& sql);

}  // namespace quandora::jet
