#pragma once
// clsQuery: the SQL text that asks the host database for an account's
// balance at the end of one day.
//
// The run sets the account and the no-statistics option once, then the day
// before every query; the fields are public and unchecked. Reading Query
// rebuilds the text from the fields as they stand.

#include <cstdint>
#include <optional>
#include <string>

#include "util/DataOle.h"

namespace quandora {

class clsQuery {
  public:
    // The account; -1 stands for all accounts.
    int32_t conto = 0;
    // The day; only its year, month and day count. Any day the date
    // pickers offer counts, 30-12-1899 (the date 0) among them.
    std::optional<Data> data;
    // Leave out the movements flagged as excluded from statistics.
    bool NoStatistiche = false;

    // The query text (UTF-8; "£" is the only character outside ASCII).
    // Throws Errore 5678 "E' necessario impostare la data." when no day
    // was set.
    std::string Query() const;
};

}  // namespace quandora
