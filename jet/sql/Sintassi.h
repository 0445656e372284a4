#pragma once
// The syntax tree of a statement of the engine's SQL (see JetSql.h for the
// grammar) and the parser that makes it from the text alone: no table is
// looked at. The executor then binds the tree's columns to the tables of a
// database (Espr::T, C, Slot; Sorgente::Indice), which the parser leaves
// unset.

#include <memory>
#include <string>
#include <vector>

#include "jet/Valore.h"

namespace quandora::jet::sql {

enum class Op {
    Costante,
    Colonna,
    Neg,
    Not,
    And,
    Or,
    Eq,
    Ne,
    Lt,
    Le,
    Gt,
    Ge,
    Add,
    Sub,
    Mul,
    Div,
    IntDiv,
    Mod,
    Concat,
    IsNull,
    IsNotNull,
    Between,
    In,
    Funzione,
    Aggregato,
    Tutto  // the * of Count(*)
};

enum class Agg { Sum, Count, Min, Max, Avg };

struct Espr {
    Op Tipo = Op::Costante;
    Valore Costante;
    std::string Tabella, Nome;  // column: qualifier and name; function: name in lower case
    std::vector<std::unique_ptr<Espr>> Figli;
    bool Negato = false;          // NOT BETWEEN, NOT IN
    Agg Aggregazione = Agg::Sum;  // aggregate: which one
    int T = -1, C = -1;           // bound column: table and column index
    int Slot = -1;                // bound aggregate: its accumulator
};
using PE = std::unique_ptr<Espr>;

struct Sorgente {  // FROM tree
    bool Join = false;
    std::string Tabella, Alias;  // leaf
    int Indice = -1;             // bound leaf: its table's index
    std::unique_ptr<Sorgente> Sinistra, Destra;
    PE On;
};

struct Voce {
    PE E;
    std::string Alias;
    bool Stella = false;  // * or table.*
    std::string StellaTabella;
};

struct Ordine {
    PE E;
    bool Discendente = false;
};

struct Query {
    bool Distinct = false;
    std::vector<Voce> Select;
    std::vector<std::unique_ptr<Sorgente>> From;  // comma-separated: cross join
    PE Where, Having;
    std::vector<PE> GroupBy;
    std::vector<Ordine> OrderBy;
};

// The tree of the statement; syntax errors 3075, 3131, 3142.
Query AnalizzaQuery(const std::string& sql);

}  // namespace quandora::jet::sql
