#pragma once
// A stand-in Quandora for the tests of the whole program: the demo's data
// up to 7 December 2026 and the stand-in quandora.exe (version 3.3.0.0),
// installed in a folder and registered as the host.

#include <windows.h>

#include <string>

#include "host/DatiDemo.h"
#include "tests/support/QuandoraDiProva_win32.h"
#include "util/DataOle.h"
#include "util/Modulo.h"
#include "util/Testo.h"

namespace quandora::test {

// False when the host's executable could not be put in place. The test
// programs that use it live one folder below the build's bin folder.
inline bool InstallaHostDemo(const std::string& cartella) {
    host::ScriviHost(cartella, DataSerial(2026, 12, 7));
    const std::string eseguibile = CartellaModulo() + "..\\host\\quandora\\quandora.exe";
    if (!CopyFileA(ToAnsi(eseguibile).c_str(), ToAnsi(cartella + "\\quandora.exe").c_str(), FALSE))
        return false;
    RegistraQuandora(cartella + "\\quandora.exe");
    return true;
}

}  // namespace quandora::test
