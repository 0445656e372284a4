#pragma once
// Evaluation of a bound expression on one row of a join: columns, constants,
// operators with Jet's Null rules, the functions (DateSerial, Year, Month,
// Day, Abs) and, on a group's row, the values of its aggregates.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "jet/Jet.h"
#include "jet/Valore.h"
#include "jet/sql/Sintassi.h"

namespace quandora::jet::sql {

// A table of the statement: its name, its alias and its rows.
struct Rif {
    std::string Nome, Alias;
    const Tabella* T = nullptr;
};

// Where an expression is evaluated: the statement's tables, the row of each
// (a tuple: one row number per table; none on the group of no rows) and, on
// a group, its aggregates' values.
struct Contesto {
    const std::vector<Rif>* Tabelle = nullptr;
    const uint32_t* Tupla = nullptr;
    const std::vector<Valore>* Aggregati = nullptr;
};

extern const Valore kNullo;

// The bound column's value in the context's row (Null without a row).
inline const Valore& ValoreColonna(const Espr& e, const Contesto& c) {
    if (!c.Tupla) return kNullo;
    return (*c.Tabelle)[size_t(e.T)].T->Valori[size_t(e.C)][c.Tupla[e.T]];
}

Valore Valuta(const Espr& e, const Contesto& c);

}  // namespace quandora::jet::sql
