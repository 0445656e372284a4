// Error reports: the Italian texts of the runtime's error numbers and the
// message box that reports a trapped error.

#include <algorithm>
#include <array>
#include <iterator>
#include <new>

#include "util/Errore.h"
#include "util/Interazione.h"
#include "util/uxUtilita.h"

namespace quandora {

namespace {

struct RigaErrore {
    int32_t numero;
    const char* testo;
};

// Sorted by number: looked up by binary search.
constexpr RigaErrore kTabella[] = {
    {3, "Return senza GoSub"},
    {5, "Chiamata di routine o argomento non valido"},
    {6, "Overflow"},
    {7, "Memoria esaurita"},
    {9, "Indice non compreso nell'intervallo"},
    {10, "Matrice fissa o temporaneamente bloccata"},
    {11, "Divisione per zero"},
    {13, "Tipo non corrispondente"},
    {14, "Spazio per le stringhe esaurito"},
    {16, "Espressione troppo complessa"},
    {17, "Impossibile eseguire l'operazione richiesta"},
    {18, "Interruzione da parte dell'utente"},
    {20, "Resume senza errore"},
    {28, "Spazio dello stack esaurito"},
    {35, "Sub o Function non definita"},
    {47, "Troppi client di applicazioni per la DLL"},
    {48, "Errore durante il caricamento della DLL"},
    {49, "Convenzione di chiamata DLL non valida"},
    {51, "Errore interno"},
    {52, "Nome o numero di file non valido"},
    {53, "Impossibile trovare il file"},
    {54, "Modalità file non valida"},
    {55, "File già aperto"},
    {57, "Errore di I/O periferica"},
    {58, "File già esistente"},
    {59, "Lunghezza del record non valida"},
    {61, "Disco pieno"},
    {62, "Input oltre la fine del file"},
    {63, "Numero di record non valido"},
    {67, "Troppi file"},
    {68, "Periferica non disponibile"},
    {70, "Autorizzazione negata"},
    {71, "Disco non pronto"},
    {74, "Impossibile rinominare con unità diversa"},
    {75, "Errore di accesso al percorso/file"},
    {76, "Impossibile trovare il percorso "},
    {91, "Variabile oggetto o variabile del blocco With non impostata"},
    {92, "Ciclo For non inizializzato"},
    {93, "Stringa di criterio non valida"},
    {94, "Utilizzo non valido di Null"},
    {96,
     "Impossibile intercettare gli eventi dell'oggetto: è già stato raggiunto il numero "
     "massimo di ricevitori di eventi"},
    {97,
     "Impossibile chiamare una funzione Friend su un oggetto che non è un'istanza della "
     "classe che la definisce"},
    {98,
     "Una chiamata di proprietà o di metodo non può includere un riferimento a un oggetto "
     "privato, né come argomento né come valore restituito"},
    {321, "Formato di file non valido"},
    {322, "Impossibile creare il file temporaneo necessario"},
    {325, "Formato non valido nel file di risorse"},
    {380, "Valore della proprietà non valido"},
    {381, "Indice della matrice di proprietà non valido"},
    {382, "Impostazione non supportata in fase di esecuzione"},
    {383, "Impostazione non supportata (proprietà di sola lettura)"},
    {385, "Indice della matrice di proprietà necessario"},
    {387, "Impostazione non consentita"},
    {393, "Lettura non supportata in fase di esecuzione"},
    {394, "Lettura non supportata (proprietà di sola scrittura)"},
    {422, "Proprietà non trovata"},
    {423, "Proprietà o metodo non trovato"},
    {424, "Necessario oggetto"},
    {429, "Il componente ActiveX non può creare l'oggetto"},
    {430, "La classe non supporta l'automazione o l'interfaccia prevista"},
    {432, "Nome di file o di classe non trovato durante l'operazione di automazione"},
    {438, "L'oggetto non supporta questa proprietà o metodo"},
    {440, "Errore di automazione"},
    {442,
     "Connessione alla libreria dei tipi o alla libreria di oggetti del processo remoto "
     "interrotta"},
    {443, "L'oggetto di automazione non ha un valore predefinito"},
    {445, "L'oggetto non supporta questa azione"},
    {446, "L'oggetto non supporta argomenti denominati"},
    {447, "L'oggetto non supporta le impostazioni internazionali correnti"},
    {448, "Argomento denominato non trovato"},
    {449, "Argomento non facoltativo"},
    {450, "Numero di argomenti errato o assegnazione di proprietà non valida"},
    {451,
     "Routine Property Let non definita e routine Property Get che non ha restituito un "
     "oggetto"},
    {452, "Ordinale non valido"},
    {453, "Impossibile trovare la funzione DLL specificata"},
    {454, "Impossibile trovare la risorsa di codice"},
    {455, "Errore di blocco della risorsa di codice"},
    {457, "Chiave già associata a un elemento dell'insieme"},
    {458, "La variabile utilizza un tipo di automazione non supportato"},
    {459, "L'oggetto o la classe non supporta il set di eventi"},
    {460, "Formato degli Appunti non valido"},
    {461, "Metodo o membro dati non trovato"},
    {462, "Il computer server remoto non esiste o non è disponibile."},
    {463, "Classe non registrata nel computer locale."},
    {481, "Immagine non valida"},
    {482, "Errore della stampante"},
    {735, "Impossibile salvare il file in TEMP"},
    {744, "Testo da cercare non trovato"},
    {746, "Sostituzioni troppo lunghe"},
};

static_assert(std::size(kTabella) == 87);

}  // namespace

const char* TestoErroreDiSistema(int32_t numero) {
    const auto it = std::lower_bound(std::begin(kTabella), std::end(kTabella), numero,
                                     [](const RigaErrore& r, int32_t n) { return r.numero < n; });
    if (it == std::end(kTabella) || it->numero != numero) return nullptr;
    return it->testo;
}

Errore ErroreDiSistema(int32_t numero) {
    const char* testo = TestoErroreDiSistema(numero);
    return Errore(numero, testo ? testo : "Errore definito dall'applicazione o dall'oggetto");
}

StatoErrore& ErroreCorrente() {
    thread_local StatoErrore stato;
    return stato;
}

Errore ErroreDaEccezione(const std::exception& e) {
    if (const auto* errore = dynamic_cast<const Errore*>(&e)) return *errore;
    return ErroreDiSistema(dynamic_cast<const std::bad_alloc*>(&e) != nullptr ? 7 : 51);
}

void RiportaEccezione(const std::exception& e) noexcept {
    try {
        ErroreCorrente().Imposta(ErroreDaEccezione(e));
        uxUtilita().PrintErrore();
    } catch (...) {
        // No room left even for the box: nothing more can be said.
        ErroreCorrente().Azzera();
    }
}

std::string uxUtilita::MessaggioErroreITA(int32_t codice) const {
    const char* testo = TestoErroreDiSistema(codice);
    return testo ? std::string(testo) : ErroreCorrente().Descrizione;
}

// The description that the reports show: the current error's own, except
// for 52, whose runtime text speaks of file numbers the user never sees.
std::string uxUtilita::TestoErrore() const {
    if (ErroreCorrente().Numero == 52) return "Impossibile leggere l'unità specificata.";
    return ErroreCorrente().Descrizione;
}

void uxUtilita::PrintErrore() const {
    const std::string titolo = "Errore " + std::to_string(ErroreCorrente().Numero);
    InterazioneAttiva().MsgBox(TestoErrore(), mb::kOk | mb::kIconInformation, titolo);
    ErroreCorrente().Azzera();
}

void uxUtilita::PrintErroreEx(const std::string& inizio) const {
    const std::string titolo = "Errore " + std::to_string(ErroreCorrente().Numero);
    InterazioneAttiva().MsgBox(inizio + ": " + TestoErrore(), mb::kOk | mb::kIconInformation,
                               titolo);
    ErroreCorrente().Azzera();
}

}  // namespace quandora
