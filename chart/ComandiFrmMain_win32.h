#pragma once
// The commands that FrmMain's toolbar, popup menu, run button and resize
// start, as the window sees them. The window only dispatches: what each
// command does (the chart model, its file, the picture outputs, the run)
// lives behind this interface, so that the window can be built and tested
// on its own and the commands wired in as they come.

#include <cstdint>

namespace quandora {

class ComandiFrmMain {
  public:
    virtual ~ComandiFrmMain() = default;

    // Toolbar "clear": the chart is hidden and emptied.
    virtual void AzzeraGrafico() = 0;
    // "open", menu "Apri VRT File...".
    virtual void ApriVrt() = 0;
    // "save", menu "Salva come VRT File...".
    virtual void SalvaComeVrt() = 0;
    // "clipboard", menu "Copia in clipboard".
    virtual void CopiaInClipboard() = 0;
    // "undo", menu "Annulla": removes the last mark.
    virtual void AnnullaSegno() = 0;
    // "bitmap", menu "Salva come immagine...".
    virtual void SalvaComeBitmap() = 0;
    // "printer", menu "&Stampa".
    virtual void StampaGrafico() = 0;
    // Menu "Segna punto" (0), "&Segna importo" (1), "&Segna data" (2).
    virtual void SegnaPunto(int16_t tipo) = 0;
    // Menu "Ripulisce": all marks go, the chart stays.
    virtual void RipulisciSegni() = 0;
    // Menu "Aggiorna" and the window's resize: redraws chart and marks.
    virtual void AggiornaGrafico() = 0;
    // The run button: starts a run, or during one offers to stop it.
    virtual void cmdElabora_Click() = 0;

    // A chart is shown (the chart's own state); read by the menu's enabling
    // and by the resize.
    virtual bool Grafico_Visibile() const = 0;

    // The day count of lblTot, after a date changed.
    virtual void AggiornaTotaleGiorni() {}
    // A request to close the window: true (cancel) keeps it open. UnloadMode
    // 0 is the close box or system menu, 1 the program itself, 2 the end of
    // the Windows session, 3 another program.
    virtual bool Form_QueryUnload(int UnloadMode) {
        (void)UnloadMode;
        return false;
    }
};

// The commands while nothing is wired behind the window yet: every command
// does nothing and no chart is ever shown. Trevalto.exe runs with these
// until the chart, its file and picture outputs and the run are connected.
class ComandiNonCollegati : public ComandiFrmMain {
  public:
    void AzzeraGrafico() override {}
    void ApriVrt() override {}
    void SalvaComeVrt() override {}
    void CopiaInClipboard() override {}
    void AnnullaSegno() override {}
    void SalvaComeBitmap() override {}
    void StampaGrafico() override {}
    void SegnaPunto(int16_t) override {}
    void RipulisciSegni() override {}
    void AggiornaGrafico() override {}
    void cmdElabora_Click() override {}
    bool Grafico_Visibile() const override { return false; }
};

}  // namespace quandora
