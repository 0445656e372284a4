#pragma once
// Runs a command line as a test drives the system's own tools (regsvr32,
// cscript, msiexec): through cmd, waited for, with its exit code and what
// it printed.

#include <windows.h>

#include <string>

#include "tests/support/CartellaTemporanea.h"
#include "util/Testo.h"
#include "util/Win32.h"

namespace quandora::test {

// The command's exit code (-1 when it could not start, STILL_ACTIVE when it
// did not end within attesaMs); its output (standard output and error)
// goes to uscita when given.
inline DWORD Esegui(const std::string& riga, std::string* uscita = nullptr,
                    DWORD attesaMs = 60000) {
    CartellaTemporanea dir;
    const std::string file = dir.File("uscita.txt");
    std::string cmd = ToAnsi("cmd /c \"" + riga + " > \"" + file + "\" 2>&1\"");
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        return static_cast<DWORD>(-1);
    }
    const Processo processo(pi);
    WaitForSingleObject(processo.get(), attesaMs);
    DWORD codice = 0;
    GetExitCodeProcess(processo.get(), &codice);
    if (uscita) *uscita = FromAnsi(CartellaTemporanea::Leggi(file));
    return codice;
}

}  // namespace quandora::test
