#include <gtest/gtest.h>

#include <iterator>
#include <set>

#include "tests/support/InterazioneRegistrata.h"
#include "util/Errore.h"
#include "util/uxUtilita.h"

using namespace quandora;
using quandora::test::InterazioneRegistrata;

namespace {

class ErroriTest : public ::testing::Test {
  protected:
    void SetUp() override { ErroreCorrente().Azzera(); }
    void TearDown() override { ErroreCorrente().Azzera(); }
    InterazioneRegistrata schermo;
    uxUtilita u;
};

}  // namespace

TEST_F(ErroriTest, PrintErroreExNamesTheOperationAndClearsTheError) {
    try {
        throw ErroreDiSistema(53);
    } catch (const Errore& e) {
        ErroreCorrente().Imposta(e);
    }
    u.PrintErroreEx("Apri File VRT");
    ASSERT_EQ(schermo.boxes.size(), 1u);
    EXPECT_EQ(schermo.boxes[0].titolo, "Errore 53");
    EXPECT_EQ(schermo.boxes[0].testo, "Apri File VRT: Impossibile trovare il file");
    EXPECT_EQ(schermo.boxes[0].stile, mb::kOk | mb::kIconInformation);
    EXPECT_EQ(ErroreCorrente().Numero, 0);
    EXPECT_EQ(ErroreCorrente().Descrizione, "");
}

TEST_F(ErroriTest, Error52IsShownAsAnUnreadableDrive) {
    ErroreCorrente().Imposta(ErroreDiSistema(52));
    u.PrintErrore();
    ErroreCorrente().Imposta(ErroreDiSistema(52));
    u.PrintErroreEx("Salva immagine");
    ASSERT_EQ(schermo.boxes.size(), 2u);
    EXPECT_EQ(schermo.boxes[0].titolo, "Errore 52");
    EXPECT_EQ(schermo.boxes[0].testo, "Impossibile leggere l'unità specificata.");
    EXPECT_EQ(schermo.boxes[1].testo, "Salva immagine: Impossibile leggere l'unità specificata.");
}

TEST_F(ErroriTest, OwnErrorsKeepTheirDescription) {
    ErroreCorrente().Imposta(Errore(7881, "Formato file non valido"));
    u.PrintErrore();
    ASSERT_EQ(schermo.boxes.size(), 1u);
    EXPECT_EQ(schermo.boxes[0].titolo, "Errore 7881");
    EXPECT_EQ(schermo.boxes[0].testo, "Formato file non valido");
}

TEST_F(ErroriTest, MessaggioErroreITACoversTheTableAndFallsBack) {
    EXPECT_EQ(u.MessaggioErroreITA(76), "Impossibile trovare il percorso ");
    EXPECT_EQ(u.MessaggioErroreITA(75), "Errore di accesso al percorso/file");
    EXPECT_EQ(u.MessaggioErroreITA(463), "Classe non registrata nel computer locale.");
    EXPECT_EQ(u.MessaggioErroreITA(1000), "");
    ErroreCorrente().Imposta(Errore(1000, "Errore definito dall'applicazione"));
    EXPECT_EQ(u.MessaggioErroreITA(1000), "Errore definito dall'applicazione");
    // Numbers next to the table's are not in it.
    EXPECT_EQ(u.MessaggioErroreITA(4), "Errore definito dall'applicazione");
    EXPECT_EQ(u.MessaggioErroreITA(747), "Errore definito dall'applicazione");

    const int numeri[] = {3,   5,   6,   7,   9,   10,  11,  13,  14,  16,  17,  18,  20,  28,  35,
                          47,  48,  49,  51,  52,  53,  54,  55,  57,  58,  59,  61,  62,  63,  67,
                          68,  70,  71,  74,  75,  76,  91,  92,  93,  94,  96,  97,  98,  321, 322,
                          325, 380, 381, 382, 383, 385, 387, 393, 394, 422, 423, 424, 429, 430, 432,
                          438, 440, 442, 443, 445, 446, 447, 448, 449, 450, 451, 452, 453, 454, 455,
                          457, 458, 459, 460, 461, 462, 463, 481, 482, 735, 744, 746};
    static_assert(std::size(numeri) == 87);
    std::set<std::string> testi;
    for (int n : numeri) {
        const std::string t = u.MessaggioErroreITA(n);
        EXPECT_NE(t, "Errore definito dall'applicazione") << n;
        EXPECT_FALSE(t.empty()) << n;
        testi.insert(t);
    }
    EXPECT_EQ(testi.size(), 87u) << "every number has a text of its own";
}
