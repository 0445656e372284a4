// The tree's Windows Installer package as a user installs, upgrades and
// removes it, silently through msiexec, on the stand-in host: the files
// where Windows puts them, the Start-menu shortcuts, the entry of Add/Remove
// Programs, the COM registration (the very keys regsvr32 writes), the
// installed program at work, and nothing of ours left after removal but the
// user's data. Each test starts and ends with nothing of ours installed:
// every test program of the tree shares the prefix.

#include <windows.h>

#include <msi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/ProcessoTrevalto_win32.h"
#include "util/Com_win32.h"
#include "util/Modulo.h"
#include "util/Testo.h"
#include "util/uxUtilita.h"

namespace quandora {
namespace {

using test::CartellaTemporanea;
using test::Esegui;

constexpr char kUpgradeCode[] = "{5B0C7E2A-3D41-4F6B-9A57-2E8C1D4F6A90}";
constexpr char kNome[] = "Grafico Trevalto Saldo";
constexpr const char* kRadici[] = {"CLSID\\{DC36F8E6-67A4-4451-A4D4-C1BBA2485D78}",
                                   "Varniko.clsModuli",
                                   "TypeLib\\{8D373D2A-8C5E-4DA8-95A3-8116A0607636}",
                                   "Interface\\{9C12D367-D64C-42AF-80C2-214A40AADB19}"};
constexpr uint32_t kHklm = uxUtilita::kHkeyLocalMachine;
constexpr char kUninstall[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

struct Vista {
    REGSAM sam;
    const char* nome;
};
#ifdef _WIN64
// The registry views, and the name by which a folder of this build's
// Varniko.dll appears in the registration read back.
constexpr Vista kViste[] = {{KEY_WOW64_64KEY, "64"}, {KEY_WOW64_32KEY, "32"}};
constexpr char kPropria[] = "<64>";
#else
constexpr Vista kViste[] = {{0, "32"}};
constexpr char kPropria[] = "<32>";
#endif

// A path the build gave with forward slashes, as Windows writes it.
std::string Windows(std::string percorso) {
    for (char& c : percorso)
        if (c == '/') c = '\\';
    return percorso;
}
std::string Pacchetto() {
    return Windows(TREVALTO_PACCHETTO);
}
std::string PacchettoVecchio() {
    return Windows(TREVALTO_PACCHETTO_VECCHIO);
}

std::string Cartella(int csidl) {
    char percorso[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, percorso))) return "<nessuna>";
    return FromAnsi(percorso);
}
std::string CartellaCompleta(const std::string& percorso) {
    char pieno[MAX_PATH] = {};
    GetFullPathNameA(ToAnsi(percorso).c_str(), sizeof pieno, pieno, nullptr);
    return FromAnsi(pieno);
}
std::string Wow64() {
    char cartella[MAX_PATH] = {};
    GetSystemWow64DirectoryA(cartella, sizeof cartella);
    return FromAnsi(cartella) + "\\";
}
// The 32-bit Varniko.dll where this machine runs 32-bit programs (64-bit
// tree only), or an empty text.
std::string Varniko32() {
#ifdef _WIN64
    const char* v = std::getenv("TREVALTO_VARNIKO32");
    return v != nullptr ? v : "";
#else
    return "";
#endif
}

// Where the package puts the program and Varniko.dll.
std::string CartellaProgramma() {
    return Cartella(CSIDL_PROGRAM_FILES) + "\\Trevalto\\";
}
std::string CartellaVarniko() {
    return Cartella(CSIDL_PROGRAM_FILES_COMMON) + "\\Trevalto";
}
#ifdef _WIN64
std::string CartellaVarniko32() {
    return Cartella(CSIDL_PROGRAM_FILES_COMMONX86) + "\\Trevalto";
}
#endif

// Runs msiexec silently with a verbose log; its exit code, the log's text
// to log.
DWORD Msiexec(const std::string& argomenti, std::string* log = nullptr) {
    CartellaTemporanea dir;
    const std::string file = dir.File("msiexec.log");
    const DWORD esito =
        Esegui("msiexec " + argomenti + " /qn /l*v \"" + file + "\"", nullptr, 300000);
    if (log) *log = FromAnsi(CartellaTemporanea::Leggi(file));
    return esito;
}

// The product codes of every installed version of Trevalto.
std::vector<std::string> Prodotti() {
    std::vector<std::string> codici;
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

std::string Testo(uint32_t hive, const std::string& chiave, const char* nome, REGSAM vista = 0) {
    const auto v = test::LeggiGrezzo(hive, chiave, nome, vista);
    if (!v) return "<nessuno>";
    std::string t = v->dati;
    while (!t.empty() && t.back() == '\0')
        t.pop_back();
    return FromAnsi(t);
}

void Raccogli(HKEY radice, REGSAM vista, const std::string& prefisso, const std::string& chiave,
              std::set<std::string>& righe) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(radice, chiave.c_str(), 0, KEY_READ | vista, &k) != ERROR_SUCCESS) return;
    const ChiaveRegistro owner(k);
    righe.insert(prefisso + chiave);
    char nome[256];
    BYTE dati[2048];
    for (DWORD i = 0;; ++i) {
        DWORD n = sizeof nome, d = sizeof dati - 1, tipo = 0;
        if (RegEnumValueA(k, i, nome, &n, nullptr, &tipo, dati, &d) != ERROR_SUCCESS) break;
        dati[d] = 0;
        righe.insert(prefisso + chiave + "|" + nome + "=" + std::to_string(tipo) + ":" +
                     FromAnsi(reinterpret_cast<char*>(dati)));
    }
    std::vector<std::string> figli;
    for (DWORD i = 0;; ++i) {
        DWORD n = sizeof nome;
        if (RegEnumKeyExA(k, i, nome, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        figli.emplace_back(nome);
    }
    for (const auto& f : figli)
        Raccogli(radice, vista, prefisso, chiave + "\\" + f, righe);
}

// Every key and value of Varniko's registration, in each registry view,
// one line each ("view|key", "view|key|name=type:data"), with each folder
// given written as its name: the keys of two registrations compared as
// they are, wherever their files lie.
std::set<std::string> Registrazione(const std::vector<std::pair<std::string, std::string>>& nomi) {
    std::set<std::string> righe;
    for (const Vista& v : kViste)
        for (const char* radice : kRadici)
            Raccogli(HKEY_CLASSES_ROOT, v.sam, std::string(v.nome) + "|", radice, righe);
    std::set<std::string> scritte;
    for (std::string r : righe) {
        for (const auto& [cartella, nome] : nomi) {
            for (size_t p; !cartella.empty() && (p = r.find(cartella)) != std::string::npos;)
                r.replace(p, cartella.size(), nome);
        }
        scritte.insert(r);
    }
    return scritte;
}

#ifdef _WIN64
// Where this machine cannot run the 32-bit regsvr32, the registrations
// compare without the 32-bit build's part: its view, and its type
// library's entry in the key both views share.
std::set<std::string> Senza32(const std::set<std::string>& righe) {
    std::set<std::string> resto;
    for (const auto& r : righe)
        if (r.rfind("32|", 0) != 0 && r.find("win32") == std::string::npos &&
            r.find("<32>") == std::string::npos)
            resto.insert(r);
    return resto;
}
#endif

// A Start-menu shortcut of the package: the file it points at, or an empty
// text when there is none. Windows puts a per-machine package's shortcuts
// in the common Programs menu, Wine in the user's.
std::string Collegamento(const std::string& nome) {
    for (int csidl : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS}) {
        const std::string file = Cartella(csidl) + "\\Trevalto\\" + nome + ".lnk";
        if (!test::Esiste(file)) continue;
        ComPtr<IShellLinkA> link;
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                    reinterpret_cast<void**>(link.Indirizzo())))) {
            return "<nessun IShellLink>";
        }
        ComPtr<IPersistFile> persist;
        link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(persist.Indirizzo()));
        const std::wstring w(file.begin(), file.end());
        if (!persist || FAILED(persist->Load(w.c_str(), STGM_READ))) return "<illeggibile>";
        char bersaglio[MAX_PATH] = {};
        link->GetPath(bersaglio, sizeof bersaglio, nullptr, 0);
        return FromAnsi(bersaglio);
    }
    return "";
}

// The installed program, started from its installed place: it opens on
// the host's accounts and ends when closed.
void ApreSulleContiDelHost(const std::string& programma) {
    test::ProcessoTrevalto p(programma);
    std::string perche;
    ASSERT_TRUE(p.Avviato(perche)) << perche;
    EXPECT_EQ(SendMessageA(p.Controllo(FrmMain::kIdCboConti), CB_GETCOUNT, 0, 0), 5);
    PostMessageA(p.Principale(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(p.Fine(), 0u);
}

class PacchettoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(test::Esiste(Pacchetto())) << "no package: " << Pacchetto();
        Pulisci();
    }
    void TearDown() override { Pulisci(); }
    // Whatever a run that ended badly left of ours: every installed
    // version, a registration regsvr32 made, what a faulty package left in
    // the program's folder and key, the host's registration.
    static void Pulisci() {
        for (const auto& codice : Prodotti())
            Msiexec("/x " + codice);
        for (const Vista& v : kViste)
            for (const char* radice : kRadici)
                test::CancellaChiave(uxUtilita::kHkeyClassesRoot, radice, v.sam);
        test::CancellaChiave(kHklm, "Software\\Trevalto");
        test::Cancella(CartellaProgramma());
        DimenticaHost();
    }
    static void DimenticaHost() {
        test::DimenticaQuandora();
#ifdef _WIN64
        test::CancellaChiave(kHklm, test::kAppPathQuandora, KEY_WOW64_32KEY);
#endif
    }

    // The demo host in a folder of the test's, registered as its installer
    // registers it (on 64-bit Windows the 32-bit host's installer writes
    // the 32-bit view).
    std::string InstallaHost() {
        const std::string host = dir_.File("Quandora");
        EXPECT_TRUE(test::InstallaHostDemo(host));
#ifdef _WIN64
        test::DimenticaQuandora();
        test::ScriviGrezzo(kHklm, test::kAppPathQuandora, "", REG_SZ,
                           test::TestoSz(host + "\\quandora.exe"), KEY_WOW64_32KEY);
#endif
        return host;
    }

    // COM for the shortcuts' reading, from before SetUp to after TearDown.
    const ComInizializzato com_;
    CartellaTemporanea dir_;
};

TEST_F(PacchettoTest, InstallsRegistersLikeRegsvr32RunsAndUninstallsLeavingTheUserData) {
    // What regsvr32 registers, from nothing registered: this build's
    // library, then the 32-bit one where the machine runs it.
    const std::string bin = CartellaCompleta(CartellaModulo() + "..");
    const std::string dll32 = Varniko32();
    const std::string bin32 = dll32.empty() ? "" : dll32.substr(0, dll32.find_last_of('\\'));
    ASSERT_TRUE(Registrazione({}).empty());
    ASSERT_EQ(Esegui("regsvr32 /s \"" + bin + "\\Varniko.dll\""), 0u);
    if (!dll32.empty()) {
        ASSERT_EQ(Esegui("\"" + Wow64() + "regsvr32.exe\" /s \"" + dll32 + "\""), 0u);
    }
    const auto atteso = Registrazione({{bin, kPropria}, {bin32, "<32>"}});
    ASSERT_EQ(Esegui("regsvr32 /u /s \"" + bin + "\\Varniko.dll\""), 0u);
    if (!dll32.empty()) Esegui("\"" + Wow64() + "regsvr32.exe\" /u /s \"" + dll32 + "\"");
    ASSERT_TRUE(Registrazione({}).empty());

    const std::string host = InstallaHost();
    std::string log;
    ASSERT_EQ(Msiexec("/i \"" + Pacchetto() + "\"", &log), 0u) << log;

    const std::string programmi = CartellaProgramma();
    const std::string exe = programmi + "Trevalto.exe";
    std::vector<std::string> file = {exe, programmi + "Leggimi.htm",
                                     CartellaVarniko() + "\\Varniko.dll"};
#ifdef _WIN64
    file.push_back(CartellaVarniko32() + "\\Varniko.dll");
#endif
    for (const auto& f : file)
        EXPECT_TRUE(test::Esiste(f)) << f;
    EXPECT_FALSE(test::Esiste(programmi + "cfg.ini")) << "the host is registered";
    EXPECT_EQ(Collegamento(kNome), exe);
    EXPECT_EQ(Collegamento(std::string("Leggimi - ") + kNome), programmi + "Leggimi.htm");

    // Add/Remove Programs: name, version, publisher and the program's icon.
    const auto prodotti = Prodotti();
    ASSERT_EQ(prodotti.size(), 1u);
    const std::string arp = kUninstall + prodotti[0];
    EXPECT_EQ(Testo(kHklm, arp, "DisplayName"), kNome);
    EXPECT_EQ(Testo(kHklm, arp, "DisplayVersion"), TREVALTO_VERSIONE);
    EXPECT_EQ(Testo(kHklm, arp, "Publisher"), "Trevalto");
    const std::string icona = InfoProdotto(prodotti[0], INSTALLPROPERTY_PRODUCTICON);
    EXPECT_EQ(CartellaTemporanea::Leggi(icona).substr(0, 4), std::string("\0\0\1\0", 4)) << icona;

    // The COM keys are those regsvr32 writes, the files aside.
    std::vector<std::pair<std::string, std::string>> installati = {{CartellaVarniko(), kPropria}};
#ifdef _WIN64
    installati.emplace_back(CartellaVarniko32(), "<32>");
#endif
    const auto registrato = Registrazione(installati);
#ifdef _WIN64
    if (dll32.empty()) {
        EXPECT_EQ(Senza32(registrato), Senza32(atteso));
        // The 32-bit build's class and type library, where 32-bit clients
        // look for them.
        for (const char* riga :
             {"32|CLSID\\{DC36F8E6-67A4-4451-A4D4-C1BBA2485D78}\\InprocServer32|=1:<32>\\Varniko."
              "dll",
              "32|TypeLib\\{8D373D2A-8C5E-4DA8-95A3-8116A0607636}\\1.0\\0\\win32|=1:<32>\\Varniko."
              "dll",
              "32|Varniko.clsModuli\\CLSID|=1:{DC36F8E6-67A4-4451-A4D4-C1BBA2485D78}"})
            EXPECT_EQ(registrato.count(riga), 1u) << riga;
    } else {
        EXPECT_EQ(registrato, atteso);
    }
#else
    EXPECT_EQ(registrato, atteso);
#endif

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
    CartellaTemporanea::Scrivi(js,
                               "var o = new ActiveXObject(\"Varniko.clsModuli\");\r\n"
                               "WScript.Echo(o.GetCartellaQuandora());\r\n");
    std::vector<std::string> cscript = {"cscript"};
    if (!dll32.empty()) cscript.push_back("\"" + Wow64() + "cscript.exe\"");
    for (const auto& c : cscript) {
        std::string uscita;
        EXPECT_EQ(Esegui(c + " //nologo \"" + js + "\"", &uscita), 0u) << c << ": " << uscita;
        EXPECT_EQ(uscita, host + "\\\r\n") << c;
    }

    // The user's charts and pictures, saved beside the program (its
    // folder is the current one when it runs).
    const std::string vrt = programmi + "Saldo 2026.vrt";
    const std::string bmp = programmi + "Saldo 2026.bmp";
    CartellaTemporanea::Scrivi(vrt, "il grafico dell'utente");
    CartellaTemporanea::Scrivi(bmp, "BM l'immagine dell'utente");

    ASSERT_EQ(Msiexec("/x \"" + Pacchetto() + "\"", &log), 0u) << log;
    EXPECT_TRUE(Prodotti().empty());
    for (const auto& f : file)
        EXPECT_FALSE(test::Esiste(f)) << f;
    EXPECT_FALSE(test::Esiste(CartellaVarniko()));
#ifdef _WIN64
    EXPECT_FALSE(test::Esiste(CartellaVarniko32()));
#endif
    EXPECT_EQ(Collegamento(kNome), "");
    EXPECT_EQ(Collegamento(std::string("Leggimi - ") + kNome), "");
    for (int csidl : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS})
        EXPECT_FALSE(test::Esiste(Cartella(csidl) + "\\Trevalto"));
    EXPECT_FALSE(test::EsisteChiave(kHklm, arp));
    EXPECT_TRUE(Registrazione({}).empty());
    // The user's data stay: the host's database and module list, the
    // charts and pictures.
    EXPECT_EQ(CartellaTemporanea::Leggi(lista), moduli);
    EXPECT_TRUE(test::Esiste(host + "\\bnk\\quandora.mdb"));
    EXPECT_EQ(CartellaTemporanea::Leggi(vrt), "il grafico dell'utente");
    EXPECT_EQ(CartellaTemporanea::Leggi(bmp), "BM l'immagine dell'utente");
    DeleteFileA(ToAnsi(vrt).c_str());
    DeleteFileA(ToAnsi(bmp).c_str());
    RemoveDirectoryA(ToAnsi(programmi).c_str());
}

// A host the registry does not know, named on the command line: the
// package writes cfg.ini for the program and remembers the folder, so that
// a newer version installed over it needs not be told again; an older
// version over the newer refuses.
TEST_F(PacchettoTest, NewerVersionReplacesTheOlderInPlaceAndTheOlderRefuses) {
    const std::string host = InstallaHost();
    DimenticaHost();  // its files stay
    const std::string cfg = CartellaProgramma() + "cfg.ini";
    auto percorsoCfg = [&] {
        char valore[MAX_PATH] = {};
        GetPrivateProfileStringA("Quandora", "Path", "<nessuno>", valore, sizeof valore,
                                 ToAnsi(cfg).c_str());
        return FromAnsi(valore);
    };
    std::string log;
    ASSERT_EQ(Msiexec("/i \"" + PacchettoVecchio() + "\" QUANDORAPATH=\"" + host + "\"", &log), 0u)
        << log;
    auto prodotti = Prodotti();
    ASSERT_EQ(prodotti.size(), 1u);
    EXPECT_EQ(InfoProdotto(prodotti[0], INSTALLPROPERTY_VERSIONSTRING), TREVALTO_VERSIONE_VECCHIA);
    EXPECT_EQ(percorsoCfg(), host);
    const std::string vecchio = prodotti[0];

    ASSERT_EQ(Msiexec("/i \"" + Pacchetto() + "\"", &log), 0u) << log;
    prodotti = Prodotti();
    ASSERT_EQ(prodotti.size(), 1u);
    EXPECT_NE(prodotti[0], vecchio);
    EXPECT_EQ(InfoProdotto(prodotti[0], INSTALLPROPERTY_VERSIONSTRING), TREVALTO_VERSIONE);
    EXPECT_FALSE(test::EsisteChiave(kHklm, kUninstall + vecchio));
    EXPECT_EQ(percorsoCfg(), host);
    ApreSulleContiDelHost(CartellaProgramma() + "Trevalto.exe");

    EXPECT_NE(Msiexec("/i \"" + PacchettoVecchio() + "\" QUANDORAPATH=\"" + host + "\"", &log), 0u);
    EXPECT_NE(log.find("E' già installata una versione più recente di Grafico Trevalto Saldo."),
              std::string::npos)
        << log;
    EXPECT_EQ(Prodotti(), prodotti);

    // Quandora removed first, then the add-on: nothing of ours stays.
    ASSERT_TRUE(MoveFileA(ToAnsi(host).c_str(), ToAnsi(host + "_rimosso").c_str()));
    ASSERT_EQ(Msiexec("/x " + prodotti[0], &log), 0u) << log;
    EXPECT_FALSE(test::Esiste(cfg));
    EXPECT_FALSE(test::Esiste(CartellaProgramma()));
    EXPECT_FALSE(test::EsisteChiave(kHklm, "Software\\Trevalto"));
}

// Without the host, or with a folder that does not hold it, the package
// says why in Italian (in the log of a silent installation) and installs
// nothing.
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
        EXPECT_EQ(Msiexec("/i \"" + Pacchetto() + "\"" + argomenti, &log),
                  static_cast<DWORD>(ERROR_INSTALL_FAILURE));
        EXPECT_NE(log.find(messaggio), std::string::npos) << log;
        EXPECT_TRUE(Prodotti().empty());
        EXPECT_FALSE(test::Esiste(CartellaProgramma()));
        EXPECT_FALSE(test::Esiste(CartellaVarniko()));
        EXPECT_TRUE(Registrazione({}).empty());
    }
}

}  // namespace
}  // namespace quandora
