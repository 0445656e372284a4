// Grouping and aggregates (see Aggregati.h).

#include "jet/sql/Aggregati.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "jet/ErroriJet.h"
#include "jet/sql/Valori.h"

namespace quandora::jet::sql {

void Accumulo::Aggiungi(Agg f, const Valore& v) {
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

Valore Accumulo::Risultato(Agg f) const {
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

std::vector<Gruppo> Raggruppa(const RigheDaRaggruppare& r, const std::vector<PE>& groupBy) {
    const size_t n = r.Tabelle.size();
    std::vector<Gruppo> gruppi;
    std::unordered_map<std::string, size_t> perChiave;
    std::string k;
    Contesto ctx{&r.Tabelle, nullptr, nullptr};
    for (size_t i = 0; i < r.Righe.Quante(); ++i) {
        const uint32_t riga = r.Righe[i];
        ctx.Tupla = &r.Rel.Tuple[size_t(riga) * n];
        k.clear();
        std::vector<Valore> chiavi;
        for (const auto& g : groupBy) {
            chiavi.push_back(Valuta(*g, ctx));
            Chiave(chiavi.back(), k);
        }
        auto [it, nuovo] = perChiave.emplace(k, gruppi.size());
        if (nuovo)
            gruppi.push_back({std::move(chiavi), riga, std::vector<Accumulo>(r.Aggregati.size())});
        Gruppo& g = gruppi[it->second];
        for (size_t a = 0; a < r.Aggregati.size(); ++a) {
            const Espr& arg = *r.Aggregati[a]->Figli[0];
            const Agg f = r.Aggregati[a]->Aggregazione;
            if (arg.Tipo == Op::Colonna)
                g.Acc[a].Aggiungi(f, ValoreColonna(arg, ctx));
            else
                g.Acc[a].Aggiungi(f, Valuta(arg, ctx));
        }
    }
    // Without GROUP BY there is always one row, even over no rows.
    if (groupBy.empty() && gruppi.empty())
        gruppi.push_back({{}, UINT32_MAX, std::vector<Accumulo>(r.Aggregati.size())});
    // Groups come out in the order of their keys, as Jet's grouping sorts.
    std::stable_sort(gruppi.begin(), gruppi.end(), [](const Gruppo& a, const Gruppo& b) {
        for (size_t i = 0; i < a.Chiavi.size(); ++i) {
            const int c = ConfrontaOrdine(a.Chiavi[i], b.Chiavi[i]);
            if (c) return c < 0;
        }
        return false;
    });
    return gruppi;
}

bool AggregatiSuIntervallo(const Query& q, const std::vector<Espr*>& aggregati,
                           const Selezione& righe) {
    if (!q.GroupBy.empty() || !righe.Lista) return false;
    for (const Espr* a : aggregati)
        if (a->Figli[0]->Tipo != Op::Colonna && a->Figli[0]->Tipo != Op::Tutto) return false;
    return true;
}

Gruppo GruppoSuIntervallo(const RigheDaRaggruppare& r, MemoriaEsecutore& memoria) {
    const Selezione& righe = r.Righe;
    const size_t n = r.Tabelle.size();
    Gruppo g{{}, righe.Quante() ? righe[0] : UINT32_MAX, std::vector<Accumulo>(r.Aggregati.size())};
    for (size_t a = 0; a < r.Aggregati.size(); ++a) {
        const Espr& arg = *r.Aggregati[a]->Figli[0];
        Accumulo& acc = g.Acc[a];
        if (arg.Tipo == Op::Tutto) {
            acc.Conta = int64_t(righe.Quante());
            continue;
        }
        const ColonnaOrdinata& col = memoria.Trova(righe.Lista->Colonne, {arg.T, arg.C}, [&] {
            ColonnaOrdinata c;
            c.Valori.reserve(righe.Lista->Indici.size());
            Contesto ctx{&r.Tabelle, nullptr, nullptr};
            for (uint32_t t : righe.Lista->Indici) {
                ctx.Tupla = &r.Rel.Tuple[size_t(t) * n];
                c.Valori.push_back(ValoreColonna(arg, ctx));
            }
            c.Prepara();
            return c;
        });
        const Agg f = r.Aggregati[a]->Aggregazione;
        if ((f == Agg::Sum || f == Agg::Count || f == Agg::Avg) && col.Omogenea) {
            const int64_t conta = col.Contati[righe.A] - col.Contati[righe.Da];
            int64_t esatta = 0;
            if (f == Agg::Count) {
                acc.Conta = conta;
                continue;
            }
            if (!col.Esatte.empty() &&
                !__builtin_sub_overflow(col.Esatte[righe.A], col.Esatte[righe.Da], &esatta)) {
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
    return g;
}

}  // namespace quandora::jet::sql
