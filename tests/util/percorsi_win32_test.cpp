// Paths and folders on the real file system and registry of the prefix.

#include <gtest/gtest.h>

#include "tests/support/InterazioneRegistrata.h"
#include "tests/support/Sistema_win32.h"
#include "util/Interazione.h"
#include "util/uxUtilita.h"

using namespace quandora;
using namespace quandora::test;

TEST(CreaPercorsoDirectory, CreatesTheMissingLevelsOrStopsAtTheFirstThatFails) {
    const uxUtilita u;
    const std::string base = CartellaProva("ux_crea");
    std::string path = base + "uno\\due\\tre";
    CreateDirectoryA(Ansi(base + "uno").c_str(), nullptr);
    EXPECT_TRUE(u.CreaPercorsoDirectory(path));
    EXPECT_EQ(path, base + "uno\\due\\tre\\");
    EXPECT_TRUE(EsisteCartella(base + "uno\\due\\tre"));
    // An existing folder: true, its content kept.
    ScriviFile(path + "resta.txt", "x");
    EXPECT_TRUE(u.CreaPercorsoDirectory(path));
    EXPECT_EQ(LeggiFile(path + "resta.txt"), "x");
    // Accented names cross the ANSI boundary.
    std::string accenti = base + "Attività\\Società\\";
    EXPECT_TRUE(u.CreaPercorsoDirectory(accenti));
    EXPECT_TRUE(EsisteCartella(base + "Attività\\Società"));

    std::string spazi = "   ";
    EXPECT_FALSE(u.CreaPercorsoDirectory(spazi));
    EXPECT_EQ(spazi, "   ");
    // A level that is a file cannot become a folder.
    std::string sotto = base + "uno\\due\\tre\\resta.txt\\x\\";
    EXPECT_FALSE(u.CreaPercorsoDirectory(sotto));
    // An invalid name stops the walk; the level made before it stays.
    std::string invalido = base + "fatta\\non|valida\\dopo";
    EXPECT_FALSE(u.CreaPercorsoDirectory(invalido));
    EXPECT_EQ(invalido, base + "fatta\\non|valida\\dopo\\");
    EXPECT_TRUE(EsisteCartella(base + "fatta"));
    std::string drive = "Q:\\manca\\";
    EXPECT_FALSE(u.CreaPercorsoDirectory(drive));
    Cancella(base);
}

TEST(CartellaApplicazione, ReadsTheApplicationPathEntry) {
    const uxUtilita u;
    const std::string chiave =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\provaux.exe";
    const uint32_t lm = uxUtilita::kHkeyLocalMachine;
    ASSERT_TRUE(ScriviGrezzo(lm, chiave, "", REG_SZ,
                             TestoSz(Ansi("C:\\Programmi\\Prova Più\\provaux.exe"))));
    EXPECT_EQ(u.CartellaApplicazione("provaux.exe"), "C:\\Programmi\\Prova Più\\");
    // A value of another type, or a bare file name: no folder.
    ASSERT_TRUE(ScriviGrezzo(lm, chiave, "", REG_DWORD, std::string("\x01\0\0\0", 4)));
    EXPECT_EQ(u.CartellaApplicazione("provaux.exe"), "");
    ASSERT_TRUE(ScriviGrezzo(lm, chiave, "", REG_SZ, TestoSz("provaux.exe")));
    EXPECT_EQ(u.CartellaApplicazione("provaux.exe"), "");
    CancellaChiave(lm, chiave);
    EXPECT_EQ(u.CartellaApplicazione(""), "");
    // A 32-bit program's installer registers it in the registry's 32-bit
    // view; a 64-bit build finds it there too.
    ASSERT_TRUE(ScriviGrezzo(lm, chiave, "", REG_SZ, TestoSz("C:\\Quandora32\\provaux.exe"),
                             KEY_WOW64_32KEY));
    EXPECT_EQ(u.CartellaApplicazione("provaux.exe"), "C:\\Quandora32\\");
    CancellaChiave(lm, chiave, KEY_WOW64_32KEY);
    EXPECT_EQ(u.CartellaApplicazione("provaux.exe"), "");
}

TEST(CartelleDiWindows, ProgramWindowsSystemAndTemporaryFolders) {
    const uxUtilita u;
    const std::string altrove = CartellaProva("ux_curdir");
    ASSERT_TRUE(SetCurrentDirectoryA(Ansi(altrove).c_str()));
    u.CurDirApp();
    EXPECT_TRUE(Esiste("uxutilita_win32_test.exe")) << "the program's folder is current";
    Cancella(altrove);

    EXPECT_EQ(u.CartellaWindows(), "C:\\windows\\");
    EXPECT_EQ(u.GetWindowsSysDir(), "C:\\windows\\system32\\");
    char ambiente[MAX_PATH + 1] = {};
    GetEnvironmentVariableA("TEMP", ambiente, MAX_PATH);
    const std::string temp = u.GetDirectoryTemp();
    EXPECT_EQ(u.AggiungiSepDir(FromAnsi(ambiente)), temp);
    EXPECT_FALSE(u.DirectoryRete());
    // A new empty file each time.
    const std::string a = u.GetFileTemporaneo();
    const std::string b = u.GetFileTemporaneo();
    EXPECT_NE(a, b);
    for (const auto& f : {a, b}) {
        EXPECT_EQ(f.rfind(temp + "ux", 0), 0u) << f;
        EXPECT_EQ(u.EstraiEstensione(f), "tmp");
        EXPECT_TRUE(Esiste(f));
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
    EXPECT_FALSE(u.FileAperto(base + "manca\\manca.dat"));
    EXPECT_FALSE(u.FileAperto(base));  // a folder is no file
    ScriviFile(base + "nascosto.dat", "x");
    SetFileAttributesA(Ansi(base + "nascosto.dat").c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(u.FileAperto(base + "nascosto.dat"));
    Cancella(base);
}

TEST(WriteAccess, ProbesAndCleansUpOrReportsOnce) {
    const uxUtilita u;
    const std::string base = CartellaProva("ux_scrittura");
    test::InterazioneRegistrata box;
    EXPECT_TRUE(u.WriteAccess(base.substr(0, base.size() - 1)));
    EXPECT_TRUE(box.boxes.empty());
    const std::string sonda = base + "853kwe47.tmp";
    EXPECT_FALSE(Esiste(sonda));

    EXPECT_FALSE(u.WriteAccess(base + "manca"));
    ASSERT_EQ(box.boxes.size(), 1u);
    EXPECT_EQ(box.boxes[0].titolo, "Errore");
    EXPECT_EQ(box.boxes[0].stile, mb::kOk | mb::kIconCritical);
    EXPECT_EQ(box.boxes[0].testo, "Errore # 76\rImpossibile trovare il percorso ");
    // The probe's name held open elsewhere without sharing.
    Handle h(
        CreateFileA(Ansi(sonda).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(Valido(h));
    EXPECT_FALSE(u.WriteAccess(base));
    ASSERT_EQ(box.boxes.size(), 2u);
    EXPECT_EQ(box.boxes[1].testo, "Errore # 70\rAutorizzazione negata");
    h.reset();
    Cancella(base);
}

TEST(CartelleSpeciali, MembersReadTheirOwnValueOfTheirOwnHive) {
    const uxUtilita u;
    const std::string shell =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    const uint32_t cu = uxUtilita::kHkeyCurrentUser, lm = uxUtilita::kHkeyLocalMachine;
    // A few of them, each with a value of its own: the user's and the
    // common folder of one name, both keys, the first and the last.
    const struct {
        uint32_t hive;
        std::string chiave, nome;
        std::string (uxUtilita::*membro)() const;
    } casi[] = {
        {cu, shell, "Personal", &uxUtilita::CartellaDocumenti},
        {lm, shell, "Common Documents", &uxUtilita::CartellaDocumentiCondivisi},
        {cu, shell, "My Pictures", &uxUtilita::CartellaImmagini},
        {lm, shell, "Common Pictures", &uxUtilita::CartellaImmaginiTuttiUtenti},
        {lm, "Software\\Microsoft\\Windows\\CurrentVersion", "CommonFilesDir",
         &uxUtilita::CartellaCondivisi},
        {cu, shell, "Cache", &uxUtilita::CartellaInternetTemp},
    };
    std::vector<std::unique_ptr<ValoreSalvato>> salvati;
    for (const auto& c : casi) {
        salvati.push_back(std::make_unique<ValoreSalvato>(c.hive, c.chiave, c.nome));
        ASSERT_TRUE(
            ScriviGrezzo(c.hive, c.chiave, c.nome, REG_SZ, TestoSz(" C:\\Prova\\" + c.nome + " ")));
    }
    for (const auto& c : casi)
        EXPECT_EQ((u.*c.membro)(), "C:\\Prova\\" + c.nome + "\\");
    ASSERT_TRUE(ScriviGrezzo(cu, shell, "Personal", REG_SZ, TestoSz("")));
    EXPECT_EQ(u.CartellaDocumenti(), "");
    CancellaValore(cu, shell, "Personal");
    EXPECT_EQ(u.CartellaDocumenti(), "");
    salvati.clear();
    // The prefix's own value, put back, reads as a folder.
    EXPECT_EQ(u.CartellaDocumenti().rfind("C:\\users\\", 0), 0u) << u.CartellaDocumenti();
}
