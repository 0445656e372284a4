#pragma once
// Trevalto's window put together: FrmMain with its chart's picture, the
// chart model, the run, the start-up and the chart's commands, each wired
// to the window's controls. The window's commands act on these parts
// directly (ComandiFrmMain_win32.cpp).

#include <windows.h>

#include <memory>

#include "chart/Avvio_win32.h"
#include "chart/Comandi_win32.h"
#include "chart/Elaborazione.h"
#include "chart/FrmMain_win32.h"
#include "chart/Grafico.h"
#include "chart/SuperficieGdi_win32.h"

namespace quandora {

class ProgrammaTrevalto final : public ControlliElaborazione,
                                public ListaConti,
                                public PulsantiGrafico {
  public:
    // Creates the window, hidden. When chiudeProgramma is true, closing it
    // ends the thread's message loop.
    explicit ProgrammaTrevalto(bool chiudeProgramma = true);
    ~ProgrammaTrevalto() override;
    ProgrammaTrevalto(const ProgrammaTrevalto&) = delete;
    ProgrammaTrevalto& operator=(const ProgrammaTrevalto&) = delete;

    // The start-up; false when the program must end without showing the
    // window (the reason has been shown).
    bool Form_Initialize();
    // Tooltip of the run button, default dates, day count.
    void Form_Load();

    FrmMain& Finestra() { return *finestra_; }
    GraficoSaldi& Grafico() { return *grafico_; }
    Elaborazione& Run() { return *run_; }
    ComandiGrafico& Comandi() { return *comandi_; }
    FinestraGrafico& Immagine() { return finestra_->Immagine(); }
    // The picture's tooltip text as last set ("" for none), and its control.
    const std::string& TestoTooltip() const { return testoTooltip_; }
    HWND TooltipGrafico() const { return tooltip_; }

    // Mouse events of the picture (chart units).
    void Grafico_MouseMove(int16_t Button, int16_t Shift, float X, float Y);
    void Grafico_MouseUp(int16_t Button, int16_t Shift, float X, float Y);

    // A chart is shown (false while the chart is still being made).
    bool Grafico_Visibile() const;
    // The day count of lblTot, after a date changed.
    void AggiornaTotaleGiorni();

    // ControlliElaborazione
    int32_t ContoSelezionato() override;
    std::string TestoConto() override;
    Data DataIniziale() override;
    Data DataFinale() override;
    bool NoStatistiche() override;
    bool Differenza() override;
    void Abilita(Controllo controllo, bool abilitato) override;
    void CaptionElabora(const std::string& testo) override;
    void PulsanteElabora(bool inCorso, const std::string& tooltip) override;
    void PuntatoreMouse(Puntatore puntatore) override;
    void MostraStato(bool visibile) override;
    void ValoreStato(int valore) override;
    void Chiudi() override;

    // ListaConti
    void AggiungiVoce(const std::string& testo, int32_t dati) override;
    void Seleziona(int indice) override;

    // PulsantiGrafico
    void AbilitaPulsante(const std::string& chiave, bool abilitato) override;

  private:
    void ImpostaTooltip(const std::string& testo);

    std::unique_ptr<FrmMain> finestra_;
    std::unique_ptr<GraficoSaldi> grafico_;
    std::unique_ptr<Elaborazione> run_;
    std::unique_ptr<ComandiGrafico> comandi_;
    HWND tooltip_ = nullptr;
    std::string testoTooltip_;
    std::string testoTooltipAnsi_;
};

// A date picker's value as a date (the day, no time) and back.
Data LeggiDataPicker(HWND picker);
void ScriviDataPicker(HWND picker, Data data);

}  // namespace quandora
