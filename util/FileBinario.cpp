#include "util/FileBinario.h"

namespace quandora {

Errore ErroreFile(EsitoFile esito) {
    switch (esito) {
        case EsitoFile::NonTrovato:
            return ErroreDiSistema(53);
        case EsitoFile::PercorsoNonTrovato:
            return ErroreDiSistema(76);
        case EsitoFile::InUso:
            return ErroreDiSistema(70);
        case EsitoFile::AccessoNegato:
            return ErroreDiSistema(75);
        case EsitoFile::DiscoPieno:
            return ErroreDiSistema(61);
        case EsitoFile::Ok:
        case EsitoFile::Altro:
            break;
    }
    return ErroreDiSistema(57);
}

bool LeggiFile(const std::string& percorso, std::string& dati, EsitoFile& esito, uint64_t limite) {
    auto file = FileInLettura::Apri(percorso, esito);
    if (!file) return false;
    const uint64_t n = file->Dimensione();
    if (n > limite) {
        esito = EsitoFile::Altro;
        return false;
    }
    dati.assign(static_cast<size_t>(n), '\0');
    if (n > 0 && !file->Leggi(0, dati.data(), dati.size())) {
        dati.clear();
        esito = EsitoFile::Altro;
        return false;
    }
    esito = EsitoFile::Ok;
    return true;
}

}  // namespace quandora
