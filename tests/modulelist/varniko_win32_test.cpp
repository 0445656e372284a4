// Varniko.dll as its clients use it: registered by regsvr32, created by class
// identifier and called through the function table, late bound through
// IDispatch, and driven by JScript and VBScript under cscript.

#include <windows.h>

#include <oleauto.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <utility>

#include "modulelist/Varniko.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/Processo_win32.h"
#include "tests/support/Sistema_win32.h"
#include "util/Com_win32.h"
#include "util/Errore.h"
#include "util/Modulo.h"
#include "util/Testo.h"
#include "util/Win32.h"
#include "util/uxUtilita.h"

using namespace quandora;
using quandora::test::CartellaTemporanea;

namespace {

using test::Esegui;

// Runs a script (its name tells cscript the language) from dir under
// cscript and returns its output.
std::string Cscript(const CartellaTemporanea& dir, const std::string& nome,
                    const std::string& testo) {
    const std::string file = dir.File(nome);
    CartellaTemporanea::Scrivi(file, testo);
    std::string uscita;
    Esegui("cscript //nologo \"" + file + "\"", &uscita);
    return uscita;
}

// The first lines of a VBScript client: the object, on the list of cartella.
std::string OggettoVbs(const std::string& cartella) {
    return "Set o = CreateObject(\"Varniko.clsModuli\")\r\no.CartellaDatiQuandora = \"" + cartella +
           "\"\r\n";
}

// Another process holding a file open for reading with the given share mode,
// as the host holds the list while it reads it, until the object goes.
class Detentore {
  public:
    Detentore(const std::string& file, DWORD condivisione) {
        static int contatore = 0;
        const std::string evento = "VarnikoDetentore" + std::to_string(GetCurrentProcessId()) +
                                   "_" + std::to_string(++contatore);
        aperto_.reset(CreateEventA(nullptr, TRUE, FALSE, (evento + "_aperto").c_str()));
        chiudi_.reset(CreateEventA(nullptr, TRUE, FALSE, (evento + "_chiudi").c_str()));
        std::string riga = ToAnsi("\"" + CartellaModulo() + "cliente_moduli.exe\" /tieni \"" +
                                  file + "\" " + std::to_string(condivisione) + " " + evento);
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        if (CreateProcessA(nullptr, riga.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                           &pi))
            processo_ = Processo(pi);
    }
    ~Detentore() {
        SetEvent(chiudi_.get());
        if (processo_) WaitForSingleObject(processo_.get(), 30000);
    }
    // Waits until the process has the file open; false when it ended first.
    bool Aperto() {
        if (!processo_) return false;
        HANDLE attese[2] = {aperto_.get(), processo_.get()};
        return WaitForMultipleObjects(2, attese, FALSE, 30000) == WAIT_OBJECT_0;
    }
    bool AncoraAperto() { return WaitForSingleObject(processo_.get(), 0) == WAIT_TIMEOUT; }

  private:
    Handle aperto_, chiudi_;
    Processo processo_;
};

std::string Dll() {
    return CartellaModulo() + "Varniko.dll";
}

bool ChiaveEsiste(const std::string& chiave) {
    return test::EsisteChiave(uxUtilita::kHkeyClassesRoot, chiave);
}

// A value under HKEY_CLASSES_ROOT ("": the key's default).
std::string Voce(const std::string& chiave, const std::string& nome = "") {
    const auto v = test::LeggiGrezzo(uxUtilita::kHkeyClassesRoot, chiave, nome);
    return v ? FromAnsi(v->dati.c_str()) : "<nessuno>";
}

class VarnikoTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        com_.emplace();
        ASSERT_EQ(Esegui("regsvr32 /s \"" + Dll() + "\""), 0u);
    }
    static void TearDownTestSuite() {
        Esegui("regsvr32 /u /s \"" + Dll() + "\"");
        test::DimenticaQuandora();
        com_.reset();
    }
    static inline std::optional<ComInizializzato> com_;
    void SetUp() override {
        quandora_ = dir_.File("Quandora");
        CreateDirectoryA(ToAnsi(quandora_).c_str(), nullptr);
        test::RegistraQuandora(quandora_ + "\\quandora.exe");
    }

    ComPtr<_clsModuli> Crea() {
        ComPtr<_clsModuli> o;
        EXPECT_EQ(CoCreateInstance(CLSID_clsModuli, nullptr, CLSCTX_INPROC_SERVER, IID__clsModuli,
                                   reinterpret_cast<void**>(o.Indirizzo())),
                  S_OK);
        return o;
    }

    // AggiungiModulo through the function table.
    static HRESULT Aggiungi(const ComPtr<_clsModuli>& o, const std::string& pathname,
                            const std::string& nome, const std::string& descrizione) {
        Bstr p(pathname), n(nome), d(descrizione);
        BSTR pp = p.get(), nn = n.get(), dd = d.get();
        VARIANT_BOOL ok = VARIANT_FALSE;
        const HRESULT hr = o->AggiungiModulo(&pp, &nn, &dd, &ok);
        return SUCCEEDED(hr) && ok != VARIANT_TRUE ? E_FAIL : hr;
    }

    CartellaTemporanea dir_;
    std::string quandora_;
};

// The description the failed call left for the client.
std::string DescrizioneErrore() {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.Indirizzo()) != S_OK || !info) return "<nessuna>";
    BSTR b = nullptr;
    info->GetDescription(&b);
    const Bstr owner(b);
    return Utf8DaBstr(b);
}

std::vector<std::string> Elementi(SAFEARRAY* sa) {
    std::vector<std::string> out;
    LONG basso = 0, alto = -1;
    SafeArrayGetLBound(sa, 1, &basso);
    SafeArrayGetUBound(sa, 1, &alto);
    for (LONG i = basso; i <= alto; ++i) {
        BSTR b = nullptr;
        SafeArrayGetElement(sa, &i, &b);
        const Bstr owner(b);
        out.push_back(Utf8DaBstr(b));
    }
    return out;
}

constexpr char kClasse[] = "CLSID\\{DC36F8E6-67A4-4451-A4D4-C1BBA2485D78}";
constexpr char kLibreria[] = "TypeLib\\{8D373D2A-8C5E-4DA8-95A3-8116A0607636}";
constexpr char kInterfaccia[] = "Interface\\{9C12D367-D64C-42AF-80C2-214A40AADB19}";
#ifdef _WIN64
constexpr char kPiattaforma[] = "win64";
#else
constexpr char kPiattaforma[] = "win32";
#endif

const char kDescr4051[] =
    "Impossibile trovare il percorso della cartella di Quandora. Quandora potrebbe non essere "
    "stato installato correttamente.";
const char kDescr4052[] =
    "Impossibile trovare il percorso della cartella di Quandora. Quandora potrebbe essere stato "
    "rimosso manualmente.";

}  // namespace

TEST(VarnikoRegistrazione, RegistersEveryKeyAndRemovesThemAll) {
    ASSERT_EQ(Esegui("regsvr32 /s \"" + Dll() + "\""), 0u);
    const std::string classe = kClasse;
    EXPECT_EQ(Voce(classe + "\\InprocServer32"), Dll());
    EXPECT_EQ(Voce(classe + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(Voce(classe + "\\ProgID"), "Varniko.clsModuli");
    EXPECT_EQ(Voce("Varniko.clsModuli\\CLSID"), "{DC36F8E6-67A4-4451-A4D4-C1BBA2485D78}");
    // The type library under this build's platform, where its clients look.
    EXPECT_EQ(Voce(std::string(kLibreria) + "\\1.0\\0\\" + kPiattaforma), Dll());
    EXPECT_TRUE(ChiaveEsiste(kInterfaccia));

    ASSERT_EQ(Esegui("regsvr32 /u /s \"" + Dll() + "\""), 0u);
    for (const char* chiave : {kClasse, "Varniko.clsModuli", kLibreria, kInterfaccia})
        EXPECT_FALSE(ChiaveEsiste(chiave)) << chiave;
}

#ifdef _WIN64
// A 32-bit Varniko.dll registered beside this one on a 64-bit Windows: its
// keys as its regsvr32 leaves them in the registry's 32-bit view, written
// here by hand (this test runs where 32-bit programs may not).
TEST(VarnikoRegistrazione, UnregisteringBesideThe32BitBuildLeavesWhatItUses) {
    const uint32_t cr = uxUtilita::kHkeyClassesRoot;
    const REGSAM v32 = KEY_WOW64_32KEY;
    const std::string dll32 = "C:\\x86\\Varniko.dll";
    const std::string libreria = kLibreria;
    const std::pair<std::string, std::string> chiavi32[] = {
        {std::string(kClasse) + "\\InprocServer32", dll32},
        {"Varniko.clsModuli\\CLSID", "{DC36F8E6-67A4-4451-A4D4-C1BBA2485D78}"},
        {libreria + "\\1.0", "Gestione moduli aggiuntivi Quandora"},
        {libreria + "\\1.0\\0\\win32", dll32},
        {kInterfaccia, "_clsModuli"},
    };
    // What a run that ended badly left goes first, and goes again at the
    // end whatever happens: the prefix is shared by every test program.
    auto pulisci = [&] {
        for (const char* chiave : {kClasse, "Varniko.clsModuli", kLibreria, kInterfaccia})
            test::CancellaChiave(cr, chiave, v32);
    };
    pulisci();
    const std::unique_ptr<void, std::function<void(void*)>> allaFine(&pulisci,
                                                                     [&](void*) { pulisci(); });
    for (const auto& [chiave, valore] : chiavi32)
        ASSERT_TRUE(test::ScriviGrezzo(cr, chiave, "", REG_SZ, test::TestoSz(valore), v32));

    ASSERT_EQ(Esegui("regsvr32 /s \"" + Dll() + "\""), 0u);
    EXPECT_EQ(Voce(libreria + "\\1.0\\0\\win64"), Dll());
    ASSERT_EQ(Esegui("regsvr32 /u /s \"" + Dll() + "\""), 0u);
    EXPECT_FALSE(ChiaveEsiste(kClasse));
    EXPECT_FALSE(ChiaveEsiste(libreria + "\\1.0\\0\\win64"));
    // What the 32-bit registration's clients need is still there, as it was.
    for (const auto& [chiave, valore] : chiavi32) {
        const auto letto = test::LeggiGrezzo(cr, chiave, "", v32);
        ASSERT_TRUE(letto.has_value()) << chiave;
        EXPECT_EQ(letto->dati, test::TestoSz(valore)) << chiave;
    }

    // With the 32-bit class gone too, unregistering removes every copy, in
    // both views (Wine writes the interface's key into both).
    test::CancellaChiave(cr, kClasse, v32);
    ASSERT_EQ(Esegui("regsvr32 /s \"" + Dll() + "\""), 0u);
    ASSERT_EQ(Esegui("regsvr32 /u /s \"" + Dll() + "\""), 0u);
    for (const REGSAM vista : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        for (const char* chiave : {kClasse, "Varniko.clsModuli", kLibreria, kInterfaccia})
            EXPECT_FALSE(test::EsisteChiave(cr, chiave, vista)) << chiave << " " << vista;
    }
}
#endif

TEST_F(VarnikoTest, FindsTheFoldersWithOneFinalSeparator) {
    auto o = Crea();
    ASSERT_TRUE(o);
    for (const char* fine : {"\\quandora.exe", "\\"}) {
        test::RegistraQuandora(quandora_ + fine);
        BSTR b = nullptr;
        ASSERT_EQ(o->GetCartellaQuandora(&b), S_OK);
        EXPECT_EQ(Utf8DaBstr(Bstr(b).get()), quandora_ + "\\");
    }
    // The data folder is created once and left alone afterwards.
    const std::string bnk = quandora_ + "\\BNK\\";
    EXPECT_FALSE(CartellaTemporanea::Esiste(bnk));
    for (int i = 0; i < 2; ++i) {
        BSTR b = nullptr;
        ASSERT_EQ(o->GetCartellaDatiQuandora(&b), S_OK);
        EXPECT_EQ(Utf8DaBstr(Bstr(b).get()), bnk);
        EXPECT_TRUE(CartellaTemporanea::Esiste(bnk));
        CartellaTemporanea::Scrivi(bnk + "segno.txt", "resta");
    }
    EXPECT_EQ(CartellaTemporanea::Leggi(bnk + "segno.txt"), "resta");
}

TEST_F(VarnikoTest, MissingRegistrationAndDeletedFolderAreDistinctErrors) {
    auto o = Crea();
    ASSERT_TRUE(o);
    ComPtr<ISupportErrorInfo> supporto;
    ASSERT_EQ(
        o->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(supporto.Indirizzo())),
        S_OK);
    EXPECT_EQ(supporto->InterfaceSupportsErrorInfo(IID__clsModuli), S_OK);

    test::RegistraQuandora(quandora_ + "_cancellata\\quandora.exe");
    BSTR b = nullptr;
    EXPECT_EQ(o->GetCartellaQuandora(&b), static_cast<HRESULT>(0x800A0000 + 4052));
    EXPECT_EQ(DescrizioneErrore(), kDescr4052);

    test::DimenticaQuandora();
    EXPECT_EQ(o->GetCartellaDatiQuandora(&b), static_cast<HRESULT>(0x800A0000 + 4051));
    EXPECT_EQ(DescrizioneErrore(), kDescr4051);
    EXPECT_EQ(Aggiungi(o, "p", "n", "d"), static_cast<HRESULT>(0x800A0000 + 4051));
}

TEST_F(VarnikoTest, EarlyBoundClientAddsAndListsModules) {
    auto o = Crea();
    ASSERT_TRUE(o);
    BSTR cartella = nullptr;
    ASSERT_EQ(o->get_CartellaDatiQuandora(&cartella), S_OK);
    EXPECT_EQ(SysStringLen(Bstr(cartella).get()), 0u);

    const char* moduli[][3] = {{"C:\\b.exe", "Beta", "Beta"},
                               {"C:\\a.exe", "alfa", "Alfa"},
                               {"C:\\g.exe", "gamma", "Gamma"}};
    for (auto& m : moduli) {
        Bstr p(m[0]), n(m[1]), d(m[2]);
        BSTR pp = p.get(), nn = n.get(), dd = d.get();
        VARIANT_BOOL ok = VARIANT_FALSE;
        ASSERT_EQ(o->AggiungiModulo(&pp, &nn, &dd, &ok), S_OK);
        EXPECT_EQ(ok, VARIANT_TRUE);
        EXPECT_EQ(pp, p.get()) << "the strings by reference are not changed";
    }
    const std::string lista = quandora_ + "\\BNK\\Moduli.dat";
    EXPECT_EQ(CartellaTemporanea::Leggi(lista).size(), 3u * 1407);
    ASSERT_EQ(o->get_CartellaDatiQuandora(&cartella), S_OK);
    EXPECT_EQ(Utf8DaBstr(Bstr(cartella).get()), quandora_ + "\\BNK\\");

    SAFEARRAY *sp = nullptr, *sn = nullptr, *sd = nullptr;
    short n = 0;
    ASSERT_EQ(o->GetListaModulo(&sp, &sn, &sd, &n), S_OK);
    const MatriceSicura p1(sp), n1(sn), d1(sd);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(Elementi(sn), (std::vector<std::string>{"alfa", "Beta", "gamma"}));
    EXPECT_EQ(Elementi(sp), (std::vector<std::string>{"C:\\a.exe", "C:\\b.exe", "C:\\g.exe"}));
    EXPECT_EQ(Elementi(sd), (std::vector<std::string>{"Alfa", "Beta", "Gamma"}));

    // An array with elements already is resized to the list.
    sp = SafeArrayCreateVector(VT_BSTR, 0, 7);
    sn = SafeArrayCreateVector(VT_BSTR, 0, 1);
    sd = nullptr;
    ASSERT_EQ(o->GetListaModulo(&sp, &sn, &sd, &n), S_OK);
    const MatriceSicura p2(sp), n2(sn), d2(sd);
    EXPECT_EQ(Elementi(sp).size(), 3u);
    EXPECT_EQ(Elementi(sn).size(), 3u);

    // Fixed-size arrays cannot be grown.
    SAFEARRAY* fissa = SafeArrayCreateVector(VT_BSTR, 0, 1);
    const MatriceSicura p3(fissa);
    fissa->fFeatures |= FADF_FIXEDSIZE;
    sp = fissa;
    sn = sd = nullptr;
    EXPECT_EQ(o->GetListaModulo(&sp, &sn, &sd, &n), static_cast<HRESULT>(0x800A0000 + 10));
    fissa->fFeatures &= ~FADF_FIXEDSIZE;

    // An empty list, in the folder the client chose, leaves the arrays as given.
    CreateDirectoryA(ToAnsi(quandora_ + "\\Dati").c_str(), nullptr);
    ASSERT_EQ(o->put_CartellaDatiQuandora(Bstr(quandora_ + "\\Dati").get()), S_OK);
    sp = SafeArrayCreateVector(VT_BSTR, 0, 2);
    const MatriceSicura p4(sp);
    sn = sd = nullptr;
    n = -1;
    ASSERT_EQ(o->GetListaModulo(&sp, &sn, &sd, &n), S_OK);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(Elementi(sp).size(), 2u);
    EXPECT_EQ(sn, nullptr);
    EXPECT_EQ(CartellaTemporanea::Leggi(quandora_ + "\\Dati\\Moduli.dat"), "");
}

TEST_F(VarnikoTest, LateBoundClientGetsResultsAndExceptions) {
    ComPtr<IDispatch> d;
    CLSID classe;
    ASSERT_EQ(CLSIDFromProgID(L"Varniko.clsModuli", &classe), S_OK);
    ASSERT_EQ(CoCreateInstance(classe, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(d.Indirizzo())),
              S_OK);
    LPOLESTR nome = const_cast<LPOLESTR>(L"AggiungiModulo");
    DISPID id = 0;
    ASSERT_EQ(d->GetIDsOfNames(IID_NULL, &nome, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    EXPECT_EQ(id, varniko::DISPID_AggiungiModulo);

    Bstr p("C:\\x.exe"), n("Xeno"), ds("Descrizione");
    BSTR pp = p.get(), nn = n.get(), dd = ds.get();
    VARIANT args[3];
    V_VT(&args[2]) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&args[2]) = &pp;
    V_VT(&args[1]) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&args[1]) = &nn;
    V_VT(&args[0]) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&args[0]) = &dd;
    DISPPARAMS parametri = {args, nullptr, 3, 0};
    Variante risultato;
    ASSERT_EQ(d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parametri,
                        &risultato.get(), nullptr, nullptr),
              S_OK);
    EXPECT_EQ(V_VT(&risultato.get()), VT_BOOL);
    EXPECT_EQ(V_BOOL(&risultato.get()), VARIANT_TRUE);

    // A failure comes back as the exception of Invoke.
    test::DimenticaQuandora();
    try {
        OggettoDispatch(std::move(d)).Chiama(L"GetCartellaQuandora", DISPATCH_METHOD);
        ADD_FAILURE() << "no exception";
    } catch (const Errore& e) {
        EXPECT_EQ(e.Numero(), 4051);
        EXPECT_EQ(e.Descrizione(), kDescr4051);
    }
}

TEST_F(VarnikoTest, AScriptClientSeesTheErrorsNumberAndText) {
    test::RegistraQuandora(quandora_ + "_via\\quandora.exe");
    const std::string uscita =
        Cscript(dir_, "errore.js",
                "var o = new ActiveXObject(\"Varniko.clsModuli\");\r\n"
                "try { o.GetCartellaQuandora(); WScript.Echo(\"nessun errore\"); }\r\n"
                "catch (e) { WScript.Echo((e.number & 0xFFFF) + \"|\" + e.description); }\r\n");
    EXPECT_EQ(uscita, "4052|" + std::string(kDescr4052) + "\r\n");
}

// Greek and Cyrillic letters are not in the prefix's code page (1252): a
// name, path or description holding one is refused, whichever client sends
// it, and the list stays as it was. (Wine's VBScript has no ChrW: the
// script client is JScript.)
TEST_F(VarnikoTest, TextsTheCodePageCannotHoldAreRefusedAndNothingIsWritten) {
    const std::string lista = quandora_ + "\\BNK\\Moduli.dat";
    auto o = Crea();
    ASSERT_TRUE(o);
    ASSERT_EQ(Aggiungi(o, "C:\\a.exe", "Alfa", "Primo"), S_OK);
    const std::string prima = CartellaTemporanea::Leggi(lista);
    ASSERT_EQ(prima.size(), 1407u);

    EXPECT_EQ(Aggiungi(o, "C:\\o.exe", "\u03A9mega", "Omega"),
              static_cast<HRESULT>(0x800A0000 + 5));
    EXPECT_EQ(DescrizioneErrore(), TestoErroreDiSistema(5));
    const std::string uscita =
        Cscript(dir_, "greco.js",
                "var o = new ActiveXObject(\"Varniko.clsModuli\");\r\n"
                "function prova(p, n, d) {\r\n"
                "  try { o.AggiungiModulo(p, n, d); WScript.Echo(\"aggiunto\"); }\r\n"
                "  catch (e) { WScript.Echo((e.number & 0xFFFF) + \"|\" + e.description); }\r\n"
                "}\r\n"
                "prova(\"C:\\\\o.exe\", \"\\u03A9\", \"Omega\");\r\n"
                "prova(\"C:\\\\\\u0416.exe\", \"Alfa\", \"Primo\");\r\n"
                "prova(\"C:\\\\a.exe\", \"Alfa\", \"\\u03B1 nuova\");\r\n");
    std::string atteso;
    for (int i = 0; i < 3; ++i)
        atteso += "5|" + std::string(TestoErroreDiSistema(5)) + "\r\n";
    EXPECT_EQ(uscita, atteso);
    EXPECT_EQ(CartellaTemporanea::Leggi(lista), prima);
}

// A data folder written with blanks around it is the folder without them, as
// for every other folder; one of blanks only names no folder.
TEST_F(VarnikoTest, DataFolderWithBlanksIsTheFolderWithout) {
    const std::string cartella = dir_.File("Dati");
    CreateDirectoryA(ToAnsi(cartella).c_str(), nullptr);
    const std::string uscita =
        Cscript(dir_, "spazi.vbs",
                OggettoVbs(cartella + " ") +
                    "p = \"C:\\t.exe\" : n = \"Trevalto\" : d = \"Grafico\"\r\n"
                    "o.AggiungiModulo p, n, d\r\n"
                    "Dim ap, an, ad\r\n"
                    "WScript.Echo o.GetListaModulo(ap, an, ad) & \"|\" & an(0) & \"|\" & ap(0)\r\n"
                    "o.CartellaDatiQuandora = \"   \"\r\n"
                    "On Error Resume Next\r\n"
                    "o.AggiungiModulo p, n, d\r\n"
                    "WScript.Echo Err.Number\r\n");
    EXPECT_EQ(uscita, "1|Trevalto|C:\\t.exe\r\n76\r\n");
    EXPECT_EQ(CartellaTemporanea::Leggi(cartella + "\\Moduli.dat").size(), 1407u);
}

#ifdef _WIN64
// Both builds registered side by side on one 64-bit Windows, each by its
// own regsvr32: a 32-bit and a 64-bit script host each reach the library of
// their kind, and either build can be unregistered without taking the
// other's clients with it. The test command names the 32-bit build
// (TREVALTO_VARNIKO32) where the machine runs 32-bit programs; the host is
// registered in the 32-bit view only, as its 32-bit installer leaves it.
TEST_F(VarnikoTest, BothBuildsSideBySideServeTheirClientsAndUnregisterAlone) {
    const char* variabile = std::getenv("TREVALTO_VARNIKO32");
    if (variabile == nullptr || *variabile == '\0') {
        GTEST_SKIP() << "no 32-bit Varniko.dll: this machine does not run the 32-bit tree";
    }
    const std::string dll32 = variabile;
    char cartella[MAX_PATH] = {};
    ASSERT_GT(GetSystemWow64DirectoryA(cartella, sizeof cartella), 0u);
    const std::string wow64 = std::string(cartella) + "\\";
    const uint32_t hklm = uxUtilita::kHkeyLocalMachine;
    test::DimenticaQuandora();
    ASSERT_TRUE(test::ScriviGrezzo(hklm, test::kAppPathQuandora, "", REG_SZ,
                                   test::TestoSz(quandora_ + "\\quandora.exe"), KEY_WOW64_32KEY));

    const std::string vbs = dir_.File("cartella.vbs");
    CartellaTemporanea::Scrivi(vbs,
                               "On Error Resume Next\r\n"
                               "Set o = CreateObject(\"Varniko.clsModuli\")\r\n"
                               "c = o.GetCartellaQuandora()\r\n"
                               "WScript.Echo Err.Number & \"|\" & c\r\n");
    auto chiedi = [&](const std::string& host) {
        std::string uscita;
        Esegui("\"" + host + "\" //nologo \"" + vbs + "\"", &uscita);
        return uscita;
    };
    const std::string cscript32 = wow64 + "cscript.exe";
    const std::string cscript64 = "cscript.exe";
    const std::string atteso = "0|" + quandora_ + "\\\r\n";
    const std::string regsvr32 = "\"" + wow64 + "regsvr32.exe\" /s \"" + dll32 + "\"";
    const std::string unregsvr32 = "\"" + wow64 + "regsvr32.exe\" /u /s \"" + dll32 + "\"";

    ASSERT_EQ(Esegui(regsvr32), 0u);
    EXPECT_EQ(chiedi(cscript32), atteso);
    EXPECT_EQ(chiedi(cscript64), atteso);

    ASSERT_EQ(Esegui("regsvr32 /u /s \"" + Dll() + "\""), 0u);
    EXPECT_EQ(chiedi(cscript32), atteso) << "the 32-bit build still serves";
    EXPECT_NE(chiedi(cscript64), atteso);

    ASSERT_EQ(Esegui("regsvr32 /s \"" + Dll() + "\""), 0u);
    ASSERT_EQ(Esegui(unregsvr32), 0u);
    EXPECT_EQ(chiedi(cscript64), atteso) << "the 64-bit build still serves";
    EXPECT_NE(chiedi(cscript32), atteso);

    test::CancellaChiave(hklm, test::kAppPathQuandora, KEY_WOW64_32KEY);
}
#endif

// The host, or another add-on, keeps the list open while it reads it: the
// calls of our clients neither wait for it nor fail. A process holding the
// file without sharing is waited for 10 s, then the call fails with 70.
TEST_F(VarnikoTest, AListHeldOpenByAReaderIsStillAddedToAndRead) {
    const std::string cartella = dir_.File("Condivisa");
    CreateDirectoryA(ToAnsi(cartella).c_str(), nullptr);
    const std::string lista = cartella + "\\Moduli.dat";
    CartellaTemporanea::Scrivi(lista, "");
    {
        Detentore lettore(lista, FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_TRUE(lettore.Aperto());
        const std::string uscita =
            Cscript(dir_, "lettore.vbs",
                    OggettoVbs(cartella) +
                        "p = \"C:\\t.exe\" : n = \"Trevalto\" : d = \"Grafico\"\r\n"
                        "o.AggiungiModulo p, n, d\r\n"
                        "Dim ap, an, ad\r\n"
                        "WScript.Echo o.GetListaModulo(ap, an, ad) & \"|\" & an(0)\r\n");
        EXPECT_EQ(uscita, "1|Trevalto\r\n");
        EXPECT_TRUE(lettore.AncoraAperto()) << "the calls were made while the reader held it";
    }
    const std::string dopo = CartellaTemporanea::Leggi(lista);
    EXPECT_EQ(dopo.size(), 1407u);

    {
        Detentore esclusivo(lista, 0);
        ASSERT_TRUE(esclusivo.Aperto());
        auto o = Crea();
        ASSERT_TRUE(o);
        ASSERT_EQ(o->put_CartellaDatiQuandora(Bstr(cartella).get()), S_OK);
        EXPECT_EQ(Aggiungi(o, "C:\\x.exe", "Xeno", "Altro"), static_cast<HRESULT>(0x800A0000 + 70));
        EXPECT_EQ(DescrizioneErrore(), "Autorizzazione negata");
        EXPECT_TRUE(esclusivo.AncoraAperto());
    }
    EXPECT_EQ(CartellaTemporanea::Leggi(lista), dopo);
}

TEST(VarnikoVersione, DescribesItselfInItsVersionResource) {
    const std::string dll = ToAnsi(Dll());
    DWORD handle = 0;
    const DWORD n = GetFileVersionInfoSizeA(dll.c_str(), &handle);
    ASSERT_GT(n, 0u);
    std::vector<char> dati(n);
    ASSERT_TRUE(GetFileVersionInfoA(dll.c_str(), 0, n, dati.data()));
    auto testo = [&](const char* nome) {
        char* valore = nullptr;
        UINT lunghezza = 0;
        const std::string chiave = std::string("\\StringFileInfo\\041004E4\\") + nome;
        if (!VerQueryValueA(dati.data(), chiave.c_str(), reinterpret_cast<void**>(&valore),
                            &lunghezza)) {
            return std::string("<nessuno>");
        }
        return FromAnsi(valore);
    };
    EXPECT_EQ(testo("FileDescription"), "Gestione moduli aggiuntivi Quandora");
    EXPECT_EQ(testo("FileVersion"), "1.00");
}
