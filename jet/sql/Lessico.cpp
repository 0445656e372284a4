// The lexer of the engine's SQL (see Lessico.h).

#include "jet/sql/Lessico.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "jet/ErroriJet.h"
#include "util/DataOle.h"

namespace quandora::jet::sql {

namespace {

bool InizioNome(unsigned char c) {
    return std::isalpha(c) || c == '_' || c >= 0x80;
}
bool CarNome(unsigned char c) {
    return std::isalnum(c) || c == '_' || c >= 0x80;
}

// #month/day/year [h:m[:s] [AM|PM]]# or #year-month-day ...#
bool DataLetterale(const std::string& s, double& out) {
    int a = 0, b = 0, c = 0, h = 0, mi = 0, se = 0;
    char sep1 = 0, sep2 = 0;
    int n = 0;
    if (std::sscanf(s.c_str(), " %d%c%d%c%d%n", &a, &sep1, &b, &sep2, &c, &n) < 5) return false;
    if (sep1 != sep2 || (sep1 != '/' && sep1 != '-')) return false;
    int anno, mese, giorno;
    if (a > 31)
        anno = a, mese = b, giorno = c;
    else
        mese = a, giorno = b, anno = c;
    if (anno < 100) anno += anno < 30 ? 2000 : 1900;
    if (mese < 1 || mese > 12 || giorno < 1 || giorno > 31 || anno < 100 || anno > 9999)
        return false;
    std::string resto = s.substr(size_t(n));
    int m2 = 0;
    if (std::sscanf(resto.c_str(), " %d:%d%n", &h, &mi, &m2) >= 2) {
        resto = resto.substr(size_t(m2));
        int m3 = 0;
        if (std::sscanf(resto.c_str(), ":%d%n", &se, &m3) >= 1) resto = resto.substr(size_t(m3));
        std::string r;
        for (char ch : resto)
            if (ch != ' ') r += char(std::toupper(static_cast<unsigned char>(ch)));
        if (r == "PM" && h < 12)
            h += 12;
        else if (r == "AM" && h == 12)
            h = 0;
        else if (!r.empty() && r != "AM")
            return false;
        if (h > 23 || mi > 59 || se > 59) return false;
    } else {
        for (char ch : resto)
            if (ch != ' ') return false;
    }
    const double giorni = DataSerial(anno, mese, giorno);
    const double frazione = (h * 3600 + mi * 60 + se) / 86400.0;
    out = giorni >= 0 ? giorni + frazione : giorni - frazione;
    return true;
}

}  // namespace

std::vector<Token> Lessico(const std::string& s) {
    std::vector<Token> out;
    size_t i = 0;
    auto errore = [&](size_t da) { return ErroreSintassi(s.substr(da, 40)); };
    while (true) {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i])))
            ++i;
        Token t;
        t.Inizio = i;
        if (i >= s.size()) {
            t.Fine = i;
            out.push_back(t);
            return out;
        }
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '[') {
            const size_t z = s.find(']', i + 1);
            if (z == std::string::npos || z == i + 1) throw errore(i);
            t.Tipo = Tok::Nome;
            t.TraParentesi = true;
            t.Testo = s.substr(i + 1, z - i - 1);
            i = z + 1;
        } else if (InizioNome(c)) {
            size_t z = i;
            while (z < s.size() && CarNome(static_cast<unsigned char>(s[z])))
                ++z;
            t.Tipo = Tok::Nome;
            t.Testo = s.substr(i, z - i);
            i = z;
        } else if (std::isdigit(c) || (c == '.' && i + 1 < s.size() &&
                                       std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
            size_t z = i;
            bool decimale = false;
            while (z < s.size() &&
                   (std::isdigit(static_cast<unsigned char>(s[z])) || s[z] == '.')) {
                if (s[z] == '.') {
                    if (decimale) throw errore(i);
                    decimale = true;
                }
                ++z;
            }
            if (z < s.size() && (s[z] == 'e' || s[z] == 'E')) {
                size_t e = z + 1;
                if (e < s.size() && (s[e] == '+' || s[e] == '-')) ++e;
                if (e < s.size() && std::isdigit(static_cast<unsigned char>(s[e]))) {
                    decimale = true;
                    z = e;
                    while (z < s.size() && std::isdigit(static_cast<unsigned char>(s[z])))
                        ++z;
                }
            }
            const std::string num = s.substr(i, z - i);
            t.Tipo = Tok::Numero;
            if (!decimale && num.size() <= 9)
                t.Numero = Valore::Intero(std::stoll(num));
            else
                t.Numero = Valore::Doppio(std::strtod(num.c_str(), nullptr));
            i = z;
        } else if (c == '\'' || c == '"') {
            std::string testo;
            size_t z = i + 1;
            while (true) {
                if (z >= s.size()) throw errore(i);
                if (s[z] == char(c)) {
                    if (z + 1 < s.size() && s[z + 1] == char(c)) {
                        testo += char(c);
                        z += 2;
                        continue;
                    }
                    break;
                }
                testo += s[z++];
            }
            t.Tipo = Tok::Stringa;
            t.Testo = testo;
            i = z + 1;
        } else if (c == '#') {
            const size_t z = s.find('#', i + 1);
            double d;
            if (z == std::string::npos || !DataLetterale(s.substr(i + 1, z - i - 1), d))
                throw errore(i);
            t.Tipo = Tok::Data;
            t.Numero = Valore::DataOra(d);
            i = z + 1;
        } else {
            static const char* doppi[] = {"<>", "<=", ">="};
            t.Tipo = Tok::Simbolo;
            bool trovato = false;
            for (const char* d : doppi)
                if (s.compare(i, 2, d) == 0) {
                    t.Testo = d;
                    i += 2;
                    trovato = true;
                    break;
                }
            if (!trovato) {
                if (!std::strchr("(),.*=<>+-/\\&;", c)) throw errore(i);
                t.Testo = std::string(1, char(c));
                ++i;
            }
        }
        t.Fine = i;
        out.push_back(std::move(t));
    }
}

}  // namespace quandora::jet::sql
