// The delivered Trevalto.exe on a stand-in host, driven from outside: what
// only the running program shows (its resources, real boxes, dialogs, menu
// and tooltip, the screen, the files written, the clipboard, printing).

#include <windows.h>

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <optional>
#include <string>
#include <tuple>

#include "chart/Formati.h"
#include "chart/Grafico.h"
#include "tests/database/dao_prova/DaoProva.h"
#include "tests/support/ProcessoTrevalto_win32.h"
#include "util/FileBinario.h"
#include "util/Finestra_win32.h"
#include "util/uxUtilita.h"

namespace quandora {
namespace {

using test::Blu;
using test::CartellaTemporanea;
using test::Pixel;

constexpr char kSalvaVrt[] = "Salva Grafico Trevalto File...";

TEST(FileProgramma, CarriesVersionManifestAndIcons) {
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
    // The window's icon (the others: the same resources as the window's test).
    EXPECT_NE(FindResourceA(file.get(), MAKEINTRESOURCEA(1), RT_GROUP_ICON), nullptr);
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

class Programma : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        cartellaHost_.emplace();
        ASSERT_TRUE(test::InstallaHostDemo(cartellaHost_->File("Quandora")));
    }
    static void TearDownTestSuite() {
        test::DimenticaQuandora();
        cartellaHost_.reset();
    }
    void SetUp() override {
        test::RegistraQuandora(cartellaHost_->File("Quandora\\quandora.exe"));
        // The cursor away from the picture, which is read off the screen.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    void Avvia() {
        p.emplace();
        ASSERT_TRUE(p->Avviato());
    }
    void Grafico10Giorni() {
        ASSERT_TRUE(p->Periodo(DataSerial(2024, 3, 1), DataSerial(2024, 3, 10)));
        ASSERT_TRUE(p->Elabora());
        ASSERT_TRUE(p->Abilitato("save")) << "a chart was drawn";
    }
    ContenutoVrt Salvato(const std::string& nome) {
        EXPECT_EQ(p->Salva("save", kSalvaVrt, nome), Maiuscolo(nome) + ": file salvato.");
        EsitoFile esito;
        auto f = FileInLettura::Apri(nome, esito);
        return f ? LeggiVrt(*f) : ContenutoVrt{};
    }

    static inline std::optional<CartellaTemporanea> cartellaHost_;
    CartellaTemporanea dir_;
    std::optional<test::ProcessoTrevalto> p;
};

TEST_F(Programma, WithoutQuandoraItSaysSoAndEndsWithoutAWindow) {
    test::DimenticaQuandora();
    p.emplace();
    ASSERT_NE(p->Dialogo("Errore"), nullptr);
    EXPECT_EQ(p->Cerca(FrmMain::kClasse), nullptr);
    EXPECT_EQ(p->ChiudiBox("Errore"), "E' necessario installare Quandora.");
    EXPECT_EQ(p->Fine(), 0u);
}

// Read by the built-in engine and then, where DAO is registered (the test's
// stand-in under DAO's class), through DAO, let go before COM ends: the
// accounts listed, a chart drawn, a clean close.
TEST_F(Programma, StartsRunsAChartAndClosesThroughEitherEngine) {
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
        Avvia();
        EXPECT_EQ(HaCaricato(p->Processo(), "DaoProva.dll"), conDao);
        const HWND conti = p->Controllo(FrmMain::kIdCboConti);
        ASSERT_EQ(SendMessageA(conti, CB_GETCOUNT, 0, 0), 5);
        if (conDao) {
            ASSERT_TRUE(p->Elabora());
        } else {
            EXPECT_EQ(SendMessageA(conti, CB_GETCURSEL, 0, 0), 0);
            EXPECT_EQ(SendMessageA(conti, CB_GETITEMDATA, 0, 0), -1);
            // The default range: 1 January of this year to today.
            SYSTEMTIME oggi;
            GetLocalTime(&oggi);
            const double oggiOle = DataSerial(oggi.wYear, oggi.wMonth, oggi.wDay);
            char atteso[32];
            wsprintfA(atteso, "Totale giorni: %03d", int(oggiOle - DataSerial(oggi.wYear, 1, 1)));
            EXPECT_EQ(test::TestoFinestra(p->Controllo(FrmMain::kIdLblTot)), atteso);
            // A run long enough to be caught running: the close box refused.
            ASSERT_TRUE(p->Periodo(DataSerial(2021, 1, 1), oggiOle));
            ASSERT_TRUE(p->AvviaRun());
            SendMessageA(p->Principale(), WM_SYSCOMMAND, SC_CLOSE, 0);
            EXPECT_TRUE(IsWindow(p->Principale()));
            ASSERT_TRUE(p->AttendiFineRun());
        }
        // The chart's series on the screen.
        EXPECT_TRUE(p->Mostra([](const Pixel& s) { return Blu(s) > 200; }));
        PostMessageA(p->Principale(), WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(p->Fine(), 0u);
    }
}

// One chart through marks, real dialogs, files, clipboard and printer; its
// tooltip in the user's symbols read at the start (an empty grouping one).
TEST_F(Programma, MarksFilesClipboardPrinterAndTheTooltipInTheUsersSymbols) {
    const char kInternational[] = "Control Panel\\International";
    const test::ValoreSalvato migliaia(uxUtilita::kHkeyCurrentUser, kInternational, "sThousand");
    ASSERT_TRUE(test::ScriviGrezzo(uxUtilita::kHkeyCurrentUser, kInternational, "sThousand", REG_SZ,
                                   std::string(1, '\0')));
    Avvia();
    const auto tooltip = [&] {
        p->Mouse(WM_MOUSEMOVE, p->PixelX(2380), p->PixelY(10));
        return p->Tooltip();
    };
    EXPECT_EQ(tooltip(), "") << "no chart, no tooltip";
    Grafico10Giorni();
    p->Clic(WM_LBUTTONDOWN, p->PixelX(1000), p->PixelY(1000));
    p->Clic(WM_MBUTTONDOWN, p->PixelX(1500), p->PixelY(1500));
    // The menu's three marks (its first items), each where right-clicked.
    const double xs[] = {1000, 1800, 2600};
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(p->Menu(p->PixelX(xs[i]), p->PixelY(1200), i));

    // The bitmap, ".bmp" added: the picture's size and what the screen shows.
    const std::string immagine = dir_.File("immagine");
    EXPECT_EQ(p->Salva("bitmap", "Salva immagine come file bitmap...", immagine),
              Maiuscolo(immagine + ".bmp") + ": file salvato.");
    const Pixel bmp = test::DaFileBmp(CartellaTemporanea::Leggi(immagine + ".bmp"));
    const auto comeBmp = [&](const Pixel& s) { return s == bmp; };
    EXPECT_GT(Blu(bmp), 50u);
    EXPECT_TRUE(p->Mostra(comeBmp));

    // The chart file, ".vrt" added; saved over, after Windows has asked.
    const std::string nome = dir_.File("grafico");
    EXPECT_EQ(p->Salva("save", kSalvaVrt, nome), Maiuscolo(nome + ".vrt") + ": file salvato.");
    const std::string salvato = CartellaTemporanea::Leggi(nome + ".vrt");
    ASSERT_FALSE(salvato.empty());
    CartellaTemporanea::Scrivi(nome + ".vrt", "vecchio");
    const HWND d = p->Scegli("save", kSalvaVrt, nome + ".vrt");
    ASSERT_NE(d, nullptr);
    const HWND domanda = p->Finestra("#32770", kSalvaVrt, d);
    ASSERT_NE(domanda, nullptr) << "Windows asks before replacing the file";
    PostMessageA(domanda, WM_COMMAND, IDYES, 0);
    EXPECT_EQ(p->ChiudiBox("Salvataggio"), Maiuscolo(nome + ".vrt") + ": file salvato.");
    EXPECT_EQ(CartellaTemporanea::Leggi(nome + ".vrt"), salvato);

    // Cleared and opened back: the same picture, the same file saved, the
    // marks where clicked.
    p->PremiEAttendi("clear");
    EXPECT_TRUE(p->Mostra([](const Pixel& s) { return Blu(s) == 0; }));
    ASSERT_TRUE(p->Scegli("open", "Apri Grafico Trevalto File...", nome + ".vrt"));
    EXPECT_TRUE(p->Mostra(comeBmp));
    const std::string copia = dir_.File("copia.vrt");
    const ContenutoVrt c = Salvato(copia);
    EXPECT_EQ(CartellaTemporanea::Leggi(copia), salvato);
    ASSERT_EQ(c.Segni.size(), 6u) << "the placeholder and five marks";
    const std::tuple<TipoSegno, double, double> attesi[] = {{kSegnoPunto, 1000, 1000},
                                                            {kSegnoPunto, 1500, 1500},
                                                            {kSegnoPunto, 1000, 1200},
                                                            {kSegnoImporto, 1800, 1200},
                                                            {kSegnoData, 2600, 1200}};
    for (size_t i = 0; i < std::size(attesi); ++i) {
        const auto [tipo, x, y] = attesi[i];
        EXPECT_EQ(c.Segni[i + 1].Tipo, tipo) << i;
        EXPECT_NEAR(c.Segni[i + 1].X, x, 10) << i;
        EXPECT_NEAR(c.Segni[i + 1].Y, y, 10) << i;
    }

    // The clipboard: the picture, beside the text already there.
    {
        const Appunti aperti(nullptr);
        ASSERT_TRUE(aperti.Aperti());
        EmptyClipboard();
        SetClipboardData(CF_TEXT, GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 1));
    }
    p->PremiEAttendi("clipboard");
    ASSERT_TRUE(test::Attendi([] { return IsClipboardFormatAvailable(CF_BITMAP); }));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    {
        const Appunti aperti(nullptr);
        ASSERT_TRUE(aperti.Aperti());
        const auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
        BITMAP b = {};
        ASSERT_TRUE(bitmap != nullptr && GetObjectA(bitmap, sizeof b, &b));
        EXPECT_TRUE(
            comeBmp(test::DaBitmap(PrendiDC(nullptr).get(), bitmap, b.bmWidth, b.bmHeight)));
    }

    p->Premi("printer");
    EXPECT_EQ(p->ChiudiBox("Errore"), "Impossibile stampare. Verificare se la stampante è on-line");
    EXPECT_TRUE(p->Abilitato("printer"));

    // Above the plot: the day and the highest amount.
    const double massimo = c.Testata.SaldoMassimo;
    ASSERT_GE(massimo, 1000) << "the demo's balances are in the thousands";
    EXPECT_EQ(tooltip(), "10-03-2024 E." + FormattaImporto(massimo, {",", ""}));
    p->PremiEAttendi("clear");
    EXPECT_EQ(tooltip(), "");
}

TEST_F(Programma, ARangeThroughThe30thOfDecember1899RunsLikeAnyOtherDay) {
    Avvia();
    // 30-12-1899 is date 0.
    ASSERT_TRUE(p->Periodo(DataSerial(1899, 12, 28), DataSerial(1900, 1, 2)));
    EXPECT_TRUE(p->Elabora());
    const ContenutoVrt c = Salvato(dir_.File("1899.vrt"));
    ASSERT_EQ(c.Saldi.size(), 6u) << "the chart of the six days";
    EXPECT_EQ(c.Saldi[2].Data, 0);
}

}  // namespace
}  // namespace quandora
