// Launching documents and programs for real: the shell's opener, new
// processes, the application paths, and the waits.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/support/InterazioneRegistrata.h"
#include "tests/support/Sistema_win32.h"
#include "util/Orologio.h"
#include "util/uxUtilita.h"

using namespace quandora;
using namespace quandora::test;

namespace {

constexpr const char* kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

// A copy of the recording program under a name of the test's choice.
std::string Registratore(const std::string& cartella, const std::string& nome) {
    const std::string copia = cartella + nome;
    CopyFileA(Ansi(CartellaBin() + "registra_argomenti.exe").c_str(), Ansi(copia).c_str(), FALSE);
    return copia;
}

// The shell command that opens an address with a program: "prog" "%1".
std::string Comando(const std::string& programma) {
    std::string c = "\"";
    c += Ansi(programma);
    c += "\" \"%1\"";
    return c;
}

}  // namespace

TEST(EseguiEx, ReportsMissingFilesAndUnknownTypesUnlessQuiet) {
    const uxUtilita u;
    const std::string base = CartellaProva("ux_esegui");
    InterazioneRegistrata box;

    const std::string manca = base + "manca.txt";
    EXPECT_FALSE(u.EseguiEx(0, manca, true));
    EXPECT_TRUE(box.boxes.empty());
    EXPECT_FALSE(u.EseguiEx(0, manca, false));
    ASSERT_EQ(box.boxes.size(), 1u);
    EXPECT_EQ(box.boxes[0].testo, manca + ": file non trovato!");
    EXPECT_EQ(box.boxes[0].titolo, "Errore");
    EXPECT_EQ(box.boxes[0].stile, mb::kOk | mb::kIconCritical);
    // Left out, muto is false: the message shows.
    EXPECT_FALSE(u.EseguiEx(0, manca));
    EXPECT_EQ(box.boxes.size(), 2u);

    const std::string ignoto = base + "documento.zzqxw";
    ScriviFile(ignoto, "x");
    EXPECT_FALSE(u.EseguiEx(0, ignoto, true));
    EXPECT_EQ(box.boxes.size(), 2u);
    EXPECT_FALSE(u.EseguiEx(0, ignoto, false));
    ASSERT_EQ(box.boxes.size(), 3u);
    EXPECT_EQ(box.boxes[2].testo, ignoto + ": nessun programma associato a questo tipo di file!");
    Cancella(base);
}

TEST(EseguiEx, OpensAProgramInTheDriveRootOfTheModuleFolder) {
    const uxUtilita u;
    const std::string base = CartellaProva("ux_esegui_ok");
    const std::string programma = Registratore(base, "aperto.exe");
    InterazioneRegistrata box;
    EXPECT_TRUE(u.EseguiEx(0, programma, false));
    const std::string log = AttendiFile(programma + ".log", 5000);
    EXPECT_TRUE(box.boxes.empty());
    ASSERT_FALSE(log.empty());
    EXPECT_NE(log.find("dir=" + CartellaBin().substr(0, 3) + "\r\n"), std::string::npos) << log;
    Cancella(base);
}

TEST(ShellSospensiva, RunsWithOneBlankBeforeTheArgumentAndWaits) {
    const uxUtilita u;
    const std::string base = CartellaProva("ux_sospensiva");
    const std::string programma = Registratore(base, "attendi.exe");
    const std::string log = programma + ".log";

    EXPECT_TRUE(u.ShellSospensiva(programma, std::string("/REGSERVER")));
    // The program writes only after a pause: the line is there because the
    // call returned after the program ended.
    ASSERT_TRUE(Esiste(log));
    EXPECT_EQ(PrimaRiga(LeggiFile(log)), programma + " /REGSERVER");

    DeleteFileA(Ansi(log).c_str());
    EXPECT_TRUE(u.ShellSospensiva(programma));
    EXPECT_EQ(PrimaRiga(LeggiFile(log)), programma);

    EXPECT_FALSE(u.ShellSospensiva(base + "manca.exe", std::string("x")));
    Cancella(base);
}

TEST(StartApplicazione, StartsTheRegisteredProgramOrSaysItIsMissing) {
    const uxUtilita u;
    const std::string base = CartellaProva("ux_start");
    const std::string programma = Registratore(base, "registrato.exe");
    const std::string chiave = std::string(kAppPaths) + "registratoux.exe";
    ASSERT_TRUE(
        ScriviGrezzo(uxUtilita::kHkeyLocalMachine, chiave, "", REG_SZ, TestoSz(Ansi(programma))));
    InterazioneRegistrata box;
    EXPECT_TRUE(u.StartApplicazione("registratoux.exe"));
    EXPECT_TRUE(box.boxes.empty());
    EXPECT_EQ(PrimaRiga(AttendiFile(programma + ".log", 5000)), programma);

    // An entry whose program is gone, and no entry at all.
    DeleteFileA(Ansi(programma).c_str());
    EXPECT_FALSE(u.StartApplicazione("registratoux.exe"));
    CancellaChiave(uxUtilita::kHkeyLocalMachine, chiave);
    EXPECT_FALSE(u.StartApplicazione("nessunoux.exe"));
    ASSERT_EQ(box.boxes.size(), 2u);
    EXPECT_EQ(box.boxes[0].testo, "registratoux.exe: Applicazione non trovata.");
    EXPECT_EQ(box.boxes[1].testo, "nessunoux.exe: Applicazione non trovata.");
    EXPECT_EQ(box.boxes[1].titolo, "Errore");
    EXPECT_EQ(box.boxes[1].stile, mb::kOk | mb::kIconExclamation);
    Cancella(base);
}

namespace {

// A clock that moves a fixed step at every reading, from a time of day;
// the readings it gave, counted on from its start past midnight.
class OrologioFinto : public Orologio {
  public:
    OrologioFinto(double inizio, double passo)
        : letta_(inizio), passo_(passo), precedente_(ImpostaOrologio(this)) {}
    ~OrologioFinto() override { ImpostaOrologio(precedente_); }
    double SecondiDelGiorno() override {
        letture.push_back(letta_);
        letta_ += passo_;
        return std::fmod(letture.back(), 86400.0);
    }
    std::vector<double> letture;

  private:
    double letta_;
    double passo_;
    Orologio* precedente_;
};

LRESULT CALLBACK ContaMessaggi(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_APP + 7) {
        ++*reinterpret_cast<int*>(GetWindowLongPtrA(w, GWLP_USERDATA));
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

}  // namespace

// The wait counts from the start of the current second and ends at the
// first reading at or past its end, across midnight too.
TEST(WaitSecondi, EndsWhenTheClockReachesTheSecondsAcrossMidnight) {
    const uxUtilita u;
    const struct {
        double inizio, passo;
        int16_t secondi;
    } casi[] = {{86398.6, 0.1, 3}, {1000.0, 0.1, 0}, {500.5, 0.25, 5}};
    for (const auto& c : casi) {
        SCOPED_TRACE(c.inizio);
        OrologioFinto orologio(c.inizio, c.passo);
        u.WaitSecondi(c.secondi);
        const double fine = std::floor(c.inizio) + c.secondi;
        // The first reading is the start; of the others only the last is
        // at or past the end.
        ASSERT_GE(orologio.letture.size(), 2u);
        EXPECT_GE(orologio.letture.back() + 1e-9, fine);
        for (size_t i = 1; i + 1 < orologio.letture.size(); ++i)
            EXPECT_LT(orologio.letture[i], fine - 1e-9) << i;
    }
}

TEST(WaitSecondi, KeepsTheWindowAnsweringOnTheRealClock) {
    WNDCLASSA classe = {};
    classe.lpfnWndProc = ContaMessaggi;
    classe.hInstance = GetModuleHandleA(nullptr);
    classe.lpszClassName = "ProvaAttesa";
    RegisterClassA(&classe);
    HWND w = CreateWindowA("ProvaAttesa", "attesa", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                           nullptr, classe.hInstance, nullptr);
    ASSERT_NE(w, nullptr);
    int ricevuti = 0;
    SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&ricevuti));
    PostMessageA(w, WM_APP + 7, 0, 0);
    PostMessageA(w, WM_APP + 7, 0, 0);
    uxUtilita().WaitSecondi(1);
    EXPECT_EQ(ricevuti, 2);
    DestroyWindow(w);
}

TEST(IndirizziWeb, HomepageGoWebAndEMailOpenThroughTheShell) {
    const uxUtilita u;
    const std::string base = CartellaProva("ux_web");
    const std::string web = Registratore(base, "browser.exe");
    const std::string posta = Registratore(base, "posta.exe");
    const uint32_t cr = uxUtilita::kHkeyClassesRoot;
    ValoreSalvato http(cr, "http\\shell\\open\\command", "");
    ValoreSalvato mailto(cr, "mailto\\shell\\open\\command", "");
    ASSERT_TRUE(ScriviGrezzo(cr, "http\\shell\\open\\command", "", REG_SZ, TestoSz(Comando(web))));
    ASSERT_TRUE(
        ScriviGrezzo(cr, "mailto\\shell\\open\\command", "", REG_SZ, TestoSz(Comando(posta))));
    InterazioneRegistrata box;

    u.Homepage(0);
    EXPECT_NE(AttendiFile(web + ".log", 5000).find(uxUtilita::kIndirizzoHomepage),
              std::string::npos);
    DeleteFileA(Ansi(web + ".log").c_str());
    u.GoWeb(0, "http://example.invalid/pagina");
    EXPECT_NE(AttendiFile(web + ".log", 5000).find("http://example.invalid/pagina"),
              std::string::npos);
    u.EMail(0);
    EXPECT_NE(AttendiFile(posta + ".log", 5000).find(uxUtilita::kIndirizzoEMail),
              std::string::npos);
    // Failures are silent.
    u.GoWeb(0, base + "manca.htm");
    EXPECT_TRUE(box.boxes.empty());
    Cancella(base);
}
