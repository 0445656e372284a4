#include <windows.h>

#include "modulelist/CartelleQuandora.h"
#include "util/Errore.h"
#include "util/Testo.h"
#include "util/Win32.h"
#include "util/uxUtilita.h"

namespace quandora {

namespace {

// A directory search for the name, folders included, as a "does it exist"
// test: any entry of that name counts.
bool EsisteVoce(const std::string& percorso) {
    WIN32_FIND_DATAA dati;
    return CercaFile(ToAnsi(percorso).c_str(), dati) != nullptr;
}

}  // namespace

std::string CercaCartellaQuandora() {
    const uxUtilita util;
    std::string cartella = util.CartellaApplicazione("quandora.exe");
    if (cartella.empty()) {
        throw Errore(4051,
                     "Impossibile trovare il percorso della cartella di Quandora. Quandora "
                     "potrebbe non essere stato installato correttamente.");
    }
    if (cartella.back() == '\\' || cartella.back() == '/') cartella.pop_back();
    if (cartella.empty() || !EsisteVoce(cartella)) {
        throw Errore(4052,
                     "Impossibile trovare il percorso della cartella di Quandora. Quandora "
                     "potrebbe essere stato rimosso manualmente.");
    }
    return util.AggiungiSepDir(cartella);
}

std::string CercaCartellaDatiQuandora() {
    const uxUtilita util;
    std::string dati = CercaCartellaQuandora() + "BNK\\";
    std::string daCreare = dati;
    util.CreaPercorsoDirectory(daCreare);
    return dati;
}

}  // namespace quandora
