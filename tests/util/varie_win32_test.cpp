// The remaining utilities on real windows, boxes, registry, shell and files.

#include <cstdlib>
#include <cstring>
#include <thread>

#include "tests/support/Processo_win32.h"
#include "tests/util/ProvaUx_win32.h"
#include "util/Com_win32.h"
#include "util/Errore.h"
#include "util/Gdi_win32.h"

// After windows.h, which they need.
#include <objbase.h>
#include <shlobj.h>

using namespace quandora;
using namespace quandora::test;

namespace {

// A top-level window whose client area has the given size.
HWND NuovaFinestra(const std::string& titolo, int larghezza, int altezza) {
    RECT r = {0, 0, larghezza, altezza};
    AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_TOPMOST);
    return CreateWindowExA(WS_EX_TOPMOST, "STATIC", ToAnsi(titolo).c_str(), WS_OVERLAPPEDWINDOW, 10,
                           10, r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr,
                           nullptr);
}

intptr_t H(HWND w) {
    return reinterpret_cast<intptr_t>(w);
}

using Varie = ProvaUx;

}  // namespace

TEST_F(Varie, WindowsUpperCaseCentreTopMostSelectAndShowByTitle) {
    EXPECT_EQ(u.KeyMaiuscolo('a'), 'A');
    EXPECT_EQ(u.KeyMaiuscolo('5'), '5');
    EXPECT_EQ(u.KeyMaiuscolo(0xE8), 0xC8);  // è -> È in Windows-1252

    HWND w = NuovaFinestra("Archivio Attività UXPROVA", 300, 200);
    ASSERT_NE(w, nullptr);
    RECT r;
    GetWindowRect(w, &r);
    const int larghezza = r.right - r.left, altezza = r.bottom - r.top;
    u.CentraForm(H(w));
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - larghezza) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - altezza) / 2);
    EXPECT_EQ(r.right - r.left, larghezza);
    HWND edit = CreateWindowExA(0, "EDIT", ToAnsi("Quandora più").c_str(), WS_CHILD | WS_VISIBLE, 0,
                                0, 100, 20, w, nullptr, nullptr, nullptr);
    u.CentraFormFiglio(H(w), H(edit));
    POINT p = {0, 0};
    MapWindowPoints(edit, w, &p, 1);
    EXPECT_EQ(p.x, (300 - 100) / 2);
    EXPECT_EQ(p.y, (200 - 20) / 2);

    // Neither moved nor sized.
    u.FinetraTopMost(H(w), false);
    EXPECT_EQ(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    RECT dopo;
    GetWindowRect(w, &dopo);
    EXPECT_TRUE(EqualRect(&dopo, &r));
    u.FinetraTopMost(H(w), true);
    EXPECT_NE(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

    SendMessageA(edit, EM_SETSEL, 3, 3);
    u.Evidenzia(H(edit));
    EXPECT_EQ(SendMessageA(edit, EM_GETSEL, 0, 0), MAKELRESULT(0, 12));

    // The first title containing the text, in any case, is shown.
    ASSERT_FALSE(IsWindowVisible(w));
    EXPECT_TRUE(u.ShowFinestraConTitolo("attività uxprova"));
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_FALSE(u.ShowFinestraConTitolo("nessuna finestra ha questo titolo uxprova"));
    EXPECT_FALSE(u.ShowFinestraConTitolo(""));
    DestroyWindow(w);
}

TEST_F(Varie, SfumaFormPaintsBandsThatStepAndWrap) {
    HWND w = NuovaFinestra("Sfumatura", 240, 120);
    ShowWindow(w, SW_SHOWNORMAL);
    UpdateWindow(w);
    auto pixel = [&](int x, int y) { return GetPixel(PrendiDC(w).get(), x, y); };

    // Defaults: pure blue, 60 bands of 2 pixels, 4 less per band, the whole width.
    u.SfumaForm(H(w));
    EXPECT_EQ(pixel(239, 0), RGB(0, 0, 255));
    EXPECT_EQ(pixel(0, 119), RGB(0, 0, 255 - 4 * 59));

    // Red 10 wraps below 0; green at 0 stays; blue 8 reaches 0 and stays.
    // 7 bands of 17.14 pixels: edges at 17, 34, 51, 69, 86, 103, 120.
    u.SfumaForm(H(w), RGB(10, 0, 8), 7, 4);
    const int bordi[] = {0, 17, 34, 51, 69, 86, 103, 120};
    const COLORREF colori[] = {RGB(10, 0, 8),  RGB(6, 0, 4),   RGB(2, 0, 0),  RGB(254, 0, 0),
                               RGB(250, 0, 0), RGB(246, 0, 0), RGB(242, 0, 0)};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(pixel(5, bordi[i]), colori[i]) << i;
        EXPECT_EQ(pixel(5, bordi[i + 1] - 1), colori[i]) << i;
    }
    // No bands: nothing drawn, nothing fails.
    u.SfumaForm(H(w), RGB(1, 2, 3), 0, 4);
    EXPECT_EQ(pixel(5, 0), RGB(10, 0, 8));
    DestroyWindow(w);
}

TEST(Sfoglia_Cartella, AsksThroughInterazioneOrTheRealDialog) {
    const uxUtilita u;
    HWND w = NuovaFinestra("Proprietario", 100, 100);
    {
        // The base Interazione answers as a cancel does.
        InterazioneRegistrata registrata;
        EXPECT_EQ(u.Sfoglia_Cartella(H(w), "Scegli"), "");
    }
    // Windows' own dialog, found by its owner, read and cancelled elsewhere.
    std::string istruzione;
    std::thread lettore([&] {
        Attendi([&] {
            for (HWND d : FinestreDi(GetCurrentProcessId(), "#32770")) {
                if (GetWindow(d, GW_OWNER) != w || !IsWindowVisible(d)) continue;
                istruzione = TestoBox(d);
                return PostMessageA(d, WM_COMMAND, IDCANCEL, 0) != 0;
            }
            return false;
        });
    });
    EXPECT_EQ(u.Sfoglia_Cartella(H(w), "Scegli la cartella dei dati"), "");
    lettore.join();
    EXPECT_EQ(istruzione, "Scegli la cartella dei dati");
    DestroyWindow(w);
}

TEST(PrintErrore, ShowsTheRealBoxWithTitleTextAndIcon) {
    ErroreCorrente().Imposta(ErroreDiSistema(52));
    std::string titolo, testo;
    HICON icona = nullptr;
    std::thread lettore([&] {
        // Up to a minute: a loaded machine can be slow to show the first box.
        Attendi(
            [&] {
                for (HWND box : FinestreDi(GetCurrentProcessId(), "#32770")) {
                    if (!IsWindowVisible(box)) continue;
                    titolo = TestoFinestra(box);
                    testo = TestoBox(box);
                    for (HWND s = nullptr; (s = FindWindowExA(box, s, "Static", nullptr));)
                        if ((GetWindowLongA(s, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                            icona = reinterpret_cast<HICON>(SendMessageA(s, STM_GETICON, 0, 0));
                    return PostMessageA(box, WM_COMMAND, IDOK, 0) != 0;
                }
                return false;
            },
            60000);
    });
    uxUtilita().PrintErroreEx("Apri File VRT");
    lettore.join();
    EXPECT_EQ(titolo, "Errore 52");
    // Accented text crosses the ANSI boundary intact.
    EXPECT_EQ(testo, "Apri File VRT: Impossibile leggere l'unità specificata.");
    EXPECT_EQ(icona, LoadIconA(nullptr, IDI_INFORMATION));
    EXPECT_EQ(ErroreCorrente().Numero, 0);
}

// "InfoSO|IsWindowsNT|IsDevEnvironment|InfoSOVersione" as UX_INFOSO tells,
// set by the test below, which runs a copy of this program under Windows
// versions of Wine's per-program setting; without it, the prefix's own
// Windows (7 in Wine 8), which reads as XP.
TEST(InfoSO, NamesAndCodesOfTheSystemThatRuns) {
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof v;
    ASSERT_TRUE(GetVersionExA(&v));
    const char* atteso = std::getenv("UX_INFOSO");
    const uxUtilita u;
    EXPECT_EQ(std::to_string(u.InfoSO()) + "|" + std::to_string(u.IsWindowsNT()) + "|" +
                  std::to_string(u.IsDevEnvironment()) + "|" + u.InfoSOVersione(),
              std::string(atteso ? atteso : "8|1|0|Windows XP") + " " +
                  std::to_string(v.dwMajorVersion) + "." + std::to_string(v.dwMinorVersion) + "." +
                  std::to_string(v.dwBuildNumber) + " " + v.szCSDVersion);
}

TEST_F(Varie, InfoSOUnderTheWindowsVersionsWineReports) {
    auto verifica = [&](const std::string& exe, const char* versione, const char* atteso) {
        const std::string chiave = "Software\\Wine\\AppDefaults\\" + u.DeterminaSoloFileName(exe);
        if (versione != nullptr) ScriviGrezzo(kCu, chiave, "Version", REG_SZ, TestoSz(versione));
        SetEnvironmentVariableA("UX_INFOSO", atteso);
        std::string uscita;
        EXPECT_EQ(Esegui("\"" + exe + "\" --gtest_filter=InfoSO.*", &uscita), 0u) << uscita;
        if (versione != nullptr) CancellaChiave(kCu, chiave);
    };
    // VB6.EXE is a development environment's name.
    const std::pair<const char*, const char*> casi[] = {
        {"win95", "3|0|0|Windows 95"},         {"win98", "5|0|0|Windows 98"},
        {"winme", "6|0|0|Windows Millennium"}, {"nt40", "4|1|0|Windows NT"},
        {"win2k", "7|1|0|Windows 2000"},       {"winxp", "8|1|0|Windows XP"}};
    const std::string programma = Copia("uxutilita_win32_test.exe", "info_so.exe");
    for (const auto& [versione, atteso] : casi)
        verifica(programma, versione, atteso);
    verifica(Copia("uxutilita_win32_test.exe", "VB6.EXE"), nullptr, "8|1|1|Windows XP");
    SetEnvironmentVariableA("UX_INFOSO", nullptr);
}

TEST_F(Varie, SeparatorsFollowTheRegionalSettingsAndTheVolumeSerial) {
    // The test prefix runs with Italian settings.
    EXPECT_EQ(u.GetSeparatoreDecimale(), ',');
    EXPECT_EQ(u.GetSeparatoreMigliaia(), '.');
    char prima[3][32] = {};
    const LCTYPE tipi[] = {LOCALE_SDECIMAL, LOCALE_STHOUSAND, LOCALE_SGROUPING};
    for (int i = 0; i < 3; ++i)
        GetLocaleInfoA(LOCALE_USER_DEFAULT, tipi[i], prima[i], sizeof prima[i]);
    SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, ".");
    SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, ",");
    EXPECT_EQ(u.GetSeparatoreDecimale(), '.');
    EXPECT_EQ(u.GetSeparatoreMigliaia(), ',');
    // A separator that is neither "," nor ".", or no grouping of the thousands.
    SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, "'");
    EXPECT_EQ(u.GetSeparatoreMigliaia(), 0);
    SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, ",");
    SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SGROUPING, "0");
    EXPECT_EQ(u.GetSeparatoreMigliaia(), 0);
    for (int i = 0; i < 3; ++i)
        SetLocaleInfoA(LOCALE_USER_DEFAULT, tipi[i], prima[i]);

    DWORD seriale = 0;
    ASSERT_TRUE(GetVolumeInformationA("C:\\", nullptr, 0, &seriale, nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(u.GetSerialHD(), std::to_string(static_cast<int32_t>(seriale)));
    EXPECT_EQ(u.GetSerialDrive("Q"), "");
}

TEST_F(Varie, RegistraServerByExtensionAndShellSospensivaWaitsForTheProgram) {
    const std::string dll = Copia("libreria_prova.dll", "prova.dll");
    const std::string ocx = Copia("libreria_prova.dll", "Prova2.OCX");
    EXPECT_TRUE(u.RegistraServer(dll));
    EXPECT_TRUE(u.DeRegistraServer(dll));  // its failure result does not count
    EXPECT_EQ(LeggiFile(dll + ".log"), "DllRegisterServer\r\nDllUnregisterServer\r\n");
    EXPECT_TRUE(u.RegistraServer(ocx));
    EXPECT_EQ(LeggiFile(ocx + ".log"), "DllRegisterServer\r\n");
    // A library without the entry point, a missing one, other names.
    EXPECT_FALSE(u.RegistraServer(u.GetWindowsSysDir() + "version.dll"));
    for (const std::string& nome : {base + "manca.dll", base + "prova.txt", std::string(".dll"),
                                    std::string(), base + "manca.exe"})
        EXPECT_FALSE(u.RegistraServer(nome)) << nome;

    // An executable server in a folder with a blank in its name. The program
    // writes only after a pause: its line is there because the call waited.
    CreateDirectoryA(ToAnsi(base + "Server Prova").c_str(), nullptr);
    const std::string exe = Copia("registra_argomenti.exe", "Server Prova\\server.exe");
    EXPECT_TRUE(u.RegistraServer(exe));
    EXPECT_EQ(PrimaRiga(LeggiFile(exe + ".log")), "\"" + exe + "\" /REGSERVER");
    DeleteFileA(ToAnsi(exe + ".log").c_str());
    EXPECT_TRUE(u.DeRegistraServer(exe));
    EXPECT_EQ(PrimaRiga(LeggiFile(exe + ".log")), "\"" + exe + "\" /UNREGSERVER");
    DeleteFileA(ToAnsi(exe + ".log").c_str());
    EXPECT_TRUE(u.ShellSospensiva("\"" + exe + "\""));
    EXPECT_EQ(PrimaRiga(LeggiFile(exe + ".log")), "\"" + exe + "\"");
}

// A file new to the machine counts from none, one already there as used once.
TEST_F(Varie, SharedFileCountsUpDownAndAway) {
    const std::string chiave = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
    const std::string file = "C:\\Programmi\\UxProva\\condiviso.dll";
    const std::string altro = "C:\\Programmi\\UxProva\\altro.ocx";
    CancellaValore(kLm, chiave, file);
    CancellaValore(kLm, chiave, altro);
    const bool cera = EsisteChiave(kLm, chiave);
    if (!cera) {
        // The counts are never written where the key is missing.
        EXPECT_FALSE(u.SetFileShared(file, true));
        EXPECT_FALSE(EsisteChiave(kLm, chiave));
        ASSERT_TRUE(ApriChiave(kLm, chiave, KEY_ALL_ACCESS, true));
    }
    // The count as stored, a DWORD; "-" where there is none.
    auto conteggio = [&](const std::string& nome) {
        const auto v = LeggiGrezzo(kLm, chiave, nome).value_or(ValoreGrezzo{0, "-"});
        uint32_t n = 0;
        std::memcpy(&n, v.dati.data(), v.dati.size() == 4 ? 4 : 0);
        return v.tipo == REG_DWORD ? std::to_string(n) : v.dati;
    };
    EXPECT_TRUE(u.SetFileShared(file, false));
    EXPECT_TRUE(u.SetFileShared(file, true));
    EXPECT_TRUE(u.SetFileShared(file, true));
    EXPECT_EQ(conteggio(file), "2");
    EXPECT_TRUE(u.SetFileShared(altro, true));
    for (const char* atteso : {"1", "0", "-"}) {
        EXPECT_TRUE(u.DecFileShared(file));
        EXPECT_EQ(conteggio(file), atteso);
    }
    EXPECT_FALSE(u.DecFileShared(file));  // nothing left to remove
    EXPECT_EQ(conteggio(altro), "1");
    CancellaValore(kLm, chiave, altro);
    if (!cera) CancellaChiave(kLm, chiave);
}

TEST_F(Varie, ServerPathsUninstallValuesAndAssociations) {
    const std::string clsid = "Clsid\\{6B1A0C57-3D0E-4C7B-9E51-0A2F6C1D9E11}";
    ASSERT_TRUE(ScriviGrezzo(kCr, "UxProva.Classe\\Clsid", "", REG_SZ, TestoSz(clsid.substr(6))));
    ASSERT_TRUE(ScriviGrezzo(kCr, clsid + "\\InprocServer32", "", REG_SZ, TestoSz("C:\\P\\a.ocx")));
    EXPECT_EQ(u.PathServerOcx("UxProva.Classe"), "C:\\P\\a.ocx");
    EXPECT_EQ(u.PathServerExe("UxProva.Classe"), "");
    ASSERT_TRUE(ScriviGrezzo(kCr, clsid + "\\LocalServer32", "", REG_SZ, TestoSz("C:\\P\\s.exe")));
    EXPECT_EQ(u.PathServerExe("UxProva.Classe"), "C:\\P\\s.exe");
    CancellaChiave(kCr, "UxProva.Classe");
    CancellaChiave(kCr, clsid);

    const std::string chiave = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\UxProva";
    CancellaChiave(kLm, chiave);
    EXPECT_FALSE(u.SetInfoDisinstallazione("UxProva", 1, "Prova", false));
    EXPECT_FALSE(EsisteChiave(kLm, chiave));
    const char* nomi[] = {"ApplicationName", "DisplayName", "UninstallString", "AppToUninstall"};
    for (int16_t i = 0; i < 4; ++i) {
        const std::string valore = "valore più " + std::to_string(i);
        EXPECT_TRUE(u.SetInfoDisinstallazione("UxProva", i, valore, true));
        EXPECT_EQ(ValoreSz(kLm, chiave, nomi[i]), TestoSz(ToAnsi(valore)));
        EXPECT_EQ(u.GetInfoDisinstallazione("UxProva", i), valore);
    }
    EXPECT_TRUE(u.SetInfoDisinstallazione("UxProva", 9, "predefinito", true));
    EXPECT_EQ(ValoreSz(kLm, chiave, ""), TestoSz("predefinito"));
    EXPECT_EQ(u.GetInfoDisinstallazione("UxProva", -1), "predefinito");
    EXPECT_TRUE(u.SetInfoDisinstallazione("UxProva", 1, "Nuovo", false));  // existing key
    // Left out, the create flag makes the write fail.
    EXPECT_FALSE(u.SetInfoDisinstallazione("UxProva", 1, "Altro"));
    EXPECT_EQ(u.GetInfoDisinstallazione("UxProva", 1), "Nuovo");
    CancellaChiave(kLm, chiave);

    const std::string programma = "C:\\Programmi\\Attività\\apri.exe";
    CancellaChiave(kCr, ".uxprova");
    ASSERT_TRUE(u.CreaAssociazione(programma, ".uxprova"));
    EXPECT_EQ(ValoreSz(kCr, ".uxprova", ""), std::string(1, '\0'));
    EXPECT_EQ(ValoreSz(kCr, ".uxprova\\Shell\\Open\\Command", ""),
              TestoSz(ToAnsi(programma) + " %1"));
    EXPECT_EQ(ValoreSz(kCr, ".uxprova\\DefaultIcon", ""), TestoSz(ToAnsi(programma) + ",0"));
    CancellaChiave(kCr, ".uxprova");
    // No extension: nothing is written at the root of the classes.
    ValoreSalvato radice(kCr, "", "");
    ScriviGrezzo(kCr, "", "", REG_SZ, TestoSz("radice"));
    EXPECT_FALSE(u.CreaAssociazione(programma, ""));
    EXPECT_EQ(ValoreSz(kCr, "", ""), TestoSz("radice"));
}

TEST_F(Varie, CreaCollegamentoMakesAShortcutThatReadsBack) {
    const std::string lnk = base + "Collegamento più.lnk";
    const std::string destinazione = base + "programma.exe";
    ScriviFile(destinazione, "MZ");
    ASSERT_TRUE(u.CreaCollegamento(lnk, destinazione, base));
    // The show command as the file holds it (at 0x3C of the header): Wine's
    // IShellLink reads every show command back as 1.
    const std::string contenuto = LeggiFile(lnk);
    ASSERT_GE(contenuto.size(), 0x40u);
    EXPECT_EQ(contenuto.substr(0x3C, 4), std::string("\x04\0\0\0", 4));
    const ComInizializzato com;
    ComPtr<IShellLinkA> link;
    ASSERT_TRUE(
        SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(link.Indirizzo()))));
    ComPtr<IPersistFile> file;
    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Indirizzo()));
    EXPECT_TRUE(SUCCEEDED(file->Load(Utf16DaUtf8(lnk).c_str(), STGM_READ)));
    char testo[MAX_PATH + 1] = {};
    link->GetPath(testo, MAX_PATH, nullptr, 0);
    EXPECT_EQ(FromAnsi(testo), destinazione);
    link->GetWorkingDirectory(testo, MAX_PATH);
    EXPECT_EQ(u.AggiungiSepDir(FromAnsi(testo)), base);
    int indice = -1;
    link->GetIconLocation(testo, MAX_PATH, &indice);
    EXPECT_EQ(FromAnsi(testo), destinazione);
    EXPECT_EQ(indice, 0);
    EXPECT_FALSE(u.CreaCollegamento(base + "manca\\x.lnk", destinazione, base));

    // Of the attributes only read-only goes.
    const std::string sola = base + "sola lettura.txt";
    ScriviFile(sola, "x");
    SetFileAttributesA(ToAnsi(sola).c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    u.EliminaReadOnly(sola);
    EXPECT_EQ(GetFileAttributesA(ToAnsi(sola).c_str()) &
                  (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
}

TEST_F(Varie, DecomprimiExpandsLzFilesAndCopiesPlainOnes) {
    // Windows' COMPRESS.EXE format: an LZSS stream over a 4096-byte window
    // that starts filled with blanks. Literals "Conto corrente ", a
    // reference to "Conto " (window position 0xFF0, length 6), a literal
    // "x", a reference to 4 of the window's starting blanks.
    const char lz[] =
        "SZDD\x88\xF0\x27\x33"
        "A_\x1A\0\0\0"
        "\xFF"
        "Conto co\x7F"
        "rrente \xF0\xF3\x01x\x00\x11";
    ScriviFile(base + "conti.tx_", std::string(lz, sizeof lz - 1));
    EXPECT_TRUE(u.Decomprimi(base + "conti.tx_", base + "conti.txt"));
    EXPECT_EQ(LeggiFile(base + "conti.txt"), "Conto corrente Conto x    ");

    ScriviFile(base + "semplice.dat", "dati semplici\r\n");
    EXPECT_TRUE(u.Decomprimi(base + "semplice.dat", base + "copia.dat"));
    EXPECT_EQ(LeggiFile(base + "copia.dat"), "dati semplici\r\n");

    EXPECT_FALSE(u.Decomprimi(base + "manca.dat", base + "mai.dat"));
    EXPECT_FALSE(Esiste(base + "mai.dat"));
    ScriviFile(base + "vuoto.dat", "");
    EXPECT_FALSE(u.Decomprimi(base + "vuoto.dat", base + "copia_vuota.dat"));
}
