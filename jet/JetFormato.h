#pragma once
// Facts of the Jet file format shared by the reader and the writer: page
// sizes, offsets of the two versions, the scrambling of the header page.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace quandora::jet::formato {

inline uint16_t U16(const uint8_t* p) {
    return uint16_t(p[0] | (p[1] << 8));
}
inline uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void Scrivi16(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void Scrivi32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

// Page types (first byte of a page).
constexpr uint8_t PaginaDati = 0x01;
constexpr uint8_t PaginaDefinizione = 0x02;
constexpr uint8_t PaginaMappa = 0x05;

// Offsets that differ between Jet 3 and Jet 4.
struct Costanti {
    uint32_t Pagina;             // page size
    uint32_t RigheDati;          // data page: number of rows
    uint32_t DefRighe;           // tdef: number of rows
    uint32_t DefTipo;            // tdef: table type
    uint32_t DefNumVar;          // tdef: number of variable columns
    uint32_t DefNumColonne;      // tdef: number of columns
    uint32_t DefNumIndici;       // tdef: number of logical indexes
    uint32_t DefNumIndiciReali;  // tdef: number of index entries
    uint32_t DefMappaUso;        // tdef: row holding the usage map
    uint32_t DefInizioColonne;   // tdef: first index entry / column
    uint32_t VoceIndiceReale;    // size of an index entry before the columns
    uint32_t VoceColonna;        // size of a column entry
    uint32_t ColNumero;          // column entry: number in the row's null mask (counts
                                 // deleted columns too)
    uint32_t ColPosizione;       // column entry: position among the columns
    uint32_t ColIndiceVar;
    uint32_t ColFlag;
    uint32_t ColOffsetFisso;
    uint32_t ColLunghezza;
    uint32_t ColPrecisione;
    uint32_t AreaCifrata;        // bytes of the header scrambled from 0x18
    uint32_t Password;           // bytes of the password at 0x42
    uint32_t MappaUsoLunghezza;  // bytes of a table's inline usage map
};

constexpr Costanti Jet3{2048, 0x08, 0x0C, 0x14, 0x17, 0x19, 0x1B, 0x1F, 0x23, 0x2B, 8,
                        18,   1,    5,    3,    13,   14,   16,   11,   126,  20,   128};
constexpr Costanti Jet4{4096, 0x0C, 0x10, 0x28, 0x2B, 0x2D, 0x2F, 0x33, 0x37, 0x3F, 12,
                        25,   5,    9,    7,    15,   21,   23,   11,   128,  40,   64};

constexpr const char* FirmaJet = "Standard Jet DB";
constexpr uint32_t OffsetVersione = 0x14;
constexpr uint32_t OffsetCifrato = 0x18;
constexpr uint32_t OffsetOrdinamento3 = 0x3A;
constexpr uint32_t OffsetCodePage = 0x3C;
constexpr uint32_t OffsetChiave = 0x3E;
constexpr uint32_t OffsetPassword = 0x42;
constexpr uint32_t OffsetOrdinamento4 = 0x6E;
constexpr uint32_t OffsetDataCreazione = 0x72;

// RC4 with a 4-byte key (little-endian). The header page's area from 0x18
// is scrambled under a fixed key; the pages of an encoded database under the
// database key combined with the page number. Applying it twice gives back
// the original bytes.
constexpr uint32_t ChiaveIntestazione = 0x6B39DAC7;
inline void Rc4(uint8_t* dati, size_t n, uint32_t chiave32 = ChiaveIntestazione) {
    const uint8_t chiave[4] = {uint8_t(chiave32), uint8_t(chiave32 >> 8), uint8_t(chiave32 >> 16),
                               uint8_t(chiave32 >> 24)};
    uint8_t s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = uint8_t(i);
    uint8_t j = 0;
    for (int i = 0; i < 256; ++i) {
        j = uint8_t(j + s[i] + chiave[i % 4]);
        const uint8_t t = s[i];
        s[i] = s[j];
        s[j] = t;
    }
    uint8_t a = 0, b = 0;
    for (size_t k = 0; k < n; ++k) {
        a = uint8_t(a + 1);
        b = uint8_t(b + s[a]);
        const uint8_t t = s[a];
        s[a] = s[b];
        s[b] = t;
        dati[k] ^= s[uint8_t(s[a] + s[b])];
    }
}

// Jet 4 masks the password also with the creation date's whole day number.
inline void MascheraPasswordJet4(const uint8_t* pagina0Chiara, uint8_t maschera[4]) {
    double data;
    std::memcpy(&data, pagina0Chiara + OffsetDataCreazione, 8);
    int32_t giorni = 0;
    if (data == data && data > -2147483648.0 && data < 2147483647.0) giorni = int32_t(data);
    for (int i = 0; i < 4; ++i)
        maschera[i] = uint8_t(uint32_t(giorni) >> (8 * i));
}

}  // namespace quandora::jet::formato
