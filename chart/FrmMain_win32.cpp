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
// - Enter clicks the run button wherever the focus is (it is the default
//   button, as in a dialog); Escape does nothing, so that the window is not
//   closed by a stray key.
// - The window's own font, for the controls that have none of their own,
//   is "MS Sans Serif" 8.25 pt regular: the same face as the frames'.

#include "chart/FrmMain_win32.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "chart/RisorseTrevalto.h"
#include "util/Errore.h"
#include "util/Modulo.h"
#include "util/Testo.h"
#include "util/uxUtilita.h"

namespace quandora {

namespace {

// Design positions in twips: left, top, width, height (inside a frame,
// relative to the frame).
struct Rettangolo {
    int sinistra, alto, larghezza, altezza;
};

constexpr int kLarghezzaCliente = 12330;
constexpr int kAltezzaCliente = 7725;

constexpr Rettangolo kToolbar1{0, 0, 12330, 360};
constexpr Rettangolo kFraParametri{120, 480, 4335, 2055};
constexpr Rettangolo kLabel3{120, 240, 1335, 495};
constexpr Rettangolo kCboConti{120, 480, 3855, 360};
constexpr Rettangolo kLabel1{120, 960, 1335, 375};
constexpr Rettangolo kLabel2{2280, 960, 1335, 375};
constexpr Rettangolo kDataIniziale{120, 1200, 1695, 375};
constexpr Rettangolo kDataFinale{2280, 1200, 1695, 375};
constexpr Rettangolo kLblTot{120, 1680, 3855, 300};
constexpr Rettangolo kFraOpzioni{4560, 480, 4935, 2055};
constexpr Rettangolo kChkNoStat{240, 480, 4215, 255};
constexpr Rettangolo kChkDifferenza{240, 840, 3615, 495};
constexpr Rettangolo kFraCmd{9600, 480, 1215, 2055};
constexpr Rettangolo kCmdElabora{120, 600, 975, 735};
constexpr Rettangolo kGrafico{120, 2640, 8055, 4215};
constexpr Rettangolo kStato{0, 7350, 12330, 375};
constexpr Rettangolo kImgElabora{8400, 3360, 240, 240};
constexpr Rettangolo kImgInterrompi{8400, 3000, 240, 240};

constexpr const char* kFormatoData = "dd-MM-yyyy";
constexpr const char* kCarattere = "MS Sans Serif";

struct Pulsante {
    const char* chiave;   // nullptr: a separator
    const char* tooltip;  // nullptr: none
    int icona;
};

// The toolbar, left to right; separators between the groups.
constexpr Pulsante kPulsanti[] = {
    {"clear", "Nuovo grafico", IDI_NUOVO},
    {"open", "Apri file Grafico Trevalto Saldo...", IDI_APRI},
    {"save", "Salva Grafico Trevalto Saldo come file...", IDI_SALVA},
    {nullptr, nullptr, 0},
    {"clipboard", "Copia l'immagine del grafico negli appunti di sistema", IDI_APPUNTI},
    {"undo", "Annulla l'ultima operazione", IDI_ANNULLA},
    {"bitmap", "Esporta Grafico come file immagine bitmap...", IDI_IMMAGINE},
    {nullptr, nullptr, 0},
    {"printer", "Stampa Grafico Trevalto Saldo", IDI_STAMPANTE},
    {nullptr, nullptr, 0},
    {"help", nullptr, IDI_GUIDA},
};

// The buttons in order of position (separators left out).
std::vector<const Pulsante*> PulsantiInOrdine() {
    std::vector<const Pulsante*> p;
    for (const auto& b : kPulsanti)
        if (b.chiave != nullptr) p.push_back(&b);
    return p;
}

int PosizionePulsante(const std::string& chiave) {
    const auto p = PulsantiInOrdine();
    for (size_t i = 0; i < p.size(); ++i)
        if (chiave == p[i]->chiave) return static_cast<int>(i);
    return -1;
}

constexpr const char* kPulsantiGrafico[] = {"save", "clipboard", "undo", "bitmap", "printer"};

constexpr const char* kClasseSegnaposto = "TrevaltoSegnapostoGrafico";

HICON Icona(int id, int lato) {
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                         IMAGE_ICON, lato, lato, LR_SHARED));
}

void RegistraClassi() {
    static const bool registrate = [] {
        const HINSTANCE istanza = GetModuleHandleA(nullptr);
        WNDCLASSEXA c;
        ZeroMemory(&c, sizeof c);
        c.cbSize = sizeof c;
        c.lpfnWndProc = DefWindowProcA;
        c.hInstance = istanza;
        c.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
        // Until the chart's picture takes its place: a white area.
        c.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        c.lpszClassName = kClasseSegnaposto;
        RegisterClassExA(&c);
        return true;
    }();
    (void)registrate;
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

FrmMain::FrmMain(ComandiFrmMain& comandi, bool chiudeProgramma)
    : comandi_(comandi), chiudeProgramma_(chiudeProgramma), risoluzione_(Risoluzione::Schermo()) {
    RegistraClassi();
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

    carattere_ = CreaCarattere(risoluzione_, 825, false);
    grassetto_ = CreaCarattere(risoluzione_, 825, true);
    regolare975_ = CreaCarattere(risoluzione_, 975, false);

    const DWORD stile = WS_OVERLAPPEDWINDOW;
    RECT r{0, 0, risoluzione_.X(kLarghezzaCliente), risoluzione_.Y(kAltezzaCliente)};
    AdjustWindowRectEx(&r, stile, FALSE, 0);
    const std::string titolo = ToAnsi(kTitolo);
    CreaFinestra(0, kClasse, titolo.c_str(), stile, CW_USEDEFAULT, CW_USEDEFAULT, r.right - r.left,
                 r.bottom - r.top, nullptr, nullptr);
    if (hwnd_ == nullptr) throw Errore(static_cast<int32_t>(GetLastError()), "CreateWindowEx");
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(carattere_.get()), FALSE);
    CreaControlli();
    CreaMenu();
    pronta_ = true;
    Ridimensiona();
}

FrmMain::~FrmMain() {
    // The window goes before the fonts, image lists and menus it uses.
    Distruggi();
}

HWND FrmMain::Crea(const char* classe, const char* testo, DWORD stile, int id, int sinistra,
                   int alto, int larghezza, int altezza, DWORD stileEsteso) {
    const std::string t = ToAnsi(testo != nullptr ? testo : "");
    HWND h = CreateWindowExA(stileEsteso, classe, t.c_str(), WS_CHILD | WS_CLIPSIBLINGS | stile,
                             risoluzione_.X(sinistra), risoluzione_.Y(alto),
                             risoluzione_.X(larghezza), risoluzione_.Y(altezza), hwnd_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             GetModuleHandleA(nullptr), nullptr);
    if (h == nullptr) throw Errore(static_cast<int32_t>(GetLastError()), "CreateWindowEx");
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(carattere_.get()), FALSE);
    return h;
}

void FrmMain::CreaControlli() {
    const auto dentro = [](const Rettangolo& cornice, const Rettangolo& r) {
        return Rettangolo{cornice.sinistra + r.sinistra, cornice.alto + r.alto, r.larghezza,
                          r.altezza};
    };
    const auto crea = [this](const char* classe, const char* testo, DWORD stile, int id,
                             const Rettangolo& r, DWORD stileEsteso = 0) {
        return Crea(classe, testo, stile, id, r.sinistra, r.alto, r.larghezza, r.altezza,
                    stileEsteso);
    };
    const DWORD tab = WS_VISIBLE | WS_TABSTOP | WS_GROUP;

    // In the order of the design's tab indexes.
    c_.Grafico = crea(kClasseSegnaposto, nullptr, WS_VISIBLE | WS_CLIPSIBLINGS, kIdGrafico,
                      kGrafico, WS_EX_CLIENTEDGE);
    c_.Stato = crea(PROGRESS_CLASSA, nullptr, WS_CLIPSIBLINGS, kIdStato, kStato);
    SendMessageA(c_.Stato, PBM_SETRANGE32, 0, 100);
    CreaToolbar();

    c_.fraParametri =
        crea(WC_BUTTONA, "Parametri ", WS_VISIBLE | BS_GROUPBOX, kIdFraParametri, kFraParametri);
    c_.CboConti = crea(WC_COMBOBOXA, nullptr, tab | WS_VSCROLL | CBS_DROPDOWNLIST, kIdCboConti,
                       dentro(kFraParametri, kCboConti));
    c_.DataIniziale = crea(DATETIMEPICK_CLASSA, nullptr, tab | DTS_SHORTDATEFORMAT, kIdDataIniziale,
                           dentro(kFraParametri, kDataIniziale));
    c_.DataFinale = crea(DATETIMEPICK_CLASSA, nullptr, tab | DTS_SHORTDATEFORMAT, kIdDataFinale,
                         dentro(kFraParametri, kDataFinale));
    c_.Label3 =
        crea(WC_STATICA, "Conto:", WS_VISIBLE | SS_LEFT, kIdLabel3, dentro(kFraParametri, kLabel3));
    c_.Label2 = crea(WC_STATICA, "Data Finale:", WS_VISIBLE | SS_LEFT, kIdLabel2,
                     dentro(kFraParametri, kLabel2));
    c_.Label1 = crea(WC_STATICA, "Data Iniziale:", WS_VISIBLE | SS_LEFT, kIdLabel1,
                     dentro(kFraParametri, kLabel1));

    c_.fraOpzioni =
        crea(WC_BUTTONA, "Opzioni ", WS_VISIBLE | BS_GROUPBOX, kIdFraOpzioni, kFraOpzioni);
    c_.chkNoStat = crea(WC_BUTTONA, "Esclude i movimenti con il flag No Statistiche",
                        tab | BS_AUTOCHECKBOX, kIdChkNoStat, dentro(kFraOpzioni, kChkNoStat));
    c_.chkdifferenza = crea(WC_BUTTONA, "Relativo rispetto al saldo della data iniziale",
                            tab | BS_AUTOCHECKBOX | BS_MULTILINE, kIdChkDifferenza,
                            dentro(kFraOpzioni, kChkDifferenza));

    c_.fraCmd = crea(WC_BUTTONA, "Comandi ", WS_VISIBLE | BS_GROUPBOX, kIdFraCmd, kFraCmd);
    // Not a default button: Enter in the parameters must not start a run,
    // which drops the chart on the screen and its marks.
    c_.cmdElabora = crea(WC_BUTTONA, "Elabora", tab | BS_PUSHBUTTON, kIdCmdElabora,
                         dentro(kFraCmd, kCmdElabora));
    c_.lblTot = crea(WC_STATICA, "Totale giorni:", WS_VISIBLE | SS_LEFT, kIdLblTot,
                     dentro(kFraParametri, kLblTot));

    // The run button's two pictures, kept in hidden images as the button
    // borrows them.
    c_.imgElabora = crea(WC_STATICA, nullptr, SS_ICON, kIdImgElabora, kImgElabora);
    c_.imgInterrompi = crea(WC_STATICA, nullptr, SS_ICON, kIdImgInterrompi, kImgInterrompi);
    SendMessageA(c_.imgElabora, STM_SETICON, reinterpret_cast<WPARAM>(Icona(IDI_ELABORA, 16)), 0);
    SendMessageA(c_.imgInterrompi, STM_SETICON, reinterpret_cast<WPARAM>(Icona(IDI_INTERROMPI, 16)),
                 0);
    // An icon static takes its icon's size: back to the design size.
    for (const auto& [h, r] :
         {std::pair{c_.imgElabora, kImgElabora}, std::pair{c_.imgInterrompi, kImgInterrompi}}) {
        Sposta(h, risoluzione_.X(r.sinistra), risoluzione_.Y(r.alto), risoluzione_.X(r.larghezza),
               risoluzione_.Y(r.altezza));
    }

    // Fonts of their own.
    for (HWND f : {c_.fraParametri, c_.fraOpzioni, c_.fraCmd})
        SendMessageA(f, WM_SETFONT, reinterpret_cast<WPARAM>(grassetto_.get()), FALSE);
    for (HWND f : {c_.CboConti, c_.DataIniziale, c_.DataFinale}) {
        SendMessageA(f, WM_SETFONT, reinterpret_cast<WPARAM>(regolare975_.get()), FALSE);
    }
    for (HWND f : {c_.DataIniziale, c_.DataFinale}) {
        SendMessageA(f, DTM_SETMCFONT, reinterpret_cast<WPARAM>(regolare975_.get()), FALSE);
        SendMessageA(f, DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>(kFormatoData));
    }

    // The closed list shows at its design height.
    {
        // Measured, not assumed: the frame around the field is the
        // control's own business (and Wine reads the field back 2 pixels
        // taller than it was set), so the field is corrected by what the
        // control's height still lacks, twice at most.
        const int voluta = risoluzione_.Y(kCboConti.altezza);
        LRESULT campo = SendMessageA(c_.CboConti, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
        for (int prova = 0; prova < 2 && campo != CB_ERR; ++prova) {
            RECT chiusa;
            GetWindowRect(c_.CboConti, &chiusa);
            const int differenza = voluta - static_cast<int>(chiusa.bottom - chiusa.top);
            if (differenza == 0 || campo + differenza <= 0) break;
            campo += differenza;
            SendMessageA(c_.CboConti, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), campo);
        }
        // The open list: room for a dozen entries below the field.
        const RECT r = RettangoloNelGenitore(c_.CboConti);
        const LRESULT voce = SendMessageA(c_.CboConti, CB_GETITEMHEIGHT, 0, 0);
        Sposta(c_.CboConti, r.left, r.top, r.right - r.left,
               risoluzione_.Y(kCboConti.altezza) + 12 * static_cast<int>(voce > 0 ? voce : 16) + 2);
    }

    // The run button: its picture above the caption.
    immagineElabora_.reset(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 0));
    ImmagineElabora(c_.imgElabora);

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
        ti.uId = reinterpret_cast<UINT_PTR>(c_.cmdElabora);
        char vuoto[] = "";
        ti.lpszText = vuoto;
        SendMessageA(suggerimenti_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }

    // Painting: the frames below their controls, the progress bar above
    // the picture. The order of the controls that take the focus stays.
    for (HWND f : {c_.fraParametri, c_.fraOpzioni, c_.fraCmd}) {
        SetWindowPos(f, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    SetWindowPos(c_.Stato, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void FrmMain::CreaToolbar() {
    c_.Toolbar1 = CreateWindowExA(
        0, TOOLBARCLASSNAMEA, nullptr,
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP, 0, 0,
        risoluzione_.X(kToolbar1.larghezza), risoluzione_.Y(kToolbar1.altezza), hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdToolbar1)), GetModuleHandleA(nullptr),
        nullptr);
    if (c_.Toolbar1 == nullptr) throw Errore(static_cast<int32_t>(GetLastError()), "Toolbar");
    SendMessageA(c_.Toolbar1, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);

    ListaImmagine_.reset(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 8, 0));
    listaDisabilitati_.reset(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 8, 0));
    std::vector<TBBUTTON> pulsanti;
    int posizione = 0;
    for (const auto& p : kPulsanti) {
        TBBUTTON b;
        ZeroMemory(&b, sizeof b);
        if (p.chiave == nullptr) {
            b.fsStyle = BTNS_SEP;
        } else {
            b.iBitmap = ImageList_AddIcon(ListaImmagine_.get(), Icona(p.icona, 16));
            ImageList_AddIcon(listaDisabilitati_.get(), Icona(p.icona + IDI_GRIGIO, 16));
            b.idCommand = kIdPrimoPulsante + posizione;
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = BTNS_BUTTON;
            b.dwData = reinterpret_cast<DWORD_PTR>(p.chiave);
            b.iString = -1;
            suggerimentiAnsi_[posizione] = p.tooltip != nullptr ? ToAnsi(p.tooltip) : "";
            pulsantiAbilitati_[posizione] = true;
            ++posizione;
        }
        pulsanti.push_back(b);
    }
    SendMessageA(c_.Toolbar1, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(ListaImmagine_.get()));
    SendMessageA(c_.Toolbar1, TB_SETDISABLEDIMAGELIST, 0,
                 reinterpret_cast<LPARAM>(listaDisabilitati_.get()));
    SendMessageA(c_.Toolbar1, TB_ADDBUTTONSA, pulsanti.size(),
                 reinterpret_cast<LPARAM>(pulsanti.data()));
    SendMessageA(c_.Toolbar1, TB_AUTOSIZE, 0, 0);
    // The buttons that need a chart follow the chart's state.
    AbilitaPulsantiGrafico(comandi_.Grafico_Visibile());
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
    struct Voce {
        int id;  // 0: a separator
        const char* testo;
    };
    constexpr Voce kVoci[] = {
        {kMnSegna, "Segna punto"},
        {kMnImporto, "&Segna importo"},
        {kMnData, "&Segna data"},
        {kMnAnnulla, "Annulla"},
        {0, nullptr},  // bar1
        {kMnClear, "Ripulisce"},
        {0, nullptr},  // bar2
        {kMnClip, "Copia in clipboard"},
        {kMnSalva, "Salva come immagine..."},
        {kMnSalvaVrt, "Salva come VRT File..."},
        {0, nullptr},  // bar7
        {kMnApriVrt, "Apri VRT File..."},
        {0, nullptr},  // bar3
        {kMnRefresh, "Aggiorna"},
        {0, nullptr},  // bar4
        {kMnStampa, "&Stampa"},
    };
    for (const auto& v : kVoci) {
        if (v.id == 0) {
            AppendMenuA(mnFile_, MF_SEPARATOR, 0, nullptr);
        } else {
            const std::string t = ToAnsi(v.testo);
            AppendMenuA(mnFile_, MF_STRING, static_cast<UINT_PTR>(v.id), t.c_str());
        }
    }
    SetMenuDefaultItem(mnFile_, kMnSegna, FALSE);
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
    SendMessageA(c_.cmdElabora, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&bi));
    InvalidateRect(c_.cmdElabora, nullptr, TRUE);
}

void FrmMain::TooltipElabora(const std::string& testo) {
    if (suggerimenti_ == nullptr) return;
    std::string ansi = ToAnsi(testo);
    TOOLINFOA ti;
    ZeroMemory(&ti, sizeof ti);
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hwnd_;
    ti.uId = reinterpret_cast<UINT_PTR>(c_.cmdElabora);
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
    ti.uId = reinterpret_cast<UINT_PTR>(c_.cmdElabora);
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

    // The toolbar follows the width by its top alignment.
    SendMessageA(c_.Toolbar1, TB_AUTOSIZE, 0, 0);

    // 1. Grafico left = 0.
    RECT g = RettangoloNelGenitore(c_.Grafico);
    Sposta(c_.Grafico, 0, g.top, g.right - g.left, g.bottom - g.top);
    // 2. Grafico width = the inner width.
    g = RettangoloNelGenitore(c_.Grafico);
    if (larghezza >= 0) Sposta(c_.Grafico, g.left, g.top, larghezza, g.bottom - g.top);
    // 3. Grafico height = the inner height less Grafico's top.
    g = RettangoloNelGenitore(c_.Grafico);
    if (altezza - g.top >= 0) Sposta(c_.Grafico, g.left, g.top, g.right - g.left, altezza - g.top);
    // 4. fraCmd width = the inner width less fraCmd's left less
    //    fraParametri's left (the same margin on both sides).
    RECT cmd = RettangoloNelGenitore(c_.fraCmd);
    const RECT parametri = RettangoloNelGenitore(c_.fraParametri);
    const int larghezzaCmd = larghezza - cmd.left - parametri.left;
    if (larghezzaCmd >= 0) Sposta(c_.fraCmd, cmd.left, cmd.top, larghezzaCmd, cmd.bottom - cmd.top);
    // 5. cmdElabora centred in its frame.
    cmd = RettangoloNelGenitore(c_.fraCmd);
    const RECT pulsante = RettangoloNelGenitore(c_.cmdElabora);
    const int dentro = ((cmd.right - cmd.left) - (pulsante.right - pulsante.left)) / 2;
    Sposta(c_.cmdElabora, cmd.left + dentro, pulsante.top, pulsante.right - pulsante.left,
           pulsante.bottom - pulsante.top);
    InvalidateRect(c_.fraCmd, nullptr, TRUE);
}

void FrmMain::Form_Resize() {
    Ridimensiona();
    // During a run the chart is left to the run, which draws it at its end.
    if (comandi_.Grafico_Visibile() && !Elaborazione_In_Corso()) comandi_.AggiornaGrafico();
}

void FrmMain::Toolbar1_ButtonClick(const std::string& chiave) {
    if (chiave == "clear")
        comandi_.AzzeraGrafico();
    else if (chiave == "open")
        comandi_.ApriVrt();
    else if (chiave == "save")
        comandi_.SalvaComeVrt();
    else if (chiave == "clipboard")
        comandi_.CopiaInClipboard();
    else if (chiave == "undo")
        comandi_.AnnullaSegno();
    else if (chiave == "bitmap")
        comandi_.SalvaComeBitmap();
    else if (chiave == "printer")
        comandi_.StampaGrafico();
    else if (chiave == "help")
        ApriGuida();
}

// The help page beside the program, opened with the program associated with
// it; a missing page or no association shows nothing.
void FrmMain::ApriGuida() {
    const uxUtilita u;
    std::string cartella = CartellaModulo();
    const std::string pagina = u.AggiungiSepDir(cartella) + "Leggimi.htm";
    u.EseguiEx(reinterpret_cast<intptr_t>(hwnd_), pagina, true);
}

void FrmMain::AbilitaPulsante(const std::string& chiave, bool abilitato) {
    const int i = PosizionePulsante(chiave);
    if (i < 0) return;
    pulsantiAbilitati_[i] = abilitato;
    AggiornaStatoToolbar();
}

void FrmMain::AbilitaPulsantiGrafico(bool graficoVisibile) {
    for (const char* chiave : kPulsantiGrafico)
        AbilitaPulsante(chiave, graficoVisibile);
}

void FrmMain::AggiornaStatoToolbar() {
    if (c_.Toolbar1 == nullptr) return;
    EnableWindow(c_.Toolbar1, toolbarAbilitata_);
    for (size_t i = 0; i < pulsantiAbilitati_.size(); ++i) {
        SendMessageA(c_.Toolbar1, TB_ENABLEBUTTON, kIdPrimoPulsante + i,
                     MAKELPARAM(toolbarAbilitata_ && pulsantiAbilitati_[i], 0));
    }
}

void FrmMain::mnFile_Click() {
    const bool conGrafico = comandi_.Grafico_Visibile() && !Elaborazione_In_Corso();
    for (int id : {kMnStampa, kMnClear, kMnRefresh, kMnAnnulla, kMnSalva, kMnClip, kMnSegna,
                   kMnImporto, kMnData, kMnSalvaVrt}) {
        EnableMenuItem(mnFile_, id, MF_BYCOMMAND | (conGrafico ? MF_ENABLED : MF_GRAYED));
    }
    EnableMenuItem(mnFile_, kMnApriVrt,
                   MF_BYCOMMAND | (!Elaborazione_In_Corso() ? MF_ENABLED : MF_GRAYED));
}

void FrmMain::ApriMenuGrafico(POINT schermo) {
    SetMenuDefaultItem(mnFile_, kMnSegna, FALSE);
    TrackPopupMenuEx(mnFile_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, schermo.x, schermo.y,
                     hwnd_, nullptr);
}

void FrmMain::Elaborazione_In_Corso(bool valore) {
    elaborazione_ = valore;
    AbilitaParametri(!valore);
    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(valore ? 32514 : 32512)));  // WAIT : ARROW
    if (valore) {
        ImmagineElabora(c_.imgInterrompi);
        TooltipElabora("Interrompe la generazione del grafico");
    } else {
        ImmagineElabora(c_.imgElabora);
        TooltipElabora("Inizia la generazione del grafico");
    }
    AbilitaToolbar(!valore);
}

void FrmMain::AbilitaToolbar(bool abilitata) {
    toolbarAbilitata_ = abilitata;
    AggiornaStatoToolbar();
}

void FrmMain::SostituisciGrafico(HWND nuovo) {
    const RECT r = RettangoloNelGenitore(c_.Grafico);
    SetWindowLongPtrA(nuovo, GWLP_ID, kIdGrafico);
    // Right after the old picture in the z-order, which is the tab order.
    SetWindowPos(nuovo, c_.Grafico, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOACTIVATE);
    SetWindowLongPtrA(c_.Grafico, GWLP_ID, 0);
    DestroyWindow(c_.Grafico);
    c_.Grafico = nuovo;
    Ridimensiona();
}

void FrmMain::AbilitaParametri(bool abilita) {
    for (HWND h : {c_.DataIniziale, c_.DataFinale, c_.chkNoStat, c_.CboConti, c_.chkdifferenza})
        EnableWindow(h, abilita);
    const std::string testo = ToAnsi(abilita ? "Elabora" : "Interrompi");
    SetWindowTextA(c_.cmdElabora, testo.c_str());
}

// A new account or date makes the chart shown stale: it goes. The day
// count of lblTot (AggiornaTotaleGiorni) joins the date handlers with the
// start-up.
void FrmMain::CboConti_Click() {
    comandi_.AzzeraGrafico();
}
void FrmMain::DataIniziale_Change() {
    comandi_.AzzeraGrafico();
    comandi_.AggiornaTotaleGiorni();
}
void FrmMain::DataFinale_Change() {
    comandi_.AzzeraGrafico();
    comandi_.AggiornaTotaleGiorni();
}

void FrmMain::mnSegna_Click() {
    comandi_.SegnaPunto(0);
}
void FrmMain::mnimporto_Click() {
    comandi_.SegnaPunto(1);
}
void FrmMain::mndata_Click() {
    comandi_.SegnaPunto(2);
}
void FrmMain::mnAnnulla_Click() {
    comandi_.AnnullaSegno();
}
void FrmMain::mnclear_Click() {
    comandi_.RipulisciSegni();
}
void FrmMain::mnclip_Click() {
    comandi_.CopiaInClipboard();
}
void FrmMain::mnSalva_Click() {
    comandi_.SalvaComeBitmap();
}
void FrmMain::mnSalvaVrt_Click() {
    comandi_.SalvaComeVrt();
}
void FrmMain::mnApriVrt_Click() {
    comandi_.ApriVrt();
}
void FrmMain::mnRefresh_Click() {
    comandi_.AggiornaGrafico();
}
void FrmMain::mnstampa_Click() {
    comandi_.StampaGrafico();
}

void FrmMain::Comando(int id, int notifica) {
    if (id >= kIdPrimoPulsante &&
        id < kIdPrimoPulsante + static_cast<int>(PulsantiInOrdine().size())) {
        Toolbar1_ButtonClick(PulsantiInOrdine()[id - kIdPrimoPulsante]->chiave);
        return;
    }
    switch (id) {
        case kIdCmdElabora:
            if (notifica == BN_CLICKED) comandi_.cmdElabora_Click();
            break;
        case kIdCboConti:
            if (notifica == CBN_SELCHANGE) CboConti_Click();
            break;
        case kMnSegna:
            mnSegna_Click();
            break;
        case kMnImporto:
            mnimporto_Click();
            break;
        case kMnData:
            mndata_Click();
            break;
        case kMnAnnulla:
            mnAnnulla_Click();
            break;
        case kMnClear:
            mnclear_Click();
            break;
        case kMnClip:
            mnclip_Click();
            break;
        case kMnSalva:
            mnSalva_Click();
            break;
        case kMnSalvaVrt:
            mnSalvaVrt_Click();
            break;
        case kMnApriVrt:
            mnApriVrt_Click();
            break;
        case kMnRefresh:
            mnRefresh_Click();
            break;
        case kMnStampa:
            mnstampa_Click();
            break;
        default:
            break;
    }
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
            Comando(LOWORD(wp), HIWORD(wp));
            return 0;
        case WM_NOTIFY: {
            auto* nm = reinterpret_cast<NMHDR*>(lp);
            if (nm->code == DTN_DATETIMECHANGE) {
                if (nm->hwndFrom == c_.DataIniziale) DataIniziale_Change();
                if (nm->hwndFrom == c_.DataFinale) DataFinale_Change();
                return 0;
            }
            if (TestoSuggerimento(nm)) return 0;
            break;
        }
        case WM_INITMENUPOPUP:
            if (reinterpret_cast<HMENU>(wp) == mnFile_) {
                mnFile_Click();
                return 0;
            }
            break;
        case WM_CONTEXTMENU:
            // Until the chart's mouse handling is wired, a right click on
            // the picture opens its menu here.
            if (reinterpret_cast<HWND>(wp) == c_.Grafico) {
                POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
                if (p.x == -1 && p.y == -1) {
                    RECT g;
                    GetWindowRect(c_.Grafico, &g);
                    p = {g.left, g.top};
                }
                ApriMenuGrafico(p);
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
            if (comandi_.Form_QueryUnload(modo)) return 0;
            break;
        }
        case WM_QUERYENDSESSION:
            // The session may end: a run in progress stops first, and the
            // window closes after it.
            comandi_.Form_QueryUnload(2);
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
