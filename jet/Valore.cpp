#include "jet/Valore.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "util/Errore.h"

namespace quandora {

double Valore::ComeDoppio() const {
    switch (Tipo) {
        case TipoValore::Booleano:
        case TipoValore::Intero:
            return double(I);
        case TipoValore::Valuta:
            return double(I) / 10000.0;
        case TipoValore::Doppio:
        case TipoValore::DataOra:
        case TipoValore::Decimale:
            return D;
        default:
            return 0;
    }
}

int32_t Valore::ComeLong() const {
    double d;
    switch (Tipo) {
        case TipoValore::Null:
            throw ErroreDiSistema(94);
        case TipoValore::Booleano:
        case TipoValore::Intero:
            if (I < INT32_MIN || I > INT32_MAX) throw ErroreDiSistema(6);
            return int32_t(I);
        case TipoValore::Testo: {
            char* fine = nullptr;
            d = std::strtod(S.c_str(), &fine);
            if (S.empty() || fine == S.c_str() || *fine != '\0') throw ErroreDiSistema(13);
            break;
        }
        case TipoValore::Binario:
            throw ErroreDiSistema(13);
        default:
            d = ComeDoppio();
    }
    const double r = std::nearbyint(d);  // half to even, the default rounding
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) throw ErroreDiSistema(6);
    return int32_t(r);
}

std::string Valore::ComeTesto() const {
    char buf[64];
    switch (Tipo) {
        case TipoValore::Null:
            return {};
        case TipoValore::Booleano:
            return I ? "True" : "False";
        case TipoValore::Intero:
            return std::to_string(I);
        case TipoValore::Valuta: {
            // In unsigned arithmetic: the most negative amount has no opposite.
            const uint64_t a = I < 0 ? uint64_t(0) - uint64_t(I) : uint64_t(I);
            std::string s = I < 0 ? "-" : "";
            s += std::to_string(a / 10000);
            const uint64_t f = a % 10000;
            if (f) {
                std::snprintf(buf, sizeof buf, ".%04llu", static_cast<unsigned long long>(f));
                std::string fr = buf;
                while (fr.back() == '0')
                    fr.pop_back();
                s += fr;
            }
            return s;
        }
        case TipoValore::Doppio:
        case TipoValore::DataOra:
            std::snprintf(buf, sizeof buf, "%.15g", D);
            return buf;
        default:
            return S;
    }
}

}  // namespace quandora
