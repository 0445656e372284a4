// The stand-in host's data: the template and the demo database read back
// through the program's own database layer, and balances of the demo that
// agree with the rows it was made from.

#include <gtest/gtest.h>

#include "chart/clsQuery.h"
#include "database/AccessoDati.h"
#include "host/DatiDemo.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/FixtureHost.h"

using namespace quandora;

TEST(DatiDemo, TemplateAndDemoOpenAndTheDemosBalancesAgreeWithItsRows) {
    test::CartellaTemporanea dir;
    const Data fine = DataSerial(2026, 12, 7);
    host::ScriviHost(dir.File("Quandora"), fine);
    const std::string modello = dir.File("Quandora/quandora.dat");
    const std::string demo = dir.File("Quandora/bnk/quandora.mdb");
    EXPECT_TRUE(VerificaVersioneDati(modello));
    int conti = 0;
    CaricaConti(modello, [&](const std::string&, int32_t) { ++conti; });
    EXPECT_EQ(conti, 0);
    EXPECT_TRUE(VerificaVersioneDati(demo));
    std::vector<std::string> nomi;
    CaricaConti(demo, [&](const std::string& t, int32_t) { nomi.push_back(t); });
    EXPECT_EQ(nomi, (std::vector<std::string>{"Carta di credito", "Contanti", "Conto corrente",
                                              "Libretto di risparmio"}));

    const host::DatiHost dati = host::DatiDemo(fine);
    EXPECT_GT(dati.Operazioni.size(), 2000u) << "several years of a family's movements";
    auto db = ApriDatabase(demo);
    clsQuery q;
    for (int32_t conto : {-1, 1, 2, 3, 4}) {
        for (bool noStat : {false, true}) {
            q.conto = conto;
            q.NoStatistiche = noStat;
            for (Data giorno : {DataSerial(2021, 1, 1), DataSerial(2022, 6, 30),
                                DataSerial(2025, 12, 31), fine}) {
                q.data = giorno;
                const Valore v = db->OpenRecordset(q.Query())->Campo("TotaleEuro");
                const auto atteso = test::SaldoAtteso(dati, conto, giorno, noStat);
                ASSERT_EQ(v.IsNull(), !atteso.has_value());
                if (atteso) {
                    EXPECT_NEAR(v.ComeDoppio(), *atteso / 10000.0, 1e-9);
                }
            }
        }
    }
    // The family's own transfers are flagged: with and without them the
    // total of all accounts is the same.
    q.conto = -1;
    q.data = fine;
    q.NoStatistiche = false;
    const double tutti = db->OpenRecordset(q.Query())->Campo("TotaleEuro").ComeDoppio();
    q.NoStatistiche = true;
    const double senza = db->OpenRecordset(q.Query())->Campo("TotaleEuro").ComeDoppio();
    EXPECT_NEAR(tutti, senza, 1e-6);
}
