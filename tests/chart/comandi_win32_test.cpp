// The chart's file, bitmap, clipboard and print commands on a real picture
// window, with the dialogs and message boxes answered in-process.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "chart/Comandi_win32.h"
#include "tests/chart/GraficoDiProva.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/InterazioneRegistrata.h"
#include "tests/support/Pixel_win32.h"
#include "util/Testo.h"

using namespace quandora;
using quandora::test::CartellaTemporanea;

namespace {

LRESULT CALLBACK ProceduraVuota(HWND h, UINT m, WPARAM w, LPARAM l) {
    return DefWindowProcA(h, m, w, l);
}

class ComandiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSA classe = {};
        classe.lpfnWndProc = ProceduraVuota;
        classe.hInstance = GetModuleHandleA(nullptr);
        classe.lpszClassName = "ProvaComandi";
        RegisterClassA(&classe);
        finestra = CreateWindowA("ProvaComandi", "Prova", WS_OVERLAPPEDWINDOW, 0, 0, 900, 600,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(finestra, nullptr);
        picture = std::make_unique<FinestraGrafico>(finestra, 1000, 0, 0, 600, 300);
        grafico = std::make_unique<GraficoSaldi>(picture->Superficie(), pulsanti);
        comandi = std::make_unique<ComandiGrafico>(*grafico, *picture, finestra);
        // A chart of ten days with two marks.
        grafico->AzzeraGrafico();
        grafico->Testata.NumeroGiorni = 10;
        grafico->Testata.DataInizio = DataSerial(2024, 3, 1);
        grafico->Testata.DataFine = DataSerial(2024, 3, 10);
        grafico->Testata.ImpostaDescrizione("Conto corrente");
        grafico->Saldi.clear();
        for (int i = 0; i < 10; ++i) {
            grafico->Saldi.push_back({i + 1, DataSerial(2024, 3, 1) + i, 100.0 * (i % 4) - 50});
        }
        grafico->Testata.SaldoMinimo = -50;
        grafico->Testata.SaldoMassimo = 250;
        grafico->DisegnaGrafico(picture->Superficie());
        grafico->UltimoX = 1000;
        grafico->UltimoY = 1500;
        ASSERT_TRUE(grafico->SegnaPunto(kSegnoPunto));
        grafico->UltimoX = 2000;
        ASSERT_TRUE(grafico->SegnaPunto(kSegnoData));
    }
    void TearDown() override {
        comandi.reset();
        grafico.reset();
        picture.reset();
        DestroyWindow(finestra);
    }

    // The confirmation or error box, the only one shown.
    test::BoxMostrato Box() {
        EXPECT_EQ(schermo.boxes.size(), 1u);
        return schermo.boxes.empty() ? test::BoxMostrato{} : schermo.boxes.back();
    }

    CartellaTemporanea dir;
    test::InterazioneRegistrata schermo;
    HWND finestra = nullptr;
    test::PulsantiRegistrati pulsanti;
    std::unique_ptr<FinestraGrafico> picture;
    std::unique_ptr<GraficoSaldi> grafico;
    std::unique_ptr<ComandiGrafico> comandi;
};

}  // namespace

TEST_F(ComandiTest, SaveAndOpenTheChartFileThroughTheDialogs) {
    const std::string file = dir.File("grafico.vrt");
    schermo.scelte = {file};
    comandi->SalvaComeVrt();
    ASSERT_EQ(schermo.dialoghi.size(), 1u);
    const DialogoFile& d = schermo.dialoghi[0].dialogo;
    EXPECT_TRUE(schermo.dialoghi[0].salva);
    EXPECT_EQ(d.Titolo, "Salva Grafico Trevalto File...");
    EXPECT_EQ(d.Filtro, "file VRT (*.vrt)|*.vrt|Tutti i file (*.*)|*.*");
    EXPECT_EQ(d.DefaultExt, "vrt");
    EXPECT_EQ(d.Flags, 2050u);
    const test::BoxMostrato b = Box();
    EXPECT_EQ(b.testo, Maiuscolo(file) + ": file salvato.");
    EXPECT_EQ(b.titolo, "Salvataggio");
    EXPECT_EQ(b.stile, mb::kOk | mb::kIconInformation);
    EXPECT_EQ(CartellaTemporanea::Leggi(file),
              CodificaVrt(grafico->Testata, grafico->Saldi, grafico->Segni));

    const auto saldi = grafico->Saldi;
    const auto segni = grafico->Segni;
    grafico->AzzeraGrafico();
    schermo.boxes.clear();
    schermo.scelte = {file};
    comandi->ApriVrt();
    ASSERT_EQ(schermo.dialoghi.size(), 2u);
    EXPECT_FALSE(schermo.dialoghi[1].salva);
    EXPECT_EQ(schermo.dialoghi[1].dialogo.Titolo, "Apri Grafico Trevalto File...");
    EXPECT_EQ(schermo.dialoghi[1].dialogo.Flags, 4100u);
    EXPECT_TRUE(schermo.boxes.empty());
    EXPECT_TRUE(grafico->Grafico_Visibile());
    ASSERT_EQ(grafico->Saldi.size(), saldi.size());
    EXPECT_EQ(grafico->Saldi.back().Saldo, saldi.back().Saldo);
    ASSERT_EQ(grafico->Segni.size(), segni.size());
    EXPECT_EQ(grafico->Segni[2].Tipo, kSegnoData);
}

TEST_F(ComandiTest, ACancelledDialogChangesNothing) {
    schermo.scelte = {std::nullopt, std::nullopt};
    comandi->SalvaComeVrt();
    comandi->ApriVrt();
    EXPECT_TRUE(schermo.boxes.empty());
    EXPECT_TRUE(grafico->Grafico_Visibile());
    EXPECT_EQ(dir.NumeroFile(), 0u);
}

TEST_F(ComandiTest, TheBitmapIsThePicturesImageAndTheDialogIsShared) {
    const std::string vrt = dir.File("prima.vrt");
    schermo.scelte = {vrt, dir.File("immagine.bmp")};
    comandi->SalvaComeVrt();
    comandi->SalvaComeBitmap();
    ASSERT_EQ(schermo.dialoghi.size(), 2u);
    const DialogoFile& d = schermo.dialoghi[1].dialogo;
    EXPECT_EQ(d.FileName, vrt) << "the save dialog offers the last name chosen in it";
    EXPECT_EQ(d.Titolo, "Salva immagine come file bitmap...");
    EXPECT_EQ(d.Filtro, "file Bitmap (*.bmp)|*.bmp|Tutti i file (*.*)|*.*");
    EXPECT_EQ(d.DefaultExt, "bmp");
    EXPECT_EQ(d.Flags, 2050u);

    const test::Pixel bmp = test::DaFileBmp(CartellaTemporanea::Leggi(dir.File("immagine.bmp")));
    ASSERT_FALSE(bmp.Dati.empty()) << "a BMP file";
    EXPECT_EQ(bmp.Larghezza, picture->Larghezza());
    EXPECT_EQ(bmp.Altezza, picture->Altezza());
    int diversi = 0, nonBianchi = 0;
    for (int y = 0; y < bmp.Altezza; y += 7) {
        for (int x = 0; x < bmp.Larghezza; x += 5) {
            const COLORREF atteso = GetPixel(picture->DcImmagine(), x, y);
            diversi += bmp(x, y) != test::DaColorref(atteso);
            nonBianchi += atteso != RGB(255, 255, 255);
        }
    }
    EXPECT_EQ(diversi, 0);
    EXPECT_GT(nonBianchi, 50) << "the chart is in the image";
    EXPECT_EQ(schermo.boxes.back().testo, Maiuscolo(dir.File("immagine.bmp")) + ": file salvato.");

    // A larger picture gives a larger bitmap.
    MoveWindow(picture->Finestra(), 0, 0, 800, 400, TRUE);
    grafico->AggiornaGrafico();
    schermo.scelte = {dir.File("grande.bmp")};
    comandi->SalvaComeBitmap();
    EXPECT_EQ(test::DaFileBmp(CartellaTemporanea::Leggi(dir.File("grande.bmp"))).Larghezza, 800);
}

TEST_F(ComandiTest, AnUnwritableBitmapIsReported) {
    schermo.scelte = {dir.File("manca\\immagine.bmp")};
    comandi->SalvaComeBitmap();
    const test::BoxMostrato b = Box();
    EXPECT_EQ(b.titolo, "Errore 76");
    EXPECT_EQ(b.testo, "Salva immagine: Impossibile trovare il percorso ");
}

TEST_F(ComandiTest, PrintingWithoutAPrinterSaysSo) {
    comandi->StampaGrafico();
    const test::BoxMostrato b = Box();
    EXPECT_EQ(b.testo, "Impossibile stampare. Verificare se la stampante è on-line");
    EXPECT_EQ(b.titolo, "Errore");
    EXPECT_EQ(b.stile, mb::kOk | mb::kIconCritical);
}
