// Launching documents and programs for real, and the waits.

#include <cmath>
#include <tuple>
#include <vector>

#include "tests/util/ProvaUx_win32.h"
#include "util/Orologio.h"

using namespace quandora;
using namespace quandora::test;

using Avvio = ProvaUx;

// Documents open in the drive root of the module's folder; why one does not
// is told unless quiet (muto left out: false). Addresses tell nothing.
TEST_F(Avvio, DocumentsAndAddressesOpenThroughTheShell) {
    const std::string manca = base + "manca.txt", ignoto = base + "documento.zzqxw";
    ScriviFile(ignoto, "x");
    EXPECT_FALSE(u.EseguiEx(0, manca, true));
    EXPECT_FALSE(u.EseguiEx(0, ignoto, true));
    EXPECT_FALSE(u.EseguiEx(0, manca, false));
    EXPECT_FALSE(u.EseguiEx(0, manca));
    EXPECT_FALSE(u.EseguiEx(0, ignoto, false));
    ASSERT_EQ(box.boxes.size(), 3u);
    EXPECT_EQ(box.boxes[1].testo, manca + ": file non trovato!");
    EXPECT_EQ(box.boxes[0].titolo, "Errore");
    EXPECT_EQ(box.boxes[0].stile, mb::kOk | mb::kIconCritical);
    EXPECT_EQ(box.boxes[2].testo, ignoto + ": nessun programma associato a questo tipo di file!");
    const std::string programma = Copia("registra_argomenti.exe", "aperto.exe");
    EXPECT_TRUE(u.EseguiEx(0, programma, false));
    const std::string log = AttendiFile(programma + ".log");
    EXPECT_NE(log.find("dir=" + CartellaBin().substr(0, 3) + "\r\n"), std::string::npos) << log;

    ValoreSalvato http(kCr, "http\\shell\\open\\command", "");
    ValoreSalvato mailto(kCr, "mailto\\shell\\open\\command", "");
    const std::string web = Copia("registra_argomenti.exe", "browser.exe"),
                      posta = Copia("registra_argomenti.exe", "posta.exe");
    for (auto [protocollo, eseguibile] : {std::pair{"http", web}, {"mailto", posta}})
        ASSERT_TRUE(ScriviGrezzo(kCr, std::string(protocollo) + "\\shell\\open\\command", "",
                                 REG_SZ, TestoSz("\"" + ToAnsi(eseguibile) + "\" \"%1\"")));
    u.Homepage(0);
    EXPECT_NE(AttendiFile(web + ".log").find(uxUtilita::kIndirizzoHomepage), std::string::npos);
    DeleteFileA(ToAnsi(web + ".log").c_str());
    u.GoWeb(0, "http://example.invalid/pagina");
    EXPECT_NE(AttendiFile(web + ".log").find("http://example.invalid/pagina"), std::string::npos);
    u.EMail(0);
    EXPECT_NE(AttendiFile(posta + ".log").find(uxUtilita::kIndirizzoEMail), std::string::npos);
    u.GoWeb(0, base + "manca.htm");
    EXPECT_EQ(box.boxes.size(), 3u);
}

// An accented folder crosses the ANSI boundary.
TEST_F(Avvio, TheApplicationPathEntryGivesTheFolderAndStartsTheProgramOrItIsMissing) {
    CreateDirectoryA(ToAnsi(base + "Più").c_str(), nullptr);
    const std::string programma = Copia("registra_argomenti.exe", "Più\\registrato.exe");
    const std::string chiave =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\registratoux.exe";
    ASSERT_TRUE(ScriviGrezzo(kLm, chiave, "", REG_SZ, TestoSz(ToAnsi(programma))));
    EXPECT_EQ(u.CartellaApplicazione("registratoux.exe"), base + "Più\\");
    EXPECT_TRUE(u.StartApplicazione("registratoux.exe"));
    EXPECT_EQ(PrimaRiga(AttendiFile(programma + ".log")), ToAnsi(programma));
    // An entry whose program is gone (once it has ended), and no entry at all.
    ASSERT_TRUE(Attendi([&] { return DeleteFileA(ToAnsi(programma).c_str()) != 0; }));
    EXPECT_FALSE(u.StartApplicazione("registratoux.exe"));
    CancellaChiave(kLm, chiave);
    EXPECT_FALSE(u.StartApplicazione("nessunoux.exe"));
    ASSERT_EQ(box.boxes.size(), 2u);
    EXPECT_EQ(box.boxes[1].testo, "nessunoux.exe: Applicazione non trovata.");
    EXPECT_EQ(box.boxes[1].titolo, "Errore");
    EXPECT_EQ(box.boxes[1].stile, mb::kOk | mb::kIconExclamation);
    // A 64-bit build also finds a 32-bit program in the registry's 32-bit view.
    ASSERT_TRUE(ScriviGrezzo(kLm, chiave, "", REG_SZ, TestoSz("C:\\Quandora32\\registratoux.exe"),
                             KEY_WOW64_32KEY));
    EXPECT_EQ(u.CartellaApplicazione("registratoux.exe"), "C:\\Quandora32\\");
    CancellaChiave(kLm, chiave, KEY_WOW64_32KEY);
    EXPECT_EQ(u.CartellaApplicazione("registratoux.exe"), "");
}

namespace {

// A clock moving a step at every reading; the readings counted past midnight.
class OrologioFinto : public Orologio {
  public:
    OrologioFinto(double inizio, double passo) : letta_(inizio), passo_(passo) {}
    ~OrologioFinto() override { ImpostaOrologio(precedente_); }
    double SecondiDelGiorno() override {
        letture.push_back(letta_);
        letta_ += passo_;
        return std::fmod(letture.back(), 86400.0);
    }
    std::vector<double> letture;

  private:
    double letta_, passo_;
    Orologio* precedente_ = ImpostaOrologio(this);
};

}  // namespace

// From the start of the current second to the first reading at or past the end.
TEST(WaitSecondi, EndsWhenTheClockReachesTheSecondsAcrossMidnight) {
    const std::tuple<double, double, int16_t> casi[] = {
        {86398.6, 0.1, 3}, {1000.0, 0.1, 0}, {500.5, 0.25, 5}};
    for (const auto& [inizio, passo, secondi] : casi) {
        SCOPED_TRACE(inizio);
        OrologioFinto orologio(inizio, passo);
        uxUtilita().WaitSecondi(secondi);
        const double fine = std::floor(inizio) + secondi;
        // Past the first reading, the start, only the last is at or past the end.
        ASSERT_GE(orologio.letture.size(), 2u);
        EXPECT_GE(orologio.letture.back() + 1e-9, fine);
        for (size_t i = 1; i + 1 < orologio.letture.size(); ++i)
            EXPECT_LT(orologio.letture[i], fine - 1e-9) << i;
    }
}

// A message posted before the wait is handled during it.
TEST(WaitSecondi, KeepsTheWindowsAnsweringOnTheRealClock) {
    HWND w = CreateWindowA("STATIC", "attesa", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                           nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    PostMessageA(w, WM_CLOSE, 0, 0);
    uxUtilita().WaitSecondi(1);
    EXPECT_FALSE(IsWindow(w));
}
