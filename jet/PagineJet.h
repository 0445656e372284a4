#pragma once
// Inside the reader: the pages of an open file (decoded when the database is
// encoded), the rows of its data pages, and the decoders of the values they
// hold. Only the reader's own units include it.
//
// Everything here reads bytes from outside: every count and offset is
// checked against the page or the row it points into, and a check that fails
// throws Danneggiato, which the reader's edge turns into error 3049.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "jet/Jet.h"
#include "jet/JetFormato.h"
#include "util/FileBinario.h"

namespace quandora::jet::interno {

struct Danneggiato {};

inline void Verifica(bool condizione) {
    if (!condizione) throw Danneggiato{};
}

// Bounds-checked reads of a block of bytes.
struct Blocco {
    const uint8_t* Dati = nullptr;
    size_t N = 0;
    uint8_t B(size_t o) const {
        Verifica(o < N);
        return Dati[o];
    }
    uint16_t W(size_t o) const {
        Verifica(o + 2 <= N && o + 2 > o);
        return formato::U16(Dati + o);
    }
    uint32_t L(size_t o) const {
        Verifica(o + 4 <= N && o + 4 > o);
        return formato::U32(Dati + o);
    }
};

class PagineJet {
  public:
    // chiave: the database key of an encoded file (0 for a plain one).
    PagineJet(std::unique_ptr<FileInLettura> file, uint64_t dimensione, bool jet4, uint32_t chiave);

    const formato::Costanti& C() const { return c_; }
    bool Jet4() const { return jet4_; }
    uint64_t Numero() const { return pagine_; }

    // Page n, decoded. The pointer stays valid until the next call.
    const uint8_t* Pagina(uint32_t n);

    // Counts n bytes of decoded values against the open database's budget.
    void Spendi(size_t n);

    // Row riga of data page pagina as a table scan sees it: false for a
    // deleted row and for the row an overflow pointer elsewhere leads to; an
    // overflow pointer is followed to the row's real place.
    bool Riga(uint32_t pagina, uint32_t riga, const uint8_t*& dati, size_t& n);

    // The bytes a row pointer (page << 8 | row) leads to, whatever the row's
    // flags: long values live in rows that are never scanned.
    void RigaGrezza(uint32_t puntatore, const uint8_t*& dati, size_t& n);

  private:
    void Limiti(const uint8_t* p, uint32_t riga, uint16_t& voce, size_t& inizio, size_t& fine);

    std::unique_ptr<FileInLettura> file_;
    formato::Costanti c_;
    bool jet4_;
    uint32_t chiave_;
    uint64_t pagine_;
    uint64_t budget_;  // bytes of texts and long values still allowed
    std::unordered_map<uint32_t, std::vector<uint8_t>> cache_;
};

// Texts: Jet 4's UCS-2, plain or compressed; Jet 3's code page bytes.
std::string DaUcs2(const uint8_t* p, size_t n);
std::string TestoJet4(const uint8_t* p, size_t n);
std::string TestoJet3(const uint8_t* p, size_t n);

// The value of a column kept in the row's fixed part (p holds at least the
// column's length) or in its variable part (n bytes).
Valore ValoreFisso(PagineJet& pagine, const Colonna& c, const uint8_t* p);
Valore ValoreVariabile(PagineJet& pagine, const Colonna& c, const uint8_t* p, size_t n);

// The bytes a column of that type and declared length takes in a row's
// fixed part; 0 when it has none (Yes/No lives in the null mask).
size_t LunghezzaInRiga(const Colonna& c);

}  // namespace quandora::jet::interno

namespace quandora::jet::interno {

// What the header page (page 0) says, its scrambled area decoded.
struct Intestazione {
    bool Jet4 = false;
    uint16_t CodePage = 1252;
    uint32_t Chiave = 0;   // database key: nonzero when the pages are encoded
    std::string Password;  // UTF-8; empty when the database has none
};

// Reads the first 0x100 bytes of a file; false when they are not a Jet 3 or
// Jet 4 header.
bool LeggiIntestazione(const uint8_t* testa, size_t n, Intestazione& out);

}  // namespace quandora::jet::interno

namespace quandora::jet::interno {

// The row pointers (page << 8 | row) of an index's leaf pages, in the
// index's order, from its root page.
std::vector<uint32_t> PuntatoriIndice(PagineJet& pagine, uint32_t radice);

}  // namespace quandora::jet::interno
