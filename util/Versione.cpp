// Version texts and their comparison (portable part).
//
// Fields are unsigned 16-bit numbers, both when read from a version resource
// and when compared: a version resource holds each field in an unsigned
// 16-bit word, so 3.40000.0.0 is newer than 3.3.0.0 and 65535 is the largest
// field. A text field larger than that counts as 65535, so that it still
// compares as newer than every smaller one.

#include <cctype>

#include "util/uxUtilita.h"

namespace quandora {

uint16_t uxUtilita::ParteAlta(uint32_t n) {
    return static_cast<uint16_t>(n >> 16);
}

uint16_t uxUtilita::ParteBassa(uint32_t n) {
    return static_cast<uint16_t>(n & 0xFFFF);
}

// The n-th field of a version text. The text is split at "." n times; when
// it has fewer fields its last one is returned again ("3.3" reads as
// 3.3.3.3, "" as 0.0.0.0). A field's number is read from its start: blanks
// skipped, then the decimal digits up to the first other character; a field
// without digits is 0.
uint16_t uxUtilita::CampoVersione(const std::string& testo, int16_t n) {
    std::string resto = testo;
    std::string campo;
    for (int i = 0; i < n; ++i) {
        const auto punto = resto.find('.');
        if (punto != std::string::npos) {
            campo = resto.substr(0, punto);
            resto = resto.substr(punto + 1);
        } else {
            campo = resto;
        }
    }
    size_t pos = 0;
    while (pos < campo.size() && (campo[pos] == ' ' || campo[pos] == '\t'))
        ++pos;
    uint32_t valore = 0;
    for (; pos < campo.size() && std::isdigit(static_cast<unsigned char>(campo[pos])); ++pos) {
        valore = valore * 10 + static_cast<uint32_t>(campo[pos] - '0');
        if (valore > 0xFFFF) valore = 0xFFFF;
    }
    return static_cast<uint16_t>(valore);
}

int32_t uxUtilita::ConfrontaCampi(uint16_t a, uint16_t b) {
    if (a > b) return 1;
    if (a < b) return -1;
    return 0;
}

int32_t uxUtilita::ConfrontaVersione(const std::string& VersioneA,
                                     const std::string& VersioneB) const {
    for (int16_t n = 1; n <= 4; ++n) {
        const int32_t r = ConfrontaCampi(CampoVersione(VersioneA, n), CampoVersione(VersioneB, n));
        if (r != 0) return r;
    }
    return 0;
}

}  // namespace quandora
