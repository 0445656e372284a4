#pragma once
// What the executor keeps of an open database between statements, so that a
// statement run again with only the bound of its range changed (the balance
// query of another day) reuses its join and its row list and only
// binary-searches the range:
//   - the join of a FROM (Relazione), by the canonical text of its tree;
//   - in it, the tuples that pass the WHERE without its range condition,
//     sorted by the range's column (RigheFiltrate), by the canonical text
//     of those conditions and the range's column;
//   - in those, a column's values in the list's order with running counts
//     and sums (ColonnaOrdinata), by the bound column.
// It lives in the open database (DatabaseJet::StatoSql), which holds it
// without looking inside, and goes with it.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "jet/Jet.h"
#include "jet/Valore.h"
#include "jet/sql/Sintassi.h"

namespace quandora::jet::sql {

// A column's values in the order of a cached row list, so that aggregates
// over a slice of the list read memory in sequence.
struct ColonnaOrdinata {
    std::vector<Valore> Valori;
    // Running counts and sums over the values, for Count, Sum and Avg of a
    // slice in constant time: exact ones for whole numbers and currency
    // (when no running sum leaves 64 bits), and for doubles the running sum
    // itself, which is the sum in the list's order of a slice from the start.
    bool Omogenea = true;  // every value Null or of one type
    TipoValore Tipo = TipoValore::Null;
    std::vector<int64_t> Contati, Esatte;
    std::vector<double> Doppie;

    // Works out the running counts and sums from Valori.
    void Prepara();
};

// The tuples of a join that pass a WHERE without its range condition.
struct RigheFiltrate {
    std::vector<uint32_t> Indici;  // tuple numbers
    std::vector<double> Chiavi;    // with a numeric range: its column's values, sorted (Indici too)
    std::map<std::pair<int, int>, ColonnaOrdinata> Colonne;  // by bound table and column
};

// The tuples of a FROM's join, and the row lists filtered from it.
struct Relazione {
    std::vector<uint32_t> Tuple;  // flattened, stride = number of tables
    std::map<std::string, RigheFiltrate> Filtri;
};

// The rows a statement keeps: a slice of a kept list, or a list of its own.
struct Selezione {
    RigheFiltrate* Lista = nullptr;
    size_t Da = 0, A = 0;
    std::vector<uint32_t> Proprie;
    size_t Quante() const { return Lista ? A - Da : Proprie.size(); }
    uint32_t operator[](size_t i) const { return Lista ? Lista->Indici[Da + i] : Proprie[i]; }
};

class MemoriaEsecutore final : public DatabaseJet::StatoSql {
  public:
    // The database's memory, made on its first statement.
    static MemoriaEsecutore& Di(DatabaseJet& db);

    // Before each statement: the memory serves one kind of statement run
    // many times; many different statements on one open database start it
    // afresh.
    void Limita();

    // The joins, by the canonical text of their FROM.
    std::map<std::string, Relazione> Relazioni;

    // The entry of mappa (the joins, a join's lists or a list's columns)
    // under chiave; when it is missing, made by costruisci and kept. A
    // failure of costruisci keeps nothing.
    template <class Mappa, class Costruisci>
    typename Mappa::mapped_type& Trova(Mappa& mappa, const typename Mappa::key_type& chiave,
                                       Costruisci costruisci) {
        auto it = mappa.find(chiave);
        if (it == mappa.end()) {
            it = mappa.emplace(chiave, costruisci()).first;
            ++voci_;
        }
        return it->second;
    }

  private:
    size_t voci_ = 0;  // joins, lists and columns kept
};

// Appends the canonical text of a bound expression: equal for trees that
// compute the same from the same columns.
void Canonico(const Espr& e, std::string& k);

// Appends the canonical text of a bound FROM tree (tables, their places
// and the joins' conditions).
void ChiaveSorgente(const Sorgente& s, std::string& k);

}  // namespace quandora::jet::sql
