// The host's database read through DAO, with DaoProva.dll standing in for
// DAO's engine (registered in the test prefix for the length of a test):
// the program finds DAO's engines in their order and falls back to the
// built-in engine, gives the same results through either, keeps DAO's
// errors, and turns DAO's values and failures into its own.

#include <windows.h>

#include <objbase.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <tuple>

#include "chart/Avvio_win32.h"
#include "database/AccessoDati.h"
#include "database/DatabaseDao_win32.h"
#include "host/DatiDemo.h"
#include "jet/JetScrittore.h"
#include "tests/chart/AvvioDiProva_win32.h"
#include "tests/database/dao_prova/DaoProva.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/InterazioneRegistrata.h"
#include "tests/support/NumeroErrore.h"
#include "tests/support/Sistema_win32.h"
#include "tests/support/SuperficieRegistrata.h"
#include "util/Com_win32.h"
#include "util/Modulo.h"
#include "util/Testo.h"
#include "util/Win32.h"

using namespace quandora;
using namespace daoprova;

namespace {

// Loaded once: COM loads the same module when it creates the engine, so the
// counts are those of the program's calls.
const Server& DaoProva() {
    static const Server s(ToAnsi(CartellaModulo() + "DaoProva.dll").c_str());
    return s;
}

struct DaoRegistrato : Registrato {
    explicit DaoRegistrato(int modo) : Registrato(DaoProva(), modo) {}
};

// The stand-in's counts since the object was made.
class Conteggi {
  public:
    Conteggi() {
        for (int i = 0; i < kNumeroConteggi; ++i)
            inizio_[i] = DaoProva().Conta(Conteggio(i));
    }
    LONG operator[](Conteggio c) const { return DaoProva().Conta(c) - inizio_[c]; }

  private:
    LONG inizio_[kNumeroConteggi];
};

// The Errore a call raises; number 0 when it raises none.
Errore Cattura(const std::function<void()>& f) {
    try {
        f();
    } catch (const Errore& e) {
        return e;
    }
    return Errore(0, {});
}

// What one pass through the program gives: the start-up, the data version,
// every movement read by index and by name, two runs.
struct Esito {
    bool avviato = false, versione = false;
    std::vector<std::pair<std::string, int32_t>> conti;
    size_t boxes = 0;
    std::vector<std::vector<Valore>> operazioni;
    std::vector<std::vector<double>> serie;
};

const Data kInizio = DataSerial(2021, 11, 1);
const Data kFine = DataSerial(2022, 2, 28);
const int kGiorni = static_cast<int>(kFine - kInizio) + 1;

class DaoTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(DaoProva().Caricato()) << "DaoProva.dll"; }

    void SetUp() override {
        // A real DAO in the prefix would make every check below meaningless.
        ASSERT_EQ(DaoProva().Deregistra(), S_OK) << "another DAO is registered in this prefix";
        host = dir.File("Quandora");
        CreateDirectoryA(ToAnsi(host).c_str(), nullptr);
        CreateDirectoryA(ToAnsi(host + "\\BNK").c_str(), nullptr);
        CopyFileA(ToAnsi(CartellaModulo() + "versione_3_3_0_0.exe").c_str(),
                  ToAnsi(host + "\\quandora.exe").c_str(), FALSE);
        mdb = host + "\\BNK\\quandora.mdb";
        dati = host::DatiDemo(DataSerial(2022, 3, 1));
        // Names beyond ASCII in the ANSI code page, and one without a name.
        dati.Conti[0].Descrizione = "Conto corrente più usato";
        dati.Conti.push_back({7, "Ñandù € — «prova»"});
        dati.Conti.push_back({8, std::nullopt});
        jet::ScriviFileJet3(mdb, host::TabelleHost(dati), PasswordQuandora);
        test::RegistraQuandora(host + "\\quandora.exe");
        DeleteFileA(ToAnsi(CartellaModulo() + "cfg.ini").c_str());
    }
    void TearDown() override {
        test::DimenticaQuandora();
        DaoProva().Deregistra();
    }

    Esito Percorri() {
        Esito e;
        test::InterazioneRegistrata schermo;
        test::AvvioDiProva p;
        p.finestra.inizio = kInizio;
        p.finestra.fine = kFine;
        e.avviato = p.Avvia();
        e.conti = p.conti.voci;
        e.versione = VerificaVersioneDati(mdb);
        auto db = ApriDatabase(mdb);
        auto rs = db->OpenRecordset("Select IDCassa, Data, Euro, nostatistiche from Operazioni",
                                    dbOpenForwardOnly);
        const char* nomi[] = {"idcassa", "DATA", "Euro", "NoStatistiche"};
        for (; !rs->Eof(); rs->MoveNext()) {
            e.operazioni.emplace_back();
            for (int i = 0; i < rs->NumeroCampi(); ++i) {
                e.operazioni.back().push_back(rs->Campo(i));
                EXPECT_EQ(rs->Campo(nomi[i]), e.operazioni.back().back()) << nomi[i];
            }
        }
        rs->Close();
        db->Close();
        for (int32_t conto : {-1, 2}) {
            p.finestra.conto = conto;
            p.finestra.noStat = conto == 2;
            p.run.cmdElabora_Click();
            e.serie.emplace_back();
            for (const PuntoSaldo& s : p.grafico.Saldi)
                e.serie.back().push_back(s.Saldo);
        }
        e.boxes = schermo.boxes.size();
        return e;
    }

    // The accounts and the data version, as the start-up reads them.
    void LeggiConti() {
        int conti = 0;
        CaricaConti(mdb, [&](const std::string&, int32_t) { ++conti; });
        EXPECT_EQ(conti, static_cast<int>(dati.Conti.size()));
        EXPECT_TRUE(VerificaVersioneDati(mdb));
    }

    test::CartellaTemporanea dir;
    std::string host, mdb;
    host::DatiHost dati;
};

}  // namespace

TEST_F(DaoTest, StartUpAccountsMovementsAndRunsAreTheSameThroughDaoAndTheBuiltInEngine) {
    Esito conDao, senzaDao;
    {
        DaoRegistrato dao(kClasseDao35);
        ASSERT_EQ(dao.Esito(), S_OK);
        const ComInizializzato com;
        const Conteggi c;
        conDao = Percorri();
        // One engine for the pass; the start-up's two openings, the
        // version, the movements, two runs; one record set per query and
        // per day, every one closed, and every database.
        EXPECT_EQ(c[kMotori35], 1);
        EXPECT_EQ(c[kDatabase], 6);
        EXPECT_EQ(c[kRecordset], 4 + 2 * kGiorni);
        EXPECT_EQ(c[kChiusure], c[kDatabase] + c[kRecordset]);
        EXPECT_EQ(c[kErrori], 0);
    }
    EXPECT_EQ(DaoProva().Conta(kMotoriVivi), 0) << "released when COM ended";
    EXPECT_EQ(DaoProva().Conta(kOggettiVivi), 0);
    {
        const ComInizializzato com;
        const Conteggi c;
        senzaDao = Percorri();
        EXPECT_EQ(c[kDatabase], 0);
    }
    ASSERT_TRUE(conDao.avviato);
    EXPECT_EQ(conDao.boxes, 0u);
    EXPECT_TRUE(conDao.versione);
    EXPECT_NE(std::find(conDao.conti.begin(), conDao.conti.end(),
                        std::pair<std::string, int32_t>("Ñandù € — «prova»", 7)),
              conDao.conti.end());
    EXPECT_EQ(conDao.operazioni.size(), dati.Operazioni.size());
    ASSERT_EQ(conDao.serie.size(), 2u);
    EXPECT_EQ(conDao.serie[0].size(), static_cast<size_t>(kGiorni));
    EXPECT_NE(*std::min_element(conDao.serie[0].begin(), conDao.serie[0].end()),
              *std::max_element(conDao.serie[0].begin(), conDao.serie[0].end()));
    EXPECT_EQ(conDao.avviato, senzaDao.avviato);
    EXPECT_EQ(conDao.versione, senzaDao.versione);
    EXPECT_EQ(conDao.conti, senzaDao.conti);
    EXPECT_EQ(conDao.operazioni, senzaDao.operazioni);
    EXPECT_EQ(conDao.serie, senzaDao.serie);
}

TEST_F(DaoTest, EnginesAreFoundDao35ThenDao36ThenTheAccessEngine) {
    // modo, then how many engines of 3.5, 3.6 and the Access database engine.
    const std::tuple<int, LONG, LONG, LONG> casi[] = {
        {kClasseDao35 | kSoloProgId36 | kSoloProgId120, 1, 0, 0},
        {kSoloProgId36 | kSoloProgId120, 0, 1, 0},
        {kSoloProgId120, 0, 0, 1},
    };
    for (const auto& [modo, da35, da36, da120] : casi) {
        SCOPED_TRACE(modo);
        DaoRegistrato dao(modo);
        ASSERT_EQ(dao.Esito(), S_OK);
        const ComInizializzato com;
        const Conteggi c;
        LeggiConti();
        EXPECT_EQ(c[kMotori35], da35);
        EXPECT_EQ(c[kMotori36], da36);
        EXPECT_EQ(c[kMotori120], da120);
        EXPECT_EQ(c[kDatabase], 2);
    }

    // DAO 3.5 registered but its library gone: DAO 3.6.
    DaoRegistrato dao(kSoloProgId36);
    ASSERT_EQ(dao.Esito(), S_OK);
    const std::string manca = ToAnsi(dir.File("manca\\DaoProva.dll"));
    ASSERT_EQ(SHSetValueA(HKEY_CLASSES_ROOT,
                          "CLSID\\{00000010-0000-0010-8000-00AA006D2EA4}\\InprocServer32", nullptr,
                          REG_SZ, manca.c_str(), static_cast<DWORD>(manca.size() + 1)),
              ERROR_SUCCESS);
    const ComInizializzato com;
    const Conteggi c;
    EXPECT_TRUE(VerificaVersioneDati(mdb));
    EXPECT_EQ(c[kMotori36], 1);
    EXPECT_EQ(c[kDatabase], 1);
}

TEST_F(DaoTest, WithoutDaoTheBuiltInEngineReadsAndALaterRegistrationIsFound) {
    {
        const ComInizializzato com;
        const Conteggi c;
        LeggiConti();
        EXPECT_EQ(c[kMotori35] + c[kMotori36] + c[kMotori120], 0);

        // The failed creation was not remembered: DAO registered now is
        // used, and its engine then kept, even when the class goes again.
        {
            DaoRegistrato dao(kClasseDao35);
            ASSERT_EQ(dao.Esito(), S_OK);
            EXPECT_TRUE(VerificaVersioneDati(mdb));
        }
        EXPECT_TRUE(VerificaVersioneDati(mdb));
        {
            // A nested initialisation's end is not the end of COM.
            const ComInizializzato interno;
            EXPECT_TRUE(VerificaVersioneDati(mdb));
        }
        EXPECT_EQ(DaoProva().Conta(kMotoriVivi), 1);
        EXPECT_EQ(c[kMotori35], 1);
        EXPECT_EQ(c[kDatabase], 3);
    }
    EXPECT_EQ(DaoProva().Conta(kMotoriVivi), 0);

    // COM afresh, nothing registered: the built-in engine again.
    const ComInizializzato com;
    const Conteggi c;
    EXPECT_TRUE(VerificaVersioneDati(mdb));
    EXPECT_EQ(c[kDatabase], 0);
}

TEST_F(DaoTest, TheEnginesErrorsKeepTheirNumberAndDescription) {
    const std::string altro = host + "\\BNK\\altro.mdb";
    jet::ScriviFileJet3(altro, host::TabelleHost(dati), "diversa");
    const std::string manca = host + "\\BNK\\manca.mdb";
    // What the built-in engine says, for comparison.
    const Errore passwordJet =
        Cattura([&] { OpenDatabase(altro, false, true, ConnessioneQuandora()); });
    const Errore mancaJet =
        Cattura([&] { OpenDatabase(manca, false, true, ConnessioneQuandora()); });

    DaoRegistrato dao(kClasseDao35);
    ASSERT_EQ(dao.Esito(), S_OK);
    const ComInizializzato com;
    const Conteggi c;
    // Raised by the workspace (scode), the database (deferred fill-in), the
    // fields (wCode) and the record set.
    const Errore password = Cattura([&] { ApriDatabase(altro); });
    EXPECT_EQ(password.Numero(), 3031);
    EXPECT_EQ(password.Descrizione(), passwordJet.Descrizione());
    const Errore mancante = Cattura([&] { ApriDatabase(manca); });
    EXPECT_EQ(mancante.Numero(), 3024);
    EXPECT_EQ(mancante.Descrizione(), mancaJet.Descrizione());
    auto db = ApriDatabase(mdb);
    const Errore tabella = Cattura([&] { db->OpenRecordset("Select x from Nessuna"); });
    EXPECT_EQ(tabella.Numero(), 3078);
    EXPECT_NE(tabella.Descrizione().find("Nessuna"), std::string::npos) << tabella.Descrizione();
    auto rs = db->OpenRecordset("Select IdConto from Conti where IdConto = 7");
    const Errore campo = Cattura([&] { rs->Campo("Descrizione"); });
    EXPECT_EQ(campo.Numero(), 3265);
    EXPECT_FALSE(campo.Descrizione().empty());
    EXPECT_EQ(rs->Campo("idconto"), Valore::Intero(7));
    rs->MoveNext();
    EXPECT_EQ(Cattura([&] { rs->Campo(0); }).Numero(), 3021);
    EXPECT_EQ(Cattura([&] { rs->MoveNext(); }).Numero(), 3021);
    rs->Close();
    db->Close();
    EXPECT_EQ(c[kErrori], 6) << "raised by DAO";

    // A Null where a number is needed: the conversion's own error.
    dati.Versioni = {std::nullopt};
    jet::ScriviFileJet3(mdb, host::TabelleHost(dati), PasswordQuandora);
    EXPECT_EQ(Cattura([&] { VerificaVersioneDati(mdb); }).Numero(), 94);

    // At start-up any of them is the database message.
    jet::ScriviFileJet3(mdb, host::TabelleHost(dati), "diversa");
    test::InterazioneRegistrata schermo;
    test::AvvioDiProva p;
    EXPECT_FALSE(p.Avvia());
    ASSERT_EQ(schermo.boxes.size(), 1u);
    EXPECT_EQ(schermo.boxes[0].testo, "Errore database: impossibile accedere ai dati di quandora.");
    EXPECT_EQ(c[kErrori], 7);
}

TEST(DaoValori, VariantsBecomeTheProgramsValues) {
    auto da = [](VARTYPE tipo, auto imposta) {
        Variante v;
        V_VT(&v.get()) = tipo;
        imposta(v.get());
        return dao::ValoreDaVariante(v.get());
    };
    EXPECT_EQ(da(VT_EMPTY, [](VARIANT&) {}), Valore::Nullo());
    EXPECT_EQ(da(VT_BOOL, [](VARIANT& v) { V_BOOL(&v) = VARIANT_TRUE; }), Valore::Booleano(true));
    EXPECT_EQ(da(VT_UI1, [](VARIANT& v) { V_UI1(&v) = 250; }), Valore::Intero(250));
    EXPECT_EQ(da(VT_I2, [](VARIANT& v) { V_I2(&v) = -32768; }), Valore::Intero(-32768));
    // Currency exact to the ten-thousandth, to the largest amount.
    EXPECT_EQ(da(VT_CY, [](VARIANT& v) { V_CY(&v).int64 = INT64_MAX; }), Valore::Valuta(INT64_MAX));
    EXPECT_EQ(da(VT_R4, [](VARIANT& v) { V_R4(&v) = 0.1f; }), Valore::Doppio(double(0.1f)));
    EXPECT_EQ(da(VT_DECIMAL,
                 [](VARIANT& v) {
                     VarDecFromR8(-1234.5, &V_DECIMAL(&v));
                     V_VT(&v) = VT_DECIMAL;
                 }),
              Valore::Doppio(-1234.5));
    EXPECT_EQ(da(VT_BSTR, [](VARIANT& v) { V_BSTR(&v) = SysAllocString(L"Caff\u00E8 \u20AC"); }),
              Valore::Testo("Caffè €"));
    // References are followed.
    VARIANT interno;
    V_VT(&interno) = VT_CY;
    V_CY(&interno).int64 = 15000;
    EXPECT_EQ(da(VT_VARIANT | VT_BYREF, [&](VARIANT& v) { V_VARIANTREF(&v) = &interno; }),
              Valore::Valuta(15000));
    const Valore bytes = da(VT_ARRAY | VT_UI1, [](VARIANT& v) {
        V_ARRAY(&v) = SafeArrayCreateVector(VT_UI1, 0, 3);
        std::memcpy(V_ARRAY(&v)->pvData, "\0\xFFx", 3);
    });
    EXPECT_EQ(bytes, Valore::Binario(std::string("\0\xFFx", 3)));
    // Kinds that are no field value.
    EXPECT_EQ(
        Cattura([&] { da(VT_DISPATCH, [](VARIANT& v) { V_DISPATCH(&v) = nullptr; }); }).Numero(),
        13);
}

namespace {

int g_riempimenti = 0;

HRESULT STDAPICALLTYPE Riempi(EXCEPINFO* e) {
    ++g_riempimenti;
    e->scode = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 3078);
    e->bstrDescription = SysAllocString(L"Tabella 'Nessuna' non trovata \u00E8");
    return S_OK;
}

}  // namespace

TEST(DaoValori, FailedCallsBecomeErrorsWithTheEnginesNumberAndText) {
    auto eccezione = [](auto imposta) {
        EXCEPINFO e = {};
        imposta(e);
        return ErroreAutomazione(DISP_E_EXCEPTION, &e);
    };
    Errore e = eccezione([](EXCEPINFO& x) {
        x.wCode = 3265;
        x.bstrDescription = SysAllocString(L"Elemento non trovato.");
    });
    EXPECT_EQ(e.Numero(), 3265);
    EXPECT_EQ(e.Descrizione(), "Elemento non trovato.");
    // A deferred fill-in runs once, before anything is read.
    e = eccezione([](EXCEPINFO& x) { x.pfnDeferredFillIn = Riempi; });
    EXPECT_EQ(g_riempimenti, 1);
    EXPECT_EQ(e.Numero(), 3078);
    EXPECT_EQ(e.Descrizione(), "Tabella 'Nessuna' non trovata è");
    // No text from the engine: the runtime's.
    e = eccezione([](EXCEPINFO& x) { x.scode = static_cast<HRESULT>(0x800A005E); });
    EXPECT_EQ(e.Numero(), 94);
    EXPECT_EQ(e.Descrizione(), ErroreDiSistema(94).Descrizione());
    // Any other code: an automation error that tells it.
    e = eccezione([](EXCEPINFO& x) {
        x.scode = E_FAIL;
        x.bstrDescription = SysAllocString(L"Guasto");
    });
    EXPECT_EQ(e.Numero(), 440);
    EXPECT_EQ(e.Descrizione(), "Guasto (0x80004005)");
    // Failures of the call itself: the runtime's numbers, each its own.
    const HRESULT chiamate[] = {DISP_E_MEMBERNOTFOUND, DISP_E_BADPARAMCOUNT, DISP_E_TYPEMISMATCH,
                                DISP_E_PARAMNOTOPTIONAL, DISP_E_NONAMEDARGS};
    std::vector<int32_t> numeri;
    for (HRESULT hr : chiamate)
        numeri.push_back(ErroreAutomazione(hr, nullptr).Numero());
    EXPECT_EQ(numeri, (std::vector<int32_t>{438, 450, 13, 449, 446}));
    EXPECT_EQ(ErroreAutomazione(RPC_E_WRONG_THREAD, nullptr).Descrizione(),
              "Errore di automazione (0x8001010E)");
}
