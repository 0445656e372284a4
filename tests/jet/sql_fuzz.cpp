// libFuzzer: any text as a statement, parsed and run on a small database of
// our writer and on a file Access made (CAMPIONE_JET). It must give a result
// or an Errore, never a crash or a hang.

#include <unistd.h>
#include <cstdint>
#include <memory>
#include <string>

#include "jet/Jet.h"
#include "jet/JetScrittore.h"
#include "jet/JetSql.h"
#include "tests/jet/FixtureMovimenti.h"

using namespace quandora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
    static std::unique_ptr<jet::DatabaseJet> db, campione;
    if (!campione) campione = jet::DatabaseJet::Apri(CAMPIONE_JET, "");
    if (!db) {
        const std::string f = "/tmp/jet_sql_fuzz_" + std::to_string(getpid()) + ".mdb";
        jet::ScriviFileJet3(f, test::TabelleDiProva(30));
        db = jet::DatabaseJet::Apri(f, "");
    }
    if (n > 4096) return 0;
    const std::string sql(reinterpret_cast<const char*>(dati), n);
    for (jet::DatabaseJet* d : {db.get(), campione.get()}) {
        try {
            jet::Esegui(*d, sql);
        } catch (const Errore&) {
        }
    }
    return 0;
}
