#pragma once
// The window as the run sees it, for tests: the controls as plain values the
// test sets, and every change the run makes recorded.

#include <map>
#include <string>
#include <vector>

#include "chart/Elaborazione.h"
#include "util/DataOle.h"

namespace quandora::test {

struct FinestraDiProva : ControlliElaborazione {
    int32_t conto = -1;
    std::string testoConto = "<tutti i conti>";
    Data inizio = DataSerial(2003, 1, 1);
    Data fine = DataSerial(2003, 1, 31);
    bool noStat = false;
    bool differenza = false;
    std::map<Controllo, bool> abilitati;
    std::string caption = "Elabora";
    std::string tooltip;
    Puntatore puntatore = Puntatore::Predefinito;
    bool statoVisibile = false;
    std::vector<int> valori;
    int chiusure = 0;

    int32_t ContoSelezionato() override { return conto; }
    std::string TestoConto() override { return testoConto; }
    Data DataIniziale() override { return inizio; }
    Data DataFinale() override { return fine; }
    bool NoStatistiche() override { return noStat; }
    bool Differenza() override { return differenza; }
    void Abilita(Controllo c, bool a) override { abilitati[c] = a; }
    void CaptionElabora(const std::string& t) override { caption = t; }
    void PulsanteElabora(bool, const std::string& t) override { tooltip = t; }
    void PuntatoreMouse(Puntatore t) override { puntatore = t; }
    void MostraStato(bool v) override { statoVisibile = v; }
    void ValoreStato(int v) override { valori.push_back(v); }
    void Chiudi() override { ++chiusure; }
};

}  // namespace quandora::test
