// The program as it is delivered: Trevalto.exe with its resources, started
// and closed like a person would; and the stand-in hosts, each quandora.exe
// built by quandora_host with the file version it was given, or none.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <functional>
#include <string>
#include <vector>

#include "chart/FrmMain_win32.h"
#include "host/DatiDemo.h"
#include "jet/JetScrittore.h"
#include "tests/database/dao_prova/DaoProva.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/HostDemo_win32.h"
#include "tests/support/Pixel_win32.h"
#include "tests/support/ProcessoTrevalto_win32.h"
#include "tests/support/QuandoraDiProva_win32.h"
#include "util/DataOle.h"
#include "util/Testo.h"
#include "util/Win32.h"

#include "util/Modulo.h"
#include "util/uxUtilita.h"

namespace quandora {
namespace {

std::string Host(const std::string& nome) {
    return CartellaModulo() + "..\\host\\" + nome + "\\quandora.exe";
}

TEST(HostSostitutivo, EachQuandoraExeHasTheVersionItWasBuiltWith) {
    const uxUtilita u;
    EXPECT_EQ(u.GetVersione(Host("quandora")), "3.3.0.0");
    EXPECT_EQ(u.GetVersione(Host("quandora_3_3_0_0")), "3.3.0.0");
    EXPECT_EQ(u.GetVersione(Host("quandora_3_2_9_9")), "3.2.9.9");
    EXPECT_EQ(u.GetVersione(Host("quandora_3_10_0_0")), "3.10.0.0");
    EXPECT_EQ(u.GetVersione(Host("quandora_4_0_1_7")), "4.0.1.7");
    // Without a version resource the file is there and reads as 0.0.0.0.
    EXPECT_EQ(u.GetVersione(Host("quandora_senza_versione")), "0.0.0.0");
    EXPECT_EQ(u.ConfrontaVersione(u.GetVersione(Host("quandora_senza_versione")), "3.3.0.0"), -1);
    EXPECT_NE(GetFileAttributesA(ToAnsi(Host("quandora_senza_versione")).c_str()),
              INVALID_FILE_ATTRIBUTES);
}

TEST(Programma, CarriesVersionManifestAndIcons) {
    const uxUtilita u;
    EXPECT_EQ(u.GetVersione(test::ProgrammaTrevalto()), "1.0.0.0");
    const Libreria file(LoadLibraryExA(ToAnsi(test::ProgrammaTrevalto()).c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_NE(file.get(), nullptr);
    const HRSRC manifesto = FindResourceA(file.get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(manifesto, nullptr);
    const std::string testo(
        static_cast<const char*>(LockResource(LoadResource(file.get(), manifesto))),
        SizeofResource(file.get(), manifesto));
    EXPECT_NE(testo.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(testo.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(testo.find("<dpiAware>true</dpiAware>"), std::string::npos);
    // The window's icon and the eleven 16 x 16 images, the toolbar's also
    // in grey.
    for (int id : {1, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 121, 122, 123, 124, 125,
                   126, 127, 128})
        EXPECT_NE(FindResourceA(file.get(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14)), nullptr)
            << id;
}

// The chart on the screen, read as a person sees it: its blue series and
// its black guides and labels.
size_t PixelBlu(HWND finestra) {
    return test::Blu(test::Schermo(test::AreaCliente(finestra)));
}
size_t PixelNeri(HWND finestra) {
    return test::Neri(test::Schermo(test::AreaCliente(finestra)));
}

// Whether a process has loaded a library of the name given.
bool HaCaricato(DWORD processo, const char* nome) {
    const Handle istantanea(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processo));
    if (istantanea.get() == INVALID_HANDLE_VALUE) return false;
    MODULEENTRY32 m = {};
    m.dwSize = sizeof m;
    for (BOOL ok = Module32First(istantanea.get(), &m); ok; ok = Module32Next(istantanea.get(), &m))
        if (lstrcmpiA(m.szModule, nome) == 0) return true;
    return false;
}

TEST(Programma, WithoutQuandoraItSaysSoAndEndsWithoutAWindow) {
    test::DimenticaQuandora();
    test::ProcessoTrevalto trevalto;
    const HWND box = trevalto.Finestra("#32770");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(test::TestoFinestra(box), "Errore");
    EXPECT_EQ(test::TestoBox(box), "E' necessario installare Quandora.");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(trevalto.Fine(), 0u);
}

// The start-up's refusals, each seen as a person sees it: its box, then the
// program ends without showing its window.
TEST(Programma, EachStartUpRefusalShowsItsBoxAndEndsTheProgram) {
    test::CartellaTemporanea dir;
    const std::string host = dir.File("Quandora");
    const std::string mdb = host + "\\bnk\\quandora.mdb";
    ASSERT_TRUE(test::InstallaHostDemo(host));
    host::DatiHost dati = host::DatiModello();
    struct Caso {
        const char* descrizione;
        std::function<void()> prepara;
        const char* titolo;
        const char* testo;
    };
    const Caso casi[] = {
        {"an old host",
         [&] {
             CopyFileA(ToAnsi(Host("quandora_3_2_9_9")).c_str(),
                       ToAnsi(host + "\\quandora.exe").c_str(), FALSE);
         },
         "Errore",
         "La versione di Quandora installata è una versione obsoleta. E' richiesta la versione "
         "3.3.0.0 o successiva. "},
        {"data of version 1",
         [&] {
             CopyFileA(ToAnsi(Host("quandora")).c_str(), ToAnsi(host + "\\quandora.exe").c_str(),
                       FALSE);
             dati.Versioni = {1};
             jet::ScriviFileJet3(mdb, host::TabelleHost(dati), PasswordQuandora);
         },
         "Attenzione",
         "Il file dati di Quandora non è aggiornato. E' necessario eseguire prima Quandora in "
         "modo che la struttura fisica dei dati venga aggiornata."},
        {"another password",
         [&] {
             dati.Versioni = {2};
             jet::ScriviFileJet3(mdb, host::TabelleHost(dati), "altra");
         },
         "Errore", "Errore database: impossibile accedere ai dati di quandora."},
    };
    for (const Caso& caso : casi) {
        SCOPED_TRACE(caso.descrizione);
        caso.prepara();
        test::ProcessoTrevalto trevalto;
        const HWND box = trevalto.Finestra("#32770");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(test::TestoFinestra(box), caso.titolo);
        EXPECT_EQ(test::TestoBox(box), caso.testo);
        EXPECT_EQ(trevalto.Cerca(FrmMain::kClasse), nullptr);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(trevalto.Fine(), 0u);
    }
    test::DimenticaQuandora();
}

TEST(Programma, StartsOnTheHostRunsAChartAndClosesAfterTheRun) {
    test::CartellaTemporanea dir;
    const std::string host = dir.File("Quandora");
    ASSERT_TRUE(test::InstallaHostDemo(host));

    test::ProcessoTrevalto trevalto;
    const HWND finestra = trevalto.Finestra(FrmMain::kClasse);
    ASSERT_NE(finestra, nullptr);
    EXPECT_EQ(test::TestoFinestra(finestra), "Modulo aggiuntivo Quandora [Grafico Trevalto Saldo]");
    EXPECT_FALSE(HaCaricato(GetProcessId(trevalto.Processo()), "DaoProva.dll"))
        << "no DAO registered: the built-in engine reads";
    const HWND conti = GetDlgItem(finestra, FrmMain::kIdCboConti);
    ASSERT_EQ(SendMessageA(conti, CB_GETCOUNT, 0, 0), 5);
    EXPECT_EQ(SendMessageA(conti, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageA(conti, CB_GETITEMDATA, 0, 0), -1);
    // The default range: 1 January of this year to today.
    SYSTEMTIME oggi;
    GetLocalTime(&oggi);
    const int giorni = static_cast<int>(DataSerial(oggi.wYear, oggi.wMonth, oggi.wDay) -
                                        DataSerial(oggi.wYear, 1, 1));
    char atteso[32];
    wsprintfA(atteso, "%03d", giorni);
    EXPECT_EQ(test::TestoFinestra(GetDlgItem(finestra, FrmMain::kIdLblTot)),
              std::string("Totale giorni: ") + atteso);

    // A run over the demo's last years, long enough to be caught running.
    SYSTEMTIME da{};
    da.wYear = 2021;
    da.wMonth = 1;
    da.wDay = 1;
    // The picker reads the date from memory inside the program.
    test::MemoriaRemota memoria(trevalto.Processo(), sizeof da);
    ASSERT_TRUE(memoria.Scrivi(0, &da, sizeof da));
    ASSERT_TRUE(SendMessageA(GetDlgItem(finestra, FrmMain::kIdDataIniziale), DTM_SETSYSTEMTIME,
                             GDT_VALID, memoria.Indirizzo()));
    const HWND elabora = GetDlgItem(finestra, FrmMain::kIdCmdElabora);
    PostMessageA(elabora, BM_CLICK, 0, 0);
    bool inCorso = false;
    for (int t = 0; t < 100 && !inCorso; ++t) {
        Sleep(50);
        inCorso = test::TestoFinestra(elabora) == "Interrompi";
    }
    ASSERT_TRUE(inCorso);
    // The close box is refused while the run works.
    PostMessageA(finestra, WM_SYSCOMMAND, SC_CLOSE, 0);
    Sleep(300);
    EXPECT_TRUE(IsWindow(finestra));
    for (int t = 0; t < 1200 && test::TestoFinestra(elabora) != "Elabora"; ++t)
        Sleep(50);
    ASSERT_EQ(test::TestoFinestra(elabora), "Elabora");
    // The bar goes once the chart is drawn, right after the button.
    const HWND stato = GetDlgItem(finestra, FrmMain::kIdStato);
    for (int t = 0; t < 100 && IsWindowVisible(stato); ++t)
        Sleep(50);
    EXPECT_FALSE(IsWindowVisible(stato));

    // The chart on the screen: the blue series and the black guides.
    const HWND grafico = GetDlgItem(finestra, FrmMain::kIdGrafico);
    // Read off the screen, as a person sees it.
    EXPECT_GT(PixelBlu(grafico), 200u);
    EXPECT_GT(PixelNeri(grafico), 200u);

    // After the run the close box closes the program.
    PostMessageA(finestra, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(trevalto.Fine(), 0u);
    test::DimenticaQuandora();
}

// Where Windows has DAO the program reads through it: the test's stand-in
// registered under DAO's class is loaded into the running program, which
// lists the accounts, draws a chart and ends cleanly (DAO's engine let go
// before COM ends).
TEST(Programma, ReadsThroughDaoWhenItIsRegistered) {
    const daoprova::Server dao(ToAnsi(CartellaModulo() + "..\\DaoProva.dll").c_str());
    ASSERT_TRUE(dao.Caricato());
    const daoprova::Registrato registrato(dao, daoprova::kClasseDao35);
    ASSERT_EQ(registrato.Esito(), S_OK);

    test::CartellaTemporanea dir;
    const std::string host = dir.File("Quandora");
    ASSERT_TRUE(test::InstallaHostDemo(host));

    test::ProcessoTrevalto trevalto;
    const HWND finestra = trevalto.Finestra(FrmMain::kClasse);
    if (finestra == nullptr) {
        const HWND box = trevalto.Cerca("#32770");
        FAIL() << (box != nullptr ? test::TestoFinestra(box) + ": " + test::TestoBox(box)
                                  : "no window, no box; exit " + std::to_string(trevalto.Fine()));
    }
    EXPECT_TRUE(HaCaricato(GetProcessId(trevalto.Processo()), "DaoProva.dll"));
    EXPECT_EQ(SendMessageA(GetDlgItem(finestra, FrmMain::kIdCboConti), CB_GETCOUNT, 0, 0), 5);
    const HWND elabora = GetDlgItem(finestra, FrmMain::kIdCmdElabora);
    PostMessageA(elabora, BM_CLICK, 0, 0);
    Sleep(300);
    for (int t = 0; t < 1200 && test::TestoFinestra(elabora) != "Elabora"; ++t)
        Sleep(50);
    Sleep(500);
    EXPECT_GT(PixelBlu(GetDlgItem(finestra, FrmMain::kIdGrafico)), 200u);
    PostMessageA(finestra, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(trevalto.Fine(), 0u);
    test::DimenticaQuandora();
}

}  // namespace
}  // namespace quandora
