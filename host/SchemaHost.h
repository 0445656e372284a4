#pragma once
// The host's database from rows in memory, for the stand-in host and the
// tests: the host's tables (database/DatabaseQuandora.h, the database layer's
// one definition of the schema) as tables of the Jet writer, with rows.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "database/DatabaseQuandora.h"
#include "jet/JetScrittore.h"

namespace quandora::host {

// The rows of the host's tables.
struct DatiHost {
    struct Conto {
        int32_t IdConto;
        std::optional<std::string> Descrizione;
    };
    struct Cassa {
        int32_t IDCassa;
        int32_t IDConto;
        std::string Descrizione;
    };
    struct Operazione {
        int32_t IDCassa;
        double Data;                 // OLE Automation date, time of day allowed
        int64_t EuroDiecimillesimi;  // Currency, exact
        double Lire;
        bool NoStatistiche;
        std::string Descrizione;
    };
    std::vector<Conto> Conti;
    std::vector<Cassa> Casse;
    std::vector<Operazione> Operazioni;            // numbered 1, 2, ... in this order
    std::vector<std::optional<int32_t>> Versioni;  // rows of Versione
};

// The host's tables (TabelleQuandora, in their order) with the rows of
// dati; the columns dati has nothing for (the movements' notes) are Null.
std::vector<jet::TabellaNuova> TabelleHost(const DatiHost& dati);

}  // namespace quandora::host
