#include <windows.h>

#include "chart/Formati.h"
#include "util/Testo.h"

namespace quandora {

namespace {
std::string LeggiSimbolo(LCTYPE tipo, const char* predefinito) {
    char buf[16] = {};
    const int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, tipo, buf, sizeof buf);
    if (n <= 1) return predefinito;
    return FromAnsi(std::string(buf, static_cast<size_t>(n - 1)));
}
}  // namespace

SimboliNumerici SimboliUtente() {
    return SimboliNumerici{LeggiSimbolo(LOCALE_SDECIMAL, ","), LeggiSimbolo(LOCALE_STHOUSAND, ".")};
}

}  // namespace quandora
