#pragma once
// A field value as the database hands it out: Null (distinct from every
// other value), a Yes/No value (-1 or 0), a whole number, a currency amount
// kept exact as an integer of ten-thousandths, a double, a date (OLE
// Automation number), a text (UTF-8), bytes, or an exact decimal (Jet 4's
// Numeric: its digits as text, beside the nearest double for arithmetic).

#include <cstdint>
#include <string>

namespace quandora {

enum class TipoValore : uint8_t {
    Null,
    Booleano,
    Intero,
    Valuta,
    Doppio,
    DataOra,
    Testo,
    Binario,
    Decimale
};

struct Valore {
    TipoValore Tipo = TipoValore::Null;
    int64_t I = 0;  // Booleano (-1 or 0), Intero, Valuta (x 10,000)
    double D = 0;   // Doppio, Data, Decimale (nearest double)
    std::string S;  // Testo (UTF-8), Binario, Decimale ("-123.45": no exponent, no
                    // trailing zeros after the point)

    static Valore Nullo() { return {}; }
    static Valore Booleano(bool b) { return Valore{TipoValore::Booleano, b ? -1 : 0, 0, {}}; }
    static Valore Intero(int64_t n) { return Valore{TipoValore::Intero, n, 0, {}}; }
    static Valore Valuta(int64_t diecimillesimi) {
        return Valore{TipoValore::Valuta, diecimillesimi, 0, {}};
    }
    static Valore Doppio(double d) { return Valore{TipoValore::Doppio, 0, d, {}}; }
    static Valore DataOra(double d) { return Valore{TipoValore::DataOra, 0, d, {}}; }
    static Valore Testo(std::string s) { return Valore{TipoValore::Testo, 0, 0, std::move(s)}; }
    static Valore Binario(std::string b) { return Valore{TipoValore::Binario, 0, 0, std::move(b)}; }
    static Valore Decimale(std::string cifre, double vicino) {
        return Valore{TipoValore::Decimale, 0, vicino, std::move(cifre)};
    }

    bool IsNull() const { return Tipo == TipoValore::Null; }
    bool IsNumerico() const {
        return Tipo == TipoValore::Booleano || Tipo == TipoValore::Intero ||
               Tipo == TipoValore::Valuta || Tipo == TipoValore::Doppio ||
               Tipo == TipoValore::DataOra || Tipo == TipoValore::Decimale;
    }
    // The value as a number (currency divided by 10,000); 0 for Null and texts.
    double ComeDoppio() const;
    // The value converted as CLng does: rounded half to even; Null is error 94,
    // a value outside 32 bits error 6, a text that is no number error 13.
    int32_t ComeLong() const;
    // The value as text, as appending it to a text does: Null is the empty text.
    std::string ComeTesto() const;

    bool operator==(const Valore& o) const = default;
};

}  // namespace quandora
