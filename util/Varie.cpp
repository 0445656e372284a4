// Text helpers of uxUtilita that need no platform call.

#include <cmath>

#include "util/uxUtilita.h"

namespace quandora {

std::string uxUtilita::uxReplace(const std::string& testo, const std::string& ricerca,
                                 const std::string& sostituzione) const {
    // An empty replacement deletes nothing: the text comes back as it was.
    if (testo.empty() || ricerca.empty() || sostituzione.empty()) return testo;
    std::string risultato;
    risultato.reserve(testo.size());
    size_t i = 0;
    while (i < testo.size()) {
        if (testo.compare(i, ricerca.size(), ricerca) == 0) {
            risultato += sostituzione;
            i += ricerca.size();
        } else {
            risultato += testo[i++];
        }
    }
    return risultato;
}

bool uxUtilita::uxSplit(std::vector<std::string>& tmp, const std::string& buf,
                        const std::string& sep) const {
    tmp.assign(1, std::string());
    if (buf.empty() || sep.empty()) return false;
    std::string resto = buf;
    if (resto.size() >= sep.size() &&
        resto.compare(resto.size() - sep.size(), sep.size(), sep) == 0)
        resto.resize(resto.size() - sep.size());
    tmp.clear();
    size_t inizio = 0;
    for (;;) {
        const auto trovato = resto.find(sep, inizio);
        if (trovato == std::string::npos) {
            tmp.push_back(resto.substr(inizio));
            break;
        }
        tmp.push_back(resto.substr(inizio, trovato - inizio));
        inizio = trovato + sep.size();
    }
    return true;
}

std::string uxUtilita::EspuraSpazi(const std::string& testo) const {
    std::string risultato;
    risultato.reserve(testo.size());
    for (const char c : testo) {
        if (c != ' ') risultato += c;
    }
    return risultato;
}

Data uxUtilita::LongToDate(int32_t sec) const {
    // Hours, minutes and seconds as a time value; whole days run on past
    // 24 hours. A negative count goes back from 30 December 1899 with the
    // time of day counted forward from midnight, as dates do.
    constexpr int64_t kGiorno = 86400;
    const int64_t totale = sec;
    const int64_t giorni = totale >= 0 ? totale / kGiorno : -((-totale + kGiorno - 1) / kGiorno);
    const double frazione = static_cast<double>(totale - giorni * kGiorno) / kGiorno;
    return giorni >= 0 ? static_cast<double>(giorni) + frazione
                       : static_cast<double>(giorni) - frazione;
}

}  // namespace quandora
