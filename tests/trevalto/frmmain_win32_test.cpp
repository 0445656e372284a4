// Trevalto's window in-process under Wine: controls and layout, toolbar and
// menu, each command's effect, keys, help; dialogs and boxes answered
// in-process.

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
#include "tests/chart/GraficoDiProva.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/InterazioneRegistrata.h"
#include "tests/support/Processo_win32.h"
#include "tests/support/Sistema_win32.h"
#include "util/Gdi_win32.h"
#include "util/Modulo.h"
#include "util/uxUtilita.h"

namespace quandora {
namespace {

using enum Controllo;

constexpr const char* kDpiAtteso = "TREVALTO_DPI_ATTESO";

const auto Dpi = [](int indice) { return GetDeviceCaps(PrendiDC(nullptr).get(), indice); };
const auto PxX = [](int twips) { return MulDiv(twips, Dpi(LOGPIXELSX), 1440); };
const auto PxY = [](int twips) { return MulDiv(twips, Dpi(LOGPIXELSY), 1440); };

bool Dentro(const RECT& r, const RECT& contenitore) {
    RECT x;
    return IntersectRect(&x, &r, &contenitore) && EqualRect(&x, &r);
}

class FinestraPrincipale : public ::testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_DATE_CLASSES |
                                                 ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
        ASSERT_TRUE(InitCommonControlsEx(&icc));
        // Run again at 120 dpi by the last test.
        if (const char* dpi = std::getenv(kDpiAtteso)) {
            ASSERT_EQ(Dpi(LOGPIXELSX), std::atoi(dpi));
            ASSERT_EQ(Dpi(LOGPIXELSY), std::atoi(dpi));
        }
        p = std::make_unique<ProgrammaTrevalto>(false);
        ShowWindow(w(), SW_SHOWNORMAL);
        SetForegroundWindow(w());
        Pompa();
    }

    FrmMain& f() { return p->Finestra(); }
    HWND w() { return f().Finestra(); }
    HWND c(Controllo k) { return f().Finestra(k); }
    HDC Immagine() { return p->Immagine().DcImmagine(); }
    // The waiting messages through the window's keys, as the program's loop.
    void Pompa() {
        for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) {
            if (!f().PreTraduciMessaggio(msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }
    RECT Posto(Controllo k) {
        RECT r;
        GetWindowRect(c(k), &r);
        MapWindowPoints(nullptr, w(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    // The client area resized, the window at the screen's corner.
    void Cliente(int larghezza, int altezza) {
        RECT r{0, 0, larghezza, altezza};
        AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(w(), GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongA(w(), GWL_EXSTYLE)));
        SetWindowPos(w(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        Pompa();
    }
    void ConGrafico() {
        GraficoSaldi& g = p->Grafico();
        test::Riempi(g, DataSerial(2024, 3, 1), {-50, 50, 150, 250, -50, 50, 150, 250, -50, 50});
        g.AggiornaGrafico();
        g.UltimoX = 1000;
        g.UltimoY = 1500;
        ASSERT_TRUE(g.SegnaPunto(kSegnoPunto));
    }
    // The enabled toolbar buttons by key; the popup menu, really opened
    // (and closed by the posted cancel), item by item: 1 enabled, 0 grey,
    // - a separator.
    std::string Abilitati() {
        std::string s;
        for (const Comando& k : ComandiToolbar())
            if (k.id != 0 && SendMessageA(c(Toolbar1), TB_ISBUTTONENABLED, k.id, 0) != 0)
                s += std::string(k.chiave) + " ";
        PostMessageA(w(), WM_CANCELMODE, 0, 0);
        f().ApriMenuGrafico({0, 0});
        for (int i = 0; i < GetMenuItemCount(f().mnFile()); ++i) {
            const UINT stato = GetMenuState(f().mnFile(), static_cast<UINT>(i), MF_BYPOSITION);
            s += (stato & MF_SEPARATOR) ? '-' : (stato & MF_GRAYED) ? '0' : '1';
        }
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
    EXPECT_EQ(test::TestoFinestra(w()), "Modulo aggiuntivo Quandora [Grafico Trevalto Saldo]");

    std::vector<HWND> tab;
    std::string testi;
    for (const ProgettoControllo& k : ProgettoControlli()) {
        const HWND h = c(k.controllo);
        SCOPED_TRACE(static_cast<int>(k.controllo));
        ASSERT_EQ(GetDlgItem(w(), IdControllo(k.controllo)), h);
        char classe[64] = {};
        GetClassNameA(h, classe, sizeof classe);
        EXPECT_STRCASEEQ(classe, k.classe ? k.classe : "TrevaltoGrafico");
        if (k.testo != nullptr) testi += test::TestoFinestra(h) + "|";
        EXPECT_EQ(IsWindowVisible(h) != FALSE, (k.stile & WS_VISIBLE) != 0);
        if (k.stile & WS_TABSTOP) tab.push_back(h);
        const RECT r = Posto(k.controllo);
        EXPECT_TRUE(Dentro(r, cliente));
        if (k.cornice) {
            EXPECT_TRUE(Dentro(r, Posto(*k.cornice)));
        }
        // At the design place through the screen's resolution; the layout
        // moves the picture, fraCmd and its button, the toolbar its own.
        const Rettangolo d = PostoNelCliente(k.controllo);
        if (k.controllo != Grafico && k.controllo != fraCmd && k.controllo != cmdElabora &&
            k.controllo != Toolbar1) {
            const RECT atteso{PxX(d.sinistra), PxY(d.alto), PxX(d.sinistra) + PxX(d.larghezza),
                              PxY(d.alto) + PxY(d.altezza)};
            EXPECT_TRUE(EqualRect(&r, &atteso));
        }
        if (k.carattere == TipoCarattere::Nessuno) continue;
        // The frames bold, the list and dates larger, the rest the window's.
        LOGFONTA lf{};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0)), sizeof lf, &lf);
        EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
        const bool grande = k.carattere == TipoCarattere::Grande;
        EXPECT_EQ(lf.lfHeight, -MulDiv(grande ? 975 : 825, Dpi(LOGPIXELSY), 7200));
        EXPECT_EQ(lf.lfWeight, k.carattere == TipoCarattere::Grassetto ? FW_BOLD : FW_NORMAL);
    }
    EXPECT_EQ(testi,
              "Parametri |Conto:|Data Finale:|Data Iniziale:|Opzioni |Esclude i movimenti con il "
              "flag No Statistiche|Relativo rispetto al saldo della data iniziale|Comandi "
              "|Elabora|Totale giorni:|");

    // No overlap among the tab stops nor the frames; labels over fields.
    for (const std::vector<HWND>& gruppo :
         {tab, std::vector<HWND>{c(fraParametri), c(fraOpzioni), c(fraCmd)}})
        for (size_t i = 0; i < gruppo.size(); ++i)
            for (size_t j = i + 1; j < gruppo.size(); ++j) {
                RECT a, b, x;
                GetWindowRect(gruppo[i], &a);
                GetWindowRect(gruppo[j], &b);
                EXPECT_FALSE(IntersectRect(&x, &a, &b)) << i << " " << j;
            }
    for (auto [sopra, sotto] : {std::pair{Label3, CboConti},
                                {Label1, DataIniziale},
                                {Label2, DataFinale},
                                {lblTot, CboConti},
                                {chkNoStat, chkdifferenza}})
        EXPECT_EQ(Posto(sopra).left, Posto(sotto).left);
    EXPECT_EQ(Posto(DataIniziale).top, Posto(DataFinale).top);
    EXPECT_EQ(Posto(Label1).top, Posto(Label2).top);
    for (Controllo k : {fraOpzioni, fraCmd}) {
        EXPECT_EQ(Posto(k).top, Posto(fraParametri).top);
        EXPECT_EQ(Posto(k).bottom, Posto(fraParametri).bottom);
    }
    const RECT t = Posto(Toolbar1);
    EXPECT_TRUE(t.left == 0 && t.top == 0 && t.right == cliente.right);
    EXPECT_GT(t.bottom, PxY(240));
    EXPECT_LE(t.bottom, Posto(fraParametri).top);
    // Tab in the table's order, and round again.
    for (size_t i = 0; i < tab.size(); ++i)
        EXPECT_EQ(GetNextDlgTabItem(w(), tab[i], FALSE), tab[(i + 1) % tab.size()]) << i;

    EXPECT_EQ(SendMessageA(c(Stato), PBM_GETRANGE, FALSE, 0), 100);
    const SYSTEMTIME st{2024, 3, 0, 5, 0, 0, 0, 0};
    SendMessageA(c(DataIniziale), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
    EXPECT_EQ(test::TestoFinestra(c(DataIniziale)), "05-03-2024");
    EXPECT_NE(GetClassLongPtrA(w(), GCLP_HICON), 0);
}

// The picture over the whole width down to the bottom, fraCmd to the right
// margin with its button centred, nothing else moving, no size negative.
TEST_F(FinestraPrincipale, TheLayoutFollowsTheSize) {
    std::vector<RECT> prima;
    for (size_t i = 0; i < kNumeroControlli; ++i)
        prima.push_back(Posto(static_cast<Controllo>(i)));
    for (auto [larghezza, altezza] : {std::pair{PxX(kLarghezzaCliente), PxY(kAltezzaCliente)},
                                      {PxX(9000), PxY(6000)},
                                      {PxX(11500), PxY(8000)},
                                      {PxX(12000), PxY(2000)}}) {
        const RECT gPrima = Posto(Grafico), cmdPrima = Posto(fraCmd);
        Cliente(larghezza, altezza);
        SCOPED_TRACE(larghezza);
        const RECT g = Posto(Grafico);
        EXPECT_TRUE(g.left == 0 && g.right == larghezza);
        EXPECT_EQ(g.top, PxY(PostoNelCliente(Grafico).alto));
        EXPECT_EQ(g.bottom, altezza >= g.top ? altezza : gPrima.bottom);
        EXPECT_EQ(p->Immagine().Larghezza(), larghezza);
        const RECT cmd = Posto(fraCmd);
        const int voluta = larghezza - cmd.left - Posto(fraParametri).left;
        EXPECT_EQ(cmd.right - cmd.left, voluta >= 0 ? voluta : cmdPrima.right - cmdPrima.left);
        const RECT b = Posto(cmdElabora);
        EXPECT_EQ(b.left - cmd.left, (cmd.right - cmd.left - (b.right - b.left)) / 2);
        for (size_t i = 0; i < prima.size(); ++i) {
            const auto k = static_cast<Controllo>(i);
            const RECT dopo = Posto(k);
            const bool segue = k == Grafico || k == fraCmd || k == cmdElabora || k == Toolbar1;
            EXPECT_TRUE(segue || EqualRect(&dopo, &prima[i])) << i;
        }
        EXPECT_EQ(Posto(Toolbar1).right, larghezza);
    }
}

TEST_F(FinestraPrincipale, ToolbarAndMenuAreTheirTablesWithTheirTextsAndImages) {
    // In the table's order, ids by position, an image and a grey one each.
    const auto pulsanti = ComandiToolbar();
    ASSERT_EQ(SendMessageA(c(Toolbar1), TB_BUTTONCOUNT, 0, 0), std::ssize(pulsanti));
    const auto suggerimenti =
        reinterpret_cast<HWND>(SendMessageA(c(Toolbar1), TB_GETTOOLTIPS, 0, 0));
    std::string testi;
    int n = 0;
    for (size_t i = 0; i < pulsanti.size(); ++i) {
        TBBUTTON b{};
        SendMessageA(c(Toolbar1), TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b));
        EXPECT_EQ((b.fsStyle & BTNS_SEP) != 0, pulsanti[i].id == 0) << i;
        if (pulsanti[i].id == 0) continue;
        EXPECT_EQ(b.idCommand, FrmMain::kIdPrimoPulsante + n);
        EXPECT_EQ(b.iBitmap, n++);
        EXPECT_STREQ(reinterpret_cast<const char*>(b.dwData), pulsanti[i].chiave);
        for (int icona : {pulsanti[i].icona, pulsanti[i].icona + IDI_GRIGIO})
            EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(icona)), nullptr);
        char testo[256] = {};
        TOOLINFOA ti{};
        ti.cbSize = TTTOOLINFOA_V1_SIZE;
        ti.hwnd = c(Toolbar1);
        ti.uId = static_cast<UINT_PTR>(b.idCommand);
        ti.lpszText = testo;
        SendMessageA(suggerimenti, TTM_GETTEXTA, sizeof testo, reinterpret_cast<LPARAM>(&ti));
        testi += FromAnsi(testo) + "|";
    }
    EXPECT_EQ(testi,
              "Nuovo grafico|Apri file Grafico Trevalto Saldo...|Salva Grafico Trevalto Saldo "
              "come file...|Copia l'immagine del grafico negli appunti di sistema|Annulla "
              "l'ultima operazione|Esporta Grafico come file immagine bitmap...|Stampa Grafico "
              "Trevalto Saldo||");

    // The popup menu, its first item the bold default.
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

TEST_F(FinestraPrincipale, EveryCommandReachesItsOwnHandler) {
    GraficoSaldi& g = p->Grafico();
    // The dialogs' titles are read end to end.
    const auto dialogo = [&](bool salva, const char* tipo, const char* ext) {
        return [=, this] {
            ASSERT_EQ(schermo.dialoghi.size(), 1u);
            const DialogoFile& d = schermo.dialoghi[0].dialogo;
            EXPECT_EQ(schermo.dialoghi[0].salva, salva);
            EXPECT_EQ(d.Filtro, "file " + std::string(tipo) + " (*." + ext + ")|*." + ext +
                                    "|Tutti i file (*.*)|*.*");
            EXPECT_EQ(d.DefaultExt, ext);
            EXPECT_EQ(d.Flags, salva ? 2050u : 4100u);
        };
    };
    const auto apri = [&, d = dialogo(false, "VRT", "vrt")] {
        d();
        EXPECT_TRUE(g.Grafico_Visibile()) << "a cancelled open keeps the chart";
    };
    const auto salva = dialogo(true, "VRT", "vrt");
    const auto bitmap = dialogo(true, "Bitmap", "bmp");
    const auto segno = [&](TipoSegno tipo) {
        return [&g, tipo] { EXPECT_TRUE(g.Segni.size() == 3u && g.Segni[2].Tipo == tipo); };
    };
    const auto stampa = [&] { EXPECT_EQ(schermo.boxes.size(), 1u) << "no printer"; };
    const auto appunti = [&] { EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP)); };
    const auto annulla = [&] { EXPECT_EQ(g.Segni.size(), 1u); };
    const auto azzera = [&] { EXPECT_FALSE(g.Grafico_Visibile()); };
    const auto ripulisci = [&] { EXPECT_TRUE(g.Grafico_Visibile() && g.Segni.size() == 1u); };
    const auto aggiorna = [&] { EXPECT_NE(GetPixel(Immagine(), 1, 1), RGB(0, 0, 0)); };
    const auto punto = segno(kSegnoPunto), importo = segno(kSegnoImporto), data = segno(kSegnoData);
    const std::function<void()> attesi[] = {azzera,  apri,   salva,   appunti, annulla,  bitmap,
                                            stampa,  punto,  importo, data,    annulla,  ripulisci,
                                            appunti, bitmap, salva,   apri,    aggiorna, stampa};
    std::vector<int> comandi;
    for (auto tabella : {ComandiToolbar(), ComandiMenu()})
        for (const Comando& k : tabella)
            if (k.id != 0 && k.esegui != ComandiToolbar().back().esegui) comandi.push_back(k.id);
    ASSERT_EQ(comandi.size(), std::size(attesi));
    for (size_t i = 0; i < comandi.size(); ++i) {
        SCOPED_TRACE(comandi[i]);
        ConGrafico();
        g.UltimoX = 2000;
        schermo.boxes.clear();
        schermo.dialoghi.clear();
        if (const Appunti a(w()); a.Aperti()) EmptyClipboard();
        PatBlt(Immagine(), 0, 0, 4, 4, BLACKNESS);
        SendMessageA(w(), WM_COMMAND, MAKEWPARAM(comandi[i], 0), 0);
        attesi[i]();
    }

    // The save dialog offers the last name chosen; a failed bitmap says so; a
    // file that is no chart is reported and the chart cleared.
    const test::CartellaTemporanea dir;
    const std::string vrt = dir.File("grafico.vrt"), estraneo = dir.File("estraneo.vrt");
    test::CartellaTemporanea::Scrivi(estraneo, std::string(600, 'x'));
    ConGrafico();
    schermo.dialoghi.clear();
    schermo.boxes.clear();
    schermo.scelte = {vrt, dir.File("manca\\immagine.bmp"), estraneo};
    for (int comando : {102, 105, 101})
        SendMessageA(w(), WM_COMMAND, comando, 0);
    ASSERT_EQ(schermo.dialoghi.size(), 3u);
    EXPECT_EQ(schermo.dialoghi[1].dialogo.FileName, vrt);
    ASSERT_EQ(schermo.boxes.size(), 3u);
    EXPECT_EQ(schermo.boxes[0].testo, Maiuscolo(vrt) + ": file salvato.");
    EXPECT_EQ(schermo.boxes[1].titolo, "Errore 76");
    EXPECT_EQ(schermo.boxes[1].testo, "Salva immagine: Impossibile trovare il percorso ");
    EXPECT_EQ(schermo.boxes[2].titolo, "Errore 7881");
    EXPECT_EQ(schermo.boxes[2].testo, "Apri File VRT: Formato file non valido");
    EXPECT_FALSE(g.Grafico_Visibile());
}

template <class Disegno>
std::vector<COLORREF> Pixel16(Disegno disegna) {
    const Bitmap b(CreateCompatibleBitmap(PrendiDC(nullptr).get(), 16, 16));
    const DCCreato dc = CreaDCMemoria(nullptr);
    const OggettoSelezionato selezionata(dc.get(), b.get());
    PatBlt(dc.get(), 0, 0, 16, 16, WHITENESS);
    disegna(dc.get());
    std::vector<COLORREF> v;
    for (int i = 0; i < 256; ++i)
        v.push_back(GetPixel(dc.get(), i % 16, i / 16));
    return v;
}

TEST_F(FinestraPrincipale, TheChartAndARunEnableTheToolbarAndTurnTheRunButton) {
    EXPECT_EQ(Abilitati(), "clear open help 0000-0-000-1-0-0");
    ConGrafico();
    EXPECT_EQ(Abilitati(), "clear open save clipboard undo bitmap printer help 1111-1-111-1-1-1");

    // The run button's picture, above its caption: imgElabora's or
    // imgInterrompi's.
    const auto icona = [&](Controllo k) {
        const auto h = reinterpret_cast<HICON>(SendMessageA(c(k), STM_GETICON, 0, 0));
        return Pixel16([&](HDC dc) { DrawIconEx(dc, 0, 0, h, 16, 16, 0, nullptr, DI_NORMAL); });
    };
    const auto pulsante = [&] {
        BUTTON_IMAGELIST bi{};
        SendMessageA(c(cmdElabora), BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&bi));
        EXPECT_EQ(bi.uAlign, static_cast<UINT>(BUTTON_IMAGELIST_ALIGN_TOP));
        return Pixel16([&](HDC dc) { ImageList_Draw(bi.himl, 0, dc, 0, 0, ILD_NORMAL); });
    };
    ASSERT_NE(icona(imgElabora), icona(imgInterrompi));
    EXPECT_EQ(pulsante(), icona(imgElabora));
    for (bool run : {true, false}) {
        f().Elaborazione_In_Corso(run);
        for (Controllo k : {DataIniziale, DataFinale, chkNoStat, CboConti, chkdifferenza})
            EXPECT_EQ(IsWindowEnabled(c(k)) != FALSE, !run);
        EXPECT_TRUE(IsWindowEnabled(c(cmdElabora)));
        EXPECT_EQ(test::TestoFinestra(c(cmdElabora)), run ? "Interrompi" : "Elabora");
        EXPECT_EQ(f().TooltipElabora(), run ? "Interrompe la generazione del grafico"
                                            : "Inizia la generazione del grafico");
        EXPECT_EQ(IsWindowEnabled(c(Toolbar1)) != FALSE, !run);
        EXPECT_EQ(pulsante(), icona(run ? imgInterrompi : imgElabora));
        if (!run) continue;
        EXPECT_EQ(Abilitati(), "0000-0-000-0-0-0");
        // A button changed during the run keeps its change.
        f().AbilitaPulsante("undo", false);
    }
    EXPECT_EQ(Abilitati(), "clear open save clipboard bitmap printer help 1111-1-111-1-1-1");
    // A resize redraws a shown chart, not during a run.
    PatBlt(Immagine(), 0, 0, 4, 4, BLACKNESS);
    f().Elaborazione_In_Corso(true);
    Cliente(PxX(11000), PxY(7000));
    EXPECT_EQ(GetPixel(Immagine(), 1, 1), RGB(0, 0, 0));
    f().Elaborazione_In_Corso(false);
    Cliente(PxX(11500), PxY(7100));
    EXPECT_NE(GetPixel(Immagine(), 1, 1), RGB(0, 0, 0));
}

TEST_F(FinestraPrincipale, KeysMoveThroughTheParametersAPersonsChoiceDropsTheChartEnterNot) {
    for (const char* conto : {"<tutti i conti>", "Conto corrente", "Contanti"})
        p->AggiungiVoce(conto, 0);
    SendMessageA(c(CboConti), CB_SETCURSEL, 0, 0);
    for (Controllo k : {CboConti, DataIniziale, DataFinale}) {
        ConGrafico();
        SetFocus(c(k));
        PostMessageA(c(k), WM_KEYDOWN, k == CboConti ? VK_DOWN : VK_UP, 0);
        Pompa();
        EXPECT_FALSE(p->Grafico().Grafico_Visibile());
    }
    EXPECT_EQ(SendMessageA(c(CboConti), CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(test::TestoFinestra(c(lblTot)).rfind("Totale giorni: ", 0), 0u);

    // Tab through the loop's dialog keys; Escape closes nothing.
    SetFocus(c(DataFinale));
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    PostMessageA(c(chkNoStat), WM_KEYDOWN, VK_ESCAPE, 0);
    Pompa();
    EXPECT_EQ(GetFocus(), c(chkNoStat));
    EXPECT_TRUE(IsWindowVisible(w()));

    // Enter in the parameters neither runs nor drops the chart and its mark.
    ConGrafico();
    for (Controllo k : {CboConti, DataIniziale, DataFinale, chkNoStat, chkdifferenza}) {
        PostMessageA(c(k), WM_KEYDOWN, VK_RETURN, 0x001C0001);
        PostMessageA(c(k), WM_KEYUP, VK_RETURN, 0xC01C0001);
    }
    Pompa();
    EXPECT_TRUE(p->Grafico().Grafico_Visibile() && p->Grafico().Segni.size() == 2u);
}

TEST_F(FinestraPrincipale, HelpOpensLeggimiBesideTheProgramQuietly) {
    const int guida = ComandiToolbar().back().id;
    ASSERT_STREQ(ComandiToolbar().back().chiave, "help");
    const std::string pagina = CartellaModulo() + "Leggimi.htm";
    DeleteFileA(ToAnsi(pagina).c_str());
    SendMessageA(w(), WM_COMMAND, guida, 0);
    EXPECT_TRUE(schermo.boxes.empty()) << "a missing page shows nothing";

    // The page there: to the program of ".htm", one that records its line.
    const test::CartellaTemporanea base;
    const std::string lettore = base.File("lettore.exe");
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
}

// Places, fonts and layout again, this program run with a 120 dpi screen.
TEST(FinestraPrincipaleRisoluzione, DesignPlacesAndFontsFollowAScreenOf120Dpi) {
    ASSERT_EQ(std::getenv(kDpiAtteso), nullptr);
    const uint32_t cu = uxUtilita::kHkeyCurrentUser;
    test::ValoreSalvato logPixels(cu, "Control Panel\\Desktop", "LogPixels");
    const DWORD dpi = 120;
    ASSERT_TRUE(test::ScriviGrezzo(cu, "Control Panel\\Desktop", "LogPixels", REG_DWORD,
                                   std::string(reinterpret_cast<const char*>(&dpi), sizeof dpi)));
    SetEnvironmentVariableA(kDpiAtteso, "120");
    std::string uscita;
    const DWORD esito = test::Esegui("\"" + PercorsoModulo() +
                                         "\" --gtest_filter=FinestraPrincipale.ControlsStand*:"
                                         "FinestraPrincipale.TheLayout*",
                                     &uscita, 300000);
    SetEnvironmentVariableA(kDpiAtteso, nullptr);
    EXPECT_EQ(esito, 0u) << uscita;
}

}  // namespace
}  // namespace quandora
