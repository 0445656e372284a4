#include <windows.h>

#include "modulelist/FileModuli.h"
#include "util/Errore.h"
#include "util/FileBinario.h"
#include "util/Risorse_win32.h"
#include "util/Testo.h"

namespace quandora {

namespace {

// The list file is opened with creation: "not found" can only mean that
// its folder is missing.
Errore ErroreDiSistemaFile(DWORD codice) {
    const EsitoFile esito = EsitoDelSistema(static_cast<int>(codice));
    return ErroreFile(esito == EsitoFile::NonTrovato ? EsitoFile::PercorsoNonTrovato : esito);
}

// The file opened without sharing: the lock is the open handle itself.
class FileModuliWindows final : public FileModuli {
  public:
    explicit FileModuliWindows(Handle h) : h_(std::move(h)) {}

    uint64_t Dimensione() override {
        LARGE_INTEGER n;
        if (!GetFileSizeEx(h_.get(), &n)) throw ErroreDiSistemaFile(GetLastError());
        return static_cast<uint64_t>(n.QuadPart);
    }
    size_t Leggi(uint64_t offset, char* dati, size_t n) override {
        size_t letti = 0;
        while (letti < n) {
            OVERLAPPED ov = {};
            ov.Offset = static_cast<DWORD>(offset + letti);
            ov.OffsetHigh = static_cast<DWORD>((offset + letti) >> 32);
            DWORD parte = 0;
            if (!ReadFile(h_.get(), dati + letti, static_cast<DWORD>(n - letti), &parte, &ov)) {
                const DWORD e = GetLastError();
                if (e == ERROR_HANDLE_EOF) break;
                throw ErroreDiSistemaFile(e);
            }
            if (parte == 0) break;
            letti += parte;
        }
        return letti;
    }
    void Scrivi(uint64_t offset, const char* dati, size_t n) override {
        OVERLAPPED ov = {};
        ov.Offset = static_cast<DWORD>(offset);
        ov.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD scritti = 0;
        if (!WriteFile(h_.get(), dati, static_cast<DWORD>(n), &scritti, &ov)) {
            throw ErroreDiSistemaFile(GetLastError());
        }
        if (scritti != n) throw ErroreFile(EsitoFile::DiscoPieno);
    }

  private:
    Handle h_;
};

}  // namespace

std::unique_ptr<FileModuli> ApriFileModuli(const std::string& percorso, unsigned attesaMs) {
    const std::string nome = ToAnsi(percorso);
    const DWORD inizio = GetTickCount();
    for (;;) {
        Handle h(CreateFileA(nome.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
        if (Valido(h)) return std::make_unique<FileModuliWindows>(std::move(h));
        const DWORD e = GetLastError();
        if (e != ERROR_SHARING_VIOLATION && e != ERROR_LOCK_VIOLATION) throw ErroreDiSistemaFile(e);
        if (GetTickCount() - inizio >= attesaMs) throw ErroreDiSistemaFile(e);
        Sleep(20);
    }
}

}  // namespace quandora
