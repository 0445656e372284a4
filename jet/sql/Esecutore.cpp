// The executor's binding, its steps and its output (see Esecutore.h).

#include "jet/sql/Esecutore.h"

#include <algorithm>
#include <functional>
#include <set>
#include <string>

#include "jet/ErroriJet.h"
#include "jet/sql/Aggregati.h"
#include "jet/sql/Valori.h"
#include "util/Errore.h"

namespace quandora::jet::sql {

Esecutore::Esecutore(DatabaseJet& db, Query& q)
    : db_(db), memoria_(MemoriaEsecutore::Di(db)), q_(q) {}

void Esecutore::Raccogli(Sorgente& s) {
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

void Esecutore::Lega(Espr& e, bool aggregatiAmmessi, bool dentroAggregato) {
    if (e.Tipo == Op::Colonna) {
        int trovate = 0;
        for (size_t t = 0; t < tabelle_.size(); ++t) {
            const Rif& r = tabelle_[t];
            if (!e.Tabella.empty()) {
                const std::string q = Piega(e.Tabella);
                if (q != Piega(r.Alias.empty() ? r.Nome : r.Alias) && q != Piega(r.Nome)) continue;
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

// Binds every expression of the statement and names the result's columns.
void Esecutore::LegaTutto(std::vector<std::string>& nomi) {
    for (auto& s : q_.From)
        Raccogli(*s);
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
                    nomi.push_back(omonime > 1 ? (r.Alias.empty() ? r.T->Nome : r.Alias) + "." +
                                                     r.T->Colonne[c].Nome
                                               : r.T->Colonne[c].Nome);
                    colonne_.push_back(e.get());
                    stelle_.push_back(std::move(e));
                }
            }
            if (!trovata) ignoti_.insert(Piega(v.StellaTabella) + ".*");
            continue;
        }
        Lega(*v.E, true);
        if (!v.Alias.empty())
            nomi.push_back(v.Alias);
        else if (v.E->Tipo == Op::Colonna && v.E->T >= 0)
            nomi.push_back(tabelle_[size_t(v.E->T)].T->Colonne[size_t(v.E->C)].Nome);
        else
            nomi.push_back("Expr" + std::to_string(1000 + anonime++));
        colonne_.push_back(v.E.get());
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
    ordineAlias_.assign(q_.OrderBy.size(), -1);
    for (size_t i = 0; i < q_.OrderBy.size(); ++i) {
        Espr& e = *q_.OrderBy[i].E;
        if (e.Tipo == Op::Colonna && e.Tabella.empty()) {
            bool inTabella = false;
            for (const auto& r : tabelle_)
                inTabella |= r.T->IndiceColonna(e.Nome) >= 0;
            if (!inTabella)
                for (size_t c = 0; c < nomi.size(); ++c)
                    if (Piega(nomi[c]) == Piega(e.Nome)) ordineAlias_[i] = int(c);
        }
        if (ordineAlias_[i] < 0) Lega(e, true);
    }
    if (!ignoti_.empty()) throw ParametriInsufficienti(int(ignoti_.size()));
}

Esecutore::Uscita Esecutore::Emetti(const Contesto& c) const {
    Uscita u;
    for (const Espr* e : colonne_)
        u.Valori.push_back(Valuta(*e, c));
    for (size_t i = 0; i < q_.OrderBy.size(); ++i)
        u.Ordine.push_back(ordineAlias_[i] >= 0 ? u.Valori[size_t(ordineAlias_[i])]
                                                : Valuta(*q_.OrderBy[i].E, c));
    return u;
}

Risultato Esecutore::Esegui() {
    Risultato ris;
    LegaTutto(ris.Colonne);

    Relazione& rel = Sorgenti();
    const Selezione righe = Filtra(rel);
    const size_t n = tabelle_.size();

    std::vector<Uscita> uscite;
    if (aggregati_.empty() && q_.GroupBy.empty()) {
        Contesto ctx{&tabelle_, nullptr, nullptr};
        for (size_t i = 0; i < righe.Quante(); ++i) {
            ctx.Tupla = &rel.Tuple[size_t(righe[i]) * n];
            uscite.push_back(Emetti(ctx));
        }
    } else {
        const RigheDaRaggruppare daRaggruppare{tabelle_, aggregati_, rel, righe};
        std::vector<Gruppo> gruppi;
        if (AggregatiSuIntervallo(q_, aggregati_, righe))
            gruppi.push_back(GruppoSuIntervallo(daRaggruppare, memoria_));
        else
            gruppi = Raggruppa(daRaggruppare, q_.GroupBy);
        std::vector<Valore> valori(aggregati_.size());
        for (const auto& g : gruppi) {
            for (size_t a = 0; a < aggregati_.size(); ++a)
                valori[a] = g.Acc[a].Risultato(aggregati_[a]->Aggregazione);
            Contesto gc{&tabelle_,
                        g.Prima == UINT32_MAX ? nullptr : &rel.Tuple[size_t(g.Prima) * n], &valori};
            if (q_.Having && !Vero(Valuta(*q_.Having, gc))) continue;
            uscite.push_back(Emetti(gc));
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

}  // namespace quandora::jet::sql
