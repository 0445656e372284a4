// The host's database read through DAO, with DaoProva.dll standing in for
// DAO's engine (registered here, in the test prefix, for the length of a
// test): the start-up, the account list, the data version and runs give the
// same results through DAO and through the built-in engine; DAO is really
// used when one of its classes is registered and the built-in engine when
// none is; the engine's errors keep their numbers and texts; and the
// program's calls follow DAO's conventions, which the stand-in checks.

#include <windows.h>

#include <objbase.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "database/AccessoDati.h"
#include "chart/Avvio_win32.h"
#include "database/DatabaseDao_win32.h"
#include "host/DatiDemo.h"
#include "jet/JetScrittore.h"
#include "tests/chart/AvvioDiProva_win32.h"
#include "tests/database/dao_prova/DaoProva.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/FixtureHost.h"
#include "tests/support/InterazioneRegistrata.h"
#include "tests/support/NumeroErrore.h"
#include "tests/support/Sistema_win32.h"
#include "tests/support/SuperficieRegistrata.h"
#include "util/Com_win32.h"
#include "util/Modulo.h"
#include "util/Testo.h"
#include "util/Win32.h"

using namespace quandora;
using quandora::test::CartellaTemporanea;
using ::testing::Contains;
using ::testing::Pair;

namespace {

// DaoProva.dll, loaded once by the test program: COM loads the same module
// when it creates the engine, so the counters are those of the calls the
// program made.
const daoprova::Server& Server() {
    static const daoprova::Server s(ToAnsi(CartellaModulo() + "DaoProva.dll").c_str());
    return s;
}

class DaoRegistrato : public daoprova::Registrato {
  public:
    explicit DaoRegistrato(int modo) : Registrato(Server(), modo) {}
};

// What one pass through the program gives.
struct Esito {
    bool avviato = false;
    std::vector<std::pair<std::string, int32_t>> conti;
    std::vector<test::BoxMostrato> boxes;
    bool versione = false;
    std::vector<std::vector<Valore>> operazioni;
    std::vector<std::vector<PuntoSaldo>> serie;
    std::vector<std::pair<double, double>> estremi;
};

// The runs' period.
const Data kInizio = DataSerial(2021, 11, 1);
const Data kFine = DataSerial(2022, 2, 28);

// The Errore a call raises; number 0 when it raises none.
Errore Cattura(const std::function<void()>& f) {
    try {
        f();
    } catch (const Errore& e) {
        return e;
    }
    return Errore(0, {});
}

// Every row and column of a query, read by index and checked by name.
std::vector<std::vector<Valore>> Righe(const std::string& mdb, const std::string& sql,
                                       const std::vector<std::string>& nomi) {
    std::vector<std::vector<Valore>> righe;
    auto db = ApriDatabase(mdb);
    auto rs = db->OpenRecordset(sql, dbOpenForwardOnly);
    while (!rs->Eof()) {
        std::vector<Valore> riga;
        for (int i = 0; i < rs->NumeroCampi(); ++i)
            riga.push_back(rs->Campo(i));
        for (size_t i = 0; i < nomi.size(); ++i)
            EXPECT_EQ(rs->Campo(nomi[i]), riga.at(i)) << nomi[i];
        righe.push_back(std::move(riga));
        rs->MoveNext();
    }
    rs->Close();
    db->Close();
    return righe;
}

class DaoTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(Server().Caricato()) << "DaoProva.dll"; }

    void SetUp() override {
        // A stale registration of an earlier run goes; a real DAO in the
        // prefix would make every check below meaningless.
        ASSERT_EQ(Server().Deregistra(), S_OK) << "another DAO is registered in this prefix";
        host = dir.File("Quandora");
        CreateDirectoryA(ToAnsi(host).c_str(), nullptr);
        CreateDirectoryA(ToAnsi(host + "\\BNK").c_str(), nullptr);
        CopyFileA(ToAnsi(CartellaModulo() + "versione_3_3_0_0.exe").c_str(),
                  ToAnsi(host + "\\quandora.exe").c_str(), FALSE);
        mdb = host + "\\BNK\\quandora.mdb";
        dati = host::DatiDemo(DataSerial(2022, 3, 1));
        // Names with accents and signs of the ANSI code page, and one
        // without a name.
        dati.Conti[0].Descrizione = "Conto corrente più usato";
        dati.Conti.push_back({7, "Ñandù € — «prova»"});
        dati.Conti.push_back({8, std::nullopt});
        jet::ScriviFileJet3(mdb, host::TabelleHost(dati), PasswordQuandora);
        test::RegistraQuandora(host + "\\quandora.exe");
        DeleteFileA(ToAnsi(CartellaModulo() + "cfg.ini").c_str());
    }
    void TearDown() override {
        test::DimenticaQuandora();
        Server().Deregistra();
    }

    // The start-up, the data version, the movements and two runs.
    Esito Percorri() {
        Esito e;
        test::InterazioneRegistrata schermo;
        test::AvvioDiProva p;
        p.finestra.inizio = kInizio;
        p.finestra.fine = kFine;
        e.avviato = p.Avvia();
        e.conti = p.conti.voci;
        e.versione = VerificaVersioneDati(mdb);
        e.operazioni = Righe(mdb, "Select IDCassa, Data, Euro, nostatistiche from Operazioni",
                             {"idcassa", "DATA", "Euro", "NoStatistiche"});
        for (int32_t conto : {-1, 2}) {
            p.finestra.conto = conto;
            p.finestra.noStat = conto == 2;
            p.run.cmdElabora_Click();
            e.serie.push_back(p.grafico.Saldi);
            e.estremi.emplace_back(p.grafico.Testata.SaldoMinimo, p.grafico.Testata.SaldoMassimo);
        }
        e.boxes = schermo.boxes;
        return e;
    }

    static int Giorni() { return static_cast<int>(kFine - kInizio) + 1; }

    CartellaTemporanea dir;
    std::string host, mdb;
    host::DatiHost dati;
};

daoprova::Conteggi Differenza(const daoprova::Conteggi& dopo, const daoprova::Conteggi& prima) {
    daoprova::Conteggi d;
    const LONG* a = &dopo.MotoriCreati;
    const LONG* b = &prima.MotoriCreati;
    LONG* r = &d.MotoriCreati;
    for (size_t i = 0; i < sizeof d / sizeof(LONG); ++i)
        r[i] = a[i] - b[i];
    return d;
}

}  // namespace

TEST_F(DaoTest, StartUpAccountsVersionAndRunsAreTheSameThroughDaoAndTheBuiltInEngine) {
    Esito conDao, senzaDao;
    daoprova::Conteggi usati;
    {
        DaoRegistrato dao(daoprova::kClasseDao35);
        ASSERT_EQ(dao.Esito(), S_OK);
        const ComInizializzato com;
        const auto prima = Server().Conteggi();
        conDao = Percorri();
        usati = Differenza(Server().Conteggi(), prima);
    }
    // Through the stand-in: one engine for the whole pass; the version and
    // the accounts at start-up, the version again, the movements and two
    // runs, one database each; one record set per query and per day; every
    // record set and database closed.
    EXPECT_EQ(usati.MotoriCreati, 1);
    EXPECT_EQ(usati.MotoriDa35, 1);
    EXPECT_EQ(usati.DatabaseAperti, 6);
    EXPECT_EQ(usati.RecordsetAperti, 4 + 2 * Giorni());
    EXPECT_EQ(usati.Chiusure, 6 + 4 + 2 * Giorni());
    EXPECT_EQ(usati.ErroriSollevati, 0);
    EXPECT_EQ(Server().Conteggi().MotoriVivi, 0) << "released when COM ended";
    EXPECT_EQ(Server().Conteggi().OggettiVivi, 0);

    {
        const ComInizializzato com;
        const auto prima = Server().Conteggi();
        senzaDao = Percorri();
        const auto d = Differenza(Server().Conteggi(), prima);
        EXPECT_EQ(d.MotoriCreati, 0);
        EXPECT_EQ(d.DatabaseAperti, 0);
        EXPECT_EQ(d.RecordsetAperti, 0);
    }

    ASSERT_TRUE(conDao.avviato);
    EXPECT_TRUE(conDao.boxes.empty());
    EXPECT_TRUE(conDao.versione);
    EXPECT_EQ(conDao.conti.size(), dati.Conti.size() + 1);
    EXPECT_EQ(conDao.conti.front(), (std::pair<std::string, int32_t>{"<tutti i conti>", -1}));
    EXPECT_THAT(conDao.conti, Contains(Pair("Ñandù € — «prova»", 7)));
    EXPECT_THAT(conDao.conti, Contains(Pair("Conto corrente più usato", 1)));
    EXPECT_THAT(conDao.conti, Contains(Pair("", 8)));
    EXPECT_EQ(conDao.conti, senzaDao.conti);
    EXPECT_EQ(conDao.avviato, senzaDao.avviato);
    EXPECT_EQ(conDao.versione, senzaDao.versione);

    // Every movement with its types: currency exact, dates, Booleans.
    ASSERT_EQ(conDao.operazioni.size(), dati.Operazioni.size());
    EXPECT_EQ(conDao.operazioni, senzaDao.operazioni);
    for (size_t i = 0; i < dati.Operazioni.size(); i += 97) {
        const auto& o = dati.Operazioni[i];
        const auto& riga = conDao.operazioni[i];
        EXPECT_EQ(riga[0], Valore::Intero(o.IDCassa));
        EXPECT_EQ(riga[1], Valore::DataOra(o.Data));
        EXPECT_EQ(riga[2], Valore::Valuta(o.EuroDiecimillesimi));
        EXPECT_EQ(riga[3], Valore::Booleano(o.NoStatistiche));
    }

    // The runs: day by day the same series, and the one the rows give.
    ASSERT_EQ(conDao.serie.size(), 2u);
    ASSERT_EQ(conDao.serie[0].size(), static_cast<size_t>(Giorni()));
    for (size_t s = 0; s < 2; ++s) {
        ASSERT_EQ(conDao.serie[s].size(), senzaDao.serie[s].size());
        for (size_t i = 0; i < conDao.serie[s].size(); ++i) {
            EXPECT_EQ(conDao.serie[s][i].Giorno, senzaDao.serie[s][i].Giorno);
            EXPECT_EQ(conDao.serie[s][i].Data, senzaDao.serie[s][i].Data);
            EXPECT_EQ(conDao.serie[s][i].Saldo, senzaDao.serie[s][i].Saldo) << s << " " << i;
        }
        EXPECT_EQ(conDao.estremi[s], senzaDao.estremi[s]);
    }
    for (int i = 0; i < Giorni(); i += 13) {
        const auto atteso = test::SaldoAtteso(dati, 2, kInizio + i, true);
        EXPECT_NEAR(conDao.serie[1][i].Saldo, atteso.value_or(0) / 10000.0, 1e-6);
    }
    EXPECT_NE(conDao.estremi[0].first, conDao.estremi[0].second) << "a series that moves";
}

TEST_F(DaoTest, EachProgrammaticIdentifierAloneLeadsToItsEngineDao36First) {
    // modo, then how many engines of 3.6 and of the Access database engine.
    const std::tuple<int, LONG, LONG> casi[] = {
        {daoprova::kSoloProgId36, 1, 0},
        {daoprova::kSoloProgId120, 0, 1},
        {daoprova::kSoloProgId36 | daoprova::kSoloProgId120, 1, 0},
    };
    for (const auto& [modo, da36, da120] : casi) {
        SCOPED_TRACE(modo);
        DaoRegistrato dao(modo);
        ASSERT_EQ(dao.Esito(), S_OK);
        const ComInizializzato com;
        const auto prima = Server().Conteggi();
        std::vector<std::string> nomi;
        CaricaConti(mdb, [&](const std::string& t, int32_t) { nomi.push_back(t); });
        EXPECT_TRUE(VerificaVersioneDati(mdb));
        const auto d = Differenza(Server().Conteggi(), prima);
        EXPECT_EQ(d.MotoriDa35, 0);
        EXPECT_EQ(d.MotoriDa36, da36);
        EXPECT_EQ(d.MotoriDa120, da120);
        EXPECT_EQ(d.DatabaseAperti, 2);
        EXPECT_EQ(nomi.size(), dati.Conti.size());
    }
}

TEST_F(DaoTest, ADao35ThatCannotBeLoadedLeadsToDao36) {
    DaoRegistrato dao(daoprova::kSoloProgId36);
    ASSERT_EQ(dao.Esito(), S_OK);
    // DAO 3.5 registered, its library gone (removed with the stand-in's
    // keys at the end: the file has its name).
    const std::string server = dir.File("manca\\DaoProva.dll");
    {
        HKEY k = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT,
                                  "CLSID\\{00000010-0000-0010-8000-00AA006D2EA4}\\InprocServer32",
                                  0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        const ChiaveRegistro chiave(k);
        const std::string ansi = ToAnsi(server);
        RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(ansi.c_str()),
                       static_cast<DWORD>(ansi.size() + 1));
    }

    const ComInizializzato com;
    const auto prima = Server().Conteggi();
    EXPECT_TRUE(VerificaVersioneDati(mdb));
    const auto d = Differenza(Server().Conteggi(), prima);
    EXPECT_EQ(d.MotoriDa36, 1);
    EXPECT_EQ(d.DatabaseAperti, 1);
}

TEST_F(DaoTest, WithoutDaoTheBuiltInEngineReadsAndALaterRegistrationIsFound) {
    {
        const ComInizializzato com;
        const auto prima = Server().Conteggi();
        int conti = 0;
        CaricaConti(mdb, [&](const std::string&, int32_t) { ++conti; });
        EXPECT_EQ(conti, static_cast<int>(dati.Conti.size()));
        EXPECT_TRUE(VerificaVersioneDati(mdb));
        EXPECT_EQ(Differenza(Server().Conteggi(), prima).MotoriCreati, 0);

        // The failed creation was not remembered: DAO registered now is
        // used by the next opening, and its engine then kept, even when the
        // class goes away again.
        {
            DaoRegistrato dao(daoprova::kClasseDao35);
            ASSERT_EQ(dao.Esito(), S_OK);
            EXPECT_TRUE(VerificaVersioneDati(mdb));
        }
        EXPECT_TRUE(VerificaVersioneDati(mdb));
        {
            // A nested initialisation's end is not the end of COM.
            const ComInizializzato interno;
            EXPECT_TRUE(VerificaVersioneDati(mdb));
        }
        EXPECT_EQ(Server().Conteggi().MotoriVivi, 1);
        const auto d = Differenza(Server().Conteggi(), prima);
        EXPECT_EQ(d.MotoriCreati, 1);
        EXPECT_EQ(d.DatabaseAperti, 3);
    }
    EXPECT_EQ(Server().Conteggi().MotoriVivi, 0);

    // COM afresh, nothing registered: the built-in engine again.
    const ComInizializzato com;
    const auto prima = Server().Conteggi();
    EXPECT_TRUE(VerificaVersioneDati(mdb));
    EXPECT_EQ(Differenza(Server().Conteggi(), prima).DatabaseAperti, 0);
}

TEST_F(DaoTest, TheEnginesErrorsKeepTheirNumberAndDescription) {
    // What the built-in engine says, for comparison.
    const std::string altro = host + "\\BNK\\altro.mdb";
    jet::ScriviFileJet3(altro, host::TabelleHost(dati), "diversa");
    const Errore passwordJet =
        Cattura([&] { OpenDatabase(altro, false, true, ConnessioneQuandora()); });
    const std::string manca = host + "\\BNK\\manca.mdb";
    const Errore mancaJet =
        Cattura([&] { OpenDatabase(manca, false, true, ConnessioneQuandora()); });
    ASSERT_EQ(passwordJet.Numero(), 3031);
    ASSERT_EQ(mancaJet.Numero(), 3024);

    DaoRegistrato dao(daoprova::kClasseDao35);
    ASSERT_EQ(dao.Esito(), S_OK);
    const ComInizializzato com;
    const auto prima = Server().Conteggi();

    const Errore password = Cattura([&] { ApriDatabase(altro); });
    EXPECT_EQ(password.Numero(), 3031);
    EXPECT_EQ(password.Descrizione(), passwordJet.Descrizione());
    const Errore mancante = Cattura([&] { ApriDatabase(manca); });
    EXPECT_EQ(mancante.Numero(), 3024);
    EXPECT_EQ(mancante.Descrizione(), mancaJet.Descrizione());
    EXPECT_NE(mancante.Descrizione().find("manca.mdb"), std::string::npos);

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
    EXPECT_TRUE(rs->Eof());
    EXPECT_EQ(Cattura([&] { rs->Campo(0); }).Numero(), 3021);
    EXPECT_EQ(Cattura([&] { rs->MoveNext(); }).Numero(), 3021);
    rs->Close();
    db->Close();
    EXPECT_EQ(Differenza(Server().Conteggi(), prima).ErroriSollevati, 6) << "raised by DAO";

    // A Null where a number is needed: the conversion's own error.
    dati.Versioni = {std::nullopt};
    jet::ScriviFileJet3(mdb, host::TabelleHost(dati), PasswordQuandora);
    const Errore nullo = Cattura([&] { VerificaVersioneDati(mdb); });
    EXPECT_EQ(nullo.Numero(), 94);
    EXPECT_EQ(nullo.Descrizione(), ErroreDiSistema(94).Descrizione());

    // At start-up any of them is the database message.
    jet::ScriviFileJet3(mdb, host::TabelleHost(dati), "diversa");
    test::InterazioneRegistrata schermo;
    test::AvvioDiProva p;
    const auto aperti = Server().Conteggi().ErroriSollevati;
    EXPECT_FALSE(p.Avvia());
    ASSERT_EQ(schermo.boxes.size(), 1u);
    EXPECT_EQ(schermo.boxes[0].testo, "Errore database: impossibile accedere ai dati di quandora.");
    EXPECT_EQ(Server().Conteggi().ErroriSollevati, aperti + 1);
}

TEST_F(DaoTest, TheStandInHoldsCallsToDaosConventions) {
    DaoRegistrato registrato(daoprova::kClasseDao35);
    ASSERT_EQ(registrato.Esito(), S_OK);
    const ComInizializzato com;
    ComPtr<IDispatch> motore = dao::MotoreDao();
    ASSERT_TRUE(motore);
    OggettoDispatch dbEngine(motore);
    auto numero = [](const std::function<void()>& f) { return Cattura(f).Numero(); };
    using V = Variante;
    auto argomenti = [](auto... a) {
        std::vector<V> v;
        (v.push_back(std::move(a)), ...);
        return v;
    };

    EXPECT_EQ(numero([&] { dbEngine.Leggi(L"Nessuno"); }), 438);
    EXPECT_EQ(numero([&] { dbEngine.Chiama(L"Workspaces", DISPATCH_METHOD); }), 438);
    EXPECT_EQ(numero([&] {
                  dbEngine.Chiama(L"Workspaces", DISPATCH_PROPERTYGET, argomenti(V::Long(0)));
              }),
              450);
    OggettoDispatch workspaces = dbEngine.Figlio(L"workspaces");
    EXPECT_EQ(numero([&] { workspaces.Elemento(V::Long(1)); }), 3265);
    EXPECT_EQ(numero([&] { workspaces.Elemento(V::Testo("0")); }), 13);
    OggettoDispatch ws = workspaces.Elemento(V::Long(0));

    auto apri = [&](std::vector<V> a) {
        return numero([&] { ws.Chiama(L"OpenDatabase", DISPATCH_METHOD, std::move(a)); });
    };
    EXPECT_EQ(apri(argomenti(V::Long(5))), 13);
    EXPECT_EQ(apri(argomenti(V::Testo(mdb), V::Booleano(false), V::Long(-1),
                             V::Testo(ConnessioneQuandora()))),
              13);
    // Read-only left out: a writable opening, which the engine refuses.
    EXPECT_EQ(apri(argomenti(V::Testo(mdb), V::Booleano(false))), 3051);
    EXPECT_EQ(apri(argomenti(V::Testo(mdb), V::Booleano(false), V::Booleano(true))), 3031);
    EXPECT_EQ(apri(argomenti(V::Testo(mdb), V::Booleano(false), V::Booleano(true),
                             V::Testo(ConnessioneQuandora()), V::Long(0))),
              450);
    EXPECT_EQ(apri({}), 450);

    OggettoDispatch db = OggettoDispatch::DaRisultato(
        ws.Chiama(L"OpenDatabase", DISPATCH_METHOD,
                  argomenti(V::Testo(mdb), V::Booleano(false), V::Booleano(true),
                            V::Testo(ConnessioneQuandora()))));
    const std::string sql = "Select versione from Versione";
    // Without the type DAO makes a dynaset, which the engine cannot.
    EXPECT_EQ(
        numero([&] { db.Chiama(L"OpenRecordset", DISPATCH_METHOD, argomenti(V::Testo(sql))); }),
        3001);
    EXPECT_EQ(numero([&] {
                  db.Chiama(L"OpenRecordset", DISPATCH_METHOD,
                            argomenti(V::Testo(sql), V::Booleano(true)));
              }),
              13);

    // Named arguments are refused; the position of a wrong argument is
    // told as IDispatch counts it, from the last.
    DISPID id = 0;
    LPOLESTR nome[] = {const_cast<LPOLESTR>(L"OpenRecordset")};
    ASSERT_EQ(db.get()->GetIDsOfNames(IID_NULL, nome, 1, 0, &id), S_OK);
    V sqlArg = V::Testo(sql);
    V tipoArg = V::Booleano(true);
    VARIANTARG rovesciati[] = {tipoArg.get(), sqlArg.get()};
    DISPID nominato = 1;
    DISPPARAMS p = {rovesciati, &nominato, 2, 1};
    V r;
    UINT errato = 99;
    EXPECT_EQ(db.get()->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &p, &r.get(), nullptr, &errato),
              DISP_E_NONAMEDARGS);
    p.cNamedArgs = 0;
    p.rgdispidNamedArgs = nullptr;
    EXPECT_EQ(db.get()->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &p, &r.get(), nullptr, &errato),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(errato, 0u);
    LPOLESTR conNomi[] = {const_cast<LPOLESTR>(L"OpenRecordset"), const_cast<LPOLESTR>(L"Type")};
    DISPID ids[2];
    EXPECT_EQ(db.get()->GetIDsOfNames(IID_NULL, conNomi, 2, 0, ids), DISP_E_UNKNOWNNAME);

    OggettoDispatch rs = OggettoDispatch::DaRisultato(
        db.Chiama(L"OpenRecordset", DISPATCH_METHOD, argomenti(V::Testo(sql), V::Long(8))));
    EXPECT_EQ(numero([&] { rs.Chiama(L"EOF", DISPATCH_METHOD); }), 438);
    EXPECT_EQ(numero([&] { rs.Chiama(L"MoveNext", DISPATCH_PROPERTYGET); }), 438);
    OggettoDispatch campi = rs.Figlio(L"Fields");
    EXPECT_EQ(numero([&] { campi.Elemento(V::Booleano(true)); }), 13);
    EXPECT_EQ(numero([&] { campi.Elemento(V::Long(1)); }), 3265);
    V valore = campi.Elemento(V::Long(0)).Leggi(L"Value");
    EXPECT_EQ(V_VT(&valore.get()), VT_I4);
    rs.Chiama(L"Close", DISPATCH_METHOD);
    db.Chiama(L"Close", DISPATCH_METHOD);
}

TEST(DaoValori, VariantsBecomeTheProgramsValues) {
    auto da = [](VARTYPE tipo, auto imposta) {
        Variante v;
        V_VT(&v.get()) = tipo;
        imposta(v.get());
        return dao::ValoreDaVariante(v.get());
    };
    EXPECT_EQ(da(VT_NULL, [](VARIANT&) {}), Valore::Nullo());
    EXPECT_EQ(da(VT_EMPTY, [](VARIANT&) {}), Valore::Nullo());
    EXPECT_EQ(da(VT_BOOL, [](VARIANT& v) { V_BOOL(&v) = VARIANT_TRUE; }), Valore::Booleano(true));
    EXPECT_EQ(da(VT_BOOL, [](VARIANT& v) { V_BOOL(&v) = VARIANT_FALSE; }), Valore::Booleano(false));
    EXPECT_EQ(da(VT_UI1, [](VARIANT& v) { V_UI1(&v) = 250; }), Valore::Intero(250));
    EXPECT_EQ(da(VT_I2, [](VARIANT& v) { V_I2(&v) = -32768; }), Valore::Intero(-32768));
    EXPECT_EQ(da(VT_I4, [](VARIANT& v) { V_I4(&v) = INT32_MIN; }), Valore::Intero(INT32_MIN));
    // Currency exact to the ten-thousandth, to the largest amount.
    EXPECT_EQ(da(VT_CY, [](VARIANT& v) { V_CY(&v).int64 = INT64_MAX; }), Valore::Valuta(INT64_MAX));
    EXPECT_EQ(da(VT_CY, [](VARIANT& v) { V_CY(&v).int64 = -12345; }).ComeTesto(), "-1.2345");
    EXPECT_EQ(da(VT_R4, [](VARIANT& v) { V_R4(&v) = 0.1f; }), Valore::Doppio(double(0.1f)));
    EXPECT_EQ(da(VT_R8, [](VARIANT& v) { V_R8(&v) = -1e300; }), Valore::Doppio(-1e300));
    EXPECT_EQ(da(VT_DATE, [](VARIANT& v) { V_DATE(&v) = 44562.75; }), Valore::DataOra(44562.75));
    EXPECT_EQ(da(VT_DECIMAL,
                 [](VARIANT& v) {
                     VarDecFromR8(-1234.5, &V_DECIMAL(&v));
                     V_VT(&v) = VT_DECIMAL;
                 }),
              Valore::Doppio(-1234.5));
    EXPECT_EQ(da(VT_BSTR, [](VARIANT& v) { V_BSTR(&v) = SysAllocString(L"Caff\u00E8 \u20AC"); }),
              Valore::Testo("Caffè €"));
    EXPECT_EQ(da(VT_BSTR, [](VARIANT& v) { V_BSTR(&v) = nullptr; }), Valore::Testo(""));

    // References are followed, to a value or to a variant.
    LONG n = 42;
    EXPECT_EQ(da(VT_I4 | VT_BYREF, [&](VARIANT& v) { V_I4REF(&v) = &n; }), Valore::Intero(42));
    VARIANT interno;
    V_VT(&interno) = VT_CY;
    V_CY(&interno).int64 = 15000;
    EXPECT_EQ(da(VT_VARIANT | VT_BYREF, [&](VARIANT& v) { V_VARIANTREF(&v) = &interno; }),
              Valore::Valuta(15000));
    V_VT(&interno) = VT_NULL;
    EXPECT_EQ(da(VT_VARIANT | VT_BYREF, [&](VARIANT& v) { V_VARIANTREF(&v) = &interno; }),
              Valore::Nullo());

    // Bytes, and kinds that are no field value.
    const Valore bytes = da(VT_ARRAY | VT_UI1, [](VARIANT& v) {
        SAFEARRAY* a = SafeArrayCreateVector(VT_UI1, 0, 3);
        unsigned char* p = nullptr;
        SafeArrayAccessData(a, reinterpret_cast<void**>(&p));
        p[0] = 0;
        p[1] = 0xFF;
        p[2] = 'x';
        SafeArrayUnaccessData(a);
        V_ARRAY(&v) = a;
    });
    EXPECT_EQ(bytes, Valore::Binario(std::string("\0\xFFx", 3)));
    EXPECT_EQ(
        test::NumeroErrore([&] { da(VT_DISPATCH, [](VARIANT& v) { V_DISPATCH(&v) = nullptr; }); }),
        13);
    EXPECT_EQ(test::NumeroErrore(
                  [&] { da(VT_ERROR, [](VARIANT& v) { V_ERROR(&v) = DISP_E_PARAMNOTFOUND; }); }),
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
    // Raised with a number: scode of FACILITY_CONTROL, or wCode.
    Errore e = eccezione([](EXCEPINFO& x) {
        x.scode = static_cast<HRESULT>(0x800A0BD7);  // 3031
        x.bstrDescription = SysAllocString(L"Password non valida.");
        x.bstrSource = SysAllocString(L"DAO.Workspace");
    });
    EXPECT_EQ(e.Numero(), 3031);
    EXPECT_EQ(e.Descrizione(), "Password non valida.");
    e = eccezione([](EXCEPINFO& x) {
        x.wCode = 3265;
        x.bstrDescription = SysAllocString(L"Elemento non trovato.");
    });
    EXPECT_EQ(e.Numero(), 3265);
    EXPECT_EQ(e.Descrizione(), "Elemento non trovato.");
    // A deferred fill-in runs once, before anything is read.
    g_riempimenti = 0;
    e = eccezione([](EXCEPINFO& x) { x.pfnDeferredFillIn = Riempi; });
    EXPECT_EQ(g_riempimenti, 1);
    EXPECT_EQ(e.Numero(), 3078);
    EXPECT_EQ(e.Descrizione(), "Tabella 'Nessuna' non trovata è");
    // No text from the engine: the runtime's.
    e = eccezione([](EXCEPINFO& x) { x.scode = E_OUTOFMEMORY; });
    EXPECT_EQ(e.Numero(), 7);
    EXPECT_EQ(e.Descrizione(), ErroreDiSistema(7).Descrizione());
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

    // Failures of the call itself.
    EXPECT_EQ(ErroreAutomazione(DISP_E_UNKNOWNNAME, nullptr).Numero(), 438);
    EXPECT_EQ(ErroreAutomazione(DISP_E_MEMBERNOTFOUND, nullptr).Descrizione(),
              ErroreDiSistema(438).Descrizione());
    EXPECT_EQ(ErroreAutomazione(DISP_E_BADPARAMCOUNT, nullptr).Numero(), 450);
    EXPECT_EQ(ErroreAutomazione(DISP_E_TYPEMISMATCH, nullptr).Numero(), 13);
    EXPECT_EQ(ErroreAutomazione(DISP_E_PARAMNOTOPTIONAL, nullptr).Numero(), 449);
    EXPECT_EQ(ErroreAutomazione(DISP_E_NONAMEDARGS, nullptr).Numero(), 446);
    const Errore altro = ErroreAutomazione(RPC_E_WRONG_THREAD, nullptr);
    EXPECT_EQ(altro.Numero(), 440);
    EXPECT_EQ(altro.Descrizione(), "Errore di automazione (0x8001010E)");
}
