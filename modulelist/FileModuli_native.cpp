#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "modulelist/FileModuli.h"
#include "util/Errore.h"
#include "util/FileBinario.h"

namespace quandora {

namespace {

// The list file is opened with creation: "not found" can only mean that
// its folder is missing.
Errore ErroreDiSistemaFile(int codice) {
    const EsitoFile esito = EsitoDelSistema(static_cast<int>(codice));
    return ErroreFile(esito == EsitoFile::NonTrovato ? EsitoFile::PercorsoNonTrovato : esito);
}

class FileModuliNativo final : public FileModuli {
  public:
    explicit FileModuliNativo(int fd) : fd_(fd) {}
    ~FileModuliNativo() override { close(fd_); }  // also releases the lock
    FileModuliNativo(const FileModuliNativo&) = delete;
    FileModuliNativo& operator=(const FileModuliNativo&) = delete;

    uint64_t Dimensione() override {
        struct stat st;
        if (fstat(fd_, &st) != 0) throw ErroreDiSistemaFile(errno);
        return static_cast<uint64_t>(st.st_size);
    }
    size_t Leggi(uint64_t offset, char* dati, size_t n) override {
        size_t letti = 0;
        while (letti < n) {
            const ssize_t r =
                pread(fd_, dati + letti, n - letti, static_cast<off_t>(offset + letti));
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) throw ErroreDiSistemaFile(errno);
            if (r == 0) break;
            letti += static_cast<size_t>(r);
        }
        return letti;
    }
    void Scrivi(uint64_t offset, const char* dati, size_t n) override {
        size_t scritti = 0;
        while (scritti < n) {
            const ssize_t w =
                pwrite(fd_, dati + scritti, n - scritti, static_cast<off_t>(offset + scritti));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) throw ErroreDiSistemaFile(errno);
            scritti += static_cast<size_t>(w);
        }
    }

  private:
    int fd_;
};

}  // namespace

// Our clients' lock is flock on the whole file: advisory, so that a plain
// reader never meets it; shared for a reading, exclusive for a change.
std::unique_ptr<FileModuli> ApriFileModuli(const std::string& percorso, UsoFileModuli uso,
                                           unsigned attesaMs) {
    const bool modifica = uso == UsoFileModuli::Modifica;
    const int fd =
        open(percorso.c_str(), (modifica ? O_RDWR : O_RDONLY) | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) throw ErroreDiSistemaFile(errno);
    auto file = std::make_unique<FileModuliNativo>(fd);
    const auto limite = std::chrono::steady_clock::now() + std::chrono::milliseconds(attesaMs);
    while (flock(fd, (modifica ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) throw ErroreDiSistemaFile(errno);
        if (std::chrono::steady_clock::now() >= limite) throw ErroreFile(EsitoFile::InUso);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return file;
}

}  // namespace quandora
