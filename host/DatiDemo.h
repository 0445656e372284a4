#pragma once
// The stand-in host's data: the empty template "quandora.dat" and a demo
// database of a family's accounts over several years, both written by our
// Jet 3 writer with the host's password.

#include <string>

#include "host/SchemaHost.h"

namespace quandora::host {

// The template: the host's tables with no rows but the data version 2.
DatiHost DatiModello();

// The demo accounts from 1 January 2021 to the day before fine (an OLE
// date; movements are generated up to it): a current account, a savings
// book, a credit card and cash; salary, rent, bills, shopping, and the
// transfers between the family's own accounts flagged no-statistics.
// The same fine always gives the same data.
DatiHost DatiDemo(double fine);

// Writes cartella\quandora.dat and cartella\bnk\quandora.mdb (creating
// bnk); throws Errore on failure.
void ScriviHost(const std::string& cartella, double fine);

}  // namespace quandora::host
