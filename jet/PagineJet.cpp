// The pages of a Jet file: the header page and its password, the encoding
// of the other pages, and the rows of data pages.
//
// An encoded database (Access's "Encode database") keeps page 0 as in any
// file and every other page under RC4, keyed by the database key of the
// header xor the page's number; decoded, its pages are those of a plain file.
//
// The password sits in the header's scrambled area at 0x42: Jet 3 keeps 20
// bytes of the code page, Jet 4 40 bytes of UCS-2, each 4-byte group of it
// also xor'ed with the whole-day number of the creation date at 0x72 (a
// Jet 4 file without a password holds just that number, repeated).

#include <cstring>

#include "jet/PagineJet.h"
#include "util/Testo.h"

namespace quandora::jet::interno {

using namespace formato;

bool LeggiIntestazione(const uint8_t* testa, size_t n, Intestazione& out) {
    if (n < 0x100 || testa[0] != 0 || std::memcmp(testa + 4, FirmaJet, 16) != 0) return false;
    const uint32_t versione = U32(testa + OffsetVersione);
    if (versione > 1) return false;
    out.Jet4 = versione == 1;
    const Costanti& c = out.Jet4 ? formato::Jet4 : formato::Jet3;

    uint8_t chiaro[0x100];
    std::memcpy(chiaro, testa, sizeof chiaro);
    Rc4(chiaro + OffsetCifrato, c.AreaCifrata);
    out.CodePage = U16(chiaro + OffsetCodePage);
    out.Chiave = U32(chiaro + OffsetChiave);

    // The password runs up to its first zero.
    if (out.Jet4) {
        uint8_t maschera[4];
        MascheraPasswordJet4(chiaro, maschera);
        uint8_t pw[40];
        for (int i = 0; i < 40; ++i)
            pw[i] = chiaro[OffsetPassword + i] ^ maschera[i % 4];
        size_t lunghezza = 0;
        while (lunghezza + 1 < 40 && (pw[lunghezza] | pw[lunghezza + 1]))
            lunghezza += 2;
        out.Password = DaUcs2(pw, lunghezza);
    } else {
        size_t lunghezza = 0;
        while (lunghezza < 20 && chiaro[OffsetPassword + lunghezza])
            ++lunghezza;
        out.Password = TestoJet3(chiaro + OffsetPassword, lunghezza);
    }
    return true;
}

PagineJet::PagineJet(std::unique_ptr<FileInLettura> file, uint64_t dimensione, bool jet4,
                     uint32_t chiave)
    : file_(std::move(file)),
      c_(jet4 ? formato::Jet4 : formato::Jet3),
      jet4_(jet4),
      chiave_(chiave),
      pagine_(dimensione / c_.Pagina),
      // Decoded values may take a multiple of the file's size, no more: a
      // hostile file cannot make a few bytes decode into unbounded memory.
      budget_(dimensione * 64 + (64u << 20)) {}

const uint8_t* PagineJet::Pagina(uint32_t n) {
    Verifica(n < pagine_);
    auto it = cache_.find(n);
    if (it != cache_.end()) return it->second.data();
    if (cache_.size() >= 4096) cache_.clear();
    std::vector<uint8_t> buf(c_.Pagina);
    Verifica(file_->Leggi(uint64_t(n) * c_.Pagina, buf.data(), buf.size()));
    if (chiave_ != 0 && n != 0) Rc4(buf.data(), buf.size(), chiave_ ^ n);
    return cache_.emplace(n, std::move(buf)).first->second.data();
}

void PagineJet::Spendi(size_t n) {
    Verifica(n <= budget_);
    budget_ -= n;
}

// A row's entry in its page's offset table and the bytes [inizio, fine) it
// spans: rows fill the page from its end, each one ending where the one
// before it starts (a deleted row may be left with no bytes).
void PagineJet::Limiti(const uint8_t* p, uint32_t riga, uint16_t& voce, size_t& inizio,
                       size_t& fine) {
    Blocco b{p, c_.Pagina};
    const uint16_t righe = b.W(c_.RigheDati);
    Verifica(riga < righe);
    const size_t base = c_.RigheDati + 2;
    voce = b.W(base + 2 * riga);
    inizio = voce & 0x1FFF;
    fine = riga == 0 ? c_.Pagina : (b.W(base + 2 * (riga - 1)) & 0x1FFF);
    Verifica(inizio >= base + 2 * size_t(righe) && inizio <= fine && fine <= c_.Pagina);
}

bool PagineJet::Riga(uint32_t pagina, uint32_t riga, const uint8_t*& dati, size_t& n) {
    const uint8_t* p = Pagina(pagina);
    Verifica(p[0] == PaginaDati);
    uint16_t voce;
    size_t inizio, fine;
    Limiti(p, riga, voce, inizio, fine);
    // 0x8000: deleted, or the far end of an overflow pointer (read through
    // the pointer, in the place of the row it continues).
    if (voce & 0x8000) return false;
    Verifica(inizio < fine);
    if (voce & 0x4000) {
        Verifica(fine - inizio >= 4);
        uint32_t ptr = U32(p + inizio);
        // The row has moved: its bytes are where the pointer leads, at most
        // a few hops away.
        for (int salti = 0;; ++salti) {
            Verifica(salti < 8);
            const uint8_t* q = Pagina(ptr >> 8);
            Verifica(q[0] == PaginaDati);
            Limiti(q, ptr & 0xFF, voce, inizio, fine);
            if ((voce & 0xC000) != 0x4000) {
                Verifica(inizio < fine);
                dati = q + inizio;
                n = fine - inizio;
                return true;
            }
            Verifica(fine - inizio >= 4);
            const uint32_t prossimo = U32(q + inizio);
            Verifica(prossimo != ptr);
            ptr = prossimo;
        }
    }
    dati = p + inizio;
    n = fine - inizio;
    return true;
}

void PagineJet::RigaGrezza(uint32_t puntatore, const uint8_t*& dati, size_t& n) {
    const uint8_t* p = Pagina(puntatore >> 8);
    Verifica(p[0] == PaginaDati);
    uint16_t voce;
    size_t inizio, fine;
    Limiti(p, puntatore & 0xFF, voce, inizio, fine);
    dati = p + inizio;
    n = fine - inizio;
}

std::string DaUcs2(const uint8_t* p, size_t n) {
    std::string out;
    out.reserve(n / 2);
    for (size_t i = 0; i + 1 < n; i += 2) {
        char32_t c = char32_t(p[i] | (p[i + 1] << 8));
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < n) {
            const char32_t c2 = char32_t(p[i + 2] | (p[i + 3] << 8));
            if (c2 >= 0xDC00 && c2 <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (c2 - 0xDC00);
                i += 2;
            }
        }
        AppendUtf8(out, c);
    }
    return out;
}

// Compressed form: 0xFF 0xFE, then runs of single bytes (characters below
// 256) and of UCS-2 pairs, each 0x00 switching from one to the other.
std::string TestoJet4(const uint8_t* p, size_t n) {
    if (n < 2 || p[0] != 0xFF || p[1] != 0xFE) return DaUcs2(p, n);
    std::string out;
    bool compresso = true;
    size_t i = 2;
    while (i < n) {
        if (p[i] == 0) {
            compresso = !compresso;
            ++i;
        } else if (compresso) {
            AppendUtf8(out, p[i]);
            ++i;
        } else {
            if (i + 1 >= n) break;
            AppendUtf8(out, char32_t(p[i] | (p[i + 1] << 8)));
            i += 2;
        }
    }
    return out;
}

// Jet 3 texts are in the database's code page. Only Windows-1252 is known
// natively (see README): its five unassigned bytes become the control
// characters of the same number, as Windows converts them.
std::string TestoJet3(const uint8_t* p, size_t n) {
    return Windows1252().ToUtf8(std::string_view(reinterpret_cast<const char*>(p), n));
}

}  // namespace quandora::jet::interno
