// FrmMain as a real window under Wine: the controls' places, texts and fonts
// read back from Windows, the layout after resizes, the toolbar and the
// popup menu with their enabling, the keyboard, the dispatch of commands
// (to a recording double) and the help command.
//
// The design table below is this test's own copy of the window's design,
// in twips; every expected pixel goes through the screen's resolution as
// Windows reports it.

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "chart/ComandiFrmMain_win32.h"
#include "chart/FrmMain_win32.h"
#include "chart/RisorseTrevalto.h"
#include "tests/support/InterazioneRegistrata.h"
#include "tests/util/SupportoWin32.h"
#include "util/Gdi_win32.h"
#include "util/Modulo.h"
#include "util/Testo.h"
#include "util/uxUtilita.h"

namespace quandora {
namespace {

using test::InterazioneRegistrata;

const bool kControlliComuni = [] {
    INITCOMMONCONTROLSEX icc{
        sizeof icc, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
}();

// Records every command the window starts.
class ComandiRegistrati : public ComandiFrmMain {
  public:
    void AzzeraGrafico() override { chiamate.push_back("AzzeraGrafico"); }
    void ApriVrt() override { chiamate.push_back("ApriVrt"); }
    void SalvaComeVrt() override { chiamate.push_back("SalvaComeVrt"); }
    void CopiaInClipboard() override { chiamate.push_back("CopiaInClipboard"); }
    void AnnullaSegno() override { chiamate.push_back("AnnullaSegno"); }
    void SalvaComeBitmap() override { chiamate.push_back("SalvaComeBitmap"); }
    void StampaGrafico() override { chiamate.push_back("StampaGrafico"); }
    void SegnaPunto(int16_t tipo) override {
        chiamate.push_back("SegnaPunto " + std::to_string(tipo));
    }
    void RipulisciSegni() override { chiamate.push_back("RipulisciSegni"); }
    void AggiornaGrafico() override { chiamate.push_back("AggiornaGrafico"); }
    void cmdElabora_Click() override { chiamate.push_back("cmdElabora_Click"); }
    bool Grafico_Visibile() const override { return visibile; }

    std::vector<std::string> chiamate;
    bool visibile = false;
};

constexpr const char* kDpiAtteso = "TREVALTO_DPI_ATTESO";

int Dpi(int indice) {
    return GetDeviceCaps(PrendiDC(nullptr).get(), indice);
}
int PxX(int twips) {
    return MulDiv(twips, Dpi(LOGPIXELSX), 1440);
}
int PxY(int twips) {
    return MulDiv(twips, Dpi(LOGPIXELSY), 1440);
}

RECT NelCliente(HWND finestra, HWND controllo) {
    RECT r;
    GetWindowRect(controllo, &r);
    MapWindowPoints(nullptr, finestra, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string Testo(HWND h) {
    char t[512] = {};
    GetWindowTextA(h, t, sizeof t);
    return FromAnsi(t);
}

// Runs the thread's pending messages through the window's keyboard
// handling, as the program's loop does.
void Pompa(FrmMain& f, int millisecondi = 100) {
    const DWORD fine = GetTickCount() + static_cast<DWORD>(millisecondi);
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!f.PreTraduciMessaggio(msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        Sleep(10);
    } while (GetTickCount() < fine);
}

// Resizes the window so that its client area has the given size.
void DimensioneCliente(FrmMain& f, int larghezza, int altezza) {
    RECT r{0, 0, larghezza, altezza};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(f.Finestra(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(f.Finestra(), GWL_EXSTYLE)));
    // At the screen's top left corner, so that the screen holds it whole.
    SetWindowPos(f.Finestra(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    Pompa(f, 50);
}

class FinestraPrincipale : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(kControlliComuni);
        // Started again by the test of another resolution (below).
        if (const char* dpi = std::getenv(kDpiAtteso)) {
            ASSERT_EQ(Dpi(LOGPIXELSX), std::atoi(dpi));
            ASSERT_EQ(Dpi(LOGPIXELSY), std::atoi(dpi));
        }
        f = std::make_unique<FrmMain>(comandi);
        ShowWindow(f->Finestra(), SW_SHOWNORMAL);
        SetForegroundWindow(f->Finestra());
        Pompa(*f);
    }
    void TearDown() override { f.reset(); }

    const ControlliFrmMain& c() const { return f->Controlli(); }
    HWND w() const { return f->Finestra(); }

    // The toolbar's buttons by position: key (nullptr for a separator),
    // command, image and state.
    struct Bottone {
        const char* chiave;
        int comando;
        int immagine;
        BYTE stato;
        BYTE stile;
    };
    std::vector<Bottone> Bottoni() const {
        std::vector<Bottone> b;
        const int n = static_cast<int>(SendMessageA(c().Toolbar1, TB_BUTTONCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            TBBUTTON t{};
            SendMessageA(c().Toolbar1, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&t));
            Bottone x{nullptr, t.idCommand, t.iBitmap, t.fsState, t.fsStyle};
            if (!(t.fsStyle & BTNS_SEP)) {
                TBBUTTONINFOA info{};
                info.cbSize = sizeof info;
                info.dwMask = TBIF_LPARAM | TBIF_STATE;
                SendMessageA(c().Toolbar1, TB_GETBUTTONINFOA, t.idCommand,
                             reinterpret_cast<LPARAM>(&info));
                x.chiave = reinterpret_cast<const char*>(info.lParam);
                x.stato = info.fsState;
            }
            b.push_back(x);
        }
        return b;
    }
    int Comando(const std::string& chiave) const {
        for (const auto& b : Bottoni())
            if (b.chiave != nullptr && chiave == b.chiave) return b.comando;
        return -1;
    }
    bool Abilitato(const std::string& chiave) const {
        return SendMessageA(c().Toolbar1, TB_ISBUTTONENABLED, Comando(chiave), 0) != 0;
    }
    // A left click on a toolbar button, as the mouse gives it.
    void Clic(const std::string& chiave) {
        RECT r{};
        SendMessageA(c().Toolbar1, TB_GETRECT, Comando(chiave), reinterpret_cast<LPARAM>(&r));
        const LPARAM p = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        PostMessageA(c().Toolbar1, WM_MOUSEMOVE, 0, p);
        PostMessageA(c().Toolbar1, WM_LBUTTONDOWN, MK_LBUTTON, p);
        PostMessageA(c().Toolbar1, WM_LBUTTONUP, 0, p);
        Pompa(*f);
    }
    // The menu items' enabled state, by command.
    bool VoceAbilitata(int id) const {
        const UINT s = GetMenuState(f->mnFile(), id, MF_BYCOMMAND);
        return s != static_cast<UINT>(-1) && !(s & (MF_GRAYED | MF_DISABLED));
    }
    // What Windows sends as the popup menu opens.
    void ApreMenu() {
        SendMessageA(w(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(f->mnFile()), 0);
    }

    ComandiRegistrati comandi;
    std::unique_ptr<FrmMain> f;
};

struct Progetto {
    const char* nome;
    HWND ControlliFrmMain::*controllo;
    HWND ControlliFrmMain::*cornice;  // nullptr: the window
    int sinistra, alto, larghezza, altezza;
};

// The design, for the controls that the layout does not move.
const Progetto kFissi[] = {
    {"fraParametri", &ControlliFrmMain::fraParametri, nullptr, 120, 480, 4335, 2055},
    {"Label3", &ControlliFrmMain::Label3, &ControlliFrmMain::fraParametri, 120, 240, 1335, 495},
    {"CboConti", &ControlliFrmMain::CboConti, &ControlliFrmMain::fraParametri, 120, 480, 3855, 360},
    {"Label1", &ControlliFrmMain::Label1, &ControlliFrmMain::fraParametri, 120, 960, 1335, 375},
    {"Label2", &ControlliFrmMain::Label2, &ControlliFrmMain::fraParametri, 2280, 960, 1335, 375},
    {"DataIniziale", &ControlliFrmMain::DataIniziale, &ControlliFrmMain::fraParametri, 120, 1200,
     1695, 375},
    {"DataFinale", &ControlliFrmMain::DataFinale, &ControlliFrmMain::fraParametri, 2280, 1200, 1695,
     375},
    {"lblTot", &ControlliFrmMain::lblTot, &ControlliFrmMain::fraParametri, 120, 1680, 3855, 300},
    {"fraOpzioni", &ControlliFrmMain::fraOpzioni, nullptr, 4560, 480, 4935, 2055},
    {"chkNoStat", &ControlliFrmMain::chkNoStat, &ControlliFrmMain::fraOpzioni, 240, 480, 4215, 255},
    {"chkdifferenza", &ControlliFrmMain::chkdifferenza, &ControlliFrmMain::fraOpzioni, 240, 840,
     3615, 495},
    {"Stato", &ControlliFrmMain::Stato, nullptr, 0, 7350, 12330, 375},
    {"imgElabora", &ControlliFrmMain::imgElabora, nullptr, 8400, 3360, 240, 240},
    {"imgInterrompi", &ControlliFrmMain::imgInterrompi, nullptr, 8400, 3000, 240, 240},
};

std::vector<RECT> Posizioni(const FrmMain& f) {
    std::vector<RECT> r;
    const ControlliFrmMain& c = f.Controlli();
    for (HWND h : {c.Toolbar1, c.fraParametri, c.Label3, c.CboConti, c.Label1, c.Label2,
                   c.DataIniziale, c.DataFinale, c.lblTot, c.fraOpzioni, c.chkNoStat,
                   c.chkdifferenza, c.fraCmd, c.cmdElabora, c.Grafico, c.Stato}) {
        r.push_back(NelCliente(f.Finestra(), h));
    }
    return r;
}

void AttesoRettangolo(const RECT& r, int x, int y, int larghezza, int altezza, const char* nome) {
    EXPECT_EQ(r.left, x) << nome;
    EXPECT_EQ(r.top, y) << nome;
    EXPECT_EQ(r.right - r.left, larghezza) << nome;
    EXPECT_EQ(r.bottom - r.top, altezza) << nome;
}

TEST_F(FinestraPrincipale, ControlsStandAtTheirDesignPlacesThroughTheScreenResolution) {
    RECT cliente;
    GetClientRect(w(), &cliente);
    EXPECT_EQ(cliente.right, PxX(12330));
    EXPECT_EQ(cliente.bottom, PxY(7725));

    for (const auto& p : kFissi) {
        // Inside a frame: the frame's design place plus the control's own.
        int x0 = 0, y0 = 0;
        for (const auto& q : kFissi) {
            if (p.cornice != nullptr && q.controllo == p.cornice) {
                x0 = q.sinistra;
                y0 = q.alto;
            }
        }
        AttesoRettangolo(NelCliente(w(), c().*p.controllo), PxX(x0) + PxX(p.sinistra),
                         PxY(y0) + PxY(p.alto), PxX(p.larghezza), PxY(p.altezza), p.nome);
    }

    // The layout at the design size: the picture from the left edge across
    // the whole width and down to the bottom; fraCmd up to 120 twips from
    // the right edge, its button centred in it.
    AttesoRettangolo(NelCliente(w(), c().Grafico), 0, PxY(2640), PxX(12330), PxY(7725) - PxY(2640),
                     "Grafico");
    const int larghezzaCmd = PxX(12330) - PxX(9600) - PxX(120);
    AttesoRettangolo(NelCliente(w(), c().fraCmd), PxX(9600), PxY(480), larghezzaCmd, PxY(2055),
                     "fraCmd");
    AttesoRettangolo(NelCliente(w(), c().cmdElabora), PxX(9600) + (larghezzaCmd - PxX(975)) / 2,
                     PxY(480) + PxY(600), PxX(975), PxY(735), "cmdElabora");

    // The toolbar along the top edge, over the whole width, above the frames.
    const RECT t = NelCliente(w(), c().Toolbar1);
    EXPECT_EQ(t.left, 0);
    EXPECT_EQ(t.top, 0);
    EXPECT_EQ(t.right, cliente.right);
    EXPECT_GT(t.bottom, PxY(240));
    EXPECT_LE(t.bottom, PxY(480));

    // What is shown and what is hidden.
    EXPECT_FALSE(IsWindowVisible(c().Stato));
    EXPECT_FALSE(IsWindowVisible(c().imgElabora));
    EXPECT_FALSE(IsWindowVisible(c().imgInterrompi));
    for (HWND h : {c().Toolbar1, c().fraParametri, c().CboConti, c().DataIniziale, c().DataFinale,
                   c().chkNoStat, c().chkdifferenza, c().cmdElabora, c().Grafico})
        EXPECT_TRUE(IsWindowVisible(h));
}

TEST_F(FinestraPrincipale, CaptionsFontsKindsAndIconsAreThoseOfTheDesign) {
    EXPECT_EQ(Testo(w()), "Modulo aggiuntivo Quandora [Grafico Trevalto Saldo]");
    EXPECT_EQ(Testo(c().fraParametri), "Parametri ");
    EXPECT_EQ(Testo(c().fraOpzioni), "Opzioni ");
    EXPECT_EQ(Testo(c().fraCmd), "Comandi ");
    EXPECT_EQ(Testo(c().Label3), "Conto:");
    EXPECT_EQ(Testo(c().Label1), "Data Iniziale:");
    EXPECT_EQ(Testo(c().Label2), "Data Finale:");
    EXPECT_EQ(Testo(c().lblTot), "Totale giorni:");
    EXPECT_EQ(Testo(c().chkNoStat), "Esclude i movimenti con il flag No Statistiche");
    EXPECT_EQ(Testo(c().chkdifferenza), "Relativo rispetto al saldo della data iniziale");
    EXPECT_EQ(Testo(c().cmdElabora), "Elabora");

    const auto carattere = [](HWND h) {
        LOGFONTA lf{};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0)), sizeof lf, &lf);
        return lf;
    };
    const int dpi = Dpi(LOGPIXELSY);
    for (HWND h : {c().fraParametri, c().fraOpzioni, c().fraCmd}) {
        const LOGFONTA lf = carattere(h);
        EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
        EXPECT_EQ(lf.lfHeight, -MulDiv(825, dpi, 7200));
        EXPECT_EQ(lf.lfWeight, FW_BOLD);
    }
    for (HWND h : {c().CboConti, c().DataIniziale, c().DataFinale}) {
        const LOGFONTA lf = carattere(h);
        EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
        EXPECT_EQ(lf.lfHeight, -MulDiv(975, dpi, 7200));
        EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    }
    EXPECT_EQ(carattere(c().Label3).lfWeight, FW_NORMAL);

    // A list to pick from, no typing; two-line check box; the progress bar
    // counts 0 to 100.
    EXPECT_EQ(GetWindowLongA(c().CboConti, GWL_STYLE) & 3, CBS_DROPDOWNLIST);
    EXPECT_TRUE(GetWindowLongA(c().chkdifferenza, GWL_STYLE) & BS_MULTILINE);
    EXPECT_EQ(GetWindowLongA(c().chkNoStat, GWL_STYLE) & BS_TYPEMASK, BS_AUTOCHECKBOX);
    EXPECT_EQ(SendMessageA(c().Stato, PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(SendMessageA(c().Stato, PBM_GETRANGE, FALSE, 0), 100);

    // The date pickers show "dd-MM-yyyy".
    SYSTEMTIME st{};
    st.wYear = 2024;
    st.wMonth = 3;
    st.wDay = 5;
    SendMessageA(c().DataIniziale, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
    EXPECT_EQ(Testo(c().DataIniziale), "05-03-2024");

    // The window's icon and the run button's picture above its caption.
    EXPECT_NE(GetClassLongPtrA(w(), GCLP_HICON), 0);
    EXPECT_NE(GetClassLongPtrA(w(), GCLP_HICONSM), 0);
    BUTTON_IMAGELIST bi{};
    ASSERT_TRUE(SendMessageA(c().cmdElabora, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&bi)));
    EXPECT_EQ(bi.uAlign, static_cast<UINT>(BUTTON_IMAGELIST_ALIGN_TOP));
    int cx = 0, cy = 0;
    ImageList_GetIconSize(bi.himl, &cx, &cy);
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 16);
    EXPECT_NE(SendMessageA(c().imgElabora, STM_GETICON, 0, 0), 0);
    EXPECT_NE(SendMessageA(c().imgInterrompi, STM_GETICON, 0, 0), 0);
}

TEST_F(FinestraPrincipale, TabGoesThroughTheParametersAndOnlyTheButtonItselfRuns) {
    // Tab order: CboConti, DataIniziale, DataFinale, chkNoStat,
    // chkdifferenza, cmdElabora, and round again.
    const std::vector<HWND> ordine = {c().CboConti,  c().DataIniziale,  c().DataFinale,
                                      c().chkNoStat, c().chkdifferenza, c().cmdElabora};
    for (size_t i = 0; i < ordine.size(); ++i) {
        EXPECT_EQ(GetNextDlgTabItem(w(), ordine[i], FALSE), ordine[(i + 1) % ordine.size()]) << i;
    }

    // The keys go through the message loop's dialog handling.
    SetFocus(c().CboConti);
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    Pompa(*f);
    EXPECT_EQ(GetFocus(), c().DataIniziale);
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    Pompa(*f);
    EXPECT_EQ(GetFocus(), c().chkNoStat);
    // Space ticks a check box.
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_SPACE, 0);
    PostMessageA(GetFocus(), WM_KEYUP, VK_SPACE, 0xC0000001);
    Pompa(*f);
    EXPECT_EQ(SendMessageA(c().chkNoStat, BM_GETCHECK, 0, 0), BST_CHECKED);

    // Escape closes nothing; Enter in a parameter starts no run (it would
    // drop the chart on the screen).
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    Pompa(*f);
    EXPECT_TRUE(IsWindow(w()));
    for (HWND h : ordine) {
        if (h == c().cmdElabora) continue;
        SetFocus(h);
        PostMessageA(h, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageA(h, WM_KEYUP, VK_RETURN, 0xC0000001);
        Pompa(*f);
    }
    EXPECT_TRUE(comandi.chiamate.empty());
    // Space on the button itself presses it.
    SetFocus(c().cmdElabora);
    PostMessageA(c().cmdElabora, WM_KEYDOWN, VK_SPACE, 0);
    PostMessageA(c().cmdElabora, WM_KEYUP, VK_SPACE, 0xC0000001);
    Pompa(*f);
    EXPECT_EQ(comandi.chiamate, std::vector<std::string>{"cmdElabora_Click"});
}

TEST_F(FinestraPrincipale, ANewAccountOrDatePickedByThePersonDropsTheChart) {
    for (const char* conto : {"<tutti i conti>", "Conto corrente", "Contanti"}) {
        const std::string t = ToAnsi(conto);
        SendMessageA(c().CboConti, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t.c_str()));
    }
    SendMessageA(c().CboConti, CB_SETCURSEL, 0, 0);
    Pompa(*f);
    EXPECT_TRUE(comandi.chiamate.empty());  // the program's own selection

    // The arrow keys pick the next account, then change a date's day.
    SetFocus(c().CboConti);
    PostMessageA(c().CboConti, WM_KEYDOWN, VK_DOWN, 0);
    Pompa(*f);
    EXPECT_EQ(SendMessageA(c().CboConti, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(comandi.chiamate, std::vector<std::string>{"AzzeraGrafico"});

    for (HWND data : {c().DataIniziale, c().DataFinale}) {
        comandi.chiamate.clear();
        SetFocus(data);
        PostMessageA(data, WM_KEYDOWN, VK_UP, 0);
        Pompa(*f);
        EXPECT_EQ(comandi.chiamate, std::vector<std::string>{"AzzeraGrafico"});
    }
}

TEST_F(FinestraPrincipale, ToolbarHasItsButtonsInGroupsWithImagesAndTooltips) {
    const auto b = Bottoni();
    ASSERT_EQ(b.size(), 11u);
    const char* chiavi[] = {"clear",  "open",  "save",    nullptr, "clipboard", "undo",
                            "bitmap", nullptr, "printer", nullptr, "help"};
    std::vector<int> immagini;
    for (size_t i = 0; i < b.size(); ++i) {
        if (chiavi[i] == nullptr) {
            EXPECT_TRUE(b[i].stile & BTNS_SEP) << i;
            continue;
        }
        ASSERT_NE(b[i].chiave, nullptr) << i;
        EXPECT_STREQ(b[i].chiave, chiavi[i]);
        immagini.push_back(b[i].immagine);
    }
    // Eight images of their own, 16 x 16.
    const HIMAGELIST lista =
        reinterpret_cast<HIMAGELIST>(SendMessageA(c().Toolbar1, TB_GETIMAGELIST, 0, 0));
    ASSERT_NE(lista, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(lista), 8);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(lista, &cx, &cy);
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 16);
    EXPECT_EQ(immagini, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));

    // Tooltips, read from the toolbar's tooltip control (which asks the
    // window for them).
    const HWND suggerimenti =
        reinterpret_cast<HWND>(SendMessageA(c().Toolbar1, TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(suggerimenti, nullptr);
    const auto suggerimento = [&](const std::string& chiave) {
        char testo[256] = {};
        TOOLINFOA ti{};
        ti.cbSize = TTTOOLINFOA_V1_SIZE;
        ti.hwnd = c().Toolbar1;
        ti.uId = static_cast<UINT_PTR>(Comando(chiave));
        ti.lpszText = testo;
        SendMessageA(suggerimenti, TTM_GETTEXTA, sizeof testo, reinterpret_cast<LPARAM>(&ti));
        return FromAnsi(ti.lpszText != nullptr ? ti.lpszText : "");
    };
    EXPECT_EQ(suggerimento("clear"), "Nuovo grafico");
    EXPECT_EQ(suggerimento("open"), "Apri file Grafico Trevalto Saldo...");
    EXPECT_EQ(suggerimento("save"), "Salva Grafico Trevalto Saldo come file...");
    EXPECT_EQ(suggerimento("clipboard"), "Copia l'immagine del grafico negli appunti di sistema");
    EXPECT_EQ(suggerimento("undo"), "Annulla l'ultima operazione");
    EXPECT_EQ(suggerimento("bitmap"), "Esporta Grafico come file immagine bitmap...");
    EXPECT_EQ(suggerimento("printer"), "Stampa Grafico Trevalto Saldo");
    EXPECT_EQ(suggerimento("help"), "");
}

TEST_F(FinestraPrincipale, ToolbarDispatchesByKeyCaseSensitively) {
    for (const char* chiave : {"clear", "open", "save", "clipboard", "undo", "bitmap", "printer"})
        f->Toolbar1_ButtonClick(chiave);
    EXPECT_EQ(comandi.chiamate, (std::vector<std::string>{
                                    "AzzeraGrafico", "ApriVrt", "SalvaComeVrt", "CopiaInClipboard",
                                    "AnnullaSegno", "SalvaComeBitmap", "StampaGrafico"}));
    comandi.chiamate.clear();
    for (const char* chiave : {"Clear", "OPEN", "", "save ", "stampa", "Help"})
        f->Toolbar1_ButtonClick(chiave);
    EXPECT_TRUE(comandi.chiamate.empty());
}

TEST_F(FinestraPrincipale, ToolbarFollowsTheChartAndIsDisabledDuringARun) {
    const std::vector<std::string> sempre = {"clear", "open", "help"};
    const std::vector<std::string> grafico = {"save", "clipboard", "undo", "bitmap", "printer"};

    // No chart: only "clear", "open", "help"; a click on the others does
    // nothing.
    for (const auto& k : sempre)
        EXPECT_TRUE(Abilitato(k)) << k;
    for (const auto& k : grafico)
        EXPECT_FALSE(Abilitato(k)) << k;
    Clic("save");
    Clic("printer");
    EXPECT_TRUE(comandi.chiamate.empty());
    Clic("open");
    EXPECT_EQ(comandi.chiamate, std::vector<std::string>{"ApriVrt"});

    // A chart is shown: all eight, and the clicks reach their commands.
    f->AbilitaPulsantiGrafico(true);
    for (const auto& b : Bottoni())
        if (b.chiave != nullptr) {
            EXPECT_TRUE(b.stato & TBSTATE_ENABLED) << b.chiave;
        }
    comandi.chiamate.clear();
    Clic("save");
    Clic("printer");
    EXPECT_EQ(comandi.chiamate, (std::vector<std::string>{"SalvaComeVrt", "StampaGrafico"}));

    // During a run the whole toolbar is disabled.
    f->Elaborazione_In_Corso(true);
    EXPECT_FALSE(IsWindowEnabled(c().Toolbar1));
    for (const auto& b : Bottoni())
        if (b.chiave != nullptr) {
            EXPECT_FALSE(b.stato & TBSTATE_ENABLED) << b.chiave;
        }
    comandi.chiamate.clear();
    Clic("clear");
    EXPECT_TRUE(comandi.chiamate.empty());

    // After the run the buttons are as the chart wants them; a button
    // changed during the run keeps its change.
    f->AbilitaPulsante("undo", false);
    f->Elaborazione_In_Corso(false);
    EXPECT_TRUE(IsWindowEnabled(c().Toolbar1));
    for (const auto& k : sempre)
        EXPECT_TRUE(Abilitato(k)) << k;
    for (const auto& k : {"save", "clipboard", "bitmap", "printer"})
        EXPECT_TRUE(Abilitato(k)) << k;
    EXPECT_FALSE(Abilitato("undo"));
}

// Draws an icon on white and returns its pixels.
std::vector<COLORREF> PixelIcona(HICON icona) {
    const Bitmap b(CreateCompatibleBitmap(PrendiDC(nullptr).get(), 16, 16));
    const DCCreato memoria = CreaDCMemoria(nullptr);
    const HDC dc = memoria.get();
    const OggettoSelezionato selezionata(dc, b.get());
    RECT r{0, 0, 16, 16};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(dc, 0, 0, icona, 16, 16, 0, nullptr, DI_NORMAL);
    std::vector<COLORREF> p;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            p.push_back(GetPixel(dc, x, y));
    return p;
}

std::vector<COLORREF> PixelPulsante(HWND pulsante) {
    BUTTON_IMAGELIST bi{};
    SendMessageA(pulsante, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&bi));
    HICON icona = ImageList_GetIcon(bi.himl, 0, ILD_NORMAL);
    auto p = PixelIcona(icona);
    DestroyIcon(icona);
    return p;
}

TEST_F(FinestraPrincipale, RunStateDisablesTheParametersAndTurnsTheButton) {
    const auto elabora =
        PixelIcona(reinterpret_cast<HICON>(SendMessageA(c().imgElabora, STM_GETICON, 0, 0)));
    const auto interrompi =
        PixelIcona(reinterpret_cast<HICON>(SendMessageA(c().imgInterrompi, STM_GETICON, 0, 0)));
    ASSERT_NE(elabora, interrompi);
    EXPECT_EQ(PixelPulsante(c().cmdElabora), elabora);

    f->Elaborazione_In_Corso(true);
    EXPECT_TRUE(f->Elaborazione_In_Corso());
    for (HWND h :
         {c().DataIniziale, c().DataFinale, c().chkNoStat, c().CboConti, c().chkdifferenza})
        EXPECT_FALSE(IsWindowEnabled(h));
    EXPECT_TRUE(IsWindowEnabled(c().cmdElabora));
    EXPECT_EQ(Testo(c().cmdElabora), "Interrompi");
    EXPECT_EQ(f->TooltipElabora(), "Interrompe la generazione del grafico");
    EXPECT_EQ(PixelPulsante(c().cmdElabora), interrompi);

    f->Elaborazione_In_Corso(false);
    EXPECT_FALSE(f->Elaborazione_In_Corso());
    for (HWND h :
         {c().DataIniziale, c().DataFinale, c().chkNoStat, c().CboConti, c().chkdifferenza})
        EXPECT_TRUE(IsWindowEnabled(h));
    EXPECT_EQ(Testo(c().cmdElabora), "Elabora");
    EXPECT_EQ(f->TooltipElabora(), "Inizia la generazione del grafico");
    EXPECT_EQ(PixelPulsante(c().cmdElabora), elabora);

    // A click on the button goes to the run's command.
    SendMessageA(c().cmdElabora, BM_CLICK, 0, 0);
    Pompa(*f);
    EXPECT_EQ(comandi.chiamate, std::vector<std::string>{"cmdElabora_Click"});
}

struct VoceAttesa {
    int id;  // 0: a separator
    const char* testo;
};
const VoceAttesa kMenu[] = {
    {FrmMain::kMnSegna, "Segna punto"},
    {FrmMain::kMnImporto, "&Segna importo"},
    {FrmMain::kMnData, "&Segna data"},
    {FrmMain::kMnAnnulla, "Annulla"},
    {0, nullptr},
    {FrmMain::kMnClear, "Ripulisce"},
    {0, nullptr},
    {FrmMain::kMnClip, "Copia in clipboard"},
    {FrmMain::kMnSalva, "Salva come immagine..."},
    {FrmMain::kMnSalvaVrt, "Salva come VRT File..."},
    {0, nullptr},
    {FrmMain::kMnApriVrt, "Apri VRT File..."},
    {0, nullptr},
    {FrmMain::kMnRefresh, "Aggiorna"},
    {0, nullptr},
    {FrmMain::kMnStampa, "&Stampa"},
};

TEST_F(FinestraPrincipale, PopupMenuHasItsItemsSeparatorsAndBoldDefault) {
    char testo[64] = {};
    GetMenuStringA(f->BarraMenu(), 0, testo, sizeof testo, MF_BYPOSITION);
    EXPECT_STREQ(testo, "File");
    EXPECT_EQ(GetSubMenu(f->BarraMenu(), 0), f->mnFile());
    EXPECT_EQ(GetMenu(w()), nullptr);  // no menu bar

    const HMENU m = f->mnFile();
    ASSERT_EQ(GetMenuItemCount(m), 16);
    for (int i = 0; i < 16; ++i) {
        char t[64] = {};
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_STATE;
        mii.dwTypeData = t;
        mii.cch = sizeof t;
        ASSERT_TRUE(GetMenuItemInfoA(m, i, TRUE, &mii));
        if (kMenu[i].id == 0) {
            EXPECT_TRUE(mii.fType & MFT_SEPARATOR) << i;
            continue;
        }
        EXPECT_EQ(static_cast<int>(mii.wID), kMenu[i].id) << i;
        EXPECT_EQ(FromAnsi(t), kMenu[i].testo) << i;
        EXPECT_EQ((mii.fState & MFS_DEFAULT) != 0, kMenu[i].id == FrmMain::kMnSegna) << i;
    }
    EXPECT_EQ(GetMenuDefaultItem(m, FALSE, 0), static_cast<UINT>(FrmMain::kMnSegna));
}

TEST_F(FinestraPrincipale, PopupMenuEnablingIsComputedAfreshFromChartAndRun) {
    const std::vector<int> conGrafico = {
        FrmMain::kMnStampa, FrmMain::kMnClear,   FrmMain::kMnRefresh, FrmMain::kMnAnnulla,
        FrmMain::kMnSalva,  FrmMain::kMnClip,    FrmMain::kMnSegna,   FrmMain::kMnImporto,
        FrmMain::kMnData,   FrmMain::kMnSalvaVrt};
    // No chart: only "Apri VRT File...".
    ApreMenu();
    for (int id : conGrafico)
        EXPECT_FALSE(VoceAbilitata(id)) << id;
    EXPECT_TRUE(VoceAbilitata(FrmMain::kMnApriVrt));

    // A chart is shown: every item.
    comandi.visibile = true;
    ApreMenu();
    for (int id : conGrafico)
        EXPECT_TRUE(VoceAbilitata(id)) << id;
    EXPECT_TRUE(VoceAbilitata(FrmMain::kMnApriVrt));

    // During a run: none, with or without a chart.
    f->Elaborazione_In_Corso(true);
    ApreMenu();
    for (int id : conGrafico)
        EXPECT_FALSE(VoceAbilitata(id)) << id;
    EXPECT_FALSE(VoceAbilitata(FrmMain::kMnApriVrt));
    comandi.visibile = false;
    ApreMenu();
    EXPECT_FALSE(VoceAbilitata(FrmMain::kMnApriVrt));

    // The run over and the chart gone: back to the first state.
    f->Elaborazione_In_Corso(false);
    ApreMenu();
    for (int id : conGrafico)
        EXPECT_FALSE(VoceAbilitata(id)) << id;
    EXPECT_TRUE(VoceAbilitata(FrmMain::kMnApriVrt));
}

TEST_F(FinestraPrincipale, MenuItemsStartTheirCommands) {
    const std::pair<int, const char*> attesi[] = {
        {FrmMain::kMnSegna, "SegnaPunto 0"},    {FrmMain::kMnImporto, "SegnaPunto 1"},
        {FrmMain::kMnData, "SegnaPunto 2"},     {FrmMain::kMnAnnulla, "AnnullaSegno"},
        {FrmMain::kMnClear, "RipulisciSegni"},  {FrmMain::kMnClip, "CopiaInClipboard"},
        {FrmMain::kMnSalva, "SalvaComeBitmap"}, {FrmMain::kMnSalvaVrt, "SalvaComeVrt"},
        {FrmMain::kMnApriVrt, "ApriVrt"},       {FrmMain::kMnRefresh, "AggiornaGrafico"},
        {FrmMain::kMnStampa, "StampaGrafico"},
    };
    for (const auto& [id, comando] : attesi) {
        comandi.chiamate.clear();
        // As Windows sends a chosen menu item.
        SendMessageA(w(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
        EXPECT_EQ(comandi.chiamate, std::vector<std::string>{comando}) << id;
    }
}

TEST_F(FinestraPrincipale, NarrowWindowKeepsFraCmdWhileThePictureFollows) {
    const RECT cmdPrima = NelCliente(w(), c().fraCmd);
    const std::vector<RECT> prima = Posizioni(*f);

    // Narrower than 9720 twips: fraCmd's new width would be negative.
    const int larghezza = PxX(9000);
    const int altezza = PxY(6000);
    DimensioneCliente(*f, larghezza, altezza);
    RECT cliente;
    GetClientRect(w(), &cliente);
    ASSERT_EQ(cliente.right, larghezza);
    ASSERT_EQ(cliente.bottom, altezza);
    AttesoRettangolo(NelCliente(w(), c().Grafico), 0, PxY(2640), larghezza, altezza - PxY(2640),
                     "Grafico");
    const RECT cmd = NelCliente(w(), c().fraCmd);
    EXPECT_EQ(cmd.right - cmd.left, cmdPrima.right - cmdPrima.left);
    const RECT pulsante = NelCliente(w(), c().cmdElabora);
    EXPECT_EQ(pulsante.left - cmd.left,
              ((cmd.right - cmd.left) - (pulsante.right - pulsante.left)) / 2);

    // Nothing else moves (the toolbar only follows the width).
    const std::vector<RECT> dopo = Posizioni(*f);
    for (size_t i = 1; i < dopo.size(); ++i) {
        if (i == 12 || i == 13 || i == 14) continue;  // fraCmd, cmdElabora, Grafico
        EXPECT_TRUE(EqualRect(&dopo[i], &prima[i])) << i;
    }
    EXPECT_EQ(dopo[0].right, larghezza);

    // Wider again (still within a 1280-pixel screen at 120 dpi): fraCmd
    // reaches 120 twips from the right edge.
    DimensioneCliente(*f, PxX(11500), PxY(8000));
    GetClientRect(w(), &cliente);
    ASSERT_EQ(cliente.right, PxX(11500));
    const RECT largo = NelCliente(w(), c().fraCmd);
    EXPECT_EQ(largo.right - largo.left, PxX(11500) - PxX(9600) - PxX(120));
    const RECT pulsanteLargo = NelCliente(w(), c().cmdElabora);
    EXPECT_EQ(pulsanteLargo.left - largo.left, (largo.right - largo.left - PxX(975)) / 2);

    // Lower than the picture's top: its height stays, its width follows.
    const RECT g = NelCliente(w(), c().Grafico);
    DimensioneCliente(*f, PxX(12000), PxY(2000));
    const RECT basso = NelCliente(w(), c().Grafico);
    EXPECT_EQ(basso.bottom - basso.top, g.bottom - g.top);
    EXPECT_EQ(basso.right - basso.left, PxX(12000));
}

TEST_F(FinestraPrincipale, MinimisedAndRestoredGivesTheSameLayout) {
    DimensioneCliente(*f, PxX(11800), PxY(8000));
    const std::vector<RECT> prima = Posizioni(*f);
    ShowWindow(w(), SW_MINIMIZE);
    Pompa(*f);
    EXPECT_TRUE(IsIconic(w()));
    ShowWindow(w(), SW_RESTORE);
    Pompa(*f);
    const std::vector<RECT> dopo = Posizioni(*f);
    ASSERT_EQ(prima.size(), dopo.size());
    for (size_t i = 0; i < prima.size(); ++i)
        EXPECT_TRUE(EqualRect(&prima[i], &dopo[i])) << i;
}

TEST_F(FinestraPrincipale, ResizeRedrawsAShownChartButNotDuringARun) {
    DimensioneCliente(*f, PxX(11000), PxY(7000));
    EXPECT_TRUE(comandi.chiamate.empty());  // no chart

    comandi.visibile = true;
    DimensioneCliente(*f, PxX(11500), PxY(7100));
    EXPECT_FALSE(comandi.chiamate.empty());
    for (const auto& c : comandi.chiamate)
        EXPECT_EQ(c, "AggiornaGrafico");

    comandi.chiamate.clear();
    f->Elaborazione_In_Corso(true);
    DimensioneCliente(*f, PxX(12500), PxY(7400));
    EXPECT_TRUE(comandi.chiamate.empty());
    // The layout still follows.
    EXPECT_EQ(NelCliente(w(), c().Grafico).right, PxX(12500));
}

// Visible top-level windows of this thread other than the main window
// (tooltips aside: a person would not see them as a new window).
struct ContaFinestre {
    HWND principale;
    int n;
};
BOOL CALLBACK ContaFinestra(HWND h, LPARAM lp) {
    auto* c = reinterpret_cast<ContaFinestre*>(lp);
    if (h != c->principale && IsWindowVisible(h)) {
        char classe[64] = {};
        GetClassNameA(h, classe, sizeof classe);
        if (std::string(classe) != TOOLTIPS_CLASSA) ++c->n;
    }
    return TRUE;
}
int AltreFinestre(HWND principale) {
    ContaFinestre conta{principale, 0};
    EnumThreadWindows(GetCurrentThreadId(), ContaFinestra, reinterpret_cast<LPARAM>(&conta));
    return conta.n;
}

TEST_F(FinestraPrincipale, HelpOpensLeggimiBesideTheProgramQuietly) {
    const std::string pagina = CartellaModulo() + "Leggimi.htm";
    DeleteFileA(ToAnsi(pagina).c_str());
    InterazioneRegistrata box;

    // The page is missing: nothing to see.
    f->Toolbar1_ButtonClick("help");
    Pompa(*f, 300);
    EXPECT_TRUE(box.boxes.empty());
    EXPECT_EQ(AltreFinestre(w()), 0);

    // The page is there: it goes to the program associated with ".htm",
    // here one that records what it was given.
    const std::string base = test::CartellaProva("trevalto_guida");
    const std::string lettore = base + "lettore.exe";
    ASSERT_TRUE(CopyFileA(ToAnsi(test::CartellaBin() + "..\\registra_argomenti.exe").c_str(),
                          ToAnsi(lettore).c_str(), FALSE));
    const uint32_t cr = uxUtilita::kHkeyClassesRoot;
    test::ValoreSalvato htm(cr, ".htm", "");
    ASSERT_TRUE(test::ScriviGrezzo(cr, ".htm", "", REG_SZ, test::TestoSz("TrevaltoProva.Guida")));
    ASSERT_TRUE(test::ScriviGrezzo(cr, "TrevaltoProva.Guida\\shell\\open\\command", "", REG_SZ,
                                   test::TestoSz("\"" + ToAnsi(lettore) + "\" \"%1\"")));
    test::ScriviFile(pagina, "<html><body>Guida</body></html>");

    Clic("help");
    const std::string riga = test::PrimaRiga(test::AttendiFile(lettore + ".log", 10000));
    EXPECT_NE(riga.find(ToAnsi(pagina)), std::string::npos) << riga;
    EXPECT_TRUE(box.boxes.empty());
    EXPECT_TRUE(comandi.chiamate.empty());

    test::CancellaChiave(cr, "TrevaltoProva.Guida");
    DeleteFileA(ToAnsi(pagina).c_str());
    test::Cancella(base);
}

// The same design at another resolution: this program started again, with
// the screen at 120 dots per inch, for the tests of places, fonts and
// layout (each checks first that it runs at 120).
TEST(FinestraPrincipaleRisoluzione, DesignPlacesAndFontsFollowAScreenOf120Dpi) {
    ASSERT_EQ(std::getenv(kDpiAtteso), nullptr);
    const uint32_t cu = uxUtilita::kHkeyCurrentUser;
    test::ValoreSalvato logPixels(cu, "Control Panel\\Desktop", "LogPixels");
    const DWORD dpi = 120;
    ASSERT_TRUE(test::ScriviGrezzo(cu, "Control Panel\\Desktop", "LogPixels", REG_DWORD,
                                   std::string(reinterpret_cast<const char*>(&dpi), sizeof dpi)));
    SetEnvironmentVariableA(kDpiAtteso, "120");
    std::string riga = "\"" + ToAnsi(PercorsoModulo()) +
                       "\" --gtest_filter=FinestraPrincipale.ControlsStand*:"
                       "FinestraPrincipale.CaptionsFonts*:FinestraPrincipale.Narrow*:"
                       "FinestraPrincipale.Minimised*";
    std::vector<char> comando(riga.begin(), riga.end());
    comando.push_back('\0');
    STARTUPINFOA avvio{};
    avvio.cb = sizeof avvio;
    PROCESS_INFORMATION processo{};
    const BOOL avviato = CreateProcessA(nullptr, comando.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &avvio, &processo);
    SetEnvironmentVariableA(kDpiAtteso, nullptr);
    ASSERT_TRUE(avviato);
    const Processo figlio(processo);
    EXPECT_EQ(WaitForSingleObject(figlio.get(), 300000), WAIT_OBJECT_0);
    DWORD esito = 1;
    GetExitCodeProcess(figlio.get(), &esito);
    EXPECT_EQ(esito, 0u);
}

}  // namespace
}  // namespace quandora
