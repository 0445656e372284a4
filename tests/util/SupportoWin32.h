#pragma once
// Helpers of the Windows tests of uxUtilita: scratch folders, files and
// registry values prepared and read back with plain Win32 calls, never
// through the code under test.

#include <windows.h>
// After windows.h, which it needs.
#include <shlwapi.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "util/Modulo.h"
#include "util/Testo.h"
#include "util/Win32.h"

namespace quandora::test {

inline std::string Ansi(const std::string& s) {
    return ToAnsi(s);
}

inline bool Esiste(const std::string& percorso) {
    return GetFileAttributesA(Ansi(percorso).c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline bool EsisteCartella(const std::string& percorso) {
    const DWORD a = GetFileAttributesA(Ansi(percorso).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// Deletes a folder and everything in it.
inline void Cancella(const std::string& percorso) {
    std::string cartella = percorso;
    if (!cartella.empty() && cartella.back() == '\\') cartella.pop_back();
    WIN32_FIND_DATAA dati;
    HANDLE h = FindFirstFileA(Ansi(cartella + "\\*").c_str(), &dati);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string nome = FromAnsi(dati.cFileName);
            if (nome == "." || nome == "..") continue;
            const std::string figlio = cartella + "\\" + nome;
            if (dati.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                Cancella(figlio);
            } else {
                SetFileAttributesA(Ansi(figlio).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(Ansi(figlio).c_str());
            }
        } while (FindNextFileA(h, &dati));
        FindClose(h);
    }
    RemoveDirectoryA(Ansi(cartella).c_str());
}

// A new, empty scratch folder below the temporary folder, ending in "\".
inline std::string CartellaProva(const std::string& nome) {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string cartella = FromAnsi(temp) + nome + "\\";
    Cancella(cartella);
    CreateDirectoryA(Ansi(cartella).c_str(), nullptr);
    return cartella;
}

inline std::string LeggiFile(const std::string& percorso) {
    std::ifstream f(Ansi(percorso), std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// Writes bytes as they are (no conversion).
inline void ScriviFile(const std::string& percorso, const std::string& byte) {
    std::ofstream f(Ansi(percorso), std::ios::binary | std::ios::trunc);
    f << byte;
}

// The first line of a file, without its end.
inline std::string PrimaRiga(const std::string& testo) {
    return testo.substr(0, testo.find("\r\n"));
}

// Waits up to the given time for a file to appear (and be closed).
inline std::string AttendiFile(const std::string& percorso, int millisecondi) {
    for (int t = 0; t < millisecondi; t += 50) {
        if (Esiste(percorso)) {
            Sleep(100);
            return LeggiFile(percorso);
        }
        Sleep(50);
    }
    return {};
}

inline std::string CartellaBin() {
    return CartellaModulo();
}

inline HKEY Hive(uint32_t h) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(h)));
}

// A raw registry value as stored.
struct ValoreGrezzo {
    DWORD tipo = 0;
    std::string dati;
};

// vista: the registry view to use (KEY_WOW64_32KEY, KEY_WOW64_64KEY), or 0
// for the process's own.
inline bool ScriviGrezzo(uint32_t hive, const std::string& chiave, const std::string& nome,
                         DWORD tipo, const std::string& dati, REGSAM vista = 0) {
    HKEY k = nullptr;
    if (RegCreateKeyExA(Hive(hive), chiave.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | vista, nullptr,
                        &k,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const ChiaveRegistro aperta(k);
    return RegSetValueExA(k, nome.c_str(), 0, tipo, reinterpret_cast<const BYTE*>(dati.data()),
                          static_cast<DWORD>(dati.size())) == ERROR_SUCCESS;
}

inline std::optional<ValoreGrezzo> LeggiGrezzo(uint32_t hive, const std::string& chiave,
                                               const std::string& nome, REGSAM vista = 0) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(Hive(hive), chiave.c_str(), 0, KEY_READ | vista, &k) != ERROR_SUCCESS)
        return std::nullopt;
    const ChiaveRegistro aperta(k);
    std::vector<BYTE> buffer(70000);
    DWORD tipo = 0;
    DWORD n = static_cast<DWORD>(buffer.size());
    if (RegQueryValueExA(k, nome.c_str(), nullptr, &tipo, buffer.data(), &n) != ERROR_SUCCESS)
        return std::nullopt;
    return ValoreGrezzo{tipo, std::string(reinterpret_cast<char*>(buffer.data()), n)};
}

inline bool EsisteChiave(uint32_t hive, const std::string& chiave, REGSAM vista = 0) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(Hive(hive), chiave.c_str(), 0, KEY_READ | vista, &k) != ERROR_SUCCESS)
        return false;
    const ChiaveRegistro aperta(k);
    return true;
}

// Deletes the key with everything below it, in the view given.
inline void CancellaChiave(uint32_t hive, const std::string& chiave, REGSAM vista = 0) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(Hive(hive), chiave.c_str(), 0, KEY_READ | vista, &k) == ERROR_SUCCESS) {
        std::vector<std::string> figli;
        {
            const ChiaveRegistro aperta(k);
            char nome[256];
            DWORD n = sizeof nome;
            for (DWORD i = 0;
                 RegEnumKeyExA(k, i, nome, &n, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
                 ++i, n = sizeof nome) {
                figli.emplace_back(nome);
            }
        }
        for (const auto& f : figli) CancellaChiave(hive, chiave + "\\" + f, vista);
    }
    RegDeleteKeyExA(Hive(hive), chiave.c_str(), vista, 0);
}

inline void CancellaValore(uint32_t hive, const std::string& chiave, const std::string& nome) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(Hive(hive), chiave.c_str(), 0, KEY_ALL_ACCESS, &k) == ERROR_SUCCESS) {
        const ChiaveRegistro aperta(k);
        RegDeleteValueA(k, nome.c_str());
    }
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

inline std::string TestoSz(const std::string& s) {
    return s + std::string(1, '\0');
}

}  // namespace quandora::test
