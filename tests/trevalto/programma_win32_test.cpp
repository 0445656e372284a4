// The program as it is delivered: Trevalto.exe with its resources, started
// on the stand-in host and closed like a person would; the start-up's
// refusal as a person sees it. Which refusal says what is the start-up's
// own test (tests/chart/avvio_win32_test.cpp); here the real box, and the
// program ending without its window.

#include <windows.h>

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <string>

#include "tests/database/dao_prova/DaoProva.h"
#include "tests/support/ProcessoTrevalto_win32.h"
#include "util/uxUtilita.h"

namespace quandora {
namespace {

using test::ProcessoTrevalto;

TEST(Programma, CarriesVersionManifestAndIcons) {
    EXPECT_EQ(uxUtilita().GetVersione(test::ProgrammaTrevalto()), "1.0.0.0");
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

// Whether a process has loaded a library of the name given.
bool HaCaricato(HANDLE processo, const char* nome) {
    const Handle istantanea(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetProcessId(processo)));
    MODULEENTRY32 m = {};
    m.dwSize = sizeof m;
    for (BOOL ok = Module32First(istantanea.get(), &m); ok; ok = Module32Next(istantanea.get(), &m))
        if (lstrcmpiA(m.szModule, nome) == 0) return true;
    return false;
}

TEST(Programma, WithoutQuandoraItSaysSoAndEndsWithoutAWindow) {
    test::DimenticaQuandora();
    ProcessoTrevalto p;
    const HWND box = p.Dialogo("Errore");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(test::TestoBox(box), "E' necessario installare Quandora.");
    EXPECT_EQ(p.Cerca(FrmMain::kClasse), nullptr);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(p.Fine(), 0u);
}

TEST(Programma, StartsOnTheHostRunsAChartAndClosesAfterTheRun) {
    const test::CartellaTemporanea dir;
    ASSERT_TRUE(test::InstallaHostDemo(dir.File("Quandora")));
    ProcessoTrevalto p;
    std::string perche;
    ASSERT_TRUE(p.Avviato(perche)) << perche;
    EXPECT_EQ(test::TestoFinestra(p.Principale()),
              "Modulo aggiuntivo Quandora [Grafico Trevalto Saldo]");
    EXPECT_FALSE(HaCaricato(p.Processo(), "DaoProva.dll"))
        << "no DAO registered: the built-in engine reads";
    const HWND conti = p.Controllo(FrmMain::kIdCboConti);
    ASSERT_EQ(SendMessageA(conti, CB_GETCOUNT, 0, 0), 5);
    EXPECT_EQ(SendMessageA(conti, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageA(conti, CB_GETITEMDATA, 0, 0), -1);
    // The default range: 1 January of this year to today.
    SYSTEMTIME oggi;
    GetLocalTime(&oggi);
    const double oggiOle = DataSerial(oggi.wYear, oggi.wMonth, oggi.wDay);
    char atteso[32];
    wsprintfA(atteso, "%03d", static_cast<int>(oggiOle - DataSerial(oggi.wYear, 1, 1)));
    EXPECT_EQ(test::TestoFinestra(p.Controllo(FrmMain::kIdLblTot)),
              std::string("Totale giorni: ") + atteso);

    // A run over the demo's last years, long enough to be caught running:
    // the close box is refused while it works.
    ASSERT_TRUE(p.Periodo(DataSerial(2021, 1, 1), oggiOle));
    ASSERT_TRUE(p.AvviaRun());
    SendMessageA(p.Principale(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(IsWindow(p.Principale()));
    // The bar goes once the chart is drawn, right after the button; the
    // chart on the screen: the blue series and the black guides.
    ASSERT_TRUE(p.AttendiFineRun());
    const test::Pixel grafico = p.Immagine();
    EXPECT_GT(test::Blu(grafico), 200u);
    EXPECT_GT(test::Neri(grafico), 200u);

    // After the run the close box closes the program.
    PostMessageA(p.Principale(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(p.Fine(), 0u);
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
    const test::CartellaTemporanea dir;
    ASSERT_TRUE(test::InstallaHostDemo(dir.File("Quandora")));

    ProcessoTrevalto p;
    std::string perche;
    ASSERT_TRUE(p.Avviato(perche)) << perche;
    EXPECT_TRUE(HaCaricato(p.Processo(), "DaoProva.dll"));
    EXPECT_EQ(SendMessageA(p.Controllo(FrmMain::kIdCboConti), CB_GETCOUNT, 0, 0), 5);
    ASSERT_TRUE(p.Elabora());
    EXPECT_GT(test::Blu(p.Immagine()), 200u);
    PostMessageA(p.Principale(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(p.Fine(), 0u);
    test::DimenticaQuandora();
}

}  // namespace
}  // namespace quandora
