// Error reports on the real platform: the message box Windows shows, read
// back off the screen, and the log file.

#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "tests/support/Processo_win32.h"
#include "tests/support/Sistema_win32.h"
#include "util/Errore.h"
#include "util/uxUtilita.h"

using namespace quandora;
using namespace quandora::test;

TEST(PrintErrore, ShowsTheRealBoxWithTitleTextAndIcon) {
    ErroreCorrente().Imposta(ErroreDiSistema(52));
    std::string titolo, testo;
    HICON icona = nullptr;
    std::thread lettore([&] {
        // Up to a minute: a loaded machine can be slow to show the first box.
        Attendi(
            [&] {
                const HWND box = FindWindowA("#32770", "Errore 52");
                if (box == nullptr || !IsWindowVisible(box)) return false;
                titolo = TestoFinestra(box);
                testo = TestoBox(box);
                for (HWND s = nullptr; (s = FindWindowExA(box, s, "Static", nullptr)) != nullptr;)
                    if ((GetWindowLongA(s, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                        icona = reinterpret_cast<HICON>(SendMessageA(s, STM_GETICON, 0, 0));
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return true;
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

TEST(ScriviLog, AnsiLinesWithItalianDateAndCrLfOrANewLogAndFailsQuietly) {
    const uxUtilita u;
    const std::string base = CartellaProva("ux_log");
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
    Handle h(CreateFileA(Ansi(file).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(Valido(h));
    for (const std::string& dove : {base + "non_esiste\\prova.log", file})
        for (bool nuovo : {false, true})
            EXPECT_FALSE(u.ScriviLog("x", dove, false, nuovo)) << dove << nuovo;
    h.reset();
    EXPECT_FALSE(Esiste(base + "non_esiste"));
    EXPECT_EQ(LeggiFile(file), "nuovo\r\n");

    // By default the program's name in its folder.
    const std::string predefinito = CartellaBin() + "uxutilita_win32_test.log";
    DeleteFileA(Ansi(predefinito).c_str());
    ASSERT_TRUE(u.ScriviLog("predefinito"));
    EXPECT_EQ(LeggiFile(predefinito).substr(20), " predefinito\r\n");
    DeleteFileA(Ansi(predefinito).c_str());
    Cancella(base);
}
