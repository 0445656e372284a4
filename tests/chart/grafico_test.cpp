// The chart's texts, its model (marks, undo, reset), its drawing on a
// recording surface and the dates and amounts read off a position.

#include <gtest/gtest.h>

#include <cmath>

#include "tests/chart/GraficoDiProva.h"
#include "tests/support/NumeroErrore.h"

using namespace quandora;
using Op = SuperficieRegistrata::Op;
using Operazione = SuperficieRegistrata::Operazione;

namespace {

const Colore kBlu = RGBColore(0, 0, 255);
const Colore kNero = RGBColore(0, 0, 0);
const Data k1Gennaio2024 = DataSerial(2024, 1, 1);
const std::vector<double> kDieci = {100, 200, 300, 400, 500, 600, 700, 800, 900, 1000};

// The texts made of the values, each followed by "|".
template <class T, class F>
std::string Testi(std::initializer_list<T> valori, F formatta) {
    std::string s;
    for (const T& v : valori)
        s += formatta(v) + "|";
    return s;
}

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

struct Modello : ::testing::Test, test::GraficoDiProva {
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

TEST(Formati, AmountsDaysDatesAndLeadingNumbers) {
    const SimboliNumerici it{",", "."};
    // Halves away from zero, no minus on a zero.
    EXPECT_EQ(Testi({1234.56, -1234567.891, 0.0, 0.5, 999.995, 0.125, -0.004, std::nan(""),
                     123456789012.0, 1e15},
                    [&](double v) { return FormattaImporto(v, it); }),
              "1.234,56|-1.234.567,89|0,00|0,50|1.000,00|0,13|0,00|NaN|123.456.789.012,00|"
              "1.000.000.000.000.000,00|");
    EXPECT_EQ(FormattaImporto(1234.5, SimboliNumerici{".", ","}), "1,234.50");
    EXPECT_EQ(FormattaImporto(1234567.5, SimboliNumerici{"·", "'"}), "1'234'567·50");
    EXPECT_EQ(Testi({0, 7, 364, 1000, 32767, 1234567, -5, INT32_MIN},
                    [&](int32_t g) { return FormattaGiorni(g, it); }),
              "000|007|364|1.000|32.767|1.234.567|-005|-2.147.483.648|");
    EXPECT_EQ(FormattaGiorni(-1500, {".", ","}), "-1,500");
    const auto date = {DataSerial(2007, 3, 5), DataSerial(2000, 12, 31), 0.0, kDataMinima,
                       std::floor(kDataMassima)};
    EXPECT_EQ(Testi(date, FormattaDataBreve), "05-03-07|31-12-00|30-12-99|01-01-00|31-12-99|");
    EXPECT_EQ(Testi(date, FormattaDataLunga),
              "05-03-2007|31-12-2000|30-12-1899|01-01-0100|31-12-9999|");

    // Blanks anywhere are skipped (the chart file's count field shows the rest).
    std::vector<double> letti;
    for (const char* n : {" 1 2 3", "", "+4", ".5", "1D2", "3e", "-", "1e-999", "1e999"})
        letti.push_back(ValoreIniziale(n));
    EXPECT_EQ(letti, (std::vector<double>{123, 0, 4, 0.5, 100, 3, 0, 0, HUGE_VAL}));
}

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
    double sx = 0, sy = 0;
    EXPECT_EQ(test::NumeroErrore([&] { Grafico.CalcolaScala(sx, sy); }), 11) << "no chart";
}

TEST_F(Modello, NoMoreMarksThanASixteenBitIndexCounts) {
    Mostra({10, 20});
    for (int i = 0; i < kMassimoSegni; ++i)
        ASSERT_TRUE(Grafico.AggiungiSegno(500.f, 1000.f, 1, 1, kSegnoPunto));
    EXPECT_FALSE(Grafico.AggiungiSegno(500.f, 1000.f, 1, 1, kSegnoPunto));
    Picture.Dimentica();
    EXPECT_FALSE(Segna(1000, 1000, kSegnoPunto));
    EXPECT_EQ(Grafico.LimiteSegni(), 32767);
    EXPECT_TRUE(Picture.Operazioni.empty()) << "refused without drawing";
}

TEST_F(Modello, TenDaysPointsGuideLinesDayLinesAndLabels) {
    Riempi(k1Gennaio2024, kDieci, "   Carta di credito   ");
    Grafico.DisegnaGrafico(Picture);
    // The buttons are off while drawing, and on at the end.
    EXPECT_FALSE(Toolbar.Chiamate.front().second);
    EXPECT_TRUE(Toolbar.Chiamate.back().second);
    EXPECT_TRUE(Grafico.Grafico_Visibile());

    const double sy = 2300.0 / 900;
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

    // Guide lines dashed; day lines solid, from the top of the plot to 50
    // below it, the last day's short of the plot's end.
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

// Guide lines at the highest and the lowest amount and, only when the range
// crosses it, at zero; a flat series takes its range as one.
TEST_F(Modello, GuideLinesFollowTheRangeAndOneDayIsOneDot) {
    const std::pair<std::vector<double>, std::vector<double>> casi[] = {
        {{-50, 20, 150}, {400, 2700, 2125}}, {{0, 20, 150}, {400, 2700}},
        {{-10, -20, 0}, {400, 2700}},        {{75, 75, 75}, {400, 400}},
        {{75, 75.5}, {400, 1550}},           {{250}, {400, 400}}};
    for (const auto& [importi, altezze] : casi) {
        Riempi(k1Gennaio2024, importi);
        Grafico.DisegnaGrafico(Picture);
        EXPECT_EQ(LineeGuida(Picture), altezze) << importi[0];
    }
    // One day: a dot twice, both day lines and both dates in one place.
    EXPECT_TRUE(Filtra(Picture, Op::Linea, kBlu).empty());
    const auto punti = Filtra(Picture, Op::Punto);
    ASSERT_EQ(punti.size(), 2u);
    for (const auto& p : punti)
        EXPECT_EQ(std::make_pair(p.A, p.B), std::make_pair(400.0, 400.0));
    const auto linee = Filtra(Picture, Op::Linea, kNero);
    ASSERT_EQ(linee.size(), 4u);
    EXPECT_EQ(linee[3].A, 400);
    const auto a = Testo(Picture, "01-01-24", 0);
    const auto b = Testo(Picture, "01-01-24", 1);
    EXPECT_EQ(std::make_pair(a.A, a.B), std::make_pair(b.A, b.B));

    Riempi(k1Gennaio2024, {75, 75, 75});
    Grafico.DisegnaGrafico(Picture);
    EXPECT_EQ(Testo(Picture, "75,00", 1).B, 400 - 50);
    for (const auto& s : Filtra(Picture, Op::Linea, kBlu))
        EXPECT_EQ(s.B + s.D, 800);
    Riempi(k1Gennaio2024, {-50, 20, 150});
    Grafico.DisegnaGrafico(Picture);
    EXPECT_DOUBLE_EQ(Testo(Picture, "0,00").B, 2125 - 50);
}

TEST_F(Modello, MarkKindsDrawTheirLinesAndLabels) {
    Riempi(k1Gennaio2024, {100, 200});
    // Any kind but the amount's has its date, any but the date's its amount.
    for (const TipoSegno tipo : {0, 1, 2, 7, -1}) {
        SCOPED_TRACE(tipo);
        SuperficieRegistrata s;
        Grafico.DisegnaSegno(s, 1234.5f, 987.25f, DataSerial(2024, 1, 2), 1234.5, tipo);
        const bool verticale = tipo != kSegnoImporto, orizzontale = tipo != kSegnoData;
        const auto linee = Filtra(s, Op::Linea);
        ASSERT_EQ(linee.size(), (verticale ? 1u : 0u) + (orizzontale ? 1u : 0u));
        for (const auto& l : linee) {
            EXPECT_EQ(l.Stato.Stile, StileTratto::Tratteggiato);
            EXPECT_EQ(l.Stato.Tinta, kNero);
            EXPECT_EQ(l.Stato.Spessore, 1);
        }
        if (verticale) {
            Tra(linee[0], 1234.5, 400, 1234.5, 2700);
            Stampato(s, "02-01-24", 1234.5 - Larghezza("02-01-24", 8) / 2, 2750, 8);
        }
        if (orizzontale) {
            Tra(linee.back(), 400, 987.25, 2600, 987.25);
            Stampato(s, "1.234,50", 400 - Larghezza("1.234,50", 8) - Larghezza("M", 8), 987.25 - 40,
                     8);
        }
        EXPECT_EQ(Filtra(s, Op::Stampa).size(), linee.size());
    }
}

TEST_F(Modello, DateAndAmountAtAPositionAndTheTooltipsSymbols) {
    const Data inizio = DataSerial(2024, 3, 1);
    Riempi(inizio, kDieci);
    EXPECT_NEAR(Grafico.LeggiPosizione(400, 2700).Importo, 100, 1e-9);
    const std::pair<float, double> giorni[] = {{400, 0},  {509, 0},   {511, 1},  {2380, 9},
                                               {2489, 9}, {2491, 10}, {2600, 10}};
    for (const auto& [x, giorno] : giorni)
        EXPECT_EQ(Grafico.LeggiPosizione(x, 400).Giorno, inizio + giorno) << x;
    Grafico.DisegnaGrafico(Picture);
    Grafico.Simboli = [] { return SimboliNumerici{".", ","}; };
    EXPECT_EQ(Grafico.TestoTooltip(2380, 400), "10-03-2024 E.1,000.00");
    // Beyond each edge of the plot the tooltip reads the edge.
    const std::pair<float, float> fuori[][2] = {{{0, 1000}, {400, 1000}},
                                                {{2999, 1000}, {2600, 1000}},
                                                {{1000, 0}, {1000, 400}},
                                                {{1000, 2999}, {1000, 2700}}};
    for (const auto& [oltre, bordo] : fuori)
        EXPECT_EQ(Grafico.TestoTooltip(oltre.first, oltre.second),
                  Grafico.TestoTooltip(bordo.first, bordo.second))
            << oltre.first << ", " << oltre.second;
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

    ASSERT_TRUE(Segna(2600, 400, kSegnoData));
    EXPECT_EQ(Grafico.Segni[2].Tipo, kSegnoData);

    // Between two days: the line at the spot clicked, the date rounded.
    Picture.Dimentica();
    ASSERT_TRUE(Segna(735.5f, 1000, kSegnoImporto));
    EXPECT_EQ(Grafico.Segni[3].Data, inizio + 2);
    const auto linee = Filtra(Picture, Op::Linea);
    ASSERT_EQ(linee.size(), 1u);
    EXPECT_EQ(linee[0].B, 1000);
}
