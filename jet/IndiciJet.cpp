// The leaf pages of an index, read for the order of its rows.
//
// An index page (0x03 inside the tree, 0x04 a leaf) keeps its entries from
// 0xF8 (Jet 3) or 0x1E0 (Jet 4) on, one after the other; a bitmap from 0x16
// or 0x1B marks, one bit a byte, where each entry after the first starts.
// Every entry ends with a row pointer of three bytes of page and one of row,
// most significant first; an entry inside the tree also with the page of
// the subtree it ends. Leaves chain through the page number at 12.

#include <set>

#include "jet/PagineJet.h"

namespace quandora::jet::interno {

using namespace formato;

namespace {

constexpr uint8_t PaginaIndice = 0x03, PaginaFoglia = 0x04;

uint32_t Grande(const uint8_t* p, int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | p[i];
    return v;
}

// The ends of a page's entries.
std::vector<size_t> FiniVoci(const uint8_t* p, bool jet4, size_t pagina) {
    const size_t mappa = jet4 ? 0x1B : 0x16, primo = jet4 ? 0x1E0 : 0xF8;
    std::vector<size_t> fini;
    for (size_t i = mappa; i < primo; ++i)
        for (int bit = 0; bit < 8; ++bit)
            if (p[i] & (1 << bit)) {
                const size_t o = primo + (i - mappa) * 8 + size_t(bit);
                Verifica(o <= pagina);
                fini.push_back(o);
            }
    return fini;
}

}  // namespace

std::vector<uint32_t> PuntatoriIndice(PagineJet& pagine, uint32_t radice) {
    const bool jet4 = pagine.Jet4();
    const size_t dimensione = pagine.C().Pagina;
    const size_t primo = jet4 ? 0x1E0 : 0xF8;
    std::set<uint32_t> viste;
    uint32_t n = radice;
    // Down the first entries to the first leaf.
    for (;;) {
        Verifica(viste.insert(n).second);
        const uint8_t* p = pagine.Pagina(n);
        if (p[0] == PaginaFoglia) break;
        Verifica(p[0] == PaginaIndice);
        const std::vector<size_t> fini = FiniVoci(p, jet4, dimensione);
        Verifica(!fini.empty() && fini[0] >= primo + 8);
        n = Grande(p + fini[0] - 4, 4);
    }
    std::vector<uint32_t> puntatori;
    while (n != 0) {
        const uint8_t* p = pagine.Pagina(n);
        Verifica(p[0] == PaginaFoglia);
        size_t inizio = primo;
        for (size_t fine : FiniVoci(p, jet4, dimensione)) {
            Verifica(fine >= inizio + 4);
            puntatori.push_back(Grande(p + fine - 4, 3) << 8 | p[fine - 1]);
            inizio = fine;
        }
        n = U32(p + 12);
        Verifica(n == 0 || viste.insert(n).second);
    }
    return puntatori;
}

}  // namespace quandora::jet::interno
