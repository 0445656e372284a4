#pragma once
// Opening Moduli.dat for one operation, created when missing.
//
// The host and other add-ons read the list with plain opens of their own,
// and may keep it open while our clients call: the file is opened sharing
// reading and writing with every other process, so a reader never shuts
// our clients out, nor they it. Our own clients keep each other in line
// with a lock of their own that a plain reader never meets (how, beside
// each implementation): a change holds it alone, so that two clients
// changing the list at the same moment cannot lose or double an entry; a
// reading shares it with other readings, and never sees a change half
// done. A lock held by another of our clients, or a file that another
// process holds without sharing, is waited for a bounded time; what cannot
// be had is an error (70, "Autorizzazione negata"), never a silent loss.

#include <memory>
#include <string>

#include "modulelist/ListaModuli.h"

namespace quandora {

enum class UsoFileModuli {
    Lettura,   // reads only; shares the lock with other readings
    Modifica,  // reads and writes; holds the lock alone
};

// Waits at most attesaMs milliseconds for another holder.
std::unique_ptr<FileModuli> ApriFileModuli(const std::string& percorso,
                                           UsoFileModuli uso = UsoFileModuli::Modifica,
                                           unsigned attesaMs = 10000);

}  // namespace quandora
