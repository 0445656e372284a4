// Paths and folders on the real file system and registry of the prefix.

#include <gtest/gtest.h>

#include "tests/support/InterazioneRegistrata.h"
#include "tests/support/Sistema_win32.h"
#include "util/Interazione.h"
#include "util/uxUtilita.h"

using namespace quandora;
using namespace quandora::test;

namespace {
constexpr const char* kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
}

TEST(CreaPercorsoDirectory, CreatesTheMissingLevelsOneByOne) {
    const uxUtilita u;
    const std::string base = CartellaProva("ux_crea");
    std::string path = base + "uno\\due\\tre";
    CreateDirectoryA(Ansi(base + "uno").c_str(), nullptr);
    EXPECT_TRUE(u.CreaPercorsoDirectory(path));
    EXPECT_EQ(path, base + "uno\\due\\tre\\");
    EXPECT_TRUE(EsisteCartella(base + "uno\\due\\tre"));

    // An existing folder: true, the variable already in folder form.
    ScriviFile(base + "uno\\due\\tre\\resta.txt", "x");
    EXPECT_TRUE(u.CreaPercorsoDirectory(path));
    EXPECT_EQ(path, base + "uno\\due\\tre\\");
    EXPECT_EQ(LeggiFile(base + "uno\\due\\tre\\resta.txt"), "x");

    // Accented names cross the ANSI boundary.
    std::string accenti = base + "Attività\\Società\\";
    EXPECT_TRUE(u.CreaPercorsoDirectory(accenti));
    EXPECT_TRUE(EsisteCartella(base + "Attività\\Società"));
    Cancella(base);
}

TEST(CreaPercorsoDirectory, FailsWithoutUndoingTheLevelsMade) {
    const uxUtilita u;
    const std::string base = CartellaProva("ux_crea_errore");
    std::string vuoto;
    EXPECT_FALSE(u.CreaPercorsoDirectory(vuoto));
    EXPECT_EQ(vuoto, "");
    std::string spazi = "   ";
    EXPECT_FALSE(u.CreaPercorsoDirectory(spazi));
    EXPECT_EQ(spazi, "   ");

    // A level that is a file cannot become a folder.
    std::string sotto = base + "nuova\\file\\x\\";
    CreateDirectoryA(Ansi(base + "nuova").c_str(), nullptr);
    ScriviFile(base + "nuova\\file", "x");
    EXPECT_FALSE(u.CreaPercorsoDirectory(sotto));
    EXPECT_FALSE(Esiste(base + "nuova\\file\\x"));

    // An invalid name stops the walk; the level made before it stays.
    std::string invalido = base + "fatta\\non|valida\\dopo";
    EXPECT_FALSE(u.CreaPercorsoDirectory(invalido));
    EXPECT_EQ(invalido, base + "fatta\\non|valida\\dopo\\");
    EXPECT_TRUE(EsisteCartella(base + "fatta"));

    // A drive that does not exist.
    std::string drive = "Q:\\manca\\";
    EXPECT_FALSE(u.CreaPercorsoDirectory(drive));
    Cancella(base);
}

TEST(CartellaApplicazione, ReadsTheApplicationPathEntry) {
    const uxUtilita u;
    const std::string chiave = std::string(kAppPaths) + "provaux.exe";
    ASSERT_TRUE(ScriviGrezzo(uxUtilita::kHkeyLocalMachine, chiave, "", REG_SZ,
                             TestoSz(Ansi("C:\\Programmi\\Prova Più\\provaux.exe"))));
    EXPECT_EQ(u.CartellaApplicazione("provaux.exe"), "C:\\Programmi\\Prova Più\\");

    // A value of another type is found empty: no folder.
    ASSERT_TRUE(ScriviGrezzo(uxUtilita::kHkeyLocalMachine, chiave, "", REG_DWORD,
                             std::string("\x01\0\0\0", 4)));
    EXPECT_EQ(u.CartellaApplicazione("provaux.exe"), "");
    // A bare file name has no folder part.
    ASSERT_TRUE(
        ScriviGrezzo(uxUtilita::kHkeyLocalMachine, chiave, "", REG_SZ, TestoSz("provaux.exe")));
    EXPECT_EQ(u.CartellaApplicazione("provaux.exe"), "");
    CancellaChiave(uxUtilita::kHkeyLocalMachine, chiave);
    EXPECT_EQ(u.CartellaApplicazione("provaux.exe"), "");
    EXPECT_EQ(u.CartellaApplicazione(""), "");

    // A 32-bit program's installer registers it in the registry's 32-bit
    // view; a 64-bit build finds it there too (in a 32-bit build that view is
    // its own).
    ASSERT_TRUE(ScriviGrezzo(uxUtilita::kHkeyLocalMachine, chiave, "", REG_SZ,
                             TestoSz("C:\\Quandora32\\provaux.exe"), KEY_WOW64_32KEY));
    EXPECT_EQ(u.CartellaApplicazione("provaux.exe"), "C:\\Quandora32\\");
    CancellaChiave(uxUtilita::kHkeyLocalMachine, chiave, KEY_WOW64_32KEY);
    EXPECT_EQ(u.CartellaApplicazione("provaux.exe"), "");
}

TEST(CurDirApp, MakesTheModuleFolderCurrent) {
    const uxUtilita u;
    const std::string altrove = CartellaProva("ux_curdir");
    ASSERT_TRUE(SetCurrentDirectoryA(Ansi(altrove).c_str()));
    u.CurDirApp();
    char corrente[MAX_PATH + 1] = {};
    GetCurrentDirectoryA(MAX_PATH, corrente);
    std::string atteso = CartellaBin();
    atteso.pop_back();
    EXPECT_EQ(FromAnsi(corrente), atteso);
    // A relative name now resolves in the program's folder.
    EXPECT_TRUE(Esiste("uxutilita_win32_test.exe"));
    Cancella(altrove);
}

TEST(CartelleDiWindows, WindowsSystemAndTemporaryFoldersInFolderForm) {
    const uxUtilita u;
    EXPECT_EQ(u.CartellaWindows(), "C:\\windows\\");
    EXPECT_EQ(u.GetWindowsSysDir(), "C:\\windows\\system32\\");
    const std::string temp = u.GetDirectoryTemp();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '\\');
    EXPECT_TRUE(EsisteCartella(temp));
    char ambiente[MAX_PATH + 1] = {};
    GetEnvironmentVariableA("TEMP", ambiente, MAX_PATH);
    EXPECT_EQ(u.AggiungiSepDir(FromAnsi(ambiente)), temp);
    EXPECT_FALSE(u.DirectoryRete());
}

TEST(GetFileTemporaneo, CreatesANewEmptyFileEachTime) {
    const uxUtilita u;
    const std::string a = u.GetFileTemporaneo();
    const std::string b = u.GetFileTemporaneo();
    const std::string temp = u.GetDirectoryTemp();
    EXPECT_NE(a, b);
    for (const auto& f : {a, b}) {
        EXPECT_EQ(f.rfind(temp + "ux", 0), 0u) << f;
        EXPECT_EQ(u.EstraiEstensione(f), "tmp");
        ASSERT_TRUE(Esiste(f));
        EXPECT_EQ(LeggiFile(f), "");
        DeleteFileA(Ansi(f).c_str());
    }
}

TEST(FileAperto, TellsAFileHeldByAnotherHandle) {
    const uxUtilita u;
    const std::string base = CartellaProva("ux_aperto");
    const std::string file = base + "bloccato.dat";
    ScriviFile(file, "dati");
    EXPECT_FALSE(u.FileAperto(file));
    Handle h(CreateFileA(Ansi(file).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(Valido(h));
    EXPECT_TRUE(u.FileAperto(file));
    h.reset();
    // FileAperto itself closed what it opened: the file opens exclusively.
    EXPECT_FALSE(u.FileAperto(file));
    h.reset(CreateFileA(Ansi(file).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(Valido(h));
    h.reset();

    EXPECT_FALSE(u.FileAperto(base + "manca.dat"));
    EXPECT_FALSE(u.FileAperto(base + "manca\\manca.dat"));
    EXPECT_FALSE(u.FileAperto(base));  // a folder is no file
    const std::string nascosto = base + "nascosto.dat";
    ScriviFile(nascosto, "x");
    SetFileAttributesA(Ansi(nascosto).c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(u.FileAperto(nascosto));
    Cancella(base);
}

TEST(WriteAccess, ProbesAndCleansUpOrReportsOnce) {
    const uxUtilita u;
    const std::string base = CartellaProva("ux_scrittura");
    test::InterazioneRegistrata box;

    std::string senzaSep = base.substr(0, base.size() - 1);
    EXPECT_TRUE(u.WriteAccess(senzaSep));
    EXPECT_TRUE(box.boxes.empty());
    EXPECT_FALSE(Esiste(base + "853kwe47.tmp"));

    EXPECT_FALSE(u.WriteAccess(base + "manca"));
    ASSERT_EQ(box.boxes.size(), 1u);
    EXPECT_EQ(box.boxes[0].titolo, "Errore");
    EXPECT_EQ(box.boxes[0].stile, mb::kOk | mb::kIconCritical);
    EXPECT_EQ(box.boxes[0].testo, "Errore # 76\rImpossibile trovare il percorso ");
    EXPECT_FALSE(Esiste(base + "manca"));

    // The probe's name held open elsewhere without sharing.
    const std::string sonda = base + "853kwe47.tmp";
    Handle h(
        CreateFileA(Ansi(sonda).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(Valido(h));
    EXPECT_FALSE(u.WriteAccess(base));
    ASSERT_EQ(box.boxes.size(), 2u);
    EXPECT_EQ(box.boxes[1].testo, "Errore # 70\rAutorizzazione negata");
    h.reset();
    Cancella(base);
}

TEST(CartelleSpeciali, EveryMemberReadsItsOwnValue) {
    const uxUtilita u;
    const std::string shell =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    const std::string versione = "Software\\Microsoft\\Windows\\CurrentVersion";
    const uint32_t cu = uxUtilita::kHkeyCurrentUser;
    const uint32_t lm = uxUtilita::kHkeyLocalMachine;
    struct Caso {
        uint32_t hive;
        std::string chiave;
        std::string nome;
        std::string (uxUtilita::*membro)() const;
    };
    const std::vector<Caso> casi = {
        {cu, shell, "Personal", &uxUtilita::CartellaDocumenti},
        {cu, shell, "AppData", &uxUtilita::CartellaDati},
        {lm, shell, "Common AppData", &uxUtilita::CartellaDatiCondivisi},
        {lm, versione, "CommonFilesDir", &uxUtilita::CartellaCondivisi},
        {cu, shell, "Desktop", &uxUtilita::CartellaDesktop},
        {lm, shell, "Common Desktop", &uxUtilita::CartellaDesktopTuttiUtenti},
        {cu, shell, "Startup", &uxUtilita::CartellaEsecuzioneAutomatica},
        {lm, shell, "Common Startup", &uxUtilita::CartellaEsecuzioneAutomaticaTuttiUtenti},
        {lm, shell, "Common Favorites", &uxUtilita::CartellaPreferitiTuttiUtenti},
        {cu, shell, "Start Menu", &uxUtilita::CartellaMenuAvvio},
        {lm, shell, "Common Start Menu", &uxUtilita::CartellaMenuAvvioTuttiUtenti},
        {cu, shell, "SendTo", &uxUtilita::CartellaSendTo},
        {cu, shell, "Recent", &uxUtilita::CartellaRecenti},
        {cu, shell, "Programs", &uxUtilita::CartellaMenuProgrammi},
        {lm, shell, "Common Programs", &uxUtilita::CartellaMenuProgrammiTuttiUtenti},
        {lm, shell, "Common Documents", &uxUtilita::CartellaDocumentiCondivisi},
        {cu, shell, "NetHood", &uxUtilita::CartellaRisorseRete},
        {cu, shell, "My Pictures", &uxUtilita::CartellaImmagini},
        {lm, shell, "Common Pictures", &uxUtilita::CartellaImmaginiTuttiUtenti},
        {cu, shell, "History", &uxUtilita::CartellaCronologia},
        {cu, shell, "Fonts", &uxUtilita::CartellaFonts},
        {cu, shell, "Favorites", &uxUtilita::CartellaPreferiti},
        {cu, shell, "Cookies", &uxUtilita::CartellaCookies},
        {cu, shell, "Cache", &uxUtilita::CartellaInternetTemp},
    };
    ASSERT_EQ(casi.size(), 24u);
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        ValoreSalvato salvato(c.hive, c.chiave, c.nome);
        // Each value names a different folder, so a member reading another
        // member's value shows.
        ASSERT_TRUE(
            ScriviGrezzo(c.hive, c.chiave, c.nome, REG_SZ, TestoSz(" C:\\Prova\\" + c.nome + " ")));
        EXPECT_EQ((u.*c.membro)(), "C:\\Prova\\" + c.nome + "\\");
        ASSERT_TRUE(ScriviGrezzo(c.hive, c.chiave, c.nome, REG_SZ, TestoSz("")));
        EXPECT_EQ((u.*c.membro)(), "");
        CancellaValore(c.hive, c.chiave, c.nome);
        EXPECT_EQ((u.*c.membro)(), "");
    }
    // The prefix's own value, put back, reads as a folder.
    EXPECT_EQ(u.CartellaDocumenti().rfind("C:\\users\\", 0), 0u) << u.CartellaDocumenti();
}
