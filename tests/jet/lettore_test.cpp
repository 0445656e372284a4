// The reader. On the files Microsoft Access made, where mdbtools cannot
// judge (mdbtools_native_test.cpp compares every table with it): text order
// against Access's own indexes, encoded databases, passwords as Jet stores
// them, exact decimals, dates before 1899, damaged copies. On the writer's
// files, Jet 3 and Jet 4: values of every type back as written, the
// password, the errors of missing, foreign and truncated files; the file is
// never changed.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "jet/Collazione.h"
#include "jet/ErroriJet.h"
#include "jet/Jet.h"
#include "jet/JetFormato.h"
#include "jet/JetScrittore.h"
#include "jet/JetSql.h"
#include "tests/jet/Campioni.h"
#include "tests/jet/FixtureMovimenti.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/NumeroErrore.h"

using namespace quandora;
using namespace quandora::jet;
using namespace quandora::jet::formato;
using test::Campione;
using test::CartellaTemporanea;
using test::NumeroErrore;

namespace {

// The header page's scrambled area, decoded, changed by cambia, encoded.
void CambiaIntestazione(std::string& file, const std::function<void(uint8_t*)>& cambia) {
    auto* p = reinterpret_cast<uint8_t*>(file.data());
    const Costanti& c = p[OffsetVersione] == 1 ? Jet4 : Jet3;
    Rc4(p + OffsetCifrato, c.AreaCifrata);
    cambia(p);
    Rc4(p + OffsetCifrato, c.AreaCifrata);
}

// Every user table of the file, read whole.
std::vector<Tabella> Tabelle(const std::string& f, const std::string& password = "") {
    auto db = DatabaseJet::Apri(f, password);
    std::vector<Tabella> t;
    for (const auto& nome : db->TabelleUtente())
        t.push_back(db->LeggiTabella(nome));
    return t;
}

// Texts whose place the collation does not yet match: with hyphens or
// apostrophes (Jet weighs them by where they stand in the word) or with
// Windows-1252's own signs beyond Latin-1 (€ „ ‹ — Ž ...), see README.
bool FuoriDalConfronto(const std::string& s) {
    if (s.find_first_of("-'") != std::string::npos || s.find("\xC2\xAD") != std::string::npos)
        return true;
    for (unsigned char c : s)
        if (c >= 0xC5) return true;  // lead byte of a code point from U+0140 on
    return false;
}

TEST(CampioniJet, TextIndexesHoldTheOrderOfOrderBy) {
    // Access's General order, for an account list.
    EXPECT_LT(ConfrontaTesti("Elfo", "Èrba"), 0);
    EXPECT_LT(ConfrontaTesti("Città", "Cittadella"), 0);
    EXPECT_LT(ConfrontaTesti("citta", "Città"), 0);
    EXPECT_EQ(ConfrontaTesti("CITTÀ", "città"), 0);

    // Every index Access keeps on one text column lists its rows in the
    // order ORDER BY gives (both without the texts above).
    size_t indici = 0, confronti = 0;
    for (const auto& f : test::FileCampione()) {
        auto db = DatabaseJet::Apri(f, "");
        for (const auto& nome : db->TabelleUtente()) {
            const Tabella& t = db->LeggiTabella(nome);
            for (size_t c = 0; c < t.Colonne.size(); ++c) {
                bool discendente = false;
                const auto ordine = db->OrdineIndice(nome, t.Colonne[c].Nome, discendente);
                if (t.Colonne[c].Tipo != Text || ordine.empty()) continue;
                ASSERT_LE(ordine.size(), t.Righe) << f << " " << nome;  // IgnoreNulls: fewer
                ++indici;
                std::vector<std::string> indice, sql;
                auto prendi = [](const Valore& v, std::vector<std::string>& testi) {
                    if (!v.IsNull() && !FuoriDalConfronto(v.S)) testi.push_back(v.S);
                };
                for (size_t r : ordine)
                    prendi(t.Valori[c][r], indice);
                const std::string colonna = "[" + t.Colonne[c].Nome + "]";
                const Risultato q =
                    Esegui(*db, "SELECT " + colonna + " FROM [" + nome + "] ORDER BY " + colonna +
                                    (discendente ? " DESC" : ""));
                for (const auto& riga : q.Righe)
                    prendi(riga[0], sql);
                ASSERT_EQ(sql.size(), indice.size());
                for (size_t i = 0; i < sql.size(); ++i, ++confronti)
                    EXPECT_EQ(ConfrontaTesti(sql[i], indice[i]), 0)
                        << f << " " << nome << colonna << " " << i << ": \"" << sql[i]
                        << "\" where the index has \"" << indice[i] << "\"";
            }
        }
    }
    EXPECT_GE(indici, 10u);
    EXPECT_GE(confronti, 500u);
}

TEST(CampioniJet, EncodedFilesAndPasswordsAsJetStoresThem) {
    // Access's own encoded file (Jet 3) has a database key and reads.
    const auto enc = Tabelle(Campione("jet3/db97-enc.mdb"));
    ASSERT_EQ(enc.size(), 1u);
    EXPECT_EQ(enc[0].Righe, 2u);

    // A Jet 4 file without a password holds only the mask: the whole-day
    // number of its creation date, repeated over the 40 bytes.
    for (const auto& f : test::FileCampione()) {
        std::string file = CartellaTemporanea::Leggi(f);
        if (file[OffsetVersione] != 1) continue;
        CambiaIntestazione(file, [&](uint8_t* p) {
            uint8_t maschera[4];
            MascheraPasswordJet4(p, maschera);
            EXPECT_NE(U32(maschera), 0u) << f;
            for (int i = 0; i < 40; ++i)
                ASSERT_EQ(p[OffsetPassword + i], maschera[i % 4]) << f << " byte " << i;
        });
    }

    // Plain files of both versions encoded as Access does (every page after
    // the first under RC4, keyed by the database key xor the page number),
    // with a password where Access puts it (Jet 3 in the code page, Jet 4 in
    // UCS-2 under the mask): they open only with the same text, case too,
    // and read like the plain ones.
    CartellaTemporanea dir;
    for (const char* nome : {"jet3/testV1997.mdb", "jet4/testV2000.mdb"}) {
        std::string file = CartellaTemporanea::Leggi(Campione(nome));
        const uint32_t chiave = 0x5EC12A7Bu;
        CambiaIntestazione(file, [&](uint8_t* p) {
            Scrivi32(p + OffsetChiave, chiave);
            const std::u16string pw = u"S\u00E8greto";  // Sègreto
            const bool jet4 = p[OffsetVersione] == 1;
            uint8_t maschera[4] = {};
            if (jet4) MascheraPasswordJet4(p, maschera);
            for (size_t i = 0; i < pw.size() * (jet4 ? 2 : 1); ++i)
                p[OffsetPassword + i] =
                    uint8_t(jet4 ? pw[i / 2] >> (8 * (i % 2)) : pw[i]) ^ maschera[i % 4];
        });
        const size_t pagina = file[OffsetVersione] == 1 ? 4096 : 2048;
        for (size_t n = 1; n * pagina < file.size(); ++n)
            Rc4(reinterpret_cast<uint8_t*>(&file[n * pagina]), pagina, chiave ^ uint32_t(n));
        const std::string f = dir.File("codificato.mdb");
        CartellaTemporanea::Scrivi(f, file);
        for (const char* sbagliata : {"", "s\xC3\xA8greto", "Segreto", "S\xC3\xA8gret"})
            EXPECT_EQ(NumeroErrore([&] { DatabaseJet::Apri(f, sbagliata); }), 3031)
                << nome << " " << sbagliata;
        const auto chiare = Tabelle(Campione(nome)), codificate = Tabelle(f, "S\xC3\xA8greto");
        ASSERT_EQ(chiare.size(), codificate.size()) << nome;
        size_t righe = 0;
        for (size_t i = 0; i < chiare.size(); ++i) {
            righe += chiare[i].Righe;
            EXPECT_EQ(chiare[i].Valori, codificate[i].Valori) << nome << " " << chiare[i].Nome;
        }
        EXPECT_GT(righe, 0u) << nome;
    }
}

TEST(CampioniJet, DecimalsAndOldDatesExactly) {
    // A date before 30 December 1899, which mdbtools cannot show: row19 of
    // Table6 holds -1.1, 29 December 1899 at 02:24.
    {
        auto db = DatabaseJet::Apri(Campione("jet3/testIndexCodesV1997.mdb"), "");
        const Risultato r = Esegui(*db, "SELECT data FROM Table6 WHERE name = 'row19'");
        ASSERT_EQ(r.Righe.size(), 1u);
        EXPECT_EQ(r.Righe[0][0], Valore::DataOra(-1.1));
    }

    // Numeric: the sample's col2 (1 at scale 0) made a negative 23-digit
    // number at scale 5, beyond what a double or 64 bits hold.
    std::string file = CartellaTemporanea::Leggi(Campione("jet4/fixedNumericTestV2000.mdb"));
    const std::string uno("\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00",
                          17);
    const size_t riga = file.find(uno);
    ASSERT_NE(riga, std::string::npos);
    // 12345678901234567890123 = 0x29D_42B64E76_714244CB, wherever the
    // file holds a 1 (col2, col7 and stale copies).
    const uint32_t parole[4] = {0, 0x29D, 0x42B64E76, 0x714244CB};
    for (size_t o = riga; o != std::string::npos; o = file.find(uno, o + 1)) {
        file[o] = char(0x80);
        for (int w = 0; w < 4; ++w)
            Scrivi32(reinterpret_cast<uint8_t*>(&file[o + 1 + 4 * w]), parole[w]);
    }
    {
        auto db = DatabaseJet::Apri(Campione("jet4/fixedNumericTestV2000.mdb"), "");
        const Tabella& t = db->LeggiTabella("test");
        EXPECT_EQ(t.Valori[1][0], Valore::Decimale("1", 1));
        EXPECT_EQ(t.Valori[5][0], Valore::Decimale("-1", -1));
        // The column's scale: byte 12 of its entry (the second, after 0x3F).
        size_t def = 0;
        for (size_t p = 4096; p < file.size(); p += 4096)
            if (file[p] == 2 && file[p + 0x3F + 25] == 0x10) def = p;
        ASSERT_NE(def, 0u);
        file[def + 0x3F + 25 + 12] = 5;
    }
    CartellaTemporanea dir;
    const std::string f = dir.File("decimali.mdb");
    CartellaTemporanea::Scrivi(f, file);
    auto db = DatabaseJet::Apri(f, "");
    const Valore& v = db->LeggiTabella("test").Valori[1][0];
    ASSERT_EQ(v.Tipo, TipoValore::Decimale);
    EXPECT_EQ(v.S, "-123456789012345678.90123");
    EXPECT_DOUBLE_EQ(v.D, -123456789012345678.90123);
    const Risultato r = Esegui(*db, "SELECT col2, col3 FROM test WHERE col2 < 0");
    ASSERT_EQ(r.Righe.size(), 1u);
    EXPECT_EQ(r.Righe[0][0].ComeTesto(), "-123456789012345678.90123");
    EXPECT_EQ(r.Righe[0][1].ComeTesto(), "0");
}

TEST(CampioniJet, DamagedCopiesGiveAnErrorNeverACrash) {
    // Truncated at a few lengths and with bytes flipped, every sample opens
    // and reads or gives one of the engine's errors.
    CartellaTemporanea dir;
    const std::string f = dir.File("danneggiato.mdb");
    uint32_t seme = 12345;
    auto caso = [&] { return seme = seme * 1103515245u + 12345u, seme >> 8; };
    size_t errori = 0, letti = 0;
    for (const auto& campione : test::FileCampione()) {
        const std::string buono = CartellaTemporanea::Leggi(campione);
        std::vector<std::string> copie;
        for (size_t n : {size_t(0x80), size_t(3 * 2048 + 17), buono.size() / 2, buono.size() - 1})
            copie.push_back(buono.substr(0, n));
        for (int k = 0; k < 12; ++k) {
            std::string c = buono;
            // Bytes of the first pages (catalog, definitions) more often.
            const size_t fino = k % 2 ? c.size() : std::min<size_t>(c.size(), 64 * 1024);
            for (int b = 0; b < 6; ++b)
                c[caso() % fino] ^= char(1 + caso() % 255);
            copie.push_back(std::move(c));
        }
        for (const auto& copia : copie) {
            CartellaTemporanea::Scrivi(f, copia);
            try {
                auto db = DatabaseJet::Apri(f, "");
                for (const auto& t : db->TabelleUtente())
                    Esegui(*db, "SELECT * FROM [" + t + "] ORDER BY 1");
                ++letti;
            } catch (const Errore& e) {
                ++errori;
                EXPECT_TRUE(e.Numero() == 3049 || e.Numero() == 3343 || e.Numero() == 3031 ||
                            e.Numero() == 3464)
                    << campione << ": " << e.Numero() << " " << e.Descrizione();
            }
        }
    }
    EXPECT_GT(errori, 0u);
    EXPECT_GT(letti, 0u);
}

TEST(LettoreJet, ValuesOfEveryTypeComeBackAsWritten) {
    CartellaTemporanea dir;
    for (int versione : {3, 4}) {
        const std::string f = dir.File("tipi.mdb");
        const TabellaNuova t = test::TabellaTipi(versione);
        CartellaTemporanea::Scrivi(f, ScriviJet({t}, "", versione));
        auto db = DatabaseJet::Apri(f, "qualsiasi");  // no password: any opens it
        EXPECT_EQ(db->VersioneJet(), versione);
        EXPECT_EQ(db->CodePage(), 1252);
        const Tabella& l = db->LeggiTabella("TIPI \xC3\x88");
        ASSERT_EQ(l.Righe, t.Righe.size());
        ASSERT_EQ(l.Colonne.size(), t.Colonne.size());
        for (size_t c = 0; c < t.Colonne.size(); ++c) {
            EXPECT_EQ(l.Colonne[c].Nome, t.Colonne[c].Nome);
            EXPECT_EQ(l.Colonne[c].Tipo, t.Colonne[c].Tipo);
            for (size_t r = 0; r < t.Righe.size(); ++r)
                EXPECT_EQ(l.Valori[c][r], t.Righe[r][c]) << versione << " " << c << " " << r;
        }
    }
}

TEST(LettoreJet, PasswordOpensOnlyItsDatabaseAndReadingChangesNothing) {
    CartellaTemporanea dir;
    std::vector<Risultato> saldi;
    for (int versione : {3, 4}) {
        const std::string f = dir.File("jet" + std::to_string(versione) + ".mdb");
        CartellaTemporanea::Scrivi(
            f, ScriviJet(test::TabelleDiProva(500), test::PasswordProva, versione));
        const std::string prima = CartellaTemporanea::Leggi(f);
        EXPECT_EQ(prima.find(test::PasswordProva), std::string::npos);  // not as plain text
        for (const char* sbagliata : {"", "CASS4PROVA", "cass4Prov", "cass4Prova0"})
            EXPECT_EQ(NumeroErrore([&] { DatabaseJet::Apri(f, sbagliata); }), 3031)
                << versione << " " << sbagliata;
        // Read-only, opened, read whole and queried: the file and its time stay.
        const auto p = std::filesystem::u8path(f);
        const auto tempo = std::filesystem::last_write_time(p);
        std::filesystem::permissions(p, std::filesystem::perms::owner_read);
        EXPECT_EQ(Tabelle(f, test::PasswordProva).size(), 4u);
        for (const auto* q : {&test::SaldoTuttiIConti, &test::SaldoContoSenzaStatistiche})
            saldi.push_back(Esegui(*DatabaseJet::Apri(f, test::PasswordProva), *q));
        Esegui(*DatabaseJet::Apri(f, test::PasswordProva),
               "SELECT * FROM Operazioni ORDER BY Data DESC");
        std::filesystem::permissions(p, std::filesystem::perms::owner_all);
        EXPECT_EQ(std::filesystem::last_write_time(p), tempo);
        EXPECT_EQ(CartellaTemporanea::Leggi(f), prima);
    }
    // The balance queries give on Jet 4 what they give on Jet 3.
    ASSERT_EQ(saldi.size(), 4u);
    EXPECT_EQ(saldi[0].Righe[0][0].Tipo, TipoValore::Valuta);
    EXPECT_EQ(saldi[0].Righe, saldi[2].Righe);
    EXPECT_EQ(saldi[1].Righe, saldi[3].Righe);
}

TEST(LettoreJet, MissingForeignAndTruncatedFilesGiveTheirErrors) {
    CartellaTemporanea dir;
    EXPECT_EQ(NumeroErrore([&] { DatabaseJet::Apri(dir.File("manca.mdb"), ""); }), 3024);
    EXPECT_EQ(NumeroErrore([&] { DatabaseJet::Apri(dir.File("cartella/manca.mdb"), ""); }), 3024);
    const std::string testo = dir.File("testo.mdb");
    CartellaTemporanea::Scrivi(testo, std::string(5000, 'x'));
    EXPECT_EQ(NumeroErrore([&] { DatabaseJet::Apri(testo, ""); }), 3343);
    const std::string vuoto = dir.File("vuoto.mdb");
    CartellaTemporanea::Scrivi(vuoto, "");
    EXPECT_EQ(NumeroErrore([&] { DatabaseJet::Apri(vuoto, ""); }), 3343);

    const std::string intero = ScriviJet3(test::TabelleDiProva(3000), test::PasswordProva);
    const std::string corto = dir.File("corto.mdb");
    CartellaTemporanea::Scrivi(corto, intero.substr(0, 1000));
    EXPECT_EQ(NumeroErrore([&] { Tabelle(corto, test::PasswordProva); }), 3343);
    // Cut after the catalog: the tables' pages are missing.
    for (size_t pagine : {3u, 5u, 20u, 40u}) {
        CartellaTemporanea::Scrivi(corto, intero.substr(0, pagine * 2048 + 100));
        EXPECT_EQ(NumeroErrore([&] { Tabelle(corto, test::PasswordProva); }), 3049) << pagine;
    }
}

}  // namespace
