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

std::vector<Operazione> Filtra(const SuperficieRegistrata& s, Op tipo) {
    std::vector<Operazione> out;
    for (const auto& o : s.Operazioni)
        if (o.Tipo == tipo) out.push_back(o);
    return out;
}

std::vector<Operazione> LineeColore(const SuperficieRegistrata& s, Colore c) {
    std::vector<Operazione> out;
    for (const auto& o : Filtra(s, Op::Linea))
        if (o.Stato.Tinta == c) out.push_back(o);
    return out;
}

// The printed text found, or a failure.
Operazione Testo(const SuperficieRegistrata& s, const std::string& testo, int quale = 0) {
    for (const auto& o : Filtra(s, Op::Stampa))
        if (o.Testo == testo && quale-- == 0) return o;
    ADD_FAILURE() << "not printed: " << testo;
    return Operazione{Op::Stampa, 0, 0, 0, 0, {}, {}};
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

const Data k1Gennaio2024 = DataSerial(2024, 1, 1);

}  // namespace

// --- Formats --------------------------------------------------------------

TEST(Formati, AmountsGroupThousandsRoundToCentsAndFollowTheSymbols) {
    const SimboliNumerici it{",", "."};
    EXPECT_EQ(FormattaImporto(1234.56, it), "1.234,56");
    EXPECT_EQ(FormattaImporto(-1234567.891, it), "-1.234.567,89");
    EXPECT_EQ(FormattaImporto(0, it), "0,00");
    EXPECT_EQ(FormattaImporto(0.5, it), "0,50");
    EXPECT_EQ(FormattaImporto(999.995, it), "1.000,00");
    EXPECT_EQ(FormattaImporto(0.125, it), "0,13") << "halves away from zero";
    EXPECT_EQ(FormattaImporto(-0.004, it), "0,00") << "no minus on a zero";
    EXPECT_EQ(FormattaImporto(123456789012.0, it), "123.456.789.012,00");
    EXPECT_EQ(FormattaImporto(1e15, it), "1.000.000.000.000.000,00");
    EXPECT_EQ(FormattaImporto(1234.5, SimboliNumerici{".", ","}), "1,234.50");
    EXPECT_EQ(FormattaImporto(1234567.5, SimboliNumerici{"·", "'"}), "1'234'567·50");
    EXPECT_EQ(FormattaImporto(std::nan(""), it), "NaN");
}

TEST(Formati, DayCountHasThreeDigitsAtLeastAndGroupsThousands) {
    const SimboliNumerici it{",", "."};
    EXPECT_EQ(FormattaGiorni(0, it), "000");
    EXPECT_EQ(FormattaGiorni(7, it), "007");
    EXPECT_EQ(FormattaGiorni(364, it), "364");
    EXPECT_EQ(FormattaGiorni(1000, it), "1.000");
    EXPECT_EQ(FormattaGiorni(32767, it), "32.767");
    EXPECT_EQ(FormattaGiorni(1234567, it), "1.234.567");
    EXPECT_EQ(FormattaGiorni(-5, it), "-005");
    EXPECT_EQ(FormattaGiorni(-1500, {".", ","}), "-1,500");
    EXPECT_EQ(FormattaGiorni(INT32_MIN, it), "-2.147.483.648");
}

TEST(Formati, DatesShortAndLong) {
    EXPECT_EQ(FormattaDataBreve(DataSerial(2007, 3, 5)), "05-03-07");
    EXPECT_EQ(FormattaDataLunga(DataSerial(2007, 3, 5)), "05-03-2007");
    EXPECT_EQ(FormattaDataLunga(DataSerial(2000, 12, 31)), "31-12-2000");
    EXPECT_EQ(FormattaDataBreve(DataSerial(2000, 12, 31)), "31-12-00");
    EXPECT_EQ(FormattaDataLunga(0), "30-12-1899");
    EXPECT_EQ(FormattaDataLunga(kDataMinima), "01-01-0100");
    EXPECT_EQ(FormattaDataLunga(std::floor(kDataMassima)), "31-12-9999");
}

TEST(Formati, LeadingNumberAsValReadsIt) {
    EXPECT_EQ(ValoreIniziale("12" + std::string(48, ' ')), 12);
    EXPECT_EQ(ValoreIniziale(" 1 2 3"), 123) << "blanks anywhere are skipped";
    EXPECT_EQ(ValoreIniziale("7abc"), 7);
    EXPECT_EQ(ValoreIniziale("abc"), 0);
    EXPECT_EQ(ValoreIniziale(""), 0);
    EXPECT_EQ(ValoreIniziale(std::string(50, '\0')), 0);
    EXPECT_EQ(ValoreIniziale("-3"), -3);
    EXPECT_EQ(ValoreIniziale("+4"), 4);
    EXPECT_EQ(ValoreIniziale("2.5x"), 2.5);
    EXPECT_EQ(ValoreIniziale(".5"), 0.5);
    EXPECT_EQ(ValoreIniziale("1e3"), 1000);
    EXPECT_EQ(ValoreIniziale("1D2"), 100);
    EXPECT_EQ(ValoreIniziale("3e"), 3);
    EXPECT_EQ(ValoreIniziale("-"), 0);
    EXPECT_TRUE(std::isinf(ValoreIniziale("1e999")));
    EXPECT_EQ(ValoreIniziale("1e-999"), 0);
}

// --- Model ------------------------------------------------------------------

TEST(Modello, VisibilitySwitchesExactlyTheFiveButtonsInOrder) {
    GraficoDiProva g;
    EXPECT_FALSE(g.Grafico.Grafico_Visibile());
    g.Grafico.Grafico_Visibile(true);
    EXPECT_TRUE(g.Grafico.Grafico_Visibile());
    g.Grafico.Grafico_Visibile(false);
    const std::vector<std::pair<std::string, bool>> attese = {
        {"save", true},    {"clipboard", true}, {"undo", true},       {"bitmap", true},
        {"printer", true}, {"save", false},     {"clipboard", false}, {"undo", false},
        {"bitmap", false}, {"printer", false}};
    EXPECT_EQ(g.Toolbar.Chiamate, attese);
}

TEST(Modello, ResetLeavesNoChartAndABlankHiddenPicture) {
    GraficoDiProva g;
    g.Riempi(k1Gennaio2024, {1, 2, 3});
    g.Grafico.AggiornaGrafico();
    g.Grafico.AggiungiSegno(500.f, 600.f, k1Gennaio2024, 2.0, kSegnoPunto);
    g.Picture.Dimentica();
    g.Grafico.AzzeraGrafico();
    const TestataGrafico& t = g.Grafico.Testata;
    EXPECT_EQ(t.NumeroGiorni, 0);
    EXPECT_EQ(t.SaldoMinimo, 0);
    EXPECT_EQ(t.SaldoMassimo, 0);
    EXPECT_EQ(t.DataInizio, 0);
    EXPECT_EQ(t.DataFine, 0);
    EXPECT_EQ(t.Descrizione, std::string(255, ' '));
    ASSERT_EQ(g.Grafico.Saldi.size(), 1u);
    EXPECT_EQ(g.Grafico.Saldi[0].Giorno, 0);
    EXPECT_EQ(g.Grafico.Saldi[0].Saldo, 0);
    ASSERT_EQ(g.Grafico.Segni.size(), 1u);
    EXPECT_EQ(g.Grafico.Segni[0].X, 0);
    EXPECT_FALSE(g.Grafico.Grafico_Visibile());
    ASSERT_EQ(g.Picture.Operazioni.size(), 1u) << "cleared, nothing drawn";
    EXPECT_EQ(g.Picture.Operazioni[0].Tipo, Op::Cancella);
}

TEST(Modello, DescriptionIsCutAndPaddedToItsCharacters) {
    TestataGrafico t;
    t.ImpostaDescrizione("Cassa");
    EXPECT_EQ(t.Descrizione, "Cassa" + std::string(250, ' '));
    // Characters, not bytes: "è" is one character of the code page.
    t.ImpostaDescrizione("Caffè");
    EXPECT_EQ(t.Descrizione, "Caffè" + std::string(250, ' '));
}

// Three marks; undo removes the third and redraws the first two in order;
// three more undos remove the second, the first and the chart itself.
TEST(Modello, UndoRemovesTheLastMarkThenTheChart) {
    GraficoDiProva g;
    g.Riempi(k1Gennaio2024, {10, 20, 30, 40});
    g.Grafico.AggiornaGrafico();
    for (float x : {500.f, 700.f, 900.f})
        ASSERT_TRUE(g.Grafico.AggiungiSegno(x, 1000.f, k1Gennaio2024, 25.0, kSegnoData));
    EXPECT_EQ(g.Grafico.LimiteSegni(), 3);
    g.Picture.Dimentica();

    g.Grafico.AnnullaSegno();
    EXPECT_EQ(g.Grafico.LimiteSegni(), 2);
    EXPECT_TRUE(g.Grafico.Grafico_Visibile());
    // The chart is redrawn whole, then the remaining marks in their order.
    ASSERT_FALSE(g.Picture.Operazioni.empty());
    EXPECT_EQ(g.Picture.Operazioni[0].Tipo, Op::Cancella);
    std::vector<double> segni;
    for (const auto& o : Filtra(g.Picture, Op::Linea))
        if (o.A == o.C && o.A != 400 && o.D == 2700) segni.push_back(o.A);
    EXPECT_EQ(segni, (std::vector<double>{500, 700}));

    g.Grafico.AnnullaSegno();
    ASSERT_EQ(g.Grafico.LimiteSegni(), 1);
    EXPECT_EQ(g.Grafico.Segni[1].X, 500.f);
    g.Grafico.AnnullaSegno();
    EXPECT_EQ(g.Grafico.LimiteSegni(), 0);
    EXPECT_EQ(g.Grafico.Testata.NumeroGiorni, 4) << "the chart stays while marks go";
    g.Grafico.AnnullaSegno();
    EXPECT_EQ(g.Grafico.Testata.NumeroGiorni, 0);
    EXPECT_FALSE(g.Grafico.Grafico_Visibile());
    EXPECT_EQ(g.Grafico.Saldi.size(), 1u);
}

TEST(Modello, ClearingMarksAndAMarkAfterUndo) {
    GraficoDiProva g;
    g.Riempi(k1Gennaio2024, {10, 20});
    g.Grafico.AggiornaGrafico();
    g.Grafico.AggiungiSegno(500.f, 1000.f, 1, 1, kSegnoPunto);
    g.Grafico.AggiungiSegno(600.f, 1000.f, 2, 2, kSegnoPunto);
    g.Grafico.AnnullaSegno();
    g.Grafico.AggiungiSegno(700.f, 1100.f, 3, 3, kSegnoImporto);
    ASSERT_EQ(g.Grafico.Segni.size(), 3u) << "the freed place taken";
    EXPECT_EQ(g.Grafico.Segni[1].X, 500.f);
    EXPECT_EQ(g.Grafico.Segni[2].X, 700.f);
    EXPECT_EQ(g.Grafico.Segni[2].Y, 1100.f);
    EXPECT_EQ(g.Grafico.Segni[2].Tipo, kSegnoImporto);
    EXPECT_EQ(g.Grafico.Segni[0].X, 0) << "element 0 stays a placeholder";

    g.Picture.Dimentica();
    g.Grafico.RipulisciSegni();
    EXPECT_EQ(g.Grafico.LimiteSegni(), 0);
    EXPECT_TRUE(g.Grafico.Grafico_Visibile());
    EXPECT_EQ(g.Grafico.Testata.NumeroGiorni, 2);
    // Redrawn without marks: no 8-point label.
    EXPECT_EQ(Filtra(g.Picture, Op::Stampa).size(), 6u);
    for (const auto& o : Filtra(g.Picture, Op::Stampa))
        EXPECT_NE(o.Stato.Punti, 8);
    g.Grafico.AnnullaSegno();
    EXPECT_EQ(g.Grafico.Testata.NumeroGiorni, 0);
    EXPECT_FALSE(g.Grafico.Grafico_Visibile());
}

TEST(Modello, NoMoreMarksThanASixteenBitIndexCounts) {
    GraficoDiProva g;
    g.Riempi(k1Gennaio2024, {10, 20});
    g.Grafico.AggiornaGrafico();
    for (int i = 0; i < kMassimoSegni; ++i)
        ASSERT_TRUE(g.Grafico.AggiungiSegno(500.f, 1000.f, 1, 1, kSegnoPunto));
    EXPECT_EQ(g.Grafico.LimiteSegni(), 32767);
    EXPECT_FALSE(g.Grafico.AggiungiSegno(500.f, 1000.f, 1, 1, kSegnoPunto));
    g.Picture.Dimentica();
    g.Grafico.UltimoX = 1000;
    g.Grafico.UltimoY = 1000;
    EXPECT_FALSE(g.Grafico.SegnaPunto(kSegnoPunto));
    EXPECT_EQ(g.Grafico.LimiteSegni(), 32767);
    EXPECT_TRUE(g.Picture.Operazioni.empty()) << "refused without drawing";
}

// --- Drawing --------------------------------------------------------------

TEST(Disegno, TenDaysPointsGuideLinesDayLinesAndLabels) {
    GraficoDiProva g;
    g.Riempi(k1Gennaio2024, {100, 200, 300, 400, 500, 600, 700, 800, 900, 1000},
             "   Carta di credito   ");
    g.Grafico.DisegnaGrafico(g.Picture);
    // The buttons are off while drawing, and on at the end.
    ASSERT_EQ(g.Toolbar.Chiamate.size(), 10u);
    EXPECT_FALSE(g.Toolbar.Chiamate[0].second);
    EXPECT_TRUE(g.Toolbar.Chiamate[9].second);
    EXPECT_TRUE(g.Grafico.Grafico_Visibile());
    EXPECT_EQ(Filtra(g.Picture, Op::Cancella).size(), 1u);
    double sx = 0, sy = 0;
    g.Grafico.CalcolaScala(sx, sy);
    EXPECT_EQ(sx, 220);
    EXPECT_DOUBLE_EQ(sy, 2300.0 / 900);

    const auto segmenti = LineeColore(g.Picture, kBlu);
    ASSERT_EQ(segmenti.size(), 9u);
    for (size_t i = 0; i < segmenti.size(); ++i) {
        EXPECT_DOUBLE_EQ(segmenti[i].A, 400 + 220.0 * i);
        EXPECT_DOUBLE_EQ(segmenti[i].C, 400 + 220.0 * (i + 1));
        EXPECT_DOUBLE_EQ(segmenti[i].B, 400 + (1000 - 100.0 * (i + 1)) * sy);
        EXPECT_EQ(segmenti[i].Stato.Spessore, 2);
        EXPECT_EQ(segmenti[i].Stato.Stile, StileTratto::Continuo);
    }
    EXPECT_DOUBLE_EQ(segmenti.back().C, 2380);
    EXPECT_DOUBLE_EQ(segmenti.back().D, 400);
    const auto punti = Filtra(g.Picture, Op::Punto);
    ASSERT_EQ(punti.size(), 2u);
    EXPECT_EQ(punti[0].A, 400);
    EXPECT_DOUBLE_EQ(punti[0].B, 2700);
    EXPECT_EQ(punti[1].A, 2380);
    EXPECT_EQ(punti[1].B, 400);
    for (const auto& p : punti) {
        EXPECT_EQ(p.Stato.Spessore, 4);
        EXPECT_EQ(p.Stato.Tinta, kBlu);
    }

    // Guide lines: highest, lowest; no zero line for positive amounts.
    const auto guide = LineeColore(g.Picture, kNero);
    ASSERT_GE(guide.size(), 4u);
    EXPECT_EQ(LineeGuida(g.Picture), (std::vector<double>{400, 2700}));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(guide[i].A, 400);
        EXPECT_EQ(guide[i].C, 2600);
        EXPECT_EQ(guide[i].Stato.Spessore, 1);
        EXPECT_EQ(guide[i].Stato.Stile, StileTratto::Tratteggiato);
    }
    // Day lines: solid, from the top of the plot to 50 below its bottom; the
    // last day's short of the plot's end.
    ASSERT_EQ(guide.size(), 4u);
    EXPECT_EQ(guide[2].A, 400);
    EXPECT_EQ(guide[2].B, 400);
    EXPECT_EQ(guide[2].D, 2750);
    EXPECT_EQ(guide[2].Stato.Stile, StileTratto::Continuo);
    EXPECT_DOUBLE_EQ(guide[3].A, 2380);
    EXPECT_DOUBLE_EQ(guide[3].C, 2380);
    EXPECT_EQ(guide[3].D, 2750);

    // Labels: amounts end one "M" left of the plot, centred on their line;
    // dates centred under their day line.
    const double m = Larghezza("M", 10);
    const auto massimo = Testo(g.Picture, "1.000,00");
    EXPECT_DOUBLE_EQ(massimo.A, 400 - Larghezza("1.000,00", 10) - m);
    EXPECT_DOUBLE_EQ(massimo.B, 400 - 50);
    EXPECT_EQ(massimo.Stato.Punti, 10);
    EXPECT_EQ(massimo.Stato.Carattere, "Arial");
    EXPECT_FALSE(massimo.Stato.Grassetto);
    EXPECT_EQ(massimo.Stato.Tinta, kNero);
    const auto minimo = Testo(g.Picture, "100,00");
    EXPECT_DOUBLE_EQ(minimo.A, 400 - Larghezza("100,00", 10) - m);
    EXPECT_DOUBLE_EQ(minimo.B, 2700 - 50);
    const auto inizio = Testo(g.Picture, "01-01-24");
    EXPECT_DOUBLE_EQ(inizio.A, 400 - Larghezza("01-01-24", 10) / 2);
    EXPECT_EQ(inizio.B, 2750);
    const auto fine = Testo(g.Picture, "10-01-24");
    EXPECT_DOUBLE_EQ(fine.A, 2380 - Larghezza("10-01-24", 10) / 2);
    EXPECT_EQ(fine.B, 2750);

    // Title and account centred in bold Arial 14, the account without its blanks.
    const std::string titolo = "Grafico Trevalto Saldo dal 01-01-2024 al 10-01-2024";
    const auto t = Testo(g.Picture, titolo);
    EXPECT_DOUBLE_EQ(t.A, (3000 - Larghezza(titolo, 14)) / 2);
    EXPECT_EQ(t.B, 50);
    EXPECT_EQ(t.Stato.Carattere, "Arial");
    EXPECT_EQ(t.Stato.Punti, 14);
    EXPECT_TRUE(t.Stato.Grassetto);
    const auto c = Testo(g.Picture, "Carta di credito");
    EXPECT_DOUBLE_EQ(c.A, (3000 - Larghezza("Carta di credito", 14)) / 2);
    EXPECT_EQ(c.B, 50 + 140);
    EXPECT_TRUE(c.Stato.Grassetto);
    EXPECT_EQ(Filtra(g.Picture, Op::Stampa).size(), 6u);
}

TEST(Disegno, OneDayIsOneDotAndAFlatSeriesTakesTheRangeAsOne) {
    GraficoDiProva g;
    g.Riempi(k1Gennaio2024, {250});
    g.Grafico.DisegnaGrafico(g.Picture);
    EXPECT_TRUE(LineeColore(g.Picture, kBlu).empty());
    const auto punti = Filtra(g.Picture, Op::Punto);
    ASSERT_EQ(punti.size(), 2u);
    for (const auto& p : punti) {
        EXPECT_EQ(p.A, 400);
        EXPECT_EQ(p.B, 400);
    }
    const auto linee = LineeColore(g.Picture, kNero);
    ASSERT_EQ(linee.size(), 4u);
    EXPECT_EQ(linee[2].A, 400);
    EXPECT_EQ(linee[3].A, 400);
    const auto a = Testo(g.Picture, "01-01-24", 0);
    const auto b = Testo(g.Picture, "01-01-24", 1);
    EXPECT_EQ(a.A, b.A);
    EXPECT_EQ(a.B, b.B);

    g.Riempi(k1Gennaio2024, {75, 75, 75});
    g.Grafico.DisegnaGrafico(g.Picture);
    double sx = 0, sy = 0;
    g.Grafico.CalcolaScala(sx, sy);
    EXPECT_EQ(sy, 2300);
    EXPECT_EQ(LineeGuida(g.Picture), (std::vector<double>{400, 400}));
    EXPECT_EQ(Testo(g.Picture, "75,00", 1).B, 400 - 50);
    for (const auto& s : LineeColore(g.Picture, kBlu))
        EXPECT_EQ(s.B + s.D, 800);
}

TEST(Disegno, ZeroLineOnlyWhenTheRangeCrossesZero) {
    GraficoDiProva g;
    g.Riempi(k1Gennaio2024, {-50, 20, 150});
    g.Grafico.DisegnaGrafico(g.Picture);
    EXPECT_EQ(LineeGuida(g.Picture), (std::vector<double>{400, 2700, 2125}));
    const auto zero = Testo(g.Picture, "0,00");
    EXPECT_DOUBLE_EQ(zero.B, 2125 - 50);
    Testo(g.Picture, "-50,00");
    Testo(g.Picture, "150,00");

    g.Riempi(k1Gennaio2024, {0, 20, 150});
    g.Grafico.DisegnaGrafico(g.Picture);
    EXPECT_EQ(LineeGuida(g.Picture).size(), 2u);
    g.Riempi(k1Gennaio2024, {-10, -20, 0});
    g.Grafico.DisegnaGrafico(g.Picture);
    EXPECT_EQ(LineeGuida(g.Picture).size(), 2u);
}

TEST(Disegno, MarkKindsDrawTheirLinesAndLabels) {
    GraficoDiProva g;
    g.Riempi(k1Gennaio2024, {100, 200});
    const Data giorno = DataSerial(2024, 1, 2);
    struct Caso {
        TipoSegno tipo;
        bool verticale;
        bool orizzontale;
    };
    for (const Caso c : {Caso{0, true, true}, Caso{1, false, true}, Caso{2, true, false},
                         Caso{7, true, true}, Caso{-1, true, true}}) {
        SCOPED_TRACE(c.tipo);
        SuperficieRegistrata s;
        g.Grafico.DisegnaSegno(s, 1234.5f, 987.25f, giorno, 1234.5, c.tipo);
        const auto linee = Filtra(s, Op::Linea);
        ASSERT_EQ(linee.size(), (c.verticale ? 1u : 0u) + (c.orizzontale ? 1u : 0u));
        for (const auto& l : linee) {
            EXPECT_EQ(l.Stato.Stile, StileTratto::Tratteggiato);
            EXPECT_EQ(l.Stato.Tinta, kNero);
            EXPECT_EQ(l.Stato.Spessore, 1);
        }
        size_t i = 0;
        if (c.verticale) {
            EXPECT_EQ(linee[i].A, 1234.5);
            EXPECT_EQ(linee[i].B, 400);
            EXPECT_EQ(linee[i].C, 1234.5);
            EXPECT_EQ(linee[i].D, 2700);
            ++i;
            const auto d = Testo(s, "02-01-24");
            EXPECT_DOUBLE_EQ(d.A, 1234.5 - Larghezza("02-01-24", 8) / 2);
            EXPECT_EQ(d.B, 2750);
            EXPECT_EQ(d.Stato.Punti, 8);
            EXPECT_EQ(d.Stato.Carattere, "Arial");
            EXPECT_FALSE(d.Stato.Grassetto);
        }
        if (c.orizzontale) {
            EXPECT_EQ(linee[i].A, 400);
            EXPECT_EQ(linee[i].B, 987.25);
            EXPECT_EQ(linee[i].C, 2600);
            EXPECT_EQ(linee[i].D, 987.25);
            const auto a = Testo(s, "1.234,50");
            EXPECT_DOUBLE_EQ(a.A, 400 - Larghezza("1.234,50", 8) - Larghezza("M", 8));
            EXPECT_DOUBLE_EQ(a.B, 987.25 - 40);
        }
        EXPECT_EQ(Filtra(s, Op::Stampa).size(), linee.size());
    }
}

TEST(Disegno, WithoutAChartTheScaleIsADivisionByZero) {
    GraficoDiProva g;
    g.Grafico.AzzeraGrafico();
    double sx = 0, sy = 0;
    try {
        g.Grafico.CalcolaScala(sx, sy);
        FAIL();
    } catch (const Errore& e) {
        EXPECT_EQ(e.Numero(), 11);
    }
}

// --- Mouse --------------------------------------------------------------------

TEST(Mouse, DateAndAmountAtAPosition) {
    GraficoDiProva g;
    const Data inizio = DataSerial(2024, 3, 1);
    g.Riempi(inizio, {100, 200, 300, 400, 500, 600, 700, 800, 900, 1000});
    EXPECT_EQ(g.Grafico.LeggiPosizione(400, 400).Giorno, inizio);
    EXPECT_EQ(g.Grafico.LeggiPosizione(400, 400).Importo, 1000);
    EXPECT_NEAR(g.Grafico.LeggiPosizione(400, 2700).Importo, 100, 1e-9);
    EXPECT_EQ(g.Grafico.LeggiPosizione(2380, 400).Giorno, g.Grafico.Testata.DataFine);
    EXPECT_EQ(g.Grafico.LeggiPosizione(2489, 400).Giorno, inizio + 9);
    EXPECT_EQ(g.Grafico.LeggiPosizione(2491, 400).Giorno, inizio + 10);
    EXPECT_EQ(g.Grafico.LeggiPosizione(2600, 400).Giorno, inizio + 10);
    EXPECT_EQ(g.Grafico.LeggiPosizione(509, 400).Giorno, inizio);
    EXPECT_EQ(g.Grafico.LeggiPosizione(511, 400).Giorno, inizio + 1);
}

TEST(Mouse, TooltipIsClampedIntoThePlot) {
    GraficoDiProva g;
    const Data inizio = DataSerial(2007, 3, 5);
    g.Riempi(inizio, {1234.56, 500, 34.56, 900, 700, 600, 800, 100, 50, 60});
    EXPECT_EQ(g.Grafico.TestoTooltip(1000, 1000), "") << "no chart shown yet";
    g.Grafico.DisegnaGrafico(g.Picture);
    EXPECT_EQ(g.Grafico.TestoTooltip(400, 400), "05-03-2007 E.1.234,56");
    EXPECT_EQ(g.Grafico.TestoTooltip(0, 0), "05-03-2007 E.1.234,56");
    EXPECT_EQ(g.Grafico.TestoTooltip(-500, 1e9f), "05-03-2007 E.34,56");
    EXPECT_EQ(g.Grafico.TestoTooltip(2999, 2999), "15-03-2007 E.34,56")
        << "the right edge reads the day after the last";
    EXPECT_EQ(g.Grafico.TestoTooltip(2380, 1550), "14-03-2007 E.634,56");
    g.Grafico.Simboli = [] { return SimboliNumerici{".", ","}; };
    EXPECT_EQ(g.Grafico.TestoTooltip(400, 400), "05-03-2007 E.1,234.56");
    g.Grafico.AzzeraGrafico();
    EXPECT_EQ(g.Grafico.TestoTooltip(1000, 1000), "");
}

TEST(Mouse, MarkingRefusesPositionsOutsideThePlot) {
    GraficoDiProva g;
    const Data inizio = DataSerial(2024, 3, 1);
    g.Riempi(inizio, {100, 200, 300, 400, 500, 600, 700, 800, 900, 1000});
    g.Grafico.DisegnaGrafico(g.Picture);
    g.Picture.Dimentica();

    const float dopo2600 = std::nextafter(2600.f, 3000.f);
    const float dopo2700 = std::nextafter(2700.f, 3000.f);
    const float prima400 = std::nextafter(400.f, 0.f);
    const std::pair<float, float> fuori[] = {{399, 1000},      {prima400, 1000},
                                             {dopo2600, 1000}, {1000, prima400},
                                             {1000, dopo2700}, {std::nanf(""), 1000}};
    for (const auto& [x, y] : fuori) {
        g.Grafico.UltimoX = x;
        g.Grafico.UltimoY = y;
        EXPECT_FALSE(g.Grafico.SegnaPunto(kSegnoPunto)) << x << ", " << y;
    }
    EXPECT_EQ(g.Grafico.LimiteSegni(), 0);
    EXPECT_TRUE(g.Picture.Operazioni.empty());

    // The edges belong to the plot.
    g.Grafico.UltimoX = 400;
    g.Grafico.UltimoY = 2700;
    ASSERT_TRUE(g.Grafico.SegnaPunto(kSegnoPunto));
    const SegnoGrafico s = g.Grafico.Segni[1];
    EXPECT_EQ(s.X, 400.f);
    EXPECT_EQ(s.Y, 2700.f);
    EXPECT_EQ(s.Data, inizio);
    EXPECT_NEAR(s.Importo, 100, 1e-9);
    EXPECT_EQ(s.Tipo, kSegnoPunto);
    // Drawn over the picture without redrawing the chart.
    EXPECT_TRUE(Filtra(g.Picture, Op::Cancella).empty());
    EXPECT_EQ(Filtra(g.Picture, Op::Linea).size(), 2u);
    Testo(g.Picture, "01-03-24");
    Testo(g.Picture, "100,00");

    g.Grafico.UltimoX = 2600;
    g.Grafico.UltimoY = 400;
    ASSERT_TRUE(g.Grafico.SegnaPunto(kSegnoData));
    EXPECT_EQ(g.Grafico.Segni[2].Data, inizio + 10);
    EXPECT_EQ(g.Grafico.Segni[2].Importo, 1000);
    EXPECT_EQ(g.Grafico.Segni[2].Tipo, kSegnoData);

    // Between two days: the line at the spot clicked, the date rounded.
    g.Picture.Dimentica();
    g.Grafico.UltimoX = 735.5f;
    g.Grafico.UltimoY = 1000;
    ASSERT_TRUE(g.Grafico.SegnaPunto(kSegnoImporto));
    EXPECT_EQ(g.Grafico.Segni[3].Data, inizio + 2);
    const auto linee = Filtra(g.Picture, Op::Linea);
    ASSERT_EQ(linee.size(), 1u);
    EXPECT_EQ(linee[0].B, 1000);
}
