#pragma once
// Errors of the system.
//
// The system raises numbered errors with Italian descriptions and traps them
// in a few places (the window's commands, start-up). Errore carries number
// and description: it is thrown where the system raises and caught where it
// traps. A trap site records what it caught as the thread's current error
// (ErroreCorrente), which the reporting procedures of uxUtilita read and
// clear.

#include <cstdint>
#include <exception>
#include <string>

namespace quandora {

class Errore : public std::exception {
  public:
    Errore(int32_t numero, std::string descrizione)
        : numero_(numero), descrizione_(std::move(descrizione)) {}

    int32_t Numero() const noexcept { return numero_; }
    const std::string& Descrizione() const noexcept { return descrizione_; }
    const char* what() const noexcept override { return descrizione_.c_str(); }

  private:
    int32_t numero_;
    std::string descrizione_;
};

// A runtime error by number, with the runtime's Italian description (the
// table of MessaggioErroreITA): Errore(53, "Impossibile trovare il file").
Errore ErroreDiSistema(int32_t numero);

// The runtime's Italian description of an error number, or nullptr when the
// number is not one of the table's.
const char* TestoErroreDiSistema(int32_t numero);

// The error the calling thread has trapped last: number 0 and an empty
// description when there is none.
struct StatoErrore {
    int32_t Numero = 0;
    std::string Descrizione;

    void Imposta(const Errore& e) {
        Numero = e.Numero();
        Descrizione = e.Descrizione();
    }
    void Azzera() {
        Numero = 0;
        Descrizione.clear();
    }
};

StatoErrore& ErroreCorrente();

// What a trap records for anything thrown: an Errore as it is, a failed
// allocation as error 7 (out of memory), anything else as error 51.
Errore ErroreDaEccezione(const std::exception& e);

// Reports what was thrown as the program reports errors (uxUtilita's
// PrintErrore: a box "Errore <n>" with its Italian text). Never throws.
void RiportaEccezione(const std::exception& e) noexcept;

// Runs the work of a window procedure or of a COM method, whose callers
// are the system's frames, which no C++ exception may cross: what it throws
// is reported (RiportaEccezione) and ripiego returned instead.
template <class Lavoro, class Risultato>
Risultato SenzaEccezioni(Lavoro&& lavoro, Risultato ripiego) noexcept {
    try {
        return lavoro();
    } catch (const std::exception& e) {
        RiportaEccezione(e);
    } catch (...) {
        RiportaEccezione(std::exception());
    }
    return ripiego;
}

}  // namespace quandora
