// Paths, folders, settings, logs and file versions on the prefix's real system.

#include <regex>
#include <set>
#include <tuple>

#include "tests/util/ProvaUx_win32.h"

using namespace quandora;
using namespace quandora::test;

namespace quandora {
class ProvaPrivatiUxUtilita {
  public:
    static bool Leggi(uint32_t hive, const std::string& chiave, const std::string& nome,
                      std::string& valore) {
        return uxUtilita().LeggiValoreRegistro(hive, chiave, nome, valore);
    }
};
}  // namespace quandora

using Percorsi = ProvaUx;

TEST_F(Percorsi, CreaPercorsoDirectoryMakesTheMissingLevelsAndStopsAtAFailure) {
    CreateDirectoryA(ToAnsi(base + "uno").c_str(), nullptr);
    // Accented names cross the ANSI boundary; the second time the folder is there.
    for (const char* cartella : {"uno\\due\\tre", "Attività\\Società"}) {
        for (int volta = 0; volta < 2; ++volta) {
            std::string path = base + cartella;
            EXPECT_TRUE(u.CreaPercorsoDirectory(path)) << cartella;
            EXPECT_EQ(path, base + cartella + "\\");
        }
        EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::u8path(base + cartella)))
            << cartella;
    }
    std::string spazi = "   ";
    EXPECT_FALSE(u.CreaPercorsoDirectory(spazi));
    EXPECT_EQ(spazi, "   ");
    // A level that is a file cannot become a folder.
    ScriviFile(base + "uno\\file.txt", "x");
    std::string sotto = base + "uno\\file.txt\\x\\";
    EXPECT_FALSE(u.CreaPercorsoDirectory(sotto));
    // An invalid name stops the walk; the level made before it stays.
    std::string invalido = base + "fatta\\non|valida\\dopo";
    EXPECT_FALSE(u.CreaPercorsoDirectory(invalido));
    EXPECT_EQ(invalido, base + "fatta\\non|valida\\dopo\\");
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::u8path(base + "fatta")));
}

TEST_F(Percorsi, ProgramWindowsSystemAndTemporaryFolders) {
    ASSERT_TRUE(SetCurrentDirectoryA(ToAnsi(base).c_str()));
    u.CurDirApp();
    EXPECT_TRUE(Esiste("uxutilita_win32_test.exe")) << "the program's folder is current";

    EXPECT_EQ(u.CartellaWindows(), "C:\\windows\\");
    EXPECT_EQ(u.GetWindowsSysDir(), "C:\\windows\\system32\\");
    char ambiente[MAX_PATH + 1] = {};
    GetEnvironmentVariableA("TEMP", ambiente, MAX_PATH);
    const std::string temp = u.GetDirectoryTemp();
    EXPECT_EQ(u.AggiungiSepDir(FromAnsi(ambiente)), temp);
    EXPECT_FALSE(u.DirectoryRete());
    const std::string a = u.GetFileTemporaneo();
    const std::string b = u.GetFileTemporaneo();
    EXPECT_NE(a, b);
    for (const auto& f : {a, b}) {
        EXPECT_EQ(f.rfind(temp + "ux", 0), 0u) << f;
        EXPECT_EQ(u.EstraiEstensione(f), "tmp");
        EXPECT_TRUE(Esiste(f));
        EXPECT_EQ(LeggiFile(f), "");
        DeleteFileA(ToAnsi(f).c_str());
    }
}

// WriteAccess probes with a file of its own and reports a failure once.
TEST_F(Percorsi, FileApertoAndWriteAccessTellAFileHeldWithoutSharing) {
    EXPECT_TRUE(u.WriteAccess(base.substr(0, base.size() - 1)));
    const std::string sonda = base + "853kwe47.tmp";
    EXPECT_FALSE(Esiste(sonda));
    EXPECT_FALSE(u.WriteAccess(base + "manca"));
    Handle h(
        CreateFileA(ToAnsi(sonda).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(Valido(h));
    EXPECT_TRUE(u.FileAperto(sonda));
    EXPECT_FALSE(u.WriteAccess(base));
    h.reset();
    EXPECT_FALSE(u.FileAperto(sonda));
    ASSERT_EQ(box.boxes.size(), 2u);
    EXPECT_EQ(box.boxes[0].titolo, "Errore");
    EXPECT_EQ(box.boxes[0].stile, mb::kOk | mb::kIconCritical);
    EXPECT_EQ(box.boxes[0].testo, "Errore # 76\rImpossibile trovare il percorso ");
    EXPECT_EQ(box.boxes[1].testo, "Errore # 70\rAutorizzazione negata");
    EXPECT_FALSE(u.FileAperto(base + "manca\\manca.dat"));
    EXPECT_FALSE(u.FileAperto(base));  // a folder is no file
    // A hidden file counts as not open, even when held.
    const Handle nascosto(CreateFileA(ToAnsi(base + "nascosto.dat").c_str(), GENERIC_WRITE, 0,
                                      nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr));
    EXPECT_FALSE(u.FileAperto(base + "nascosto.dat"));
}

TEST_F(Percorsi, IniReadsTrimmedValuesOrTheDefaultAndWritesAnsi) {
    const std::string ini = base + "cfg.ini";
    const std::string lungo(2500, 'a');
    ScriviFile(ini,
               "[Quandora]\r\nPath=   C:\\Programmi\\Quandora\\   \r\nVuoto=\r\nBianco=     \r\n"
               "Accenti=Attivit\xE0 e societ\xE0\r\n[Altro]\r\nPath=D:\\\r\nLungo=" +
                   lungo + "\r\n");
    EXPECT_EQ(u.LeggiINI(ini, "Quandora", "Path", "def"), "C:\\Programmi\\Quandora\\");
    EXPECT_EQ(u.LeggiINI(ini, "Altro", "Path", "def"), "D:\\");
    for (const char* chiave : {"Vuoto", "Bianco", "Manca"})
        EXPECT_EQ(u.LeggiINI(ini, "Quandora", chiave, "def"), "def") << chiave;
    EXPECT_EQ(u.LeggiINI(ini, "Quandora", "Accenti", ""), "Attività e società");
    // The buffer holds 2000 characters, one of them the terminator.
    EXPECT_EQ(u.LeggiINI(ini, "Altro", "Lungo", ""), lungo.substr(0, 1999));

    const std::string nuovo = base + "nuovo.ini";
    EXPECT_TRUE(u.ScriviINI(nuovo, "Quandora", "Path", "C:\\Quandora più\\"));
    EXPECT_TRUE(u.ScriviINI(nuovo, "Quandora", "Path", "E:\\Nuovo\\"));
    EXPECT_TRUE(u.ScriviINI(nuovo, "Quandora", "Accento", "è"));
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, ToAnsi(nuovo).c_str());  // flush
    EXPECT_EQ(LeggiFile(nuovo), "[Quandora]\r\nPath=E:\\Nuovo\\\r\nAccento=\xE8\r\n");
    EXPECT_FALSE(u.ScriviINI(base + "manca\\nuovo.ini", "S", "K", "V"));
}

// Writing is checked through the members that write.
TEST_F(Percorsi, RegistryReadsTextsAndNumbersWithinTheLimitOnly) {
    const std::string chiave = "Software\\TrevaltoProva\\Impostazioni";
    CancellaChiave(kCu, "Software\\TrevaltoProva");
    // Found but not read (REG_EXPAND_SZ): the caller's text stays as it was.
    // Not found: it is emptied.
    const std::tuple<const char*, DWORD, std::string, std::string> casi[] = {
        {"SenzaZero", REG_SZ, "testo", "testo"},
        {"Grande", REG_DWORD, std::string("\x00\x01\0\0", 4), "256"},
        {"Massimo", REG_DWORD, "\xFF\xFF\xFF\xFF", "4294967295"},
        {"Espandibile", REG_EXPAND_SZ, TestoSz("%TEMP%"), "vecchio"},
        {"Pieno", REG_SZ, TestoSz(std::string(1023, 'x')), std::string(1023, 'x')},
        {"Troppo", REG_SZ, TestoSz(std::string(1024, 'x')), ""},
        {"Vuoto", REG_SZ, "", ""},
    };
    for (const auto& [nome, tipo, dati, atteso] : casi) {
        ASSERT_TRUE(ScriviGrezzo(kCu, chiave, nome, tipo, dati));
        std::string v = "vecchio";
        EXPECT_EQ(ProvaPrivatiUxUtilita::Leggi(kCu, chiave, nome, v), !atteso.empty()) << nome;
        EXPECT_EQ(v, atteso) << nome;
    }
    for (const std::string& manca : {chiave, chiave + "\\Manca"}) {
        std::string v = "vecchio";
        EXPECT_FALSE(ProvaPrivatiUxUtilita::Leggi(kCu, manca, "Manca", v));
        EXPECT_EQ(v, "");
    }
    CancellaChiave(kCu, "Software\\TrevaltoProva");
}

TEST_F(Percorsi, ScriviLogWritesAnsiLinesWithAnItalianDateOrANewLogOrFailsQuietly) {
    const std::string file = base + "prova.log";
    ASSERT_TRUE(u.ScriviLog("prima riga è", file, true, false));
    ASSERT_TRUE(u.ScriviLog("seconda", "  " + file + "  ", false, false));
    SYSTEMTIME ora;
    GetLocalTime(&ora);
    static const char* mesi[] = {"gen", "feb", "mar", "apr", "mag", "giu",
                                 "lug", "ago", "set", "ott", "nov", "dic"};
    const std::regex forma(
        R"(^(\d{4})-([a-z]{3})-\d{2} \d{2}:\d{2}:\d{2} prima riga \xE8\r\nseconda\r\n$)");
    const std::string testo = LeggiFile(file);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(testo, m, forma)) << testo;
    EXPECT_EQ(std::stoi(m[1]), ora.wYear);
    EXPECT_EQ(m[2].str(), mesi[ora.wMonth - 1]);

    // A new log on request: the old lines are gone; also where there was none.
    ASSERT_TRUE(u.ScriviLog("nuovo", file, false, true));
    EXPECT_EQ(LeggiFile(file), "nuovo\r\n");
    ASSERT_TRUE(u.ScriviLog("riga", base + "mancante.log", false, true));
    EXPECT_EQ(LeggiFile(base + "mancante.log"), "riga\r\n");

    // A missing folder, or a log held open by another handle without sharing.
    Handle h(
        CreateFileA(ToAnsi(file).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(Valido(h));
    for (const std::string& dove : {base + "non_esiste\\prova.log", file})
        for (bool nuovo : {false, true})
            EXPECT_FALSE(u.ScriviLog("x", dove, false, nuovo)) << dove << nuovo;
    h.reset();
    EXPECT_FALSE(Esiste(base + "non_esiste"));
    EXPECT_EQ(LeggiFile(file), "nuovo\r\n");

    // By default the program's name in its folder.
    const std::string predefinito = CartellaBin() + "uxutilita_win32_test.log";
    DeleteFileA(ToAnsi(predefinito).c_str());
    ASSERT_TRUE(u.ScriviLog("predefinito"));
    EXPECT_EQ(LeggiFile(predefinito).substr(20), " predefinito\r\n");
    DeleteFileA(ToAnsi(predefinito).c_str());
}

// Programs built with known version resources, beside this one.
TEST_F(Percorsi, GetVersioneReadsTheFileVersionOrZero) {
    const std::string bin = CartellaBin();
    // The product version of this one is 9.9.9.9: only the file version counts.
    EXPECT_EQ(u.GetVersione(bin + "versione_4_0_1_7.exe"), "4.0.1.7");
    EXPECT_EQ(u.GetVersione(bin + "versione_40000_65535_1_2.exe"), "40000.65535.1.2");
    EXPECT_EQ(u.GetVersione(bin + "senza_versione.exe"), "0.0.0.0");
}

// The prefix's own values, but for "Common Pictures", which it lacks, and
// "Common Favorites", which is the user's own folder there.
TEST_F(Percorsi, SpecialFoldersEachMemberReadsAValueOfItsOwn) {
    const std::string shell =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    const ValoreSalvato documenti(kCu, shell, "Personal"), immagini(kLm, shell, "Common Pictures"),
        preferiti(kLm, shell, "Common Favorites");
    for (const auto& [hive, nome] :
         {std::pair{kCu, "Personal"}, {kLm, "Common Pictures"}, {kLm, "Common Favorites"}})
        ASSERT_TRUE(ScriviGrezzo(hive, shell, nome, REG_SZ,
                                 TestoSz(std::string(" C:\\Prova\\") + nome + " ")));
    EXPECT_EQ(u.CartellaDocumenti(), "C:\\Prova\\Personal\\");
    EXPECT_EQ(u.CartellaImmaginiTuttiUtenti(), "C:\\Prova\\Common Pictures\\");
    EXPECT_EQ(u.CartellaPreferitiTuttiUtenti(), "C:\\Prova\\Common Favorites\\");
    // Each member's folder, in folder form, none another's.
    const auto leggi = [&](auto... membri) {
        std::set<std::string> lette;
        for (const std::string& cartella : {(u.*membri)()...}) {
            ASSERT_GT(cartella.size(), 3u) << lette.size();
            EXPECT_EQ(cartella.back(), '\\') << cartella;
            EXPECT_TRUE(lette.insert(cartella).second) << cartella;
        }
    };
    using U = uxUtilita;
    leggi(&U::CartellaDocumenti, &U::CartellaDati, &U::CartellaDatiCondivisi, &U::CartellaCondivisi,
          &U::CartellaDesktop, &U::CartellaDesktopTuttiUtenti, &U::CartellaEsecuzioneAutomatica,
          &U::CartellaEsecuzioneAutomaticaTuttiUtenti, &U::CartellaPreferitiTuttiUtenti,
          &U::CartellaMenuAvvio, &U::CartellaMenuAvvioTuttiUtenti, &U::CartellaSendTo,
          &U::CartellaRecenti, &U::CartellaMenuProgrammi, &U::CartellaMenuProgrammiTuttiUtenti,
          &U::CartellaDocumentiCondivisi, &U::CartellaRisorseRete, &U::CartellaImmagini,
          &U::CartellaImmaginiTuttiUtenti, &U::CartellaCronologia, &U::CartellaFonts,
          &U::CartellaPreferiti, &U::CartellaCookies, &U::CartellaInternetTemp);
}
