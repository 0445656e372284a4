// The executor's sources: the FROM's join and the rows that pass the WHERE
// (see Esecutore.h).

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>

#include "jet/sql/Esecutore.h"
#include "jet/sql/Valori.h"
#include "util/Errore.h"

namespace quandora::jet::sql {

namespace {

// The most row numbers a join may hold (64 MiB): beyond, "out of memory".
constexpr size_t LimiteTuple = size_t(1) << 24;

void Congiunzioni(Espr* e, std::vector<Espr*>& out) {
    if (e->Tipo == Op::And) {
        Congiunzioni(e->Figli[0].get(), out);
        Congiunzioni(e->Figli[1].get(), out);
    } else {
        out.push_back(e);
    }
}
void TabelleUsate(const Espr& e, std::set<int>& out) {
    if (e.Tipo == Op::Colonna) out.insert(e.T);
    for (const auto& f : e.Figli)
        TabelleUsate(*f, out);
}
void Foglie(const Sorgente& s, std::set<int>& out) {
    if (!s.Join)
        out.insert(s.Indice);
    else
        Foglie(*s.Sinistra, out), Foglie(*s.Destra, out);
}

}  // namespace

std::vector<uint32_t> Esecutore::Unisci(const Sorgente& s) {
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

Relazione& Esecutore::Sorgenti() {
    std::string chiave;
    for (const auto& s : q_.From)
        ChiaveSorgente(*s, chiave), chiave += ",";
    return memoria_.Trova(memoria_.Relazioni, chiave, [&] {
        Relazione rel;
        const size_t n = tabelle_.size();
        rel.Tuple = Unisci(*q_.From[0]);
        for (size_t f = 1; f < q_.From.size(); ++f) {  // comma: cross join
            const auto altra = Unisci(*q_.From[f]);
            std::set<int> dx;
            Foglie(*q_.From[f], dx);
            std::vector<uint32_t> prodotto;
            for (size_t i = 0; i < rel.Tuple.size() / n; ++i)
                for (size_t j = 0; j < altra.size() / n; ++j) {
                    if (prodotto.size() > LimiteTuple) throw ErroreDiSistema(7);
                    for (size_t c = 0; c < n; ++c)
                        prodotto.push_back(dx.count(int(c)) ? altra[j * n + c]
                                                            : rel.Tuple[i * n + c]);
                }
            rel.Tuple = std::move(prodotto);
        }
        return rel;
    });
}

// The rows that pass WHERE, as tuple numbers.
Selezione Esecutore::Filtra(Relazione& rel) {
    const size_t n = tabelle_.size();
    const size_t tot = rel.Tuple.size() / n;
    Selezione out;
    if (!q_.Where) {
        out.Lista = &memoria_.Trova(rel.Filtri, std::string(), [&] {
            RigheFiltrate f;
            f.Indici.resize(tot);
            for (size_t i = 0; i < tot; ++i)
                f.Indici[i] = uint32_t(i);
            return f;
        });
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
    std::string chiave;
    for (Espr* c : cong)
        if (c != range) Canonico(*c, chiave), chiave += "&";
    if (range) chiave += "R" + std::to_string(colonna->T) + "." + std::to_string(colonna->C);

    RigheFiltrate& f = memoria_.Trova(rel.Filtri, chiave, [&] {
        RigheFiltrate nuove;
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
                nuove.Indici.push_back(uint32_t(i));
            }
        }
        if (range) {
            std::stable_sort(chiavi.begin(), chiavi.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            for (const auto& [k, i] : chiavi) {
                nuove.Chiavi.push_back(k);
                nuove.Indici.push_back(i);
            }
            if (!numerica) nuove.Chiavi.clear();  // evaluated row by row below
        }
        return nuove;
    });
    if (!range) {
        out.Lista = &f;
        out.A = f.Indici.size();
        return out;
    }

    Contesto vuoto{&tabelle_, nullptr, nullptr};
    const Valore l = Valuta(*limite, vuoto);
    if (l.IsNull()) return out;
    const bool limiteNumerico = l.Tipo == TipoValore::DataOra || l.Tipo == TipoValore::Doppio ||
                                l.Tipo == TipoValore::Intero;
    if (f.Chiavi.size() == f.Indici.size() && limiteNumerico && !f.Indici.empty()) {
        const double x = l.ComeDoppio();
        const auto& k = f.Chiavi;
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
        out.Lista = &f;
        out.Da = da;
        out.A = std::max(da, a);
        return out;
    }
    Contesto ctx{&tabelle_, nullptr, nullptr};
    for (uint32_t i : f.Indici) {
        ctx.Tupla = &rel.Tuple[i * n];
        if (Vero(Valuta(*range, ctx))) out.Proprie.push_back(i);
    }
    return out;
}

}  // namespace quandora::jet::sql
