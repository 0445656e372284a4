// Settings: INI (profile) files and the registry, through the ANSI entry
// points. Keys are opened with 0x20019 to read and 0x2003F to write (read
// rights plus the six key rights: less than full access, so that a key
// whose security allows ordinary writes can still be written).

#include <windows.h>

#include <cstring>
#include <vector>

#include "util/Testo.h"
#include "util/Win32.h"
#include "util/uxUtilita.h"

namespace quandora {

namespace {

constexpr REGSAM kLettura = 0x20019;
constexpr REGSAM kScrittura = 0x2003F;
constexpr DWORD kBufferIni = 2000;
constexpr DWORD kBufferRegistro = 1024;
constexpr const char* kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

HKEY Alveare(uint32_t hive) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(hive)));
}

}  // namespace

std::string uxUtilita::LeggiINI(const std::string& fileINI, const std::string& Sezione,
                                const std::string& chiave, const std::string& DefaultValore) const {
    const std::string file = ToAnsi(fileINI);
    const std::string sezione = ToAnsi(Sezione);
    const std::string nome = ToAnsi(chiave);
    const std::string predefinito = ToAnsi(DefaultValore);
    std::string buffer(kBufferIni, ' ');
    const DWORD copiati =
        GetPrivateProfileStringA(sezione.c_str(), nome.c_str(), predefinito.c_str(), buffer.data(),
                                 kBufferIni, file.c_str());
    buffer.resize(copiati < kBufferIni ? copiati : kBufferIni);
    const std::string valore = TogliSpazi(FromAnsi(buffer));
    return valore.empty() ? DefaultValore : valore;
}

bool uxUtilita::ScriviINI(const std::string& fileINI, const std::string& Sezione,
                          const std::string& chiave, const std::string& valore) const {
    const std::string file = ToAnsi(fileINI);
    const std::string sezione = ToAnsi(Sezione);
    const std::string nome = ToAnsi(chiave);
    const std::string testo = ToAnsi(valore);
    return WritePrivateProfileStringA(sezione.c_str(), nome.c_str(), testo.c_str(), file.c_str()) !=
           0;
}

bool uxUtilita::LeggiValoreRegistro(uint32_t hive, const std::string& chiave,
                                    const std::string& nome, std::string& valore,
                                    uint32_t vista) const {
    HKEY aperta = nullptr;
    if (RegOpenKeyExA(Alveare(hive), ToAnsi(chiave).c_str(), 0, kLettura | vista, &aperta) !=
        ERROR_SUCCESS) {
        valore.clear();
        return false;
    }
    const ChiaveRegistro k(aperta);
    std::vector<unsigned char> dati(kBufferRegistro, 0);
    DWORD tipo = 0;
    DWORD dimensione = kBufferRegistro;
    // Data longer than the buffer fails with ERROR_MORE_DATA; empty data
    // counts as missing.
    if (RegQueryValueExA(k.get(), ToAnsi(nome).c_str(), nullptr, &tipo, dati.data(), &dimensione) !=
            ERROR_SUCCESS ||
        dimensione == 0) {
        valore.clear();
        return false;
    }
    if (tipo == REG_SZ) {
        // With or without its terminating zero: the text ends at the first.
        std::string testo(reinterpret_cast<const char*>(dati.data()), dimensione);
        valore = FromAnsi(StripTerminator(testo));
    } else if (tipo == REG_DWORD) {
        DWORD numero = 0;
        std::memcpy(&numero, dati.data(), sizeof numero);
        valore = std::to_string(static_cast<unsigned long>(numero));
    }
    // Any other type is found, and the caller's text stays as it was.
    return true;
}

bool uxUtilita::ScriviDWordRegistro(uint32_t hive, const std::string& chiave,
                                    const std::string& nome, uint32_t valore) const {
    HKEY aperta = nullptr;
    if (RegOpenKeyExA(Alveare(hive), ToAnsi(chiave).c_str(), 0, kScrittura, &aperta) !=
        ERROR_SUCCESS) {
        return false;
    }
    const ChiaveRegistro k(aperta);
    const DWORD numero = valore;
    return RegSetValueExA(k.get(), ToAnsi(nome).c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&numero), sizeof numero) == ERROR_SUCCESS;
}

bool uxUtilita::ScriviValoreRegistro(uint32_t hive, const std::string& chiave,
                                     const std::string& nome, const std::string& valore,
                                     bool crea) const {
    try {
        const std::string percorso = ToAnsi(chiave);
        HKEY aperta = nullptr;
        LONG esito;
        if (crea) {
            DWORD disposizione = 0;
            esito = RegCreateKeyExA(Alveare(hive), percorso.c_str(), 0, nullptr,
                                    REG_OPTION_NON_VOLATILE, kScrittura, nullptr, &aperta,
                                    &disposizione);
        } else {
            esito = RegOpenKeyExA(Alveare(hive), percorso.c_str(), 0, kScrittura, &aperta);
        }
        if (esito != ERROR_SUCCESS) return false;
        const ChiaveRegistro k(aperta);
        const std::string testo = ToAnsi(valore);
        // The terminating zero is stored with the text.
        return RegSetValueExA(k.get(), ToAnsi(nome).c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(testo.c_str()),
                              static_cast<DWORD>(testo.size() + 1)) == ERROR_SUCCESS;
    } catch (const std::exception&) {
        return false;
    }
}

bool uxUtilita::LeggiPercorsoApplicazione(const std::string& applicazione,
                                          std::string& programma) const {
    const std::string chiave = kAppPaths + applicazione;
    if (LeggiValoreRegistro(kHkeyLocalMachine, chiave, "", programma)) return true;
#ifdef _WIN64
    // On 64-bit Windows the installer of a 32-bit program (the host's among
    // them) registers it in the registry's 32-bit view, which a 64-bit
    // process does not see by default.
    return LeggiValoreRegistro(kHkeyLocalMachine, chiave, "", programma, KEY_WOW64_32KEY);
#else
    return false;
#endif
}

}  // namespace quandora
