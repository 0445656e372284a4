// Varniko.dll as its clients use it: registered by regsvr32, created by class
// identifier and called through the function table, and driven late bound
// by JScript and VBScript under cscript.

#include <windows.h>

#include <oleauto.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "modulelist/Varniko.h"
#include "tests/support/Sistema_win32.h"
#include "util/Com_win32.h"
#include "util/Errore.h"
#include "util/Modulo.h"
#include "util/Testo.h"
#include "util/uxUtilita.h"

using namespace quandora;
using quandora::test::CartellaTemporanea;

namespace {

using test::Esegui;
using Testi = std::vector<std::string>;

std::string Dll() {
    return CartellaModulo() + "Varniko.dll";
}

// Runs a script (its name tells cscript the language) with one argument
// under the script host given; what it printed.
std::string Cscript(const CartellaTemporanea& dir, const std::string& nome,
                    const std::string& testo, const std::string& argomento = "",
                    const std::string& cscript = "cscript") {
    const std::string file = dir.File(nome);
    CartellaTemporanea::Scrivi(file, testo);
    std::string uscita;
    Esegui("\"" + cscript + "\" //nologo \"" + file + "\" \"" + argomento + "\"", &uscita);
    return uscita;
}

Testi Elementi(SAFEARRAY* sa) {
    Testi out;
    LONG basso = 0, alto = -1;
    SafeArrayGetLBound(sa, 1, &basso);
    SafeArrayGetUBound(sa, 1, &alto);
    for (LONG i = basso; i <= alto; ++i) {
        BSTR b = nullptr;
        SafeArrayGetElement(sa, &i, &b);
        out.push_back(Utf8DaBstr(Bstr(b).get()));
    }
    return out;
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

    CartellaTemporanea dir_;
    const std::string quandora_ = dir_.File("Quandora");
};

}  // namespace

TEST_F(VarnikoTest, FindsTheFoldersOrSaysWhyItCannot) {
    auto o = Crea();
    ASSERT_TRUE(o);
    BSTR b = nullptr;
    ASSERT_EQ(o->GetCartellaQuandora(&b), S_OK);
    EXPECT_EQ(Utf8DaBstr(Bstr(b).get()), quandora_ + "\\");
    // The data folder is created once and left alone afterwards.
    const std::string bnk = quandora_ + "\\BNK\\";
    EXPECT_FALSE(CartellaTemporanea::Esiste(bnk));
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(o->GetCartellaDatiQuandora(&b), S_OK);
        EXPECT_EQ(Utf8DaBstr(Bstr(b).get()), bnk);
        if (i == 0) CartellaTemporanea::Scrivi(bnk + "segno.txt", "resta");
    }
    EXPECT_EQ(CartellaTemporanea::Leggi(bnk + "segno.txt"), "resta");

    ComPtr<ISupportErrorInfo> supporto;
    ASSERT_EQ(
        o->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(supporto.Indirizzo())),
        S_OK);
    EXPECT_EQ(supporto->InterfaceSupportsErrorInfo(IID__clsModuli), S_OK);
    test::DimenticaQuandora();
    EXPECT_EQ(o->GetCartellaDatiQuandora(&b), static_cast<HRESULT>(0x800A0000 + 4051));
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, info.Indirizzo()), S_OK);
    ASSERT_EQ(info->GetDescription(&b), S_OK);
    EXPECT_EQ(Utf8DaBstr(Bstr(b).get()),
              "Impossibile trovare il percorso della cartella di Quandora. Quandora potrebbe non "
              "essere stato installato correttamente.");
    Bstr t("t");
    BSTR tt = t.get();
    VARIANT_BOOL ok = VARIANT_FALSE;
    EXPECT_EQ(o->AggiungiModulo(&tt, &tt, &tt, &ok), static_cast<HRESULT>(0x800A0000 + 4051));
}

TEST_F(VarnikoTest, EarlyBoundClientAddsAndListsModules) {
    auto o = Crea();
    ASSERT_TRUE(o);
    BSTR cartella = nullptr;
    ASSERT_EQ(o->get_CartellaDatiQuandora(&cartella), S_OK);
    EXPECT_EQ(Utf8DaBstr(Bstr(cartella).get()), "");
    for (const std::string nome : {"Beta", "alfa", "gamma"}) {
        Bstr p("C:\\" + nome + ".exe"), n(nome), d("d" + nome);
        BSTR pp = p.get(), nn = n.get(), dd = d.get();
        VARIANT_BOOL ok = VARIANT_FALSE;
        ASSERT_EQ(o->AggiungiModulo(&pp, &nn, &dd, &ok), S_OK);
        EXPECT_EQ(ok, VARIANT_TRUE);
        EXPECT_TRUE(pp == p.get() && nn == n.get() && dd == d.get()) << "texts by reference stay";
    }
    ASSERT_EQ(o->get_CartellaDatiQuandora(&cartella), S_OK);
    EXPECT_EQ(Utf8DaBstr(Bstr(cartella).get()), quandora_ + "\\BNK\\");

    // No array yet, and one with elements already, resized to the list.
    SAFEARRAY* sp = nullptr;
    SAFEARRAY* sn = SafeArrayCreateVector(VT_BSTR, 0, 7);
    SAFEARRAY* sd = nullptr;
    short n = 0;
    ASSERT_EQ(o->GetListaModulo(&sp, &sn, &sd, &n), S_OK);
    const MatriceSicura p1(sp), n1(sn), d1(sd);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(Elementi(sp), (Testi{"C:\\alfa.exe", "C:\\Beta.exe", "C:\\gamma.exe"}));
    EXPECT_EQ(Elementi(sn), (Testi{"alfa", "Beta", "gamma"}));
    EXPECT_EQ(Elementi(sd), (Testi{"dalfa", "dBeta", "dgamma"}));

    // A fixed-size array cannot be grown.
    SAFEARRAY* fissa = SafeArrayCreateVector(VT_BSTR, 0, 1);
    const MatriceSicura p2(fissa);
    fissa->fFeatures |= FADF_FIXEDSIZE;
    sp = fissa;
    sn = nullptr;
    sd = nullptr;
    EXPECT_EQ(o->GetListaModulo(&sp, &sn, &sd, &n), static_cast<HRESULT>(0x800A0000 + 10));
    fissa->fFeatures &= ~FADF_FIXEDSIZE;

    // An empty list, in the folder the client chose, leaves the arrays as given.
    CreateDirectoryA(ToAnsi(quandora_ + "\\Dati").c_str(), nullptr);
    ASSERT_EQ(o->put_CartellaDatiQuandora(Bstr(quandora_ + "\\Dati").get()), S_OK);
    sp = SafeArrayCreateVector(VT_BSTR, 0, 2);
    const MatriceSicura p3(sp);
    n = -1;
    ASSERT_EQ(o->GetListaModulo(&sp, &sn, &sd, &n), S_OK);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(Elementi(sp).size(), 2u);
    EXPECT_EQ(sn, nullptr);
    EXPECT_EQ(CartellaTemporanea::Leggi(quandora_ + "\\Dati\\Moduli.dat"), "");
}

// VBScript passes its variables by reference and gets the list in arrays of
// variants; JScript passes its texts by value and gets the errors as
// exceptions with number and text. A data folder with blanks around it is
// the folder without them; one of blanks only names none. Greek and Cyrillic
// letters are not in the prefix's code page (1252): a text holding one is
// refused and the list stays as it was (Wine's VBScript has no ChrW).
TEST_F(VarnikoTest, ScriptClientsGetResultsListsAndErrors) {
    const std::string cartella = dir_.File("Dati");
    CreateDirectoryA(ToAnsi(cartella).c_str(), nullptr);
    EXPECT_EQ(Cscript(dir_, "lista.vbs", R"(
Set o = CreateObject("Varniko.clsModuli")
o.CartellaDatiQuandora = WScript.Arguments(0)
p = "C:\t.exe" : n = "Trevalto" : d = "Grafico"
o.AggiungiModulo p, n, d
Dim ap, an, ad
WScript.Echo o.GetListaModulo(ap, an, ad) & "|" & an(0) & "|" & ap(0) & "|" & ad(0)
o.CartellaDatiQuandora = "   "
On Error Resume Next
o.AggiungiModulo p, n, d
WScript.Echo Err.Number
)",
                      cartella + " "),
              "1|Trevalto|C:\\t.exe|Grafico\r\n76\r\n");
    const std::string prima = CartellaTemporanea::Leggi(cartella + "\\Moduli.dat");
    EXPECT_EQ(prima.size(), 1407u);

    test::RegistraQuandora(quandora_ + "_via\\quandora.exe");
    const std::string rifiuto = "5|" + std::string(TestoErroreDiSistema(5)) + "\r\n";
    EXPECT_EQ(Cscript(dir_, "errori.js", R"(
var o = new ActiveXObject("Varniko.clsModuli");
o.CartellaDatiQuandora = WScript.Arguments(0);
function prova(f) {
  try { WScript.Echo("" + f()); } catch (e) { WScript.Echo((e.number & 0xFFFF) + "|" + e.description); }
}
prova(function () { return o.AggiungiModulo("C:\\t.exe", "Trevalto", "Grafico"); });
prova(function () { return o.AggiungiModulo("C:\\o.exe", "\u03A9", "Omega"); });
prova(function () { return o.AggiungiModulo("C:\\\u0416.exe", "Trevalto", "Grafico"); });
prova(function () { return o.AggiungiModulo("C:\\t.exe", "Trevalto", "\u03B1 nuova"); });
prova(function () { return o.GetCartellaQuandora(); });
)",
                      cartella),
              "true\r\n" + rifiuto + rifiuto + rifiuto +
                  "4052|Impossibile trovare il percorso della cartella di Quandora. Quandora "
                  "potrebbe essere stato rimosso manualmente.\r\n");
    EXPECT_EQ(CartellaTemporanea::Leggi(cartella + "\\Moduli.dat"), prima);
}

TEST(VarnikoVersione, DescribesItselfInItsVersionResource) {
    const std::string dll = ToAnsi(Dll());
    std::vector<char> dati(GetFileVersionInfoSizeA(dll.c_str(), nullptr));
    ASSERT_FALSE(dati.empty());
    ASSERT_TRUE(GetFileVersionInfoA(dll.c_str(), 0, static_cast<DWORD>(dati.size()), dati.data()));
    for (const auto& [nome, atteso] :
         {std::pair{"FileDescription", "Gestione moduli aggiuntivi Quandora"},
          std::pair{"FileVersion", "1.00"}}) {
        char* valore = nullptr;
        UINT lunghezza = 0;
        const std::string chiave = std::string("\\StringFileInfo\\041004E4\\") + nome;
        ASSERT_TRUE(VerQueryValueA(dati.data(), chiave.c_str(), reinterpret_cast<void**>(&valore),
                                   &lunghezza))
            << nome;
        EXPECT_EQ(FromAnsi(valore), atteso);
    }
}

#ifdef _WIN64
// Both builds side by side on one 64-bit Windows, each registered by its own
// regsvr32: a 32-bit and a 64-bit script host each reach the library of
// their kind, either build can be unregistered without taking the other's
// clients with it, and one registered alone takes every key of both views
// with it. The host is registered in the 32-bit view only, as its 32-bit
// installer leaves it. The test command names the 32-bit build where the
// machine runs 32-bit programs.
TEST_F(VarnikoTest, BothBuildsSideBySideServeTheirClientsAndUnregisterAlone) {
    const char* dll32 = std::getenv("TREVALTO_VARNIKO32");
    if (dll32 == nullptr || *dll32 == '\0')
        GTEST_SKIP() << "no 32-bit Varniko.dll: this machine does not run the 32-bit tree";
    char cartella[MAX_PATH] = {};
    ASSERT_GT(GetSystemWow64DirectoryA(cartella, sizeof cartella), 0u);
    const std::string wow64 = std::string(cartella) + "\\";
    const uint32_t hklm = uxUtilita::kHkeyLocalMachine;
    test::DimenticaQuandora();
    ASSERT_TRUE(test::ScriviGrezzo(hklm, test::kAppPathQuandora, "", REG_SZ,
                                   test::TestoSz(quandora_ + "\\quandora.exe"), KEY_WOW64_32KEY));
    auto regsvr32 = [&](bool a32, const std::string& opzioni) {
        return Esegui((a32 ? "\"" + wow64 + "regsvr32.exe\"" : std::string("regsvr32")) + " " +
                      opzioni + " \"" + (a32 ? std::string(dll32) : Dll()) + "\"");
    };
    auto chiedi = [&](bool a32) {
        return Cscript(
            dir_, "cartella.js",
            "WScript.Echo(new ActiveXObject(\"Varniko.clsModuli\").GetCartellaQuandora());", "",
            a32 ? wow64 + "cscript.exe" : "cscript");
    };
    const std::string atteso = quandora_ + "\\\r\n";

    ASSERT_EQ(regsvr32(true, "/s"), 0u);
    EXPECT_EQ(chiedi(true), atteso);
    EXPECT_EQ(chiedi(false), atteso);
    ASSERT_EQ(regsvr32(false, "/u /s"), 0u);
    EXPECT_EQ(chiedi(true), atteso) << "the 32-bit build still serves";
    EXPECT_NE(chiedi(false), atteso);
    ASSERT_EQ(regsvr32(false, "/s"), 0u);
    ASSERT_EQ(regsvr32(true, "/u /s"), 0u);
    EXPECT_EQ(chiedi(false), atteso) << "the 64-bit build still serves";
    EXPECT_NE(chiedi(true), atteso);
    // Registered again alone (Wine writes the interface into both views).
    ASSERT_EQ(regsvr32(false, "/s"), 0u);
    ASSERT_EQ(regsvr32(false, "/u /s"), 0u);
    for (const REGSAM vista : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        for (const auto& radice :
             {"CLSID\\" + TestoGuid(CLSID_clsModuli), std::string("Varniko.clsModuli"),
              "TypeLib\\" + TestoGuid(LIBID_Varniko), "Interface\\" + TestoGuid(IID__clsModuli)})
            EXPECT_FALSE(test::EsisteChiave(uxUtilita::kHkeyClassesRoot, radice, vista)) << radice;
    }
    ASSERT_EQ(regsvr32(false, "/s"), 0u);
    test::CancellaChiave(hklm, test::kAppPathQuandora, KEY_WOW64_32KEY);
}
#endif
