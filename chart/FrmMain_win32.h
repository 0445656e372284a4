#pragma once
// FrmMain: Trevalto's single window. The parameters of a run in three frames
// at the top, the chart's picture below them, the toolbar along the top
// edge, the popup menu of the chart and the hidden progress bar.
//
// The window lays its controls out from their design positions in twips,
// converted through the screen's resolution (1440 twips to the inch). The
// controls of a frame are children of the window itself, placed at the
// frame's position plus their own inside it; the frames are real group
// boxes below them. So every notification reaches the window's own
// procedure, and the layout moves a frame's control by the frame's origin.
//
// What the commands do lies behind ComandiFrmMain (chart, file, picture
// outputs, the run); the window dispatches to it and keeps the enabling
// rules of its toolbar and menu.
//
// Still to be wired (the window has the seams for them):
// - the chart's picture: `Grafico` is a temporary white child window
//   (SegnapostoGrafico) until the chart's picture control takes its place;
//   its right click reaches the popup menu through WM_CONTEXTMENU;
// - the start-up (Form_Initialize, Form_Load, the account list, the day
//   count of lblTot in the date handlers) and the run (cmdElabora_Click
//   through ComandiFrmMain, the closing rules of Form_QueryUnload in
//   WM_CLOSE): the window now starts with an empty account list and closes
//   when asked.

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>

#include <array>
#include <string>

#include "chart/ComandiFrmMain_win32.h"
#include "util/Finestra_win32.h"
#include "util/Gdi_win32.h"

namespace quandora {

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
    int DpiX() const { return dpiX_; }
    int DpiY() const { return dpiY_; }

  private:
    int dpiX_;
    int dpiY_;
};

// The window's controls, as their handles.
struct ControlliFrmMain {
    HWND Toolbar1 = nullptr;
    HWND fraParametri = nullptr;
    HWND Label3 = nullptr;
    HWND CboConti = nullptr;
    HWND Label1 = nullptr;
    HWND Label2 = nullptr;
    HWND DataIniziale = nullptr;
    HWND DataFinale = nullptr;
    HWND lblTot = nullptr;
    HWND fraOpzioni = nullptr;
    HWND chkNoStat = nullptr;
    HWND chkdifferenza = nullptr;
    HWND fraCmd = nullptr;
    HWND cmdElabora = nullptr;
    HWND Grafico = nullptr;
    HWND Stato = nullptr;
    HWND imgElabora = nullptr;
    HWND imgInterrompi = nullptr;
};

class FrmMain : public FinestraBase {
  public:
    static constexpr const char* kTitolo = "Modulo aggiuntivo Quandora [Grafico Trevalto Saldo]";
    static constexpr const char* kClasse = "TrevaltoFrmMain";

    // Control identifiers (WM_COMMAND, GetDlgItem).
    enum IdControllo : int {
        kIdGrafico = 1000,
        kIdStato,
        kIdToolbar1,
        kIdFraParametri,
        kIdCboConti,
        kIdDataIniziale,
        kIdDataFinale,
        kIdLabel3,
        kIdLabel2,
        kIdLabel1,
        kIdFraOpzioni,
        kIdChkNoStat,
        kIdChkDifferenza,
        kIdFraCmd,
        kIdCmdElabora,
        kIdLblTot,
        kIdImgElabora,
        kIdImgInterrompi,
    };
    // The toolbar's buttons have the commands kIdPrimoPulsante + their
    // position (0 to 7); the popup menu's items these.
    static constexpr int kIdPrimoPulsante = 100;
    enum IdMenu : int {
        kMnSegna = 200,
        kMnImporto,
        kMnData,
        kMnAnnulla,
        kMnClear,
        kMnClip,
        kMnSalva,
        kMnSalvaVrt,
        kMnApriVrt,
        kMnRefresh,
        kMnStampa,
    };

    // Creates the window, hidden, with every control. When chiudeProgramma
    // is true, destroying the window ends the thread's message loop.
    // Throws Errore when Windows refuses the window.
    explicit FrmMain(ComandiFrmMain& comandi, bool chiudeProgramma = false);
    ~FrmMain();

    const ControlliFrmMain& Controlli() const { return c_; }
    // The popup menu `mnFile` ("File"), and the menu that holds it (never
    // shown as a menu bar).
    HMENU mnFile() const { return mnFile_; }
    HMENU BarraMenu() const { return barra_.get(); }

    // Keyboard navigation of a dialog (Tab, arrows, Enter for the run
    // button): the message loop hands every message here first; true when
    // it was handled.
    bool PreTraduciMessaggio(MSG& msg);

    // Applies the layout rules to the window's current size.
    void Ridimensiona();

    // The toolbar's button event: the key of the clicked button selects
    // the command (case-sensitive; an unknown key does nothing).
    void Toolbar1_ButtonClick(const std::string& chiave);
    // Enables or disables one toolbar button by key (the chart calls it as
    // its visibility changes). While the toolbar is disabled by a run every
    // button shows disabled; its own state comes back with the toolbar.
    void AbilitaPulsante(const std::string& chiave, bool abilitato);
    // The five buttons that need a chart: "save", "clipboard", "undo",
    // "bitmap", "printer".
    void AbilitaPulsantiGrafico(bool graficoVisibile);

    // Sets the popup menu's enabled items; runs every time it opens.
    void mnFile_Click();
    // Opens the popup menu at a screen position, `mnSegna` as its default.
    void ApriMenuGrafico(POINT schermo);

    // A run is in progress, as the run reports it: the setter disables or
    // enables the parameters, the toolbar and the run button's look, and the
    // mouse pointer. The run itself (and its stop request) belongs to the
    // run's object; this is the window's view of it.
    bool Elaborazione_In_Corso() const { return elaborazione_; }
    void Elaborazione_In_Corso(bool valore);
    // Enables the parameters of a run; the run button reads "Elabora" when
    // they are enabled, "Interrompi" when they are not.
    void AbilitaParametri(bool abilita);

    // The parameters changed: a new account picked, a date changed. Windows
    // reports only the person's changes; a change made by the program (the
    // start-up's selection of the first account) calls these itself.
    void CboConti_Click();
    void DataIniziale_Change();
    void DataFinale_Change();

    // Enables or disables the whole toolbar (a run disables it); each
    // button's own state comes back with it.
    void AbilitaToolbar(bool abilitata);

    // Puts the chart's picture in the place of Grafico: the window nuovo (a
    // child of this window) takes Grafico's place, size, identifier and
    // tab position, and the window Grafico had until then is destroyed.
    void SostituisciGrafico(HWND nuovo);

    // The run button's tooltip.
    void TooltipElabora(const std::string& testo);
    std::string TooltipElabora() const;

  private:
    LRESULT Messaggio(UINT msg, WPARAM wp, LPARAM lp) override;

    void CreaControlli();
    void CreaToolbar();
    void CreaMenu();
    HWND Crea(const char* classe, const char* testo, DWORD stile, int id, int sinistra, int alto,
              int larghezza, int altezza, DWORD stileEsteso = 0);
    void ImmagineElabora(HWND immagine);
    void AggiornaStatoToolbar();
    void Comando(int id, int notifica);
    bool TestoSuggerimento(NMHDR* nm);

    void Form_Resize();
    void ApriGuida();

    void mnSegna_Click();
    void mnimporto_Click();
    void mndata_Click();
    void mnAnnulla_Click();
    void mnclear_Click();
    void mnclip_Click();
    void mnSalva_Click();
    void mnSalvaVrt_Click();
    void mnApriVrt_Click();
    void mnRefresh_Click();
    void mnstampa_Click();

    ComandiFrmMain& comandi_;
    bool chiudeProgramma_;
    Risoluzione risoluzione_;
    ControlliFrmMain c_;
    HWND suggerimenti_ = nullptr;
    Carattere carattere_;
    Carattere grassetto_;
    Carattere regolare975_;
    ListaImmagini ListaImmagine_;
    ListaImmagini listaDisabilitati_;
    ListaImmagini immagineElabora_;
    Menu barra_;
    HMENU mnFile_ = nullptr;
    HWND fuocoSalvato_ = nullptr;
    // Each button's own enabled state, by position.
    std::array<bool, 8> pulsantiAbilitati_{};
    bool toolbarAbilitata_ = true;
    bool elaborazione_ = false;
    bool pronta_ = false;
    // The close that is arriving came from the close box or system menu.
    bool chiusuraUtente_ = false;
    std::array<std::string, 8> suggerimentiAnsi_;
};

}  // namespace quandora
