// The program as it is delivered: Trevalto.exe with its resources, started
// and closed like a person would; and the stand-in hosts, each quandora.exe
// built by quandora_host with the file version it was given, or none.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/FrmMain_win32.h"
#include "util/Risorse_win32.h"
#include "util/Testo.h"

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

std::string Programma() {
    return CartellaModulo() + "..\\Trevalto.exe";
}

TEST(Programma, CarriesVersionManifestAndIcons) {
    const uxUtilita u;
    EXPECT_EQ(u.GetVersione(Programma()), "1.0.0.0");
    const Libreria file(
        LoadLibraryExA(ToAnsi(Programma()).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
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

struct Cerca {
    DWORD processo;
    HWND trovata;
};
BOOL CALLBACK CercaFinestra(HWND h, LPARAM lp) {
    auto* c = reinterpret_cast<Cerca*>(lp);
    DWORD p = 0;
    GetWindowThreadProcessId(h, &p);
    char classe[64] = {};
    GetClassNameA(h, classe, sizeof classe);
    if (p == c->processo && std::string(classe) == FrmMain::kClasse && IsWindowVisible(h)) {
        c->trovata = h;
        return FALSE;
    }
    return TRUE;
}

TEST(Programma, ShowsItsWindowAndEndsWhenItIsClosed) {
    std::string riga = "\"" + ToAnsi(Programma()) + "\"";
    std::vector<char> comando(riga.begin(), riga.end());
    comando.push_back('\0');
    STARTUPINFOA avvio{};
    avvio.cb = sizeof avvio;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, comando.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &avvio, &pi));
    const Handle processo(pi.hProcess);
    const Handle thread(pi.hThread);
    Cerca c{pi.dwProcessId, nullptr};
    for (int t = 0; t < 200 && c.trovata == nullptr; ++t) {
        Sleep(100);
        EnumWindows(CercaFinestra, reinterpret_cast<LPARAM>(&c));
    }
    ASSERT_NE(c.trovata, nullptr);
    char titolo[128] = {};
    GetWindowTextA(c.trovata, titolo, sizeof titolo);
    EXPECT_EQ(FromAnsi(titolo), "Modulo aggiuntivo Quandora [Grafico Trevalto Saldo]");
    // No start-up yet: the account list is empty.
    const HWND conti = GetDlgItem(c.trovata, FrmMain::kIdCboConti);
    ASSERT_NE(conti, nullptr);
    EXPECT_EQ(SendMessageA(conti, CB_GETCOUNT, 0, 0), 0);

    PostMessageA(c.trovata, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(processo.get(), 30000), WAIT_OBJECT_0);
    DWORD esito = 1;
    GetExitCodeProcess(processo.get(), &esito);
    EXPECT_EQ(esito, 0u);
    if (esito == STILL_ACTIVE) TerminateProcess(processo.get(), 1);
}

}  // namespace
}  // namespace quandora
