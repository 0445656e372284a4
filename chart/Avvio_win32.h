#pragma once
// The program's start-up: finding Quandora, checking its version and its
// data, preparing the database path, filling the account list and
// registering the program in Quandora's list of add-on modules.

#include <cstdint>
#include <string>

#include "chart/Elaborazione.h"
#include "chart/Grafico.h"

namespace quandora {

// The account list (CboConti) as the start-up fills it.
class ListaConti {
  public:
    virtual ~ListaConti() = default;
    // Appends an entry with its item data.
    virtual void AggiungiVoce(const std::string& testo, int32_t dati) = 0;
    // Selects an entry (its click handler runs).
    virtual void Seleziona(int indice) = 0;
};

// The version of Quandora the program needs at least.
inline constexpr const char* kVersioneRichiesta = "3.3.0.0";

// Runs the start-up. False when the program must end: the reason has been
// shown in a message box (critical icon) and the window must not be shown.
// Leaves the run's database path in run.PercorsoDatabase.
bool InizializzaProgramma(ListaConti& conti, Elaborazione& run, GraficoSaldi& grafico);

}  // namespace quandora
