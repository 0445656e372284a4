// Any bytes as a chart file: the reader either refuses them with its
// errors or gives a chart that writes back to a file it reads the same.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "chart/Grafico.h"
#include "util/Errore.h"
#include "util/FileBinario.h"

namespace {

class FileInMemoria : public quandora::FileInLettura {
  public:
    explicit FileInMemoria(std::string dati) : dati_(std::move(dati)) {}
    uint64_t Dimensione() const override { return dati_.size(); }
    bool Leggi(uint64_t offset, void* dati, size_t n) override {
        if (offset > dati_.size() || n > dati_.size() - offset) return false;
        if (n > 0) std::memcpy(dati, dati_.data() + offset, n);
        return true;
    }

  private:
    std::string dati_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quandora;
    FileInMemoria file(std::string(reinterpret_cast<const char*>(data), size));
    ContenutoVrt c;
    try {
        c = LeggiVrt(file);
    } catch (const Errore& e) {
        if (e.Numero() != 7881 && e.Numero() != 7882) __builtin_trap();
        return 0;
    }
    if (c.Testata.NumeroGiorni < 1 ||
        c.Saldi.size() != static_cast<size_t>(c.Testata.NumeroGiorni) || c.Segni.empty() ||
        c.Segni.size() > 32768 || c.Testata.Descrizione.empty())
        __builtin_trap();
    // Written and read again, then written again: the same bytes.
    const std::string una = CodificaVrt(c.Testata, c.Saldi, c.Segni);
    FileInMemoria copia(una);
    const ContenutoVrt d = LeggiVrt(copia);
    if (CodificaVrt(d.Testata, d.Saldi, d.Segni) != una) __builtin_trap();
    if (d.Saldi.size() != c.Saldi.size() || d.Segni.size() != c.Segni.size()) __builtin_trap();
    return 0;
}
