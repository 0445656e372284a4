// Trevalto's window put together, in-process under Wine: the controls as
// their table places them, the layout after resizes, the toolbar and menu
// their table builds, each command's effect on the chart, the keyboard and
// the help command. The dialogs and boxes are answered in-process.

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/Programma_win32.h"
#include "chart/RisorseTrevalto.h"
#include "tests/support/InterazioneRegistrata.h"
#include "tests/util/SupportoWin32.h"
#include "util/Gdi_win32.h"
#include "util/Modulo.h"
#include "util/Testo.h"
#include "util/uxUtilita.h"

namespace quandora {
namespace {

const bool kControlliComuni = [] {
    INITCOMMONCONTROLSEX icc{
        sizeof icc, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
}();

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

std::string Testo(HWND h) {
    char t[512] = {};
    GetWindowTextA(h, t, sizeof t);
    return FromAnsi(t);
}

// Runs the thread's waiting messages through the window's keyboard
// handling, as the program's loop does, until none is left.
void Pompa(FrmMain& f) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!f.PreTraduciMessaggio(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

using enum Controllo;

class FinestraPrincipale : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(kControlliComuni);
        // Started again by the test of another resolution (below).
        if (const char* dpi = std::getenv(kDpiAtteso)) {
            ASSERT_EQ(Dpi(LOGPIXELSX), std::atoi(dpi));
            ASSERT_EQ(Dpi(LOGPIXELSY), std::atoi(dpi));
        }
        p = std::make_unique<ProgrammaTrevalto>(false);
        ShowWindow(w(), SW_SHOWNORMAL);
        SetForegroundWindow(w());
        Pompa(f());
    }

    FrmMain& f() { return p->Finestra(); }
    HWND w() { return f().Finestra(); }
    HWND c(Controllo k) { return f().Finestra(k); }
    RECT Posto(Controllo k) {
        RECT r;
        GetWindowRect(c(k), &r);
        MapWindowPoints(nullptr, w(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    std::vector<RECT> Posti() {
        std::vector<RECT> r;
        for (const ProgettoControllo& k : ProgettoControlli())
            r.push_back(Posto(k.controllo));
        return r;
    }
    // Resizes the window so that its client area has the given size, at the
    // screen's top left corner, so that the screen holds it whole.
    void Cliente(int larghezza, int altezza) {
        RECT r{0, 0, larghezza, altezza};
        AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(w(), GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongA(w(), GWL_EXSTYLE)));
        SetWindowPos(w(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        Pompa(f());
    }
    // A chart of ten days with one mark, drawn on the picture.
    void ConGrafico() {
        GraficoSaldi& g = p->Grafico();
        g.AzzeraGrafico();
        g.Testata.NumeroGiorni = 10;
        g.Testata.DataInizio = DataSerial(2024, 3, 1);
        g.Testata.DataFine = DataSerial(2024, 3, 10);
        g.Testata.ImpostaDescrizione("Conto corrente");
        g.Saldi.clear();
        for (int i = 0; i < 10; ++i)
            g.Saldi.push_back({i + 1, DataSerial(2024, 3, 1) + i, 100.0 * (i % 4) - 50});
        g.Testata.SaldoMinimo = -50;
        g.Testata.SaldoMassimo = 250;
        g.AggiornaGrafico();
        g.UltimoX = 1000;
        g.UltimoY = 1500;
        ASSERT_TRUE(g.SegnaPunto(kSegnoPunto));
    }
    int Posizione(const char* chiave) {
        int n = 0;
        for (const Comando& k : ComandiToolbar()) {
            if (k.chiave != nullptr && std::string(k.chiave) == chiave) return n;
            n += k.id != 0;
        }
        return -1;
    }
    bool Abilitato(const Comando& k) {
        return SendMessageA(c(Toolbar1), TB_ISBUTTONENABLED, k.id, 0) != 0;
    }
    std::string Abilitati() {
        std::string s;
        for (const Comando& k : ComandiToolbar())
            if (k.id != 0 && Abilitato(k)) s += std::string(s.empty() ? "" : " ") + k.chiave;
        return s;
    }

    test::InterazioneRegistrata schermo;
    std::unique_ptr<ProgrammaTrevalto> p;
};

TEST_F(FinestraPrincipale, ControlsStandWhereTheirTableSaysInsideTheWindowWithoutOverlap) {
    RECT cliente;
    GetClientRect(w(), &cliente);
    EXPECT_EQ(cliente.right, PxX(kLarghezzaCliente));
    EXPECT_EQ(cliente.bottom, PxY(kAltezzaCliente));
    EXPECT_EQ(Testo(w()), "Modulo aggiuntivo Quandora [Grafico Trevalto Saldo]");

    std::vector<HWND> tab;
    for (const ProgettoControllo& k : ProgettoControlli()) {
        const HWND h = c(k.controllo);
        SCOPED_TRACE(static_cast<int>(k.controllo));
        ASSERT_EQ(GetDlgItem(w(), IdControllo(k.controllo)), h);
        char classe[64] = {};
        GetClassNameA(h, classe, sizeof classe);
        if (k.classe != nullptr) {
            EXPECT_STRCASEEQ(classe, k.classe);
        }
        if (k.testo != nullptr) {
            EXPECT_EQ(Testo(h), k.testo);
        }
        EXPECT_EQ(IsWindowVisible(h) != FALSE, (k.stile & WS_VISIBLE) != 0);
        if (k.stile & WS_TABSTOP) tab.push_back(h);
        // Inside the window and inside its frame.
        const RECT r = Posto(k.controllo);
        RECT dentro;
        EXPECT_TRUE(IntersectRect(&dentro, &r, &cliente) && EqualRect(&dentro, &r));
        if (k.cornice) {
            const RECT cornice = Posto(*k.cornice);
            EXPECT_TRUE(IntersectRect(&dentro, &r, &cornice) && EqualRect(&dentro, &r));
        }
        // At the design place, through the screen's resolution; the layout
        // moves the picture, fraCmd and its button.
        const Rettangolo d = PostoNelCliente(k.controllo);
        if (k.controllo == Grafico || k.controllo == fraCmd || k.controllo == cmdElabora ||
            k.controllo == Toolbar1)
            continue;
        EXPECT_EQ(r.left, PxX(d.sinistra));
        EXPECT_EQ(r.top, PxY(d.alto));
        EXPECT_EQ(r.right - r.left, PxX(d.larghezza));
        EXPECT_EQ(r.bottom - r.top, PxY(d.altezza));
    }
    // What takes the focus does not overlap, nor do the frames; a label
    // stands above the field it names, the fields of a row side by side.
    for (const std::vector<HWND>& gruppo :
         {tab, std::vector<HWND>{c(fraParametri), c(fraOpzioni), c(fraCmd)}})
        for (size_t i = 0; i < gruppo.size(); ++i)
            for (size_t j = i + 1; j < gruppo.size(); ++j) {
                RECT a, b, x;
                GetWindowRect(gruppo[i], &a);
                GetWindowRect(gruppo[j], &b);
                EXPECT_FALSE(IntersectRect(&x, &a, &b)) << i << " " << j;
            }
    for (auto [etichetta, campo] : {std::pair{Label3, CboConti},
                                    {Label1, DataIniziale},
                                    {Label2, DataFinale},
                                    {lblTot, CboConti}})
        EXPECT_EQ(Posto(etichetta).left, Posto(campo).left);
    EXPECT_EQ(Posto(DataIniziale).top, Posto(DataFinale).top);
    EXPECT_EQ(Posto(Label1).top, Posto(Label2).top);
    EXPECT_EQ(Posto(chkNoStat).left, Posto(chkdifferenza).left);
    for (Controllo k : {fraOpzioni, fraCmd}) {
        EXPECT_EQ(Posto(k).top, Posto(fraParametri).top);
        EXPECT_EQ(Posto(k).bottom, Posto(fraParametri).bottom);
    }
    // The toolbar along the top edge, over the whole width, above the frames.
    const RECT t = Posto(Toolbar1);
    EXPECT_EQ(t.left, 0);
    EXPECT_EQ(t.top, 0);
    EXPECT_EQ(t.right, cliente.right);
    EXPECT_GT(t.bottom, PxY(240));
    EXPECT_LE(t.bottom, Posto(fraParametri).top);

    // Tab goes through the controls that take the focus in the table's
    // order, and round again.
    for (size_t i = 0; i < tab.size(); ++i)
        EXPECT_EQ(GetNextDlgTabItem(w(), tab[i], FALSE), tab[(i + 1) % tab.size()]) << i;

    // Fonts: the frames bold, the list and dates larger, the rest the
    // window's own.
    for (const ProgettoControllo& k : ProgettoControlli()) {
        if (k.carattere == TipoCarattere::Nessuno) continue;
        LOGFONTA lf{};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(c(k.controllo), WM_GETFONT, 0, 0)),
                   sizeof lf, &lf);
        EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
        const bool grande = k.carattere == TipoCarattere::Grande;
        EXPECT_EQ(lf.lfHeight, -MulDiv(grande ? 975 : 825, Dpi(LOGPIXELSY), 7200));
        EXPECT_EQ(lf.lfWeight, k.carattere == TipoCarattere::Grassetto ? FW_BOLD : FW_NORMAL);
    }
    EXPECT_EQ(GetWindowLongA(c(Toolbar1), GWL_STYLE) & CCS_TOP, CCS_TOP);
    EXPECT_EQ(SendMessageA(c(Stato), PBM_GETRANGE, FALSE, 0), 100);
    SYSTEMTIME st{};
    st.wYear = 2024;
    st.wMonth = 3;
    st.wDay = 5;
    SendMessageA(c(DataIniziale), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
    EXPECT_EQ(Testo(c(DataIniziale)), "05-03-2024");
    EXPECT_NE(GetClassLongPtrA(w(), GCLP_HICON), 0);
}

// The layout: the picture from the left edge over the whole width down to
// the bottom; fraCmd up to fraParametri's margin from the right edge, its
// button centred; nothing else moves, and no rule makes a size negative.
TEST_F(FinestraPrincipale, TheLayoutFollowsTheSizeAndComesBackAfterMinimising) {
    const std::vector<RECT> prima = Posti();
    for (auto [larghezza, altezza] : {std::pair{PxX(kLarghezzaCliente), PxY(kAltezzaCliente)},
                                      {PxX(9000), PxY(6000)},
                                      {PxX(11500), PxY(8000)},
                                      {PxX(12000), PxY(2000)}}) {
        const RECT gPrima = Posto(Grafico), cmdPrima = Posto(fraCmd);
        Cliente(larghezza, altezza);
        SCOPED_TRACE(larghezza);
        const RECT g = Posto(Grafico);
        EXPECT_EQ(g.left, 0);
        EXPECT_EQ(g.top, PxY(PostoNelCliente(Grafico).alto));
        EXPECT_EQ(g.right, larghezza);
        EXPECT_EQ(g.bottom, altezza >= g.top ? altezza : gPrima.bottom);
        EXPECT_EQ(p->Immagine().Larghezza(), larghezza);
        const RECT cmd = Posto(fraCmd);
        const int voluta = larghezza - cmd.left - Posto(fraParametri).left;
        EXPECT_EQ(cmd.right - cmd.left, voluta >= 0 ? voluta : cmdPrima.right - cmdPrima.left);
        const RECT b = Posto(cmdElabora);
        EXPECT_EQ(b.left - cmd.left, (cmd.right - cmd.left - (b.right - b.left)) / 2);
        const std::vector<RECT> dopo = Posti();
        for (size_t i = 0; i < dopo.size(); ++i) {
            const auto k = static_cast<Controllo>(i);
            const bool segue = k == Grafico || k == fraCmd || k == cmdElabora || k == Toolbar1;
            EXPECT_TRUE(segue || EqualRect(&dopo[i], &prima[i])) << i;
        }
        EXPECT_EQ(Posto(Toolbar1).right, larghezza);
    }
    const std::vector<RECT> prima2 = Posti();
    ShowWindow(w(), SW_MINIMIZE);
    Pompa(f());
    EXPECT_TRUE(IsIconic(w()));
    ShowWindow(w(), SW_RESTORE);
    Pompa(f());
    const std::vector<RECT> dopo = Posti();
    for (size_t i = 0; i < dopo.size(); ++i)
        EXPECT_TRUE(EqualRect(&prima2[i], &dopo[i])) << i;
}

TEST_F(FinestraPrincipale, ToolbarAndMenuAreTheirTablesWithTheirTextsAndImages) {
    // Buttons and separators in the table's order, the commands numbered
    // from kIdPrimoPulsante by position, an image each.
    const auto pulsanti = ComandiToolbar();
    ASSERT_EQ(SendMessageA(c(Toolbar1), TB_BUTTONCOUNT, 0, 0), std::ssize(pulsanti));
    const HWND suggerimenti =
        reinterpret_cast<HWND>(SendMessageA(c(Toolbar1), TB_GETTOOLTIPS, 0, 0));
    std::string testi;
    int posizione = 0;
    for (size_t i = 0; i < pulsanti.size(); ++i) {
        TBBUTTON b{};
        SendMessageA(c(Toolbar1), TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b));
        EXPECT_EQ((b.fsStyle & BTNS_SEP) != 0, pulsanti[i].id == 0) << i;
        if (pulsanti[i].id == 0) continue;
        EXPECT_EQ(b.idCommand, FrmMain::kIdPrimoPulsante + posizione);
        EXPECT_EQ(b.iBitmap, posizione++);
        EXPECT_STREQ(reinterpret_cast<const char*>(b.dwData), pulsanti[i].chiave);
        for (int icona : {pulsanti[i].icona, pulsanti[i].icona + IDI_GRIGIO})
            EXPECT_NE(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(icona), IMAGE_ICON, 16,
                                 16, LR_SHARED),
                      nullptr);
        char testo[256] = {};
        TOOLINFOA ti{};
        ti.cbSize = TTTOOLINFOA_V1_SIZE;
        ti.hwnd = c(Toolbar1);
        ti.uId = static_cast<UINT_PTR>(b.idCommand);
        ti.lpszText = testo;
        SendMessageA(suggerimenti, TTM_GETTEXTA, sizeof testo, reinterpret_cast<LPARAM>(&ti));
        testi += FromAnsi(testo) + "|";
    }
    EXPECT_EQ(ImageList_GetImageCount(
                  reinterpret_cast<HIMAGELIST>(SendMessageA(c(Toolbar1), TB_GETIMAGELIST, 0, 0))),
              posizione);
    EXPECT_EQ(testi,
              "Nuovo grafico|Apri file Grafico Trevalto Saldo...|Salva Grafico Trevalto Saldo "
              "come file...|Copia l'immagine del grafico negli appunti di sistema|Annulla "
              "l'ultima operazione|Esporta Grafico come file immagine bitmap...|Stampa Grafico "
              "Trevalto Saldo||");

    // The menu "File", never a menu bar, its first item the bold default.
    char file[16] = {};
    GetMenuStringA(f().BarraMenu(), 0, file, sizeof file, MF_BYPOSITION);
    EXPECT_STREQ(file, "File");
    EXPECT_EQ(GetSubMenu(f().BarraMenu(), 0), f().mnFile());
    EXPECT_EQ(GetMenu(w()), nullptr);
    const auto voci = ComandiMenu();
    ASSERT_EQ(GetMenuItemCount(f().mnFile()), std::ssize(voci));
    testi.clear();
    for (size_t i = 0; i < voci.size(); ++i) {
        char t[64] = {};
        GetMenuStringA(f().mnFile(), static_cast<UINT>(i), t, sizeof t, MF_BYPOSITION);
        testi += FromAnsi(t) + "|";
        EXPECT_EQ(static_cast<int>(GetMenuItemID(f().mnFile(), static_cast<int>(i))), voci[i].id);
    }
    EXPECT_EQ(testi,
              "Segna punto|&Segna importo|&Segna data|Annulla||Ripulisce||Copia in "
              "clipboard|Salva come immagine...|Salva come VRT File...||Apri VRT "
              "File...||Aggiorna||&Stampa|");
    EXPECT_EQ(GetMenuDefaultItem(f().mnFile(), TRUE, 0), 0u);
}

// Each command of the toolbar and the menu, as WM_COMMAND brings it, does
// its own thing to a chart with one mark.
TEST_F(FinestraPrincipale, EveryCommandReachesItsOwnHandler) {
    GraficoSaldi& g = p->Grafico();
    const auto dialogo = [&](const char* titolo, bool salva, const char* filtro,
                             const char* estensione) {
        return [=, this] {
            ASSERT_EQ(schermo.dialoghi.size(), 1u);
            const DialogoFile& d = schermo.dialoghi[0].dialogo;
            EXPECT_EQ(d.Titolo, titolo);
            EXPECT_EQ(schermo.dialoghi[0].salva, salva);
            EXPECT_EQ(d.Filtro, std::string(filtro) + "|Tutti i file (*.*)|*.*");
            EXPECT_EQ(d.DefaultExt, estensione);
            EXPECT_EQ(d.Flags, salva ? 2050u : 4100u);
        };
    };
    const char* vrt = "file VRT (*.vrt)|*.vrt";
    const auto apri = dialogo("Apri Grafico Trevalto File...", false, vrt, "vrt");
    const auto salva = dialogo("Salva Grafico Trevalto File...", true, vrt, "vrt");
    const auto bitmap =
        dialogo("Salva immagine come file bitmap...", true, "file Bitmap (*.bmp)|*.bmp", "bmp");
    const auto segno = [&](TipoSegno tipo) {
        return [&g, tipo] {
            ASSERT_EQ(g.Segni.size(), 3u);
            EXPECT_EQ(g.Segni[2].Tipo, tipo);
        };
    };
    const auto stampa = [&] {
        ASSERT_EQ(schermo.boxes.size(), 1u);
        EXPECT_EQ(schermo.boxes[0].testo,
                  "Impossibile stampare. Verificare se la stampante è on-line");
    };
    const auto appunti = [&] { EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP)); };
    const auto annulla = [&] { EXPECT_EQ(g.Segni.size(), 1u); };
    const std::vector<std::pair<int, std::function<void()>>> attesi = {
        {100, [&] { EXPECT_FALSE(g.Grafico_Visibile()); }},
        {101, apri},
        {102, salva},
        {103, appunti},
        {104, annulla},
        {105, bitmap},
        {106, stampa},
        {200, segno(kSegnoPunto)},
        {201, segno(kSegnoImporto)},
        {202, segno(kSegnoData)},
        {203, annulla},
        {204, [&] { EXPECT_TRUE(g.Grafico_Visibile() && g.Segni.size() == 1u); }},
        {205, appunti},
        {206, bitmap},
        {207, salva},
        {208, apri},
        {209, [&] { EXPECT_NE(GetPixel(p->Immagine().DcImmagine(), 1, 1), RGB(0, 0, 0)); }},
        {210, stampa},
    };
    for (const auto& [id, verifica] : attesi) {
        SCOPED_TRACE(id);
        ConGrafico();
        g.UltimoX = 2000;
        schermo.boxes.clear();
        schermo.dialoghi.clear();
        {
            const Appunti a(w());
            EmptyClipboard();
        }
        PatBlt(p->Immagine().DcImmagine(), 0, 0, 4, 4, BLACKNESS);
        SendMessageA(w(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
        verifica();
    }
}

TEST_F(FinestraPrincipale, TheChartAndARunEnableTheToolbarAndTurnTheRunButton) {
    EXPECT_EQ(Abilitati(), "clear open help");
    ConGrafico();
    EXPECT_EQ(Abilitati(), "clear open save clipboard undo bitmap printer help");

    // The run button's picture, above its caption, is that of imgElabora or
    // imgInterrompi.
    const auto pixel = [](auto disegna) {
        const Bitmap b(CreateCompatibleBitmap(PrendiDC(nullptr).get(), 16, 16));
        const DCCreato dc = CreaDCMemoria(nullptr);
        const OggettoSelezionato selezionata(dc.get(), b.get());
        PatBlt(dc.get(), 0, 0, 16, 16, WHITENESS);
        disegna(dc.get());
        std::vector<COLORREF> v;
        for (int i = 0; i < 256; ++i)
            v.push_back(GetPixel(dc.get(), i % 16, i / 16));
        return v;
    };
    const auto icona = [&](Controllo k) {
        return pixel([&](HDC dc) {
            DrawIconEx(dc, 0, 0, reinterpret_cast<HICON>(SendMessageA(c(k), STM_GETICON, 0, 0)), 16,
                       16, 0, nullptr, DI_NORMAL);
        });
    };
    const auto pulsante = [&] {
        BUTTON_IMAGELIST bi{};
        SendMessageA(c(cmdElabora), BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&bi));
        EXPECT_EQ(bi.uAlign, static_cast<UINT>(BUTTON_IMAGELIST_ALIGN_TOP));
        return pixel([&](HDC dc) { ImageList_Draw(bi.himl, 0, dc, 0, 0, ILD_NORMAL); });
    };
    ASSERT_NE(icona(imgElabora), icona(imgInterrompi));
    EXPECT_EQ(pulsante(), icona(imgElabora));
    const Controllo parametri[] = {DataIniziale, DataFinale, chkNoStat, CboConti, chkdifferenza};
    for (bool run : {true, false}) {
        f().Elaborazione_In_Corso(run);
        for (Controllo k : parametri)
            EXPECT_EQ(IsWindowEnabled(c(k)) != FALSE, !run);
        EXPECT_TRUE(IsWindowEnabled(c(cmdElabora)));
        EXPECT_EQ(Testo(c(cmdElabora)), run ? "Interrompi" : "Elabora");
        EXPECT_EQ(f().TooltipElabora(), run ? "Interrompe la generazione del grafico"
                                            : "Inizia la generazione del grafico");
        EXPECT_EQ(IsWindowEnabled(c(Toolbar1)) != FALSE, !run);
        EXPECT_EQ(pulsante(), icona(run ? imgInterrompi : imgElabora));
        if (run) {
            EXPECT_EQ(Abilitati(), "");
            // A button the chart changes during the run keeps its change.
            f().AbilitaPulsante("undo", false);
        }
    }
    EXPECT_EQ(Abilitati(), "clear open save clipboard bitmap printer help");
    // A resize redraws a shown chart, not during a run.
    PatBlt(p->Immagine().DcImmagine(), 0, 0, 4, 4, BLACKNESS);
    f().Elaborazione_In_Corso(true);
    Cliente(PxX(11000), PxY(7000));
    EXPECT_EQ(GetPixel(p->Immagine().DcImmagine(), 1, 1), RGB(0, 0, 0));
    f().Elaborazione_In_Corso(false);
    Cliente(PxX(11500), PxY(7100));
    EXPECT_NE(GetPixel(p->Immagine().DcImmagine(), 1, 1), RGB(0, 0, 0));
}

TEST_F(FinestraPrincipale, KeysMoveThroughTheParametersAndAPersonsChoiceDropsTheChart) {
    for (const char* conto : {"<tutti i conti>", "Conto corrente", "Contanti"})
        p->AggiungiVoce(conto, 0);
    SendMessageA(c(CboConti), CB_SETCURSEL, 0, 0);
    ConGrafico();
    SetFocus(c(CboConti));
    PostMessageA(c(CboConti), WM_KEYDOWN, VK_DOWN, 0);
    Pompa(f());
    EXPECT_EQ(SendMessageA(c(CboConti), CB_GETCURSEL, 0, 0), 1);
    EXPECT_FALSE(p->Grafico().Grafico_Visibile());
    for (Controllo data : {DataIniziale, DataFinale}) {
        ConGrafico();
        SetFocus(c(data));
        PostMessageA(c(data), WM_KEYDOWN, VK_UP, 0);
        Pompa(f());
        EXPECT_FALSE(p->Grafico().Grafico_Visibile());
        EXPECT_EQ(Testo(c(lblTot)).rfind("Totale giorni: ", 0), 0u);
    }

    // Tab through the message loop's dialog handling; Space ticks a box.
    SetFocus(c(CboConti));
    for (Controllo atteso : {DataIniziale, DataFinale, chkNoStat}) {
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        Pompa(f());
        EXPECT_EQ(GetFocus(), c(atteso));
    }
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_SPACE, 0);
    PostMessageA(GetFocus(), WM_KEYUP, VK_SPACE, 0xC0000001);
    Pompa(f());
    EXPECT_EQ(SendMessageA(c(chkNoStat), BM_GETCHECK, 0, 0), BST_CHECKED);
    // Escape closes nothing.
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    Pompa(f());
    EXPECT_TRUE(IsWindowVisible(w()));
}

// Visible top-level windows of this thread other than the main window and
// tooltips.
struct Conta {
    HWND principale;
    int n;
};
BOOL CALLBACK ContaFinestra(HWND h, LPARAM lp) {
    auto* c = reinterpret_cast<Conta*>(lp);
    char classe[64] = {};
    GetClassNameA(h, classe, sizeof classe);
    c->n += h != c->principale && IsWindowVisible(h) && std::string(classe) != TOOLTIPS_CLASSA;
    return TRUE;
}
int AltreFinestre(HWND principale) {
    Conta conta{principale, 0};
    EnumThreadWindows(GetCurrentThreadId(), ContaFinestra, reinterpret_cast<LPARAM>(&conta));
    return conta.n;
}

TEST_F(FinestraPrincipale, HelpOpensLeggimiBesideTheProgramQuietly) {
    const int guida = FrmMain::kIdPrimoPulsante + Posizione("help");
    const std::string pagina = CartellaModulo() + "Leggimi.htm";
    DeleteFileA(ToAnsi(pagina).c_str());
    SendMessageA(w(), WM_COMMAND, guida, 0);
    Pompa(f());
    EXPECT_TRUE(schermo.boxes.empty());
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
    SendMessageA(w(), WM_COMMAND, guida, 0);
    const std::string riga = test::PrimaRiga(test::AttendiFile(lettore + ".log", 30000));
    EXPECT_NE(riga.find(ToAnsi(pagina)), std::string::npos) << riga;
    EXPECT_TRUE(schermo.boxes.empty());
    test::CancellaChiave(cr, "TrevaltoProva.Guida");
    DeleteFileA(ToAnsi(pagina).c_str());
    test::Cancella(base);
}

// The same design at 120 dots per inch: this program started again with
// the screen at that resolution, for the tests of places and layout.
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
                       "FinestraPrincipale.TheLayout*";
    STARTUPINFOA avvio{};
    avvio.cb = sizeof avvio;
    PROCESS_INFORMATION processo{};
    const BOOL avviato = CreateProcessA(nullptr, riga.data(), nullptr, nullptr, TRUE, 0, nullptr,
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
