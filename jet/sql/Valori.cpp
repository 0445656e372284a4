// Jet's value semantics (see Valori.h).

#include "jet/sql/Valori.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "jet/Collazione.h"
#include "jet/ErroriJet.h"
#include "jet/Jet.h"

namespace quandora::jet::sql {

int Confronta(const Valore& a, const Valore& b) {
    if (a.IsNumerico() && b.IsNumerico()) {
        const bool esattoA = a.Tipo == TipoValore::Valuta || a.Tipo == TipoValore::Intero ||
                             a.Tipo == TipoValore::Booleano;
        const bool esattoB = b.Tipo == TipoValore::Valuta || b.Tipo == TipoValore::Intero ||
                             b.Tipo == TipoValore::Booleano;
        constexpr int64_t limite = INT64_MAX / 10000;
        if (esattoA && esattoB &&
            (a.Tipo == TipoValore::Valuta || (a.I < limite && a.I > -limite)) &&
            (b.Tipo == TipoValore::Valuta || (b.I < limite && b.I > -limite))) {
            const int64_t x = a.Tipo == TipoValore::Valuta ? a.I : a.I * 10000;
            const int64_t y = b.Tipo == TipoValore::Valuta ? b.I : b.I * 10000;
            return x < y ? -1 : x > y ? 1 : 0;
        }
        const double x = a.ComeDoppio(), y = b.ComeDoppio();
        if (std::isnan(x) || std::isnan(y))  // only a damaged file holds one: keep a total order
            return std::isnan(x) == std::isnan(y) ? 0 : std::isnan(x) ? -1 : 1;
        return x < y ? -1 : x > y ? 1 : 0;
    }
    if (a.Tipo == TipoValore::Testo && b.Tipo == TipoValore::Testo) return ConfrontaTesti(a.S, b.S);
    if ((a.Tipo == TipoValore::Testo || a.Tipo == TipoValore::Binario) &&
        (b.Tipo == TipoValore::Testo || b.Tipo == TipoValore::Binario)) {
        const int r = Piega(a.S).compare(Piega(b.S));
        return r < 0 ? -1 : r > 0 ? 1 : 0;
    }
    throw TipiNonCorrispondenti();
}

int ConfrontaOrdine(const Valore& a, const Valore& b) {
    if (a.IsNull() || b.IsNull()) {
        if (a.IsNull() && b.IsNull()) return 0;
        return a.IsNull() ? -1 : 1;
    }
    if (a.IsNumerico() != b.IsNumerico()) return a.IsNumerico() ? -1 : 1;
    return Confronta(a, b);
}

void Chiave(const Valore& v, std::string& k) {
    if (v.IsNull()) {
        k += 'N';
    } else if (v.IsNumerico()) {
        const double d = v.ComeDoppio() + 0.0;
        char b[9];
        b[0] = 'n';
        std::memcpy(b + 1, &d, 8);
        k.append(b, 9);
    } else {
        k += 't';
        const std::string p = Piega(v.S);
        const uint32_t n = uint32_t(p.size());
        k.append(reinterpret_cast<const char*>(&n), 4);
        k += p;
    }
}

int64_t Somma(int64_t a, int64_t b) {
    int64_t r;
    if (__builtin_add_overflow(a, b, &r)) throw OverflowNumerico();
    return r;
}
int64_t Differenza(int64_t a, int64_t b) {
    int64_t r;
    if (__builtin_sub_overflow(a, b, &r)) throw OverflowNumerico();
    return r;
}
int64_t Prodotto(int64_t a, int64_t b) {
    int64_t r;
    if (__builtin_mul_overflow(a, b, &r)) throw OverflowNumerico();
    return r;
}

bool Vero(const Valore& v) {
    return !v.IsNull() && v.IsNumerico() && v.ComeDoppio() != 0;
}

Valore Aritmetica(Op op, const Valore& a, const Valore& b) {
    if (a.IsNull() || b.IsNull()) return {};
    if (op == Op::Add && a.Tipo == TipoValore::Testo && b.Tipo == TipoValore::Testo)
        return Valore::Testo(a.S + b.S);
    auto numero = [](const Valore& v) {
        if (v.IsNumerico()) return v;
        if (v.Tipo == TipoValore::Testo) {
            char* fine = nullptr;
            const double d = std::strtod(v.S.c_str(), &fine);
            if (!v.S.empty() && fine && *fine == '\0') return Valore::Doppio(d);
        }
        throw TipiNonCorrispondenti();
    };
    const Valore x = numero(a), y = numero(b);
    const bool intX = x.Tipo == TipoValore::Intero || x.Tipo == TipoValore::Booleano;
    const bool intY = y.Tipo == TipoValore::Intero || y.Tipo == TipoValore::Booleano;
    const bool valX = x.Tipo == TipoValore::Valuta, valY = y.Tipo == TipoValore::Valuta;
    if ((op == Op::Add || op == Op::Sub) && (intX || valX) && (intY || valY)) {
        const int64_t sx = valX ? x.I : Prodotto(x.I, valY ? 10000 : 1);
        const int64_t sy = valY ? y.I : Prodotto(y.I, valX ? 10000 : 1);
        const int64_t r = op == Op::Add ? Somma(sx, sy) : Differenza(sx, sy);
        return valX || valY ? Valore::Valuta(r) : Valore::Intero(r);
    }
    if (op == Op::Mul && intX && intY) return Valore::Intero(Prodotto(x.I, y.I));
    const double dx = x.ComeDoppio(), dy = y.ComeDoppio();
    const bool data = (x.Tipo == TipoValore::DataOra || y.Tipo == TipoValore::DataOra) &&
                      (op == Op::Add || op == Op::Sub) &&
                      !(x.Tipo == TipoValore::DataOra && y.Tipo == TipoValore::DataOra);
    switch (op) {
        case Op::Add:
            return data ? Valore::DataOra(dx + dy) : Valore::Doppio(dx + dy);
        case Op::Sub:
            return data ? Valore::DataOra(dx - dy) : Valore::Doppio(dx - dy);
        case Op::Mul:
            return Valore::Doppio(dx * dy);
        case Op::Div:
            if (dy == 0) throw ErroreDiSistema(11);
            return Valore::Doppio(dx / dy);
        case Op::IntDiv:
        case Op::Mod: {
            const double rx = std::nearbyint(dx), ry = std::nearbyint(dy);
            if (ry == 0) throw ErroreDiSistema(11);
            if (std::fabs(rx) > 9e18 || std::fabs(ry) > 9e18) throw ErroreDiSistema(6);
            const int64_t ix = int64_t(rx), iy = int64_t(ry);
            if (iy == -1) return Valore::Intero(op == Op::Mod ? 0 : -ix);
            return Valore::Intero(op == Op::Mod ? ix % iy : ix / iy);
        }
        default:
            return {};
    }
}

}  // namespace quandora::jet::sql
