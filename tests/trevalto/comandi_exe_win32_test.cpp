// The chart's commands in the running Trevalto.exe on a stand-in host,
// driven from outside: the menu and picture read off the screen, the real
// dialogs, the files written, the clipboard and printing.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "chart/Formati.h"
#include "chart/Grafico.h"
#include "tests/support/ProcessoTrevalto_win32.h"
#include "util/FileBinario.h"
#include "util/Finestra_win32.h"
#include "util/uxUtilita.h"

namespace quandora {
namespace {

using test::Attendi;
using test::Blu;
using test::CartellaTemporanea;
using test::Differenze;
using test::Pixel;

// The menu's items: the three marks, undo, clear, clipboard, bitmap, save,
// open (8), refresh, print.
constexpr size_t kVoci = 11;
constexpr char kSalvaVrt[] = "Salva Grafico Trevalto File...";
constexpr char kSalvaBmp[] = "Salva immagine come file bitmap...";

// A window of the test's that notes a press of the left button on it.
bool premutaCoperta = false;
LRESULT CALLBACK Coperta(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    premutaCoperta = premutaCoperta || m == WM_LBUTTONDOWN;
    return DefWindowProcA(h, m, wp, lp);
}

class TrevaltoExe : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        cartellaHost_ = new CartellaTemporanea;
        ASSERT_TRUE(test::InstallaHostDemo(cartellaHost_->File("Quandora")));
    }
    static void TearDownTestSuite() {
        test::DimenticaQuandora();
        delete cartellaHost_;
    }
    void SetUp() override {
        test::RegistraQuandora(cartellaHost_->File("Quandora\\quandora.exe"));
        // The cursor away from the picture, which is read off the screen.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        Avvia();
    }
    void Avvia() {
        p.reset();
        p.emplace();
        std::string perche;
        ASSERT_TRUE(p->Avviato(perche)) << perche;
    }
    void Grafico10Giorni() {
        ASSERT_TRUE(p->Periodo(DataSerial(2024, 3, 1), DataSerial(2024, 3, 10)));
        ASSERT_TRUE(p->Elabora());
        ASSERT_TRUE(p->Abilitato("save")) << "a chart was drawn";
    }
    static ContenutoVrt Leggi(const std::string& file) {
        EsitoFile esito;
        auto f = FileInLettura::Apri(file, esito);
        return f ? LeggiVrt(*f) : ContenutoVrt{};
    }
    std::string SalvaVrt(const std::string& nome) { return p->Salva("save", kSalvaVrt, nome); }
    ContenutoVrt Salvato(const std::string& nome) {
        EXPECT_EQ(SalvaVrt(nome), Maiuscolo(nome) + ": file salvato.");
        return Leggi(nome);
    }
    Pixel Bitmap(const std::string& nome, const std::string& file) {
        EXPECT_EQ(p->Salva("bitmap", kSalvaBmp, nome), Maiuscolo(file) + ": file salvato.");
        return test::DaFileBmp(CartellaTemporanea::Leggi(file));
    }

    static inline CartellaTemporanea* cartellaHost_ = nullptr;
    CartellaTemporanea dir_;
    std::optional<test::ProcessoTrevalto> p;
};

}  // namespace

TEST_F(TrevaltoExe, TheMenuOffersWhatTheChartsStateAllows) {
    auto menu = [&](const std::vector<bool>& atteso) {
        std::string letto;
        const HWND m = p->Menu(300, 200);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(p->Voci(m, kVoci, letto), atteso) << letto;
        p->ChiudiMenu(m);
    };
    // No chart: only open; a chart: all; during a run: none.
    std::vector<bool> soloApri(kVoci, false);
    soloApri[8] = true;
    menu(soloApri);
    Grafico10Giorni();
    menu(std::vector<bool>(kVoci, true));
    ASSERT_TRUE(p->Periodo(DataSerial(2016, 1, 1), DataSerial(2026, 12, 1)));
    ASSERT_TRUE(p->AvviaRun());
    menu(std::vector<bool>(kVoci, false));
    PostMessageA(p->Controllo(FrmMain::kIdCmdElabora), BM_CLICK, 0, 0);
    p->ChiudiBox("Conferma", IDYES);
    EXPECT_TRUE(p->AttendiFineRun());
}

TEST_F(TrevaltoExe, TheTooltipReadsDateAndAmountClampedToThePlot) {
    p->Mouse(WM_MOUSEMOVE, p->PixelX(1500), p->PixelY(1500));
    EXPECT_EQ(p->Tooltip(), "") << "no chart, no tooltip";

    Grafico10Giorni();
    const ContenutoVrt c = Salvato(dir_.File("suggerimenti.vrt"));
    ASSERT_EQ(c.Saldi.size(), 10u);
    const std::string minimo = FormattaImporto(c.Testata.SaldoMinimo, SimboliUtente());
    const std::string massimo = FormattaImporto(c.Testata.SaldoMassimo, SimboliUtente());
    ASSERT_NE(minimo, massimo);
    auto tooltip = [&](double x, double y) {
        p->Mouse(WM_MOUSEMOVE, p->PixelX(x), p->PixelY(y));
        return p->Tooltip();
    };
    // Over the plot: the day and an amount inside the range; left of it the
    // first day, right of it clamped past the last day's line; above and
    // below the highest and the lowest amount.
    const std::string dentro = tooltip(2380, 1500);
    EXPECT_EQ(dentro.substr(0, 13), "10-03-2024 E.") << dentro;
    EXPECT_NE(dentro, "10-03-2024 E." + minimo);
    EXPECT_NE(dentro, "10-03-2024 E." + massimo);
    EXPECT_EQ(tooltip(50, 1500).substr(0, 13), "01-03-2024 E.");
    EXPECT_EQ(tooltip(2990, 1500).substr(0, 13), "11-03-2024 E.");
    EXPECT_EQ(tooltip(2380, 10), "10-03-2024 E." + massimo);
    EXPECT_EQ(tooltip(2380, 2990), "10-03-2024 E." + minimo);

    p->PremiEAttendi("clear");
    EXPECT_EQ(tooltip(2000, 1500), "");
}

TEST_F(TrevaltoExe, ClicksAndTheMenuMarkAndUndoGoesBackToTheChart) {
    p->Clic(WM_LBUTTONDOWN, p->PixelX(1500), p->PixelY(1500));  // no chart: no mark
    Grafico10Giorni();
    // The plot starts at 400 units: the pixel before it marks nothing.
    int primo = p->PixelX(400);
    while (p->UnitaX(primo) < 400)
        ++primo;
    while (p->UnitaX(primo - 1) >= 400)
        --primo;
    p->Clic(WM_LBUTTONDOWN, primo - 1, p->PixelY(1000));
    p->Clic(WM_LBUTTONDOWN, primo, p->PixelY(1000));
    p->Clic(WM_MBUTTONDOWN, p->PixelX(1500), p->PixelY(1500));
    // The menu's three marks (its first items), each where right-clicked.
    const double xs[] = {1000, 1800, 2600};
    for (int i = 0; i < 3; ++i) {
        const HWND menu = p->Menu(p->PixelX(xs[i]), p->PixelY(1200));
        ASSERT_NE(menu, nullptr);
        p->ScegliVoce(menu, i);
    }

    const ContenutoVrt c = Salvato(dir_.File("segni.vrt"));
    ASSERT_EQ(c.Segni.size(), 6u) << "the placeholder and five marks";
    EXPECT_NEAR(c.Segni[1].X, p->UnitaX(primo), 1e-3);
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

    // Undo takes the marks one by one, the last first, then the chart.
    p->PremiEAttendi("undo");
    const ContenutoVrt dopo = Salvato(dir_.File("annullato.vrt"));
    ASSERT_EQ(dopo.Segni.size(), 5u);
    EXPECT_EQ(dopo.Segni[4].Tipo, kSegnoImporto);
    for (int i = 0; i < 4; ++i)
        p->PremiEAttendi("undo");
    EXPECT_GT(Blu(p->Immagine()), 50u) << "with no mark left the chart is still there";
    EXPECT_TRUE(p->Abilitato("save"));
    p->PremiEAttendi("undo");
    EXPECT_EQ(Blu(p->Immagine()), 0u);
    EXPECT_FALSE(p->Abilitato("save"));
    EXPECT_FALSE(p->Abilitato("undo"));
}

TEST_F(TrevaltoExe, TheChartFileSavedAndOpenedBackThroughTheRealDialogs) {
    Grafico10Giorni();
    p->Clic(WM_LBUTTONDOWN, p->PixelX(900), p->PixelY(900));
    p->Clic(WM_LBUTTONDOWN, p->PixelX(1700), p->PixelY(1400));
    const Pixel schermo = p->Immagine();

    // A name typed without extension gets ".vrt".
    const std::string nome = dir_.File("grafico");
    EXPECT_EQ(SalvaVrt(nome), Maiuscolo(nome + ".vrt") + ": file salvato.");
    const std::string salvato = CartellaTemporanea::Leggi(nome + ".vrt");
    ASSERT_FALSE(salvato.empty());

    // Saving over it: Windows asks (a box of the dialog's title); Yes.
    CartellaTemporanea::Scrivi(nome + ".vrt", "vecchio");
    p->Premi("save");
    const HWND d = p->Dialogo(kSalvaVrt);
    ASSERT_NE(d, nullptr);
    ASSERT_TRUE(test::ScegliFile(d, nome + ".vrt"));
    const HWND domanda = p->Finestra("#32770", kSalvaVrt, d);
    ASSERT_NE(domanda, nullptr) << "Windows asks before replacing the file";
    EXPECT_FALSE(test::TestoBox(domanda).empty());
    PostMessageA(domanda, WM_COMMAND, IDYES, 0);
    EXPECT_EQ(p->ChiudiBox("Salvataggio"), Maiuscolo(nome + ".vrt") + ": file salvato.");
    EXPECT_EQ(CartellaTemporanea::Leggi(nome + ".vrt"), salvato);

    // Cleared and opened back: the same picture, and the same file saved.
    p->PremiEAttendi("clear");
    EXPECT_EQ(Blu(p->Immagine()), 0u);
    ASSERT_TRUE(p->ApriVrt(nome + ".vrt"));
    EXPECT_EQ(Differenze(p->Immagine(), schermo), 0u);
    const std::string copia = dir_.File("copia.vrt");
    EXPECT_EQ(SalvaVrt(copia), Maiuscolo(copia) + ": file salvato.");
    EXPECT_EQ(CartellaTemporanea::Leggi(copia), salvato);

    // A mark made now comes after the file's marks.
    p->Clic(WM_LBUTTONDOWN, p->PixelX(2200), p->PixelY(1000));
    const ContenutoVrt c = Salvato(dir_.File("aggiunto.vrt"));
    ASSERT_EQ(c.Segni.size(), 4u);
    EXPECT_NEAR(c.Segni[1].X, 900, 10);
    EXPECT_NEAR(c.Segni[2].X, 1700, 10);
    EXPECT_NEAR(c.Segni[3].X, 2200, 10);

    // A cancelled dialog changes nothing.
    p->Premi("open");
    const HWND apri = p->Dialogo("Apri Grafico Trevalto File...");
    ASSERT_NE(apri, nullptr);
    PostMessageA(apri, WM_COMMAND, IDCANCEL, 0);
    p->AttendiChiusura(apri);
    EXPECT_TRUE(p->Abilitato("save"));
    EXPECT_EQ(Leggi(dir_.File("aggiunto.vrt")).Segni.size(), 4u);
    EXPECT_GT(Blu(p->Immagine()), 50u);
}

TEST_F(TrevaltoExe, DamagedChartFilesAreReportedAndLeaveTheChartCleared) {
    // Not a chart file; a chart file of no days.
    const std::string estraneo = dir_.File("estraneo.vrt");
    CartellaTemporanea::Scrivi(estraneo, std::string(600, 'x'));
    const std::string vuoto = dir_.File("vuoto.vrt");
    TestataGrafico t;
    t.DataInizio = t.DataFine = DataSerial(2024, 3, 1);
    CartellaTemporanea::Scrivi(vuoto, CodificaVrt(t, {}, {SegnoGrafico{}}));
    const std::pair<std::string, std::string> casi[] = {
        {estraneo, "Errore 7881|Apri File VRT: Formato file non valido"},
        {vuoto, "Errore 7882|Apri File VRT: Dati non corretti."}};
    for (const auto& [file, box] : casi) {
        SCOPED_TRACE(file);
        Grafico10Giorni();
        ASSERT_TRUE(p->ApriVrt(file));
        const size_t barra = box.find('|');
        EXPECT_EQ(p->ChiudiBox(box.substr(0, barra)), box.substr(barra + 1));
        EXPECT_FALSE(p->Abilitato("save")) << "the chart stays cleared";
        EXPECT_FALSE(p->Abilitato("printer"));
        EXPECT_EQ(Blu(p->Immagine()), 0u);
    }
}

TEST_F(TrevaltoExe, BitmapAndClipboardHoldThePictureAndPrintingWithoutPrinterSaysSo) {
    Grafico10Giorni();
    p->Clic(WM_LBUTTONDOWN, p->PixelX(1200), p->PixelY(1100));
    const Pixel schermo = p->Immagine();
    ASSERT_GT(Blu(schermo), 50u);

    // The bitmap: ".bmp" added, the picture's size and pixels.
    const std::string nome = dir_.File("immagine");
    const Pixel bmp = Bitmap(nome, nome + ".bmp");
    EXPECT_EQ(bmp.Larghezza, p->Dimensione().cx);
    EXPECT_EQ(bmp.Altezza, p->Dimensione().cy);
    EXPECT_EQ(Differenze(bmp, schermo), 0u);

    // The clipboard: the picture, beside the text already there.
    {
        const Appunti aperti(nullptr);
        ASSERT_TRUE(aperti.Aperti());
        EmptyClipboard();
        HGLOBAL testo = GlobalAlloc(GMEM_MOVEABLE, 6);
        std::memcpy(GlobalLock(testo), "prima", 6);
        GlobalUnlock(testo);
        SetClipboardData(CF_TEXT, testo);
    }
    p->PremiEAttendi("clipboard");
    ASSERT_TRUE(Attendi([] { return IsClipboardFormatAvailable(CF_BITMAP); }));
    Pixel appunti;
    {
        const Appunti aperti(nullptr);
        ASSERT_TRUE(aperti.Aperti());
        const auto prima = static_cast<HGLOBAL>(GetClipboardData(CF_TEXT));
        ASSERT_NE(prima, nullptr);
        EXPECT_STREQ(static_cast<const char*>(GlobalLock(prima)), "prima");
        GlobalUnlock(prima);
        const auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
        BITMAP b = {};
        if (bitmap != nullptr && GetObjectA(bitmap, sizeof b, &b))
            appunti = test::DaBitmap(PrendiDC(nullptr).get(), bitmap, b.bmWidth, b.bmHeight);
    }
    EXPECT_EQ(Differenze(appunti, schermo), 0u);

    p->Premi("printer");
    EXPECT_EQ(p->ChiudiBox("Errore"), "Impossibile stampare. Verificare se la stampante è on-line");
    EXPECT_TRUE(p->Abilitato("printer"));

    // The window enlarged: a larger picture, exported as large.
    RECT r;
    GetWindowRect(p->Principale(), &r);
    SetWindowPos(p->Principale(), nullptr, 0, 0, r.right - r.left + 200, r.bottom - r.top + 120,
                 SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(Attendi(
        [&] { return p->Dimensione().cx > bmp.Larghezza && p->Dimensione().cy > bmp.Altezza; }));
    const SIZE grande = p->Dimensione();
    const std::string secondo = dir_.File("grande.bmp");
    const Pixel bmpGrande = Bitmap(secondo, secondo);
    EXPECT_EQ(bmpGrande.Larghezza, grande.cx);
    EXPECT_EQ(bmpGrande.Altezza, grande.cy);
    EXPECT_EQ(Differenze(bmpGrande, p->Immagine()), 0u);
}

TEST_F(TrevaltoExe, EnterInTheParametersNeitherRunsNorDropsTheMarks) {
    Grafico10Giorni();
    p->Clic(WM_LBUTTONDOWN, p->PixelX(1500), p->PixelY(1500));
    // Enter in each field, through the program's own message loop.
    for (int id : {FrmMain::kIdCboConti, FrmMain::kIdDataIniziale, FrmMain::kIdDataFinale,
                   FrmMain::kIdChkNoStat, FrmMain::kIdChkDifferenza}) {
        PostMessageA(p->Controllo(id), WM_KEYDOWN, VK_RETURN, 0x001C0001);
        PostMessageA(p->Controllo(id), WM_KEYUP, VK_RETURN, 0xC01C0001);
    }
    // Once the space posted after them has ticked the box, all are handled.
    const HWND casella = p->Controllo(FrmMain::kIdChkDifferenza);
    PostMessageA(casella, WM_KEYDOWN, VK_SPACE, 0x00390001);
    PostMessageA(casella, WM_KEYUP, VK_SPACE, 0xC0390001);
    ASSERT_TRUE(Attendi([&] { return SendMessageA(casella, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
    ASSERT_TRUE(p->AttendiFineRun());
    const ContenutoVrt c = Salvato(dir_.File("invio.vrt"));
    EXPECT_EQ(c.Segni.size(), 2u) << "the placeholder and the mark are still there";
}

TEST_F(TrevaltoExe, OnlyAPressAndAReleaseBothOnThePictureMakeAMark) {
    Grafico10Giorni();
    auto schermo = [&](double x) {
        POINT pt{p->PixelX(x), p->PixelY(1500)};
        ClientToScreen(p->Picture(), &pt);
        return pt;
    };
    auto nero = [&](double x) {  // black pixels in the picture's column at x
        const Pixel im = p->Immagine();
        int n = 0;
        for (int y = 0; y < im.Altezza; ++y)
            n += (im(p->PixelX(x), y) & 0xFFFFFF) == 0;
        return n;
    };
    auto premi = [](DWORD evento) {
        INPUT in = {};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = evento;
        SendInput(1, &in, sizeof in);
    };
    const int primaB = nero(2000);
    // The real mouse pressed on a window over the picture that goes at the
    // press (a dialog closed by a double click), released on the picture.
    const POINT a = schermo(1000);
    const HWND coperta =
        CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_NOTIFY, a.x - 40,
                        a.y - 40, 80, 80, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(coperta, nullptr);
    SetWindowLongPtrA(coperta, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Coperta));
    SetCursorPos(a.x, a.y);
    ASSERT_TRUE(Attendi([&] { return WindowFromPoint(a) == coperta; }));
    premi(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(Attendi([] { return premutaCoperta; }));
    DestroyWindow(coperta);
    ASSERT_TRUE(Attendi([&] { return WindowFromPoint(a) == p->Picture(); }));
    premi(MOUSEEVENTF_LEFTUP);
    // Then a whole click at B: once its mark shows, A's release is handled.
    const POINT b = schermo(2000);
    SetCursorPos(b.x, b.y);
    premi(MOUSEEVENTF_LEFTDOWN);
    premi(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(Attendi([&] { return nero(2000) > primaB; })) << "a whole click marks";
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    const ContenutoVrt c = Salvato(dir_.File("mouse.vrt"));
    ASSERT_EQ(c.Segni.size(), 2u) << "the placeholder and one mark: a release without its "
                                     "press marks nothing";
    EXPECT_NEAR(c.Segni[1].X, 2000, 10);
}

TEST_F(TrevaltoExe, AnEmptyGroupingSymbolOfTheUsersSettingsIsUsedAsItIs) {
    const char kInternational[] = "Control Panel\\International";
    const test::ValoreSalvato salvato(uxUtilita::kHkeyCurrentUser, kInternational, "sThousand");
    ASSERT_TRUE(test::ScriviGrezzo(uxUtilita::kHkeyCurrentUser, kInternational, "sThousand", REG_SZ,
                                   std::string(1, '\0')));
    Avvia();
    Grafico10Giorni();
    p->Mouse(WM_MOUSEMOVE, p->PixelX(1500), p->PixelY(500));
    const std::string t = p->Tooltip();
    const size_t euro = t.find("E.");
    ASSERT_NE(euro, std::string::npos) << t;
    const std::string importo = t.substr(euro + 2);
    ASSERT_GT(importo.find(','), 3u) << t << ": the demo's balances are in the thousands";
    EXPECT_EQ(importo.find_first_not_of("-0123456789"), importo.find(',')) << t;
}

TEST_F(TrevaltoExe, ARangeThroughThe30thOfDecember1899RunsLikeAnyOtherDay) {
    // 30-12-1899 is date 0.
    ASSERT_TRUE(p->Periodo(DataSerial(1899, 12, 28), DataSerial(1900, 1, 2)));
    EXPECT_TRUE(p->Elabora());
    const HWND box = p->Cerca("#32770");
    EXPECT_EQ(box, nullptr) << test::DescriviBox(box);
    EXPECT_TRUE(p->Abilitato("save")) << "the chart of the six days";
    const ContenutoVrt c = Salvato(dir_.File("1899.vrt"));
    ASSERT_EQ(c.Saldi.size(), 6u);
    EXPECT_EQ(c.Saldi[2].Data, 0);
}

}  // namespace quandora
