// The assembled program in-process: the real window on a stand-in host,
// driven by real mouse messages on the chart's picture. The tooltip, the
// marks of a left click, the popup menu of a right click and the undo.

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <thread>

#include "chart/Programma_win32.h"
#include "host/DatiDemo.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/HostDemo_win32.h"
#include "tests/support/QuandoraDiProva_win32.h"
#include "util/Modulo.h"
#include "util/Testo.h"

using namespace quandora;

namespace {

class TrevaltoTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
        InitCommonControlsEx(&icc);
        CoInitialize(nullptr);
    }
    static void TearDownTestSuite() { CoUninitialize(); }

    void SetUp() override {
        const std::string host = dir.File("Quandora");
        ASSERT_TRUE(test::InstallaHostDemo(host));

        programma = std::make_unique<ProgrammaTrevalto>(false);
        ASSERT_TRUE(programma->Form_Initialize());
        programma->Form_Load();
        ShowWindow(programma->Finestra().Finestra(), SW_SHOW);
        picture = programma->Immagine().Finestra();
    }
    void TearDown() override {
        programma.reset();
        test::DimenticaQuandora();
    }

    // A chart of the ten days from 1 March 2024, all accounts.
    void Grafico10Giorni() {
        ScriviDataPicker(programma->Finestra().Controlli().DataIniziale, DataSerial(2024, 3, 1));
        ScriviDataPicker(programma->Finestra().Controlli().DataFinale, DataSerial(2024, 3, 10));
        programma->cmdElabora_Click();
        ASSERT_TRUE(programma->Grafico_Visibile());
    }
    // A mouse message at a position of the picture in chart units.
    void Mouse(UINT msg, double x, double y, WPARAM tasti = 0) {
        auto& s = dynamic_cast<SuperficieGdi&>(programma->Immagine().Superficie());
        SendMessageA(picture, msg, tasti, MAKELPARAM(s.PixelX(x), s.PixelY(y)));
    }

    test::CartellaTemporanea dir;
    std::unique_ptr<ProgrammaTrevalto> programma;
    HWND picture = nullptr;
};

}  // namespace

TEST_F(TrevaltoTest, TooltipFollowsTheMouseClampedToThePlot) {
    Mouse(WM_MOUSEMOVE, 1500, 1500);
    EXPECT_EQ(programma->TestoTooltip(), "") << "no chart, no tooltip";
    Grafico10Giorni();
    Mouse(WM_MOUSEMOVE, 2380, 1000);
    EXPECT_EQ(programma->TestoTooltip().substr(0, 13), "10-03-2024 E.");
    // Left of and below the plot: the first day, the lowest amount.
    Mouse(WM_MOUSEMOVE, 50, 2990);
    const std::string minimo =
        FormattaImporto(programma->Grafico().Testata.SaldoMinimo, SimboliUtente());
    EXPECT_EQ(programma->TestoTooltip(), "01-03-2024 E." + minimo);
    // Right of and above: clamped to the plot's right edge, which lies past
    // the last day's line, so the date reads one day after the last; the
    // highest amount.
    Mouse(WM_MOUSEMOVE, 2990, 10);
    const std::string massimo =
        FormattaImporto(programma->Grafico().Testata.SaldoMassimo, SimboliUtente());
    EXPECT_EQ(programma->TestoTooltip(), "11-03-2024 E." + massimo);
    // The tooltip control bound to the picture holds that text.
    char testo[128] = {};
    TOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.hwnd = programma->Finestra().Finestra();
    ti.uId = reinterpret_cast<UINT_PTR>(picture);
    ti.lpszText = testo;
    SendMessageA(programma->TooltipGrafico(), TTM_GETTEXTA, sizeof testo,
                 reinterpret_cast<LPARAM>(&ti));
    EXPECT_EQ(FromAnsi(testo), "11-03-2024 E." + massimo);
}

TEST_F(TrevaltoTest, LeftClicksMarkInsideThePlotAndUndoGoesBackToTheChart) {
    Mouse(WM_LBUTTONUP, 1000, 1000);
    EXPECT_EQ(programma->Grafico().LimiteSegni(), 0) << "no chart, no mark";
    Grafico10Giorni();
    Mouse(WM_LBUTTONUP, 300, 1000);
    EXPECT_EQ(programma->Grafico().LimiteSegni(), 0) << "left of the plot";
    Mouse(WM_LBUTTONUP, 620, 1000);
    Mouse(WM_MBUTTONUP, 1500, 1500);
    ASSERT_EQ(programma->Grafico().LimiteSegni(), 2);
    EXPECT_EQ(programma->Grafico().Segni[1].Tipo, kSegnoPunto);
    EXPECT_EQ(programma->Grafico().Segni[1].Data, DataSerial(2024, 3, 2));

    programma->Finestra().Toolbar1_ButtonClick("undo");
    programma->Finestra().Toolbar1_ButtonClick("undo");
    EXPECT_EQ(programma->Grafico().LimiteSegni(), 0);
    EXPECT_TRUE(programma->Grafico_Visibile());
    // With no mark left, undo takes the chart itself away.
    programma->Finestra().Toolbar1_ButtonClick("undo");
    EXPECT_FALSE(programma->Grafico_Visibile());
}

TEST_F(TrevaltoTest, ARightClickOpensTheMenuAtTheSpotItMarks) {
    Grafico10Giorni();
    std::atomic<bool> visto{false};
    std::thread osservatore([&] {
        for (int i = 0; i < 100 && !visto; ++i) {
            HWND menu = FindWindowA("#32768", nullptr);
            if (menu != nullptr && IsWindowVisible(menu)) {
                visto = true;
                PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
            }
            Sleep(50);
        }
    });
    Mouse(WM_RBUTTONUP, 1500, 1200);
    osservatore.join();
    EXPECT_TRUE(visto);
    EXPECT_EQ(programma->Grafico().LimiteSegni(), 0) << "a right click marks nothing itself";
    EXPECT_NEAR(programma->Grafico().UltimoX, 1500, 10);
    // "Segna data" from the menu marks that spot.
    SendMessageA(programma->Finestra().Finestra(), WM_COMMAND, FrmMain::kMnData, 0);
    ASSERT_EQ(programma->Grafico().LimiteSegni(), 1);
    EXPECT_EQ(programma->Grafico().Segni[1].Tipo, kSegnoData);
}

namespace {

// Waits (in another thread) for a dialog box with a title, then acts on it.
class Risponditore {
  public:
    Risponditore(std::string titolo, std::function<void(HWND)> azione)
        : thread_([this, titolo, azione] {
              for (int i = 0; i < 400; ++i) {
                  HWND d = FindWindowA("#32770", ToAnsi(titolo).c_str());
                  if (d != nullptr && IsWindowVisible(d)) {
                      Sleep(200);  // let it finish its own set-up
                      azione(d);
                      visto_ = true;
                      return;
                  }
                  Sleep(50);
              }
          }) {}
    ~Risponditore() { thread_.join(); }
    bool Visto() {
        thread_.join();
        thread_ = std::thread([] {});
        return visto_;
    }

  private:
    std::atomic<bool> visto_{false};
    std::thread thread_;
};

}  // namespace

TEST_F(TrevaltoTest, ChartFileThroughTheRealDialogsAndBoxes) {
    Grafico10Giorni();
    Mouse(WM_LBUTTONUP, 1000, 900);
    ASSERT_EQ(programma->Grafico().LimiteSegni(), 1);
    const auto saldi = programma->Grafico().Saldi;
    const auto segni = programma->Grafico().Segni;

    // Saved under a name typed without extension: ".vrt" is added.
    const std::string senza = dir.File("grafico");
    std::string conferma;
    {
        Risponditore salva("Salva Grafico Trevalto File...",
                           [&](HWND d) { test::ScegliFile(d, senza); });
        Risponditore box("Salvataggio", [&](HWND b) {
            conferma = test::TestoBox(b);
            PostMessageA(b, WM_COMMAND, IDOK, 0);
        });
        programma->SalvaComeVrt();
        EXPECT_TRUE(salva.Visto());
        EXPECT_TRUE(box.Visto());
    }
    EXPECT_EQ(conferma, Maiuscolo(senza + ".vrt") + ": file salvato.");
    ASSERT_TRUE(test::CartellaTemporanea::Esiste(senza + ".vrt"));

    // Opened back: the same chart and marks, drawn.
    programma->AzzeraGrafico();
    {
        Risponditore apri("Apri Grafico Trevalto File...",
                          [&](HWND d) { test::ScegliFile(d, senza + ".vrt"); });
        programma->ApriVrt();
        EXPECT_TRUE(apri.Visto());
    }
    EXPECT_TRUE(programma->Grafico_Visibile());
    ASSERT_EQ(programma->Grafico().Saldi.size(), saldi.size());
    for (size_t i = 0; i < saldi.size(); ++i) {
        EXPECT_EQ(programma->Grafico().Saldi[i].Saldo, saldi[i].Saldo);
    }
    ASSERT_EQ(programma->Grafico().Segni.size(), segni.size());
    EXPECT_EQ(programma->Grafico().Segni[1].X, segni[1].X);

    // A cancelled dialog changes nothing.
    {
        Risponditore annulla("Apri Grafico Trevalto File...",
                             [](HWND d) { PostMessageA(d, WM_COMMAND, IDCANCEL, 0); });
        programma->ApriVrt();
        EXPECT_TRUE(annulla.Visto());
    }
    EXPECT_TRUE(programma->Grafico_Visibile());
}

namespace {

struct CercaPrompt {
    std::string titolo;
    HWND escludi;
    HWND trovato;
};

// A message box with the title given that is not the file dialog itself:
// Windows' question before overwriting a file.
BOOL CALLBACK CercaDomanda(HWND h, LPARAM lp) {
    auto* c = reinterpret_cast<CercaPrompt*>(lp);
    char classe[32] = {};
    GetClassNameA(h, classe, sizeof classe);
    if (h != c->escludi && lstrcmpA(classe, "#32770") == 0 && IsWindowVisible(h) &&
        test::TestoFinestra(h) == c->titolo) {
        c->trovato = h;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

TEST_F(TrevaltoTest, OverwritingAsksAndBitmapsGetTheirExtension) {
    Grafico10Giorni();
    const std::string file = dir.File("sovrascritto.vrt");
    test::CartellaTemporanea::Scrivi(file, "vecchio contenuto");
    std::string domanda;
    {
        Risponditore salva("Salva Grafico Trevalto File...", [&](HWND d) {
            test::ScegliFile(d, file);
            // Windows asks before replacing the file: answer Yes.
            CercaPrompt c{"Salva Grafico Trevalto File...", d, nullptr};
            for (int i = 0; i < 200 && c.trovato == nullptr; ++i) {
                Sleep(50);
                EnumWindows(CercaDomanda, reinterpret_cast<LPARAM>(&c));
            }
            if (c.trovato != nullptr) {
                domanda = test::TestoBox(c.trovato);
                PostMessageA(c.trovato, WM_COMMAND, IDYES, 0);
            }
        });
        Risponditore box("Salvataggio", [](HWND b) { PostMessageA(b, WM_COMMAND, IDOK, 0); });
        programma->SalvaComeVrt();
        EXPECT_TRUE(salva.Visto());
        EXPECT_TRUE(box.Visto());
    }
    EXPECT_FALSE(domanda.empty()) << "the overwrite question was shown";
    EXPECT_EQ(test::CartellaTemporanea::Leggi(file).substr(0, 32),
              "VRTFILE - Grafico Trevalto Saldo");

    // The picture as a bitmap under a name typed without extension.
    const std::string immagine = dir.File("immagine");
    {
        Risponditore salva("Salva immagine come file bitmap...",
                           [&](HWND d) { test::ScegliFile(d, immagine); });
        Risponditore box("Salvataggio", [](HWND b) { PostMessageA(b, WM_COMMAND, IDOK, 0); });
        programma->SalvaComeBitmap();
        EXPECT_TRUE(salva.Visto());
        EXPECT_TRUE(box.Visto());
    }
    const std::string bmp = test::CartellaTemporanea::Leggi(immagine + ".bmp");
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    int32_t larghezza = 0;
    std::memcpy(&larghezza, bmp.data() + 18, 4);
    EXPECT_EQ(larghezza, programma->Immagine().Larghezza());
}

TEST_F(TrevaltoTest, MarksAfterOpeningAFileFollowTheFilesMarks) {
    Grafico10Giorni();
    Mouse(WM_LBUTTONUP, 800, 900);
    Mouse(WM_LBUTTONUP, 1600, 1300);
    const std::string file = dir.File("segni.vrt");
    programma->Grafico().SalvaVrtFile(file);
    programma->AzzeraGrafico();
    {
        Risponditore apri("Apri Grafico Trevalto File...",
                          [&](HWND d) { test::ScegliFile(d, file); });
        programma->ApriVrt();
        EXPECT_TRUE(apri.Visto());
    }
    ASSERT_EQ(programma->Grafico().LimiteSegni(), 2);
    Mouse(WM_LBUTTONUP, 2000, 1000);
    ASSERT_EQ(programma->Grafico().LimiteSegni(), 3);
    EXPECT_NEAR(programma->Grafico().Segni[3].X, 2000, 10);
    // Undo takes the new mark first, then the file's last one.
    programma->AnnullaSegno();
    EXPECT_NEAR(programma->Grafico().Segni.back().X, 1600, 10);
}
