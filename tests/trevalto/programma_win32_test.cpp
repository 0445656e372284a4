// The delivered Trevalto.exe: its resources, a start on the stand-in host
// and a close, and one start-up refusal's real box (which refusal says
// what: tests/chart/avvio_win32_test.cpp).

#include <windows.h>

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <optional>
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

// On the stand-in host, read by the built-in engine and then, where DAO is
// registered (the test's stand-in under DAO's class), through DAO, let go
// before COM ends: the accounts listed, a chart drawn, a clean close.
TEST(Programma, StartsOnTheHostRunsAChartAndClosesThroughEitherEngine) {
    for (const bool conDao : {false, true}) {
        SCOPED_TRACE(conDao ? "DAO" : "built-in engine");
        std::optional<daoprova::Server> dao;
        std::optional<daoprova::Registrato> registrato;
        if (conDao) {
            dao.emplace(ToAnsi(CartellaModulo() + "..\\DaoProva.dll").c_str());
            ASSERT_TRUE(dao->Caricato());
            registrato.emplace(*dao, daoprova::kClasseDao35);
            ASSERT_EQ(registrato->Esito(), S_OK);
        }
        const test::CartellaTemporanea dir;
        ASSERT_TRUE(test::InstallaHostDemo(dir.File("Quandora")));
        ProcessoTrevalto p;
        std::string perche;
        ASSERT_TRUE(p.Avviato(perche)) << perche;
        EXPECT_EQ(HaCaricato(p.Processo(), "DaoProva.dll"), conDao);
        const HWND conti = p.Controllo(FrmMain::kIdCboConti);
        ASSERT_EQ(SendMessageA(conti, CB_GETCOUNT, 0, 0), 5);
        if (conDao) {
            ASSERT_TRUE(p.Elabora());
        } else {
            EXPECT_EQ(test::TestoFinestra(p.Principale()),
                      "Modulo aggiuntivo Quandora [Grafico Trevalto Saldo]");
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
            // A run long enough to be caught running: the close box refused.
            ASSERT_TRUE(p.Periodo(DataSerial(2021, 1, 1), oggiOle));
            ASSERT_TRUE(p.AvviaRun());
            SendMessageA(p.Principale(), WM_SYSCOMMAND, SC_CLOSE, 0);
            EXPECT_TRUE(IsWindow(p.Principale()));
            ASSERT_TRUE(p.AttendiFineRun());
        }
        // The chart on the screen: the blue series and the black guides.
        const test::Pixel grafico = p.Immagine();
        EXPECT_GT(test::Blu(grafico), 200u);
        EXPECT_GT(test::Neri(grafico), 200u);
        PostMessageA(p.Principale(), WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(p.Fine(), 0u);
        test::DimenticaQuandora();
    }
}

}  // namespace
}  // namespace quandora
