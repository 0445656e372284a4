#include "chart/Formati.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace quandora {

namespace {

// The digits of a whole number, grouped by thousands.
std::string Raggruppa(const std::string& cifre, const std::string& migliaia) {
    std::string out;
    const size_t n = cifre.size();
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += migliaia;
        out += cifre[i];
    }
    return out;
}

std::string DueCifre(int n) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", ((n % 100) + 100) % 100);
    return buf;
}

}  // namespace

std::string FormattaImporto(double importo, const SimboliNumerici& simboli) {
    if (std::isnan(importo)) return "NaN";
    if (std::isinf(importo)) return importo < 0 ? "-Inf" : "Inf";
    const double assoluto = std::fabs(importo);
    std::string intero;
    std::string decimali;
    // Below 10^13 the cents fit a 64-bit integer with room to spare and the
    // product by 100 is exact to far less than a cent.
    if (assoluto < 1e13) {
        const long long centesimi = std::llround(assoluto * 100.0);
        intero = std::to_string(centesimi / 100);
        decimali = DueCifre(static_cast<int>(centesimi % 100));
    } else {
        char buf[400];
        std::snprintf(buf, sizeof buf, "%.2f", assoluto);
        const std::string s = buf;
        const size_t punto = s.find('.');
        intero = s.substr(0, punto);
        decimali = punto == std::string::npos ? "00" : s.substr(punto + 1, 2);
    }
    const bool zero = intero == "0" && decimali == "00";
    std::string out = (importo < 0 && !zero) ? "-" : "";
    out += Raggruppa(intero, simboli.Migliaia);
    out += simboli.Decimale;
    out += decimali;
    return out;
}

std::string FormattaGiorni(int32_t giorni, const SimboliNumerici& simboli) {
    const int64_t n = giorni;
    std::string cifre = std::to_string(n < 0 ? -n : n);
    if (cifre.size() < 3) cifre.insert(0, 3 - cifre.size(), '0');
    std::string testo;
    for (size_t i = 0; i < cifre.size(); ++i) {
        if (i > 0 && (cifre.size() - i) % 3 == 0) testo += simboli.Migliaia;
        testo += cifre[i];
    }
    return n < 0 ? "-" + testo : testo;
}

std::string FormattaDataBreve(Data data) {
    const ParteData p = ScomponiData(data);
    return DueCifre(p.Giorno) + "-" + DueCifre(p.Mese) + "-" + DueCifre(p.Anno);
}

std::string FormattaDataLunga(Data data) {
    const ParteData p = ScomponiData(data);
    char anno[16];
    std::snprintf(anno, sizeof anno, "%04d", p.Anno);
    return DueCifre(p.Giorno) + "-" + DueCifre(p.Mese) + "-" + anno;
}

double ValoreIniziale(std::string_view testo) {
    // Blanks go first, wherever they are.
    std::string s;
    s.reserve(testo.size());
    for (char c : testo) {
        if (c != ' ' && c != '\t' && c != '\n') s += c;
    }
    size_t i = 0;
    std::string numero;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) numero += s[i++];
    bool cifre = false;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        numero += s[i++];
        cifre = true;
    }
    if (i < s.size() && s[i] == '.') {
        numero += s[i++];
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            numero += s[i++];
            cifre = true;
        }
    }
    if (!cifre) return 0.0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        size_t j = i + 1;
        std::string esponente = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) esponente += s[j++];
        bool cifreEsponente = false;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9') {
            esponente += s[j++];
            cifreEsponente = true;
        }
        if (cifreEsponente) numero += esponente;
    }
    // from_chars reads "." whatever the locale; it takes no "+" sign.
    const bool negativo = numero[0] == '-';
    const size_t inizio = (numero[0] == '-' || numero[0] == '+') ? 1 : 0;
    double valore = 0;
    const auto r = std::from_chars(numero.data() + inizio, numero.data() + numero.size(), valore);
    if (r.ec == std::errc::result_out_of_range) {
        // Too large, or too small to be anything but zero.
        valore = numero.find("e-") != std::string::npos ? 0.0 : HUGE_VAL;
    }
    return negativo ? -valore : valore;
}

}  // namespace quandora
