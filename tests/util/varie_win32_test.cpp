// The remaining utilities on real windows, registry, shell, COM and files.

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "tests/support/InterazioneRegistrata.h"
#include "tests/support/Sistema_win32.h"
#include "util/Com_win32.h"
#include "util/Gdi_win32.h"
#include "util/uxUtilita.h"

// After windows.h, which they need.
#include <objbase.h>
#include <shlobj.h>

using namespace quandora;
using namespace quandora::test;

namespace {

LRESULT CALLBACK NonDisegna(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(w, &ps);
        EndPaint(w, &ps);
        return 0;
    }
    if (m == WM_ERASEBKGND) return 1;
    return DefWindowProcA(w, m, wp, lp);
}

void Registra() {
    static bool fatto = false;
    if (fatto) return;
    WNDCLASSA c = {};
    c.lpfnWndProc = NonDisegna;
    c.hInstance = GetModuleHandleA(nullptr);
    c.lpszClassName = "ProvaVarie";
    RegisterClassA(&c);
    fatto = true;
}

// A top-level window whose client area has the given size.
HWND NuovaFinestra(const char* titolo, int larghezza, int altezza, DWORD stile = 0) {
    Registra();
    RECT r = {0, 0, larghezza, altezza};
    AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_TOPMOST);
    return CreateWindowExA(WS_EX_TOPMOST, "ProvaVarie", titolo, WS_OVERLAPPEDWINDOW | stile, 10, 10,
                           r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

void ElaboraMessaggi() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

intptr_t H(HWND w) {
    return reinterpret_cast<intptr_t>(w);
}

std::string Copia(const std::string& da, const std::string& a) {
    CopyFileA(Ansi(da).c_str(), Ansi(a).c_str(), FALSE);
    return a;
}

}  // namespace

TEST(KeyMaiuscolo, UpperCaseInTheAnsiCodePage) {
    const uxUtilita u;
    EXPECT_EQ(u.KeyMaiuscolo('a'), 'A');
    EXPECT_EQ(u.KeyMaiuscolo('Z'), 'Z');
    EXPECT_EQ(u.KeyMaiuscolo('5'), '5');
    EXPECT_EQ(u.KeyMaiuscolo(0xE8), 0xC8);  // è -> È in Windows-1252
    EXPECT_EQ(u.KeyMaiuscolo(8), 8);        // backspace passes through
}

TEST(Finestre, CentreTopMostShowAndSelect) {
    const uxUtilita u;
    HWND w = NuovaFinestra("Centrata", 300, 200);
    ASSERT_NE(w, nullptr);
    RECT r;
    GetWindowRect(w, &r);
    const int larghezza = r.right - r.left;
    const int altezza = r.bottom - r.top;
    u.CentraForm(H(w));
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - larghezza) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - altezza) / 2);
    EXPECT_EQ(r.right - r.left, larghezza);

    HWND figlio = CreateWindowExA(0, "ProvaVarie", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 50, w,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    u.CentraFormFiglio(H(w), H(figlio));
    POINT p = {0, 0};
    MapWindowPoints(figlio, w, &p, 1);
    EXPECT_EQ(p.x, (300 - 100) / 2);
    EXPECT_EQ(p.y, (200 - 50) / 2);

    u.FinetraTopMost(H(w), false);
    EXPECT_EQ(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - larghezza) / 2);  // not moved
    u.FinetraTopMost(H(w), true);
    EXPECT_NE(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

    HWND edit = CreateWindowExA(0, "EDIT", Ansi("Quandora più").c_str(), WS_CHILD | WS_VISIBLE, 0,
                                0, 100, 20, w, nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(edit, EM_SETSEL, 3, 3);
    u.Evidenzia(H(edit));
    DWORD inizio = 99;
    DWORD fine = 99;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&inizio),
                 reinterpret_cast<LPARAM>(&fine));
    EXPECT_EQ(inizio, 0u);
    EXPECT_EQ(fine, 12u);
    DestroyWindow(w);
}

TEST(ShowFinestraConTitolo, FindsTheFirstTitleContainingTheText) {
    const uxUtilita u;
    HWND nascosta = NuovaFinestra(Ansi("Archivio Attività UXPROVA").c_str(), 100, 100);
    ASSERT_FALSE(IsWindowVisible(nascosta));
    EXPECT_TRUE(u.ShowFinestraConTitolo("attività uxprova"));
    EXPECT_TRUE(IsWindowVisible(nascosta));
    EXPECT_FALSE(u.ShowFinestraConTitolo("nessuna finestra ha questo titolo uxprova"));
    EXPECT_FALSE(u.ShowFinestraConTitolo(""));
    DestroyWindow(nascosta);
    EXPECT_FALSE(u.ShowFinestraConTitolo("attività uxprova"));
}

namespace {

struct Rgb {
    int r, g, b;
};

Rgb Pixel(HWND w, int x, int y) {
    const COLORREF c = GetPixel(PrendiDC(w).get(), x, y);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

}  // namespace

TEST(SfumaForm, PaintsBandsThatStepAndWrap) {
    const uxUtilita u;
    HWND w = NuovaFinestra("Sfumatura", 240, 120);
    ShowWindow(w, SW_SHOWNORMAL);
    UpdateWindow(w);
    ElaboraMessaggi();
    RECT interno;
    GetClientRect(w, &interno);
    ASSERT_EQ(interno.bottom, 120);

    // Defaults: pure blue, 60 bands of 2 pixels, 4 less per band.
    u.SfumaForm(H(w));
    for (int banda = 0; banda < 60; banda += 7) {
        for (int riga : {2 * banda, 2 * banda + 1}) {
            const Rgb c = Pixel(w, 120, riga);
            EXPECT_EQ(c.b, 255 - 4 * banda) << "riga " << riga;
            EXPECT_EQ(c.r, 0);
            EXPECT_EQ(c.g, 0);
        }
    }
    EXPECT_EQ(Pixel(w, 0, 119).b, 255 - 4 * 59);
    EXPECT_EQ(Pixel(w, 239, 119).b, 255 - 4 * 59);  // the whole width

    // Red 10 wraps below 0; green at 0 stays; blue 8 reaches 0 and stays.
    // 7 bands of 17.14 pixels: edges at 17, 34, 51, 69, 86, 103, 120.
    u.SfumaForm(H(w), RGB(10, 0, 8), 7, 4);
    const int bordi[] = {0, 17, 34, 51, 69, 86, 103, 120};
    const int rossi[] = {10, 6, 2, 254, 250, 246, 242};
    const int blu[] = {8, 4, 0, 0, 0, 0, 0};
    for (int i = 0; i < 7; ++i) {
        for (int riga : {bordi[i], bordi[i + 1] - 1}) {
            const Rgb c = Pixel(w, 5, riga);
            EXPECT_EQ(c.r, rossi[i]) << "riga " << riga;
            EXPECT_EQ(c.g, 0) << "riga " << riga;
            EXPECT_EQ(c.b, blu[i]) << "riga " << riga;
        }
    }
    // No bands: nothing drawn, nothing fails.
    u.SfumaForm(H(w), RGB(1, 2, 3), 0, 4);
    EXPECT_EQ(Pixel(w, 5, 0).r, 10);
    DestroyWindow(w);
}

namespace {

class InterazioneCartella : public InterazioneRegistrata {
  public:
    std::string SfogliaCartella(intptr_t hWnd, std::string_view titolo) override {
        proprietario = hWnd;
        istruzione = std::string(titolo);
        return risposta;
    }
    intptr_t proprietario = 0;
    std::string istruzione;
    std::string risposta;
};

struct DialogoLetto {
    bool trovato = false;
    bool istruzione = false;
};

BOOL CALLBACK CercaIstruzione(HWND figlio, LPARAM p) {
    char testo[256] = {};
    GetWindowTextA(figlio, testo, sizeof testo);
    if (FromAnsi(testo) == "Scegli la cartella dei dati")
        reinterpret_cast<DialogoLetto*>(p)->istruzione = true;
    return TRUE;
}

}  // namespace

TEST(Sfoglia_Cartella, AsksThroughInterazioneAndTheRealDialog) {
    const uxUtilita u;
    HWND w = NuovaFinestra("Proprietario", 100, 100);
    {
        InterazioneCartella interazione;
        interazione.risposta = "C:\\Dati";
        EXPECT_EQ(u.Sfoglia_Cartella(H(w), "Scegli"), "C:\\Dati");
        EXPECT_EQ(interazione.proprietario, H(w));
        EXPECT_EQ(interazione.istruzione, "Scegli");
    }
    {
        // The base Interazione answers as a cancel does.
        InterazioneRegistrata registrata;
        EXPECT_EQ(u.Sfoglia_Cartella(H(w), "Scegli"), "");
    }
    // Windows' own dialog, found, read and cancelled from another thread.
    DialogoLetto letto;
    std::thread lettore([&] {
        for (int i = 0; i < 100 && !letto.trovato; ++i) {
            Sleep(100);
            HWND d = nullptr;
            while ((d = FindWindowExA(nullptr, d, "#32770", nullptr)) != nullptr) {
                if (GetWindow(d, GW_OWNER) == w && IsWindowVisible(d)) {
                    letto.trovato = true;
                    EnumChildWindows(d, CercaIstruzione, reinterpret_cast<LPARAM>(&letto));
                    PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
                    break;
                }
            }
        }
    });
    const std::string scelta = u.Sfoglia_Cartella(H(w), "Scegli la cartella dei dati");
    lettore.join();
    EXPECT_TRUE(letto.trovato);
    EXPECT_TRUE(letto.istruzione);
    EXPECT_EQ(scelta, "");
    DestroyWindow(w);
}

namespace {

struct InfoLetta {
    std::vector<std::string> righe;
};

// Runs the helper program under the Windows version Wine reports to it
// (Wine's per-program setting) and reads its lines.
std::vector<std::string> InfoSotto(const std::string& programma, const char* versione) {
    const std::string nome = uxUtilita().DeterminaSoloFileName(programma);
    const std::string chiave = "Software\\Wine\\AppDefaults\\" + nome;
    if (versione != nullptr)
        ScriviGrezzo(uxUtilita::kHkeyCurrentUser, chiave, "Version", REG_SZ, TestoSz(versione));
    const std::string uscita = programma + ".txt";
    DeleteFileA(Ansi(uscita).c_str());
    uxUtilita().ShellSospensiva(programma, uscita);
    if (versione != nullptr) CancellaChiave(uxUtilita::kHkeyCurrentUser, chiave);
    std::vector<std::string> righe;
    std::istringstream testo(LeggiFile(uscita));
    for (std::string r; std::getline(testo, r);)
        righe.push_back(r);
    return righe;
}

}  // namespace

TEST(InfoSO, NamesAndCodesUnderEveryWindowsVersionWineReports) {
    const std::string base = CartellaProva("ux_infoso");
    const std::string programma = Copia(CartellaBin() + "info_so.exe", base + "info_so.exe");
    struct Caso {
        const char* versione;
        int codice;
        int nt;
        const char* nome;
        const char* numeri;
    };
    const Caso casi[] = {
        {"win95", 3, 0, "Windows 95", "1 4 0 "},          {"win98", 5, 0, "Windows 98", "1 4 10 "},
        {"winme", 6, 0, "Windows Millennium", "1 4 90 "}, {"nt40", 4, 1, "Windows NT", "2 4 0 "},
        {"win2k", 7, 1, "Windows 2000", "2 5 0 "},        {"winxp", 8, 1, "Windows XP", "2 5 1 "},
        {"win7", 8, 1, "Windows XP", "2 6 1 "},           {"win10", 8, 1, "Windows XP", "2 "},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.versione);
        const auto righe = InfoSotto(programma, c.versione);
        ASSERT_EQ(righe.size(), 5u);
        // What Windows reported: platform, major, minor, build|service pack.
        const std::string grezzo = righe[4];
        ASSERT_EQ(grezzo.rfind(c.numeri, 0), 0u) << grezzo;
        unsigned long piattaforma, maggiore, minore, build;
        ASSERT_EQ(std::sscanf(grezzo.c_str(), "%lu %lu %lu %lu", &piattaforma, &maggiore, &minore,
                              &build),
                  4);
        const std::string servicePack = grezzo.substr(grezzo.find('|') + 1);
        EXPECT_EQ(righe[0], std::to_string(c.codice));
        EXPECT_EQ(righe[1], std::to_string(c.nt));
        EXPECT_EQ(righe[2], std::string(c.nome) + " " + std::to_string(maggiore) + "." +
                                std::to_string(minore) + "." + std::to_string(build) + " " +
                                servicePack);
        EXPECT_EQ(righe[3], "0");
    }
    // The same program under a development environment's name.
    const std::string ide = Copia(programma, base + "VB6.EXE");
    const auto righe = InfoSotto(ide, nullptr);
    ASSERT_EQ(righe.size(), 5u);
    EXPECT_EQ(righe[3], "1");
    EXPECT_FALSE(uxUtilita().IsDevEnvironment());
    Cancella(base);
}

namespace {

// Keeps a setting of the user's locale and puts it back.
class ImpostazioneLocale {
  public:
    explicit ImpostazioneLocale(LCTYPE tipo) : tipo_(tipo) {
        char buffer[32] = {};
        GetLocaleInfoA(LOCALE_USER_DEFAULT, tipo_, buffer, sizeof buffer);
        prima_ = buffer;
    }
    ~ImpostazioneLocale() { SetLocaleInfoA(LOCALE_USER_DEFAULT, tipo_, prima_.c_str()); }
    void Imposta(const char* valore) { SetLocaleInfoA(LOCALE_USER_DEFAULT, tipo_, valore); }

  private:
    LCTYPE tipo_;
    std::string prima_;
};

}  // namespace

TEST(Separatori, FollowTheUsersRegionalSettings) {
    const uxUtilita u;
    // The test prefix runs with Italian settings.
    EXPECT_EQ(u.GetSeparatoreDecimale(), ',');
    EXPECT_EQ(u.GetSeparatoreMigliaia(), '.');
    {
        ImpostazioneLocale decimale(LOCALE_SDECIMAL);
        ImpostazioneLocale migliaia(LOCALE_STHOUSAND);
        decimale.Imposta(".");
        migliaia.Imposta(",");
        EXPECT_EQ(u.GetSeparatoreDecimale(), '.');
        EXPECT_EQ(u.GetSeparatoreMigliaia(), ',');
        // A separator that is neither "," nor ".".
        migliaia.Imposta("'");
        EXPECT_EQ(u.GetSeparatoreMigliaia(), 0);
        ImpostazioneLocale gruppi(LOCALE_SGROUPING);
        migliaia.Imposta(",");
        gruppi.Imposta("0");  // no grouping of the thousands
        EXPECT_EQ(u.GetSeparatoreMigliaia(), 0);
    }
    EXPECT_EQ(u.GetSeparatoreDecimale(), ',');
    EXPECT_EQ(u.GetSeparatoreMigliaia(), '.');
}

TEST(Seriale, VolumeSerialAsASignedNumber) {
    const uxUtilita u;
    DWORD seriale = 0;
    ASSERT_TRUE(GetVolumeInformationA("C:\\", nullptr, 0, &seriale, nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(u.GetSerialHD(), std::to_string(static_cast<int32_t>(seriale)));
    EXPECT_EQ(u.GetSerialDrive("C"), u.GetSerialHD());
    EXPECT_EQ(u.GetSerialDrive("Q"), "");
    EXPECT_EQ(u.GetSerialDrive(""), "");
}

TEST(RegistraServer, LibrariesAndExecutablesByExtension) {
    const uxUtilita u;
    const std::string base = CartellaProva("ux_registra");
    const std::string dll = Copia(CartellaBin() + "libreria_prova.dll", base + "prova.dll");
    const std::string ocx = Copia(CartellaBin() + "libreria_prova.dll", base + "Prova2.OCX");
    EXPECT_TRUE(u.RegistraServer(dll));
    EXPECT_TRUE(u.DeRegistraServer(dll));  // its failure result does not count
    EXPECT_EQ(LeggiFile(dll + ".log"), "DllRegisterServer\r\nDllUnregisterServer\r\n");
    EXPECT_TRUE(u.RegistraServer(ocx));
    EXPECT_EQ(LeggiFile(ocx + ".log"), "DllRegisterServer\r\n");

    // A library without the entry point, a missing one, other names.
    EXPECT_FALSE(u.RegistraServer(u.GetWindowsSysDir() + "version.dll"));
    EXPECT_FALSE(u.DeRegistraServer(u.GetWindowsSysDir() + "version.dll"));
    EXPECT_FALSE(u.RegistraServer(base + "manca.dll"));
    EXPECT_FALSE(u.RegistraServer(base + "prova.txt"));
    EXPECT_FALSE(u.RegistraServer(".dll"));
    EXPECT_FALSE(u.RegistraServer(""));

    // An executable server in a folder with a blank in its name.
    CreateDirectoryA(Ansi(base + "Server Prova").c_str(), nullptr);
    const std::string exe =
        Copia(CartellaBin() + "registra_argomenti.exe", base + "Server Prova\\server.exe");
    EXPECT_TRUE(u.RegistraServer(exe));
    EXPECT_EQ(PrimaRiga(LeggiFile(exe + ".log")), "\"" + exe + "\" /REGSERVER");
    DeleteFileA(Ansi(exe + ".log").c_str());
    EXPECT_TRUE(u.DeRegistraServer(exe));
    EXPECT_EQ(PrimaRiga(LeggiFile(exe + ".log")), "\"" + exe + "\" /UNREGSERVER");
    EXPECT_FALSE(u.RegistraServer(base + "manca.exe"));
    Cancella(base);
}

TEST(FileCondivisi, CountsUpDownAndAway) {
    const uxUtilita u;
    const uint32_t lm = uxUtilita::kHkeyLocalMachine;
    const std::string chiave = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
    const std::string file = "C:\\Programmi\\UxProva\\condiviso.dll";
    const std::string altro = "C:\\Programmi\\UxProva\\altro.ocx";
    CancellaValore(lm, chiave, file);
    CancellaValore(lm, chiave, altro);
    const bool cera = EsisteChiave(lm, chiave);
    if (!cera) {
        // The counts are never written where the key is missing.
        EXPECT_FALSE(u.SetFileShared(file, true));
        EXPECT_FALSE(EsisteChiave(lm, chiave));
        ASSERT_TRUE(ScriviGrezzo(lm, chiave, "UxSegnaposto", REG_DWORD, std::string(4, '\0')));
        CancellaValore(lm, chiave, "UxSegnaposto");
    }
    auto conteggio = [&](const std::string& nome) -> std::optional<uint32_t> {
        const auto v = LeggiGrezzo(lm, chiave, nome);
        if (!v) return std::nullopt;
        EXPECT_EQ(v->tipo, static_cast<DWORD>(REG_DWORD));
        uint32_t n = 0;
        std::memcpy(&n, v->dati.data(), 4);
        return n;
    };
    // A file new to the machine starts from no count; one already there
    // counts as used once.
    EXPECT_TRUE(u.SetFileShared(file, false));
    EXPECT_EQ(conteggio(file), 0u);
    EXPECT_TRUE(u.SetFileShared(file, true));
    EXPECT_EQ(conteggio(file), 1u);
    EXPECT_TRUE(u.SetFileShared(file, true));
    EXPECT_EQ(conteggio(file), 2u);
    EXPECT_TRUE(u.SetFileShared(altro, true));
    EXPECT_EQ(conteggio(altro), 1u);

    EXPECT_TRUE(u.DecFileShared(file));
    EXPECT_EQ(conteggio(file), 1u);
    EXPECT_TRUE(u.DecFileShared(file));
    EXPECT_EQ(conteggio(file), 0u);
    EXPECT_TRUE(u.DecFileShared(file));
    EXPECT_FALSE(conteggio(file).has_value());
    EXPECT_FALSE(u.DecFileShared(file));  // nothing left to remove
    EXPECT_EQ(conteggio(altro), 1u);
    CancellaValore(lm, chiave, altro);
    if (!cera) CancellaChiave(lm, chiave);
}

TEST(PathServer, ReadsTheClassLocationOfAProgrammaticIdentifier) {
    const uxUtilita u;
    const uint32_t cr = uxUtilita::kHkeyClassesRoot;
    const std::string clsid = "{6B1A0C57-3D0E-4C7B-9E51-0A2F6C1D9E11}";
    ASSERT_TRUE(ScriviGrezzo(cr, "UxProva.Classe\\Clsid", "", REG_SZ, TestoSz(clsid)));
    ASSERT_TRUE(ScriviGrezzo(cr, "Clsid\\" + clsid + "\\InprocServer32", "", REG_SZ,
                             TestoSz("C:\\Prog\\prova.ocx")));
    EXPECT_EQ(u.PathServerOcx("UxProva.Classe"), "C:\\Prog\\prova.ocx");
    EXPECT_EQ(u.PathServerExe("UxProva.Classe"), "");
    ASSERT_TRUE(ScriviGrezzo(cr, "Clsid\\" + clsid + "\\LocalServer32", "", REG_SZ,
                             TestoSz("C:\\Prog\\server.exe")));
    EXPECT_EQ(u.PathServerExe("UxProva.Classe"), "C:\\Prog\\server.exe");
    EXPECT_EQ(u.PathServerOcx("UxProva.Manca"), "");
    CancellaChiave(cr, "UxProva.Classe");
    CancellaChiave(cr, "Clsid\\" + clsid);
    EXPECT_EQ(u.PathServerOcx("UxProva.Classe"), "");
    // A class that Wine itself registers.
    std::string wshom = u.PathServerOcx("WScript.Shell");
    CharLowerBuffA(wshom.data(), static_cast<DWORD>(wshom.size()));
    EXPECT_NE(wshom.find("wshom.ocx"), std::string::npos) << wshom;
}

TEST(Disinstallazione, WritesAndReadsTheUninstallValues) {
    const uxUtilita u;
    const uint32_t lm = uxUtilita::kHkeyLocalMachine;
    const std::string chiave = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\UxProva";
    CancellaChiave(lm, chiave);
    EXPECT_FALSE(u.SetInfoDisinstallazione("UxProva", 1, "Prova", false));
    EXPECT_FALSE(EsisteChiave(lm, chiave));
    EXPECT_EQ(u.GetInfoDisinstallazione("UxProva", 1), "");

    const char* nomi[] = {"ApplicationName", "DisplayName", "UninstallString", "AppToUninstall"};
    for (int16_t i = 0; i < 4; ++i) {
        EXPECT_TRUE(
            u.SetInfoDisinstallazione("UxProva", i, "valore più " + std::to_string(i), true));
        const auto grezzo = LeggiGrezzo(lm, chiave, nomi[i]);
        ASSERT_TRUE(grezzo);
        EXPECT_EQ(grezzo->dati, TestoSz(Ansi("valore più " + std::to_string(i))));
    }
    for (int16_t i = 0; i < 4; ++i)
        EXPECT_EQ(u.GetInfoDisinstallazione("UxProva", i), "valore più " + std::to_string(i));
    EXPECT_TRUE(u.SetInfoDisinstallazione("UxProva", 9, "predefinito", true));
    EXPECT_EQ(LeggiGrezzo(lm, chiave, "")->dati, TestoSz("predefinito"));
    EXPECT_EQ(u.GetInfoDisinstallazione("UxProva", -1), "predefinito");
    // An existing key, written without creating.
    EXPECT_TRUE(u.SetInfoDisinstallazione("UxProva", 1, "Nuovo", false));
    EXPECT_EQ(u.GetInfoDisinstallazione("UxProva", 1), "Nuovo");
    // Left out, the create flag makes the write fail.
    EXPECT_FALSE(u.SetInfoDisinstallazione("UxProva", 1, "Altro"));
    EXPECT_EQ(u.GetInfoDisinstallazione("UxProva", 1), "Nuovo");
    CancellaChiave(lm, chiave);
}

TEST(CreaAssociazione, WritesCommandAndIconUnderTheExtension) {
    const uxUtilita u;
    const uint32_t cr = uxUtilita::kHkeyClassesRoot;
    const std::string programma = "C:\\Programmi\\Attività\\apri.exe";
    CancellaChiave(cr, ".uxprova");
    ASSERT_TRUE(u.CreaAssociazione(programma, ".uxprova"));
    EXPECT_EQ(LeggiGrezzo(cr, ".uxprova", "")->dati, std::string(1, '\0'));
    const auto comando = LeggiGrezzo(cr, ".uxprova\\Shell\\Open\\Command", "");
    ASSERT_TRUE(comando);
    EXPECT_EQ(comando->tipo, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(comando->dati, TestoSz(Ansi(programma) + " %1"));
    EXPECT_EQ(LeggiGrezzo(cr, ".uxprova\\DefaultIcon", "")->dati, TestoSz(Ansi(programma) + ",0"));

    // No extension: nothing is written at the root of the classes.
    ValoreSalvato radice(cr, "", "");
    ScriviGrezzo(cr, "", "", REG_SZ, TestoSz("radice"));
    EXPECT_FALSE(u.CreaAssociazione(programma, ""));
    EXPECT_EQ(LeggiGrezzo(cr, "", "")->dati, TestoSz("radice"));
    CancellaChiave(cr, ".uxprova");
}

TEST(CreaCollegamento, MakesAShortcutThatReadsBack) {
    const uxUtilita u;
    const std::string base = CartellaProva("ux_collegamento");
    const std::string lnk = base + "Collegamento più.lnk";
    const std::string destinazione = base + "programma.exe";
    ScriviFile(destinazione, "MZ");
    ASSERT_TRUE(u.CreaCollegamento(lnk, destinazione, base));
    ASSERT_TRUE(Esiste(lnk));
    // The show command as the file holds it (at 0x3C of the header).
    // (Wine's IShellLink reads every show command back as 1.)
    const std::string contenuto = LeggiFile(lnk);
    ASSERT_GE(contenuto.size(), 0x40u);
    EXPECT_EQ(contenuto.substr(0x3C, 4), std::string("\x04\0\0\0", 4));

    {
        const ComInizializzato com;
        ComPtr<IShellLinkA> link;
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                               IID_IShellLinkA,
                                               reinterpret_cast<void**>(link.Indirizzo()))));
        ComPtr<IPersistFile> file;
        link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Indirizzo()));
        const std::wstring largo = [&] {
            std::wstring w(MAX_PATH, L'\0');
            w.resize(MultiByteToWideChar(CP_ACP, 0, Ansi(lnk).c_str(), -1, w.data(), MAX_PATH) - 1);
            return w;
        }();
        EXPECT_TRUE(SUCCEEDED(file->Load(largo.c_str(), STGM_READ)));
        char testo[MAX_PATH + 1] = {};
        link->GetPath(testo, MAX_PATH, nullptr, 0);
        EXPECT_EQ(FromAnsi(testo), destinazione);
        link->GetWorkingDirectory(testo, MAX_PATH);
        EXPECT_EQ(u.AggiungiSepDir(FromAnsi(testo)), base);
        int indice = -1;
        link->GetIconLocation(testo, MAX_PATH, &indice);
        EXPECT_EQ(FromAnsi(testo), destinazione);
        EXPECT_EQ(indice, 0);
    }

    EXPECT_FALSE(u.CreaCollegamento(base + "manca\\x.lnk", destinazione, base));
    Cancella(base);
}

TEST(EliminaReadOnly, ClearsOnlyTheReadOnlyAttribute) {
    const uxUtilita u;
    const std::string base = CartellaProva("ux_readonly");
    const std::string file = base + "sola lettura.txt";
    ScriviFile(file, "x");
    SetFileAttributesA(Ansi(file).c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    u.EliminaReadOnly(file);
    EXPECT_EQ(
        GetFileAttributesA(Ansi(file).c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
        static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
    SetFileAttributesA(Ansi(file).c_str(), FILE_ATTRIBUTE_READONLY);
    u.EliminaReadOnly(file);
    EXPECT_EQ(GetFileAttributesA(Ansi(file).c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_TRUE(DeleteFileA(Ansi(file).c_str()));
    u.EliminaReadOnly(base + "manca.txt");
    Cancella(base);
}

namespace {

// A file in the LZ format of Windows' COMPRESS.EXE ("SZDD"): an LZSS stream
// over a 4096-byte window that starts filled with blanks, written at 4080.
// Each flag byte announces eight items, low bit first: 1 a literal byte, 0
// a two-byte reference (12-bit window position, length - 3).
std::string FileLzProva() {
    std::string dati;
    std::string flusso;
    // Items: literals "Conto corrente ", then a reference to the first 6
    // bytes ("Conto "), then literal "x", then a reference to 4 blanks the window started with.
    struct Voce {
        bool letterale;
        char c;
        int pos;
        int lung;
    };
    std::vector<Voce> voci;
    for (char c : std::string("Conto corrente "))
        voci.push_back({true, c, 0, 0});
    voci.push_back({false, 0, 0xFF0, 6});
    voci.push_back({true, 'x', 0, 0});
    voci.push_back({false, 0, 0x100, 4});
    for (size_t i = 0; i < voci.size(); i += 8) {
        unsigned char flag = 0;
        std::string gruppo;
        for (size_t j = 0; j < 8 && i + j < voci.size(); ++j) {
            const Voce& v = voci[i + j];
            if (v.letterale) {
                flag |= static_cast<unsigned char>(1u << j);
                gruppo += v.c;
            } else {
                gruppo += static_cast<char>(v.pos & 0xFF);
                gruppo += static_cast<char>(((v.pos >> 4) & 0xF0) | (v.lung - 3));
            }
        }
        flusso += static_cast<char>(flag);
        flusso += gruppo;
    }
    const uint32_t lunghezza = 15 + 6 + 1 + 4;
    dati = std::string("SZDD\x88\xF0\x27\x33", 8);
    dati += 'A';
    dati += '_';
    for (int i = 0; i < 4; ++i)
        dati += static_cast<char>((lunghezza >> (8 * i)) & 0xFF);
    return dati + flusso;
}

}  // namespace

TEST(Decomprimi, ExpandsLzFilesAndCopiesPlainOnes) {
    const uxUtilita u;
    const std::string base = CartellaProva("ux_lz");
    const std::string atteso = "Conto corrente Conto x    ";
    ScriviFile(base + "conti.tx_", FileLzProva());
    EXPECT_TRUE(u.Decomprimi(base + "conti.tx_", base + "conti.txt"));
    EXPECT_EQ(LeggiFile(base + "conti.txt"), atteso);

    ScriviFile(base + "semplice.dat", "dati semplici\r\n");
    EXPECT_TRUE(u.Decomprimi(base + "semplice.dat", base + "copia.dat"));
    EXPECT_EQ(LeggiFile(base + "copia.dat"), "dati semplici\r\n");

    EXPECT_FALSE(u.Decomprimi(base + "manca.dat", base + "mai.dat"));
    EXPECT_FALSE(Esiste(base + "mai.dat"));
    EXPECT_FALSE(u.Decomprimi(base + "semplice.dat", base + "manca\\copia.dat"));
    ScriviFile(base + "vuoto.dat", "");
    EXPECT_FALSE(u.Decomprimi(base + "vuoto.dat", base + "copia_vuota.dat"));
    // Nothing stays open: the files can be deleted.
    EXPECT_TRUE(DeleteFileA(Ansi(base + "conti.tx_").c_str()));
    EXPECT_TRUE(DeleteFileA(Ansi(base + "semplice.dat").c_str()));
    EXPECT_TRUE(DeleteFileA(Ansi(base + "copia_vuota.dat").c_str()));
    Cancella(base);
}
