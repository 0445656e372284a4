#pragma once
// The executor: a statement's syntax tree run on an open database.
//
//   1. binding (Esecutore.cpp): the FROM's tables are read, every name of
//      the tree is bound to a table's column, stars are expanded and the
//      result's columns named;
//   2. sources (Sorgenti.cpp): the FROM's join as tuples of row numbers
//      (hash joins on an equality between a column of each side), then the
//      tuples that pass the WHERE, a range condition on a column found by
//      binary search in a list sorted by it; both are kept in the database's
//      memory (Memoria.h) for the statements that follow;
//   3. grouping (Aggregati.cpp): the groups and their aggregates, by the
//      strategy of aggregates over a range where the statement has its shape;
//   4. output (Esecutore.cpp): HAVING, the result's rows, DISTINCT, ORDER BY.

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "jet/Jet.h"
#include "jet/JetSql.h"
#include "jet/sql/Memoria.h"
#include "jet/sql/Sintassi.h"
#include "jet/sql/Valutazione.h"

namespace quandora::jet::sql {

class Esecutore {
  public:
    Esecutore(DatabaseJet& db, Query& q);

    Risultato Esegui();

  private:
    // Binding.
    void Raccogli(Sorgente& s);
    void Lega(Espr& e, bool aggregatiAmmessi, bool dentroAggregato = false);
    void LegaTutto(std::vector<std::string>& nomi);

    // Sources.
    std::vector<uint32_t> Unisci(const Sorgente& s);
    Relazione& Sorgenti();
    Selezione Filtra(Relazione& rel);

    // Output: a row of the result with its ORDER BY values.
    struct Uscita {
        std::vector<Valore> Valori;
        std::vector<Valore> Ordine;
    };
    Uscita Emetti(const Contesto& c) const;

    DatabaseJet& db_;
    MemoriaEsecutore& memoria_;
    Query& q_;
    std::vector<Rif> tabelle_;
    std::set<std::string> ignoti_;  // names bound to no column
    std::vector<Espr*> aggregati_;
    std::vector<const Espr*> colonne_;           // the result's columns
    std::vector<std::unique_ptr<Espr>> stelle_;  // the columns of expanded stars
    std::vector<int> ordineAlias_;               // ORDER BY of a result column: its index
};

}  // namespace quandora::jet::sql
