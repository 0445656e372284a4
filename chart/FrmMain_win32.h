#pragma once
// FrmMain: Trevalto's single window. The parameters of a run in three frames
// at the top, the chart's picture below them, the toolbar along the top
// edge, the popup menu of the chart and the hidden progress bar, all made
// from the tables of ComandiFrmMain_win32.h.
//
// The window lays its controls out from their design places in twips,
// converted through the screen's resolution (1440 twips to the inch). The
// controls of a frame are children of the window itself, placed at the
// frame's position plus their own inside it; the frames are real group
// boxes below them. So every notification reaches the window's own
// procedure.

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>

#include <array>
#include <memory>
#include <string>

#include "chart/ComandiFrmMain_win32.h"
#include "chart/SuperficieGdi_win32.h"
#include "util/Finestra_win32.h"
#include "util/Gdi_win32.h"

namespace quandora {

class ProgrammaTrevalto;

// Twips to pixels through a device's resolution (1440 twips to the inch).
class Risoluzione {
  public:
    Risoluzione(int dpiX, int dpiY) : dpiX_(dpiX), dpiY_(dpiY) {}
    // The screen's resolution.
    static Risoluzione Schermo();
    int X(int twips) const { return MulDiv(twips, dpiX_, 1440); }
    int Y(int twips) const { return MulDiv(twips, dpiY_, 1440); }
    // The height of a font of the given size in hundredths of a point, as
    // LOGFONT wants it (negative: the character height).
    int AltezzaCarattere(int centesimiDiPunto) const {
        return -MulDiv(centesimiDiPunto, dpiY_, 7200);
    }

  private:
    int dpiX_;
    int dpiY_;
};

class FrmMain : public FinestraBase {
  public:
    static constexpr const char* kTitolo = "Modulo aggiuntivo Quandora [Grafico Trevalto Saldo]";
    static constexpr const char* kClasse = "TrevaltoFrmMain";

    // Control identifiers (WM_COMMAND, GetDlgItem), as IdControllo gives
    // them.
    enum : int {
        kIdGrafico = IdControllo(Controllo::Grafico),
        kIdStato = IdControllo(Controllo::Stato),
        kIdToolbar1 = IdControllo(Controllo::Toolbar1),
        kIdCboConti = IdControllo(Controllo::CboConti),
        kIdDataIniziale = IdControllo(Controllo::DataIniziale),
        kIdDataFinale = IdControllo(Controllo::DataFinale),
        kIdChkNoStat = IdControllo(Controllo::chkNoStat),
        kIdChkDifferenza = IdControllo(Controllo::chkdifferenza),
        kIdCmdElabora = IdControllo(Controllo::cmdElabora),
        kIdLblTot = IdControllo(Controllo::lblTot),
    };
    // The toolbar's buttons have the commands kIdPrimoPulsante + their
    // position (separators left out).
    static constexpr int kIdPrimoPulsante = 100;

    // Creates the window, hidden, with every control; its commands act on
    // programma. When chiudeProgramma is true, destroying the window ends
    // the thread's message loop. Throws Errore when Windows refuses the
    // window.
    FrmMain(ProgrammaTrevalto& programma, bool chiudeProgramma);
    ~FrmMain();

    using FinestraBase::Finestra;
    HWND Finestra(Controllo c) const { return controlli_[static_cast<size_t>(c)]; }
    // The chart's picture, the control Grafico.
    FinestraGrafico& Immagine() { return *immagine_; }
    // The popup menu `mnFile` ("File"), and the menu that holds it (never
    // shown as a menu bar).
    HMENU mnFile() const { return mnFile_; }
    HMENU BarraMenu() const { return barra_.get(); }

    // Keyboard navigation of a dialog (Tab, arrows, Space on a button): the
    // message loop hands every message here first; true when it was
    // handled.
    bool PreTraduciMessaggio(MSG& msg);

    // Applies the layout rules to the window's current size.
    void Ridimensiona();

    // Enables or disables one toolbar button by key (the chart calls it as
    // its visibility changes). While the toolbar is disabled by a run every
    // button shows disabled; its own state comes back with the toolbar.
    void AbilitaPulsante(const std::string& chiave, bool abilitato);
    // Enables or disables the whole toolbar (a run disables it).
    void AbilitaToolbar(bool abilitata);

    // Opens the popup menu at a screen position, its first item the default.
    void ApriMenuGrafico(POINT schermo);
    // The help page beside the program, opened with the program associated
    // with it; a missing page or no association shows nothing.
    void ApriGuida();

    // A run is in progress, as the run reports it: the setter disables or
    // enables the parameters, the toolbar and the run button's look, and the
    // mouse pointer.
    bool Elaborazione_In_Corso() const { return elaborazione_; }
    void Elaborazione_In_Corso(bool valore);
    // Enables the parameters of a run; the run button reads "Elabora" when
    // they are enabled, "Interrompi" when they are not.
    void AbilitaParametri(bool abilita);

    // A new account picked: Windows reports only the person's choice, the
    // program's own selection calls this itself.
    void CboConti_Click();

    // The run button's tooltip.
    void TooltipElabora(const std::string& testo);
    std::string TooltipElabora() const;

  private:
    LRESULT Messaggio(UINT msg, WPARAM wp, LPARAM lp) override;

    void CreaControlli();
    void CreaToolbar();
    void CreaMenu();
    void ImmagineElabora(HWND immagine);
    void AggiornaStatoToolbar();
    void AggiornaMenu();
    bool Abilitato(const Comando& c) const;
    void Notifica(int id, int notifica);
    bool TestoSuggerimento(NMHDR* nm);
    void Form_Resize();
    void DataCambiata();

    ProgrammaTrevalto& programma_;
    bool chiudeProgramma_;
    Risoluzione risoluzione_;
    std::array<HWND, kNumeroControlli> controlli_{};
    std::unique_ptr<FinestraGrafico> immagine_;
    HWND suggerimenti_ = nullptr;
    Carattere regolare_;
    Carattere grassetto_;
    Carattere grande_;
    ListaImmagini ListaImmagine_;
    ListaImmagini listaDisabilitati_;
    ListaImmagini immagineElabora_;
    Menu barra_;
    HMENU mnFile_ = nullptr;
    HWND fuocoSalvato_ = nullptr;
    // Each button's own enabled state and tooltip, by position.
    std::array<bool, 8> pulsantiAbilitati_{};
    std::array<std::string, 8> suggerimentiAnsi_;
    bool toolbarAbilitata_ = true;
    bool elaborazione_ = false;
    bool pronta_ = false;
    // The close that is arriving came from the close box or system menu.
    bool chiusuraUtente_ = false;
};

}  // namespace quandora
