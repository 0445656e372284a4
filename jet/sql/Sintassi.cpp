// The parser of the engine's SQL: tokens to the syntax tree (see Sintassi.h).

#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>

#include "jet/ErroriJet.h"
#include "jet/Jet.h"
#include "jet/sql/Lessico.h"
#include "jet/sql/Sintassi.h"

namespace quandora::jet::sql {

namespace {

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
                static const std::pair<const char*, Agg> aggregati[] = {{"sum", Agg::Sum},
                                                                        {"count", Agg::Count},
                                                                        {"min", Agg::Min},
                                                                        {"max", Agg::Max},
                                                                        {"avg", Agg::Avg}};
                e->Tipo = Op::Funzione;
                for (const auto& [nome, f] : aggregati)
                    if (e->Nome == nome) e->Tipo = Op::Aggregato, e->Aggregazione = f;
                if (e->Tipo == Op::Aggregato && e->Aggregazione == Agg::Count && Sim("*") &&
                    Sim(")", 1)) {
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

}  // namespace

Query AnalizzaQuery(const std::string& sql) {
    return Parser(sql).Leggi();
}

}  // namespace quandora::jet::sql
