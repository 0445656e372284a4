#include <windows.h>

#include "util/FileBinario.h"
#include "util/Testo.h"
#include "util/Win32.h"

namespace quandora {

EsitoFile EsitoDelSistema(int e) {
    switch (static_cast<DWORD>(e)) {
        case ERROR_FILE_NOT_FOUND:
            return EsitoFile::NonTrovato;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
            return EsitoFile::PercorsoNonTrovato;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return EsitoFile::InUso;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return EsitoFile::AccessoNegato;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return EsitoFile::DiscoPieno;
        default:
            return EsitoFile::Altro;
    }
}

namespace {

class FileWindows final : public FileInLettura {
  public:
    FileWindows(Handle h, uint64_t dimensione) : h_(std::move(h)), dimensione_(dimensione) {}

    uint64_t Dimensione() const override { return dimensione_; }

    bool Leggi(uint64_t offset, void* dati, size_t n) override {
        if (offset > dimensione_ || n > dimensione_ - offset) return false;
        auto* p = static_cast<char*>(dati);
        while (n > 0) {
            OVERLAPPED ov = {};
            ov.Offset = static_cast<DWORD>(offset);
            ov.OffsetHigh = static_cast<DWORD>(offset >> 32);
            const DWORD parte = n > 0x10000000 ? 0x10000000 : static_cast<DWORD>(n);
            DWORD letti = 0;
            if (!ReadFile(h_.get(), p, parte, &letti, &ov) || letti == 0) return false;
            p += letti;
            n -= letti;
            offset += letti;
        }
        return true;
    }

  private:
    Handle h_;
    uint64_t dimensione_;
};

}  // namespace

std::unique_ptr<FileInLettura> FileInLettura::Apri(const std::string& percorso, EsitoFile& esito) {
    if (percorso.empty()) {
        esito = EsitoFile::PercorsoNonTrovato;
        return nullptr;
    }
    Handle h(CreateFileA(ToAnsi(percorso).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!Valido(h)) {
        esito = EsitoDelSistema(static_cast<int>(GetLastError()));
        return nullptr;
    }
    LARGE_INTEGER dimensione;
    if (!GetFileSizeEx(h.get(), &dimensione)) {
        esito = EsitoDelSistema(static_cast<int>(GetLastError()));
        return nullptr;
    }
    esito = EsitoFile::Ok;
    return std::make_unique<FileWindows>(std::move(h), static_cast<uint64_t>(dimensione.QuadPart));
}

bool ScriviFileSicuro(const std::string& percorso, std::string_view dati, EsitoFile& esito) {
    const std::string destinazione = ToAnsi(percorso);
    const auto sep = destinazione.find_last_of("\\/");
    const std::string cartella = sep == std::string::npos ? "." : destinazione.substr(0, sep + 1);
    const DWORD attributi = GetFileAttributesA(cartella.c_str());
    if (attributi == INVALID_FILE_ATTRIBUTES || !(attributi & FILE_ATTRIBUTE_DIRECTORY)) {
        esito = EsitoFile::PercorsoNonTrovato;
        return false;
    }
    char temporaneo[MAX_PATH + 16];
    // Creates an empty, uniquely named file in the target's folder.
    if (GetTempFileNameA(cartella.c_str(), "trv", 0, temporaneo) == 0) {
        esito = EsitoDelSistema(static_cast<int>(GetLastError()));
        return false;
    }
    bool ok = false;
    {
        Handle h(CreateFileA(temporaneo, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!Valido(h)) {
            esito = EsitoDelSistema(static_cast<int>(GetLastError()));
        } else {
            ok = true;
            const char* p = dati.data();
            size_t resto = dati.size();
            while (ok && resto > 0) {
                const DWORD parte = resto > 0x10000000 ? 0x10000000 : static_cast<DWORD>(resto);
                DWORD scritti = 0;
                if (!WriteFile(h.get(), p, parte, &scritti, nullptr) || scritti != parte) {
                    esito = EsitoDelSistema(static_cast<int>(GetLastError()));
                    if (esito == EsitoFile::Altro) esito = EsitoFile::DiscoPieno;
                    ok = false;
                }
                p += parte;
                resto -= parte;
            }
            if (ok && !FlushFileBuffers(h.get())) {
                esito = EsitoDelSistema(static_cast<int>(GetLastError()));
                ok = false;
            }
        }
    }
    if (ok && !MoveFileExA(temporaneo, destinazione.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        esito = EsitoDelSistema(static_cast<int>(GetLastError()));
        ok = false;
    }
    if (!ok) {
        DeleteFileA(temporaneo);
        return false;
    }
    esito = EsitoFile::Ok;
    return true;
}

}  // namespace quandora
