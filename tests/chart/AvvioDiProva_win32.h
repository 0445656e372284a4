#pragma once
// The start-up's collaborators for in-process tests, wired as the program
// wires them but without a window: the account list recorded, a recording
// picture and toolbar, the run over the window's values.

#include <string>
#include <utility>
#include <vector>

#include "chart/Avvio_win32.h"
#include "tests/chart/FinestraDiProva.h"
#include "tests/chart/GraficoDiProva.h"

namespace quandora::test {

struct ContiRegistrati : ListaConti {
    std::vector<std::pair<std::string, int32_t>> voci;
    int selezionata = -1;
    void AggiungiVoce(const std::string& t, int32_t d) override { voci.emplace_back(t, d); }
    void Seleziona(int i) override { selezionata = i; }
};

struct AvvioDiProva {
    ContiRegistrati conti;
    SuperficieRegistrata picture;
    PulsantiRegistrati pulsanti;
    GraficoSaldi grafico{picture, pulsanti};
    FinestraDiProva finestra;
    Elaborazione run{grafico, finestra};

    // The program's start-up, the account list emptied first.
    bool Avvia() {
        conti = ContiRegistrati();
        return InizializzaProgramma(conti, run, grafico);
    }
};

}  // namespace quandora::test
