#include "jet/ErroriJet.h"

namespace quandora::jet {

Errore FileNonTrovato(const std::string& percorso) {
    return Errore(3024, "Impossibile trovare il file '" + percorso + "'.");
}
Errore PasswordNonValida() {
    return Errore(3031, "Password non valida.");
}
Errore FileBloccato(const std::string& percorso) {
    return Errore(3051, "Il motore di database non è in grado di aprire il file '" + percorso +
                            "'. Il file è già aperto in modo esclusivo da un altro utente "
                            "oppure è necessaria l'autorizzazione per visualizzarne i dati.");
}
Errore FileInUso(const std::string& percorso) {
    return Errore(3045, "Impossibile utilizzare '" + percorso + "'. File già in uso.");
}
Errore FormatoNonRiconosciuto(const std::string& percorso) {
    return Errore(3343, "Formato di database '" + percorso + "' non riconosciuto.");
}
Errore DatabaseDanneggiato(const std::string& percorso) {
    return Errore(3049, "Impossibile aprire il database '" + percorso +
                            "'. Potrebbe non trattarsi di un database riconosciuto "
                            "dall'applicazione oppure il file potrebbe essere danneggiato.");
}
Errore TabellaNonTrovata(const std::string& nome) {
    return Errore(3078,
                  "Il motore di database non è in grado di trovare la tabella o la "
                  "query di input '" +
                      nome +
                      "'. Verificare che esista e che il nome sia stato digitato "
                      "correttamente.");
}
Errore ParametriInsufficienti(int previsti) {
    return Errore(3061, "Parametri insufficienti. Previsto " + std::to_string(previsti) + ".");
}
Errore ErroreSintassi(const std::string& espressione) {
    return Errore(3075, "Errore di sintassi (operatore mancante) nell'espressione della query '" +
                            espressione + "'.");
}
Errore ErroreSintassiFrom() {
    return Errore(3131, "Errore di sintassi nella proposizione FROM.");
}
Errore ErroreSintassiQuery() {
    return Errore(3142, "Caratteri trovati dopo la fine dell'istruzione SQL.");
}
Errore NessunRecordCorrente() {
    return Errore(3021, "Nessun record corrente.");
}
Errore ElementoNonTrovato() {
    return Errore(3265, "Elemento non trovato nell'insieme.");
}
Errore CampoAmbiguo(const std::string& nome) {
    return Errore(3079, "Il campo specificato '" + nome +
                            "' potrebbe fare riferimento a più tabelle elencate nella "
                            "proposizione FROM dell'istruzione SQL.");
}
Errore TipiNonCorrispondenti() {
    return Errore(3464, "Tipo di dati non corrispondente nell'espressione criterio.");
}
Errore FunzioneNonDefinita(const std::string& nome) {
    return Errore(3085, "Funzione '" + nome + "' non definita nell'espressione.");
}

Errore OverflowNumerico() {
    return Errore(3349, "Overflow numerico.");
}

}  // namespace quandora::jet
