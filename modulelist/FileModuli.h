#pragma once
// Opening Moduli.dat for one operation: created when missing, held
// exclusively until the object goes, so that two clients changing the list
// at the same moment cannot lose or double an entry. Another holder is
// waited for a bounded time; a lock that cannot be had is an error (70,
// "Autorizzazione negata"), never a silent loss.

#include <memory>
#include <string>

#include "modulelist/ListaModuli.h"

namespace quandora {

// Waits at most attesaMs milliseconds for another holder.
std::unique_ptr<FileModuli> ApriFileModuli(const std::string& percorso, unsigned attesaMs = 10000);

}  // namespace quandora
