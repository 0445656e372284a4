// A database held without sharing by another process cannot be opened
// (3051); once that process lets go, it opens again and is unchanged.

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>

#include "database/AccessoDati.h"
#include "jet/JetScrittore.h"
#include "tests/support/CartellaTemporanea.h"
#include "tests/support/FixtureHost.h"
#include "util/Testo.h"

using namespace quandora;

namespace {

std::string Cartella() {
    char buf[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    std::string s(buf, n);
    return s.substr(0, s.find_last_of("\\/") + 1);
}

TEST(FileBloccato, DatabaseHeldExclusivelyByAnotherProcessGives3051) {
    test::CartellaTemporanea dir;
    const std::string f = dir.File("quandora.mdb");
    jet::ScriviFileJet3(f, host::TabelleHost(test::DatiDiProva(50)), PasswordQuandora);
    ASSERT_TRUE(VerificaVersioneDati(f));

    HANDLE tenuto = CreateEventA(nullptr, TRUE, FALSE, "TrevaltoFileTenuto");
    HANDLE rilascia = CreateEventA(nullptr, TRUE, FALSE, "TrevaltoRilasciaFile");
    ASSERT_TRUE(tenuto && rilascia);
    std::string riga = "\"";
    riga.append(Cartella()).append("tieni_file.exe\" \"").append(ToAnsi(f)).append("\"");
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, riga.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &si, &pi));
    ASSERT_EQ(WaitForSingleObject(tenuto, 30000), WAIT_OBJECT_0);

    int numero = 0;
    try {
        ApriDatabase(f);
    } catch (const Errore& e) {
        numero = e.Numero();
        EXPECT_NE(e.Descrizione().find("quandora.mdb"), std::string::npos);
    }
    EXPECT_TRUE(numero == 3051 || numero == 3045) << numero;
    int numeroConti = 0;
    try {
        CaricaConti(f, [](const std::string&, int32_t) {});
    } catch (const Errore& e) {
        numeroConti = e.Numero();
    }
    EXPECT_EQ(numeroConti, numero);

    SetEvent(rilascia);
    WaitForSingleObject(pi.hProcess, 30000);
    DWORD uscita = 99;
    GetExitCodeProcess(pi.hProcess, &uscita);
    EXPECT_EQ(uscita, 0u);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    CloseHandle(tenuto);
    CloseHandle(rilascia);
    EXPECT_TRUE(VerificaVersioneDati(f));
}

}  // namespace
