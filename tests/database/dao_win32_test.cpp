// The host's database read through DAO, with DaoProva.dll standing in for
// DAO's engine (registered in the test prefix for the length of a test):
// DAO's engines found in their order and the built-in engine after them,
// the same results and the same errors through either, DAO's values and
// failures turned into the program's own.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <tuple>

#include "database/AccessoDati.h"
#include "database/DatabaseDao_win32.h"
#include "jet/JetScrittore.h"
#include "tests/chart/AvvioDiProva_win32.h"
#include "tests/database/dao_prova/DaoProva.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/FixtureHost.h"
#include "tests/support/InterazioneRegistrata.h"
#include "tests/support/NumeroErrore.h"
#include "util/Com_win32.h"
#include "util/Modulo.h"

using namespace quandora;
using namespace daoprova;
using test::NumeroErrore;

namespace {

// Loaded once: COM loads the same module when it creates the engine, so the
// counts are those of the program's calls.
const Server& DaoProva() {
    static const Server s(ToAnsi(CartellaModulo() + "DaoProva.dll").c_str());
    return s;
}

// The stand-in's counts since the object was made.
class Conteggi {
  public:
    Conteggi() {
        for (int i = 0; i < kConteggi; ++i)
            inizio_[i] = DaoProva().Conta(Conteggio(i));
    }
    LONG operator[](Conteggio c) const { return DaoProva().Conta(c) - inizio_[c]; }

  private:
    LONG inizio_[kConteggi];
};

// What the program's reads give: the accounts, and two runs' series.
using Esito =
    std::pair<std::vector<std::pair<std::string, int32_t>>, std::vector<std::vector<double>>>;

const Data kInizio = DataSerial(2004, 11, 1);
const int kGiorni = 120;
const char kNome[] = "Ñandù € — «prova»";  // beyond ASCII in the ANSI code page

class DaoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DaoProva().Deregistra();  // what a run cut short may have left
        dati.Conti.push_back({7, kNome});
        jet::ScriviFileJet3(mdb, host::TabelleHost(dati), PasswordQuandora);
    }

    Esito Percorri() {
        Esito e;
        CaricaConti(mdb, [&](const std::string& t, int32_t id) { e.first.emplace_back(t, id); });
        const test::InterazioneRegistrata schermo;  // a failed run's box
        test::AvvioDiProva p;
        p.run.PercorsoDatabase = mdb;
        p.finestra.inizio = kInizio;
        p.finestra.fine = kInizio + kGiorni - 1;
        for (int32_t conto : {-1, 2}) {
            p.finestra.conto = conto;
            p.finestra.noStat = conto == 2;
            p.run.cmdElabora_Click();
            e.second.emplace_back();
            for (const PuntoSaldo& s : p.grafico.Saldi)
                e.second.back().push_back(s.Saldo);
        }
        return e;
    }

    test::CartellaTemporanea dir;
    const std::string mdb = dir.File("quandora.mdb");
    host::DatiHost dati = test::DatiDiProva(600);
};

}  // namespace

TEST_F(DaoTest, AccountsAndRunsAreTheSameThroughDaoAndTheBuiltInEngine) {
    Esito conDao;
    {
        Registrato dao(DaoProva(), kClasseDao35);
        ASSERT_EQ(dao.Esito(), S_OK);
        const ComInizializzato com;
        const Conteggi c;
        conDao = Percorri();
        // One engine for all: the accounts, and each run one database and a
        // record set a day; everything opened closed.
        EXPECT_EQ(c[kMotori35], 1);
        EXPECT_EQ(c[kAperti], 2 + 2 * (1 + kGiorni));
        EXPECT_EQ(c[kChiusi], c[kAperti]);
        EXPECT_EQ(c[kErrori], 0);
    }
    const ComInizializzato com;
    const Conteggi c;
    EXPECT_EQ(Percorri(), conDao);
    EXPECT_EQ(c[kAperti], 0);

    const auto& [conti, serie] = conDao;
    EXPECT_EQ(conti.size(), dati.Conti.size());
    EXPECT_NE(std::find(conti.begin(), conti.end(), std::make_pair(std::string(kNome), 7)),
              conti.end());
    ASSERT_EQ(serie[0].size(), static_cast<size_t>(kGiorni));
    EXPECT_NE(serie[0], serie[1]);
}

TEST_F(DaoTest, EnginesAreFoundDao35ThenDao36ThenTheAccessEngine) {
    // What is registered, whether DAO 3.5's library is gone, and the engines
    // then made of DAO 3.5, DAO 3.6 and the Access database engine.
    const std::tuple<int, bool, std::array<LONG, 3>> casi[] = {
        {kClasseDao35 | kSoloProgId36 | kSoloProgId120, false, {1, 0, 0}},
        {kClasseDao35 | kSoloProgId36, true, {0, 1, 0}},
        {kSoloProgId36 | kSoloProgId120, false, {0, 1, 0}},
        {kSoloProgId120, false, {0, 0, 1}},
    };
    for (const auto& [modo, manca35, motori] : casi) {
        SCOPED_TRACE(modo);
        Registrato dao(DaoProva(), modo);
        ASSERT_EQ(dao.Esito(), S_OK);
        const std::string dll = std::string("CLSID\\") + kClassi[0].clsid + "\\InprocServer32";
        if (manca35) {
            ASSERT_TRUE(test::ScriviGrezzo(0x80000000, dll, "", REG_SZ,
                                           test::TestoSz(dir.File("x\\DaoProva.dll"))));
        }
        const ComInizializzato com;
        const Conteggi c;
        EXPECT_TRUE(VerificaVersioneDati(mdb));
        EXPECT_EQ((std::array<LONG, 3>{c[kMotori35], c[kMotori36], c[kMotori120]}), motori);
        EXPECT_EQ(c[kAperti], 2);
    }
}

TEST_F(DaoTest, WithoutDaoTheBuiltInEngineReadsAndALaterRegistrationIsFound) {
    {
        const ComInizializzato com;
        const Conteggi c;
        EXPECT_TRUE(VerificaVersioneDati(mdb));
        EXPECT_EQ(c[kMotori35] + c[kMotori36] + c[kMotori120], 0);

        // The failed creation was not remembered: DAO registered now is
        // used, and its engine then kept, even when the class goes again.
        {
            Registrato dao(DaoProva(), kClasseDao35);
            ASSERT_EQ(dao.Esito(), S_OK);
            EXPECT_TRUE(VerificaVersioneDati(mdb));
            auto rs = ApriDatabase(mdb)->OpenRecordset("Select IdConto, Descrizione from Conti");
            EXPECT_EQ(rs->NumeroCampi(), 2);
        }
        EXPECT_TRUE(VerificaVersioneDati(mdb));
        {
            // A nested initialisation's end is not the end of COM.
            const ComInizializzato interno;
            EXPECT_TRUE(VerificaVersioneDati(mdb));
        }
        EXPECT_EQ(DaoProva().Conta(kOggettiVivi), 1) << "the engine alone";
        EXPECT_EQ(c[kMotori35], 1);
        EXPECT_EQ(c[kAperti], 8);
    }
    EXPECT_EQ(DaoProva().Conta(kOggettiVivi), 0);
}

TEST_F(DaoTest, ErrorsHaveTheSameNumberAndTextThroughDaoAndTheBuiltInEngine) {
    const std::string altro = dir.File("altro.mdb");
    jet::ScriviFileJet3(altro, host::TabelleHost(dati), "diversa");
    const auto oltre = [&] {  // a record set past its only row
        auto rs = ApriDatabase(mdb)->OpenRecordset("Select IdConto from Conti where IdConto = 7");
        rs->MoveNext();
        return rs;
    };
    // Raised by the workspace (scode), the database (deferred fill-in), the
    // fields (wCode) and the record set (scode).
    const std::pair<std::function<void()>, int> casi[] = {
        {[&] { CaricaConti(altro, nullptr); }, 3031},
        {[&] { ApriDatabase(dir.File("manca.mdb")); }, 3024},
        {[&] { ApriDatabase(mdb)->OpenRecordset("Select x from Nessuna"); }, 3078},
        {[&] { oltre()->Campo("Descrizione"); }, 3265},
        {[&] { oltre()->Campo(0); }, 3021},
        {[&] { oltre()->MoveNext(); }, 3021},
    };
    std::vector<std::string> testiJet;
    for (const auto& [chiamata, numero] : casi)
        EXPECT_EQ(NumeroErrore(chiamata, &testiJet.emplace_back()), numero);

    Registrato dao(DaoProva(), kClasseDao35);
    ASSERT_EQ(dao.Esito(), S_OK);
    const ComInizializzato com;
    const Conteggi c;
    for (size_t i = 0; i < std::size(casi); ++i) {
        std::string testo;
        EXPECT_EQ(NumeroErrore(casi[i].first, &testo), casi[i].second) << testiJet[i];
        EXPECT_EQ(testo, testiJet[i]);
    }
    EXPECT_EQ(c[kErrori], static_cast<LONG>(std::size(casi))) << "raised by DAO";
}

// Another program holding the file without sharing.
TEST_F(DaoTest, AFileHeldWithoutSharingIsRefusedUntilLetGo) {
    {
        const Handle tenuto(CreateFileA(ToAnsi(mdb).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(Valido(tenuto));
        std::string testo;
        const int numero = NumeroErrore([&] { ApriDatabase(mdb); }, &testo);
        EXPECT_TRUE(numero == 3051 || numero == 3045) << numero;
        EXPECT_NE(testo.find("quandora.mdb"), std::string::npos) << testo;
    }
    EXPECT_TRUE(VerificaVersioneDati(mdb));
}

TEST(DaoValori, VariantsBecomeTheProgramsValues) {
    auto da = [](VARTYPE tipo, auto imposta) {
        Variante v;
        V_VT(&v.get()) = tipo;
        imposta(v.get());
        return dao::ValoreDaVariante(v.get());
    };
    EXPECT_EQ(da(VT_EMPTY, [](VARIANT&) {}), Valore::Nullo());
    EXPECT_EQ(da(VT_NULL, [](VARIANT&) {}), Valore::Nullo());
    EXPECT_EQ(da(VT_BOOL, [](VARIANT& v) { V_BOOL(&v) = VARIANT_TRUE; }), Valore::Booleano(true));
    EXPECT_EQ(da(VT_UI1, [](VARIANT& v) { V_UI1(&v) = 250; }), Valore::Intero(250));
    EXPECT_EQ(da(VT_I2, [](VARIANT& v) { V_I2(&v) = -32768; }), Valore::Intero(-32768));
    // Currency exact to the ten-thousandth, to the largest amount.
    EXPECT_EQ(da(VT_CY, [](VARIANT& v) { V_CY(&v).int64 = INT64_MAX; }), Valore::Valuta(INT64_MAX));
    EXPECT_EQ(da(VT_R4, [](VARIANT& v) { V_R4(&v) = 0.1f; }), Valore::Doppio(double(0.1f)));
    EXPECT_EQ(da(VT_DATE, [](VARIANT& v) { V_DATE(&v) = 38353.75; }), Valore::DataOra(38353.75));
    EXPECT_EQ(da(VT_DECIMAL,
                 [](VARIANT& v) {
                     VarDecFromR8(-1234.5, &V_DECIMAL(&v));
                     V_VT(&v) = VT_DECIMAL;
                 }),
              Valore::Doppio(-1234.5));
    // References are followed.
    Variante interno = Variante::Long(15000);
    EXPECT_EQ(da(VT_VARIANT | VT_BYREF, [&](VARIANT& v) { V_VARIANTREF(&v) = &interno.get(); }),
              Valore::Intero(15000));
    const Valore bytes = da(VT_ARRAY | VT_UI1, [](VARIANT& v) {
        V_ARRAY(&v) = SafeArrayCreateVector(VT_UI1, 0, 3);
        std::memcpy(V_ARRAY(&v)->pvData, "\0\xFFx", 3);
    });
    EXPECT_EQ(bytes, Valore::Binario(std::string("\0\xFFx", 3)));
    // Kinds that are no field value.
    EXPECT_EQ(NumeroErrore([&] { da(VT_DISPATCH, [](VARIANT& v) { V_DISPATCH(&v) = nullptr; }); }),
              13);
}

TEST(DaoValori, FailedCallsBecomeTheRuntimesErrors) {
    const auto errore = [](HRESULT scode, const wchar_t* testo) {
        EXCEPINFO e = {};
        e.scode = scode;
        e.bstrDescription = testo ? SysAllocString(testo) : nullptr;
        const Errore x = ErroreAutomazione(DISP_E_EXCEPTION, &e);
        return std::make_pair(x.Numero(), x.Descrizione());
    };
    // No text from the engine: the runtime's; any other code: an automation
    // error that tells it.
    EXPECT_EQ(errore(0x800A005E, nullptr), std::make_pair(94, ErroreDiSistema(94).Descrizione()));
    EXPECT_EQ(errore(E_FAIL, L"Guasto"), std::make_pair(440, std::string("Guasto (0x80004005)")));
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
