// The chart's commands in the delivered Trevalto.exe, run as its own process
// on a stand-in host and driven from outside by window messages, as a
// person's mouse and keyboard would drive it: the popup menu read off the
// screen, the tooltip's text, marks from clicks and from the menu, undo,
// the chart file through Windows' real dialogs, the bitmap, the clipboard
// and the print command. What the program wrote is read back from its
// files and compared with what the screen shows.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "chart/Formati.h"
#include "chart/FrmMain_win32.h"
#include "chart/Grafico.h"
#include "host/DatiDemo.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/HostDemo_win32.h"
#include "tests/support/Pixel_win32.h"
#include "tests/support/ProcessoTrevalto_win32.h"
#include "tests/support/QuandoraDiProva_win32.h"
#include "tests/util/SupportoWin32.h"
#include "util/DataOle.h"
#include "util/FileBinario.h"
#include "util/Finestra_win32.h"
#include "util/Gdi_win32.h"
#include "util/Testo.h"
#include "util/uxUtilita.h"

namespace quandora {
namespace {

using test::AreaCliente;
using test::Blu;
using test::DaBitmap;
using test::DaFileBmp;
using test::Differenze;
using test::Pixel;
using test::Schermo;

// --- The popup menu as the screen shows it ------------------------------------

// The items of a popup menu read off its picture, top to bottom: each row
// band of text is an item, black when it can be chosen and grey when not;
// a band one or two pixels high is a separator line and is left out.
std::vector<bool> VociAbilitate(const Pixel& menu, std::string& descrizione) {
    std::vector<bool> voci;
    int inizio = -1;
    int neri = 0;
    int grigi = 0;
    auto chiudi = [&](int fine) {
        if (inizio < 0) return;
        const int altezza = fine - inizio;
        if (altezza > 2) voci.push_back(neri > grigi);
        descrizione += "[" + std::to_string(inizio) + "+" + std::to_string(altezza) + " neri " +
                       std::to_string(neri) + " grigi " + std::to_string(grigi) + "] ";
        inizio = -1;
        neri = grigi = 0;
    };
    // Two pixels in from each side: the frame is not text.
    for (int y = 2; y < menu.Altezza - 2; ++y) {
        int n = 0;
        int g = 0;
        for (int x = 2; x < menu.Larghezza - 2; ++x) {
            const uint32_t c = menu(x, y);
            const int r = (c >> 16) & 0xFF, v = (c >> 8) & 0xFF, b = c & 0xFF;
            if (r < 60 && v < 60 && b < 60) ++n;
            if (r >= 100 && r <= 175 && std::abs(r - v) < 12 && std::abs(r - b) < 12) ++g;
        }
        if (n + g == 0) {
            chiudi(y);
        } else {
            if (inizio < 0) inizio = y;
            neri += n;
            grigi += g;
        }
    }
    chiudi(menu.Altezza - 2);
    return voci;
}

// The menu's items in order: the mark kinds, undo, clear, clipboard,
// bitmap, chart file save and open, refresh, print.
constexpr int kVoci = 11;
constexpr int kVoceSegnaPunto = 0;
constexpr int kVoceSegnaImporto = 1;
constexpr int kVoceSegnaData = 2;
constexpr int kVoceApriVrt = 8;

// --- The program under test ----------------------------------------------------

class TrevaltoExe : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        cartellaHost_ = new test::CartellaTemporanea;
        host_ = cartellaHost_->File("Quandora");
        ASSERT_TRUE(test::InstallaHostDemo(host_));
    }
    static void TearDownTestSuite() {
        test::DimenticaQuandora();
        delete cartellaHost_;
        cartellaHost_ = nullptr;
    }

    void SetUp() override {
        test::RegistraQuandora(host_ + "\\quandora.exe");
        // The real cursor stays in the screen's corner, away from the
        // window, so that nothing the mouse shows covers the picture.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        Avvia();
    }
    // The program started (again), its window and picture found.
    void Avvia() {
        trevalto_.reset();
        trevalto_ = std::make_unique<test::ProcessoTrevalto>();
        finestra_ = trevalto_->Finestra(FrmMain::kClasse);
        if (finestra_ == nullptr) {
            const HWND box = trevalto_->Cerca("#32770");
            FAIL() << "no window; "
                   << (box != nullptr ? test::TestoFinestra(box) + ": " + test::TestoBox(box)
                                      : "no box either");
        }
        picture_ = GetDlgItem(finestra_, FrmMain::kIdGrafico);
        ASSERT_NE(picture_, nullptr);
    }
    void TearDown() override {
        // Boxes or dialogs a failed test left open go with the process.
        trevalto_.reset();
    }

    // The date pickers' range; the pickers take their date from memory
    // inside the program.
    void Periodo(double da, double a) {
        for (auto [id, data] :
             {std::pair{FrmMain::kIdDataIniziale, da}, {FrmMain::kIdDataFinale, a}}) {
            const ParteData p = ScomponiData(data);
            SYSTEMTIME st = {};
            st.wYear = WORD(p.Anno);
            st.wMonth = WORD(p.Mese);
            st.wDay = WORD(p.Giorno);
            test::MemoriaRemota m(trevalto_->Processo(), sizeof st);
            ASSERT_TRUE(m.Valida() && m.Scrivi(0, &st, sizeof st));
            ASSERT_TRUE(SendMessageA(GetDlgItem(finestra_, id), DTM_SETSYSTEMTIME, GDT_VALID,
                                     m.Indirizzo()));
        }
    }
    HWND Elabora() const { return GetDlgItem(finestra_, FrmMain::kIdCmdElabora); }
    // Waits until the condition holds, for up to 20 s; its last value.
    template <class Condizione>
    static bool Attendi(Condizione c) {
        for (int t = 0; t < 400; ++t) {
            if (c()) return true;
            Sleep(50);
        }
        return c();
    }
    bool InCorso() const { return test::TestoFinestra(Elabora()) == "Interrompi"; }
    void AttendiFineRun() const {
        for (int t = 0; t < 1200 && InCorso(); ++t)
            Sleep(50);
        ASSERT_FALSE(InCorso());
        SendMessageA(finestra_, WM_NULL, 0, 0);
        Sleep(300);  // the picture painted
    }
    // A run of the ten days from 1 March 2024, all accounts.
    void Grafico10Giorni() {
        Periodo(DataSerial(2024, 3, 1), DataSerial(2024, 3, 10));
        PostMessageA(Elabora(), BM_CLICK, 0, 0);
        Sleep(200);
        AttendiFineRun();
        ASSERT_TRUE(Abilitato("save")) << "a chart was drawn";
    }

    // The toolbar, by its buttons' keys.
    static int Pulsante(const std::string& chiave) {
        const char* chiavi[] = {"clear", "open", "save", "clipboard", "undo", "bitmap", "printer"};
        for (int i = 0; i < 7; ++i)
            if (chiave == chiavi[i]) return FrmMain::kIdPrimoPulsante + i;
        return -1;
    }
    HWND Toolbar() const { return GetDlgItem(finestra_, FrmMain::kIdToolbar1); }
    bool Abilitato(const std::string& chiave) const {
        return SendMessageA(Toolbar(), TB_ISBUTTONENABLED, Pulsante(chiave), 0) != 0;
    }
    void Premi(const std::string& chiave) const {
        PostMessageA(finestra_, WM_COMMAND, Pulsante(chiave), 0);
    }
    void PremiEAttendi(const std::string& chiave) const {
        SendMessageA(finestra_, WM_COMMAND, Pulsante(chiave), 0);
    }

    // The picture's pixel nearest to a point in chart units (3000 by 3000
    // over the client area), and the chart unit a pixel stands for.
    int PixelX(double x) const { return int(std::lround(x * Dimensione().cx / 3000)); }
    int PixelY(double y) const { return int(std::lround(y * Dimensione().cy / 3000)); }
    double UnitaX(int px) const { return double(px) * 3000 / Dimensione().cx; }
    SIZE Dimensione() const {
        RECT r;
        GetClientRect(picture_, &r);
        return {r.right, r.bottom};
    }
    // A mouse message at a pixel of the picture, handled before it returns.
    void Mouse(UINT messaggio, int px, int py) const {
        SendMessageA(picture_, messaggio, 0, MAKELPARAM(px, py));
    }
    // A click at a pixel of the picture: the press (WM_?BUTTONDOWN given),
    // then its release.
    void Clic(UINT pressione, int px, int py) const {
        Mouse(pressione, px, py);
        Mouse(pressione + 1, px, py);
    }

    // The picture's tooltip text, read from its tooltip control through
    // memory inside the program.
    std::string Tooltip() const {
        // The control copies up to 1024 bytes of text: a page holds them.
        constexpr size_t kTesto = 2048;
        test::MemoriaRemota m(trevalto_->Processo(), sizeof(TOOLINFOA) + kTesto);
        if (!m.Valida()) return "(nessuna memoria)";
        for (HWND t : trevalto_->Tutte(TOOLTIPS_CLASSA)) {
            TOOLINFOA ti = {};
            ti.cbSize = TTTOOLINFOA_V1_SIZE;
            ti.hwnd = finestra_;
            ti.uId = reinterpret_cast<UINT_PTR>(picture_);
            ti.lpszText = reinterpret_cast<char*>(m.Indirizzo(sizeof ti));
            const char vuoto = 0;
            m.Scrivi(0, &ti, sizeof ti);
            m.Scrivi(sizeof ti, &vuoto, 1);
            // Only the picture's own tooltip control knows this tool.
            if (!SendMessageA(t, TTM_GETTOOLINFOA, 0, m.Indirizzo())) continue;
            m.Scrivi(0, &ti, sizeof ti);
            SendMessageA(t, TTM_GETTEXTA, kTesto, m.Indirizzo());
            char testo[kTesto] = {};
            m.Leggi(sizeof ti, testo, kTesto - 1);
            return FromAnsi(testo);
        }
        return "(nessun tooltip)";
    }

    // A right click at a pixel of the picture: the popup menu, waited for.
    HWND MenuDopoClicDestro(int px, int py) const {
        PostMessageA(picture_, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(px, py));
        PostMessageA(picture_, WM_RBUTTONUP, 0, MAKELPARAM(px, py));
        HWND menu = trevalto_->Finestra("#32768", 10000);
        Sleep(300);  // drawn
        return menu;
    }
    // Read again until every item is on the screen: a busy machine may
    // still be drawing the menu.
    std::vector<bool> LeggiMenu(HWND menu, std::string& descrizione) const {
        std::vector<bool> voci;
        for (int t = 0; t < 30; ++t) {
            RECT r;
            GetWindowRect(menu, &r);
            descrizione.clear();
            voci = VociAbilitate(Schermo(r), descrizione);
            if (voci.size() == kVoci) break;
            Sleep(100);
        }
        return voci;
    }
    // Chooses an item of the open menu with the keyboard: down to it, then
    // Enter.
    void ScegliVoce(HWND menu, int voce) const {
        for (int i = 0; i <= voce; ++i)
            PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menu, WM_CHAR, '\r', 0);
        AttendiChiusura(menu);
    }
    void ChiudiMenu(HWND menu) const {
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        AttendiChiusura(menu);
    }
    static void AttendiChiusura(HWND h) {
        for (int t = 0; t < 200 && IsWindow(h) && IsWindowVisible(h); ++t)
            Sleep(50);
        Sleep(100);
    }

    // A box or dialog of the program with the title given.
    HWND Dialogo(const std::string& titolo) const {
        const HWND d = trevalto_->Finestra("#32770", 20000, titolo.c_str());
        if (d != nullptr) Sleep(200);  // let it finish its own set-up
        return d;
    }
    // Answers a box with OK and gives back its text ("" when none came).
    std::string ChiudiBox(const std::string& titolo) const {
        const HWND box = Dialogo(titolo);
        if (box == nullptr) return "(nessun box \"" + titolo + "\")";
        const std::string testo = test::TestoBox(box);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        AttendiChiusura(box);
        return testo;
    }

    // The chart saved with the toolbar's "save" through the real dialog
    // under the name typed; the confirmation's text.
    std::string SalvaVrt(const std::string& nome) const {
        Premi("save");
        const HWND d = Dialogo("Salva Grafico Trevalto File...");
        if (d == nullptr) return "(nessun dialogo)";
        test::ScegliFile(d, nome);
        return ChiudiBox("Salvataggio");
    }
    // The chart opened with the toolbar's "open" through the real dialog.
    void ApriVrt(const std::string& nome) const {
        Premi("open");
        const HWND d = Dialogo("Apri Grafico Trevalto File...");
        ASSERT_NE(d, nullptr);
        test::ScegliFile(d, nome);
        AttendiChiusura(d);
        SendMessageA(finestra_, WM_NULL, 0, 0);
    }
    static ContenutoVrt Leggi(const std::string& file) {
        EsitoFile esito;
        auto f = FileInLettura::Apri(file, esito);
        if (!f) return {};
        return LeggiVrt(*f);
    }
    // The chart as the program holds it, through a file it saves.
    ContenutoVrt Salvato(const std::string& nome) {
        const std::string esito = SalvaVrt(nome);
        EXPECT_EQ(esito, Maiuscolo(nome) + ": file salvato.");
        return Leggi(nome);
    }

    // The picture as the screen shows it.
    // Taken once two captures a moment apart agree: the painting is over.
    Pixel Immagine() const {
        RedrawWindow(picture_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        SendMessageA(picture_, WM_NULL, 0, 0);
        Sleep(200);
        Pixel prima = Schermo(AreaCliente(picture_));
        for (int t = 0; t < 30; ++t) {
            Sleep(100);
            Pixel dopo = Schermo(AreaCliente(picture_));
            if (Differenze(prima, dopo) == 0) return dopo;
            prima = std::move(dopo);
        }
        return prima;
    }

    static test::CartellaTemporanea* cartellaHost_;
    static std::string host_;
    test::CartellaTemporanea dir_;
    std::unique_ptr<test::ProcessoTrevalto> trevalto_;
    HWND finestra_ = nullptr;
    HWND picture_ = nullptr;
};

test::CartellaTemporanea* TrevaltoExe::cartellaHost_ = nullptr;
std::string TrevaltoExe::host_;

}  // namespace

TEST_F(TrevaltoExe, TheMenuOffersWhatTheChartsStateAllows) {
    std::string letto;
    // No chart: only opening a chart file.
    HWND menu = MenuDopoClicDestro(300, 200);
    ASSERT_NE(menu, nullptr);
    std::vector<bool> atteso(kVoci, false);
    atteso[kVoceApriVrt] = true;
    EXPECT_EQ(LeggiMenu(menu, letto), atteso) << letto;
    ChiudiMenu(menu);

    // A chart: everything.
    Grafico10Giorni();
    menu = MenuDopoClicDestro(300, 200);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(LeggiMenu(menu, letto), std::vector<bool>(kVoci, true)) << letto;
    ChiudiMenu(menu);

    // During a run: nothing, not even opening a file.
    Periodo(DataSerial(2016, 1, 1), DataSerial(2026, 12, 1));
    PostMessageA(Elabora(), BM_CLICK, 0, 0);
    for (int t = 0; t < 100 && !InCorso(); ++t)
        Sleep(50);
    ASSERT_TRUE(InCorso());
    menu = MenuDopoClicDestro(300, 200);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(LeggiMenu(menu, letto), std::vector<bool>(kVoci, false)) << letto;
    ChiudiMenu(menu);
    // Stopped: the question answered Yes.
    PostMessageA(Elabora(), BM_CLICK, 0, 0);
    const HWND domanda = Dialogo("Conferma");
    if (domanda != nullptr) PostMessageA(domanda, WM_COMMAND, IDYES, 0);
    AttendiFineRun();
}

TEST_F(TrevaltoExe, TheTooltipReadsDateAndAmountClampedToThePlot) {
    Mouse(WM_MOUSEMOVE, PixelX(1500), PixelY(1500));
    EXPECT_EQ(Tooltip(), "") << "no chart, no tooltip";

    Grafico10Giorni();
    const ContenutoVrt c = Salvato(dir_.File("suggerimenti.vrt"));
    ASSERT_EQ(c.Saldi.size(), 10u);
    const std::string minimo = FormattaImporto(c.Testata.SaldoMinimo, SimboliUtente());
    const std::string massimo = FormattaImporto(c.Testata.SaldoMassimo, SimboliUtente());
    ASSERT_NE(minimo, massimo);

    // Over the plot: the day under the mouse and an amount between the
    // lowest and the highest.
    Mouse(WM_MOUSEMOVE, PixelX(2380), PixelY(1500));
    const std::string dentro = Tooltip();
    EXPECT_EQ(dentro.substr(0, 13), "10-03-2024 E.") << dentro;
    EXPECT_NE(dentro, "10-03-2024 E." + minimo);
    EXPECT_NE(dentro, "10-03-2024 E." + massimo);
    // Left of the plot: the first day.
    Mouse(WM_MOUSEMOVE, PixelX(50), PixelY(1500));
    EXPECT_EQ(Tooltip().substr(0, 13), "01-03-2024 E.");
    // Right of the plot: clamped to its right edge, past the last day's
    // line, so the date reads one day after the last.
    Mouse(WM_MOUSEMOVE, PixelX(2990), PixelY(1500));
    EXPECT_EQ(Tooltip().substr(0, 13), "11-03-2024 E.");
    // Above and below: the highest and the lowest amount.
    Mouse(WM_MOUSEMOVE, PixelX(2380), PixelY(10));
    EXPECT_EQ(Tooltip(), "10-03-2024 E." + massimo);
    Mouse(WM_MOUSEMOVE, PixelX(2380), PixelY(2990));
    EXPECT_EQ(Tooltip(), "10-03-2024 E." + minimo);

    // The chart cleared: no tooltip again.
    PremiEAttendi("clear");
    Mouse(WM_MOUSEMOVE, PixelX(2000), PixelY(1500));
    EXPECT_EQ(Tooltip(), "");
}

TEST_F(TrevaltoExe, ClicksAndTheMenuMarkAndUndoGoesBackToTheChart) {
    Clic(WM_LBUTTONDOWN, PixelX(1500), PixelY(1500));  // no chart: no mark
    Grafico10Giorni();
    // The plot starts at 400 chart units: the last pixel before it marks
    // nothing, the first pixel at or past it marks the first day.
    int primo = PixelX(400);
    while (UnitaX(primo) < 400)
        ++primo;
    while (UnitaX(primo - 1) >= 400)
        --primo;
    Clic(WM_LBUTTONDOWN, primo - 1, PixelY(1000));
    Clic(WM_LBUTTONDOWN, primo, PixelY(1000));
    Clic(WM_MBUTTONDOWN, PixelX(1500), PixelY(1500));
    // The three kinds from the menu, each at the spot right-clicked.
    const int tipi[] = {kVoceSegnaPunto, kVoceSegnaImporto, kVoceSegnaData};
    const double xs[] = {1000, 1800, 2600};
    for (int i = 0; i < 3; ++i) {
        const HWND menu = MenuDopoClicDestro(PixelX(xs[i]), PixelY(1200));
        ASSERT_NE(menu, nullptr);
        ScegliVoce(menu, tipi[i]);
    }

    const ContenutoVrt c = Salvato(dir_.File("segni.vrt"));
    ASSERT_EQ(c.Segni.size(), 6u) << "the placeholder and five marks";
    EXPECT_NEAR(c.Segni[1].X, UnitaX(primo), 1e-3);
    EXPECT_EQ(c.Segni[1].Data, DataSerial(2024, 3, 1));
    EXPECT_EQ(c.Segni[1].Tipo, kSegnoPunto);
    EXPECT_EQ(c.Segni[2].Tipo, kSegnoPunto) << "a middle click marks too";
    EXPECT_NEAR(c.Segni[2].X, 1500, 10);
    const TipoSegno attesi[] = {kSegnoPunto, kSegnoImporto, kSegnoData};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(c.Segni[3 + i].Tipo, attesi[i]) << i;
        EXPECT_NEAR(c.Segni[3 + i].X, xs[i], 10) << i;
        EXPECT_NEAR(c.Segni[3 + i].Y, 1200, 10) << i;
    }
    EXPECT_GT(c.Segni[5].Data, c.Segni[3].Data);

    // Undo takes the marks one by one, the last first...
    PremiEAttendi("undo");
    const ContenutoVrt dopo = Salvato(dir_.File("annullato.vrt"));
    ASSERT_EQ(dopo.Segni.size(), 5u);
    EXPECT_EQ(dopo.Segni[4].Tipo, kSegnoImporto);
    for (int i = 0; i < 4; ++i)
        PremiEAttendi("undo");
    EXPECT_GT(Blu(Immagine()), 50u) << "with no mark left the chart is still there";
    EXPECT_TRUE(Abilitato("save"));
    // ...then the chart itself.
    PremiEAttendi("undo");
    EXPECT_EQ(Blu(Immagine()), 0u);
    EXPECT_FALSE(Abilitato("save"));
    EXPECT_FALSE(Abilitato("undo"));
}

TEST_F(TrevaltoExe, TheChartFileSavedAndOpenedBackThroughTheRealDialogs) {
    Grafico10Giorni();
    Clic(WM_LBUTTONDOWN, PixelX(900), PixelY(900));
    Clic(WM_LBUTTONDOWN, PixelX(1700), PixelY(1400));
    const Pixel schermo = Immagine();

    // A name typed without extension gets ".vrt".
    const std::string nome = dir_.File("grafico");
    EXPECT_EQ(SalvaVrt(nome), Maiuscolo(nome + ".vrt") + ": file salvato.");
    const std::string salvato = test::CartellaTemporanea::Leggi(nome + ".vrt");
    ASSERT_FALSE(salvato.empty());

    // Saving over it asks first; Yes replaces it.
    test::CartellaTemporanea::Scrivi(nome + ".vrt", "vecchio");
    Premi("save");
    HWND d = Dialogo("Salva Grafico Trevalto File...");
    ASSERT_NE(d, nullptr);
    test::ScegliFile(d, nome + ".vrt");
    // Windows' question has the dialog's title too: the other box.
    HWND domanda = nullptr;
    for (int t = 0; t < 200 && domanda == nullptr; ++t) {
        Sleep(50);
        for (HWND h : trevalto_->Tutte("#32770"))
            if (h != d && IsWindowVisible(h) &&
                test::TestoFinestra(h) == "Salva Grafico Trevalto File...")
                domanda = h;
    }
    ASSERT_NE(domanda, nullptr) << "Windows asks before replacing the file";
    EXPECT_FALSE(test::TestoBox(domanda).empty());
    PostMessageA(domanda, WM_COMMAND, IDYES, 0);
    EXPECT_EQ(ChiudiBox("Salvataggio"), Maiuscolo(nome + ".vrt") + ": file salvato.");
    EXPECT_EQ(test::CartellaTemporanea::Leggi(nome + ".vrt"), salvato);

    // Cleared and opened back: the same chart and marks, on the screen and
    // in the file it saves again.
    PremiEAttendi("clear");
    EXPECT_EQ(Blu(Immagine()), 0u);
    ApriVrt(nome + ".vrt");
    EXPECT_EQ(Differenze(Immagine(), schermo), 0u);
    const std::string copia = dir_.File("copia.vrt");
    EXPECT_EQ(SalvaVrt(copia), Maiuscolo(copia) + ": file salvato.");
    EXPECT_EQ(test::CartellaTemporanea::Leggi(copia), salvato);

    // A mark made now comes after the file's marks.
    Clic(WM_LBUTTONDOWN, PixelX(2200), PixelY(1000));
    const ContenutoVrt c = Salvato(dir_.File("aggiunto.vrt"));
    ASSERT_EQ(c.Segni.size(), 4u);
    EXPECT_NEAR(c.Segni[1].X, 900, 10);
    EXPECT_NEAR(c.Segni[2].X, 1700, 10);
    EXPECT_NEAR(c.Segni[3].X, 2200, 10);

    // A cancelled dialog changes nothing.
    Premi("open");
    d = Dialogo("Apri Grafico Trevalto File...");
    ASSERT_NE(d, nullptr);
    PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    AttendiChiusura(d);
    EXPECT_TRUE(Abilitato("save"));
    EXPECT_EQ(Leggi(dir_.File("aggiunto.vrt")).Segni.size(), 4u);
    EXPECT_GT(Blu(Immagine()), 50u);
}

TEST_F(TrevaltoExe, DamagedChartFilesAreReportedAndLeaveTheChartCleared) {
    // Not a chart file.
    const std::string estraneo = dir_.File("estraneo.vrt");
    test::CartellaTemporanea::Scrivi(estraneo, std::string(600, 'x'));
    // A chart file of no days.
    const std::string vuoto = dir_.File("vuoto.vrt");
    TestataGrafico t;
    t.DataInizio = t.DataFine = DataSerial(2024, 3, 1);
    test::CartellaTemporanea::Scrivi(vuoto, CodificaVrt(t, {}, {SegnoGrafico{}}));

    Grafico10Giorni();
    ApriVrt(estraneo);
    EXPECT_EQ(ChiudiBox("Errore 7881"), "Apri File VRT: Formato file non valido");
    EXPECT_FALSE(Abilitato("save")) << "the chart stays cleared";
    EXPECT_EQ(Blu(Immagine()), 0u);

    Grafico10Giorni();
    ApriVrt(vuoto);
    EXPECT_EQ(ChiudiBox("Errore 7882"), "Apri File VRT: Dati non corretti.");
    EXPECT_FALSE(Abilitato("save"));
    EXPECT_FALSE(Abilitato("printer"));
    EXPECT_EQ(Blu(Immagine()), 0u);
}

TEST_F(TrevaltoExe, BitmapAndClipboardHoldThePictureAndPrintingWithoutPrinterSaysSo) {
    Grafico10Giorni();
    Clic(WM_LBUTTONDOWN, PixelX(1200), PixelY(1100));
    const Pixel schermo = Immagine();
    ASSERT_GT(Blu(schermo), 50u);

    // The bitmap under a name typed without extension: ".bmp", the
    // picture's size and its pixels.
    const std::string nome = dir_.File("immagine");
    Premi("bitmap");
    HWND d = Dialogo("Salva immagine come file bitmap...");
    ASSERT_NE(d, nullptr);
    test::ScegliFile(d, nome);
    EXPECT_EQ(ChiudiBox("Salvataggio"), Maiuscolo(nome + ".bmp") + ": file salvato.");
    const Pixel bmp = DaFileBmp(test::CartellaTemporanea::Leggi(nome + ".bmp"));
    EXPECT_EQ(bmp.Larghezza, Dimensione().cx);
    EXPECT_EQ(bmp.Altezza, Dimensione().cy);
    EXPECT_EQ(Differenze(bmp, schermo), 0u);

    // The clipboard: a bitmap equal to the picture. The clipboard is not
    // emptied first: a text put there before stays beside it.
    {
        const Appunti aperti(nullptr);
        ASSERT_TRUE(aperti.Aperti());
        EmptyClipboard();
        HGLOBAL testo = GlobalAlloc(GMEM_MOVEABLE, 6);
        std::memcpy(GlobalLock(testo), "prima", 6);
        GlobalUnlock(testo);
        SetClipboardData(CF_TEXT, testo);
    }
    PremiEAttendi("clipboard");
    Sleep(300);
    ASSERT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
    Pixel appunti;
    {
        const Appunti aperti(nullptr);
        ASSERT_TRUE(aperti.Aperti());
        const auto prima = static_cast<HGLOBAL>(GetClipboardData(CF_TEXT));
        EXPECT_NE(prima, nullptr);
        if (prima != nullptr) {
            EXPECT_STREQ(static_cast<const char*>(GlobalLock(prima)), "prima");
            GlobalUnlock(prima);
        }
        const auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
        if (bitmap != nullptr) {
            BITMAP b = {};
            GetObjectA(bitmap, sizeof b, &b);
            appunti = DaBitmap(PrendiDC(nullptr).get(), bitmap, b.bmWidth, b.bmHeight);
        }
    }
    EXPECT_EQ(Differenze(appunti, schermo), 0u);

    // Printing with no printer: the message, and the program goes on.
    Premi("printer");
    EXPECT_EQ(ChiudiBox("Errore"), "Impossibile stampare. Verificare se la stampante è on-line");
    EXPECT_TRUE(Abilitato("printer"));

    // The window enlarged: a larger picture, exported as large.
    RECT r;
    GetWindowRect(finestra_, &r);
    SetWindowPos(finestra_, nullptr, 0, 0, r.right - r.left + 200, r.bottom - r.top + 120,
                 SWP_NOMOVE | SWP_NOZORDER);
    SendMessageA(finestra_, WM_NULL, 0, 0);
    Sleep(500);
    const SIZE grande = Dimensione();
    EXPECT_GT(grande.cx, bmp.Larghezza);
    EXPECT_GT(grande.cy, bmp.Altezza);
    const std::string secondo = dir_.File("grande.bmp");
    Premi("bitmap");
    d = Dialogo("Salva immagine come file bitmap...");
    ASSERT_NE(d, nullptr);
    test::ScegliFile(d, secondo);
    EXPECT_EQ(ChiudiBox("Salvataggio"), Maiuscolo(secondo) + ": file salvato.");
    const Pixel bmpGrande = DaFileBmp(test::CartellaTemporanea::Leggi(secondo));
    EXPECT_EQ(bmpGrande.Larghezza, grande.cx);
    EXPECT_EQ(bmpGrande.Altezza, grande.cy);
    EXPECT_EQ(Differenze(bmpGrande, Immagine()), 0u);
}

// --- What a person's keys and mouse must not do ------------------------------

TEST_F(TrevaltoExe, EnterInTheParametersNeitherRunsNorDropsTheMarks) {
    Grafico10Giorni();
    Clic(WM_LBUTTONDOWN, PixelX(1500), PixelY(1500));
    // Enter where a person types: the account list, the pickers, the check
    // boxes; through the program's own message loop and its dialog keys.
    for (int id : {FrmMain::kIdCboConti, FrmMain::kIdDataIniziale, FrmMain::kIdDataFinale,
                   FrmMain::kIdChkNoStat, FrmMain::kIdChkDifferenza}) {
        const HWND h = GetDlgItem(finestra_, id);
        PostMessageA(h, WM_KEYDOWN, VK_RETURN, 0x001C0001);
        PostMessageA(h, WM_KEYUP, VK_RETURN, 0xC01C0001);
    }
    // Messages posted after them are handled after them: once the space
    // has ticked the box, every Enter has been handled.
    const HWND casella = GetDlgItem(finestra_, FrmMain::kIdChkDifferenza);
    PostMessageA(casella, WM_KEYDOWN, VK_SPACE, 0x00390001);
    PostMessageA(casella, WM_KEYUP, VK_SPACE, 0xC0390001);
    ASSERT_TRUE(Attendi([&] { return SendMessageA(casella, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
    AttendiFineRun();
    const ContenutoVrt c = Salvato(dir_.File("invio.vrt"));
    EXPECT_EQ(c.Segni.size(), 2u) << "the placeholder and the mark are still there";
}

TEST_F(TrevaltoExe, OnlyAPressAndAReleaseBothOnThePictureMakeAMark) {
    Grafico10Giorni();
    auto schermo = [&](double x) {
        POINT p{PixelX(x), PixelY(1500)};
        ClientToScreen(picture_, &p);
        return p;
    };
    auto nero = [&](double x) {  // black pixels in the picture's column at x
        const Pixel im = Immagine();
        int n = 0;
        for (int y = 0; y < im.Altezza; ++y)
            n += (im(PixelX(x), y) & 0xFFFFFF) == 0;
        return n;
    };
    auto premi = [](DWORD evento) {
        INPUT in = {};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = evento;
        SendInput(1, &in, sizeof in);
    };
    auto pompa = [](HWND finestra, UINT attesa) {
        MSG m;
        bool visto = false;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            visto = visto || (m.message == attesa && m.hwnd == finestra);
            DispatchMessageA(&m);
        }
        return visto;
    };
    const int primaA = nero(1000), primaB = nero(2000);
    // The real mouse: pressed on a window lying over the picture at A that
    // goes at the press (as a file dialog closed by a double click), then
    // released over the picture.
    const POINT a = schermo(1000);
    const HWND coperta =
        CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_NOTIFY, a.x - 40,
                        a.y - 40, 80, 80, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(coperta, nullptr);
    SetCursorPos(a.x, a.y);
    ASSERT_TRUE(Attendi([&] {
        pompa(coperta, 0);
        return WindowFromPoint(a) == coperta;
    }));
    premi(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(Attendi([&] { return pompa(coperta, WM_LBUTTONDOWN); }));
    DestroyWindow(coperta);
    ASSERT_TRUE(Attendi([&] { return WindowFromPoint(a) == picture_; }));
    premi(MOUSEEVENTF_LEFTUP);
    // Then a whole click on the picture at B: its mark shows once the
    // program has handled the input, the release at A's included.
    const POINT b = schermo(2000);
    SetCursorPos(b.x, b.y);
    premi(MOUSEEVENTF_LEFTDOWN);
    premi(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(Attendi([&] { return nero(2000) > primaB; })) << "a whole click marks";
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    EXPECT_EQ(nero(1000), primaA) << "a release without its press marks nothing";
    const ContenutoVrt c = Salvato(dir_.File("mouse.vrt"));
    ASSERT_EQ(c.Segni.size(), 2u) << "the placeholder and one mark";
    EXPECT_NEAR(c.Segni[1].X, 2000, 10);
}

TEST_F(TrevaltoExe, AnEmptyGroupingSymbolOfTheUsersSettingsIsUsedAsItIs) {
    const test::ValoreSalvato salvato(uxUtilita::kHkeyCurrentUser, "Control Panel\\International",
                                      "sThousand");
    ASSERT_TRUE(test::ScriviGrezzo(uxUtilita::kHkeyCurrentUser, "Control Panel\\International",
                                   "sThousand", REG_SZ, std::string(1, '\0')));
    Avvia();
    Grafico10Giorni();
    Mouse(WM_MOUSEMOVE, PixelX(1500), PixelY(500));
    const std::string t = Tooltip();
    // "dd-mm-yyyy E.12345,67": the amount's digits all together.
    const size_t euro = t.find("E.");
    ASSERT_NE(euro, std::string::npos) << t;
    const std::string importo = t.substr(euro + 2);
    ASSERT_GT(importo.find(','), 3u) << t << ": the demo's balances are in the thousands";
    EXPECT_EQ(importo.find_first_not_of("-0123456789"), importo.find(',')) << t;
}

TEST_F(TrevaltoExe, ARangeThroughThe30thOfDecember1899RunsLikeAnyOtherDay) {
    // 30-12-1899 is the date 0 of the pickers' dates.
    Periodo(DataSerial(1899, 12, 28), DataSerial(1900, 1, 2));
    PostMessageA(Elabora(), BM_CLICK, 0, 0);
    ASSERT_TRUE(Attendi([&] { return Abilitato("save") || trevalto_->Cerca("#32770"); }));
    AttendiFineRun();
    const HWND box = trevalto_->Cerca("#32770");
    EXPECT_EQ(box, nullptr) << test::TestoFinestra(box) << ": " << test::TestoBox(box);
    EXPECT_TRUE(Abilitato("save")) << "the chart of the six days";
    const ContenutoVrt c = Salvato(dir_.File("1899.vrt"));
    ASSERT_EQ(c.Saldi.size(), 6u);
    EXPECT_EQ(c.Saldi[2].Data, 0);
}

}  // namespace quandora
