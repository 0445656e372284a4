#pragma once
// Trevalto's window put together: FrmMain with the chart's picture in the
// place of Grafico, the chart model, the run, the start-up and the chart's
// commands, each wired to the window's controls.

#include <windows.h>

#include <memory>

#include "chart/Avvio_win32.h"
#include "chart/ComandiFrmMain_win32.h"
#include "chart/Comandi_win32.h"
#include "chart/Elaborazione.h"
#include "chart/FrmMain_win32.h"
#include "chart/Grafico.h"
#include "chart/SuperficieGdi_win32.h"

namespace quandora {

class ProgrammaTrevalto final : public ComandiFrmMain,
                                public ControlliElaborazione,
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
    FinestraGrafico& Immagine() { return *immagine_; }
    // The picture's tooltip text as last set ("" for none), and its control.
    const std::string& TestoTooltip() const { return testoTooltip_; }
    HWND TooltipGrafico() const { return tooltip_; }

    // Mouse events of the picture (chart units).
    void Grafico_MouseMove(int16_t Button, int16_t Shift, float X, float Y);
    void Grafico_MouseUp(int16_t Button, int16_t Shift, float X, float Y);

    // ComandiFrmMain
    void AzzeraGrafico() override;
    void ApriVrt() override;
    void SalvaComeVrt() override;
    void CopiaInClipboard() override;
    void AnnullaSegno() override;
    void SalvaComeBitmap() override;
    void StampaGrafico() override;
    void SegnaPunto(int16_t tipo) override;
    void RipulisciSegni() override;
    void AggiornaGrafico() override;
    void cmdElabora_Click() override;
    bool Grafico_Visibile() const override;
    void AggiornaTotaleGiorni() override;
    bool Form_QueryUnload(int UnloadMode) override;

    // ControlliElaborazione
    int32_t ContoSelezionato() override;
    std::string TestoConto() override;
    Data DataIniziale() override;
    Data DataFinale() override;
    bool NoStatistiche() override;
    bool Differenza() override;
    void Abilita(const std::string& controllo, bool abilitato) override;
    void CaptionElabora(const std::string& testo) override;
    void PulsanteElabora(bool inCorso, const std::string& tooltip) override;
    void PuntatoreMouse(int tipo) override;
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
    std::unique_ptr<FinestraGrafico> immagine_;
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
