// The chart drawn with GDI on the picture's bitmap, in its window, and on a
// page.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "chart/Comandi_win32.h"
#include "chart/SuperficieGdi_win32.h"
#include "tests/chart/GraficoDiProva.h"
#include "tests/support/InterazioneRegistrata.h"
#include "util/Errore.h"
#include "util/Gdi_win32.h"

using namespace quandora;
using quandora::test::PulsantiRegistrati;

namespace {

const COLORREF kBianco = RGB(255, 255, 255);
const COLORREF kNero = RGB(0, 0, 0);
const COLORREF kBlu = RGB(0, 0, 255);

HWND FinestraMadre(int larghezza, int altezza) {
    static bool registrata = false;
    if (!registrata) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = "TrevaltoProvaGrafico";
        RegisterClassA(&wc);
        registrata = true;
    }
    RECT r{0, 0, larghezza, altezza};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    return CreateWindowExA(0, "TrevaltoProvaGrafico", "Prova grafico", WS_OVERLAPPEDWINDOW, 10, 10,
                           r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// A picture in a window of its own, with a chart on it.
struct Picture {
    HWND madre;
    std::unique_ptr<FinestraGrafico> finestra;
    PulsantiRegistrati toolbar;
    std::unique_ptr<GraficoSaldi> grafico;

    Picture(int larghezza, int altezza) {
        madre = FinestraMadre(larghezza, altezza);
        finestra = std::make_unique<FinestraGrafico>(madre, 101, 0, 0, larghezza, altezza);
        grafico = std::make_unique<GraficoSaldi>(finestra->Superficie(), toolbar);
        grafico->Simboli = [] { return SimboliNumerici{",", "."}; };
    }
    ~Picture() {
        finestra.reset();
        DestroyWindow(madre);
    }

    // Ten days from -50 to 150.
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

struct Riquadro {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
    bool Vuoto() const { return x1 < 0; }
};

// The box around the pixels of a colour in a band of rows.
Riquadro Contorno(const Picture& p, int y0, int y1, COLORREF c) {
    Riquadro r;
    for (int y = y0; y < y1; ++y)
        for (int x = 0; x < p.W(); ++x)
            if (p.Pixel(x, y) == c) {
                r.x0 = std::min(r.x0, x);
                r.x1 = std::max(r.x1, x);
                r.y0 = std::min(r.y0, y);
                r.y1 = std::max(r.y1, y);
            }
    return r;
}

}  // namespace

TEST(PictureGdi, ChartPixelsOnTheBitmap) {
    Picture p(600, 450);
    p.Disegna();
    EXPECT_TRUE(p.grafico->Grafico_Visibile());

    // White where nothing is drawn.
    EXPECT_EQ(p.Pixel(p.W() - 2, p.H() - 2), kBianco);
    EXPECT_EQ(p.Pixel(p.Px(2800), p.Py(1500)), kBianco);
    EXPECT_EQ(p.Pixel(2, p.Py(1500)), kBianco);

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

    // Dashed black guide lines: at the highest amount, across the plot, as
    // many gaps as dashes roughly.
    const int yZero = p.Py(2125);
    for (int y : {p.Py(400), yZero}) {
        SCOPED_TRACE(y);
        const int neri = p.Conta(p.Px(400), y, p.Px(2600), y + 1, kNero);
        const int bianchi = p.Conta(p.Px(400), y, p.Px(2600), y + 1, kBianco);
        const int lunghezza = p.Px(2600) - p.Px(400);
        EXPECT_GT(neri, lunghezza / 3);
        EXPECT_GT(bianchi, lunghezza / 5);
    }
    // Solid black day lines from the top of the plot to below it.
    for (double x : {400.0, 2380.0}) {
        SCOPED_TRACE(x);
        const int y0 = p.Py(400) + 3;
        const int y1 = p.Py(2750) - 1;
        EXPECT_GE(p.Conta(p.Px(x), y0, p.Px(x) + 1, y1, kNero), (y1 - y0) * 9 / 10);
    }
    // No black beyond the guide lines' end, except labels.
    EXPECT_EQ(p.Conta(p.Px(2600) + 2, p.Py(420), p.W(), p.Py(2650), kNero), 0);

    // Text: amount labels left of the plot, dates under it, the title
    // centred in its band, all black; nothing blue outside the plot.
    EXPECT_GT(p.Conta(0, p.Py(400) - 8, p.Px(400) - 2, p.Py(400) + 8, kNero), 15);
    EXPECT_GT(p.Conta(0, yZero - 8, p.Px(400) - 2, yZero + 8, kNero), 8);
    EXPECT_GT(p.Conta(p.Px(400) - 30, p.Py(2750), p.Px(400) + 30, p.H(), kNero), 15);
    const Riquadro titolo = Contorno(p, p.Py(50), p.Py(50) + 12, kNero);
    ASSERT_FALSE(titolo.Vuoto());
    const Riquadro righe = Contorno(p, 0, p.Py(400) - 12, kNero);
    EXPECT_NEAR((titolo.x0 + titolo.x1) / 2.0, p.W() / 2.0, 3);
    EXPECT_GE(righe.y0, p.Py(50));
    EXPECT_GT(righe.y1 - righe.y0, 25) << "two lines of 14-point text";
    EXPECT_EQ(p.Conta(0, 0, p.W(), p.Py(400) - 3, kBlu), 0);

    // A mark: dashed along its vertical line, its date in the row of the
    // day labels.
    p.grafico->UltimoX = 1500;
    p.grafico->UltimoY = 1000;
    ASSERT_TRUE(p.grafico->SegnaPunto(kSegnoPunto));
    const int x = p.Px(1500);
    const int altezza = p.Py(2650) - p.Py(450);
    EXPECT_GT(p.Conta(x, p.Py(450), x + 1, p.Py(2650), kNero), altezza / 3);
    EXPECT_GT(p.Conta(x, p.Py(450), x + 1, p.Py(2650), kBianco), altezza / 6);
    EXPECT_GT(p.Conta(x - 20, p.Py(2750), x + 20, p.H(), kNero), 8);

    // The test prefix has Italian regional settings: the user's symbols give
    // the tooltip of 5 March 2007 and 1234.56.
    const SimboliNumerici simboli = SimboliUtente();
    EXPECT_EQ(simboli.Decimale + simboli.Migliaia, ",.");
    p.grafico->Simboli = SimboliUtente;
    test::Riempi(*p.grafico, DataSerial(2007, 3, 5), {1234.56, 34.56});
    p.grafico->DisegnaGrafico(p.finestra->Superficie());
    EXPECT_EQ(p.grafico->TestoTooltip(100, 100), "05-03-2007 E.1.234,56");
}

TEST(PictureGdi, WideAndNarrowPicturesKeepTheRelativeLayout) {
    for (const auto& [w, h] : {std::pair{900, 300}, std::pair{300, 600}, std::pair{640, 480}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        Picture p(w, h);
        p.Disegna();
        // The first black pixel of a row in the middle of the plot is the
        // first day's line; the last before the plot's end, the last day's.
        const int riga = p.Py(1500);
        int primo = -1;
        int ultimo = -1;
        for (int x = p.Px(300); x < p.Px(2590); ++x) {
            if (p.Pixel(x, riga) != kNero) continue;
            if (primo < 0) primo = x;
            ultimo = x;
        }
        EXPECT_NEAR(primo, 400.0 * w / 3000, 1.01);
        EXPECT_NEAR(ultimo, 2380.0 * w / 3000, 1.01);
        // The guide line at the highest amount: the row with most black in
        // the plot near its top.
        int rigaMassimo = -1;
        int piuNeri = 0;
        for (int y = p.Py(300); y < p.Py(500); ++y) {
            const int n = p.Conta(p.Px(1000), y, p.Px(2500), y + 1, kNero);
            if (n > piuNeri) {
                piuNeri = n;
                rigaMassimo = y;
            }
        }
        EXPECT_NEAR(rigaMassimo, 400.0 * h / 3000, 1.01);
        const Riquadro titolo = Contorno(p, p.Py(50), p.Py(50) + 12, kNero);
        EXPECT_NEAR((titolo.x0 + titolo.x1) / 2.0, w / 2.0, 3);
    }
}

TEST(PictureGdi, WindowRepaintsFromItsBitmapAndKeepsItThroughAResize) {
    Picture p(400, 300);
    ShowWindow(p.madre, SW_SHOWNOACTIVATE);
    p.Disegna();
    UpdateWindow(p.finestra->Finestra());
    for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);)
        DispatchMessageA(&msg);
    double sx = 0, sy = 0;
    p.grafico->CalcolaScala(sx, sy);
    const int x = p.Px(400 + 2 * sx);  // day 3, 40
    const int y = p.Py(400 + 110 * sy);
    ASSERT_EQ(p.Pixel(x, y), kBlu);
    {
        const DCFinestra dc = PrendiDC(p.finestra->Finestra());
        EXPECT_EQ(GetPixel(dc.get(), x, y), kBlu);
        EXPECT_EQ(GetPixel(dc.get(), p.W() - 3, p.H() - 3), kBianco);
    }

    // Covered and uncovered: painted again from the bitmap, not redrawn.
    InvalidateRect(p.finestra->Finestra(), nullptr, TRUE);
    UpdateWindow(p.finestra->Finestra());
    EXPECT_EQ(GetPixel(PrendiDC(p.finestra->Finestra()).get(), x, y), kBlu);

    MoveWindow(p.finestra->Finestra(), 0, 0, 500, 350, TRUE);
    EXPECT_EQ(p.W(), 500);
    EXPECT_EQ(p.H(), 350);
    EXPECT_EQ(p.Pixel(x, y), kBlu) << "the old image stays at the top left";
    EXPECT_EQ(p.Pixel(450, 320), kBianco);
    // The scale stays 3000 x 3000 over the new size.
    EXPECT_EQ(p.finestra->Superficie().LarghezzaScala(), 3000);
    p.grafico->AggiornaGrafico();
    EXPECT_EQ(p.Pixel(p.Px(400 + 2 * sx), p.Py(400 + 110 * sy)), kBlu);
}

TEST(PictureGdi, MouseEventsArriveInChartUnitsAndAClickNeedsItsPressOnThePicture) {
    Picture p(600, 300);
    std::vector<std::tuple<int, float, float>> eventi;
    p.finestra->MouseUp = [&](int16_t b, int16_t, float x, float y) {
        eventi.emplace_back(b, x, y);
    };
    p.finestra->MouseMove = [&](int16_t b, int16_t, float x, float y) {
        eventi.emplace_back(100 + b, x, y);
    };
    HWND h = p.finestra->Finestra();
    auto clic = [&](UINT giu, UINT su, int x, int y) {
        SendMessageA(h, giu, 0, MAKELPARAM(x, y));
        SendMessageA(h, su, 0, MAKELPARAM(x, y));
    };
    SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(60, 30));
    clic(WM_LBUTTONDOWN, WM_LBUTTONUP, 300, 150);
    clic(WM_RBUTTONDOWN, WM_RBUTTONUP, 599, 0);
    clic(WM_MBUTTONDOWN, WM_MBUTTONUP, 0, 299);
    ASSERT_EQ(eventi.size(), 4u);
    EXPECT_EQ(eventi[0], std::make_tuple(100, 300.f, 300.f));
    EXPECT_EQ(eventi[1], std::make_tuple(1, 1500.f, 1500.f));
    EXPECT_EQ(eventi[2], std::make_tuple(2, 2995.f, 0.f));
    EXPECT_EQ(eventi[3], std::make_tuple(4, 0.f, 2990.f));

    // A release whose press the picture never saw (the double click that
    // closed a dialog over it), one outside the picture after a press on
    // it, and one after another window took the mouse: no click.
    eventi.clear();
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(300, 150));
    SendMessageA(h, WM_MBUTTONUP, 0, MAKELPARAM(300, 150));
    clic(WM_LBUTTONDOWN, WM_LBUTTONUP, 300, -5);
    SendMessageA(h, WM_LBUTTONDOWN, 0, MAKELPARAM(300, 150));
    SetCapture(GetDesktopWindow());
    ReleaseCapture();
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(300, 150));
    EXPECT_TRUE(eventi.empty());
    // The press captured the mouse; the release gave it back.
    SendMessageA(h, WM_LBUTTONDOWN, 0, MAKELPARAM(30, 15));
    EXPECT_EQ(GetCapture(), h);
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(30, 15));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(eventi.size(), 1u);

    // What a handler throws (a drawing that fails) is reported, and the
    // window still takes clicks.
    test::InterazioneRegistrata schermo;
    int chiamate = 0;
    p.finestra->MouseUp = [&](int16_t, int16_t, float, float) {
        if (++chiamate == 1) throw ErroreDiSistema(11);
    };
    for (int volta = 0; volta < 2; ++volta)
        clic(WM_LBUTTONDOWN, WM_LBUTTONUP, 300, 150);
    EXPECT_EQ(chiamate, 2);
    ASSERT_EQ(schermo.boxes.size(), 1u);
    EXPECT_EQ(schermo.boxes[0].titolo, "Errore 11");
    EXPECT_EQ(schermo.boxes[0].testo, "Divisione per zero");
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
    EXPECT_GT(neri(1500), h / 8) << "the mark";
}
