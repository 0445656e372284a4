// Every path of the utility class gives back the kernel handles it takes
// (files, processes, threads, registry keys), counted before and after
// rounds of successes and failures by asking Windows about every handle
// value (Wine's GetProcessHandleCount answers 0). GDI objects cannot be
// counted so: the selection guard is checked by what the context holds.

#include <gtest/gtest.h>

#include "tests/support/InterazioneRegistrata.h"
#include "tests/support/Sistema_win32.h"
#include "util/Gdi_win32.h"
#include "util/uxUtilita.h"

using namespace quandora;
using namespace quandora::test;

namespace {

// The number of open handles of this process (handle values are multiples
// of 4; Wine hands out the lowest free ones).
DWORD HandleAperti() {
    DWORD n = 0;
    for (uintptr_t v = 4; v < 0x1000; v += 4) {
        DWORD flag = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(v), &flag)) ++n;
    }
    return n;
}

}  // namespace

TEST(Perdite, ASelectionPutsTheContextsOwnObjectBack) {
    const DCCreato dc = CreaDCMemoria(nullptr);
    const HGDIOBJ proprio = GetCurrentObject(dc.get(), OBJ_PEN);
    const Penna rossa(CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
    const Penna blu(CreatePen(PS_SOLID, 1, RGB(0, 0, 255)));
    {
        OggettoSelezionato selezionata(dc.get(), rossa.get());
        selezionata.Seleziona(dc.get(), blu.get());
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), blu.get());
        const OggettoSelezionato spostata(std::move(selezionata));
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), proprio);
}

TEST(Perdite, NoHandleKeyOrObjectStaysOpenOnAnyPath) {
    const uxUtilita u;
    const std::string base = CartellaProva("ux_perdite");
    InterazioneRegistrata box;
    const std::string file = base + "dati.txt";
    ScriviFile(file, "dati");
    Handle bloccato(CreateFileA(Ansi(base + "bloccato.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, 0, nullptr));
    const std::string chiave = "Software\\TrevaltoProva\\Perdite";
    const uint32_t cu = uxUtilita::kHkeyCurrentUser;
    ScriviGrezzo(cu, chiave, "Troppo", REG_SZ, std::string(2000, 'x'));
    HWND w = CreateWindowA("STATIC", "perdite", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                           nullptr, nullptr, nullptr);
    ShowWindow(w, SW_SHOWNORMAL);
    std::string lz = base + "lz.txt";
    const std::string programma = base + "prog.exe";
    CopyFileA(Ansi(CartellaBin() + "registra_argomenti.exe").c_str(), Ansi(programma).c_str(),
              FALSE);
    const std::string dll = base + "lib.dll";
    CopyFileA(Ansi(CartellaBin() + "libreria_prova.dll").c_str(), Ansi(dll).c_str(), FALSE);

    auto giro = [&] {
        std::string p = base + "a\\b\\c";
        u.CreaPercorsoDirectory(p);
        std::string q = base + "x\\in|valido\\c";
        u.CreaPercorsoDirectory(q);
        u.CartellaApplicazione("nessunoux.exe");
        u.FileAperto(file);
        u.FileAperto(base + "bloccato.txt");
        u.WriteAccess(base);
        u.WriteAccess(base + "manca");
        DeleteFileA(Ansi(u.GetFileTemporaneo()).c_str());
        u.CartellaDocumenti();
        u.LeggiINI(base + "x.ini", "S", "K", "d");
        u.ScriviINI(base + "x.ini", "S", "K", "v");
        u.ScriviINI(base + "manca\\x.ini", "S", "K", "v");
        u.SetInfoDisinstallazione("UxPerdite", 1, "x", true);
        u.SetInfoDisinstallazione("UxPerditeManca", 1, "x", false);
        u.GetInfoDisinstallazione("UxPerdite", 1);
        u.GetInfoDisinstallazione("UxPerditeManca", 1);
        u.PathServerOcx("WScript.Shell");
        u.PathServerExe("UxPerdite.Manca");
        u.SetFileShared("C:\\UxPerdite.dll", true);
        u.DecFileShared("C:\\UxPerdite.dll");
        u.DecFileShared("C:\\UxPerdite.dll");
        u.CreaAssociazione("C:\\x.exe", ".uxperdite");
        u.CreaAssociazione("C:\\x.exe", "");
        u.EseguiEx(0, base + "manca.txt", false);
        u.ShellSospensiva(base + "manca.exe");
        u.StartApplicazione("nessunoux.exe");
        u.RegistraServer(dll);
        u.RegistraServer(u.GetWindowsSysDir() + "version.dll");
        u.Decomprimi(file, lz);
        u.Decomprimi(file, base + "manca\\lz.txt");
        u.GetSerialHD();
        u.InfoSOVersione();
        u.SfumaForm(reinterpret_cast<intptr_t>(w));
        u.ShowFinestraConTitolo("perdite");
        u.CreaCollegamento(base + "c.lnk", programma, base);
        u.CreaCollegamento(base + "manca\\c.lnk", programma, base);
    };
    // The first round may load libraries and fill Windows' own caches.
    giro();
    u.ShellSospensiva(programma);
    const DWORD handle = HandleAperti();
    for (int i = 0; i < 5; ++i) {
        giro();
        u.ShellSospensiva(programma);
    }
    EXPECT_EQ(HandleAperti(), handle);

    DestroyWindow(w);
    bloccato.reset();
    CancellaChiave(cu, "Software\\TrevaltoProva");
    CancellaChiave(uxUtilita::kHkeyLocalMachine,
                   "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\UxPerdite");
    CancellaChiave(uxUtilita::kHkeyClassesRoot, ".uxperdite");
    Cancella(base);
}
