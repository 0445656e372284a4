#pragma once
// The host's database as the program knows it: its password and its tables,
// the columns the program's statements name (AccessoDati.cpp, clsQuery.cpp)
// and those the host keeps beside them, each with its Jet type.
//
// The one definition of the host's schema. It belongs to the database
// layer, which opens the database with it, and not to host/: the stand-in
// host's data (host/SchemaHost.h) and the tests' host databases are written
// from it, above the layer, while nothing below the layer knows it.

#include <cstdint>
#include <span>
#include <string>

#include "jet/Jet.h"

namespace quandora {

// The host's database password, and the connect string that gives it.
inline constexpr const char* PasswordQuandora = "853kwe47";
inline std::string ConnessioneQuandora() {
    return std::string(";Pwd=") + PasswordQuandora;
}

struct ColonnaQuandora {
    const char* Nome;
    jet::TipoColonna Tipo;
    uint16_t Lunghezza = 0;  // Text: the most characters
};

struct TabellaQuandora {
    const char* Nome;
    std::span<const ColonnaQuandora> Colonne;
};

namespace schema {
inline constexpr ColonnaQuandora Conti[] = {{"IdConto", jet::Long}, {"Descrizione", jet::Text, 50}};
inline constexpr ColonnaQuandora Casse[] = {
    {"IDCassa", jet::Long}, {"IDConto", jet::Long}, {"Descrizione", jet::Text, 50}};
inline constexpr ColonnaQuandora Operazioni[] = {
    {"IDOperazione", jet::Long},     {"IDCassa", jet::Long},  {"Data", jet::DataOra},
    {"Descrizione", jet::Text, 100}, {"Euro", jet::Currency}, {"Totale\xC2\xA3", jet::Double},
    {"nostatistiche", jet::SiNo},    {"Note", jet::Memo}};
inline constexpr ColonnaQuandora Versione[] = {{"versione", jet::Long}};
}  // namespace schema

// The accounts.
inline constexpr TabellaQuandora TabellaConti{"Conti", schema::Conti};
// The cash books, each of one account.
inline constexpr TabellaQuandora TabellaCasse{"TabellaCassa", schema::Casse};
// The movements, each of one cash book: the day (with a time of day at
// times), the amount in euro (exact) and in lire, and whether the movement
// is left out of the statistics (a move between the family's own books).
inline constexpr TabellaQuandora TabellaOperazioni{"Operazioni", schema::Operazioni};
// The data version, in its first row.
inline constexpr TabellaQuandora TabellaVersione{"Versione", schema::Versione};

// The host's tables in the order the host's files hold them.
inline constexpr TabellaQuandora TabelleQuandora[] = {TabellaConti, TabellaCasse, TabellaOperazioni,
                                                      TabellaVersione};

}  // namespace quandora
