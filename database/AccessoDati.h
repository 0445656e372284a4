#pragma once
// The program's reads of the host's database: opening it with the host's
// password, the account list and the data-version check. None of them
// traps errors: every failure goes to the caller.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "database/Database.h"
#include "database/DatabaseQuandora.h"

namespace quandora {

// A new connection to the database at percorso: shared, read-only, with the
// host's password. The caller closes it.
std::unique_ptr<Database> ApriDatabase(const std::string& percorso);

// Hands every account to aggiungi, in the order of their descriptions: the
// text (empty when Null) and the key. A failure half way leaves the accounts
// already handed over where they went.
void CaricaConti(
    const std::string& percorso,
    const std::function<void(const std::string& descrizione, int32_t idConto)>& aggiungi);

// True when the data version (first row of Versione; -1 when the table is
// empty) is 2 or more.
bool VerificaVersioneDati(const std::string& percorso);

}  // namespace quandora
