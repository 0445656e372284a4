#pragma once
// Files and registry values that the Windows tests prepare and read back with
// plain Win32 calls, never through the code under test; Quandora registered.

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/CartellaTemporanea.h"
#include "tests/support/Processo_win32.h"
#include "util/Modulo.h"
#include "util/Testo.h"
#include "util/Win32.h"

namespace quandora::test {

inline std::string CartellaBin() {
    return CartellaModulo();
}

inline bool Esiste(const std::string& percorso) {
    return GetFileAttributesA(ToAnsi(percorso).c_str()) != INVALID_FILE_ATTRIBUTES;
}
inline std::string LeggiFile(const std::string& percorso) {
    return CartellaTemporanea::Leggi(percorso);
}
inline void ScriviFile(const std::string& percorso, const std::string& byte) {
    CartellaTemporanea::Scrivi(percorso, byte);
}
inline std::string PrimaRiga(const std::string& testo) {
    return testo.substr(0, testo.find("\r\n"));
}

// Deletes a folder and everything in it, read-only files too.
inline void Cancella(const std::string& percorso) {
    namespace fs = std::filesystem;
    const fs::path cartella = fs::u8path(percorso).lexically_normal();
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(cartella, ec))
        fs::permissions(e.path(), fs::perms::owner_write, fs::perm_options::add, ec);
    fs::remove_all(cartella, ec);
}

// What a file holds once it is there and its writer has closed it (it opens
// without sharing); an empty text when that did not happen within limiteMs.
inline std::string AttendiFile(const std::string& percorso, DWORD limiteMs = 30000) {
    const bool chiuso = Attendi(
        [&] {
            return Valido(Handle(CreateFileA(ToAnsi(percorso).c_str(), GENERIC_READ, 0, nullptr,
                                             OPEN_EXISTING, 0, nullptr)));
        },
        limiteMs);
    return chiuso ? LeggiFile(percorso) : std::string();
}

inline HKEY Hive(uint32_t h) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(h)));
}
// A registry key opened with the access given in a view (KEY_WOW64_32KEY,
// KEY_WOW64_64KEY, or 0 for the process's own); empty when it cannot be.
inline ChiaveRegistro ApriChiave(uint32_t hive, const std::string& chiave, REGSAM accesso,
                                 bool crea = false) {
    HKEY k = nullptr;
    const LONG esito = crea ? RegCreateKeyExA(Hive(hive), chiave.c_str(), 0, nullptr, 0, accesso,
                                              nullptr, &k, nullptr)
                            : RegOpenKeyExA(Hive(hive), chiave.c_str(), 0, accesso, &k);
    return ChiaveRegistro(esito == ERROR_SUCCESS ? k : nullptr);
}

// A raw registry value as stored.
struct ValoreGrezzo {
    DWORD tipo = 0;
    std::string dati;
};
inline bool ScriviGrezzo(uint32_t hive, const std::string& chiave, const std::string& nome,
                         DWORD tipo, const std::string& dati, REGSAM vista = 0) {
    const ChiaveRegistro k = ApriChiave(hive, chiave, KEY_ALL_ACCESS | vista, true);
    return k && RegSetValueExA(k.get(), nome.c_str(), 0, tipo,
                               reinterpret_cast<const BYTE*>(dati.data()),
                               static_cast<DWORD>(dati.size())) == ERROR_SUCCESS;
}
inline std::optional<ValoreGrezzo> LeggiGrezzo(uint32_t hive, const std::string& chiave,
                                               const std::string& nome, REGSAM vista = 0) {
    const ChiaveRegistro k = ApriChiave(hive, chiave, KEY_READ | vista);
    std::vector<BYTE> buffer(70000);
    DWORD tipo = 0;
    DWORD n = static_cast<DWORD>(buffer.size());
    if (!k ||
        RegQueryValueExA(k.get(), nome.c_str(), nullptr, &tipo, buffer.data(), &n) != ERROR_SUCCESS)
        return std::nullopt;
    return ValoreGrezzo{tipo, std::string(reinterpret_cast<char*>(buffer.data()), n)};
}
inline bool EsisteChiave(uint32_t hive, const std::string& chiave, REGSAM vista = 0) {
    return ApriChiave(hive, chiave, KEY_READ | vista) != nullptr;
}
// Deletes the key with everything below it, in the view given.
inline void CancellaChiave(uint32_t hive, const std::string& chiave, REGSAM vista = 0) {
    std::vector<std::string> figli;
    if (const ChiaveRegistro k = ApriChiave(hive, chiave, KEY_READ | vista)) {
        char nome[256];
        for (DWORD i = 0, n = sizeof nome; RegEnumKeyExA(k.get(), i, nome, &n, nullptr, nullptr,
                                                         nullptr, nullptr) == ERROR_SUCCESS;
             ++i, n = sizeof nome)
            figli.emplace_back(nome);
    }
    for (const auto& f : figli)
        CancellaChiave(hive, chiave + "\\" + f, vista);
    RegDeleteKeyExA(Hive(hive), chiave.c_str(), vista, 0);
}
inline void CancellaValore(uint32_t hive, const std::string& chiave, const std::string& nome) {
    if (const ChiaveRegistro k = ApriChiave(hive, chiave, KEY_ALL_ACCESS))
        RegDeleteValueA(k.get(), nome.c_str());
}
// A text with its final zero, as REG_SZ stores it.
inline std::string TestoSz(const std::string& s) {
    return s + std::string(1, '\0');
}

// Keeps a registry value as it was before a test and puts it back after.
class ValoreSalvato {
  public:
    ValoreSalvato(uint32_t hive, std::string chiave, std::string nome)
        : hive_(hive),
          chiave_(std::move(chiave)),
          nome_(std::move(nome)),
          prima_(LeggiGrezzo(hive_, chiave_, nome_)) {}
    ~ValoreSalvato() {
        if (prima_)
            ScriviGrezzo(hive_, chiave_, nome_, prima_->tipo, prima_->dati);
        else
            CancellaValore(hive_, chiave_, nome_);
    }
    ValoreSalvato(const ValoreSalvato&) = delete;
    ValoreSalvato& operator=(const ValoreSalvato&) = delete;

  private:
    uint32_t hive_;
    std::string chiave_;
    std::string nome_;
    std::optional<ValoreGrezzo> prima_;
};

inline constexpr const char* kAppPathQuandora =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\quandora.exe";

// Registers the executable as Quandora's (the key's default value).
inline void RegistraQuandora(const std::string& eseguibile) {
    ScriviGrezzo(static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(HKEY_LOCAL_MACHINE)),
                 kAppPathQuandora, "", REG_SZ, TestoSz(ToAnsi(eseguibile)));
}
inline void DimenticaQuandora() {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kAppPathQuandora);
}

}  // namespace quandora::test
