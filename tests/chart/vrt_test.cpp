// The chart file: byte-exact files made here by hand, round trips, and
// files that cannot be a chart.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <span>

#include "tests/chart/GraficoDiProva.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/NumeroErrore.h"

using namespace quandora;
using quandora::test::CartellaTemporanea;
using quandora::test::GraficoDiProva;

namespace {

// The fields in the machine's order, which is the file's (little-endian).
template <class T>
std::string Le(T v) {
    char b[sizeof v];
    std::memcpy(b, &v, sizeof v);
    return std::string(b, sizeof v);
}
std::string Campo(const std::string& s, size_t n) {
    std::string c = s;
    c.resize(n, ' ');
    return c;
}

const std::string kFirma = Campo("VRTFILE - Grafico Trevalto Saldo", 50);

std::string Testata(int32_t n, double minimo, double massimo, double inizio, double fine,
                    const std::string& conto) {
    return Le(n) + Le(minimo) + Le(massimo) + Le(inizio) + Le(fine) + Campo(conto, 255);
}
std::string Punto(int32_t g, double d, double s) {
    return Le(g) + Le(d) + Le(s);
}
std::string Segno(float x, float y, double d, double i, int16_t t) {
    return Le(x) + Le(y) + Le(d) + Le(i) + Le(t);
}

const Data kInizio = DataSerial(2023, 6, 30);

// A valid file of n days and m marks, built by hand.
std::string FileValido(int n, int m) {
    std::string f = kFirma + Testata(n, -5, 5 + n, kInizio, kInizio + n - 1, "Conto");
    for (int i = 0; i < n; ++i)
        f += Punto(i + 1, kInizio + i, i % 2 ? -5 : 5 + i);
    f += Campo(std::to_string(m), 50);
    for (int i = 0; i <= m; ++i)
        f += Segno(400.f + i, 500.f + i, kInizio, 1.5 * i, 0);
    return f;
}

class FileVrt : public ::testing::Test {
  protected:
    CartellaTemporanea dir;
    GraficoDiProva g;
    std::string file = dir.File("grafico.vrt");

    // Opens a file with the given bytes; the error number, 0 when it opens.
    int Apri(const std::string& byte, std::string* descrizione = nullptr) {
        CartellaTemporanea::Scrivi(file, byte);
        return test::NumeroErrore([&] { g.Grafico.ApriVrtFile(file); }, descrizione);
    }
};

}  // namespace

TEST_F(FileVrt, NoMarksNoLongDescriptionNoChartAndAFailedSave) {
    g.Riempi(kInizio, {1, 2, 3, 4, 5}, std::string(300, 'A') + "fine");
    g.Grafico.SalvaVrtFile(file);
    const std::string scritto = CartellaTemporanea::Leggi(file);
    ASSERT_EQ(scritto.size(), 391u + 20 * 5 + 26);
    EXPECT_EQ(scritto.substr(86, 255), std::string(255, 'A')) << "cut to 255";
    EXPECT_EQ(scritto.substr(341 + 100, 50), Campo("0", 50));
    EXPECT_EQ(scritto.substr(391 + 100), std::string(26, '\0'));
    EXPECT_EQ(test::NumeroErrore([&] { g.Grafico.SalvaVrtFile(dir.File("manca") + "/x.vrt"); }),
              76);

    g.Grafico.AzzeraGrafico();
    g.Grafico.SalvaVrtFile(dir.File("vuoto.vrt"));
    EXPECT_EQ(dir.NumeroFile(), 1u) << "without a chart nothing is saved";
}

TEST_F(FileVrt, ByteForByteAndBackWithElementZero) {
    g.Riempi(kInizio, {-10.5, 20.25, 1e6, -3.125}, "Carta Visa è più");
    g.Grafico.AggiungiSegno(500.5f, 600.25f, kInizio + 1, 99.99, kSegnoPunto);
    g.Grafico.AggiungiSegno(700.f, 800.f, kInizio + 2, -1.5, kSegnoImporto);
    g.Grafico.AggiungiSegno(900.f, 1000.f, kInizio + 3, 0, 9);
    g.Grafico.Segni[0] = SegnoGrafico{1.f, 2.f, 3, 4, 5};
    const TestataGrafico testata = g.Grafico.Testata;
    g.Grafico.SalvaVrtFile(file);
    // The description one byte a character; element 0 as it is.
    const std::string atteso =
        kFirma + Testata(4, -10.5, 1e6, kInizio, kInizio + 3, "Carta Visa \xE8 pi\xF9") +
        Punto(1, kInizio, -10.5) + Punto(2, kInizio + 1, 20.25) + Punto(3, kInizio + 2, 1e6) +
        Punto(4, kInizio + 3, -3.125) + Campo("3", 50) + Segno(1, 2, 3, 4, 5) +
        Segno(500.5f, 600.25f, kInizio + 1, 99.99, 0) + Segno(700, 800, kInizio + 2, -1.5, 1) +
        Segno(900, 1000, kInizio + 3, 0, 9);
    EXPECT_EQ(CartellaTemporanea::Leggi(file), atteso);
    EXPECT_EQ(dir.NumeroFile(), 1u);

    GraficoDiProva altro;
    altro.Grafico.AzzeraGrafico();
    altro.Grafico.ApriVrtFile(file);
    EXPECT_EQ(altro.Grafico.Testata.Descrizione, testata.Descrizione);
    // Every field back, element 0 too: saved again, the same bytes.
    const std::string copia = dir.File("copia.vrt");
    altro.Grafico.SalvaVrtFile(copia);
    EXPECT_EQ(CartellaTemporanea::Leggi(copia), CartellaTemporanea::Leggi(file));

    // Opened, drawn, and undo takes the last stored mark first.
    altro.Grafico.AggiornaGrafico();
    EXPECT_TRUE(altro.Grafico.Grafico_Visibile());
    altro.Grafico.AnnullaSegno();
    ASSERT_EQ(altro.Grafico.LimiteSegni(), 2);
    EXPECT_EQ(altro.Grafico.Segni[2].X, 700.f);
}

// Bytes that cannot be a chart, each refused with the chart left as it was:
// the signature with its spaces, day counts that cannot be there (refused
// before allocating), a file cut anywhere, values that cannot be drawn.
TEST_F(FileVrt, FilesThatCannotBeAChartAreRefusedAndChangeNothing) {
    const std::string f = FileValido(3, 1);
    ASSERT_EQ(Apri(f + std::string(1000, '\x7F')), 0) << "trailing bytes are ignored";
    auto con = [&](size_t offset, const std::string& byte) {
        std::string h = f;
        h.replace(offset, byte.size(), byte);
        return h;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = -std::numeric_limits<double>::infinity();
    const int segno1 = 391 + 60 + 26;
    const std::string formato[] = {con(0, std::string(32, 'V')), con(0, "v"),
                                   con(32, std::string(18, '\0')), "", kFirma.substr(0, 49)};
    // The signature alone; the header's start and end, a mark's x; a range
    // that overflows; day counts (4 would still fit, the count field read
    // from the marks; 5 not); cut in the header, a day, the count, a mark;
    // the header's minimum and maximum, a day's date and balance, a mark's
    // date and amount.
    std::vector<std::string> dati = {kFirma, con(70, Le(3e6)), con(78, Le(-657435.0)),
                                     con(segno1, Le(std::nanf(""))),
                                     con(54, Le(-1.7e308) + Le(1.7e308))};
    for (int32_t n : {5, 0, -1, INT32_MIN, 100000, INT32_MAX})
        dati.push_back(con(50, Le(n)));
    for (int n : {340, 341 + 30, 341 + 60 + 20, 391 + 60 + 51})
        dati.push_back(f.substr(0, n));
    for (int offset : {54, 341 + 4, segno1 + 8})
        dati.push_back(con(offset, Le(nan)));
    for (int offset : {62, 341 + 20 + 12, segno1 + 16})
        dati.push_back(con(offset, Le(inf)));
    for (const auto& [casi, errore] : {std::pair{std::span<const std::string>(formato), 7881},
                                       std::pair{std::span<const std::string>(dati), 7882}}) {
        for (const std::string& byte : casi) {
            SCOPED_TRACE(&byte - casi.data());
            std::string testo;
            EXPECT_EQ(Apri(byte, &testo), errore);
            EXPECT_EQ(testo, errore == 7881 ? "Formato file non valido" : "Dati non corretti.");
            EXPECT_EQ(g.Grafico.Testata.NumeroGiorni, 3);
            EXPECT_EQ(g.Grafico.Saldi.size(), 3u);
            EXPECT_EQ(g.Grafico.LimiteSegni(), 1);
        }
    }
    // A huge but finite range is drawable; element 0 is never drawn: it
    // comes back as stored.
    EXPECT_EQ(Apri(con(54, Le(-1.7e308))), 0);
    EXPECT_EQ(Apri(con(391 + 60 + 8, Le(nan))), 0);
    EXPECT_TRUE(std::isnan(g.Grafico.Segni[0].Data));

    EXPECT_EQ(test::NumeroErrore([&] { g.Grafico.ApriVrtFile(dir.File("assente.vrt")); }), 53);
    EXPECT_FALSE(CartellaTemporanea::Esiste(dir.File("assente.vrt"))) << "nothing created";
}

TEST_F(FileVrt, CountFieldIsTheLeadingNumberRounded) {
    const std::string base = FileValido(2, 3);
    const size_t conta = 341 + 40;
    auto conCampo = [&](const std::string& campo) {
        std::string f = base;
        f.replace(conta, 50, Campo(campo, 50));
        return f;
    };
    // No digits: only the placeholder; halves to the even number.
    const std::string campi[] = {"nessuno", std::string(50, '\0'), " 2 ", "1.6", "2.5", "3abc"};
    const int segni[] = {0, 0, 2, 2, 2, 3};
    for (size_t i = 0; i < std::size(campi); ++i) {
        EXPECT_EQ(Apri(conCampo(campi[i])), 0) << campi[i];
        EXPECT_EQ(g.Grafico.LimiteSegni(), segni[i]) << campi[i];
    }
    for (const char* campo : {"-1", "4", "1e300", "40000"})  // 4: more marks than bytes
        EXPECT_EQ(Apri(conCampo(campo)), 7882) << campo;
}
