#include <windows.h>

#include "chart/Formati.h"
#include "util/Testo.h"

namespace quandora {

namespace {
// The user's setting as it is; the Italian symbol when Windows cannot tell,
// or when the setting is empty and an empty symbol means nothing (a
// decimal separator). An empty grouping symbol is a setting: no grouping.
std::string LeggiSimbolo(LCTYPE tipo, const char* predefinito, bool vuotoAmmesso) {
    char buf[16] = {};
    const int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, tipo, buf, sizeof buf);
    if (n <= 0 || (n == 1 && !vuotoAmmesso)) return predefinito;
    return FromAnsi(std::string(buf, static_cast<size_t>(n - 1)));
}
}  // namespace

SimboliNumerici SimboliUtente() {
    return SimboliNumerici{LeggiSimbolo(LOCALE_SDECIMAL, ",", false),
                           LeggiSimbolo(LOCALE_STHOUSAND, ".", true)};
}

}  // namespace quandora
