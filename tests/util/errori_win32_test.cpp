// Error reports on the real platform: the message box Windows shows, read
// back off the screen, and the log file.

#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "tests/support/CartellaTemporanea.h"
#include "tests/support/Processo_win32.h"
#include "tests/support/Sistema_win32.h"
#include "util/Errore.h"
#include "util/Modulo.h"
#include "util/Testo.h"
#include "util/Win32.h"
#include "util/uxUtilita.h"

using namespace quandora;
using test::CartellaTemporanea;

namespace {

bool IconaInformazione(HWND box) {
    for (HWND s = nullptr; (s = FindWindowExA(box, s, "Static", nullptr)) != nullptr;) {
        if ((GetWindowLongA(s, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            return reinterpret_cast<HICON>(SendMessageA(s, STM_GETICON, 0, 0)) ==
                   LoadIconA(nullptr, IDI_INFORMATION);
    }
    return false;
}

}  // namespace

TEST(PrintErrore, ShowsTheRealBoxWithTitleTextAndIcon) {
    ErroreCorrente().Imposta(ErroreDiSistema(52));
    std::string titolo, testo;
    bool icona = false;
    std::thread lettore([&] {
        // Up to a minute: a loaded machine can be slow to show the first box.
        test::Attendi(
            [&] {
                const HWND box = FindWindowA("#32770", "Errore 52");
                if (box == nullptr || !IsWindowVisible(box)) return false;
                titolo = test::TestoFinestra(box);
                testo = test::TestoBox(box);
                icona = IconaInformazione(box);
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
    EXPECT_TRUE(icona);
    EXPECT_EQ(ErroreCorrente().Numero, 0);
}

TEST(ScriviLog, AnsiLinesWithItalianDateAndCrLfOrANewLog) {
    const uxUtilita u;
    CartellaTemporanea dir;
    const std::string file = dir.File("prova.log");
    ASSERT_TRUE(u.ScriviLog("prima riga è", file, true, false));
    ASSERT_TRUE(u.ScriviLog("seconda", "  " + file + "  ", false, false));
    const std::string testo = CartellaTemporanea::Leggi(file);
    SYSTEMTIME ora;
    GetLocalTime(&ora);
    static const char* mesi[] = {"gen", "feb", "mar", "apr", "mag", "giu",
                                 "lug", "ago", "set", "ott", "nov", "dic"};
    const std::regex forma(
        R"(^(\d{4})-([a-z]{3})-\d{2} \d{2}:\d{2}:\d{2} prima riga \xE8\r\nseconda\r\n$)");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(testo, m, forma)) << testo;
    EXPECT_EQ(std::stoi(m[1]), ora.wYear);
    EXPECT_EQ(m[2].str(), mesi[ora.wMonth - 1]);

    // A new log on request: the old lines are gone; also where there was none.
    ASSERT_TRUE(u.ScriviLog("nuovo", file, false, true));
    EXPECT_EQ(CartellaTemporanea::Leggi(file), "nuovo\r\n");
    ASSERT_TRUE(u.ScriviLog("riga", dir.File("mancante.log"), false, true));
    EXPECT_EQ(CartellaTemporanea::Leggi(dir.File("mancante.log")), "riga\r\n");

    // By default the program's name in its folder.
    const std::string predefinito = CartellaModulo() + "errori_win32_test.log";
    DeleteFileA(ToAnsi(predefinito).c_str());
    ASSERT_TRUE(u.ScriviLog("predefinito"));
    EXPECT_EQ(CartellaTemporanea::Leggi(predefinito).substr(20), " predefinito\r\n");
    DeleteFileA(ToAnsi(predefinito).c_str());
}

TEST(ScriviLog, FailsQuietlyWhereItCannotWrite) {
    const uxUtilita u;
    CartellaTemporanea dir;
    for (bool nuovo : {false, true})
        EXPECT_FALSE(u.ScriviLog("x", dir.File("non_esiste\\prova.log"), false, nuovo));
    EXPECT_FALSE(CartellaTemporanea::Esiste(dir.File("non_esiste")));

    // A log held open by another handle without sharing.
    const std::string file = dir.File("bloccato.log");
    Handle h(CreateFileA(ToAnsi(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(Valido(h));
    for (bool nuovo : {false, true})
        EXPECT_FALSE(u.ScriviLog("x", file, false, nuovo));
    h.reset();
    EXPECT_EQ(CartellaTemporanea::Leggi(file), "");
}
