// The values of a row's columns: numbers, dates, GUIDs, exact decimals,
// texts and the long values of memo and OLE columns.
//
// A long value's field in the row is 12 bytes (or none at all for an empty
// value): its length in the low 30 bits of the first four, 0x80 in the top
// byte when the bytes follow the field in the row itself, 0x40 when they
// fill one row of a long-value page, neither when they run over a chain of
// such rows, each starting with the pointer to the next one.

#include <cstring>
#include <set>

#include "jet/PagineJet.h"

namespace quandora::jet::interno {

using namespace formato;

namespace {

std::string Guid(const uint8_t* p) {
    static const char* hex = "0123456789ABCDEF";
    std::string s = "{";
    auto byte = [&](int i) {
        s += hex[p[i] >> 4];
        s += hex[p[i] & 15];
    };
    for (int i = 3; i >= 0; --i)
        byte(i);
    s += '-';
    byte(5), byte(4);
    s += '-';
    byte(7), byte(6);
    s += '-';
    byte(8), byte(9);
    s += '-';
    for (int i = 10; i < 16; ++i)
        byte(i);
    return s + "}";
}

// Numeric (Decimal): a sign byte (0x80 negative), then a 128-bit whole
// number as four 32-bit words, the most significant first, scaled down by
// the column's scale. Written out in full, without trailing zeros after the
// point, so that no digit is lost.
Valore Decimale(const uint8_t* p, uint8_t scala) {
    Verifica(scala <= 28);
    uint32_t parole[4];
    for (int w = 0; w < 4; ++w)
        parole[w] = U32(p + 1 + 4 * w);
    std::string cifre;  // least significant first
    bool zero;
    do {
        uint64_t resto = 0;
        zero = true;
        for (uint32_t& parola : parole) {
            const uint64_t corrente = (resto << 32) | parola;
            parola = uint32_t(corrente / 10);
            resto = corrente % 10;
            zero &= parola == 0;
        }
        cifre += char('0' + resto);
    } while (!zero);
    while (cifre.size() <= scala)
        cifre += '0';
    size_t togli = 0;  // trailing zeros of the fraction
    while (togli < scala && cifre[togli] == '0')
        ++togli;
    std::string testo;
    const bool nullo = cifre.find_first_not_of('0') == std::string::npos;
    if ((p[0] & 0x80) && !nullo) testo += '-';
    for (size_t i = cifre.size(); i-- > togli;) {
        testo += cifre[i];
        if (i == scala && i > togli) testo += '.';
    }
    double d = 0;
    for (int w = 0; w < 4; ++w)
        d = d * 4294967296.0 + double(U32(p + 1 + 4 * w));
    for (int s = 0; s < scala; ++s)
        d /= 10;
    return Valore::Decimale(std::move(testo), (p[0] & 0x80) && !nullo ? -d : d);
}

std::string ValoreLungo(PagineJet& pagine, const uint8_t* campo, size_t n) {
    if (n == 0) return {};
    Verifica(n >= 12);
    const uint32_t testa = U32(campo);
    const uint32_t lunghezza = testa & 0x3FFFFFFF;
    Verifica(lunghezza <= pagine.Numero() * pagine.C().Pagina);
    pagine.Spendi(lunghezza);
    if (testa & 0x80000000u) {
        Verifica(12 + size_t(lunghezza) <= n);
        return std::string(reinterpret_cast<const char*>(campo + 12), lunghezza);
    }
    uint32_t ptr = U32(campo + 4);
    const uint8_t* d;
    size_t dn;
    if (testa & 0x40000000u) {
        pagine.RigaGrezza(ptr, d, dn);
        Verifica(dn >= lunghezza);
        return std::string(reinterpret_cast<const char*>(d), lunghezza);
    }
    std::string out;
    std::set<uint32_t> visti;
    while (out.size() < lunghezza) {
        Verifica(ptr != 0 && visti.insert(ptr).second);
        pagine.RigaGrezza(ptr, d, dn);
        Verifica(dn >= 4);
        ptr = U32(d);
        const size_t parte = std::min<size_t>(dn - 4, lunghezza - out.size());
        out.append(reinterpret_cast<const char*>(d + 4), parte);
    }
    return out;
}

}  // namespace

size_t LunghezzaInRiga(const Colonna& c) {
    if (c.Tipo == Text || c.Tipo == Binary) return c.Lunghezza;
    return LunghezzaFissa(c.Tipo);
}

Valore ValoreFisso(PagineJet& pagine, const Colonna& c, const uint8_t* p) {
    switch (c.Tipo) {
        case Byte:
            return Valore::Intero(p[0]);
        case Integer:
            return Valore::Intero(int16_t(U16(p)));
        case Long:
            return Valore::Intero(int32_t(U32(p)));
        case Currency: {
            int64_t v;
            std::memcpy(&v, p, 8);
            return Valore::Valuta(v);
        }
        case Single: {
            float f;
            std::memcpy(&f, p, 4);
            return Valore::Doppio(f);
        }
        case Double:
        case DataOra: {
            double d;
            std::memcpy(&d, p, 8);
            return c.Tipo == DataOra ? Valore::DataOra(d) : Valore::Doppio(d);
        }
        case ReplicationId:
            return Valore::Testo(Guid(p));
        case Numeric:
            return Decimale(p, c.Scala);
        case Text:
        case Binary:
            // Fixed-length texts (Jet 4) and binaries fill their whole length.
            return ValoreVariabile(pagine, c, p, c.Lunghezza);
        default:
            throw Danneggiato{};
    }
}

Valore ValoreVariabile(PagineJet& pagine, const Colonna& c, const uint8_t* p, size_t n) {
    switch (c.Tipo) {
        case Text:
            pagine.Spendi(n);
            return Valore::Testo(pagine.Jet4() ? TestoJet4(p, n) : TestoJet3(p, n));
        case Binary:
            pagine.Spendi(n);
            return Valore::Binario(std::string(reinterpret_cast<const char*>(p), n));
        case Memo: {
            const std::string b = ValoreLungo(pagine, p, n);
            const auto* q = reinterpret_cast<const uint8_t*>(b.data());
            return Valore::Testo(pagine.Jet4() ? TestoJet4(q, b.size()) : TestoJet3(q, b.size()));
        }
        case Ole:
            return Valore::Binario(ValoreLungo(pagine, p, n));
        default:
            // Fixed types stored as variable (never written by Jet): the
            // bytes are read like a fixed column when they are enough.
            if (LunghezzaFissa(c.Tipo) != 0 && n >= LunghezzaFissa(c.Tipo))
                return ValoreFisso(pagine, c, p);
            return {};
    }
}

}  // namespace quandora::jet::interno
