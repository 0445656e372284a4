#pragma once
// Charts for the tests: a model wired to a recording picture and to a
// toolbar that records what it is told, with the Italian symbols.

#include <string>
#include <utility>
#include <vector>

#include "chart/Grafico.h"
#include "tests/support/SuperficieRegistrata.h"

namespace quandora::test {

class PulsantiRegistrati : public PulsantiGrafico {
  public:
    std::vector<std::pair<std::string, bool>> Chiamate;
    void AbilitaPulsante(const std::string& chiave, bool abilitato) override {
        Chiamate.emplace_back(chiave, abilitato);
    }
};

// A chart of the amounts given, one a day from inizio, as a run leaves it
// (marks emptied), not yet drawn.
inline void Riempi(GraficoSaldi& g, Data inizio, const std::vector<double>& importi,
                   const std::string& conto = "Conto corrente") {
    g.AzzeraGrafico();
    TestataGrafico& t = g.Testata;
    t.NumeroGiorni = static_cast<int32_t>(importi.size());
    t.DataInizio = inizio;
    t.DataFine = inizio + static_cast<double>(importi.size()) - 1;
    t.ImpostaDescrizione(conto);
    g.Saldi.clear();
    for (size_t i = 0; i < importi.size(); ++i) {
        g.Saldi.push_back(PuntoSaldo{static_cast<int32_t>(i + 1), inizio + i, importi[i]});
        if (i == 0 || importi[i] < t.SaldoMinimo) t.SaldoMinimo = importi[i];
        if (i == 0 || importi[i] > t.SaldoMassimo) t.SaldoMassimo = importi[i];
    }
    g.AzzeraSegni();
}

struct GraficoDiProva {
    SuperficieRegistrata Picture;
    PulsantiRegistrati Toolbar;
    GraficoSaldi Grafico{Picture, Toolbar};

    GraficoDiProva() {
        Grafico.Simboli = [] { return SimboliNumerici{",", "."}; };
        Grafico.AzzeraSegni();
    }

    void Riempi(Data inizio, const std::vector<double>& importi,
                const std::string& conto = "Conto corrente") {
        test::Riempi(Grafico, inizio, importi, conto);
        Picture.Dimentica();
        Toolbar.Chiamate.clear();
    }
};

}  // namespace quandora::test
