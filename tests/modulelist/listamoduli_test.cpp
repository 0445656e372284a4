#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "modulelist/FileModuli.h"
#include "modulelist/ListaModuli.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/NumeroErrore.h"
#include "util/FileBinario.h"
#ifdef _WIN32
#include <windows.h>

#include "util/Win32.h"
#endif

using namespace quandora;
using quandora::test::CartellaTemporanea;
using quandora::test::NumeroErrore;
using Testi = std::vector<std::string>;

namespace {

std::string Record(std::string percorso, std::string nome, std::string desc) {
    percorso.resize(1024, ' ');
    nome.resize(128, ' ');
    desc.resize(255, ' ');
    return percorso + nome + desc;
}

class ListaModuliTest : public ::testing::Test {
  protected:
    bool Aggiungi(const std::string& p, const std::string& n, const std::string& d) {
        const RecordModulo modulo = RecordDelModulo(p, n, d);
        return AggiungiModuloAlFile(*ApriFileModuli(file), modulo);
    }
    // The entries as "name|path|description".
    Testi Lista() {
        Testi righe;
        for (const auto& v : LeggiListaModuli(*ApriFileModuli(file, UsoFileModuli::Lettura)))
            righe.push_back(v.nome + "|" + v.pathname + "|" + v.descrizione);
        return righe;
    }
    std::string Contenuto() { return CartellaTemporanea::Leggi(file); }
    uintmax_t Dimensione() { return std::filesystem::file_size(std::filesystem::u8path(file)); }

    CartellaTemporanea dir;
    std::string file = dir.File("Moduli.dat");
};

}  // namespace

TEST_F(ListaModuliTest, ModulesAreAppendedListedByNameAndUpdatedInPlace) {
    EXPECT_TRUE(Lista().empty()) << "a missing file is created empty";
    EXPECT_EQ(Contenuto(), "");
    for (const std::string n : {"Beta", "alfa", "gamma"})
        EXPECT_TRUE(Aggiungi("C:\\" + n + ".exe", n, "d" + n));
    const std::string alfa = Record("C:\\alfa.exe", "alfa", "dalfa");
    const std::string gamma = Record("C:\\gamma.exe", "gamma", "dgamma");
    EXPECT_EQ(Contenuto(), Record("C:\\Beta.exe", "Beta", "dBeta") + alfa + gamma);
    EXPECT_EQ(Lista(), (Testi{"alfa|C:\\alfa.exe|dalfa", "Beta|C:\\Beta.exe|dBeta",
                              "gamma|C:\\gamma.exe|dgamma"}));
    // Path and description equal but for case: nothing is written. A new
    // description rewrites that record only; the name keeps its first spelling.
    const std::string prima = Contenuto();
    Aggiungi("c:\\ALFA.EXE", "ALFA", "DALFA");
    EXPECT_EQ(Contenuto(), prima);
    Aggiungi("C:\\a2.exe", "Alfa", "nuova");
    EXPECT_EQ(Contenuto(), prima.substr(0, 1407) + Record("C:\\a2.exe", "alfa", "nuova") + gamma);
}

TEST_F(ListaModuliTest, TextsAreCutToTheirFieldsInAnsiAndMatchedAsStored) {
    Aggiungi(std::string(1100, 'x'), "Città", std::string(300, 'd'));
    const std::string c = Contenuto();
    ASSERT_EQ(c.size(), 1407u);
    EXPECT_EQ(c.substr(1024, 6), "Citt\xE0 ");
    // Upper case of accented letters matches too.
    Aggiungi(std::string(1100, 'x'), "CITTÀ", std::string(300, 'd'));
    EXPECT_EQ(Contenuto(), c);
    // A letter the code page lacks (Omega), or malformed UTF-8, in any of
    // the three texts is refused and nothing is written.
    for (const char* manca : {"\u03A9", "a\xC3"}) {
        for (int campo = 0; campo < 3; ++campo) {
            std::string t[3] = {"p", "Città", "d"};
            t[campo] = manca;
            EXPECT_EQ(NumeroErrore([&] { Aggiungi(t[0], t[1], t[2]); }), 5) << campo;
        }
    }
    EXPECT_EQ(Contenuto(), c);
    // Names with blanks around them, or too long, are matched as stored.
    for (const std::string nome : {"  Spazi  ", "spazi", " SPAZI"}) {
        Aggiungi("p", nome, "d");
        Aggiungi("q", std::string(140, 'N'), "e");
    }
    const std::string citta = "Città|" + std::string(1024, 'x') + "|" + std::string(255, 'd');
    EXPECT_EQ(Lista(), (Testi{citta, std::string(128, 'N') + "|q|e", "Spazi|p|d"}));
}

// A blank name is an entry, one beginning with NUL is not; a partial last
// record counts as one padded with spaces, completed before the next.
TEST_F(ListaModuliTest, RecordsAreReadAsStoredAndAPartialLastOneIsCompleted) {
    std::string nul = Record("p0", "", "d0");
    nul[1024] = '\0';
    const std::string intero = Record("p1", "Zeta", "d1") + nul + Record("p2", "", "d2");
    CartellaTemporanea::Scrivi(file, intero + Record("p3", "Due", "d3").substr(0, 1100));
    EXPECT_EQ(Lista(), (Testi{"|p2|d2", "Due|p3|", "Zeta|p1|d1"}));
    Aggiungi("p4", "Tre", "d4");
    EXPECT_EQ(Contenuto(), intero + Record("p3", "Due", "") + Record("p4", "Tre", "d4"));
}

TEST_F(ListaModuliTest, The32768thRecordOverflows) {
    // Records of NULs are not entries but count as records.
    CartellaTemporanea::Scrivi(file, "");
    std::filesystem::resize_file(std::filesystem::u8path(file), 32766u * 1407);
    EXPECT_TRUE(Aggiungi("p", "Ultimo", "d"));
    EXPECT_EQ(Dimensione(), 32767u * 1407);
    EXPECT_EQ(NumeroErrore([&] { Aggiungi("p", "Troppi", "d"); }), 6);
    EXPECT_EQ(Dimensione(), 32767u * 1407);
    // The last record can still be updated.
    EXPECT_TRUE(Aggiungi("p", "Ultimo", "nuova"));
    EXPECT_EQ(Lista(), (Testi{"Ultimo|p|nuova"}));
}

TEST_F(ListaModuliTest, ConcurrentClientsLoseAndDoubleNothing) {
    std::vector<std::thread> clienti;
    for (int t = 0; t < 6; ++t) {
        clienti.emplace_back([this, t] {
            for (int i = 0; i < 15; ++i) {
                const std::string nome = "M" + std::to_string(t * 100 + i);
                const std::string percorso = "C:\\Moduli\\" + nome + ".exe";
                Aggiungi(percorso, nome, "d");
                Aggiungi(percorso, nome, "d");  // a second registration changes nothing
            }
        });
    }
    for (auto& c : clienti)
        c.join();
    EXPECT_EQ(Contenuto().size(), 90u * 1407);
    EXPECT_EQ(Lista().size(), 90u);
}

// A change holds our clients' lock alone, readings share it; a plain
// reader (the host) never meets it, and never keeps our clients out. A
// process that holds the file without sharing keeps them all out.
TEST_F(ListaModuliTest, AHeldListIsWaitedForThenRefusedButNeverByAPlainReader) {
    auto rifiutato = [&](UsoFileModuli uso, std::string* descrizione = nullptr) {
        return NumeroErrore([&] { ApriFileModuli(file, uso, 200); }, descrizione) == 70;
    };
    Aggiungi("p", "Uno", "d");
    EsitoFile esito = EsitoFile::Ok;
    auto lettore = FileInLettura::Apri(file, esito);
    ASSERT_TRUE(lettore);
    EXPECT_TRUE(Aggiungi("p", "Due", "d"));
    EXPECT_EQ(Lista().size(), 2u);

    auto tenuto = ApriFileModuli(file);
    char c = 0;
    EXPECT_TRUE(lettore->Leggi(0, &c, 1));
    EXPECT_TRUE(rifiutato(UsoFileModuli::Modifica));
    EXPECT_TRUE(rifiutato(UsoFileModuli::Lettura));
    tenuto.reset();

    auto lettura = ApriFileModuli(file, UsoFileModuli::Lettura, 200);
    EXPECT_NO_THROW(ApriFileModuli(file, UsoFileModuli::Lettura, 200));
    EXPECT_TRUE(rifiutato(UsoFileModuli::Modifica));
    lettura.reset();
    EXPECT_NO_THROW(ApriFileModuli(file, UsoFileModuli::Modifica, 200));
#ifdef _WIN32
    lettore.reset();
    const Handle esclusivo(
        CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(Valido(esclusivo));
    std::string descrizione;
    EXPECT_TRUE(rifiutato(UsoFileModuli::Lettura, &descrizione));
    EXPECT_EQ(descrizione, "Autorizzazione negata");
#endif
}

TEST_F(ListaModuliTest, MissingFolderIsAPathError) {
    EXPECT_EQ(NumeroErrore([&] { ApriFileModuli(dir.File("manca") + "/Moduli.dat"); }), 76);
}
