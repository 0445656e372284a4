#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "modulelist/FileModuli.h"
#include "modulelist/ListaModuli.h"
#include "tests/support/CartellaTemporanea.h"
#include "util/Errore.h"
#include "util/FileBinario.h"

using namespace quandora;
using quandora::test::CartellaTemporanea;

namespace {

std::string Record(const std::string& percorso, const std::string& nome, const std::string& desc) {
    std::string r = percorso;
    r.resize(1024, ' ');
    std::string n = nome;
    n.resize(128, ' ');
    std::string d = desc;
    d.resize(255, ' ');
    return r + n + d;
}

class ListaModuliTest : public ::testing::Test {
  protected:
    bool Aggiungi(const std::string& p, const std::string& n, const std::string& d) {
        const RecordModulo modulo = RecordDelModulo(p, n, d);
        auto f = ApriFileModuli(file);
        return AggiungiModuloAlFile(*f, modulo);
    }
    std::vector<VoceModulo> Lista() {
        auto f = ApriFileModuli(file, UsoFileModuli::Lettura);
        return LeggiListaModuli(*f);
    }
    std::string Contenuto() { return CartellaTemporanea::Leggi(file); }

    CartellaTemporanea dir;
    std::string file = dir.File("Moduli.dat");
};

}  // namespace

TEST_F(ListaModuliTest, FirstModuleMakesOneRecordOfFixedWidth) {
    EXPECT_TRUE(Lista().empty()) << "a missing file is created empty";
    EXPECT_EQ(Contenuto(), "");
    EXPECT_TRUE(Aggiungi("C:\\Prog\\Trevalto.exe", "Trevalto", "Grafico saldo"));
    EXPECT_EQ(Contenuto(), Record("C:\\Prog\\Trevalto.exe", "Trevalto", "Grafico saldo"));
    const auto lista = Lista();
    ASSERT_EQ(lista.size(), 1u);
    EXPECT_EQ(lista[0].pathname, "C:\\Prog\\Trevalto.exe");
    EXPECT_EQ(lista[0].nome, "Trevalto");
    EXPECT_EQ(lista[0].descrizione, "Grafico saldo");
}

TEST_F(ListaModuliTest, ExistingEntriesAreUpdatedInPlaceOrLeftAlone) {
    Aggiungi("C:\\a.exe", "Alfa", "prima");
    Aggiungi("C:\\b.exe", "Beta", "seconda");
    const std::string prima = Contenuto();

    // Path and description equal but for case: nothing is written.
    Aggiungi("c:\\A.EXE", "alfa", "PRIMA");
    EXPECT_EQ(Contenuto(), prima);

    // A new description rewrites that record only; the name keeps its
    // first spelling.
    Aggiungi("C:\\a2.exe", "ALFA", "nuova");
    EXPECT_EQ(Contenuto(), Record("C:\\a2.exe", "Alfa", "nuova") + prima.substr(1407));
}

TEST_F(ListaModuliTest, ListIsSortedByNameWithoutRegardToCase) {
    Aggiungi("pb", "Beta", "db");
    Aggiungi("pa", "alfa", "da");
    Aggiungi("pg", "gamma", "dg");
    std::vector<std::string> righe;
    for (const auto& v : Lista())
        righe.push_back(v.nome + "|" + v.pathname + "|" + v.descrizione);
    EXPECT_EQ(righe, (std::vector<std::string>{"alfa|pa|da", "Beta|pb|db", "gamma|pg|dg"}));
}

TEST_F(ListaModuliTest, BlankNamesAreEntriesAndNulNamesAreNot) {
    std::string nul = Record("p0", "", "d0");
    nul[1024] = '\0';
    CartellaTemporanea::Scrivi(file, Record("p1", "Zeta", "d1") + nul + Record("p2", "", "d2"));
    const auto lista = Lista();
    ASSERT_EQ(lista.size(), 2u);
    EXPECT_EQ(lista[0].nome, "");
    EXPECT_EQ(lista[0].pathname, "p2");
    EXPECT_EQ(lista[1].nome, "Zeta");
}

TEST_F(ListaModuliTest, NamesWithBlanksOrTooLongAreStoredOnce) {
    const std::string lungo(140, 'N');
    for (int i = 0; i < 3; ++i) {
        Aggiungi("p", "  Spazi  ", "d");
        Aggiungi("q", lungo, "e");
    }
    EXPECT_EQ(Contenuto().size(), 2u * 1407);
    const auto lista = Lista();
    ASSERT_EQ(lista.size(), 2u);
    EXPECT_EQ(lista[0].nome, std::string(128, 'N'));
    EXPECT_EQ(lista[1].nome, "Spazi");
}

TEST_F(ListaModuliTest, LongAndAccentedTextsAreCutToTheirFieldsInAnsi) {
    Aggiungi(std::string(1100, 'x'), "Città", std::string(300, 'd'));
    const std::string c = Contenuto();
    ASSERT_EQ(c.size(), 1407u);
    EXPECT_EQ(c.substr(1024, 6), "Citt\xE0 ");
    EXPECT_EQ(Lista()[0].nome, "Città");
    // Upper case of accented letters matches too.
    Aggiungi(std::string(1100, 'x'), "CITTÀ", std::string(300, 'd'));
    EXPECT_EQ(Contenuto(), c);
    // A letter the code page lacks (Omega), or malformed UTF-8, in any of
    // the three texts is refused and nothing is written.
    for (const char* manca : {"\u03A9", "a\xC3"}) {
        for (int campo = 0; campo < 3; ++campo) {
            std::string t[3] = {"p", "Città", "d"};
            t[campo] = manca;
            try {
                Aggiungi(t[0], t[1], t[2]);
                ADD_FAILURE() << "field " << campo << " accepted";
            } catch (const Errore& e) {
                EXPECT_EQ(e.Numero(), 5);
            }
        }
    }
    EXPECT_EQ(Contenuto(), c);
}

TEST_F(ListaModuliTest, PartialLastRecordIsKeptAndCompleted) {
    const std::string intero = Record("p1", "Uno", "d1");
    const std::string parziale = Record("p2", "Due", "d2").substr(0, 1100);
    CartellaTemporanea::Scrivi(file, intero + parziale);
    auto lista = Lista();
    ASSERT_EQ(lista.size(), 2u);
    EXPECT_EQ(lista[0].nome, "Due");

    Aggiungi("p3", "Tre", "d3");
    EXPECT_EQ(Contenuto(), intero + Record("p2", "Due", "") + Record("p3", "Tre", "d3"));
}

TEST_F(ListaModuliTest, The32768thRecordOverflows) {
    // Records of NULs are not entries but count as records.
    CartellaTemporanea::Scrivi(file, "");
    std::filesystem::resize_file(std::filesystem::u8path(file), 32766u * 1407);
    EXPECT_TRUE(Aggiungi("p", "Ultimo", "d"));
    EXPECT_EQ(std::filesystem::file_size(std::filesystem::u8path(file)), 32767u * 1407);
    try {
        Aggiungi("p", "Troppi", "d");
        FAIL() << "the 32768th record must fail";
    } catch (const Errore& e) {
        EXPECT_EQ(e.Numero(), 6);
    }
    EXPECT_EQ(std::filesystem::file_size(std::filesystem::u8path(file)), 32767u * 1407);
    // The last record can still be updated.
    EXPECT_TRUE(Aggiungi("p", "Ultimo", "nuova"));
    ASSERT_EQ(Lista().size(), 1u);
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
// reader (the host) never meets it, and never keeps our clients out.
TEST_F(ListaModuliTest, AHeldListIsWaitedForThenRefusedButNeverByAPlainReader) {
    auto rifiutato = [&](UsoFileModuli uso) {
        try {
            ApriFileModuli(file, uso, 200);
        } catch (const Errore& e) {
            return e.Numero() == 70;
        }
        return false;
    };
    Aggiungi("p", "Uno", "d");
    EsitoFile esito = EsitoFile::Ok;
    const auto lettore = FileInLettura::Apri(file, esito);
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
}

TEST_F(ListaModuliTest, MissingFolderIsAPathError) {
    try {
        ApriFileModuli(dir.File("manca") + "/Moduli.dat");
        FAIL();
    } catch (const Errore& e) {
        EXPECT_EQ(e.Numero(), 76);
    }
}
