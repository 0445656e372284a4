// The chart drawn with GDI on the picture's bitmap, in its window, and on a
// page: what only GDI shows (pixels, pens, fonts, the window and its mouse);
// the layout itself is checked on the recording surface.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "chart/SuperficieGdi_win32.h"
#include "tests/chart/GraficoDiProva.h"
#include "tests/support/InterazioneRegistrata.h"
#include "util/Errore.h"
#include "util/Gdi_win32.h"

using namespace quandora;

namespace {

const COLORREF kBianco = RGB(255, 255, 255);
const COLORREF kNero = RGB(0, 0, 0);
const COLORREF kBlu = RGB(0, 0, 255);

// A picture in a window of its own, with a chart on it.
struct Picture {
    HWND madre;
    std::unique_ptr<FinestraGrafico> finestra;
    test::PulsantiRegistrati toolbar;
    std::unique_ptr<GraficoSaldi> grafico;

    Picture(int larghezza, int altezza) {
        madre = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_CLIPCHILDREN, 10, 10, larghezza,
                                altezza, nullptr, nullptr, nullptr, nullptr);
        finestra = std::make_unique<FinestraGrafico>(madre, 101, 0, 0, larghezza, altezza);
        grafico = std::make_unique<GraficoSaldi>(finestra->Superficie(), toolbar);
    }
    ~Picture() {
        finestra.reset();
        DestroyWindow(madre);
    }

    // Ten days from -50 to 150: the zero line at 2125.
    void Disegna() {
        test::Riempi(*grafico, DataSerial(2024, 1, 1), {-50, 0, 40, 20, 80, 150, 120, 60, 90, 100});
        grafico->DisegnaGrafico(finestra->Superficie());
    }

    int W() const { return finestra->Larghezza(); }
    int H() const { return finestra->Altezza(); }
    int Px(double x) const { return static_cast<int>(std::lround(x * W() / 3000)); }
    int Py(double y) const { return static_cast<int>(std::lround(y * H() / 3000)); }
    COLORREF Pixel(int x, int y) const { return GetPixel(finestra->DcImmagine(), x, y); }
    // Pixels of a colour in a rectangle of pixels (right and bottom excluded).
    int Conta(int x0, int y0, int x1, int y1, COLORREF c) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (Pixel(x, y) == c) ++n;
        return n;
    }
};

}  // namespace

// Each direction scaled apart: wide, tall and ordinary pictures.
TEST(PictureGdi, ChartPixelsOnTheBitmapAtAnySize) {
    for (const auto& [w, h] : {std::pair{600, 450}, std::pair{900, 450}, std::pair{300, 600}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        Picture p(w, h);
        p.Disegna();
        EXPECT_EQ(p.Pixel(p.W() - 2, p.H() - 2), kBianco);

        // The series in blue through every day's point (where no black line
        // drawn later crosses it, its pixels around the point).
        double sx = 0, sy = 0;
        p.grafico->CalcolaScala(sx, sy);
        for (const PuntoSaldo& s : p.grafico->Saldi) {
            const int x = p.Px(400 + (s.Giorno - 1) * sx);
            const int y = p.Py(400 + (150 - s.Saldo) * sy);
            EXPECT_GE(p.Conta(x - 2, y - 2, x + 3, y + 3, kBlu), 5) << "day " << s.Giorno;
            if (s.Giorno > 1 && s.Giorno < 10 && s.Saldo != 0 && s.Saldo != 150) {
                EXPECT_EQ(p.Pixel(x, y), kBlu) << "day " << s.Giorno;
            }
        }
        // The title centred by its measured width (pens and the text's height:
        // the page's test).
        int x0 = w, x1 = -1;
        for (int y = p.Py(50); y < p.Py(50) + 12; ++y)
            for (int x = 0; x < w; ++x)
                if (p.Pixel(x, y) == kNero) {
                    x0 = std::min(x0, x);
                    x1 = std::max(x1, x);
                }
        EXPECT_NEAR((x0 + x1) / 2.0, w / 2.0, 3);
    }
}

// A resize keeps the old image at the top left and whitens the rest; the
// chart's 3000 by 3000 units then span the new size.
TEST(PictureGdi, AResizeKeepsTheImageAndTheScale) {
    Picture p(400, 300);
    p.Disegna();
    double sx = 0, sy = 0;
    p.grafico->CalcolaScala(sx, sy);
    const int x = p.Px(400 + 2 * sx);  // day 3, 40
    const int y = p.Py(400 + 110 * sy);
    MoveWindow(p.finestra->Finestra(), 0, 0, 500, 350, TRUE);
    EXPECT_EQ(std::make_pair(p.W(), p.H()), std::make_pair(500, 350));
    EXPECT_EQ(p.Pixel(x, y), kBlu);
    EXPECT_EQ(p.Pixel(450, 320), kBianco);
    p.grafico->AggiornaGrafico();
    EXPECT_EQ(p.Pixel(p.Px(400 + 2 * sx), p.Py(400 + 110 * sy)), kBlu);
}

// A click needs its press on the picture; the real mouse and the buttons'
// roles are the running program's tests.
TEST(PictureGdi, AClickNeedsItsPressOnThePictureAndHandlersErrorsAreReported) {
    Picture p(600, 300);
    std::vector<std::tuple<int, float, float>> clic;
    p.finestra->MouseUp = [&](int16_t b, int16_t, float x, float y) { clic.emplace_back(b, x, y); };
    HWND h = p.finestra->Finestra();
    auto manda = [&](UINT msg, int x, int y) { SendMessageA(h, msg, 0, MAKELPARAM(x, y)); };
    // A release whose press the picture never saw (the double click that
    // closed a dialog over it), one outside the picture after a press on it,
    // and one after another window took the mouse: no click.
    manda(WM_LBUTTONUP, 300, 150);
    manda(WM_LBUTTONDOWN, 300, 150);
    manda(WM_LBUTTONUP, 300, -5);
    manda(WM_LBUTTONDOWN, 300, 150);
    SetCapture(GetDesktopWindow());
    ReleaseCapture();
    manda(WM_LBUTTONUP, 300, 150);
    EXPECT_TRUE(clic.empty());
    // The press captures the mouse; the release gives it back.
    manda(WM_MBUTTONDOWN, 300, 299);
    EXPECT_EQ(GetCapture(), h);
    manda(WM_MBUTTONUP, 300, 299);
    EXPECT_EQ(GetCapture(), nullptr);
    ASSERT_EQ(clic.size(), 1u);
    EXPECT_EQ(clic[0], std::make_tuple(4, 1500.f, 2990.f));

    // What a handler throws (a drawing that fails) is reported, and the
    // window still takes clicks.
    test::InterazioneRegistrata schermo;
    int chiamate = 0;
    p.finestra->MouseUp = [&](int16_t, int16_t, float, float) {
        if (++chiamate == 1) throw ErroreDiSistema(11);
    };
    for (int volta = 0; volta < 2; ++volta) {
        manda(WM_LBUTTONDOWN, 300, 150);
        manda(WM_LBUTTONUP, 300, 150);
    }
    EXPECT_EQ(chiamate, 2);
    ASSERT_EQ(schermo.boxes.size(), 1u);
    EXPECT_EQ(schermo.boxes[0].titolo + ": " + schermo.boxes[0].testo,
              "Errore 11: Divisione per zero");
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST(PaginaGdi, DrawsTheSameLayoutWithoutClearingAndFontsByResolution) {
    const DCCreato memoria = CreaDCMemoria(nullptr);
    const HDC dc = memoria.get();
    const int w = GetDeviceCaps(dc, HORZRES);
    const int h = GetDeviceCaps(dc, VERTRES);
    const Bitmap b(CreateCompatibleBitmap(PrendiDC(nullptr).get(), w, h));
    const OggettoSelezionato selezionata(dc, b.get());
    RECT r{0, 0, w, h};
    FillRect(dc, &r, Pennello(CreateSolidBrush(RGB(200, 200, 200))).get());

    Picture p(300, 200);
    p.Disegna();
    p.toolbar.Chiamate.clear();
    p.grafico->AggiungiSegno(1500.f, 1000.f, p.grafico->Testata.DataInizio, 0, kSegnoPunto);
    {
        SuperficieStampante pagina(dc);
        EXPECT_EQ(pagina.LarghezzaPixel(), w);
        p.grafico->DisegnaGrafico(pagina);
        p.grafico->DisegnaSegni(pagina);
        // 14 points through the device's resolution.
        pagina.DimensioneCarattere(14);
        const double pixel = pagina.AltezzaTesto("Grafico") * h / 3000;
        const double punti = 14.0 * GetDeviceCaps(dc, LOGPIXELSY) / 72;
        EXPECT_GE(pixel, punti);
        EXPECT_LE(pixel, punti * 1.4);
    }
    EXPECT_TRUE(p.toolbar.Chiamate.empty()) << "the page leaves the buttons alone";
    EXPECT_EQ(GetPixel(dc, w - 2, h - 2), RGB(200, 200, 200)) << "the page is not cleared";
    // Black in the middle half of the column at x of 3000.
    auto neri = [&](double x) {
        const int colonna = static_cast<int>(std::lround(x * w / 3000));
        int n = 0;
        for (int y = h / 4; y < h * 3 / 4; ++y)
            if (GetPixel(dc, colonna, y) == kNero) ++n;
        return n;
    };
    EXPECT_GE(neri(400), h / 2 - 2) << "the first day's line";
    EXPECT_GT(neri(1500), h / 8) << "the dashed mark";
    EXPECT_LT(neri(1500), h / 2 - 2);
}
