#include <gtest/gtest.h>

#include <set>

#include "tests/support/InterazioneRegistrata.h"
#include "util/Errore.h"
#include "util/uxUtilita.h"

using namespace quandora;

// The prefixed report, and 52's own text, are read off the real box.
TEST(Errori, TheReportNamesTheErrorAndClearsIt) {
    test::InterazioneRegistrata schermo;
    ErroreCorrente().Imposta(Errore(7881, "Formato file non valido"));
    uxUtilita().PrintErrore();
    EXPECT_EQ(ErroreCorrente().Numero, 0);
    EXPECT_EQ(ErroreCorrente().Descrizione, "");
    ASSERT_EQ(schermo.boxes.size(), 1u);
    EXPECT_EQ(schermo.boxes[0].titolo, "Errore 7881");
    EXPECT_EQ(schermo.boxes[0].testo, "Formato file non valido");
    EXPECT_EQ(schermo.boxes[0].stile, mb::kOk | mb::kIconInformation);
}

TEST(Errori, EveryNumberOfTheTableIsFoundWithATextOfItsOwn) {
    const uxUtilita u;
    ErroreCorrente().Imposta(Errore(1000, "Errore definito dall'applicazione"));
    // A row out of order is lost to the lookup, a missing one is missing.
    std::set<std::string> testi;
    int trovati = 0;
    for (int32_t n = -1; n <= 1000; ++n) {
        const std::string t = u.MessaggioErroreITA(n);
        if (t == ErroreCorrente().Descrizione) continue;
        ++trovati;
        EXPECT_FALSE(t.empty()) << n;
        EXPECT_TRUE(testi.insert(t).second) << n << " repeats " << t;
    }
    EXPECT_EQ(trovati, 87);
    EXPECT_EQ(u.MessaggioErroreITA(76), "Impossibile trovare il percorso ");
    EXPECT_EQ(u.MessaggioErroreITA(463), "Classe non registrata nel computer locale.");
    EXPECT_EQ(u.MessaggioErroreITA(747), "Errore definito dall'applicazione");
    ErroreCorrente().Azzera();
    EXPECT_EQ(u.MessaggioErroreITA(1000), "");
}
