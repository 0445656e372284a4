// The chart model (reset, marks, undo), its drawing on a recording surface
// and the dates and amounts read off a position.

#include <gtest/gtest.h>

#include <cmath>

#include "tests/chart/GraficoDiProva.h"
#include "util/Errore.h"

using namespace quandora;
using quandora::test::GraficoDiProva;
using Op = SuperficieRegistrata::Op;
using Operazione = SuperficieRegistrata::Operazione;

namespace {

const Colore kBlu = RGBColore(0, 0, 255);
const Colore kNero = RGBColore(0, 0, 0);
const Data k1Gennaio2024 = DataSerial(2024, 1, 1);
const std::vector<double> kDieci = {100, 200, 300, 400, 500, 600, 700, 800, 900, 1000};

std::vector<Operazione> Filtra(const SuperficieRegistrata& s, Op tipo, Colore c = -1) {
    std::vector<Operazione> out;
    for (const auto& o : s.Operazioni)
        if (o.Tipo == tipo && (c == Colore(-1) || o.Stato.Tinta == c)) out.push_back(o);
    return out;
}

// The printed text found, or a failure.
Operazione Testo(const SuperficieRegistrata& s, const std::string& testo, int quale = 0) {
    for (const auto& o : Filtra(s, Op::Stampa))
        if (o.Testo == testo && quale-- == 0) return o;
    ADD_FAILURE() << "not printed: " << testo;
    return Operazione{Op::Stampa, 0, 0, 0, 0, {}, {}};
}

void Tra(const Operazione& o, double a, double b, double c, double d) {
    EXPECT_NEAR(o.A, a, 1e-9);
    EXPECT_NEAR(o.B, b, 1e-9);
    EXPECT_NEAR(o.C, c, 1e-9);
    EXPECT_NEAR(o.D, d, 1e-9);
}

// Horizontal dashed lines across the plot, by height.
std::vector<double> LineeGuida(const SuperficieRegistrata& s) {
    std::vector<double> y;
    for (const auto& o : Filtra(s, Op::Linea))
        if (o.B == o.D && o.Stato.Stile == StileTratto::Tratteggiato) y.push_back(o.B);
    return y;
}

// Width of a text on the recording surface at the given points.
double Larghezza(const std::string& s, double punti) {
    return static_cast<double>(s.size()) * punti * SuperficieRegistrata::kLarghezzaPerPunto;
}

// Where a text is printed, in black Arial, bold only at 14 points.
void Stampato(const SuperficieRegistrata& s, const std::string& testo, double x, double y,
              int punti = 10) {
    const auto o = Testo(s, testo);
    EXPECT_NEAR(o.A, x, 1e-9) << testo;
    EXPECT_NEAR(o.B, y, 1e-9) << testo;
    EXPECT_EQ(std::tie(o.Stato.Punti, o.Stato.Carattere, o.Stato.Tinta, o.Stato.Grassetto),
              std::make_tuple(punti, "Arial", kNero, punti == 14))
        << testo;
}

struct Modello : ::testing::Test, GraficoDiProva {
    void Mostra(const std::vector<double>& importi) {
        Riempi(k1Gennaio2024, importi);
        Grafico.AggiornaGrafico();
    }
    bool Segna(float x, float y, TipoSegno tipo) {
        Grafico.UltimoX = x;
        Grafico.UltimoY = y;
        return Grafico.SegnaPunto(tipo);
    }
};

}  // namespace

// Inputs and what each gives, index by index.
TEST(Formati, AmountsDaysDatesAndLeadingNumbers) {
    const SimboliNumerici it{",", "."};
    // Halves away from zero, no minus on a zero.
    const double importi[] = {1234.56,      -1234567.891,   0,   0.5, 999.995, 0.125, -0.004,
                              std::nan(""), 123456789012.0, 1e15};
    const char* testi[] = {"1.234,56",
                           "-1.234.567,89",
                           "0,00",
                           "0,50",
                           "1.000,00",
                           "0,13",
                           "0,00",
                           "NaN",
                           "123.456.789.012,00",
                           "1.000.000.000.000.000,00"};
    for (size_t i = 0; i < std::size(importi); ++i)
        EXPECT_EQ(FormattaImporto(importi[i], it), testi[i]) << importi[i];
    EXPECT_EQ(FormattaImporto(1234.5, SimboliNumerici{".", ","}), "1,234.50");
    EXPECT_EQ(FormattaImporto(1234567.5, SimboliNumerici{"·", "'"}), "1'234'567·50");

    const int32_t giorni[] = {0, 7, 364, 1000, 32767, 1234567, -5, INT32_MIN};
    const char* contati[] = {"000",    "007",       "364",  "1.000",
                             "32.767", "1.234.567", "-005", "-2.147.483.648"};
    for (size_t i = 0; i < std::size(giorni); ++i)
        EXPECT_EQ(FormattaGiorni(giorni[i], it), contati[i]) << giorni[i];
    EXPECT_EQ(FormattaGiorni(-1500, {".", ","}), "-1,500");

    EXPECT_EQ(FormattaDataBreve(DataSerial(2007, 3, 5)), "05-03-07");
    EXPECT_EQ(FormattaDataBreve(DataSerial(2000, 12, 31)), "31-12-00");
    const Data date[] = {DataSerial(2007, 3, 5), DataSerial(2000, 12, 31), 0, kDataMinima,
                         std::floor(kDataMassima)};
    const char* lunghe[] = {"05-03-2007", "31-12-2000", "30-12-1899", "01-01-0100", "31-12-9999"};
    for (size_t i = 0; i < std::size(date); ++i)
        EXPECT_EQ(FormattaDataLunga(date[i]), lunghe[i]);

    // Blanks anywhere are skipped.
    const std::string numeri[] = {"12" + std::string(48, ' '),
                                  " 1 2 3",
                                  "7abc",
                                  "abc",
                                  "",
                                  std::string(50, '\0'),
                                  "-3",
                                  "+4",
                                  "2.5x",
                                  ".5",
                                  "1e3",
                                  "1D2",
                                  "3e",
                                  "-",
                                  "1e-999"};
    const double letti[] = {12, 123, 7, 0, 0, 0, -3, 4, 2.5, 0.5, 1000, 100, 3, 0, 0};
    for (size_t i = 0; i < std::size(numeri); ++i)
        EXPECT_EQ(ValoreIniziale(numeri[i]), letti[i]) << numeri[i];
    EXPECT_TRUE(std::isinf(ValoreIniziale("1e999")));
}

// --- Model ------------------------------------------------------------------

// Undo removes the last mark and redraws the chart with the others, a new
// mark takes the freed place; clearing the marks keeps the chart; undo
// without marks resets: no chart, a blank hidden picture.
TEST_F(Modello, UndoTakesTheLastMarkThenTheChart) {
    Mostra({10, 20, 30, 40});
    for (float x : {500.f, 700.f, 900.f})
        ASSERT_TRUE(Grafico.AggiungiSegno(x, 1000.f, k1Gennaio2024, 25.0, kSegnoData));
    Picture.Dimentica();
    Grafico.AnnullaSegno();
    EXPECT_EQ(Grafico.LimiteSegni(), 2);
    EXPECT_TRUE(Grafico.Grafico_Visibile());
    ASSERT_FALSE(Picture.Operazioni.empty());
    EXPECT_EQ(Picture.Operazioni[0].Tipo, Op::Cancella);
    std::vector<double> segni;
    for (const auto& o : Filtra(Picture, Op::Linea))
        if (o.A == o.C && o.A != 400 && o.D == 2700) segni.push_back(o.A);
    EXPECT_EQ(segni, (std::vector<double>{500, 700}));
    Grafico.AggiungiSegno(800.f, 1100.f, 3, 3, kSegnoImporto);
    ASSERT_EQ(Grafico.Segni.size(), 4u);
    EXPECT_EQ(Grafico.Segni[0].X, 0) << "element 0 stays a placeholder";
    const SegnoGrafico& s = Grafico.Segni[3];
    EXPECT_EQ(std::make_tuple(s.X, s.Y, s.Tipo), std::make_tuple(800.f, 1100.f, kSegnoImporto));

    Picture.Dimentica();
    Grafico.RipulisciSegni();
    EXPECT_EQ(Grafico.LimiteSegni(), 0);
    EXPECT_TRUE(Grafico.Grafico_Visibile());
    // Redrawn without marks: no 8-point label.
    EXPECT_EQ(Filtra(Picture, Op::Stampa).size(), 6u);
    for (const auto& o : Filtra(Picture, Op::Stampa))
        EXPECT_NE(o.Stato.Punti, 8);

    Picture.Dimentica();
    Grafico.AnnullaSegno();
    const TestataGrafico& t = Grafico.Testata;
    EXPECT_EQ(
        std::make_tuple(t.NumeroGiorni, t.SaldoMinimo, t.SaldoMassimo, t.DataInizio, t.DataFine),
        std::make_tuple(0, 0.0, 0.0, 0.0, 0.0));
    EXPECT_EQ(t.Descrizione, std::string(255, ' '));
    ASSERT_EQ(Grafico.Saldi.size(), 1u);
    EXPECT_EQ(std::make_pair(Grafico.Saldi[0].Giorno, Grafico.Saldi[0].Saldo),
              std::make_pair(0, 0.0));
    EXPECT_EQ(Grafico.Segni.size(), 1u);
    EXPECT_FALSE(Grafico.Grafico_Visibile());
    ASSERT_EQ(Picture.Operazioni.size(), 1u) << "cleared, nothing drawn";
    EXPECT_EQ(Picture.Operazioni[0].Tipo, Op::Cancella);
    // Without a chart the scale is a division by zero.
    double sx = 0, sy = 0;
    try {
        Grafico.CalcolaScala(sx, sy);
        ADD_FAILURE();
    } catch (const Errore& e) {
        EXPECT_EQ(e.Numero(), 11);
    }
}

TEST_F(Modello, NoMoreMarksThanASixteenBitIndexCounts) {
    Mostra({10, 20});
    for (int i = 0; i < kMassimoSegni; ++i)
        ASSERT_TRUE(Grafico.AggiungiSegno(500.f, 1000.f, 1, 1, kSegnoPunto));
    EXPECT_EQ(Grafico.LimiteSegni(), 32767);
    EXPECT_FALSE(Grafico.AggiungiSegno(500.f, 1000.f, 1, 1, kSegnoPunto));
    Picture.Dimentica();
    EXPECT_FALSE(Segna(1000, 1000, kSegnoPunto));
    EXPECT_EQ(Grafico.LimiteSegni(), 32767);
    EXPECT_TRUE(Picture.Operazioni.empty()) << "refused without drawing";
}

// --- Drawing --------------------------------------------------------------

TEST_F(Modello, TenDaysPointsGuideLinesDayLinesAndLabels) {
    Riempi(k1Gennaio2024, kDieci, "   Carta di credito   ");
    Grafico.DisegnaGrafico(Picture);
    // The buttons are off while drawing, and on at the end.
    ASSERT_EQ(Toolbar.Chiamate.size(), 10u);
    EXPECT_FALSE(Toolbar.Chiamate[0].second);
    EXPECT_TRUE(Toolbar.Chiamate[9].second);
    EXPECT_TRUE(Grafico.Grafico_Visibile());
    EXPECT_EQ(Filtra(Picture, Op::Cancella).size(), 1u);
    double sx = 0, sy = 0;
    Grafico.CalcolaScala(sx, sy);
    EXPECT_EQ(sx, 220);
    EXPECT_DOUBLE_EQ(sy, 2300.0 / 900);

    const auto segmenti = Filtra(Picture, Op::Linea, kBlu);
    ASSERT_EQ(segmenti.size(), 9u);
    for (size_t i = 0; i < segmenti.size(); ++i) {
        Tra(segmenti[i], 400 + 220.0 * i, 400 + (1000 - 100.0 * (i + 1)) * sy,
            400 + 220.0 * (i + 1), 400 + (1000 - 100.0 * (i + 2)) * sy);
        EXPECT_EQ(segmenti[i].Stato.Spessore, 2);
        EXPECT_EQ(segmenti[i].Stato.Stile, StileTratto::Continuo);
    }
    const auto punti = Filtra(Picture, Op::Punto, kBlu);
    ASSERT_EQ(punti.size(), 2u);
    Tra(punti[0], 400, 2700, punti[0].C, punti[0].D);
    Tra(punti[1], 2380, 400, punti[1].C, punti[1].D);
    for (const auto& p : punti)
        EXPECT_EQ(p.Stato.Spessore, 4);

    // Guide lines at the highest and lowest amounts, dashed (no zero line
    // for positive amounts); day lines solid, from the top of the plot to
    // 50 below it, the last day's short of the plot's end.
    const auto nere = Filtra(Picture, Op::Linea, kNero);
    ASSERT_EQ(nere.size(), 4u);
    EXPECT_EQ(LineeGuida(Picture), (std::vector<double>{400, 2700}));
    Tra(nere[0], 400, 400, 2600, 400);
    Tra(nere[1], 400, 2700, 2600, 2700);
    Tra(nere[2], 400, 400, 400, 2750);
    Tra(nere[3], 2380, 400, 2380, 2750);
    EXPECT_EQ(nere[1].Stato.Spessore, 1);
    EXPECT_EQ(nere[3].Stato.Stile, StileTratto::Continuo);

    // Amounts end one "M" left of the plot, centred on their line; dates
    // centred under their day line; title and account (without its blanks)
    // centred in bold Arial 14.
    const double m = Larghezza("M", 10);
    Stampato(Picture, "1.000,00", 400 - Larghezza("1.000,00", 10) - m, 400 - 50);
    Stampato(Picture, "100,00", 400 - Larghezza("100,00", 10) - m, 2700 - 50);
    Stampato(Picture, "01-01-24", 400 - Larghezza("01-01-24", 10) / 2, 2750);
    Stampato(Picture, "10-01-24", 2380 - Larghezza("10-01-24", 10) / 2, 2750);
    const std::string titolo = "Grafico Trevalto Saldo dal 01-01-2024 al 10-01-2024";
    Stampato(Picture, titolo, (3000 - Larghezza(titolo, 14)) / 2, 50, 14);
    Stampato(Picture, "Carta di credito", (3000 - Larghezza("Carta di credito", 14)) / 2, 50 + 140,
             14);
    EXPECT_EQ(Filtra(Picture, Op::Stampa).size(), 6u);
}

TEST_F(Modello, OneDayIsOneDotAndAFlatSeriesTakesTheRangeAsOne) {
    Riempi(k1Gennaio2024, {250});
    Grafico.DisegnaGrafico(Picture);
    EXPECT_TRUE(Filtra(Picture, Op::Linea, kBlu).empty());
    const auto punti = Filtra(Picture, Op::Punto);
    ASSERT_EQ(punti.size(), 2u);
    for (const auto& p : punti)
        EXPECT_EQ(std::make_pair(p.A, p.B), std::make_pair(400.0, 400.0));
    const auto linee = Filtra(Picture, Op::Linea, kNero);
    ASSERT_EQ(linee.size(), 4u);
    EXPECT_EQ(linee[2].A, 400);
    EXPECT_EQ(linee[3].A, 400);
    const auto a = Testo(Picture, "01-01-24", 0);
    const auto b = Testo(Picture, "01-01-24", 1);
    EXPECT_EQ(std::make_pair(a.A, a.B), std::make_pair(b.A, b.B));

    Riempi(k1Gennaio2024, {75, 75, 75});
    Grafico.DisegnaGrafico(Picture);
    double sx = 0, sy = 0;
    Grafico.CalcolaScala(sx, sy);
    EXPECT_EQ(sy, 2300);
    EXPECT_EQ(LineeGuida(Picture), (std::vector<double>{400, 400}));
    EXPECT_EQ(Testo(Picture, "75,00", 1).B, 400 - 50);
    for (const auto& s : Filtra(Picture, Op::Linea, kBlu))
        EXPECT_EQ(s.B + s.D, 800);
}

TEST_F(Modello, ZeroLineOnlyWhenTheRangeCrossesZero) {
    Riempi(k1Gennaio2024, {-50, 20, 150});
    Grafico.DisegnaGrafico(Picture);
    EXPECT_EQ(LineeGuida(Picture), (std::vector<double>{400, 2700, 2125}));
    EXPECT_DOUBLE_EQ(Testo(Picture, "0,00").B, 2125 - 50);
    Testo(Picture, "-50,00");
    Testo(Picture, "150,00");
    for (const auto& importi : {std::vector<double>{0, 20, 150}, {-10, -20, 0}}) {
        Riempi(k1Gennaio2024, importi);
        Grafico.DisegnaGrafico(Picture);
        EXPECT_EQ(LineeGuida(Picture).size(), 2u);
    }
}

TEST_F(Modello, MarkKindsDrawTheirLinesAndLabels) {
    Riempi(k1Gennaio2024, {100, 200});
    struct Caso {
        TipoSegno tipo;
        bool verticale, orizzontale;
    };
    for (const Caso c : {Caso{0, true, true}, Caso{1, false, true}, Caso{2, true, false},
                         Caso{7, true, true}, Caso{-1, true, true}}) {
        SCOPED_TRACE(c.tipo);
        SuperficieRegistrata s;
        Grafico.DisegnaSegno(s, 1234.5f, 987.25f, DataSerial(2024, 1, 2), 1234.5, c.tipo);
        const auto linee = Filtra(s, Op::Linea);
        ASSERT_EQ(linee.size(), (c.verticale ? 1u : 0u) + (c.orizzontale ? 1u : 0u));
        for (const auto& l : linee) {
            EXPECT_EQ(l.Stato.Stile, StileTratto::Tratteggiato);
            EXPECT_EQ(l.Stato.Tinta, kNero);
            EXPECT_EQ(l.Stato.Spessore, 1);
        }
        if (c.verticale) {
            Tra(linee[0], 1234.5, 400, 1234.5, 2700);
            Stampato(s, "02-01-24", 1234.5 - Larghezza("02-01-24", 8) / 2, 2750, 8);
        }
        if (c.orizzontale) {
            Tra(linee.back(), 400, 987.25, 2600, 987.25);
            Stampato(s, "1.234,50", 400 - Larghezza("1.234,50", 8) - Larghezza("M", 8), 987.25 - 40,
                     8);
        }
        EXPECT_EQ(Filtra(s, Op::Stampa).size(), linee.size());
    }
}

// --- Mouse --------------------------------------------------------------------

TEST_F(Modello, DateAndAmountAtAPosition) {
    const Data inizio = DataSerial(2024, 3, 1);
    Riempi(inizio, kDieci);
    EXPECT_EQ(Grafico.LeggiPosizione(400, 400).Importo, 1000);
    EXPECT_NEAR(Grafico.LeggiPosizione(400, 2700).Importo, 100, 1e-9);
    const std::pair<float, double> giorni[] = {{400, 0},  {509, 0},   {511, 1},  {2380, 9},
                                               {2489, 9}, {2491, 10}, {2600, 10}};
    for (const auto& [x, giorno] : giorni)
        EXPECT_EQ(Grafico.LeggiPosizione(x, 400).Giorno, inizio + giorno) << x;
}

TEST_F(Modello, TooltipIsClampedIntoThePlot) {
    Riempi(DataSerial(2007, 3, 5), {1234.56, 500, 34.56, 900, 700, 600, 800, 100, 50, 60});
    EXPECT_EQ(Grafico.TestoTooltip(1000, 1000), "") << "no chart shown yet";
    Grafico.DisegnaGrafico(Picture);
    EXPECT_EQ(Grafico.TestoTooltip(400, 400), "05-03-2007 E.1.234,56");
    EXPECT_EQ(Grafico.TestoTooltip(0, 0), "05-03-2007 E.1.234,56");
    EXPECT_EQ(Grafico.TestoTooltip(-500, 1e9f), "05-03-2007 E.34,56");
    EXPECT_EQ(Grafico.TestoTooltip(2999, 2999), "15-03-2007 E.34,56")
        << "the right edge reads the day after the last";
    EXPECT_EQ(Grafico.TestoTooltip(2380, 1550), "14-03-2007 E.634,56");
    Grafico.Simboli = [] { return SimboliNumerici{".", ","}; };
    EXPECT_EQ(Grafico.TestoTooltip(400, 400), "05-03-2007 E.1,234.56");
    Grafico.AzzeraGrafico();
    EXPECT_EQ(Grafico.TestoTooltip(1000, 1000), "");
}

TEST_F(Modello, MarkingRefusesPositionsOutsideThePlot) {
    const Data inizio = DataSerial(2024, 3, 1);
    Riempi(inizio, kDieci);
    Grafico.DisegnaGrafico(Picture);
    Picture.Dimentica();
    const float dopo2600 = std::nextafter(2600.f, 3000.f);
    const float dopo2700 = std::nextafter(2700.f, 3000.f);
    const float prima400 = std::nextafter(400.f, 0.f);
    const std::pair<float, float> fuori[] = {{399, 1000},      {prima400, 1000},
                                             {dopo2600, 1000}, {1000, prima400},
                                             {1000, dopo2700}, {std::nanf(""), 1000}};
    for (const auto& [x, y] : fuori)
        EXPECT_FALSE(Segna(x, y, kSegnoPunto)) << x << ", " << y;
    EXPECT_EQ(Grafico.LimiteSegni(), 0);
    EXPECT_TRUE(Picture.Operazioni.empty());

    // The edges belong to the plot; drawn over the picture without redrawing.
    ASSERT_TRUE(Segna(400, 2700, kSegnoPunto));
    const SegnoGrafico s = Grafico.Segni[1];
    EXPECT_EQ(std::make_tuple(s.X, s.Y, s.Data, s.Tipo),
              std::make_tuple(400.f, 2700.f, inizio, kSegnoPunto));
    EXPECT_NEAR(s.Importo, 100, 1e-9);
    EXPECT_TRUE(Filtra(Picture, Op::Cancella).empty());
    EXPECT_EQ(Filtra(Picture, Op::Linea).size(), 2u);
    Testo(Picture, "01-03-24");
    Testo(Picture, "100,00");

    ASSERT_TRUE(Segna(2600, 400, kSegnoData));
    const SegnoGrafico d = Grafico.Segni[2];
    EXPECT_EQ(std::make_tuple(d.Data, d.Importo, d.Tipo),
              std::make_tuple(inizio + 10, 1000.0, kSegnoData));

    // Between two days: the line at the spot clicked, the date rounded.
    Picture.Dimentica();
    ASSERT_TRUE(Segna(735.5f, 1000, kSegnoImporto));
    EXPECT_EQ(Grafico.Segni[3].Data, inizio + 2);
    const auto linee = Filtra(Picture, Op::Linea);
    ASSERT_EQ(linee.size(), 1u);
    EXPECT_EQ(linee[0].B, 1000);
}
