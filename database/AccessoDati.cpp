#include "database/AccessoDati.h"

namespace quandora {

// The host's own engine where it is installed (it knows how to read the
// file while the host writes it); our engine otherwise.
std::unique_ptr<Database> ApriDatabase(const std::string& percorso) {
    const std::string connessione = ConnessioneQuandora();
    if (auto db = OpenDatabaseDao(percorso, false, true, connessione)) return db;
    return OpenDatabase(percorso, false, true, connessione);
}

void CaricaConti(const std::string& percorso,
                 const std::function<void(const std::string&, int32_t)>& aggiungi) {
    auto db = ApriDatabase(percorso);
    auto rs = db->OpenRecordset("Select IdConto, Descrizione from Conti order by Descrizione",
                                dbOpenForwardOnly);
    while (!rs->Eof()) {
        const int32_t id = rs->Campo(0).ComeLong();
        const std::string descrizione = rs->Campo(1).ComeTesto();  // Null appends nothing
        aggiungi(descrizione, id);
        rs->MoveNext();
    }
    rs->Close();
    db->Close();
}

bool VerificaVersioneDati(const std::string& percorso) {
    auto db = ApriDatabase(percorso);
    auto rs = db->OpenRecordset("Select versione from Versione", dbOpenForwardOnly);
    int32_t versione = -1;
    if (!rs->Eof()) versione = rs->Campo(0).ComeLong();
    rs->Close();
    db->Close();
    return versione >= 2;
}

}  // namespace quandora
