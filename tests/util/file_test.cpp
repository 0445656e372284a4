#include <gtest/gtest.h>

#include "tests/support/CartellaTemporanea.h"
#include "util/FileBinario.h"

using namespace quandora;
using quandora::test::CartellaTemporanea;

TEST(ScriviFileSicuro, ReplacesTheWholeFileOrOnFailureKeepsThePreviousOne) {
    CartellaTemporanea dir;
    const std::string file = dir.File("grafico.vrt");
    EsitoFile esito;
    ASSERT_TRUE(ScriviFileSicuro(file, std::string(1000, 'A'), esito));
    EXPECT_EQ(esito, EsitoFile::Ok);
    // A shorter content leaves no tail of the longer one.
    ASSERT_TRUE(ScriviFileSicuro(file, "breve", esito));
    EXPECT_EQ(CartellaTemporanea::Leggi(file), "breve");
    ASSERT_TRUE(ScriviFileSicuro(file, std::string(), esito));
    EXPECT_EQ(CartellaTemporanea::Leggi(file), "");

    EXPECT_FALSE(ScriviFileSicuro(dir.File("manca") + "/x.vrt", "dati", esito));
    EXPECT_EQ(esito, EsitoFile::PercorsoNonTrovato);
    EXPECT_EQ(ErroreFile(esito).Numero(), 76);
    // The target is a folder: the move fails, the folder and its content stay.
    const std::string cartella = dir.File("cartella");
    std::filesystem::create_directory(std::filesystem::u8path(cartella));
    CartellaTemporanea::Scrivi(cartella + "/dentro.txt", "vecchio");
    EXPECT_FALSE(ScriviFileSicuro(cartella, "nuovo", esito));
    EXPECT_EQ(CartellaTemporanea::Leggi(cartella + "/dentro.txt"), "vecchio");
    EXPECT_EQ(dir.NumeroFile(), 2u) << "no temporary file stays behind";
}

TEST(FileInLettura, ReadsAtOffsetsAndRefusesReadsPastTheEndOrTheLimit) {
    CartellaTemporanea dir;
    const std::string file = dir.File("dati.bin");
    CartellaTemporanea::Scrivi(file, "0123456789");
    EsitoFile esito;
    auto f = FileInLettura::Apri(file, esito);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->Dimensione(), 10u);
    char buf[4] = {};
    ASSERT_TRUE(f->Leggi(6, buf, 4));
    EXPECT_EQ(std::string(buf, 4), "6789");
    EXPECT_FALSE(f->Leggi(7, buf, 4));
    EXPECT_FALSE(f->Leggi(UINT64_MAX - 1, buf, 4));
    EXPECT_TRUE(f->Leggi(10, buf, 0));

    EXPECT_FALSE(FileInLettura::Apri(dir.File("assente.bin"), esito));
    EXPECT_EQ(esito, EsitoFile::NonTrovato);
    EXPECT_EQ(ErroreFile(esito).Descrizione(), "Impossibile trovare il file");
    EXPECT_FALSE(FileInLettura::Apri(dir.File("assente") + "/x.bin", esito));
    EXPECT_NE(esito, EsitoFile::Ok);
    // A whole file is refused past the limit, before it is allocated.
    std::string dati;
    EXPECT_FALSE(LeggiFile(file, dati, esito, 9));
    EXPECT_TRUE(dati.empty());
    ASSERT_TRUE(LeggiFile(file, dati, esito, 10));
    EXPECT_EQ(dati, "0123456789");
}
