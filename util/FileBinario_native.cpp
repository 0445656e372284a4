#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "util/FileBinario.h"

namespace quandora {

EsitoFile EsitoDelSistema(int e) {
    switch (e) {
        case ENOENT:
            return EsitoFile::NonTrovato;
        case ENOTDIR:
        case ENAMETOOLONG:
            return EsitoFile::PercorsoNonTrovato;
        case EACCES:
        case EPERM:
        case EISDIR:
        case EROFS:
            return EsitoFile::AccessoNegato;
        case ENOSPC:
            return EsitoFile::DiscoPieno;
        case EBUSY:
        case ETXTBSY:
            return EsitoFile::InUso;
        default:
            return EsitoFile::Altro;
    }
}

namespace {

class FileNativo final : public FileInLettura {
  public:
    FileNativo(int fd, uint64_t dimensione) : fd_(fd), dimensione_(dimensione) {}
    ~FileNativo() override { close(fd_); }
    FileNativo(const FileNativo&) = delete;
    FileNativo& operator=(const FileNativo&) = delete;

    uint64_t Dimensione() const override { return dimensione_; }

    bool Leggi(uint64_t offset, void* dati, size_t n) override {
        if (offset > dimensione_ || n > dimensione_ - offset) return false;
        auto* p = static_cast<char*>(dati);
        while (n > 0) {
            const ssize_t r = pread(fd_, p, n, static_cast<off_t>(offset));
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) return false;
            p += r;
            n -= static_cast<size_t>(r);
            offset += static_cast<uint64_t>(r);
        }
        return true;
    }

  private:
    int fd_;
    uint64_t dimensione_;
};

}  // namespace

std::unique_ptr<FileInLettura> FileInLettura::Apri(const std::string& percorso, EsitoFile& esito) {
    if (percorso.empty()) {
        esito = EsitoFile::PercorsoNonTrovato;
        return nullptr;
    }
    // O_NOATIME where allowed: reading must not even touch the access time.
    int fd = open(percorso.c_str(), O_RDONLY | O_CLOEXEC | O_NOATIME);
    if (fd < 0 && errno == EPERM) fd = open(percorso.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        esito = EsitoDelSistema(errno);
        return nullptr;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        esito = EsitoFile::AccessoNegato;
        return nullptr;
    }
    esito = EsitoFile::Ok;
    return std::make_unique<FileNativo>(fd, static_cast<uint64_t>(st.st_size));
}

bool ScriviFileSicuro(const std::string& percorso, std::string_view dati, EsitoFile& esito) {
    const auto sep = percorso.find_last_of('/');
    const std::string cartella = sep == std::string::npos ? "." : percorso.substr(0, sep);
    std::string modello = cartella + "/.trevalto-XXXXXX";
    std::vector<char> nome(modello.begin(), modello.end());
    nome.push_back('\0');
    const int fd = mkstemp(nome.data());
    if (fd < 0) {
        esito = errno == ENOENT ? EsitoFile::PercorsoNonTrovato : EsitoDelSistema(errno);
        return false;
    }
    const char* p = dati.data();
    size_t resto = dati.size();
    bool ok = true;
    while (ok && resto > 0) {
        const ssize_t w = write(fd, p, resto);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            esito = EsitoDelSistema(errno);
            ok = false;
        } else {
            p += w;
            resto -= static_cast<size_t>(w);
        }
    }
    if (ok && fsync(fd) != 0) {
        esito = EsitoDelSistema(errno);
        ok = false;
    }
    if (close(fd) != 0 && ok) {
        esito = EsitoDelSistema(errno);
        ok = false;
    }
    if (ok) chmod(nome.data(), 0644);
    if (ok && rename(nome.data(), percorso.c_str()) != 0) {
        esito = EsitoDelSistema(errno);
        ok = false;
    }
    if (!ok) {
        unlink(nome.data());
        return false;
    }
    esito = EsitoFile::Ok;
    return true;
}

}  // namespace quandora
