// FrmMain: the window, its controls at their design places, the layout on
// resize, the toolbar, the popup menu and the help command.
//
// Choices:
// - A frame's controls are the window's children, not the group box's: a
//   group box passes no notification on, so its controls would need their
//   own forwarding. They sit at the frame's origin plus their own position,
//   above the group box in the Z order (the frames go to the bottom), so
//   the box's painting never covers them.
// - Every control clips its siblings: the design lets some overlap (a
//   label's box reaches into the list below it), and the control above in
//   the Z order must show whole.
// - Tab order is the Z order of the controls that take the focus: they are
//   created in the order of the design's tab indexes. The progress bar is
//   raised above the picture so that it shows over it during a run.
// - Enter and Escape do nothing: Enter in the parameters must not start a
//   run, and the window is not closed by a stray key.
// - The window's own font, for the controls that have none of their own,
//   is "MS Sans Serif" 8.25 pt regular: the same face as the frames'.

#include "chart/FrmMain_win32.h"

#include <cstring>
#include <iterator>
#include <vector>

#include "chart/Programma_win32.h"
#include "chart/RisorseTrevalto.h"
#include "util/Errore.h"
#include "util/Modulo.h"
#include "util/Testo.h"
#include "util/uxUtilita.h"

namespace quandora {

namespace {

constexpr const char* kFormatoData = "dd-MM-yyyy";
constexpr const char* kCarattere = "MS Sans Serif";

HICON Icona(int id, int lato) {
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                         IMAGE_ICON, lato, lato, LR_SHARED));
}

Carattere CreaCarattere(const Risoluzione& r, int centesimiDiPunto, bool grassetto) {
    LOGFONTA lf;
    ZeroMemory(&lf, sizeof lf);
    lf.lfHeight = r.AltezzaCarattere(centesimiDiPunto);
    lf.lfWeight = grassetto ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    std::strncpy(lf.lfFaceName, kCarattere, LF_FACESIZE - 1);
    return Carattere(CreateFontIndirectA(&lf));
}

// A control's rectangle in its parent's client coordinates.
RECT RettangoloNelGenitore(HWND controllo) {
    RECT r;
    GetWindowRect(controllo, &r);
    MapWindowPoints(nullptr, GetParent(controllo), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void Sposta(HWND controllo, int x, int y, int larghezza, int altezza) {
    SetWindowPos(controllo, nullptr, x, y, larghezza, altezza,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

}  // namespace

Risoluzione Risoluzione::Schermo() {
    const DCFinestra schermo = PrendiDC(nullptr);
    const int x = GetDeviceCaps(schermo.get(), LOGPIXELSX);
    const int y = GetDeviceCaps(schermo.get(), LOGPIXELSY);
    return Risoluzione(x > 0 ? x : 96, y > 0 ? y : 96);
}

FrmMain::FrmMain(ProgrammaTrevalto& programma, bool chiudeProgramma)
    : programma_(programma),
      chiudeProgramma_(chiudeProgramma),
      risoluzione_(Risoluzione::Schermo()) {
    const HINSTANCE istanza = GetModuleHandleA(nullptr);
    static const bool registrata = [istanza] {
        WNDCLASSEXA c;
        ZeroMemory(&c, sizeof c);
        c.cbSize = sizeof c;
        c.lpfnWndProc = &FinestraBase::Procedura;
        c.hInstance = istanza;
        c.hIcon = Icona(IDI_TREVALTO, GetSystemMetrics(SM_CXICON));
        c.hIconSm = Icona(IDI_TREVALTO, GetSystemMetrics(SM_CXSMICON));
        c.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
        c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        c.lpszClassName = kClasse;
        return RegisterClassExA(&c) != 0;
    }();
    if (!registrata) throw Errore(static_cast<int32_t>(GetLastError()), "RegisterClassEx");

    regolare_ = CreaCarattere(risoluzione_, 825, false);
    grassetto_ = CreaCarattere(risoluzione_, 825, true);
    grande_ = CreaCarattere(risoluzione_, 975, false);

    const DWORD stile = WS_OVERLAPPEDWINDOW;
    RECT r{0, 0, risoluzione_.X(kLarghezzaCliente), risoluzione_.Y(kAltezzaCliente)};
    AdjustWindowRectEx(&r, stile, FALSE, 0);
    const std::string titolo = ToAnsi(kTitolo);
    CreaFinestra(0, kClasse, titolo.c_str(), stile, CW_USEDEFAULT, CW_USEDEFAULT, r.right - r.left,
                 r.bottom - r.top, nullptr, nullptr);
    if (hwnd_ == nullptr) throw Errore(static_cast<int32_t>(GetLastError()), "CreateWindowEx");
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(regolare_.get()), FALSE);
    CreaControlli();
    CreaMenu();
    pronta_ = true;
    Ridimensiona();
}

FrmMain::~FrmMain() {
    // The window goes before the fonts, image lists and menus it uses.
    Distruggi();
}

void FrmMain::CreaControlli() {
    for (const ProgettoControllo& p : ProgettoControlli()) {
        const Rettangolo r = PostoNelCliente(p.controllo);
        const int x = risoluzione_.X(r.sinistra), y = risoluzione_.Y(r.alto);
        const int larghezza = risoluzione_.X(r.larghezza), altezza = risoluzione_.Y(r.altezza);
        HWND& h = controlli_[static_cast<size_t>(p.controllo)];
        if (p.classe == nullptr) {
            immagine_ = std::make_unique<FinestraGrafico>(hwnd_, IdControllo(p.controllo), x, y,
                                                          larghezza, altezza);
            h = immagine_->Finestra();
            continue;
        }
        const std::string testo = ToAnsi(p.testo != nullptr ? p.testo : "");
        h = CreateWindowExA(0, p.classe, testo.c_str(), WS_CHILD | WS_CLIPSIBLINGS | p.stile, x, y,
                            larghezza, altezza, hwnd_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdControllo(p.controllo))),
                            GetModuleHandleA(nullptr), nullptr);
        if (h == nullptr) throw Errore(static_cast<int32_t>(GetLastError()), "CreateWindowEx");
        const HFONT carattere = p.carattere == TipoCarattere::Grassetto ? grassetto_.get()
                                : p.carattere == TipoCarattere::Grande  ? grande_.get()
                                                                        : regolare_.get();
        if (p.carattere != TipoCarattere::Nessuno)
            SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(carattere), FALSE);
    }
    const auto c = [this](Controllo k) { return Finestra(k); };
    SendMessageA(c(Controllo::Stato), PBM_SETRANGE32, 0, 100);
    CreaToolbar();

    // The run button's two pictures; an icon static takes its icon's size:
    // back to the design size.
    for (const auto& [k, icona] : {std::pair{Controllo::imgElabora, IDI_ELABORA},
                                   std::pair{Controllo::imgInterrompi, IDI_INTERROMPI}}) {
        SendMessageA(c(k), STM_SETICON, reinterpret_cast<WPARAM>(Icona(icona, 16)), 0);
        const Rettangolo r = Progetto(k).posto;
        Sposta(c(k), risoluzione_.X(r.sinistra), risoluzione_.Y(r.alto),
               risoluzione_.X(r.larghezza), risoluzione_.Y(r.altezza));
    }
    for (Controllo data : {Controllo::DataIniziale, Controllo::DataFinale}) {
        SendMessageA(c(data), DTM_SETMCFONT, reinterpret_cast<WPARAM>(grande_.get()), FALSE);
        SendMessageA(c(data), DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>(kFormatoData));
    }

    // The closed list shows at its design height.
    {
        // Measured, not assumed: the frame around the field is the
        // control's own business (and Wine reads the field back 2 pixels
        // taller than it was set), so the field is corrected by what the
        // control's height still lacks, twice at most.
        const HWND lista = c(Controllo::CboConti);
        const int voluta = risoluzione_.Y(Progetto(Controllo::CboConti).posto.altezza);
        LRESULT campo = SendMessageA(lista, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
        for (int prova = 0; prova < 2 && campo != CB_ERR; ++prova) {
            RECT chiusa;
            GetWindowRect(lista, &chiusa);
            const int differenza = voluta - static_cast<int>(chiusa.bottom - chiusa.top);
            if (differenza == 0 || campo + differenza <= 0) break;
            campo += differenza;
            SendMessageA(lista, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), campo);
        }
        // The open list: room for a dozen entries below the field.
        const RECT r = RettangoloNelGenitore(lista);
        const LRESULT voce = SendMessageA(lista, CB_GETITEMHEIGHT, 0, 0);
        Sposta(lista, r.left, r.top, r.right - r.left,
               voluta + 12 * static_cast<int>(voce > 0 ? voce : 16) + 2);
    }

    // The run button: its picture above the caption.
    immagineElabora_.reset(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 0));
    ImmagineElabora(c(Controllo::imgElabora));

    // The run button's tooltip.
    suggerimenti_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                    WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
    if (suggerimenti_ != nullptr) {
        TOOLINFOA ti;
        ZeroMemory(&ti, sizeof ti);
        ti.cbSize = TTTOOLINFOA_V1_SIZE;
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = hwnd_;
        ti.uId = reinterpret_cast<UINT_PTR>(c(Controllo::cmdElabora));
        char vuoto[] = "";
        ti.lpszText = vuoto;
        SendMessageA(suggerimenti_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }

    // Painting: the frames below their controls, the progress bar above
    // the picture. The order of the controls that take the focus stays.
    for (Controllo f : {Controllo::fraParametri, Controllo::fraOpzioni, Controllo::fraCmd}) {
        SetWindowPos(c(f), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    SetWindowPos(c(Controllo::Stato), HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void FrmMain::CreaToolbar() {
    const HWND toolbar = Finestra(Controllo::Toolbar1);
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ListaImmagine_.reset(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 8, 0));
    listaDisabilitati_.reset(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 8, 0));
    std::vector<TBBUTTON> pulsanti;
    size_t posizione = 0;
    for (const Comando& p : ComandiToolbar()) {
        TBBUTTON b;
        ZeroMemory(&b, sizeof b);
        if (p.id == 0) {
            b.fsStyle = BTNS_SEP;
        } else {
            b.iBitmap = ImageList_AddIcon(ListaImmagine_.get(), Icona(p.icona, 16));
            ImageList_AddIcon(listaDisabilitati_.get(), Icona(p.icona + IDI_GRIGIO, 16));
            b.idCommand = p.id;
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = BTNS_BUTTON;
            b.dwData = reinterpret_cast<DWORD_PTR>(p.chiave);
            b.iString = -1;
            suggerimentiAnsi_.at(posizione) = p.testo != nullptr ? ToAnsi(p.testo) : "";
            // No chart yet.
            pulsantiAbilitati_.at(posizione) = p.regola == Regola::Sempre;
            ++posizione;
        }
        pulsanti.push_back(b);
    }
    SendMessageA(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(ListaImmagine_.get()));
    SendMessageA(toolbar, TB_SETDISABLEDIMAGELIST, 0,
                 reinterpret_cast<LPARAM>(listaDisabilitati_.get()));
    SendMessageA(toolbar, TB_ADDBUTTONSA, pulsanti.size(),
                 reinterpret_cast<LPARAM>(pulsanti.data()));
    SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
    AggiornaStatoToolbar();
}

void FrmMain::CreaMenu() {
    barra_.reset(CreateMenu());
    Menu popup(CreatePopupMenu());
    if (!barra_ || !popup) throw Errore(static_cast<int32_t>(GetLastError()), "CreateMenu");
    const std::string file = ToAnsi("File");
    AppendMenuA(barra_.get(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup.get()),
                file.c_str());
    // The bar holds the popup menu from here on.
    mnFile_ = popup.release();
    for (const Comando& v : ComandiMenu()) {
        if (v.id == 0) {
            AppendMenuA(mnFile_, MF_SEPARATOR, 0, nullptr);
        } else {
            const std::string t = ToAnsi(v.testo);
            AppendMenuA(mnFile_, MF_STRING, static_cast<UINT_PTR>(v.id), t.c_str());
        }
    }
    SetMenuDefaultItem(mnFile_, 0, TRUE);
}

void FrmMain::ImmagineElabora(HWND immagine) {
    const HICON icona = reinterpret_cast<HICON>(SendMessageA(immagine, STM_GETICON, 0, 0));
    if (icona == nullptr || !immagineElabora_) return;
    if (ImageList_GetImageCount(immagineElabora_.get()) == 0)
        ImageList_AddIcon(immagineElabora_.get(), icona);
    else
        ImageList_ReplaceIcon(immagineElabora_.get(), 0, icona);
    BUTTON_IMAGELIST bi;
    ZeroMemory(&bi, sizeof bi);
    bi.himl = immagineElabora_.get();
    bi.uAlign = BUTTON_IMAGELIST_ALIGN_TOP;
    SendMessageA(Finestra(Controllo::cmdElabora), BCM_SETIMAGELIST, 0,
                 reinterpret_cast<LPARAM>(&bi));
    InvalidateRect(Finestra(Controllo::cmdElabora), nullptr, TRUE);
}

void FrmMain::TooltipElabora(const std::string& testo) {
    if (suggerimenti_ == nullptr) return;
    std::string ansi = ToAnsi(testo);
    TOOLINFOA ti;
    ZeroMemory(&ti, sizeof ti);
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hwnd_;
    ti.uId = reinterpret_cast<UINT_PTR>(Finestra(Controllo::cmdElabora));
    ti.lpszText = ansi.data();
    SendMessageA(suggerimenti_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
}

std::string FrmMain::TooltipElabora() const {
    if (suggerimenti_ == nullptr) return {};
    std::vector<char> testo(1024, '\0');
    TOOLINFOA ti;
    ZeroMemory(&ti, sizeof ti);
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.hwnd = hwnd_;
    ti.uId = reinterpret_cast<UINT_PTR>(Finestra(Controllo::cmdElabora));
    ti.lpszText = testo.data();
    SendMessageA(suggerimenti_, TTM_GETTEXTA, testo.size(), reinterpret_cast<LPARAM>(&ti));
    return FromAnsi(testo.data());
}

bool FrmMain::PreTraduciMessaggio(MSG& msg) {
    if (hwnd_ == nullptr || !IsWindow(hwnd_)) return false;
    return IsDialogMessageA(hwnd_, &msg) != FALSE;
}

// Each statement stands alone: one whose width or height would be negative
// is skipped and the next one runs; there is no minimum size.
void FrmMain::Ridimensiona() {
    if (!pronta_) return;
    RECT cliente;
    GetClientRect(hwnd_, &cliente);
    const int larghezza = cliente.right - cliente.left;
    const int altezza = cliente.bottom - cliente.top;
    const HWND grafico = Finestra(Controllo::Grafico);
    const HWND fraCmd = Finestra(Controllo::fraCmd);

    // The toolbar follows the width by its top alignment.
    SendMessageA(Finestra(Controllo::Toolbar1), TB_AUTOSIZE, 0, 0);

    // 1. Grafico left = 0.
    RECT g = RettangoloNelGenitore(grafico);
    Sposta(grafico, 0, g.top, g.right - g.left, g.bottom - g.top);
    // 2. Grafico width = the inner width.
    g = RettangoloNelGenitore(grafico);
    if (larghezza >= 0) Sposta(grafico, g.left, g.top, larghezza, g.bottom - g.top);
    // 3. Grafico height = the inner height less Grafico's top.
    g = RettangoloNelGenitore(grafico);
    if (altezza - g.top >= 0) Sposta(grafico, g.left, g.top, g.right - g.left, altezza - g.top);
    // 4. fraCmd width = the inner width less fraCmd's left less
    //    fraParametri's left (the same margin on both sides).
    RECT cmd = RettangoloNelGenitore(fraCmd);
    const RECT parametri = RettangoloNelGenitore(Finestra(Controllo::fraParametri));
    const int larghezzaCmd = larghezza - cmd.left - parametri.left;
    if (larghezzaCmd >= 0) Sposta(fraCmd, cmd.left, cmd.top, larghezzaCmd, cmd.bottom - cmd.top);
    // 5. cmdElabora centred in its frame.
    cmd = RettangoloNelGenitore(fraCmd);
    const RECT pulsante = RettangoloNelGenitore(Finestra(Controllo::cmdElabora));
    const int dentro = ((cmd.right - cmd.left) - (pulsante.right - pulsante.left)) / 2;
    Sposta(Finestra(Controllo::cmdElabora), cmd.left + dentro, pulsante.top,
           pulsante.right - pulsante.left, pulsante.bottom - pulsante.top);
    InvalidateRect(fraCmd, nullptr, TRUE);
}

void FrmMain::Form_Resize() {
    Ridimensiona();
    // During a run the chart is left to the run, which draws it at its end.
    if (programma_.Grafico_Visibile() && !Elaborazione_In_Corso())
        programma_.Grafico().AggiornaGrafico();
}

void FrmMain::ApriGuida() {
    const uxUtilita u;
    std::string cartella = CartellaModulo();
    const std::string pagina = u.AggiungiSepDir(cartella) + "Leggimi.htm";
    u.EseguiEx(reinterpret_cast<intptr_t>(hwnd_), pagina, true);
}

void FrmMain::AbilitaPulsante(const std::string& chiave, bool abilitato) {
    size_t posizione = 0;
    for (const Comando& p : ComandiToolbar()) {
        if (p.id == 0) continue;
        if (chiave == p.chiave) {
            pulsantiAbilitati_.at(posizione) = abilitato;
            AggiornaStatoToolbar();
            return;
        }
        ++posizione;
    }
}

void FrmMain::AggiornaStatoToolbar() {
    const HWND toolbar = Finestra(Controllo::Toolbar1);
    if (toolbar == nullptr) return;
    EnableWindow(toolbar, toolbarAbilitata_);
    for (size_t i = 0; i < pulsantiAbilitati_.size(); ++i) {
        SendMessageA(toolbar, TB_ENABLEBUTTON, kIdPrimoPulsante + i,
                     MAKELPARAM(toolbarAbilitata_ && pulsantiAbilitati_[i], 0));
    }
}

bool FrmMain::Abilitato(const Comando& c) const {
    if (Elaborazione_In_Corso()) return false;
    return c.regola == Regola::Sempre || programma_.Grafico_Visibile();
}

// Computed afresh every time the menu opens.
void FrmMain::AggiornaMenu() {
    for (const Comando& v : ComandiMenu()) {
        if (v.id == 0) continue;
        EnableMenuItem(mnFile_, static_cast<UINT>(v.id),
                       MF_BYCOMMAND | (Abilitato(v) ? MF_ENABLED : MF_GRAYED));
    }
}

void FrmMain::ApriMenuGrafico(POINT schermo) {
    SetMenuDefaultItem(mnFile_, 0, TRUE);
    TrackPopupMenuEx(mnFile_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, schermo.x, schermo.y,
                     hwnd_, nullptr);
}

void FrmMain::Elaborazione_In_Corso(bool valore) {
    elaborazione_ = valore;
    AbilitaParametri(!valore);
    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(valore ? 32514 : 32512)));  // WAIT : ARROW
    if (valore) {
        ImmagineElabora(Finestra(Controllo::imgInterrompi));
        TooltipElabora("Interrompe la generazione del grafico");
    } else {
        ImmagineElabora(Finestra(Controllo::imgElabora));
        TooltipElabora("Inizia la generazione del grafico");
    }
    AbilitaToolbar(!valore);
}

void FrmMain::AbilitaToolbar(bool abilitata) {
    toolbarAbilitata_ = abilitata;
    AggiornaStatoToolbar();
}

void FrmMain::AbilitaParametri(bool abilita) {
    for (Controllo c : {Controllo::DataIniziale, Controllo::DataFinale, Controllo::chkNoStat,
                        Controllo::CboConti, Controllo::chkdifferenza})
        EnableWindow(Finestra(c), abilita);
    const std::string testo = ToAnsi(abilita ? "Elabora" : "Interrompi");
    SetWindowTextA(Finestra(Controllo::cmdElabora), testo.c_str());
}

// A new account or date makes the chart shown stale: it goes.
void FrmMain::CboConti_Click() {
    programma_.Grafico().AzzeraGrafico();
}
void FrmMain::DataCambiata() {
    programma_.Grafico().AzzeraGrafico();
    programma_.AggiornaTotaleGiorni();
}

void FrmMain::Notifica(int id, int notifica) {
    if (const Comando* c = CercaComando(id)) {
        c->esegui(programma_);
        return;
    }
    if (id == IdControllo(Controllo::cmdElabora) && notifica == BN_CLICKED)
        programma_.Run().cmdElabora_Click();
    if (id == IdControllo(Controllo::CboConti) && notifica == CBN_SELCHANGE) CboConti_Click();
}

// The toolbar's tooltips, by the button's command.
bool FrmMain::TestoSuggerimento(NMHDR* nm) {
    const int i = static_cast<int>(nm->idFrom) - kIdPrimoPulsante;
    if (i < 0 || i >= static_cast<int>(suggerimentiAnsi_.size())) return false;
    if (nm->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(nm);
        info->hinst = nullptr;
        info->lpszText = suggerimentiAnsi_[i].data();
        return true;
    }
    if (nm->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(nm);
        info->hinst = nullptr;
        info->szText[0] = L'\0';
        MultiByteToWideChar(CP_ACP, 0, suggerimentiAnsi_[i].c_str(), -1, info->szText,
                            static_cast<int>(std::size(info->szText)));
        info->szText[std::size(info->szText) - 1] = L'\0';
        info->lpszText = info->szText;
        return true;
    }
    return false;
}

LRESULT FrmMain::Messaggio(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SIZE:
            if (pronta_) Form_Resize();
            return 0;
        case WM_COMMAND:
            // The window has no default button: Enter (IDOK) and Escape
            // (IDCANCEL) from the dialog keys do nothing.
            Notifica(LOWORD(wp), HIWORD(wp));
            return 0;
        case WM_NOTIFY: {
            auto* nm = reinterpret_cast<NMHDR*>(lp);
            if (nm->code == DTN_DATETIMECHANGE) {
                if (nm->hwndFrom == Finestra(Controllo::DataIniziale) ||
                    nm->hwndFrom == Finestra(Controllo::DataFinale)) {
                    DataCambiata();
                }
                return 0;
            }
            if (TestoSuggerimento(nm)) return 0;
            break;
        }
        case WM_INITMENUPOPUP:
            if (reinterpret_cast<HMENU>(wp) == mnFile_) {
                AggiornaMenu();
                return 0;
            }
            break;
        case WM_SETCURSOR:
            if (elaborazione_) {
                SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));  // IDC_WAIT
                return TRUE;
            }
            break;
        case WM_ACTIVATE:
            // As a dialog: the focus comes back where it was.
            if (LOWORD(wp) == WA_INACTIVE) {
                fuocoSalvato_ = GetFocus();
            } else {
                HWND fuoco = fuocoSalvato_;
                if (fuoco == nullptr || !IsWindow(fuoco) || !IsWindowEnabled(fuoco))
                    fuoco = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
                if (fuoco != nullptr) SetFocus(fuoco);
                return 0;
            }
            break;
        case WM_SYSCOMMAND:
            if ((wp & 0xFFF0) == SC_CLOSE) chiusuraUtente_ = true;
            break;
        case WM_CLOSE: {
            // The close box and the system menu (and Alt+F4) come through
            // SC_CLOSE; any other WM_CLOSE was sent by another program.
            const int modo = chiusuraUtente_ ? 0 : 3;
            chiusuraUtente_ = false;
            if (programma_.Run().Form_QueryUnload(modo)) return 0;
            break;
        }
        case WM_QUERYENDSESSION:
            // The session may end: a run in progress stops first, and the
            // window closes after it.
            programma_.Run().Form_QueryUnload(2);
            return TRUE;
        case WM_DESTROY:
            if (chiudeProgramma_) PostQuitMessage(0);
            break;
        default:
            break;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

}  // namespace quandora
