// The tree's package installed, upgraded and removed silently by msiexec on
// the stand-in host. Each test starts and ends with nothing of ours
// installed: the tree's test programs share the prefix.

#include <windows.h>

#include <msi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/ProcessoTrevalto_win32.h"
#include "util/Modulo.h"
#include "util/Testo.h"
#include "util/uxUtilita.h"

namespace quandora {
namespace {

using test::CartellaTemporanea;
using test::Esegui;
using Righe = std::set<std::string>;
using Testi = std::vector<std::string>;
using Nomi = std::vector<std::pair<std::string, std::string>>;

constexpr char kUpgradeCode[] = "{5B0C7E2A-3D41-4F6B-9A57-2E8C1D4F6A90}";
constexpr char kNome[] = "Grafico Trevalto Saldo";
constexpr char kProgId[] = "Varniko.clsModuli";
constexpr const char* kRadici[] = {"CLSID\\{DC36F8E6-67A4-4451-A4D4-C1BBA2485D78}", kProgId,
                                   "TypeLib\\{8D373D2A-8C5E-4DA8-95A3-8116A0607636}",
                                   "Interface\\{9C12D367-D64C-42AF-80C2-214A40AADB19}"};
constexpr uint32_t kHklm = uxUtilita::kHkeyLocalMachine;
constexpr uint32_t kClassi = uxUtilita::kHkeyClassesRoot;
constexpr char kUninstall[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// The registry views, this process's first, and the name by which a folder
// of this build's Varniko.dll appears in the registration read back.
struct Vista {
    REGSAM sam;
    const char* nome;
};
#ifdef _WIN64
constexpr Vista kViste[] = {{KEY_WOW64_64KEY, "64"}, {KEY_WOW64_32KEY, "32"}};
constexpr char kPropria[] = "<64>";
#else
constexpr Vista kViste[] = {{0, "32"}};
constexpr char kPropria[] = "<32>";
#endif
// Where the host's 32-bit installer registers it.
constexpr REGSAM kVistaHost = std::end(kViste)[-1].sam;

const std::string kPacchetto = TREVALTO_PACCHETTO;
const std::string kVecchio = TREVALTO_PACCHETTO_VECCHIO;

std::string Cartella(int csidl) {
    char percorso[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, percorso))) return "<nessuna>";
    return FromAnsi(percorso);
}

const std::string kProgramma = Cartella(CSIDL_PROGRAM_FILES) + "\\Trevalto\\";
// Varniko.dll's folders, each with its name in the registration read back.
Nomi CartelleVarniko() {
    Nomi cartelle = {{Cartella(CSIDL_PROGRAM_FILES_COMMON) + "\\Trevalto", kPropria}};
    if (sizeof(void*) == 8)
        cartelle.emplace_back(Cartella(CSIDL_PROGRAM_FILES_COMMONX86) + "\\Trevalto", "<32>");
    return cartelle;
}

// msiexec run silently: its exit code, its verbose log to log.
DWORD Msiexec(const std::string& argomenti, std::string* log = nullptr) {
    CartellaTemporanea dir;
    const std::string file = dir.File("msiexec.log");
    const DWORD esito =
        Esegui("msiexec " + argomenti + " /qn /l*v \"" + file + "\"", nullptr, 300000);
    if (log) *log = FromAnsi(CartellaTemporanea::Leggi(file));
    return esito;
}

// The product codes of every installed version of Trevalto.
Testi Prodotti() {
    Testi codici;
    char codice[39] = {};
    for (DWORD i = 0; MsiEnumRelatedProductsA(kUpgradeCode, 0, i, codice) == ERROR_SUCCESS; ++i)
        codici.emplace_back(codice);
    return codici;
}
std::string InfoProdotto(const std::string& codice, const char* proprieta) {
    char valore[1024] = {};
    DWORD n = sizeof valore;
    if (MsiGetProductInfoA(codice.c_str(), proprieta, valore, &n) != ERROR_SUCCESS) return "";
    return FromAnsi(valore);
}

// Every key and value below chiave, one line each ("view|key",
// "view|key|name=type:data"), with each folder of nomi written as its name.
void Raccogli(const Vista& v, const std::string& chiave, const Nomi& nomi, Righe& righe) {
    const ChiaveRegistro k = test::ApriChiave(kClassi, chiave, KEY_READ | v.sam);
    if (!k) return;
    const std::string riga = std::string(v.nome) + "|" + chiave;
    righe.insert(riga);
    char nome[256];
    BYTE dati[2048];
    for (DWORD i = 0;; ++i) {
        DWORD n = sizeof nome, d = sizeof dati - 1, tipo = 0;
        if (RegEnumValueA(k.get(), i, nome, &n, nullptr, &tipo, dati, &d) != ERROR_SUCCESS) break;
        dati[d] = 0;
        std::string valore = FromAnsi(reinterpret_cast<char*>(dati));
        for (const auto& [cartella, come] : nomi) {
            for (size_t p; !cartella.empty() && (p = valore.find(cartella)) != std::string::npos;)
                valore.replace(p, cartella.size(), come);
        }
        righe.insert(riga + "|" + nome + "=" + std::to_string(tipo) + ":" + valore);
    }
    for (DWORD i = 0;; ++i) {
        DWORD n = sizeof nome;
        if (RegEnumKeyExA(k.get(), i, nome, &n, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        Raccogli(v, chiave + "\\" + nome, nomi, righe);
    }
}

// Varniko's registration in every view. The programmatic identifier, one
// key that Windows shares between the views, in this process's only: Wine
// shows a 64-bit process just the package's own copy in the 32-bit view.
Righe Registrazione(const Nomi& nomi = {}) {
    Righe righe;
    for (const Vista& v : kViste) {
        for (const char* radice : kRadici)
            if (radice != kProgId || &v == kViste) Raccogli(v, radice, nomi, righe);
    }
    return righe;
}
// A registration without the 32-bit build's part (its view and its type
// library's entry), for machines that run no 32-bit regsvr32.
Righe Senza32(const Righe& righe) {
    Righe resto;
    for (const auto& r : righe)
        if (r.rfind("32|", 0) != 0 && r.find("win32") == std::string::npos &&
            r.find("<32>") == std::string::npos)
            resto.insert(r);
    return resto;
}
// The lines one registration has ("+") and the other lacks ("-").
Testi Differenze(const Righe& avute, const Righe& attese) {
    Testi d;
    for (const auto& r : avute)
        if (!attese.count(r)) d.push_back("+" + r);
    for (const auto& r : attese)
        if (!avute.count(r)) d.push_back("-" + r);
    return d;
}

// Whether the package's Start-menu shortcut holds the file's path: in the
// common Programs menu on Windows, in the user's under Wine.
bool Collegamento(const std::string& nome, const std::string& bersaglio) {
    for (int csidl : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS}) {
        const std::string file = Cartella(csidl) + "\\Trevalto\\" + nome + ".lnk";
        if (test::Esiste(file))
            return test::LeggiFile(file).find(ToAnsi(bersaglio)) != std::string::npos;
    }
    return false;
}

// The installed program, started from its installed place: it opens on
// the host's accounts and ends when closed.
void ApreSulleContiDelHost(const std::string& programma) {
    test::ProcessoTrevalto p(programma);
    ASSERT_TRUE(p.Avviato());
    EXPECT_EQ(SendMessageA(p.Controllo(FrmMain::kIdCboConti), CB_GETCOUNT, 0, 0), 5);
    PostMessageA(p.Principale(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(p.Fine(), 0u);
}

class PacchettoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(test::Esiste(kPacchetto)) << "no package: " << kPacchetto;
        Pulisci();
    }
    void TearDown() override { Pulisci(); }
    // What a run that ended badly may have left: installed versions,
    // regsvr32's registration, the program's folder and key, the host.
    static void Pulisci() {
        for (const auto& codice : Prodotti())
            Msiexec("/x " + codice);
        for (const Vista& v : kViste) {
            for (const char* radice : kRadici)
                test::CancellaChiave(kClassi, radice, v.sam);
        }
        test::CancellaChiave(kHklm, "Software\\Trevalto");
        test::Cancella(kProgramma);
        DimenticaHost();
    }
    static void DimenticaHost() {
        test::DimenticaQuandora();
        test::CancellaChiave(kHklm, test::kAppPathQuandora, kVistaHost);
    }

    // The demo host, registered in the view its 32-bit installer writes.
    std::string InstallaHost() {
        const std::string host = dir_.File("Quandora");
        EXPECT_TRUE(test::InstallaHostDemo(host));
        test::DimenticaQuandora();
        test::ScriviGrezzo(kHklm, test::kAppPathQuandora, "", REG_SZ,
                           test::TestoSz(host + "\\quandora.exe"), kVistaHost);
        return host;
    }

    CartellaTemporanea dir_;
};

TEST_F(PacchettoTest, InstallsRegistersLikeRegsvr32RunsAndUninstallsLeavingTheUserData) {
    // What regsvr32 registers, from nothing registered: this build's
    // library, then the 32-bit one where the machine runs it.
    char bin[MAX_PATH] = {};
    GetFullPathNameA(ToAnsi(CartellaModulo() + "..").c_str(), sizeof bin, bin, nullptr);
    const char* varniko32 = sizeof(void*) == 8 ? std::getenv("TREVALTO_VARNIKO32") : nullptr;
    const std::string dll32 = varniko32 != nullptr ? varniko32 : "";
    auto regsvr32 = [&](const std::string& opzioni) {
        DWORD esito = Esegui("regsvr32 " + opzioni + " \"" + FromAnsi(bin) + "\\Varniko.dll\"");
        if (!dll32.empty())
            esito |= Esegui("\"" + Cartella(CSIDL_SYSTEMX86) + "\\regsvr32.exe\" " + opzioni +
                            " \"" + dll32 + "\"");
        return esito;
    };
    ASSERT_TRUE(Registrazione().empty());
    ASSERT_EQ(regsvr32("/s"), 0u);
    const Righe atteso =
        Registrazione({{FromAnsi(bin), kPropria}, {dll32.substr(0, dll32.rfind('\\')), "<32>"}});
    ASSERT_EQ(regsvr32("/u /s"), 0u);
    ASSERT_TRUE(Registrazione().empty());
    ASSERT_EQ(atteso.count(std::string(kViste[0].nome) + "|" + kRadici[0] +
                           "\\InprocServer32|=1:" + kPropria + "\\Varniko.dll"),
              1u);

    const std::string host = InstallaHost();
    std::string log;
    ASSERT_EQ(Msiexec("/i \"" + kPacchetto + "\"", &log), 0u) << log;
    const std::string exe = kProgramma + "Trevalto.exe";
    Testi file = {exe, kProgramma + "Leggimi.htm"};
    for (const auto& [cartella, nome] : CartelleVarniko())
        file.push_back(cartella + "\\Varniko.dll");
    for (const auto& f : file)
        EXPECT_TRUE(test::Esiste(f)) << f;
    EXPECT_FALSE(test::Esiste(kProgramma + "cfg.ini")) << "the host is registered";
    EXPECT_TRUE(Collegamento(kNome, exe));
    EXPECT_TRUE(Collegamento(std::string("Leggimi - ") + kNome, kProgramma + "Leggimi.htm"));

    // Add/Remove Programs: name, version, publisher and the program's icon.
    const auto prodotti = Prodotti();
    ASSERT_EQ(prodotti.size(), 1u);
    const std::string arp = kUninstall + prodotti[0];
    const char* const voci[][2] = {
        {"DisplayName", kNome}, {"DisplayVersion", TREVALTO_VERSIONE}, {"Publisher", "Trevalto"}};
    for (const auto& [nome, valore] : voci)
        EXPECT_EQ(test::LeggiGrezzo(kHklm, arp, nome).value_or(test::ValoreGrezzo{}).dati,
                  test::TestoSz(valore))
            << nome;
    const std::string icona = InfoProdotto(prodotti[0], INSTALLPROPERTY_PRODUCTICON);
    EXPECT_EQ(CartellaTemporanea::Leggi(icona).substr(0, 4), std::string("\0\0\1\0", 4)) << icona;

    // The COM keys are those regsvr32 writes, the files aside; without the
    // 32-bit regsvr32, the 32-bit build's where 32-bit clients look.
    const Righe registrato = Registrazione(CartelleVarniko());
    if (sizeof(void*) == 8 && dll32.empty()) {
        EXPECT_EQ(Differenze(Senza32(registrato), Senza32(atteso)), Testi{});
        for (const std::string& k : {kRadici[0] + std::string("\\InprocServer32"),
                                     kRadici[2] + std::string("\\1.0\\0\\win32")})
            EXPECT_EQ(registrato.count("32|" + k + "|=1:<32>\\Varniko.dll"), 1u) << k;
    } else {
        EXPECT_EQ(Differenze(registrato, atteso), Testi{});
    }

    // The installed program opens on the host and registers itself in the
    // host's module list, by its installed path.
    ApreSulleContiDelHost(exe);
    const std::string lista = host + "\\BNK\\Moduli.dat";
    const std::string moduli = CartellaTemporanea::Leggi(lista);
    ASSERT_EQ(moduli.size(), 1407u);
    EXPECT_EQ(moduli.substr(0, ToAnsi(exe).size()), ToAnsi(exe));
    EXPECT_EQ(moduli.substr(1024, sizeof kNome - 1), kNome);

    // A script client creates the class through the installed registration:
    // the default cscript, and the 32-bit one where it runs.
    const std::string js = dir_.File("cartella.js");
    CartellaTemporanea::Scrivi(
        js, "WScript.Echo(new ActiveXObject(\"Varniko.clsModuli\").GetCartellaQuandora());\r\n");
    Testi cscript = {"cscript"};
    if (!dll32.empty()) cscript.push_back("\"" + Cartella(CSIDL_SYSTEMX86) + "\\cscript.exe\"");
    for (const auto& c : cscript) {
        std::string uscita;
        EXPECT_EQ(Esegui(c + " //nologo \"" + js + "\"", &uscita), 0u) << c << ": " << uscita;
        EXPECT_EQ(uscita, host + "\\\r\n") << c;
    }

    // The user's charts and pictures, saved beside the program (its folder
    // is the current one when it runs), stay after removal with the host's
    // database and module list; nothing else of ours does.
    const Testi utente = {kProgramma + "Saldo 2026.vrt", kProgramma + "Saldo 2026.bmp"};
    for (const auto& f : utente)
        CartellaTemporanea::Scrivi(f, "dell'utente: " + f);
    ASSERT_EQ(Msiexec("/x \"" + kPacchetto + "\"", &log), 0u) << log;
    EXPECT_TRUE(Prodotti().empty());
    for (const auto& f : file)
        EXPECT_FALSE(test::Esiste(f)) << f;
    for (const auto& [cartella, nome] : CartelleVarniko())
        EXPECT_FALSE(test::Esiste(cartella)) << cartella;
    for (int csidl : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS})
        EXPECT_FALSE(test::Esiste(Cartella(csidl) + "\\Trevalto"));
    EXPECT_FALSE(test::EsisteChiave(kHklm, arp));
    EXPECT_TRUE(Registrazione().empty());
    EXPECT_EQ(CartellaTemporanea::Leggi(lista), moduli);
    EXPECT_TRUE(test::Esiste(host + "\\bnk\\quandora.mdb"));
    for (const auto& f : utente)
        EXPECT_EQ(CartellaTemporanea::Leggi(f), "dell'utente: " + f);
}

// A host the registry does not know, named on the command line: cfg.ini
// written and the folder remembered for the newer version installed over
// it; an older version over the newer refuses.
TEST_F(PacchettoTest, NewerVersionReplacesTheOlderInPlaceAndTheOlderRefuses) {
    const std::string host = InstallaHost();
    DimenticaHost();  // its files stay
    const std::string cfg = kProgramma + "cfg.ini";
    auto percorsoCfg = [&] { return uxUtilita().LeggiINI(cfg, "Quandora", "Path", "<nessuno>"); };
    const std::string vecchio = "/i \"" + kVecchio + "\" QUANDORAPATH=\"" + host + "\"";
    std::string log;
    ASSERT_EQ(Msiexec(vecchio, &log), 0u) << log;
    auto prodotti = Prodotti();
    ASSERT_EQ(prodotti.size(), 1u);
    EXPECT_EQ(InfoProdotto(prodotti[0], INSTALLPROPERTY_VERSIONSTRING), TREVALTO_VERSIONE_VECCHIA);
    EXPECT_EQ(percorsoCfg(), host);
    const std::string codiceVecchio = prodotti[0];

    ASSERT_EQ(Msiexec("/i \"" + kPacchetto + "\"", &log), 0u) << log;
    prodotti = Prodotti();
    ASSERT_EQ(prodotti.size(), 1u);
    EXPECT_NE(prodotti[0], codiceVecchio);
    EXPECT_EQ(InfoProdotto(prodotti[0], INSTALLPROPERTY_VERSIONSTRING), TREVALTO_VERSIONE);
    EXPECT_FALSE(test::EsisteChiave(kHklm, kUninstall + codiceVecchio));
    EXPECT_EQ(percorsoCfg(), host);
    ApreSulleContiDelHost(kProgramma + "Trevalto.exe");

    EXPECT_NE(Msiexec(vecchio, &log), 0u);
    EXPECT_NE(log.find("E' già installata una versione più recente di Grafico Trevalto Saldo."),
              std::string::npos)
        << log;
    EXPECT_EQ(Prodotti(), prodotti);

    // Quandora removed first, then the add-on: nothing of ours stays.
    ASSERT_TRUE(MoveFileA(ToAnsi(host).c_str(), ToAnsi(host + "_rimosso").c_str()));
    ASSERT_EQ(Msiexec("/x " + prodotti[0], &log), 0u) << log;
    EXPECT_FALSE(test::Esiste(kProgramma));
    EXPECT_FALSE(test::EsisteChiave(kHklm, "Software\\Trevalto"));
}

// Without the host, or with a folder that does not hold it, the log says
// why in Italian and nothing is installed.
TEST_F(PacchettoTest, WithoutTheHostItRefusesInItalianAndInstallsNothing) {
    const std::string vuota = dir_.File("Vuota");
    CreateDirectoryA(ToAnsi(vuota).c_str(), nullptr);
    const std::pair<std::string, std::string> casi[] = {
        {"", "E' necessario installare Quandora."},
        {" QUANDORAPATH=\"" + vuota + "\"",
         "La cartella " + vuota +
             " indicata in QUANDORAPATH non contiene quandora.exe. E' necessario installare "
             "Quandora."},
    };
    for (const auto& [argomenti, messaggio] : casi) {
        SCOPED_TRACE(argomenti);
        std::string log;
        EXPECT_EQ(Msiexec("/i \"" + kPacchetto + "\"" + argomenti, &log),
                  static_cast<DWORD>(ERROR_INSTALL_FAILURE));
        EXPECT_NE(log.find(messaggio), std::string::npos) << log;
        EXPECT_TRUE(Prodotti().empty());
        EXPECT_FALSE(test::Esiste(kProgramma));
    }
}

}  // namespace
}  // namespace quandora
