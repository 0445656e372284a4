// A database held without sharing by another process cannot be opened
// (3051); once that process lets go, it opens again and is unchanged.

#include <windows.h>

#include <gtest/gtest.h>

#include "database/AccessoDati.h"
#include "jet/JetScrittore.h"
#include "tests/support/FixtureHost.h"
#include "tests/support/NumeroErrore.h"
#include "tests/support/Processo_win32.h"
#include "util/Modulo.h"

using namespace quandora;

namespace {

TEST(FileBloccato, DatabaseHeldExclusivelyByAnotherProcessGives3051) {
    const test::CartellaTemporanea dir;
    const std::string f = dir.File("quandora.mdb");
    jet::ScriviFileJet3(f, host::TabelleHost(test::DatiDiProva(50)), PasswordQuandora);
    ASSERT_TRUE(VerificaVersioneDati(f));

    const Handle tenuto(CreateEventA(nullptr, TRUE, FALSE, "TrevaltoFileTenuto"));
    const Handle rilascia(CreateEventA(nullptr, TRUE, FALSE, "TrevaltoRilasciaFile"));
    ASSERT_TRUE(tenuto && rilascia);
    const Processo tiene =
        test::AvviaProcesso("\"" + CartellaModulo() + "tieni_file.exe\" \"" + f + "\"");
    ASSERT_TRUE(tiene);
    ASSERT_EQ(WaitForSingleObject(tenuto.get(), 30000), WAIT_OBJECT_0);

    std::string descrizione;
    const int numero = test::NumeroErrore([&] { ApriDatabase(f); }, &descrizione);
    EXPECT_TRUE(numero == 3051 || numero == 3045) << numero;
    EXPECT_NE(descrizione.find("quandora.mdb"), std::string::npos) << descrizione;
    EXPECT_EQ(test::NumeroErrore([&] { CaricaConti(f, [](const std::string&, int32_t) {}); }),
              numero);

    SetEvent(rilascia.get());
    EXPECT_EQ(test::CodiceUscita(tiene), 0u);
    EXPECT_TRUE(VerificaVersioneDati(f));
}

}  // namespace
