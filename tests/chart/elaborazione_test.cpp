// The series from the days' totals; the run over a database written by the
// Jet writer against balances summed from its rows; progress, stop, close.

#include "chart/Elaborazione.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "jet/JetScrittore.h"
#include "tests/chart/FinestraDiProva.h"
#include "tests/chart/GraficoDiProva.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/FixtureHost.h"
#include "tests/support/InterazioneRegistrata.h"
#include "tests/support/NumeroErrore.h"

using namespace quandora;
using quandora::test::CartellaTemporanea;

namespace {

class ElaborazioneTest : public ::testing::Test, protected test::GraficoDiProva {
  protected:
    void SetUp() override {
        dati = test::DatiDiProva(800);
        run.PercorsoDatabase = dir.File("quandora.mdb");
        jet::ScriviFileJet3(run.PercorsoDatabase, host::TabelleHost(dati), PasswordQuandora);
        // Events and progress after every day, unless a test says otherwise.
        run.IntervalloEventi = std::chrono::milliseconds(0);
    }

    double Atteso(int32_t conto, Data giorno, bool noStat) {
        const auto s = test::SaldoAtteso(dati, conto, giorno, noStat);
        return s ? static_cast<double>(*s) / 10000.0 : 0.0;
    }

    void VerificaSerie(double base = 0) {
        const int n = static_cast<int>(finestra.fine - finestra.inizio) + 1;
        ASSERT_EQ(Grafico.Testata.NumeroGiorni, n);
        ASSERT_EQ(Grafico.Saldi.size(), static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            const Data giorno = finestra.inizio + i;
            EXPECT_NEAR(Grafico.Saldi[i].Saldo,
                        Atteso(finestra.conto, giorno, finestra.noStat) - base, 1e-6)
                << "giorno " << i;
            EXPECT_EQ(Grafico.Saldi[i].Data, giorno);
        }
        const auto [minimo, massimo] = std::minmax_element(
            Grafico.Saldi.begin(), Grafico.Saldi.end(),
            [](const PuntoSaldo& a, const PuntoSaldo& b) { return a.Saldo < b.Saldo; });
        EXPECT_EQ(Grafico.Testata.SaldoMinimo, minimo->Saldo);
        EXPECT_EQ(Grafico.Testata.SaldoMassimo, massimo->Saldo);
    }

    // No run: the button starts one, the toolbar is on, the status hidden.
    void AFermo() {
        EXPECT_FALSE(run.Elaborazione_In_Corso());
        EXPECT_EQ(finestra.caption, "Elabora");
        EXPECT_TRUE(finestra.abilitati[Controllo::Toolbar1]);
        EXPECT_FALSE(finestra.statoVisibile);
    }

    CartellaTemporanea dir;
    host::DatiHost dati;
    test::FinestraDiProva finestra;
    test::InterazioneRegistrata schermo;
    Elaborazione run{Grafico, finestra};
};

}  // namespace

// The difference option's series: the run's test.
TEST(SerieSaldi, TotalsBecomeTheDaysBalancesWithTheirMinimumAndMaximum) {
    const Data inizio = DataSerial(2004, 2, 28);
    SerieSaldi serie;
    const Valore totali[] = {Valore::Valuta(1005000), Valore::Nullo(), Valore::Doppio(-50.5),
                             Valore::Intero(30)};
    const double saldi[] = {100.5, 0, -50.5, 30};
    for (int i = 0; i < 4; ++i) {
        const PuntoSaldo p = serie.Aggiungi(inizio + i, totali[i], false);
        EXPECT_EQ(std::tie(p.Giorno, p.Data, p.Saldo),
                  std::make_tuple(i + 1, inizio + i, saldi[i]));
    }
    EXPECT_EQ(std::make_pair(serie.Minimo(), serie.Massimo()), std::make_pair(-50.5, 100.5));
    // The first day sets both ends, whatever its sign.
    for (int primo : {-5, 7}) {
        SerieSaldi altra;
        altra.Aggiungi(inizio, Valore::Intero(primo), false);
        altra.Aggiungi(inizio + 1, Valore::Intero(primo + 2), false);
        EXPECT_EQ(std::make_pair(altra.Minimo(), altra.Massimo()),
                  std::make_pair(primo + 0.0, primo + 2.0));
    }
}

TEST(SerieSaldi, The32768thDayOverflows) {
    SerieSaldi serie;
    for (int i = 0; i < 32767; ++i)
        ASSERT_EQ(serie.Aggiungi(i, Valore::Intero(i), false).Giorno, i + 1);
    EXPECT_EQ(test::NumeroErrore([&] { serie.Aggiungi(32767, Valore::Intero(1), false); }), 6);
}

// The account and the option the window gives reach the query; with the
// difference option the first day is the zero.
TEST_F(ElaborazioneTest, SeriesMatchesBalancesSummedFromTheRows) {
    finestra.inizio = DataSerial(2003, 2, 20);
    finestra.fine = DataSerial(2003, 6, 30);
    finestra.conto = 2;
    finestra.noStat = true;
    run.cmdElabora_Click();
    VerificaSerie();
    EXPECT_TRUE(schermo.boxes.empty());
    EXPECT_TRUE(Grafico.Grafico_Visibile());
    AFermo();
    EXPECT_EQ(finestra.tooltip, "Inizia la generazione del grafico");
    EXPECT_TRUE(run.StopRichiesto) << "set again whenever a run ends";
    EXPECT_EQ(Grafico.Testata.Descrizione.substr(0, 15), "<tutti i conti>");

    finestra.conto = 1;
    finestra.noStat = false;
    finestra.differenza = true;
    run.cmdElabora_Click();
    VerificaSerie(Atteso(1, finestra.inizio, false));
}

TEST_F(ElaborazioneTest, EndBeforeStartIsRefusedAndChangesNothing) {
    finestra.fine = finestra.inizio - 1;
    run.cmdElabora_Click();
    ASSERT_EQ(schermo.boxes.size(), 1u);
    const test::BoxMostrato& b = schermo.boxes[0];
    EXPECT_EQ(std::tie(b.testo, b.titolo, b.stile),
              std::make_tuple("La DATA FINALE non può essere minore della DATA INIZIALE. "
                              "Elaborazione interrotta.",
                              "Errore", mb::kOk | mb::kIconInformation));
    EXPECT_TRUE(Picture.Operazioni.empty());
}

// Events and progress after the first day, then whenever the interval has
// passed; the progress is the share of the days before, never 100.
TEST_F(ElaborazioneTest, EventsAndProgressComeEveryIntervalNeverShowing100) {
    finestra.inizio = DataSerial(2004, 1, 1);
    finestra.fine = finestra.inizio + 99;
    // A day takes a millisecond; events every 29.
    run.IntervalloEventi = std::chrono::milliseconds(29);
    std::chrono::steady_clock::time_point adesso{};
    run.Adesso = [&] { return adesso += std::chrono::milliseconds(1); };
    run.cmdElabora_Click();
    VerificaSerie();
    // The reset, then days 1, 30, 59, 88. Division first, in doubles: 29 /
    // 100 * 100 is 28.999..., shown as 28.
    EXPECT_EQ(schermo.giri, 4);
    EXPECT_EQ(finestra.valori, (std::vector<int>{0, 0, 28, 57, 87}));
}

TEST_F(ElaborazioneTest, StopQuestionNoGoesOnYesStopsACloseFromOutsideStopsAndCloses) {
    finestra.fine = DataSerial(2003, 12, 31);
    schermo.risposte = {mb::kIdNo, mb::kIdYes};
    schermo.eventi = [&](int giro) {
        if (giro == 1) {
            EXPECT_TRUE(run.Elaborazione_In_Corso());
            EXPECT_EQ(finestra.caption, "Interrompi");
            EXPECT_EQ(finestra.puntatore, Puntatore::Clessidra);
            EXPECT_FALSE(finestra.abilitati[Controllo::CboConti]);
            EXPECT_FALSE(finestra.abilitati[Controllo::Toolbar1]);
            EXPECT_TRUE(finestra.statoVisibile);
        }
        if (giro == 5 || giro == 10) run.cmdElabora_Click();  // the button, now "Interrompi"
    };
    run.cmdElabora_Click();
    ASSERT_EQ(schermo.boxes.size(), 2u);
    const test::BoxMostrato& b = schermo.boxes[0];
    EXPECT_EQ(std::tie(b.testo, b.titolo, b.stile),
              std::make_tuple("Vuoi interrompere l'elaborazione del grafico?", "Conferma",
                              mb::kYesNo | mb::kIconQuestion));
    EXPECT_EQ(schermo.giri, 10) << "the run stops right after the day of the Yes";
    EXPECT_EQ(Grafico.Testata.NumeroGiorni, 0);
    AFermo();
    EXPECT_EQ(finestra.chiusure, 0);
    EXPECT_FALSE(run.Form_QueryUnload(kChiusuraUtente)) << "after the run the window closes";

    // A close from outside stops the next run, and closes the window after it.
    schermo.giri = 0;
    schermo.eventi = [&](int giro) {
        if (giro == 3) {
            EXPECT_TRUE(run.Form_QueryUnload(kChiusuraSessione));
        }
        EXPECT_EQ(finestra.chiusure, 0) << "never while the run still works";
    };
    run.cmdElabora_Click();
    EXPECT_EQ(schermo.giri, 3);
    EXPECT_EQ(finestra.chiusure, 1);
    AFermo();
}

TEST_F(ElaborazioneTest, AFailedRunReportsAndClearsThePicture) {
    jet::ScriviFileJet3(run.PercorsoDatabase, host::TabelleHost(dati), "altra");
    run.cmdElabora_Click();
    ASSERT_EQ(schermo.boxes.size(), 1u);
    EXPECT_EQ(schermo.boxes[0].titolo, "Errore 3031");
    EXPECT_EQ(schermo.boxes[0].testo.rfind("Elaborazione grafico: ", 0), 0u);
    AFermo();
    // The last thing on the picture is the reset, not "Elaborazione in corso...".
    ASSERT_FALSE(Picture.Operazioni.empty());
    EXPECT_EQ(Picture.Operazioni.back().Tipo, SuperficieRegistrata::Op::Cancella);
}
