#pragma once
// Jet's value semantics in the engine's SQL: how values compare, sort and
// group, what is true, and the arithmetic operators (exact for whole numbers
// and currency, Jet's overflow beyond 64 bits; doubles and dates otherwise).

#include <cstdint>
#include <string>

#include "jet/Valore.h"
#include "jet/sql/Sintassi.h"

namespace quandora::jet::sql {

// Ordering of two non-Null values: numbers with numbers, texts with texts
// (Jet's General order); anything else is 3464.
int Confronta(const Valore& a, const Valore& b);

// Sorting order: Null before everything, numbers before texts, then as
// Confronta.
int ConfrontaOrdine(const Valore& a, const Valore& b);

// Appends a key that groups and joins values that compare equal.
void Chiave(const Valore& v, std::string& k);

// Exact integer and currency arithmetic; beyond 64 bits, Jet's overflow.
int64_t Somma(int64_t a, int64_t b);
int64_t Differenza(int64_t a, int64_t b);
int64_t Prodotto(int64_t a, int64_t b);

// A condition's value keeps a row: a number other than 0.
bool Vero(const Valore& v);

// The binary operators + - * / \ Mod (op); Null when either side is.
Valore Aritmetica(Op op, const Valore& a, const Valore& b);

}  // namespace quandora::jet::sql
