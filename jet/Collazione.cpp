// Jet's General sort order (see Collazione.h).
//
// A text's key has three parts, each ending with a zero: the primary weights
// of its characters (three bytes each: the class of character and its place
// in it), one accent weight per primary weight, and the places and kinds of
// the hyphens and apostrophes it holds. The order of the classes and of the
// punctuation is the one Access's own indexes of Jet 3 files hold (the
// samples' testIndexCodes file lists every character of Windows-1252).

#include "jet/Collazione.h"

#include <cstdint>
#include <cstring>

#include "util/Testo.h"

namespace quandora::jet {

namespace {

enum Classe : uint8_t {
    Controllo = 1,
    Simbolo = 2,
    Cifra = 3,
    Lettera = 4,
    Altro = 5,  // any other character: by its code point, after the letters
};

// Accent weights, in the order they decide ties.
enum Accento : uint8_t {
    Nessuno = 0,
    Grave,
    Acuto,
    Circonflesso,
    Dieresi,
    Tilde,
    Anello,
    Cediglia,
    Caron,
    Barrato,
    Legatura,
};

// Spaces and punctuation in Access's order.
constexpr char32_t kSimboli[] = {
    0xA0, ' ', '\t', '!', 0xAB, 0xBB, '"', '#', '$', '%', '&', '(', ')', '*', '+', ',', '.', '/',
    ':', ';', '<', '=', '>', '?', '@', '[', '\\', ']', '^', '_', '`', '{', '|', '}', '~', 0xA1,
    0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xAC, 0xAE, 0xAF, 0xB0, 0xB1, 0xB4, 0xB5,
    0xB6, 0xB7, 0xB8, 0xBA, 0xBC, 0xBD, 0xBE, 0xBF, 0xD7, 0xF7,
    // Windows-1252's own punctuation (Jet 3 files keep it as '?'), after
    // the Latin-1 signs.
    0x2013, 0x2014, 0x2018, 0x2019, 0x201A, 0x201C, 0x201D, 0x201E, 0x2020, 0x2021, 0x2022, 0x2026,
    0x2030, 0x2039, 0x203A, 0x20AC, 0x2122, 0x02C6, 0x02DC, 0x0192};

// The Latin-1 letters from 0xC0 (upper and lower case alike): base letter
// (0 for none: a sign), its accent, and a second letter for ligatures.
struct Lettera1 {
    char Base;
    uint8_t Accento;
    char Seconda;
};
constexpr Lettera1 kLatino1[32] = {
    {'a', Grave, 0},
    {'a', Acuto, 0},
    {'a', Circonflesso, 0},
    {'a', Tilde, 0},
    {'a', Dieresi, 0},
    {'a', Anello, 0},
    {'a', Legatura, 'e'},
    {'c', Cediglia, 0},
    {'e', Grave, 0},
    {'e', Acuto, 0},
    {'e', Circonflesso, 0},
    {'e', Dieresi, 0},
    {'i', Grave, 0},
    {'i', Acuto, 0},
    {'i', Circonflesso, 0},
    {'i', Dieresi, 0},
    {'d', Barrato, 0},
    {'n', Tilde, 0},
    {'o', Grave, 0},
    {'o', Acuto, 0},
    {'o', Circonflesso, 0},
    {'o', Tilde, 0},
    {'o', Dieresi, 0},
    {0, 0, 0},
    {'{', 0, 0},
    {'u', Grave, 0},
    {'u', Acuto, 0},
    {'u', Circonflesso, 0},
    {'u', Dieresi, 0},
    {'y', Acuto, 0},
    {'|', 0, 0},
    {'s', Legatura, 's'},
};
// '{' stands for Ø and '|' for Þ: letters of their own after z (Þ first).

struct Pesi {
    std::string Primari, Accenti, Trattini;
    void Primario(uint8_t classe, uint32_t posto, uint8_t accento) {
        Primari += char(classe);
        Primari += char(uint8_t(posto >> 8));
        Primari += char(uint8_t(posto));
        Accenti += char(accento + 1);
    }
    void Lettera(char base, uint8_t accento) {
        uint32_t posto = uint32_t(base - 'a');
        if (base == '|') posto = 26;  // Þ
        if (base == '{') posto = 27;  // Ø
        Primario(Classe::Lettera, posto, accento);
    }
};

void Aggiungi(Pesi& p, char32_t c) {
    if (c >= 'A' && c <= 'Z') c += 32;
    if (c >= 'a' && c <= 'z') return p.Lettera(char(c), Nessuno);
    if (c >= '0' && c <= '9') return p.Primario(Cifra, uint32_t(c - '0'), Nessuno);
    // Spaces weigh alike, and so do quotation marks.
    if (c == 0xA0 || c == '\t') c = ' ';
    if (c == 0xAB || c == 0xBB) c = '"';
    if (c == '-' || c == '\'' || c == 0xAD) {
        // Weighed last, by where they stand.
        const size_t dove = p.Primari.size() / 3;
        p.Trattini += char(uint8_t(dove >> 8));
        p.Trattini += char(uint8_t(dove));
        p.Trattini += char(c == '\'' ? 1 : c == '-' ? 2 : 3);
        return;
    }
    if (c == 0xB9 || c == 0xB2 || c == 0xB3)  // weigh as their digit
        return p.Primario(Cifra, c == 0xB9 ? 1 : c == 0xB2 ? 2 : 3, Nessuno);
    if (c == 0xFF) return p.Lettera('y', Dieresi);
    if (c >= 0xC0 && c <= 0xFE && c != 0xD7 && c != 0xF7) {
        const Lettera1& l = kLatino1[(c - 0xC0) & 0x1F];
        p.Lettera(l.Base, l.Accento);
        if (l.Seconda) p.Lettera(l.Seconda, Nessuno);
        return;
    }
    switch (c) {
        case 0x160:
        case 0x161:
            return p.Lettera('s', Caron);
        case 0x17D:
        case 0x17E:
            return p.Lettera('z', Caron);
        case 0x178:
            return p.Lettera('y', Dieresi);
        case 0x152:
        case 0x153:
            p.Lettera('o', Legatura);
            return p.Lettera('e', Nessuno);
        default:
            break;
    }
    for (size_t i = 0; i < sizeof kSimboli / sizeof kSimboli[0]; ++i)
        if (kSimboli[i] == c) return p.Primario(Simbolo, uint32_t(i), Nessuno);
    if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return p.Primario(Controllo, 0, Nessuno);
    // Any other character by its code point.
    p.Primari += char(Altro);
    p.Primari += char(uint8_t(c >> 16));
    p.Primari += char(uint8_t(c >> 8));
    p.Primari += char(uint8_t(c));
    p.Accenti += char(1);
}

}  // namespace

std::string ChiaveCollazione(std::string_view s) {
    Pesi p;
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char ch = static_cast<unsigned char>(s[i]);
        if (ch < 0x80) {
            Aggiungi(p, ch);
            ++i;
        } else {
            Aggiungi(p, NextUtf8(s, i));
        }
    }
    std::string k = std::move(p.Primari);
    k += '\0';
    k += p.Accenti;
    k += '\0';
    k += p.Trattini;
    return k;
}

int ConfrontaTesti(std::string_view a, std::string_view b) {
    const std::string ka = ChiaveCollazione(a), kb = ChiaveCollazione(b);
    const int r = ka.compare(kb);
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

}  // namespace quandora::jet
