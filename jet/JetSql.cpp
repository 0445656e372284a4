// Parser and executor of the engine's SQL (see JetSql.h).

#include "jet/JetSql.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>

#include "jet/Collazione.h"
#include "jet/ErroriJet.h"
#include "util/DataOle.h"

namespace quandora::jet {

namespace {

// ---------------------------------------------------------------- tokens

enum class Tok { Nome, Parentesi, Numero, Stringa, Data, Simbolo, Fine };

struct Token {
    Tok Tipo = Tok::Fine;
    std::string Testo;  // name (without brackets), text, symbol
    bool TraParentesi = false;
    Valore Numero;
    size_t Inizio = 0, Fine = 0;  // position in the text
};

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

// ---------------------------------------------------------------- syntax

enum class Op {
    Costante,
    Colonna,
    Neg,
    Not,
    And,
    Or,
    Eq,
    Ne,
    Lt,
    Le,
    Gt,
    Ge,
    Add,
    Sub,
    Mul,
    Div,
    IntDiv,
    Mod,
    Concat,
    IsNull,
    IsNotNull,
    Between,
    In,
    Funzione,
    Aggregato,
    Tutto
};

struct Espr {
    Op Tipo = Op::Costante;
    Valore Costante;
    std::string Tabella, Nome;  // column: qualifier and name; function name
    std::vector<std::unique_ptr<Espr>> Figli;
    bool Negato = false;  // NOT BETWEEN, NOT IN
    int T = -1, C = -1;   // bound column: table and column index
    int Slot = -1;        // aggregate: its accumulator
};
using PE = std::unique_ptr<Espr>;

struct Sorgente {  // FROM tree
    bool Join = false;
    std::string Tabella, Alias;  // leaf
    int Indice = -1;             // leaf: its table's index
    std::unique_ptr<Sorgente> Sinistra, Destra;
    PE On;
};

struct Voce {
    PE E;
    std::string Alias;
    bool Stella = false;  // * or table.*
    std::string StellaTabella;
};

struct Ordine {
    PE E;
    bool Discendente = false;
};

struct Query {
    bool Distinct = false;
    std::vector<Voce> Select;
    std::vector<std::unique_ptr<Sorgente>> From;  // comma-separated: cross join
    PE Where, Having;
    std::vector<PE> GroupBy;
    std::vector<Ordine> OrderBy;
};

bool Parola(const Token& t, const char* p) {
    if (t.Tipo != Tok::Nome || t.TraParentesi) return false;
    const size_t n = std::strlen(p);
    if (t.Testo.size() != n) return false;
    for (size_t i = 0; i < n; ++i)
        if (std::toupper(static_cast<unsigned char>(t.Testo[i])) != p[i]) return false;
    return true;
}

bool Riservata(const Token& t) {
    static const char* parole[] = {
        "SELECT", "FROM",  "WHERE",   "GROUP", "ORDER", "HAVING",   "BY",   "AND",  "OR",
        "NOT",    "INNER", "JOIN",    "ON",    "AS",    "IS",       "NULL", "ASC",  "DESC",
        "LEFT",   "RIGHT", "BETWEEN", "IN",    "MOD",   "DISTINCT", "LIKE", "UNION"};
    for (const char* p : parole)
        if (Parola(t, p)) return true;
    return false;
}

class Parser {
  public:
    explicit Parser(const std::string& sql) : sql_(sql), t_(Lessico(sql)) {}

    Query Leggi() {
        Query q;
        if (!Parola(Cur(), "SELECT")) throw ErroreSintassi(sql_.substr(0, 60));
        ++p_;
        if (Parola(Cur(), "DISTINCT") || Parola(Cur(), "DISTINCTROW")) {
            q.Distinct = Parola(Cur(), "DISTINCT");
            ++p_;
        } else if (Parola(Cur(), "ALL")) {
            ++p_;
        }
        do {
            Voce v;
            if (Accetta("*")) {
                v.Stella = true;
            } else if (Cur().Tipo == Tok::Nome && !Riservata(Cur()) && Sim(".", 1) && Sim("*", 2)) {
                v.Stella = true;
                v.StellaTabella = Cur().Testo;
                p_ += 3;
            } else {
                v.E = Espressione();
                if (Parola(Cur(), "AS")) {
                    ++p_;
                    if (Cur().Tipo != Tok::Nome) throw ErroreEspr();
                    v.Alias = Cur().Testo;
                    ++p_;
                }
            }
            q.Select.push_back(std::move(v));
        } while (Accetta(","));
        if (!Parola(Cur(), "FROM")) throw ErroreEspr();
        ++p_;
        do
            q.From.push_back(FromTermine());
        while (Accetta(","));
        if (Parola(Cur(), "WHERE")) {
            ++p_;
            q.Where = Espressione();
        }
        if (Parola(Cur(), "GROUP")) {
            ++p_;
            if (!Parola(Cur(), "BY")) throw ErroreEspr();
            ++p_;
            do
                q.GroupBy.push_back(Espressione());
            while (Accetta(","));
        }
        if (Parola(Cur(), "HAVING")) {
            ++p_;
            q.Having = Espressione();
        }
        if (Parola(Cur(), "ORDER")) {
            ++p_;
            if (!Parola(Cur(), "BY")) throw ErroreEspr();
            ++p_;
            do {
                Ordine o;
                o.E = Espressione();
                if (Parola(Cur(), "DESC"))
                    o.Discendente = true, ++p_;
                else if (Parola(Cur(), "ASC"))
                    ++p_;
                q.OrderBy.push_back(std::move(o));
            } while (Accetta(","));
        }
        Accetta(";");
        if (Cur().Tipo != Tok::Fine) throw ErroreSintassiQuery();
        return q;
    }

  private:
    const std::string& sql_;
    std::vector<Token> t_;
    size_t p_ = 0;
    int profondita_ = 0;

    const Token& Cur(size_t avanti = 0) const { return t_[std::min(p_ + avanti, t_.size() - 1)]; }
    bool Sim(const char* s, size_t avanti = 0) const {
        return Cur(avanti).Tipo == Tok::Simbolo && Cur(avanti).Testo == s;
    }
    bool Accetta(const char* s) {
        if (!Sim(s)) return false;
        ++p_;
        return true;
    }
    Errore ErroreEspr() const {
        const size_t da = Cur().Inizio;
        return ErroreSintassi(sql_.substr(da > 30 ? da - 30 : 0, 60));
    }

    // FROM: terms joined by INNER JOIN ... ON, parentheses for grouping.
    std::unique_ptr<Sorgente> FromTermine() {
        if (++profondita_ > 64) throw ErroreSintassiFrom();
        auto s = FromPrimario();
        while (true) {
            if (Parola(Cur(), "INNER") && Parola(Cur(1), "JOIN")) {
                p_ += 2;
            } else if (Parola(Cur(), "JOIN")) {
                ++p_;
            } else if (Parola(Cur(), "LEFT") || Parola(Cur(), "RIGHT")) {
                throw ErroreSintassiFrom();
            } else {
                break;
            }
            auto j = std::make_unique<Sorgente>();
            j->Join = true;
            j->Sinistra = std::move(s);
            j->Destra = FromPrimario();
            if (!Parola(Cur(), "ON")) throw ErroreSintassiFrom();
            ++p_;
            j->On = Espressione();
            s = std::move(j);
        }
        --profondita_;
        return s;
    }
    std::unique_ptr<Sorgente> FromPrimario() {
        if (Accetta("(")) {
            auto s = FromTermine();
            if (!Accetta(")")) throw ErroreSintassiFrom();
            return s;
        }
        if (Cur().Tipo != Tok::Nome || Riservata(Cur())) throw ErroreSintassiFrom();
        auto s = std::make_unique<Sorgente>();
        s->Tabella = Cur().Testo;
        ++p_;
        if (Parola(Cur(), "AS")) {
            ++p_;
            if (Cur().Tipo != Tok::Nome) throw ErroreSintassiFrom();
            s->Alias = Cur().Testo;
            ++p_;
        } else if (Cur().Tipo == Tok::Nome && !Riservata(Cur())) {
            s->Alias = Cur().Testo;
            ++p_;
        }
        return s;
    }

    struct Guardia {
        int& p;
        explicit Guardia(int& x, const Parser& ps) : p(x) {
            if (++p > 200) throw ps.ErroreEspr();
        }
        ~Guardia() { --p; }
    };

    PE Nodo(Op op, PE a, PE b = nullptr) {
        auto e = std::make_unique<Espr>();
        e->Tipo = op;
        e->Figli.push_back(std::move(a));
        if (b) e->Figli.push_back(std::move(b));
        return e;
    }

    PE Espressione() {
        Guardia g(profondita_, *this);
        auto a = E_And();
        while (Parola(Cur(), "OR")) {
            ++p_;
            a = Nodo(Op::Or, std::move(a), E_And());
        }
        return a;
    }
    PE E_And() {
        auto a = E_Not();
        while (Parola(Cur(), "AND")) {
            ++p_;
            a = Nodo(Op::And, std::move(a), E_Not());
        }
        return a;
    }
    PE E_Not() {
        Guardia g(profondita_, *this);
        if (Parola(Cur(), "NOT")) {
            ++p_;
            return Nodo(Op::Not, E_Not());
        }
        return E_Confronto();
    }
    PE E_Confronto() {
        auto a = E_Concat();
        static const std::pair<const char*, Op> ops[] = {{"=", Op::Eq},  {"<>", Op::Ne},
                                                         {"<=", Op::Le}, {">=", Op::Ge},
                                                         {"<", Op::Lt},  {">", Op::Gt}};
        for (const auto& [s, op] : ops)
            if (Sim(s)) {
                ++p_;
                return Nodo(op, std::move(a), E_Concat());
            }
        if (Parola(Cur(), "IS")) {
            ++p_;
            bool no = false;
            if (Parola(Cur(), "NOT")) no = true, ++p_;
            if (!Parola(Cur(), "NULL")) throw ErroreEspr();
            ++p_;
            return Nodo(no ? Op::IsNotNull : Op::IsNull, std::move(a));
        }
        bool negato = false;
        if (Parola(Cur(), "NOT") && (Parola(Cur(1), "BETWEEN") || Parola(Cur(1), "IN"))) {
            negato = true;
            ++p_;
        }
        if (Parola(Cur(), "BETWEEN")) {
            ++p_;
            auto e = Nodo(Op::Between, std::move(a), E_Concat());
            if (!Parola(Cur(), "AND")) throw ErroreEspr();
            ++p_;
            e->Figli.push_back(E_Concat());
            e->Negato = negato;
            return e;
        }
        if (Parola(Cur(), "IN")) {
            ++p_;
            if (!Accetta("(")) throw ErroreEspr();
            auto e = Nodo(Op::In, std::move(a));
            do
                e->Figli.push_back(Espressione());
            while (Accetta(","));
            if (!Accetta(")")) throw ErroreEspr();
            e->Negato = negato;
            return e;
        }
        if (negato) throw ErroreEspr();
        return a;
    }
    PE E_Concat() {
        auto a = E_Somma();
        while (Sim("&")) {
            ++p_;
            a = Nodo(Op::Concat, std::move(a), E_Somma());
        }
        return a;
    }
    PE E_Somma() {
        auto a = E_Prodotto();
        while (Sim("+") || Sim("-")) {
            const Op op = Sim("+") ? Op::Add : Op::Sub;
            ++p_;
            a = Nodo(op, std::move(a), E_Prodotto());
        }
        return a;
    }
    PE E_Prodotto() {
        auto a = E_Unario();
        while (Sim("*") || Sim("/") || Sim("\\") || Parola(Cur(), "MOD")) {
            const Op op = Sim("*")    ? Op::Mul
                          : Sim("/")  ? Op::Div
                          : Sim("\\") ? Op::IntDiv
                                      : Op::Mod;
            ++p_;
            a = Nodo(op, std::move(a), E_Unario());
        }
        return a;
    }
    PE E_Unario() {
        Guardia g(profondita_, *this);
        if (Accetta("-")) return Nodo(Op::Neg, E_Unario());
        if (Accetta("+")) return E_Unario();
        return E_Primario();
    }
    PE E_Primario() {
        const Token& t = Cur();
        auto e = std::make_unique<Espr>();
        if (t.Tipo == Tok::Numero || t.Tipo == Tok::Data) {
            e->Costante = t.Numero;
            ++p_;
            return e;
        }
        if (t.Tipo == Tok::Stringa) {
            e->Costante = Valore::Testo(t.Testo);
            ++p_;
            return e;
        }
        if (Accetta("(")) {
            auto x = Espressione();
            if (!Accetta(")")) throw ErroreEspr();
            return x;
        }
        if (t.Tipo != Tok::Nome) throw ErroreEspr();
        if (!t.TraParentesi) {
            if (Parola(t, "TRUE") || Parola(t, "YES")) {
                e->Costante = Valore::Booleano(true);
                ++p_;
                return e;
            }
            if (Parola(t, "FALSE") || Parola(t, "NO")) {
                e->Costante = Valore::Booleano(false);
                ++p_;
                return e;
            }
            if (Parola(t, "NULL")) {
                ++p_;
                return e;
            }
            if (Riservata(t)) throw ErroreEspr();
            if (Sim("(", 1)) {
                e->Nome = Piega(t.Testo);
                p_ += 2;
                static const char* aggregati[] = {"sum", "count", "min", "max", "avg"};
                bool aggregato = false;
                for (const char* a : aggregati)
                    aggregato |= e->Nome == a;
                e->Tipo = aggregato ? Op::Aggregato : Op::Funzione;
                if (aggregato && e->Nome == "count" && Sim("*") && Sim(")", 1)) {
                    auto tutto = std::make_unique<Espr>();
                    tutto->Tipo = Op::Tutto;
                    e->Figli.push_back(std::move(tutto));
                    p_ += 2;
                    return e;
                }
                if (!Accetta(")")) {
                    do
                        e->Figli.push_back(Espressione());
                    while (Accetta(","));
                    if (!Accetta(")")) throw ErroreEspr();
                }
                return e;
            }
        }
        e->Tipo = Op::Colonna;
        e->Nome = t.Testo;
        ++p_;
        if (Sim(".") && Cur(1).Tipo == Tok::Nome) {
            e->Tabella = e->Nome;
            e->Nome = Cur(1).Testo;
            p_ += 2;
        }
        return e;
    }
};

// ---------------------------------------------------------------- values

// Ordering of two non-Null values: numbers with numbers, texts with texts.
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

// Sorting order: Null before everything, then as Confronta.
int ConfrontaOrdine(const Valore& a, const Valore& b) {
    if (a.IsNull() || b.IsNull()) {
        if (a.IsNull() && b.IsNull()) return 0;
        return a.IsNull() ? -1 : 1;
    }
    if (a.IsNumerico() != b.IsNumerico()) return a.IsNumerico() ? -1 : 1;
    return Confronta(a, b);
}

// A key that groups and joins values that compare equal.
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

// Exact integer and currency arithmetic; beyond 64 bits, Jet's overflow.
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

// ---------------------------------------------------------------- binding

struct Rif {
    std::string Nome, Alias;
    const Tabella* T = nullptr;
};

struct Contesto {
    const std::vector<Rif>* Tabelle = nullptr;
    const uint32_t* Tupla = nullptr;
    const std::vector<Valore>* Aggregati = nullptr;
};

const Valore kNullo;

const Valore& ValoreColonna(const Espr& e, const Contesto& c) {
    if (!c.Tupla) return kNullo;
    return (*c.Tabelle)[size_t(e.T)].T->Valori[size_t(e.C)][c.Tupla[e.T]];
}

Valore Valuta(const Espr& e, const Contesto& c);

Valore Funzione(const Espr& e, const Contesto& c) {
    std::vector<Valore> a;
    for (const auto& f : e.Figli)
        a.push_back(Valuta(*f, c));
    auto arieta = [&](size_t n) {
        if (a.size() != n) throw ErroreDiSistema(450);
    };
    for (const auto& v : a)
        if (v.IsNull()) return {};
    if (e.Nome == "dateserial") {
        arieta(3);
        int p[3];
        for (int i = 0; i < 3; ++i) {
            const double d = Valore(a[size_t(i)]).ComeLong();
            if (d < -100000 || d > 100000) throw ErroreDiSistema(5);
            p[i] = int(d);
        }
        const double r = DataSerial(p[0], p[1], p[2]);
        if (r < -657434 || r > 2958465) throw ErroreDiSistema(5);
        return Valore::DataOra(r);
    }
    if (e.Nome == "year" || e.Nome == "month" || e.Nome == "day") {
        arieta(1);
        const double d = a[0].ComeDoppio();
        if (!(d >= -657434 && d < 2958466)) throw ErroreDiSistema(5);
        const ParteData p = ScomponiData(d);
        return Valore::Intero(e.Nome == "year" ? p.Anno : e.Nome == "month" ? p.Mese : p.Giorno);
    }
    if (e.Nome == "abs") {
        arieta(1);
        Valore v = a[0];
        if (v.Tipo == TipoValore::Intero || v.Tipo == TipoValore::Valuta)
            v.I = v.I < 0 ? Differenza(0, v.I) : v.I;
        else if (v.IsNumerico())
            v = Valore::Doppio(std::fabs(v.ComeDoppio()));
        else
            throw TipiNonCorrispondenti();
        return v;
    }
    throw FunzioneNonDefinita(e.Nome);
}

Valore Valuta(const Espr& e, const Contesto& c) {
    switch (e.Tipo) {
        case Op::Costante:
            return e.Costante;
        case Op::Colonna:
            return ValoreColonna(e, c);
        case Op::Aggregato:
            if (!c.Aggregati) throw ErroreSintassi(e.Nome);
            return (*c.Aggregati)[size_t(e.Slot)];
        case Op::Funzione:
            return Funzione(e, c);
        case Op::Tutto:
            return Valore::Intero(1);
        case Op::Neg: {
            Valore v = Valuta(*e.Figli[0], c);
            if (v.IsNull()) return v;
            if (v.Tipo == TipoValore::Intero || v.Tipo == TipoValore::Valuta ||
                v.Tipo == TipoValore::Booleano) {
                v.I = Differenza(0, v.I);
                if (v.Tipo == TipoValore::Booleano) v.Tipo = TipoValore::Intero;
                return v;
            }
            if (v.Tipo == TipoValore::Doppio || v.Tipo == TipoValore::DataOra) {
                v.D = -v.D;
                return v;
            }
            if (v.Tipo == TipoValore::Decimale) return Valore::Doppio(-v.D);
            throw TipiNonCorrispondenti();
        }
        case Op::Not: {
            const Valore v = Valuta(*e.Figli[0], c);
            if (v.IsNull()) return v;
            if (!v.IsNumerico()) throw TipiNonCorrispondenti();
            if (v.Tipo == TipoValore::Booleano) return Valore::Booleano(v.I == 0);
            if (v.Tipo == TipoValore::Intero) return Valore::Intero(~v.I);  // bitwise, as Jet
            return Valore::Booleano(v.ComeDoppio() == 0);
        }
        case Op::And:
        case Op::Or: {
            const Valore a = Valuta(*e.Figli[0], c);
            const bool orOp = e.Tipo == Op::Or;
            if (!a.IsNull() && Vero(a) == orOp) return Valore::Booleano(orOp);
            const Valore b = Valuta(*e.Figli[1], c);
            if (!b.IsNull() && Vero(b) == orOp) return Valore::Booleano(orOp);
            if (a.IsNull() || b.IsNull()) return {};
            return Valore::Booleano(!orOp);
        }
        case Op::Eq:
        case Op::Ne:
        case Op::Lt:
        case Op::Le:
        case Op::Gt:
        case Op::Ge: {
            const Valore& a0 =
                e.Figli[0]->Tipo == Op::Colonna ? ValoreColonna(*e.Figli[0], c) : kNullo;
            Valore tmpA;
            const Valore* a = &a0;
            if (e.Figli[0]->Tipo != Op::Colonna) {
                tmpA = Valuta(*e.Figli[0], c);
                a = &tmpA;
            }
            if (a->IsNull()) return {};
            const Valore b = Valuta(*e.Figli[1], c);
            if (b.IsNull()) return {};
            const int r = Confronta(*a, b);
            bool v = false;
            switch (e.Tipo) {
                case Op::Eq:
                    v = r == 0;
                    break;
                case Op::Ne:
                    v = r != 0;
                    break;
                case Op::Lt:
                    v = r < 0;
                    break;
                case Op::Le:
                    v = r <= 0;
                    break;
                case Op::Gt:
                    v = r > 0;
                    break;
                default:
                    v = r >= 0;
                    break;
            }
            return Valore::Booleano(v);
        }
        case Op::IsNull:
            return Valore::Booleano(Valuta(*e.Figli[0], c).IsNull());
        case Op::IsNotNull:
            return Valore::Booleano(!Valuta(*e.Figli[0], c).IsNull());
        case Op::Between: {
            const Valore x = Valuta(*e.Figli[0], c), a = Valuta(*e.Figli[1], c),
                         b = Valuta(*e.Figli[2], c);
            if (x.IsNull() || a.IsNull() || b.IsNull()) return {};
            const bool dentro = Confronta(x, a) >= 0 && Confronta(x, b) <= 0;
            return Valore::Booleano(dentro != e.Negato);
        }
        case Op::In: {
            const Valore x = Valuta(*e.Figli[0], c);
            if (x.IsNull()) return {};
            bool nullo = false;
            for (size_t i = 1; i < e.Figli.size(); ++i) {
                const Valore y = Valuta(*e.Figli[i], c);
                if (y.IsNull())
                    nullo = true;
                else if (Confronta(x, y) == 0)
                    return Valore::Booleano(!e.Negato);
            }
            if (nullo) return {};
            return Valore::Booleano(e.Negato);
        }
        case Op::Concat: {
            const Valore a = Valuta(*e.Figli[0], c), b = Valuta(*e.Figli[1], c);
            if (a.IsNull() && b.IsNull()) return {};
            return Valore::Testo(a.ComeTesto() + b.ComeTesto());
        }
        default:
            return Aritmetica(e.Tipo, Valuta(*e.Figli[0], c), Valuta(*e.Figli[1], c));
    }
}

// A canonical text of a bound expression, for the scratch-space keys.
void Canonico(const Espr& e, std::string& k) {
    k += '(';
    k += std::to_string(int(e.Tipo));
    switch (e.Tipo) {
        case Op::Costante:
            k += std::to_string(int(e.Costante.Tipo));
            k += ':';
            Chiave(e.Costante, k);
            k += std::to_string(e.Costante.I);
            break;
        case Op::Colonna:
            k += ':' + std::to_string(e.T) + '.' + std::to_string(e.C);
            break;
        case Op::Funzione:
        case Op::Aggregato:
            k += ':' + e.Nome;
            break;
        default:
            break;
    }
    if (e.Negato) k += '!';
    for (const auto& f : e.Figli)
        Canonico(*f, k);
    k += ')';
}

// ---------------------------------------------------------------- execution

// The most row numbers a join may hold (64 MiB): beyond, "out of memory".
constexpr size_t LimiteTuple = size_t(1) << 24;

struct Relazione : DatabaseJet::Memoria {
    std::vector<uint32_t> Tuple;  // flattened, stride = number of tables
};

struct Filtrate : DatabaseJet::Memoria {
    std::vector<uint32_t> Indici;  // tuple numbers
    std::vector<double> Chiavi;    // sorted range keys, when there is a range
};

// The rows a query keeps: a slice of a cached list, or a list of its own.
struct Selezione {
    std::shared_ptr<Filtrate> Lista;
    std::string Chiave;  // the list's key in the scratch space
    size_t Da = 0, A = 0;
    std::vector<uint32_t> Proprie;
    size_t Quante() const { return Lista ? A - Da : Proprie.size(); }
    uint32_t operator[](size_t i) const { return Lista ? Lista->Indici[Da + i] : Proprie[i]; }
};

// A column's values in the order of a cached row list, so that aggregates
// over a slice of the list read memory in sequence.
struct ColonnaOrdinata : DatabaseJet::Memoria {
    std::vector<Valore> Valori;
    // Running counts and sums over the values, for Count, Sum and Avg of a
    // slice in constant time: exact ones for whole numbers and currency
    // (when no running sum leaves 64 bits), and for doubles the running sum
    // itself, which is the sum in the list's order of a slice from the start.
    bool Omogenea = true;  // every value Null or of one type
    TipoValore Tipo = TipoValore::Null;
    std::vector<int64_t> Contati, Esatte;
    std::vector<double> Doppie;

    void Prepara() {
        const size_t n = Valori.size();
        Contati.assign(n + 1, 0);
        for (size_t i = 0; i < n; ++i) {
            const Valore& v = Valori[i];
            Contati[i + 1] = Contati[i] + (v.IsNull() ? 0 : 1);
            if (v.IsNull()) continue;
            if (Tipo == TipoValore::Null)
                Tipo = v.Tipo;
            else if (v.Tipo != Tipo)
                Omogenea = false;
        }
        if (!Omogenea) return;
        if (Tipo == TipoValore::Valuta || Tipo == TipoValore::Intero ||
            Tipo == TipoValore::Booleano) {
            Esatte.assign(n + 1, 0);
            for (size_t i = 0; i < n; ++i) {
                int64_t x = 0;
                const Valore& v = Valori[i];
                if (!v.IsNull() && (Tipo == TipoValore::Valuta
                                        ? (x = v.I, false)
                                        : __builtin_mul_overflow(v.I, int64_t(10000), &x))) {
                    Esatte.clear();
                    return;
                }
                if (__builtin_add_overflow(Esatte[i], x, &Esatte[i + 1])) {
                    Esatte.clear();
                    return;
                }
            }
        } else if (Tipo == TipoValore::Doppio || Tipo == TipoValore::DataOra) {
            Doppie.assign(n + 1, 0);
            for (size_t i = 0; i < n; ++i)
                Doppie[i + 1] = Valori[i].IsNull() ? Doppie[i] : Doppie[i] + Valori[i].D;
        }
    }
};

enum class Agg { Sum, Count, Min, Max, Avg };
Agg TipoAggregato(const std::string& nome) {
    if (nome == "count") return Agg::Count;
    if (nome == "min") return Agg::Min;
    if (nome == "max") return Agg::Max;
    if (nome == "avg") return Agg::Avg;
    return Agg::Sum;
}

class Esecutore {
  public:
    Esecutore(DatabaseJet& db, Query& q) : db_(db), q_(q) {}

    Risultato Esegui();

  private:
    DatabaseJet& db_;
    Query& q_;
    std::vector<Rif> tabelle_;
    std::set<std::string> ignoti_;
    std::vector<Espr*> aggregati_;

    void Raccogli(Sorgente& s) {
        if (s.Join) {
            Raccogli(*s.Sinistra);
            Raccogli(*s.Destra);
            return;
        }
        Rif r;
        r.Nome = s.Tabella;
        r.Alias = s.Alias;
        r.T = &db_.LeggiTabella(s.Tabella);
        s.Indice = int(tabelle_.size());
        tabelle_.push_back(r);
    }

    void Lega(Espr& e, bool aggregatiAmmessi, bool dentroAggregato = false) {
        if (e.Tipo == Op::Colonna) {
            int trovate = 0;
            for (size_t t = 0; t < tabelle_.size(); ++t) {
                const Rif& r = tabelle_[t];
                if (!e.Tabella.empty()) {
                    const std::string q = Piega(e.Tabella);
                    if (q != Piega(r.Alias.empty() ? r.Nome : r.Alias) && q != Piega(r.Nome))
                        continue;
                }
                const int c = r.T->IndiceColonna(e.Nome);
                if (c < 0) continue;
                if (++trovate > 1) throw CampoAmbiguo(e.Nome);
                e.T = int(t);
                e.C = c;
            }
            if (trovate == 0)
                ignoti_.insert(Piega(e.Tabella.empty() ? e.Nome : e.Tabella + "." + e.Nome));
            return;
        }
        if (e.Tipo == Op::Aggregato) {
            if (!aggregatiAmmessi || dentroAggregato) throw ErroreSintassi(e.Nome);
            if (e.Figli.size() != 1) throw ErroreDiSistema(450);
            e.Slot = int(aggregati_.size());
            aggregati_.push_back(&e);
            Lega(*e.Figli[0], aggregatiAmmessi, true);
            return;
        }
        for (auto& f : e.Figli)
            Lega(*f, aggregatiAmmessi, dentroAggregato);
    }

    static void Congiunzioni(Espr* e, std::vector<Espr*>& out) {
        if (e->Tipo == Op::And) {
            Congiunzioni(e->Figli[0].get(), out);
            Congiunzioni(e->Figli[1].get(), out);
        } else {
            out.push_back(e);
        }
    }
    static void TabelleUsate(const Espr& e, std::set<int>& out) {
        if (e.Tipo == Op::Colonna) out.insert(e.T);
        for (const auto& f : e.Figli)
            TabelleUsate(*f, out);
    }
    static void Foglie(const Sorgente& s, std::set<int>& out) {
        if (!s.Join)
            out.insert(s.Indice);
        else
            Foglie(*s.Sinistra, out), Foglie(*s.Destra, out);
    }
    void ChiaveSorgente(const Sorgente& s, std::string& k) {
        if (!s.Join) {
            k += "[" + Piega(s.Tabella) + "#" + std::to_string(s.Indice) + "]";
            return;
        }
        k += "J(";
        ChiaveSorgente(*s.Sinistra, k);
        ChiaveSorgente(*s.Destra, k);
        Canonico(*s.On, k);
        k += ")";
    }

    std::vector<uint32_t> Unisci(const Sorgente& s) {
        const size_t n = tabelle_.size();
        std::vector<uint32_t> out;
        if (!s.Join) {
            const size_t righe = tabelle_[size_t(s.Indice)].T->Righe;
            out.assign(righe * n, 0);
            for (size_t r = 0; r < righe; ++r)
                out[r * n + size_t(s.Indice)] = uint32_t(r);
            return out;
        }
        const std::vector<uint32_t> a = Unisci(*s.Sinistra), b = Unisci(*s.Destra);
        std::set<int> sx, dx;
        Foglie(*s.Sinistra, sx);
        Foglie(*s.Destra, dx);
        std::vector<Espr*> cong;
        Congiunzioni(s.On.get(), cong);
        // An equality between a column of each side drives a hash join.
        const Espr* ka = nullptr;
        const Espr* kb = nullptr;
        std::vector<Espr*> resto;
        for (Espr* c : cong) {
            if (!ka && c->Tipo == Op::Eq && c->Figli[0]->Tipo == Op::Colonna &&
                c->Figli[1]->Tipo == Op::Colonna) {
                const int t0 = c->Figli[0]->T, t1 = c->Figli[1]->T;
                if (sx.count(t0) && dx.count(t1)) {
                    ka = c->Figli[0].get(), kb = c->Figli[1].get();
                    continue;
                }
                if (sx.count(t1) && dx.count(t0)) {
                    ka = c->Figli[1].get(), kb = c->Figli[0].get();
                    continue;
                }
            }
            resto.push_back(c);
        }
        Contesto ctx{&tabelle_, nullptr, nullptr};
        std::vector<uint32_t> unita(n);
        auto prova = [&](const uint32_t* x, const uint32_t* y) {
            if (out.size() > LimiteTuple) throw ErroreDiSistema(7);
            for (size_t i = 0; i < n; ++i)
                unita[i] = sx.count(int(i)) ? x[i] : y[i];
            ctx.Tupla = unita.data();
            for (Espr* c : resto)
                if (!Vero(Valuta(*c, ctx))) return;
            out.insert(out.end(), unita.begin(), unita.end());
        };
        const size_t na = a.size() / n, nb = b.size() / n;
        if (ka) {
            std::unordered_multimap<std::string, size_t> indice;
            indice.reserve(nb);
            std::string k;
            for (size_t j = 0; j < nb; ++j) {
                ctx.Tupla = &b[j * n];
                const Valore& v = ValoreColonna(*kb, ctx);
                if (v.IsNull()) continue;
                k.clear();
                Chiave(v, k);
                indice.emplace(k, j);
            }
            for (size_t i = 0; i < na; ++i) {
                ctx.Tupla = &a[i * n];
                const Valore& v = ValoreColonna(*ka, ctx);
                if (v.IsNull()) continue;
                k.clear();
                Chiave(v, k);
                auto [da, a2] = indice.equal_range(k);
                std::vector<size_t> trovate;
                for (auto it = da; it != a2; ++it)
                    trovate.push_back(it->second);
                std::sort(trovate.begin(), trovate.end());
                for (size_t j : trovate)
                    prova(&a[i * n], &b[j * n]);
            }
        } else {
            for (size_t i = 0; i < na; ++i)
                for (size_t j = 0; j < nb; ++j)
                    prova(&a[i * n], &b[j * n]);
        }
        return out;
    }

    std::shared_ptr<Relazione> Sorgenti() {
        std::string chiave = "J:";
        for (const auto& s : q_.From)
            ChiaveSorgente(*s, chiave), chiave += ",";
        auto& mem = db_.MemoriaQuery();
        auto it = mem.find(chiave);
        if (it != mem.end()) return std::static_pointer_cast<Relazione>(it->second);
        auto rel = std::make_shared<Relazione>();
        const size_t n = tabelle_.size();
        rel->Tuple = Unisci(*q_.From[0]);
        for (size_t f = 1; f < q_.From.size(); ++f) {  // comma: cross join
            const auto altra = Unisci(*q_.From[f]);
            std::set<int> dx;
            Foglie(*q_.From[f], dx);
            std::vector<uint32_t> prodotto;
            for (size_t i = 0; i < rel->Tuple.size() / n; ++i)
                for (size_t j = 0; j < altra.size() / n; ++j) {
                    if (prodotto.size() > LimiteTuple) throw ErroreDiSistema(7);
                    for (size_t c = 0; c < n; ++c)
                        prodotto.push_back(dx.count(int(c)) ? altra[j * n + c]
                                                            : rel->Tuple[i * n + c]);
                }
            rel->Tuple = std::move(prodotto);
        }
        mem[chiave] = rel;
        return rel;
    }

    // The rows that pass WHERE, as tuple numbers.
    Selezione Filtra(const Relazione& rel) {
        const size_t n = tabelle_.size();
        const size_t tot = rel.Tuple.size() / n;
        Selezione out;
        auto& mem = db_.MemoriaQuery();
        if (!q_.Where) {
            std::string chiave = "W:";
            for (const auto& s : q_.From)
                ChiaveSorgente(*s, chiave), chiave += ",";
            auto& m = mem[chiave];
            if (!m) {
                auto f = std::make_shared<Filtrate>();
                f->Indici.resize(tot);
                for (size_t i = 0; i < tot; ++i)
                    f->Indici[i] = uint32_t(i);
                m = f;
            }
            out.Lista = std::static_pointer_cast<Filtrate>(m);
            out.Chiave = chiave;
            out.A = tot;
            return out;
        }
        std::vector<Espr*> cong;
        Congiunzioni(q_.Where.get(), cong);
        // A range condition on a column against a value free of columns.
        Espr* range = nullptr;
        Espr* colonna = nullptr;
        Espr* limite = nullptr;
        Op op = Op::Le;
        for (Espr* c : cong) {
            if (c->Tipo != Op::Le && c->Tipo != Op::Lt && c->Tipo != Op::Ge && c->Tipo != Op::Gt)
                continue;
            std::set<int> u0, u1;
            TabelleUsate(*c->Figli[0], u0);
            TabelleUsate(*c->Figli[1], u1);
            if (c->Figli[0]->Tipo == Op::Colonna && u1.empty()) {
                range = c, colonna = c->Figli[0].get(), limite = c->Figli[1].get(), op = c->Tipo;
            } else if (c->Figli[1]->Tipo == Op::Colonna && u0.empty()) {
                range = c, colonna = c->Figli[1].get(), limite = c->Figli[0].get();
                op = c->Tipo == Op::Le   ? Op::Ge
                     : c->Tipo == Op::Lt ? Op::Gt
                     : c->Tipo == Op::Ge ? Op::Le
                                         : Op::Lt;
            } else {
                continue;
            }
            break;
        }
        std::string chiave = "W:";
        for (const auto& s : q_.From)
            ChiaveSorgente(*s, chiave), chiave += ",";
        for (Espr* c : cong)
            if (c != range) Canonico(*c, chiave), chiave += "&";
        if (range) chiave += "R" + std::to_string(colonna->T) + "." + std::to_string(colonna->C);

        std::shared_ptr<Filtrate> f;
        auto it = mem.find(chiave);
        if (it != mem.end()) {
            f = std::static_pointer_cast<Filtrate>(it->second);
        } else {
            f = std::make_shared<Filtrate>();
            Contesto ctx{&tabelle_, nullptr, nullptr};
            bool numerica = range != nullptr;
            std::vector<std::pair<double, uint32_t>> chiavi;
            for (size_t i = 0; i < tot; ++i) {
                ctx.Tupla = &rel.Tuple[i * n];
                bool ok = true;
                for (Espr* c : cong)
                    if (c != range && !Vero(Valuta(*c, ctx))) {
                        ok = false;
                        break;
                    }
                if (!ok) continue;
                if (range) {
                    const Valore& v = ValoreColonna(*colonna, ctx);
                    if (v.IsNull()) continue;  // no comparison with Null is true
                    if ((v.Tipo != TipoValore::DataOra && v.Tipo != TipoValore::Doppio &&
                         v.Tipo != TipoValore::Intero) ||
                        std::isnan(v.ComeDoppio()))
                        numerica = false;
                    chiavi.push_back({v.ComeDoppio(), uint32_t(i)});
                } else {
                    f->Indici.push_back(uint32_t(i));
                }
            }
            if (range) {
                std::stable_sort(chiavi.begin(), chiavi.end(),
                                 [](const auto& a, const auto& b) { return a.first < b.first; });
                for (const auto& [k, i] : chiavi) {
                    f->Chiavi.push_back(k);
                    f->Indici.push_back(i);
                }
                if (!numerica) f->Chiavi.clear();  // evaluated row by row below
            }
            mem[chiave] = f;
        }
        if (!range) {
            out.Lista = f;
            out.Chiave = chiave;
            out.A = f->Indici.size();
            return out;
        }

        Contesto vuoto{&tabelle_, nullptr, nullptr};
        const Valore l = Valuta(*limite, vuoto);
        if (l.IsNull()) return out;
        const bool limiteNumerico = l.Tipo == TipoValore::DataOra || l.Tipo == TipoValore::Doppio ||
                                    l.Tipo == TipoValore::Intero;
        if (f->Chiavi.size() == f->Indici.size() && limiteNumerico && !f->Indici.empty()) {
            const double x = l.ComeDoppio();
            const auto& k = f->Chiavi;
            size_t da = 0, a = k.size();
            switch (op) {
                case Op::Le:
                    a = size_t(std::upper_bound(k.begin(), k.end(), x) - k.begin());
                    break;
                case Op::Lt:
                    a = size_t(std::lower_bound(k.begin(), k.end(), x) - k.begin());
                    break;
                case Op::Ge:
                    da = size_t(std::lower_bound(k.begin(), k.end(), x) - k.begin());
                    break;
                default:
                    da = size_t(std::upper_bound(k.begin(), k.end(), x) - k.begin());
                    break;
            }
            out.Lista = f;
            out.Chiave = chiave;
            out.Da = da;
            out.A = std::max(da, a);
            return out;
        }
        Contesto ctx{&tabelle_, nullptr, nullptr};
        for (uint32_t i : f->Indici) {
            ctx.Tupla = &rel.Tuple[i * n];
            if (Vero(Valuta(*range, ctx))) out.Proprie.push_back(i);
        }
        return out;
    }
};

// Accumulator of one aggregate over a group.
struct Accumulo {
    int64_t Conta = 0;
    int64_t Esatta = 0;  // ten-thousandths
    double Doppia = 0;
    bool Reale = false, Valuta = false;
    Valore Estremo;

    void Aggiungi(Agg f, const Valore& v) {
        if (f == Agg::Count) {
            if (!v.IsNull()) ++Conta;
            return;
        }
        if (v.IsNull()) return;
        ++Conta;
        if (f == Agg::Min || f == Agg::Max) {
            if (Conta == 1)
                Estremo = v;
            else {
                const int r = Confronta(v, Estremo);
                if ((f == Agg::Min && r < 0) || (f == Agg::Max && r > 0)) Estremo = v;
            }
            return;
        }
        if (!v.IsNumerico()) throw TipiNonCorrispondenti();
        switch (v.Tipo) {
            case TipoValore::Valuta:
                Valuta = true;
                Esatta = Somma(Esatta, v.I);
                Doppia += double(v.I) / 10000.0;
                break;
            case TipoValore::Intero:
            case TipoValore::Booleano:
                Esatta = Somma(Esatta, Prodotto(v.I, 10000));
                Doppia += double(v.I);
                break;
            default:
                Reale = true;
                Doppia += v.D;
        }
    }
    Valore Risultato(Agg f) const {
        if (f == Agg::Count) return Valore::Intero(Conta);
        if (Conta == 0) return {};
        if (f == Agg::Min || f == Agg::Max) return Estremo;
        if (f == Agg::Avg) {
            if (Reale) return Valore::Doppio(Doppia / double(Conta));
            return Valore::Doppio(double(Esatta) / 10000.0 / double(Conta));
        }
        if (Reale) return Valore::Doppio(Doppia);
        if (Valuta) return Valore::Valuta(Esatta);
        return Valore::Intero(Esatta / 10000);
    }
};

Risultato Esecutore::Esegui() {
    for (auto& s : q_.From)
        Raccogli(*s);
    // Names of the result and binding of every expression.
    Risultato ris;
    std::vector<const Espr*> colonne;  // nullptr for the expanded stars below
    std::vector<std::unique_ptr<Espr>> espanse;
    int anonime = 0;
    for (auto& v : q_.Select) {
        if (v.Stella) {
            bool trovata = v.StellaTabella.empty();
            for (size_t t = 0; t < tabelle_.size(); ++t) {
                const Rif& r = tabelle_[t];
                if (!v.StellaTabella.empty()) {
                    const std::string q = Piega(v.StellaTabella);
                    if (q != Piega(r.Alias.empty() ? r.Nome : r.Alias) && q != Piega(r.Nome))
                        continue;
                    trovata = true;
                }
                for (size_t c = 0; c < r.T->Colonne.size(); ++c) {
                    auto e = std::make_unique<Espr>();
                    e->Tipo = Op::Colonna;
                    e->T = int(t);
                    e->C = int(c);
                    int omonime = 0;
                    for (const auto& altra : tabelle_)
                        omonime += altra.T->IndiceColonna(r.T->Colonne[c].Nome) >= 0;
                    ris.Colonne.push_back(omonime > 1 ? (r.Alias.empty() ? r.T->Nome : r.Alias) +
                                                            "." + r.T->Colonne[c].Nome
                                                      : r.T->Colonne[c].Nome);
                    colonne.push_back(e.get());
                    espanse.push_back(std::move(e));
                }
            }
            if (!trovata) ignoti_.insert(Piega(v.StellaTabella) + ".*");
            continue;
        }
        Lega(*v.E, true);
        if (!v.Alias.empty())
            ris.Colonne.push_back(v.Alias);
        else if (v.E->Tipo == Op::Colonna && v.E->T >= 0)
            ris.Colonne.push_back(tabelle_[size_t(v.E->T)].T->Colonne[size_t(v.E->C)].Nome);
        else
            ris.Colonne.push_back("Expr" + std::to_string(1000 + anonime++));
        colonne.push_back(v.E.get());
    }
    for (auto& s : q_.From) {
        std::function<void(Sorgente&)> lega = [&](Sorgente& x) {
            if (!x.Join) return;
            lega(*x.Sinistra);
            lega(*x.Destra);
            Lega(*x.On, false);
        };
        lega(*s);
    }
    if (q_.Where) Lega(*q_.Where, false);
    for (auto& g : q_.GroupBy)
        Lega(*g, false);
    if (q_.Having) Lega(*q_.Having, true);
    // ORDER BY may name a column of the result by its alias.
    std::vector<int> ordineAlias(q_.OrderBy.size(), -1);
    for (size_t i = 0; i < q_.OrderBy.size(); ++i) {
        Espr& e = *q_.OrderBy[i].E;
        if (e.Tipo == Op::Colonna && e.Tabella.empty()) {
            bool inTabella = false;
            for (const auto& r : tabelle_)
                inTabella |= r.T->IndiceColonna(e.Nome) >= 0;
            if (!inTabella)
                for (size_t c = 0; c < ris.Colonne.size(); ++c)
                    if (Piega(ris.Colonne[c]) == Piega(e.Nome)) ordineAlias[i] = int(c);
        }
        if (ordineAlias[i] < 0) Lega(e, true);
    }
    if (!ignoti_.empty()) throw ParametriInsufficienti(int(ignoti_.size()));

    const auto rel = Sorgenti();
    const Selezione righe = Filtra(*rel);
    std::vector<Agg> tipi;
    for (const Espr* a : aggregati_)
        tipi.push_back(TipoAggregato(a->Nome));
    const size_t n = tabelle_.size();

    const bool raggruppa = !aggregati_.empty() || !q_.GroupBy.empty();
    struct Uscita {
        std::vector<Valore> Valori;
        std::vector<Valore> Ordine;
    };
    std::vector<Uscita> uscite;
    Contesto ctx{&tabelle_, nullptr, nullptr};
    auto emetti = [&](const Contesto& c) {
        Uscita u;
        for (const Espr* e : colonne)
            u.Valori.push_back(Valuta(*e, c));
        for (size_t i = 0; i < q_.OrderBy.size(); ++i)
            u.Ordine.push_back(ordineAlias[i] >= 0 ? u.Valori[size_t(ordineAlias[i])]
                                                   : Valuta(*q_.OrderBy[i].E, c));
        uscite.push_back(std::move(u));
    };

    if (!raggruppa) {
        for (size_t i = 0; i < righe.Quante(); ++i) {
            ctx.Tupla = &rel->Tuple[size_t(righe[i]) * n];
            emetti(ctx);
        }
    } else {
        struct Gruppo {
            std::vector<Valore> Chiavi;
            uint32_t Prima = 0;
            std::vector<Accumulo> Acc;
        };
        std::vector<Gruppo> gruppi;
        std::unordered_map<std::string, size_t> perChiave;
        std::string k;
        // One group over a cached list, every aggregate of a column or of
        // all rows: each column is read in the list's order (kept beside it),
        // the slice of the day in sequence.
        bool diretto = q_.GroupBy.empty() && righe.Lista != nullptr;
        for (const Espr* a : aggregati_)
            diretto &= a->Figli[0]->Tipo == Op::Colonna || a->Figli[0]->Tipo == Op::Tutto;
        if (diretto) {
            gruppi.push_back({{},
                              righe.Quante() ? righe[0] : UINT32_MAX,
                              std::vector<Accumulo>(aggregati_.size())});
            auto& mem = db_.MemoriaQuery();
            for (size_t a = 0; a < aggregati_.size(); ++a) {
                const Espr& arg = *aggregati_[a]->Figli[0];
                Accumulo& acc = gruppi[0].Acc[a];
                if (arg.Tipo == Op::Tutto) {
                    acc.Conta = int64_t(righe.Quante());
                    continue;
                }
                const std::string chiave =
                    righe.Chiave + "|C" + std::to_string(arg.T) + "." + std::to_string(arg.C);
                auto& m = mem[chiave];
                if (!m) {
                    auto col = std::make_shared<ColonnaOrdinata>();
                    col->Valori.reserve(righe.Lista->Indici.size());
                    for (uint32_t r : righe.Lista->Indici) {
                        ctx.Tupla = &rel->Tuple[size_t(r) * n];
                        col->Valori.push_back(ValoreColonna(arg, ctx));
                    }
                    col->Prepara();
                    m = col;
                }
                const auto& col = static_cast<const ColonnaOrdinata&>(*m);
                const Agg f = tipi[a];
                if ((f == Agg::Sum || f == Agg::Count || f == Agg::Avg) && col.Omogenea) {
                    const int64_t conta = col.Contati[righe.A] - col.Contati[righe.Da];
                    int64_t esatta = 0;
                    if (f == Agg::Count) {
                        acc.Conta = conta;
                        continue;
                    }
                    if (!col.Esatte.empty() &&
                        !__builtin_sub_overflow(col.Esatte[righe.A], col.Esatte[righe.Da],
                                                &esatta)) {
                        acc.Conta = conta;
                        acc.Esatta = esatta;
                        acc.Valuta = col.Tipo == TipoValore::Valuta;
                        continue;
                    }
                    if (!col.Doppie.empty() && righe.Da == 0) {
                        acc.Conta = conta;
                        acc.Reale = true;
                        acc.Doppia = col.Doppie[righe.A];
                        continue;
                    }
                }
                for (size_t i = righe.Da; i < righe.A; ++i)
                    acc.Aggiungi(f, col.Valori[i]);
            }
        }
        for (size_t i = 0; !diretto && i < righe.Quante(); ++i) {
            const uint32_t r = righe[i];
            ctx.Tupla = &rel->Tuple[size_t(r) * n];
            k.clear();
            std::vector<Valore> chiavi;
            for (const auto& g : q_.GroupBy) {
                chiavi.push_back(Valuta(*g, ctx));
                Chiave(chiavi.back(), k);
            }
            auto [it, nuovo] = perChiave.emplace(k, gruppi.size());
            if (nuovo)
                gruppi.push_back({std::move(chiavi), r, std::vector<Accumulo>(aggregati_.size())});
            Gruppo& g = gruppi[it->second];
            for (size_t a = 0; a < aggregati_.size(); ++a) {
                const Espr& arg = *aggregati_[a]->Figli[0];
                if (arg.Tipo == Op::Colonna)
                    g.Acc[a].Aggiungi(tipi[a], ValoreColonna(arg, ctx));
                else
                    g.Acc[a].Aggiungi(tipi[a], Valuta(arg, ctx));
            }
        }
        // Without GROUP BY there is always one row, even over no rows.
        if (q_.GroupBy.empty() && gruppi.empty())
            gruppi.push_back({{}, UINT32_MAX, std::vector<Accumulo>(aggregati_.size())});
        // Groups come out in the order of their keys, as Jet's grouping sorts.
        std::stable_sort(gruppi.begin(), gruppi.end(), [](const Gruppo& a, const Gruppo& b) {
            for (size_t i = 0; i < a.Chiavi.size(); ++i) {
                const int r = ConfrontaOrdine(a.Chiavi[i], b.Chiavi[i]);
                if (r) return r < 0;
            }
            return false;
        });
        std::vector<Valore> valori(aggregati_.size());
        for (const auto& g : gruppi) {
            for (size_t a = 0; a < aggregati_.size(); ++a)
                valori[a] = g.Acc[a].Risultato(tipi[a]);
            Contesto gc{&tabelle_,
                        g.Prima == UINT32_MAX ? nullptr : &rel->Tuple[size_t(g.Prima) * n],
                        &valori};
            if (q_.Having && !Vero(Valuta(*q_.Having, gc))) continue;
            emetti(gc);
        }
    }

    if (q_.Distinct) {
        std::set<std::string> visti;
        std::vector<Uscita> uniche;
        for (auto& u : uscite) {
            std::string k2;
            for (const auto& v : u.Valori)
                Chiave(v, k2);
            if (visti.insert(k2).second) uniche.push_back(std::move(u));
        }
        uscite = std::move(uniche);
    }
    if (!q_.OrderBy.empty()) {
        std::stable_sort(uscite.begin(), uscite.end(), [&](const Uscita& a, const Uscita& b) {
            for (size_t i = 0; i < q_.OrderBy.size(); ++i) {
                const int r = ConfrontaOrdine(a.Ordine[i], b.Ordine[i]);
                if (r) return q_.OrderBy[i].Discendente ? r > 0 : r < 0;
            }
            return false;
        });
    }
    ris.Righe.reserve(uscite.size());
    for (auto& u : uscite)
        ris.Righe.push_back(std::move(u.Valori));
    return ris;
}

}  // namespace

void Analizza(const std::string& sql) {
    Parser(sql).Leggi();
}

Risultato Esegui(DatabaseJet& db, const std::string& sql) {
    Query q = Parser(sql).Leggi();
    // The scratch space serves one kind of statement run many times; many
    // different statements on one open database start it afresh.
    if (db.MemoriaQuery().size() > 512) db.MemoriaQuery().clear();
    return Esecutore(db, q).Esegui();
}

}  // namespace quandora::jet
