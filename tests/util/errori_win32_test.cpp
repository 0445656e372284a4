// Error reports on the real platform: the message box Windows shows, read
// back off the screen, and the log file.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "util/Errore.h"
#include "util/Modulo.h"
#include "util/Testo.h"
#include "util/Win32.h"
#include "util/uxUtilita.h"

using namespace quandora;

namespace {

struct BoxLetto {
    bool trovato = false;
    std::string titolo;
    std::string testo;
    bool iconaInformazione = false;
};

BOOL CALLBACK CercaIcona(HWND figlio, LPARAM param) {
    auto* letto = reinterpret_cast<BoxLetto*>(param);
    char classe[32] = {};
    GetClassNameA(figlio, classe, sizeof classe);
    if (lstrcmpiA(classe, "Static") == 0 &&
        (GetWindowLongA(figlio, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        const auto icona = reinterpret_cast<HICON>(SendMessageA(figlio, STM_GETICON, 0, 0));
        letto->iconaInformazione = icona != nullptr && icona == LoadIconA(nullptr, IDI_INFORMATION);
    } else if (lstrcmpiA(classe, "Static") == 0) {
        char testo[512] = {};
        GetWindowTextA(figlio, testo, sizeof testo);
        if (testo[0] != '\0') letto->testo = FromAnsi(testo);
    }
    return TRUE;
}

// Waits for a dialog box with the given title, reads it and presses OK.
BoxLetto LeggiEChiudiBox(const std::string& titolo) {
    BoxLetto letto;
    // Up to a minute: a loaded machine can be slow to show the first box.
    for (int i = 0; i < 600 && !letto.trovato; ++i) {
        HWND box = FindWindowA("#32770", ToAnsi(titolo).c_str());
        if (box != nullptr && IsWindowVisible(box)) {
            letto.trovato = true;
            char t[256] = {};
            GetWindowTextA(box, t, sizeof t);
            letto.titolo = FromAnsi(t);
            EnumChildWindows(box, CercaIcona, reinterpret_cast<LPARAM>(&letto));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        } else {
            Sleep(100);
        }
    }
    return letto;
}

std::string CartellaProva(const char* nome) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string cartella = FromAnsi(temp) + nome + "\\";
    CreateDirectoryA(ToAnsi(cartella).c_str(), nullptr);
    return cartella;
}

std::string LeggiFile(const std::string& percorso) {
    std::ifstream f(ToAnsi(percorso), std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

bool Esiste(const std::string& percorso) {
    return GetFileAttributesA(ToAnsi(percorso).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

TEST(PrintErroreSuSchermo, ShowsTheRealBoxWithTitleTextAndIcon) {
    const uxUtilita u;
    ErroreCorrente().Imposta(ErroreDiSistema(53));
    BoxLetto letto;
    std::thread lettore([&] { letto = LeggiEChiudiBox("Errore 53"); });
    u.PrintErroreEx("Apri File VRT");
    lettore.join();
    ASSERT_TRUE(letto.trovato);
    EXPECT_EQ(letto.titolo, "Errore 53");
    EXPECT_EQ(letto.testo, "Apri File VRT: Impossibile trovare il file");
    EXPECT_TRUE(letto.iconaInformazione);
    EXPECT_EQ(ErroreCorrente().Numero, 0);

    // Accented text crosses the ANSI boundary intact.
    ErroreCorrente().Imposta(ErroreDiSistema(52));
    std::thread secondo([&] { letto = LeggiEChiudiBox("Errore 52"); });
    u.PrintErrore();
    secondo.join();
    ASSERT_TRUE(letto.trovato);
    EXPECT_EQ(letto.testo, "Impossibile leggere l'unità specificata.");
}

TEST(ScriviLog, WritesAnsiLinesWithItalianDateAndCrLf) {
    const uxUtilita u;
    const std::string file = CartellaProva("trevalto_log") + "prova.log";
    DeleteFileA(ToAnsi(file).c_str());

    ASSERT_TRUE(u.ScriviLog("prima riga è", file, true, false));
    ASSERT_TRUE(u.ScriviLog("seconda", "  " + file + "  ", false, false));
    const std::string testo = LeggiFile(file);

    SYSTEMTIME ora;
    GetLocalTime(&ora);
    static const char* mesi[] = {"gen", "feb", "mar", "apr", "mag", "giu",
                                 "lug", "ago", "set", "ott", "nov", "dic"};
    const std::regex forma(
        R"(^(\d{4})-([a-z]{3})-(\d{2}) (\d{2}):(\d{2}):(\d{2}) prima riga \xE8\r\nseconda\r\n$)");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(testo, m, forma)) << testo;
    EXPECT_EQ(std::stoi(m[1]), ora.wYear);
    EXPECT_EQ(m[2].str(), mesi[ora.wMonth - 1]);
    EXPECT_EQ(testo.find(" prima"), 20u);

    // A new log on request: the old lines are gone.
    ASSERT_TRUE(u.ScriviLog("nuovo", file, false, true));
    EXPECT_EQ(LeggiFile(file), "nuovo\r\n");
    DeleteFileA(ToAnsi(file).c_str());
}

TEST(ScriviLog, StartsANewLogWhenThereIsNoneToDelete) {
    const uxUtilita u;
    const std::string file = CartellaProva("trevalto_log") + "mancante.log";
    DeleteFileA(ToAnsi(file).c_str());
    EXPECT_TRUE(u.ScriviLog("riga", file, false, true));
    EXPECT_EQ(LeggiFile(file), "riga\r\n");
    DeleteFileA(ToAnsi(file).c_str());
}

TEST(ScriviLog, FailsQuietlyWhereItCannotWrite) {
    const uxUtilita u;
    const std::string cartella = CartellaProva("trevalto_log");
    EXPECT_FALSE(u.ScriviLog("x", cartella + "non_esiste\\prova.log", false, false));
    EXPECT_FALSE(u.ScriviLog("x", cartella + "non_esiste\\prova.log", false, true));
    EXPECT_FALSE(Esiste(cartella + "non_esiste"));

    // A log held open by another handle without sharing.
    const std::string file = cartella + "bloccato.log";
    Handle h(CreateFileA(ToAnsi(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(Valido(h));
    EXPECT_FALSE(u.ScriviLog("x", file, false, false));
    EXPECT_FALSE(u.ScriviLog("x", file, false, true));
    h.reset();
    EXPECT_EQ(LeggiFile(file), "");
    DeleteFileA(ToAnsi(file).c_str());
}

TEST(ScriviLog, DefaultsToTheProgramsNameInItsFolder) {
    const uxUtilita u;
    const std::string file = CartellaModulo() + "errori_win32_test.log";
    DeleteFileA(ToAnsi(file).c_str());
    ASSERT_TRUE(u.ScriviLog("predefinito"));
    const std::string testo = LeggiFile(file);
    EXPECT_EQ(testo.size(), 20u + 1u + 11u + 2u) << testo;
    EXPECT_EQ(testo.substr(21), "predefinito\r\n");
    DeleteFileA(ToAnsi(file).c_str());
}
