// Figures, not a test: drawing a 32,767-day chart (on the recording
// surface, and on the picture at 1920 x 1080 under Windows), saving it with
// 1,000 marks and opening it again.

#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>

#include "chart/Grafico.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/SuperficieRegistrata.h"
#ifdef _WIN32
#include "chart/SuperficieGdi_win32.h"
#endif

using namespace quandora;

namespace {

class SenzaPulsanti : public PulsantiGrafico {
  public:
    void AbilitaPulsante(const std::string&, bool) override {}
};

// Milliseconds per call, the best of a few rounds.
double Misura(int volte, const std::function<void()>& f) {
    double migliore = 1e300;
    for (int r = 0; r < 3; ++r) {
        const auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < volte; ++i)
            f();
        const auto t1 = std::chrono::steady_clock::now();
        const double ms = std::chrono::duration<double, std::milli>(t1 - t0).count() / volte;
        if (ms < migliore) migliore = ms;
    }
    return migliore;
}

void Riempi(GraficoSaldi& g) {
    const int n = 32767;
    const Data inizio = DataSerial(1930, 1, 1);
    g.AzzeraGrafico();
    g.Testata.NumeroGiorni = n;
    g.Testata.DataInizio = inizio;
    g.Testata.DataFine = inizio + n - 1;
    g.Testata.ImpostaDescrizione("<tutti i conti>");
    g.Saldi.resize(n);
    double minimo = 0, massimo = 0;
    for (int i = 0; i < n; ++i) {
        const double saldo = 5000 + 3000 * std::sin(i / 200.0) + (i % 30) * 25.0 - i * 0.05;
        g.Saldi[i] = PuntoSaldo{i + 1, inizio + i, saldo};
        if (i == 0 || saldo < minimo) minimo = saldo;
        if (i == 0 || saldo > massimo) massimo = saldo;
    }
    g.Testata.SaldoMinimo = minimo;
    g.Testata.SaldoMassimo = massimo;
    g.AzzeraSegni();
}

}  // namespace

int main() {
    SenzaPulsanti pulsanti;
    SuperficieRegistrata registrata;
    GraficoSaldi grafico(registrata, pulsanti);
    Riempi(grafico);

    const double ms = Misura(5, [&] {
        registrata.Dimentica();
        grafico.DisegnaGrafico(registrata);
    });
    std::printf("DisegnaGrafico, 32767 giorni, superficie registrata: %.2f ms (%zu operazioni)\n",
                ms, registrata.Operazioni.size());

#ifdef _WIN32
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TrevaltoBench";
        RegisterClassA(&wc);
        HWND madre = CreateWindowExA(0, "TrevaltoBench", "bench", WS_OVERLAPPEDWINDOW, 0, 0, 2000,
                                     1200, nullptr, nullptr, wc.hInstance, nullptr);
        FinestraGrafico picture(madre, 1, 0, 0, 1920, 1080);
        GraficoSaldi sulPicture(picture.Superficie(), pulsanti);
        Riempi(sulPicture);
        const double gdi = Misura(3, [&] {
            sulPicture.DisegnaGrafico(picture.Superficie());
            GdiFlush();
        });
        std::printf("DisegnaGrafico, 32767 giorni, picture %d x %d (GDI): %.2f ms\n",
                    picture.Larghezza(), picture.Altezza(), gdi);
        DestroyWindow(madre);
    }
#endif

    for (int i = 0; i < 1000; ++i)
        grafico.AggiungiSegno(400.f + i * 2, 400.f + i * 2, grafico.Testata.DataInizio + i, i,
                              static_cast<TipoSegno>(i % 3));
    test::CartellaTemporanea dir;
    const std::string file = dir.File("bench.vrt");
    const double salva = Misura(5, [&] { grafico.SalvaVrtFile(file); });
    SuperficieRegistrata altra;
    GraficoSaldi letto(altra, pulsanti);
    const double apri = Misura(5, [&] { letto.ApriVrtFile(file); });
    std::printf("SalvaVrtFile, 32767 giorni e 1000 segni (%zu byte): %.2f ms\n",
                static_cast<size_t>(std::filesystem::file_size(file)), salva);
    std::printf("ApriVrtFile, 32767 giorni e 1000 segni: %.2f ms\n", apri);
    return 0;
}
