// bench_elaborazione: the time per day of a run of ten years over the demo
// data, through the real window (run button, progress, events, drawing),
// beside the database engine doing the same work alone (the database
// opened, the same queries, closed), and their ratio.
//
// Run under Wine in a prefix where the demo host is registered, or it
// prepares one itself in a temporary folder:
//   wine bench_elaborazione.exe

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "chart/Programma_win32.h"
#include "chart/clsQuery.h"
#include "database/AccessoDati.h"
#include "host/DatiDemo.h"
#include "util/Com_win32.h"
#include "util/Errore.h"
#include "util/Interazione.h"
#include "util/Modulo.h"
#include "util/Testo.h"
#include "util/Win32.h"

using namespace quandora;
using Orologio = std::chrono::steady_clock;

namespace {

double Secondi(Orologio::time_point da) {
    return std::chrono::duration<double>(Orologio::now() - da).count();
}

// The demo host in a temporary folder, registered as Quandora.
std::string PreparaHost() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string cartella = FromAnsi(temp) + "trevalto-bench";
    host::ScriviHost(cartella, DataSerial(2031, 1, 1));
    const std::string exe = cartella + "\\quandora.exe";
    CopyFileA(ToAnsi(CartellaModulo() + "host\\quandora\\quandora.exe").c_str(),
              ToAnsi(exe).c_str(), FALSE);
    HKEY k = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE,
                    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\quandora.exe", 0,
                    nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
    const ChiaveRegistro chiave(k);
    const std::string ansi = ToAnsi(exe);
    RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(ansi.c_str()),
                   static_cast<DWORD>(ansi.size() + 1));
    return cartella;
}

}  // namespace

int main() {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&icc);
    const ComInizializzato com;
    try {
        const std::string cartella = PreparaHost();
        const Data inizio = DataSerial(2021, 1, 1);
        const Data fine = DataSerial(2030, 12, 31);
        const int giorni = static_cast<int>(fine - inizio) + 1;

        ProgrammaTrevalto programma(false);
        if (!programma.Form_Initialize()) return 1;
        programma.Form_Load();
        ShowWindow(programma.Finestra().Finestra(), SW_SHOW);
        ScriviDataPicker(programma.Finestra().Finestra(Controllo::DataIniziale), inizio);
        ScriviDataPicker(programma.Finestra().Finestra(Controllo::DataFinale), fine);

        double migliore = 1e300;
        for (int volta = 0; volta < 3; ++volta) {
            const auto t = Orologio::now();
            programma.Run().cmdElabora_Click();
            migliore = std::min(migliore, Secondi(t));
        }
        if (programma.Grafico().Testata.NumeroGiorni != giorni) {
            std::fprintf(stderr, "the run did not complete\n");
            return 1;
        }

        // The engine alone, doing what a run asks of it: the database opened,
        // the same query for every day on that one connection, closed. The
        // first queries of a connection build its caches, so the database is
        // opened afresh each time, as every run opens it.
        clsQuery q;
        q.conto = -1;
        double motore = 1e300, somma = 0;
        for (int volta = 0; volta < 3; ++volta) {
            const auto t = Orologio::now();
            auto db = ApriDatabase(programma.Run().PercorsoDatabase);
            for (int i = 0; i < giorni; ++i) {
                q.data = inizio + i;
                auto rs = db->OpenRecordset(q.Query(), dbOpenForwardOnly);
                if (!rs->Eof()) {
                    const Valore v = rs->Campo("TotaleEuro");
                    if (!v.IsNull()) somma += v.ComeDoppio();
                }
                rs->Close();
            }
            db->Close();
            motore = std::min(motore, Secondi(t));
        }
        std::printf("giorni: %d (dal 01-01-2021 al 31-12-2030, tutti i conti)\n", giorni);
        std::printf("run through the window: %.3f s, %.1f us per day\n", migliore,
                    migliore / giorni * 1e6);
        std::printf(
            "engine alone (opened, every day's query, closed): %.3f s, %.1f us per day "
            "(checksum %.2f)\n",
            motore, motore / giorni * 1e6, somma);
        std::printf("window overhead per day: %.1f us\n", (migliore - motore) / giorni * 1e6);
        std::printf("run / engine ratio:      %.2f\n", migliore / motore);
    } catch (const Errore& e) {
        std::fprintf(stderr, "Errore %d: %s\n", e.Numero(), ToAnsi(e.Descrizione()).c_str());
        return 1;
    }
    return 0;
}
