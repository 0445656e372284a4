#include <windows.h>

#include "modulelist/FileModuli.h"
#include "util/Errore.h"
#include "util/FileBinario.h"
#include "util/Testo.h"
#include "util/Win32.h"

namespace quandora {

namespace {

// The list file is opened with creation: "not found" can only mean that
// its folder is missing.
Errore ErroreDiSistemaFile(DWORD codice) {
    const EsitoFile esito = EsitoDelSistema(static_cast<int>(codice));
    return ErroreFile(esito == EsitoFile::NonTrovato ? EsitoFile::PercorsoNonTrovato : esito);
}

// Our clients' lock is a byte-range lock (LockFileEx) on one byte far past
// any data the list can hold: exclusive for a change, shared for a reading.
//
// A byte range rather than a mutex named after the file's path: the lock
// belongs to the file itself, whichever name a client reached it by (a
// mapped drive or a UNC path, a short name, another case, a junction),
// which no name derived from the path can promise; it holds between
// machines that share Quandora's data folder over the network, where a
// mutex serves one machine only; and Windows releases it with the handle,
// also when a client dies holding it.
//
// The byte: record numbers are 16-bit, so the list ends before 32768 x 1407
// bytes (about 46 MB), and neither our reader, which reads no further, nor
// the host's records ever reach it. Windows' byte-range locks bar reads and
// writes of the bytes they cover only, and may lie past the end of the
// file, so no reader or writer of the list ever meets this one. It stays
// below 2 GB for file systems and shares whose offsets are 32-bit.
constexpr DWORD kByteBlocco = 0x7FFF0000;

// The file opened sharing reading and writing with every other process.
class FileModuliWindows final : public FileModuli {
  public:
    explicit FileModuliWindows(Handle h) : h_(std::move(h)) {}
    ~FileModuliWindows() override {
        // Released now, not whenever Windows gets to it after the close.
        if (bloccato_) {
            OVERLAPPED ov = Blocco();
            UnlockFileEx(h_.get(), 0, 1, 0, &ov);
        }
    }
    FileModuliWindows(const FileModuliWindows&) = delete;
    FileModuliWindows& operator=(const FileModuliWindows&) = delete;

    // Takes our clients' lock if it is free: ERROR_SUCCESS, or why not
    // (ERROR_LOCK_VIOLATION while another of our clients holds it).
    DWORD Blocca(UsoFileModuli uso) {
        OVERLAPPED ov = Blocco();
        const DWORD modo = LOCKFILE_FAIL_IMMEDIATELY |
                           (uso == UsoFileModuli::Modifica ? LOCKFILE_EXCLUSIVE_LOCK : 0);
        if (!LockFileEx(h_.get(), modo, 0, 1, 0, &ov)) return GetLastError();
        bloccato_ = true;
        return ERROR_SUCCESS;
    }

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
    static OVERLAPPED Blocco() {
        OVERLAPPED ov = {};
        ov.Offset = kByteBlocco;
        return ov;
    }

    Handle h_;
    bool bloccato_ = false;
};

}  // namespace

std::unique_ptr<FileModuli> ApriFileModuli(const std::string& percorso, UsoFileModuli uso,
                                           unsigned attesaMs) {
    const std::string nome = ToAnsi(percorso);
    const DWORD accesso =
        uso == UsoFileModuli::Modifica ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    const DWORD inizio = GetTickCount();
    std::unique_ptr<FileModuliWindows> file;
    for (;;) {
        DWORD e = ERROR_SUCCESS;
        if (!file) {
            // Refused only by a process that holds the file without sharing
            // (or, for a change, one that shares reading only).
            Handle h(CreateFileA(nome.c_str(), accesso, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (Valido(h)) {
                file = std::make_unique<FileModuliWindows>(std::move(h));
            } else {
                e = GetLastError();
            }
        }
        if (file) {
            e = file->Blocca(uso);
            if (e == ERROR_SUCCESS) return file;
        }
        if (e != ERROR_SHARING_VIOLATION && e != ERROR_LOCK_VIOLATION) throw ErroreDiSistemaFile(e);
        if (GetTickCount() - inizio >= attesaMs) throw ErroreDiSistemaFile(e);
        Sleep(20);
    }
}

}  // namespace quandora
