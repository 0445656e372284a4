// libFuzzer: any bytes as a database file. Opening it and reading every
// table, then a query, must give data or an Errore: never a crash, a hang
// or an unbounded allocation.
//
// An input that starts like a Jet file (the seeds: the files Access made,
// in ../shared/jet-samples) is the file itself; any other input patches a
// file of our writer (see below).

#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "jet/Jet.h"
#include "jet/JetScrittore.h"
#include "jet/JetSql.h"
#include "tests/jet/FixtureMovimenti.h"

using namespace quandora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
    static std::string modello;
    if (modello.empty()) {
        auto t = test::TabelleDiProva(40);
        t[2].Righe[0][7] = Valore::Testo(std::string(3000, 'n'));  // a memo on a chain
        modello = jet::ScriviJet3(t, "pw");
    }
    // The input replaces bytes of the model from an offset it gives, so that
    // most inputs keep a valid header and reach the deeper structures.
    static const char firma[] = "\0\1\0\0Standard Jet DB";
    std::string file = modello;
    if (n >= sizeof firma - 1 && std::memcmp(dati, firma, sizeof firma - 1) == 0) {
        file.assign(reinterpret_cast<const char*>(dati), n);
    } else if (n >= 3) {
        const size_t da =
            (size_t(dati[0]) | (size_t(dati[1]) << 8) | (size_t(dati[2] & 0x7F) << 16)) %
            file.size();
        for (size_t i = 3; i < n && da + i - 3 < file.size(); ++i)
            file[da + i - 3] = char(dati[i]);
        if (dati[2] & 0x80) file.resize(da);  // truncated
    }
    static const std::string percorso = "/tmp/jet_file_fuzz_" + std::to_string(getpid()) + ".mdb";
    FILE* f = std::fopen(percorso.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
    try {
        auto db = jet::DatabaseJet::Apri(percorso, "pw");
        for (const auto& t : db->TabelleUtente())
            db->LeggiTabella(t);
        const auto tabelle = db->TabelleUtente();
        if (!tabelle.empty())
            jet::Esegui(*db, "SELECT * FROM [" + tabelle[0] + "] ORDER BY 1 DESC, 2");
        jet::Esegui(*db,
                    "SELECT Sum(Euro), Count(*), Max(Note) FROM (Conti INNER JOIN TabellaCassa ON "
                    "Conti.IDConto = TabellaCassa.IDConto) INNER JOIN Operazioni ON "
                    "TabellaCassa.IDCassa = Operazioni.IDCassa");
    } catch (const Errore&) {
    }
    return 0;
}
